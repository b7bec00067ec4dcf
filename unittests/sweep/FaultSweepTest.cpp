// The fault sweep: for every example design, in check mode and in fix mode, the K-th database call
// of the run fails, for every K of an unfaulted run. No run may crash, hang or exit as clean, and a
// check never changes the design file. Runs the host's check in this process, so that the sweep of
// tens of thousands of runs stays fast; the ctest label "sweep" selects it.
#include "host/Commands.h"
#include "host/CommandLine.h"
#include "host/ExitCode.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string kExamples = std::string(KRAVIK_SOURCE_DIR) + "/examples";

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The example designs (every file of examples/ but the constraints files), by file name.
std::vector<std::string> ExampleDesigns()
{
    std::vector<std::string> names;
    if (DIR* d = opendir(kExamples.c_str()))
    {
        while (dirent* e = readdir(d))
        {
            const std::string name = e->d_name;
            if (name.size() > 5 && name.compare(name.size() - 5, 5, ".json") == 0
                && name.find("constraints") == std::string::npos)
                names.push_back(name);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

struct SweepCase
{
    std::string design; // file name under examples/
    bool fix;
};

std::string CaseName(const ::testing::TestParamInfo<SweepCase>& info)
{
    std::string name = info.param.design.substr(0, info.param.design.size() - 5) + (info.param.fix ? "_fix" : "_check");
    std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

class FaultSweepTest : public ::testing::TestWithParam<SweepCase>
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/kravik-sweep-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(pattern));
        m_dir = pattern;
        m_design = m_dir + "/design.json";
        std::ofstream(m_design, std::ios::binary) << ReadBytes(kExamples + "/" + GetParam().design);
    }
    void TearDown() override { std::system(("rm -rf '" + m_dir + "'").c_str()); }

    // One check of the copy, its log discarded; the repaired design, if any, goes to out.json.
    int Run(const KravikHost::FaultSwitches& faults, std::string& err)
    {
        KravikHost::CheckOptions options;
        options.design = m_design;
        options.constraints = kExamples + "/constraints-full.json";
        options.logFile = "/dev/null";
        options.fix = GetParam().fix;
        if (options.fix)
            options.outputFile = m_dir + "/out.json";
        options.faults = faults;
        std::ostringstream errors;
        const int code = KravikHost::RunCheck(options, errors, KravikHost::Terminal());
        err = errors.str();
        unlink((m_dir + "/out.json").c_str());
        return code;
    }

    std::string m_dir, m_design;
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

    struct stat before;
    ASSERT_EQ(0, stat(m_design.c_str(), &before));
    const std::string original = ReadBytes(m_design);

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
        ++exits[static_cast<size_t>(code)];
    }
    std::cout << "[ sweep    ] " << GetParam().design << (GetParam().fix ? " fix" : " check") << ": "
              << (total + stride - 1) / stride << " runs; exit 1: " << exits[1] << ", exit 4: " << exits[4] << ", exit 8: " << exits[8] << std::endl;

    if (!GetParam().fix)
    {
        struct stat after;
        ASSERT_EQ(0, stat(m_design.c_str(), &after));
        EXPECT_EQ(original, ReadBytes(m_design));
        EXPECT_EQ(before.st_mtim.tv_sec, after.st_mtim.tv_sec);
        EXPECT_EQ(before.st_mtim.tv_nsec, after.st_mtim.tv_nsec);
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
