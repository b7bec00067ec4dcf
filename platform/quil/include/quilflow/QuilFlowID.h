// Flow identification text of the host installation.
//
// QuilFlowID() returns a NUL-terminated text owned by the library, or null when
// no text is available. The caller never frees or changes it. Safe to call from
// any thread.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

const char* QuilFlowID(void);

#ifdef __cplusplus
}
#endif
