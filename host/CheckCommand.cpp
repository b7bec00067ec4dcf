#include "host/Commands.h"

#include "host/DesignFile.h"
#include "host/ExitCode.h"
#include "host/HostLog.h"
#include "host/LogOutput.h"
#include "host/ProgressDisplay.h"

#include "framework/CKravikThread.h"
#include "framework/CNorvProjectChecker.h"

#include "lumopi/StandIn.h"

#include <cerrno>
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

// A filter file must be a readable regular file: the checker itself would take a missing one for
// an empty filter and run every test.
bool ReadableFile(const std::string& path, std::string& error)
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
    FILE* file = std::fopen(path.c_str(), "r");
    if (file == nullptr)
    {
        error = std::strerror(errno);
        return false;
    }
    std::fclose(file);
    return true;
}

// Runs the check on this thread or the checker's worker thread. Returns the text of an exception
// that ended the run on this thread (the worker thread absorbs its own).
std::string Run(CNorvProjectChecker& checker, const std::string& snapshot, bool onWorkerThread)
{
    try
    {
        if (onWorkerThread)
        {
            CKravikThread thread(&checker, snapshot);
            thread.Start();
            thread.Join();
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
    err << "kravik: " << file << ": " << reason << std::endl;
    return EXIT_OPERATIONAL;
}

int RunCheck(const CheckOptions& options, std::ostream& err, const Terminal& terminal)
{
    OpenDesign design;
    std::string error;
    if (!OpenDesignFile(options.design, options.snapshot, options.topBlock, design, error))
        return OperationalError(err, options.design, error);
    if (!options.filterFile.empty() && !ReadableFile(options.filterFile, error))
        return OperationalError(err, options.filterFile, "cannot read the filter file: " + error);

    OwnedFile ownLogFile;
    FILE* logFile = OpenLog(options.logFile, options.design, ownLogFile, error);
    if (!logFile)
        return OperationalError(err, options.logFile, error);

    HostLog log(logFile, options.fix);
    CNorvProjectChecker checker(design.session.get(), design.topBlock, &log, options.constraints, options.logLevel,
                                options.filterFile.empty() ? 0 : 1, options.filterFile, false, options.fix,
                                "kravik", options.backEnd);
    ProgressDisplay progress(err, terminal.isTerminal, TestNames(checker), terminal.width);
    if (terminal.isTerminal && isatty(fileno(logFile)))
        log.SetProgress(&progress);
    checker.SetObserver(&progress);

    const DeclaredFaults declaredFaults = ApplyFaultSwitches(*design.session, options.faults);
    const std::string exception = Run(checker, design.snapshot, options.thread);
    progress.Clear();
    std::fflush(logFile);
    if (options.faults.countCalls)
        PrintCallCounts(*design.session, err);

    if (!exception.empty())
        return OperationalError(err, options.design, "the check stopped on an exception: " + exception);
    if (!progress.Started()) // the checker's only refusal: fix mode cannot lock the Norv data
        return OperationalError(err, options.design,
                                options.fix ? "the Norv data could not be locked for repairs" : "the check did not start");
    if (!progress.Completed())
        return OperationalError(err, options.design, "the check stopped before its end");

    RestoreDeclaredFaults(*design.session, declaredFaults);
    if (options.fix && Lumo::StandIn::IsModified(*design.session)
        && !SaveDesignFile(*design.session, options.design, options.outputFile, error))
        return OperationalError(err, options.outputFile.empty() ? options.design : options.outputFile,
                                "the repaired design was not saved: " + error);

    const CNorvProjectChecker::CheckerResult& result = checker.GetResult();
    RunSummary summary;
    summary.completed = true;
    summary.warnings = result.warnings;
    summary.errors = result.errors;
    summary.fixed = result.fixed;
    return ExitCodeFor(summary);
}

int RunListTests(const ListTestsOptions& options, std::ostream& err)
{
    std::string error;
    if (!options.filterFile.empty() && !ReadableFile(options.filterFile, error))
        return OperationalError(err, options.filterFile, "cannot read the filter file: " + error);

    HostLog log(stdout, false);
    CNorvProjectChecker checker(nullptr, "", &log, "", 1, options.filterFile.empty() ? 0 : 1, options.filterFile,
                                false, false, "kravik", false);
    checker.printTestList();
    std::fflush(stdout);
    return EXIT_CLEAN;
}

} // namespace KravikHost
