// The libFuzzer entry of one fuzz target; KRAVIK_FUZZ_ENTRY names its function in FuzzTargets.h.
#include "fuzz/FuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return KravikFuzz::KRAVIK_FUZZ_ENTRY(data, size);
}
