#include "host/Commands.h"

#include "host/DesignFile.h"
#include "host/DesignLock.h"
#include "host/ExitCode.h"
#include "host/HostLog.h"
#include "host/Interrupt.h"
#include "host/LoadProgress.h"
#include "host/LogOutput.h"
#include "host/ProgressDisplay.h"

#include "framework/CKravikThread.h"
#include "framework/CNorvProjectChecker.h"
#include "framework/TestRegistry.h"
#include "utils/TextUtils.h"

#include "lumopi/StandIn.h"
#include "ordaxcons/OrdaxConstraintDefs.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

namespace KravikHost {

namespace {

std::vector<std::string> TestNames(const CNorvProjectChecker& checker)
{
    std::vector<std::string> names(checker.GetTestCount());
    for (unsigned n = 0; n < names.size(); ++n)
    {
        std::string name, description;
        checker.GetTestInfo(n, names[n], name, description);
    }
    return names;
}

// Whether the path names a regular file; false with the reason in `error`. Nothing is opened, so
// a FIFO cannot block.
bool RegularFile(const std::string& path, std::string& error)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
    {
        error = std::strerror(errno);
        return false;
    }
    if (!S_ISREG(info.st_mode))
    {
        error = "not a regular file";
        return false;
    }
    return true;
}

// A filter file must be a readable regular file: the checker itself would take a missing one for
// an empty filter and run every test.
bool ReadableFile(const std::string& path, std::string& error)
{
    if (!RegularFile(path, error))
        return false;
    FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr)
    {
        error = std::strerror(errno);
        return false;
    }
    std::fclose(file);
    return true;
}

// Whether the constraints file loads; false with the reason in `error`. Anything but a regular
// file is refused before it is opened (a FIFO would block the read).
bool LoadableConstraints(const std::string& path, std::string& error)
{
    if (!RegularFile(path, error))
        return false;
    norv_ordaxcons::COrdaxConstraintDefs definitions;
    if (definitions.LoadCnsFile(path, false, true))
        return true;
    error = definitions.GetLastError();
    return false;
}

// Runs the check on this thread or the checker's worker thread. Returns the text of an exception
// that ended the run, on either thread; empty when none did.
std::string Run(CNorvProjectChecker& checker, const std::string& snapshot, bool onWorkerThread)
{
    try
    {
        if (onWorkerThread)
        {
            CKravikThread thread(&checker, snapshot);
            thread.Start();
            thread.Join();
            return thread.GetFailure();
        }
        else
        {
            checker.Check_NorvLUMO(snapshot);
        }
    }
    catch (const std::exception& e)
    {
        return e.what();
    }
    catch (...)
    {
        return "unknown exception";
    }
    return "";
}

} // namespace

int OperationalError(std::ostream& err, const std::string& file, const std::string& reason)
{
    // Paths and names arrive as given; their control characters must not reach the terminal.
    err << "kravik: " << LumoUtils::escapeControls(file) << ": " << LumoUtils::escapeControls(reason) << std::endl;
    return EXIT_OPERATIONAL;
}

int PrepareSave(DesignLock& lock, const std::string& design, const std::string& output, const std::string& command,
                std::ostream& err)
{
    const std::string unsavable = output.empty() ? "" : UnsavablePath(output);
    if (!unsavable.empty())
        return OperationalError(err, output, unsavable);
    // A save holds the file it replaces from before the load until after the save.
    std::string error;
    if (!SavesInPlace(design, output))
    {
        // Saved under that name, the design's other name would keep the old bytes.
        if (SameFile(output, design))
            return OperationalError(err, output, "the output is a hard link of the design; not saved");
        return lock.Take(output, command, error, true) ? EXIT_CLEAN : OperationalError(err, output, error);
    }
    const size_t room = NAME_MAX - std::string(".bak").size();
    if (design.size() - (design.rfind('/') + 1) > room)
        return OperationalError(err, design,
                                "the name is too long for a backup beside it (at most " + std::to_string(room) + " bytes)");
    return lock.Take(design, command, error) ? EXIT_CLEAN : OperationalError(err, design, error);
}

