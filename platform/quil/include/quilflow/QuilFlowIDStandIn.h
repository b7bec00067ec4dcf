// Test and host controls of the QuilFlowID stand-in. Not for product code.
//
// By default QuilFlowID() returns "Flow Id: $KRAVIK_FLOW_ID\r\n" followed by
// "KVT Install Id: $KRAVIK_INSTALL_ID\r\n", each line only when its variable is
// set, or "" when neither is. A pointer returned by QuilFlowID() stays valid
// until the next call of one of these functions. Both are thread-safe.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// Replaces the text with a copy of `text`; null makes QuilFlowID() return null.
void QuilFlowIDStandIn_SetText(const char* text);

// Returns to the text derived from the environment, read again now.
void QuilFlowIDStandIn_Reset(void);

#ifdef __cplusplus
}
#endif
