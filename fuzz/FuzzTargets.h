// The entry points of the fuzz targets, one per input the system reads from a user: a design file
// (checked, or repaired and saved), a constraints file, a filter file and the fault switches of
// the command line. Each takes any bytes, must neither crash nor hang, and returns 0; a broken
// promise that is no crash (a save that does not load again) aborts. They are plain functions so
// that the unit tests replay the kept crash inputs through the same code that the fuzzers run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace KravikFuzz {

using Entry = int (*)(const uint8_t* data, size_t size);

struct Target
{
    const char* name; // folder name under fuzz/regressions/ and the fuzzer's name (fuzz_<name>)
    Entry entry;
};

// Loads the bytes as a design file; a design that loads is checked once with every test.
int DesignLoad(const uint8_t* data, size_t size);
// Loads the bytes as a design file; a design that loads is repaired as check --fix repairs it and
// saved, the saved file must load and save again to the same bytes, and it is checked once more.
int DesignFixSaveReload(const uint8_t* data, size_t size);
// Loads the bytes as a constraints file.
int ConstraintsLoad(const uint8_t* data, size_t size);
// Reads the bytes as the filter file of a checker.
int FilterFile(const uint8_t* data, size_t size);
// Parses each line of the bytes as the text of --fail-next, --fail-on and an index.
int FaultSwitches(const uint8_t* data, size_t size);

const std::vector<Target>& Targets();

// The keys and kind names of the design format, as a libFuzzer dictionary.
std::string DesignDictionary();

} // namespace KravikFuzz