int SaveDesign(const Lumo::LumoPI& session, DesignLock& lock, const std::string& design, const std::string& output,
               std::ostream& err)
{
    // A Ctrl-C stops the save until it replaces its first file.
    bool stopped = InterruptGuard::Requested();
    const auto lastCheck = [&lock, &stopped]() -> std::string {
        stopped = InterruptGuard::StopBeforeReplacing();
        return stopped ? "stopped by Ctrl-C" : lock.SaveRefusal();
    };
    std::string error;
    if (!stopped && SaveDesignFile(session, design, output, &lock, error, lastCheck))
    {
        err << "kravik: saved " << LumoUtils::escapeControls(output.empty() ? design : output) << std::endl;
        return EXIT_CLEAN;
    }
    if (stopped)
    {
        OperationalError(err, design, "stopped by Ctrl-C; nothing was saved");
        return EXIT_CANCELED;
    }
    return OperationalError(err, output.empty() ? design : output, error);
}

int RunCheck(const CheckOptions& options, std::ostream& err, const Terminal& terminal)
{
    DesignLock lock;
    if (options.fix && PrepareSave(lock, options.design, options.outputFile, "check", err) != EXIT_CLEAN)
        return EXIT_OPERATIONAL;
    InterruptGuard interrupt(terminal.isTerminal);
    ProgressDisplay progress(err, terminal.isTerminal, {}, terminal.width);
    OpenDesign design;
    std::string error;
    LoadProgressLine loading(progress, options.design, terminal.isTerminal);
    const bool opened = OpenDesignFile(options.design, options.snapshot, options.topBlock, design, error, loading.Hook());
    loading.Stop();
    progress.Clear();
    if (!opened)
        return OperationalError(err, options.design, error);
    if (!options.filterFile.empty() && !ReadableFile(options.filterFile, error))
        return OperationalError(err, options.filterFile, "cannot read the filter file: " + error);
    // The checks report a constraints file they cannot load in the log (and go on without it);
    // the user also learns here which file and why.
    if (!options.constraints.empty() && !LoadableConstraints(options.constraints, error))
        err << "kravik: " << LumoUtils::escapeControls(options.constraints)
            << ": the constraints file cannot be loaded: " << LumoUtils::escapeControls(error) << std::endl;

    // An --output that is the design itself means a save in place.
    const bool saveInPlace = !options.outputFile.empty() && SavesInPlace(options.design, options.outputFile);
    const std::string overwritten = OverwrittenFile(
        {{options.design, "the design"}, {options.constraints, "the constraints file"}, {options.filterFile, "the filter file"}},
        {{options.logFile, "the log"}, {saveInPlace ? "" : options.outputFile, "the output"}});
    if (!overwritten.empty())
        return OperationalError(err, options.design, overwritten);

    OwnedFile ownLogFile;
    FILE* logFile = OpenLog(options.logFile, options.design, ownLogFile, error);
    if (!logFile)
        return OperationalError(err, options.logFile, error);

    HostLog log(logFile, options.fix);
    CNorvProjectChecker checker(design.session.get(), design.topBlock, &log, options.constraints, options.logLevel,
                                options.filterFile.empty() ? 0 : 1, options.filterFile, false, options.fix,
                                "kravik", options.backEnd);
    progress.SetTestNames(TestNames(checker));
    // A Ctrl-C before the run (during the load) stops it before its first test: the run itself
    // forgets a stop requested before it began.
    progress.SetBeforeTest([&checker] {
        if (InterruptGuard::Requested())
            checker.Terminate();
        return InterruptGuard::Requested();
    });
    if (terminal.isTerminal && isatty(fileno(logFile)))
        log.SetProgress(&progress);
    log.SetEscapeControls(isatty(fileno(logFile)) != 0);
    checker.SetObserver(&progress);

    const DeclaredFaults declaredFaults = ApplyFaultSwitches(*design.session, options.faults);
    // A Ctrl-C during the run asks the checker to stop: the test that runs ends without its repairs.
    interrupt.SetStopRequest([&checker] { checker.Terminate(); });
    const std::string exception = Run(checker, design.snapshot, options.thread);
    interrupt.SetStopRequest(nullptr);
    if (options.fix)
        InterruptGuard::ChecksEnded();
    progress.Clear();
    const std::string logFailure = FinishLog(logFile, ownLogFile, log.WriteError());
    if (options.faults.countCalls)
        PrintCallCounts(*design.session, err);
    // A failed database call makes a test report what it could not read, or skip it: once an
    // injected fault fired, the run cannot vouch for a clean design.
    const bool fired = ReportFiredFaults(*design.session, options.design, "the check is incomplete", err);

    if (!exception.empty())
        return OperationalError(err, options.design, "the check stopped on an exception: " + exception);
    if (!checker.GetRunError().empty())
        return OperationalError(err, options.design, checker.GetRunError());
    if (InterruptGuard::Requested())
    {
        OperationalError(err, options.design, options.fix ? "stopped by Ctrl-C; nothing was saved" : "stopped by Ctrl-C");
        return EXIT_CANCELED;
    }
    if (!progress.Started()) // the checker's only refusal: fix mode cannot lock the Norv data
        return OperationalError(err, options.design,
                                options.fix ? "the Norv data could not be locked for repairs" : "the check did not start");
    if (!progress.Completed())
        return OperationalError(err, options.design, "the check stopped before its end");
    if (!logFailure.empty())
        return OperationalError(err, LogName(options.logFile), "cannot write: " + logFailure);

    const CNorvProjectChecker::CheckerResult& result = checker.GetResult();
    RunSummary summary;
    summary.completed = true;
    summary.warnings = result.warnings;
    summary.errors = result.errors;
    summary.fixed = result.fixed;
    const ExitCode code = ExitCodeFor(summary);
    // A faulted run that found nothing cannot pass, and what it changed is not saved. One that
    // ends with findings or repairs saves them: that is how the read-failure codes are repaired.
    if (code == EXIT_CLEAN && fired)
        return EXIT_OPERATIONAL;

    RestoreDeclaredFaults(*design.session, declaredFaults);
    // A run that completed leaves --output holding the design as it stands, repaired or not, so
    // that the next step of a script finds it; a save in place only replaces a changed design.
    const bool save = Lumo::StandIn::IsModified(*design.session) || (!options.outputFile.empty() && !saveInPlace);
    const int saved = options.fix && save ? SaveDesign(*design.session, lock, options.design, options.outputFile, err)
                                          : EXIT_CLEAN;
    return saved != EXIT_CLEAN ? saved : code;
}

