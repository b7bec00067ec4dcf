// The fault sweep: for every example design, in check mode and in fix mode, the K-th database call
// of the run fails, for every K of an unfaulted run. No run may crash, hang or exit as clean, a
// check never changes the design file, and a fix whose failed call is an unlock still logs every
// finding of the unfaulted fix (the unlock leaves the change made, so the finding is logged with
// the pass that made it). Runs the host's check in this process, so that the sweep of
// tens of thousands of runs stays fast; the ctest label "sweep" selects it.
#include "host/Commands.h"
#include "host/CommandLine.h"
#include "host/ExitCode.h"

#include "SweepSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace KravikSweep;

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

    // One check of the copy, its log discarded (log.txt in fix mode); the repaired design, if any,
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
        unlink(m_dir.File("out.json").c_str());
        return code;
    }

    TempDir m_dir;
    std::string m_design;
};

TEST_P(FaultSweepTest, EveryFailedCallIsReportedAndNeverPassesForClean)
{
    std::string err;
    KravikHost::FaultSwitches counting;
    counting.countCalls = true;
    const int unfaulted = Run(counting, err);
    ASSERT_NE(KravikHost::EXIT_OPERATIONAL, unfaulted) << err;
    // The counts end with "<total>\ttotal"; a design whose file declares faults reports them after.
    const size_t totalEnd = err.find("\ttotal\n");
    ASSERT_NE(std::string::npos, totalEnd) << err;
    const size_t totalAt = err.rfind('\n', totalEnd);
    const unsigned long total = std::stoul(err.substr(totalAt == std::string::npos ? 0 : totalAt + 1));
    ASSERT_GT(total, 0u);

    const FileState before = StateOf(m_design);
    const std::set<std::string> findings = Findings(ReadFile(m_dir.File("log.txt")));

    // KRAVIK_SWEEP_STRIDE=n fails every n-th call only (the sanitizer build, whose runs are several
    // times slower, sweeps that way; the plain build sweeps every call).
    const char* strideText = std::getenv("KRAVIK_SWEEP_STRIDE");
    const unsigned long stride = strideText && std::atol(strideText) > 0 ? std::atol(strideText) : 1;
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
