// The fault sweep: for every example design, in check mode and in fix mode, the K-th database call
// The fault sweep: for every example design, in check mode and in fix mode, the K-th database call
// of the run fails, for every K of an unfaulted run. No run may crash, hang or exit as clean, a
// check never changes the design file, and a fix whose failed call is an unlock still logs every
// finding of the unfaulted fix (the unlock leaves the change made, so the finding is logged with
// the pass that made it). The maintenance commands are swept the same way, saving in place: each
// faulted run exits 8 and leaves the design's folder as it was. Runs the host's commands in this
// process, so that the sweep of tens of thousands of runs stays fast; the ctest label "sweep"
// selects it.
#include "host/Commands.h"
#include "host/CommandLine.h"
#include "host/ExitCode.h"

#include "SweepSupport.h"
#include "support/CallCounts.h"

#include "lumopi/StandIn.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace KravikSweep;
using KravikTest::TotalCalls;

struct SweepCase
{
    std::string design; // file name under examples/
    bool fix;
};

// What gtest prints for the case (as "GetParam() = ..." in listings and failures).
void PrintTo(const SweepCase& c, std::ostream* out)
{
    *out << c.design << (c.fix ? " --fix" : "");
}

std::string CaseName(const ::testing::TestParamInfo<SweepCase>& info)
{
    std::string name = info.param.design.substr(0, info.param.design.size() - 5) + (info.param.fix ? "_fix" : "_check");
    std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

// The finding lines of a log, without the repair outcome that follows them in fix mode.
std::set<std::string> Findings(const std::string& log)
{
    std::set<std::string> out;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);)
    {
        if (line.rfind("ERROR ", 0) != 0 && line.rfind("WARNING ", 0) != 0 && line.rfind("INFO ", 0) != 0)
            continue;
        out.insert(line.substr(0, std::min(line.find(" - Fixed."), line.find(" - Not Fixed."))));
    }
    return out;
}

// The operation of the first injected fault that fired, from the run's notice.
std::string FirstFired(const std::string& err)
{
    static const std::string notice = " fired, the first on ";
    const size_t at = err.find(notice);
    if (at == std::string::npos)
        return std::string();
    const size_t from = at + notice.size();
    return err.substr(from, err.find(' ', from) - from);
}

class FaultSweepTest : public ::testing::TestWithParam<SweepCase>
{
protected:
    void SetUp() override
    {
        m_design = m_dir.File("design.json");
        WriteFile(m_design, ReadFile(ExamplePath(GetParam().design)));
    }

    // One check of the copy, its log discarded (kept in log.txt in fix mode); the repaired design, if any,
    // goes to out.json.
    int Run(const KravikHost::FaultSwitches& faults, std::string& err)
    {
        KravikHost::CheckOptions options;
        options.design = m_design;
        options.constraints = ExamplePath("constraints-full.json");
        options.logFile = GetParam().fix ? m_dir.File("log.txt") : "/dev/null";
        options.fix = GetParam().fix;
        if (options.fix)
            options.outputFile = m_dir.File("out.json");
        options.faults = faults;
        std::ostringstream errors;
        const int code = KravikHost::RunCheck(options, errors, KravikHost::Terminal());
        err = errors.str();
        m_saved = unlink(m_dir.File("out.json").c_str()) == 0;
        return code;
    }

    TempDir m_dir;
    std::string m_design;
    bool m_saved = false; // the last run wrote out.json
};

TEST_P(FaultSweepTest, EveryFailedCallIsReportedAndNeverPassesForClean)
{
    std::string err;
    KravikHost::FaultSwitches counting;
    counting.countCalls = true;
    const int unfaulted = Run(counting, err);
    ASSERT_NE(KravikHost::EXIT_OPERATIONAL, unfaulted) << err;
    const unsigned long total = TotalCalls(err);
    ASSERT_GT(total, 0u) << err;

    const FileState before = StateOf(m_design);
    const std::set<std::string> findings = Findings(ReadFile(m_dir.File("log.txt")));
    const unsigned long stride = SweepStride();
    std::vector<int> exits(17, 0);
    for (unsigned long k = 1; k <= total; k += stride)
    {
        KravikHost::FaultSwitches faults;
        faults.failCall = k;
        const int code = Run(faults, err);
        ASSERT_TRUE(code == KravikHost::EXIT_REPAIRED || code == KravikHost::EXIT_FINDINGS
                    || code == KravikHost::EXIT_OPERATIONAL)
            << "--fail-call " << k << ": exit " << code << "\n" << err;
        ASSERT_NE(std::string::npos, err.find(" fired, the first on ")) << "--fail-call " << k << "\n" << err;
        ASSERT_FALSE(code == KravikHost::EXIT_OPERATIONAL && m_saved) << "--fail-call " << k << ": saved on exit 8";
        if (GetParam().fix)
        {
            EXPECT_EQ("", TextlessFailure(ReadFile(m_dir.File("log.txt")))) << "--fail-call " << k;
        }
        if (GetParam().fix && FirstFired(err) == "UnLock")
        {
            const std::set<std::string> logged = Findings(ReadFile(m_dir.File("log.txt")));
            for (const std::string& finding : findings)
                EXPECT_EQ(1u, logged.count(finding)) << "--fail-call " << k << " (UnLock) lost: " << finding;
        }
        ++exits[static_cast<size_t>(code)];
    }
    std::cout << "[ sweep    ] " << GetParam().design << (GetParam().fix ? " fix" : " check") << ": "
              << (total + stride - 1) / stride << " runs; exit 1: " << exits[1] << ", exit 4: " << exits[4] << ", exit 8: " << exits[8] << std::endl;

    if (!GetParam().fix)
    {
        EXPECT_EQ("", ChangeOf(m_design, before));
    }
}