namespace {

// The line on what the environment leaves out of the test list; empty when it leaves out nothing.
std::string HiddenTestsNote()
{
    const bool hidden = HiddenTestsRequested(), tamsa = CNorvProjectChecker::IsFlowTamsa();
    unsigned byHidden = 0, byTamsa = 0;
    for (const TestRegistration& row : TestRegistryTable())
    {
        byHidden += IsRegisteredUnder(row.gating, true, tamsa) && !IsRegisteredUnder(row.gating, hidden, tamsa);
        byTamsa += IsRegisteredUnder(row.gating, hidden, false) && !IsRegisteredUnder(row.gating, hidden, tamsa);
    }
    std::string note;
    if (byHidden > 0)
        note = std::to_string(byHidden) + " hidden tests are not listed; set NORV_CIC_RUN_HIDDEN_TESTS=1 to show them";
    if (byTamsa > 0)
        note += (note.empty() ? "" : "; ") + std::to_string(byTamsa)
            + " tests are left out in the Tamsa flow (set by NORV_TAMSA_FLOW or QUIL_VERSION)";
    return note.empty() ? note : "kravik: " + note;
}

} // namespace

int RunListTests(const ListTestsOptions& options, std::ostream& err, const Terminal& terminal)
{
    std::string error;
    if (!options.filterFile.empty() && !ReadableFile(options.filterFile, error))
        return OperationalError(err, options.filterFile, "cannot read the filter file: " + error);

    HostLog log(stdout, false);
    CNorvProjectChecker checker(nullptr, "", &log, "", 1, options.filterFile.empty() ? 0 : 1, options.filterFile,
                                false, false, "kravik", false);
    checker.printTestList();
    OwnedFile standardOutput; // not closed here
    const std::string failure = FinishLog(stdout, standardOutput, log.WriteError());
    if (!failure.empty())
        return OperationalError(err, LogName(""), "cannot write: " + failure);
    // The list itself stays as the library prints it; a person at a terminal also learns what the
    // environment leaves out of it.
    const std::string note = terminal.isTerminal ? HiddenTestsNote() : "";
    if (!note.empty())
        err << note << std::endl;
    return EXIT_CLEAN;
}

} // namespace KravikHost
