// Runs the built kravik program for the end-to-end tests and compares its check logs with the
// expected logs under unittests/host/data.
//
// An expected log is the whole log, except that the block of a test that ends OK may be left out:
// every registered test without a block is expected as a plain OK block, in run-number order. So a
// new test that passes on a design changes no expected file, while one that reports something must
// be added to it. Running the tests with KRAVIK_UPDATE_EXPECTED=1 rewrites the expected files from
// the actual logs (OK blocks left out); review the difference before committing it.
#pragma once

#include "support/CallCounts.h"
#include "support/TestFiles.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace KravikTest {

struct KravikRun
{
    int exitCode = -1; // -1: the program did not exit normally (crash, signal)
    int signal = 0;    // the signal that ended it, if one did
    long maxResidentKb = 0; // the most memory it held at once
    std::string out;
    std::string err;
};

// Runs kravik with the arguments and the environment
// of the test program in which the three switches that decide the registered tests are unset, then
// changed by `env` (NAME=VALUE entries; an entry "NAME=" unsets NAME).
KravikRun RunKravik(const std::vector<std::string>& args, const std::vector<std::string>& env = {});

// As RunKravik, calling `whileStopped` each time kravik stops (SIGSTOP, as the save's test seam
// KRAVIK_TEST_SAVE_STEP=STEP:stop makes it), then continuing it. `withoutOwnerCapability` runs it
// without the capability CAP_FOWNER (which lets root remove another user's file from a sticky folder).
KravikRun RunKravikStopped(const std::vector<std::string>& args, const std::vector<std::string>& env,
                           const std::function<void()>& whileStopped, bool withoutOwnerCapability = false);

// As RunKravik, with standard output going to the file `standardOutput` (such as /dev/full), or
// closed for kClosedOutput; `out` stays empty.
const char* const kClosedOutput = "(closed)";
KravikRun RunKravikWithOutputTo(const std::vector<std::string>& args, const std::string& standardOutput);

// Starts one kravik per argument list at once and waits for all of them.
std::vector<KravikRun> RunKravikTogether(const std::vector<std::vector<std::string>>& argLists,
                                         const std::vector<std::string>& env = {});

// As RunKravik, with standard error on a pseudo-terminal; `err` is what the terminal received.
// With `outputToo`, standard output goes to the terminal as well (`out` stays empty).
KravikRun RunKravikOnTerminal(const std::vector<std::string>& args, const std::vector<std::string>& env = {},
                              bool outputToo = false);

// As RunKravikOnTerminal, pressing Ctrl-C (SIGINT) `presses` times: the first once the terminal
// shows `firstAfter` (by default, the design loading), each further one once kravik has said it is
// stopping.
KravikRun RunKravikInterrupted(const std::vector<std::string>& args, int presses,
                               const std::string& firstAfter = "\rLoading ");

std::string ExamplePath(const std::string& name); // examples/<name>

// Variants of examples/clean.json, written once per test program to a temporary folder, so that
// they follow the example as it changes:
// - two snapshots: "draft", the example without its general clearance, then "final", the example
//   whose design has the index 500-0-21, with a second top block "SUB" whose Norv configuration
//   has no design;
// - the example with its Norv configuration locked by another editor.
const std::string& TwoSnapshotDesign();
const std::string& LockedDesign();
std::string DataPath(const std::string& name);    // unittests/host/data/<name>

// Replaces the seconds of every "Time: N seconds" line, the one run-dependent text of a log.
std::string NormaliseTimes(const std::string& log);

// The names of the registered tests in run-number order, as `kravik list-tests` prints them with
// the environment changes `env` (see RunKravik).
std::vector<std::string> RegisteredTests(const std::vector<std::string>& env = {});

// Empty when the check log `actual` is the expected log of `expectedFile` for the registered tests
// `testNames` (times normalised on both sides); otherwise a description of the first difference.
std::string CompareLog(const std::string& actual, const std::string& expectedFile,
                       const std::vector<std::string>& testNames);

} // namespace KravikTest
