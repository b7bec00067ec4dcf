// FixContext: the static storage every repair method reads, since repair methods take no
// arguments. CFixMgr writes it: the session part before each test (InitTest), the pairs before
// each repair; the repairs write only the two records at the end. CFixMgr runs each repair through
// Run. One instance per process, so one fix-mode check runs at a time.
// s_fixUIDManager may be null (a test whose setup failed, or no test yet): a repair must then
// report failure and never dereference it. The containers may be empty; calls through an empty
// container fail.
#pragma once

#include "framework/CFixStatus.h"

#include "lumopi/LumoPI.h"

#include <string>

struct FixContext
{
    // Number (0 to 4) of pairs of the finding being repaired, and its pairs in raise order; the
    // slots beyond the count hold the empty index and the empty name.
    static unsigned s_fixParamCount;
    static Lumo::Index s_fixIndex1;
    static Lumo::Index s_fixIndex2;
    static Lumo::Index s_fixIndex3;
    static Lumo::Index s_fixIndex4;
    static std::string s_fixName1;
    static std::string s_fixName2;
    static std::string s_fixName3;
    static std::string s_fixName4;

    // What the current test opened.
    static Lumo::LumoPI* s_fixSession;
    static Lumo::ContainerT<const Lumo::ISnapshot> s_fixSnapshot;
    static Lumo::IUIDManager* s_fixUIDManager;
    static Lumo::ContainerT<const Lumo::INorvConfig> s_fixNorvConfig;
    static Lumo::ContainerT<const Lumo::INorvDesign> s_fixNorvDesign;

    // Set by the package-to-package rule repair after a sweep that deleted every broken rule and
    // skipped none; the other findings of the same test's queue then have nothing left to repair.
    // InitTest clears it.
    static bool s_fixP2PSwept;

    // The first unlock that failed after the running repair had made its change through the lock.
    // The change stands, so the repair goes on and reports what it changed; Run hands the failure
    // on in the repair's status.
    static Lumo::Result s_fixUnlockFailure;

    // Runs a repair method. A repair whose unlock failed after its change comes back with the error
    // flag and, unless it failed with a result of its own, the unlock's result: a fixed finding
    // stays fixed, as the design was changed.
    static CFixStatus Run(CFixStatus (*method)());
};
