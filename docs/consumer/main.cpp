// Checks a design file through the installed library: `consumer DESIGN CONSTRAINTS TOPBLOCK` writes the check
// log to standard output and prints the warning and error counts last.
#include "framework/CNorvProjectChecker.h"
#include "framework/CTestLog.h"
#include "lumopi/StandIn.h"

#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
    if (argc != 4)
    {
        std::fprintf(stderr, "usage: consumer DESIGN CONSTRAINTS TOPBLOCK\n");
        return 2;
    }
    Lumo::StandIn::LoadError error;
    std::unique_ptr<Lumo::LumoPI> session = Lumo::StandIn::LoadSession(argv[1], &error);
    if (!session)
    {
        std::fprintf(stderr, "%s: %s\n", error.path.c_str(), error.message.c_str());
        return 1;
    }
    Lumo::StandIn::Store& store = Lumo::StandIn::GetStore(*session);
    CTestLog log(stdout, false);
    CNorvProjectChecker checker(session.get(), argv[3], &log, argv[2], 1, 0, "", false, false, "consumer", false);
    if (!checker.Check_NorvLUMO(store.SnapshotName()))
        return 1;
    const CNorvProjectChecker::CheckerResult& result = checker.GetResult();
    std::printf("consumer: %d warnings, %d errors\n", result.warnings, result.errors);
    return 0;
}