// A fix whose one failed call comes after its only repair changed the design (the unlock of the
// renumbered layers) finds nothing left: it must not pass, and what it changed is then not saved.
// Where the repair is reported, the run ends as repaired and saves it.
TEST(FaultedFixTest, EndsAsFailedWithNothingSavedOrSavesWhatItReports)
{
    TempDir dir;
    std::string design = ReadFile(ExamplePath("clean.json"));
    const std::string from = "\"layerNumber\": 2, \"metallicLayerNumber\": 2";
    ASSERT_NE(std::string::npos, design.find(from));
    design.replace(design.find(from), from.size(), "\"layerNumber\": 5, \"metallicLayerNumber\": 2");
    WriteFile(dir.File("design.json"), design);

    KravikHost::CheckOptions options;
    options.design = dir.File("design.json");
    options.constraints = ExamplePath("constraints-full.json");
    options.logFile = "/dev/null";
    options.fix = true;
    options.faults.failNext.push_back({"UnLock", 1});
    std::ostringstream err;
    const int code = KravikHost::RunCheck(options, err, KravikHost::Terminal());
    const bool saved = ReadFile(dir.File("design.json")) != design;
    EXPECT_TRUE((code == KravikHost::EXIT_OPERATIONAL && !saved
                 && dir.List() == std::vector<std::string>{"design.json"})
                || (code == KravikHost::EXIT_REPAIRED && saved))
        << "exit " << code << (saved ? ", saved" : "") << "\n" << err.str();
}

std::vector<SweepCase> Cases()
{
    std::vector<SweepCase> cases;
    for (const std::string& design : ExampleDesigns())
        for (bool fix : {false, true})
            cases.push_back({design, fix});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Examples, FaultSweepTest, ::testing::ValuesIn(Cases()), CaseName);

} // namespace

namespace {

// Fewer calls of the other designs fail than of clean.json, to keep the sweep's time in bounds.
const unsigned long kMaintenanceStride = 3;

// An object for `object --clear`: the first electrical net with constraints, else the design.
std::string ObjectToClear(const std::string& design)
{
    std::unique_ptr<Lumo::LumoPI> session = Lumo::StandIn::LoadSession(design);
    Lumo::StandIn::Store& store = Lumo::StandIn::GetStore(*session);
    for (Lumo::Index net : store.AllLive(Lumo::StandIn::Kind::ElectricalNet))
        if (!store.List(net, Lumo::StandIn::Field::constraints).empty())
            return net.ToText();
    return store.AllLive(Lumo::StandIn::Kind::Design).front().ToText();
}

class MaintenanceSweepTest : public ::testing::TestWithParam<std::string>
{
protected:
    // One maintenance command on the design, saving in place, its log discarded.
    int Run(KravikHost::MaintenanceOptions options, const KravikHost::FaultSwitches& faults, std::string& err)
    {
        options.design = m_dir.File("design.json");
        options.logFile = "/dev/null";
        options.faults = faults;
        std::ostringstream errors;
        const int code = KravikHost::RunMaintenance(options, errors);
        err = errors.str();
        return code;
    }

    TempDir m_dir;
};

TEST_P(MaintenanceSweepTest, EveryFailedCallEndsWithNothingSaved)
{
    const std::string original = ReadFile(ExamplePath(GetParam()));
    const std::string design = m_dir.File("design.json");
    WriteFile(design, original);
    using Options = KravikHost::MaintenanceOptions;
    std::vector<Options> commands(6);
    const Options::Operation operations[] = {Options::INIT, Options::CLEAR, Options::FORMAT, Options::RECREATE,
                                             Options::OBJECT, Options::STATS};
    for (size_t c = 0; c < commands.size(); ++c)
        commands[c].operation = operations[c];
    commands[4].indexText = ObjectToClear(design);
    ASSERT_EQ("", KravikHost::ParseIndexText(commands[4].indexText, commands[4].index));
    commands[4].clearObject = true;

    const unsigned long stride = SweepStride() * (GetParam() == "clean.json" ? 1 : kMaintenanceStride);
    for (const Options& command : commands)
    {
        const std::string name = KravikHost::MaintenanceCommandName(command.operation);
        std::string err;
        KravikHost::FaultSwitches counting;
        counting.countCalls = true;
        Run(command, counting, err);
        const unsigned long total = TotalCalls(err);
        ASSERT_GT(total, 0u) << name << "\n" << err;
        for (const std::string& left : m_dir.List())
            ASSERT_TRUE(left == "design.json" || left == "design.json.bak") << name << ": " << left << " left";
        unlink((design + ".bak").c_str());
        WriteFile(design, original);
        const FileState before = StateOf(design);

        unsigned long runs = 0;
        for (unsigned long k = 1; k <= total; k += stride, ++runs)
        {
            KravikHost::FaultSwitches faults;
            faults.failCall = k;
            const int code = Run(command, faults, err);
            ASSERT_EQ(KravikHost::EXIT_OPERATIONAL, code) << name << " --fail-call " << k << "\n" << err;
            ASSERT_NE(std::string::npos, err.find(" fired, the first on ")) << name << " --fail-call " << k << "\n" << err;
            ASSERT_EQ("", ChangeOf(design, before)) << name << " --fail-call " << k << "\n" << err;
            ASSERT_EQ(std::vector<std::string>{"design.json"}, m_dir.List()) << name << " --fail-call " << k;
        }
        std::cout << "[ sweep    ] " << GetParam() << " " << name << ": " << runs << " runs of " << total << " calls"
                  << std::endl;
    }
}

INSTANTIATE_TEST_SUITE_P(Examples, MaintenanceSweepTest, ::testing::ValuesIn(ExampleDesigns()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param.substr(0, info.param.size() - 5);
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
