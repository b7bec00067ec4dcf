// Scaling of the framework's hot paths:
//  - CNorvDetailChecker::checkNamesUnique over n names with a share of case-variant duplicates: the time per
//    name should stay flat as n grows (grouping by folded name, not comparing every pair);
//  - the final log of a run with k stored findings of three pairs each: ObjectExists calls per pair written
//    (exactly 1) and the time per finding.
//
//   bench_framework [max names, default 200000]

#include "bench/BenchHarness.h"
#include "framework/CNorvProjectChecker.h"

#include <string>
#include <vector>

namespace
{

using BenchHarness::SecondsSince;

// Raises one three-pair finding per physical net of the design.
class ManyFindings : public CNorvDetailChecker
{
public:
    explicit ManyFindings(std::vector<Lumo::Index> nets) : m_nets(std::move(nets)) {}
    std::string getTestName() const override { return "many findings"; }
    TestStatus runTest(bool) override
    {
        for (size_t i = 0; i + 2 < m_nets.size(); i += 3)
            raiseError(CDICErrors::T15_PHYSNETINMANYENETS, m_nets[i], "A", m_nets[i + 1], "B", m_nets[i + 2], "C");
        return m_status;
    }

private:
    std::vector<Lumo::Index> m_nets;
};

class BenchChecker : public CNorvProjectChecker
{
public:
    BenchChecker(Lumo::LumoPI* session, IKravikLog* log)
        : CNorvProjectChecker(session, "TOP", log, "", 1, 0, "", false, false, "", false)
    {
    }
    void setOnlyTest(CNorvDetailChecker* test)
    {
        for (CNorvDetailChecker* old : m_vecTests)
            delete old;
        m_vecTests.assign(1, test);
    }
};

} // namespace

int main(int argc, char** argv)
{
    const size_t maxNames = BenchHarness::MaxSize(argc, argv, 200000);

    std::printf("checkNamesUnique (1 in 10 names duplicated with other letter case)\n");
    std::printf("%10s %12s %14s\n", "names", "seconds", "ns per name");
    for (size_t n = 1000; n <= maxNames; n *= 10) {
        std::vector<std::string> names;
        names.reserve(n);
        for (size_t i = 0; i < n; ++i)
            names.push_back(i % 10 == 9 ? "net_" + std::to_string(i - 1) : "NET_" + std::to_string(i));
        CNorvDetailChecker test; // no log: the duplicate lines are counted, not written
        const auto start = std::chrono::steady_clock::now();
        test.checkNamesUnique(names);
        const double seconds = SecondsSince(start);
        std::printf("%10zu %12.4f %14.1f\n", n, seconds, seconds * 1e9 / static_cast<double>(n));
    }

    std::printf("\nfinal log of stored findings (three pairs each)\n");
    std::printf("%10s %12s %22s\n", "findings", "seconds", "ObjectExists per pair");
    for (size_t k = 1000; k <= maxNames / 10; k *= 10) {
        auto session = Lumo::StandIn::NewSession();
        Lumo::StandIn::Builder builder(*session, "main");
        const Lumo::Index config = builder.NorvConfig("TOP");
        builder.DefaultObjects(builder.Design(config));
        std::vector<Lumo::Index> nets;
        for (size_t i = 0; i < 3 * k; ++i)
            nets.push_back(builder.PhysicalNet(config, "N" + std::to_string(i)));

        CTestLog log(nullptr, false);
        BenchChecker checker(session.get(), &log);
        checker.setOnlyTest(new ManyFindings(nets));
        Lumo::StandIn::GetCallCounts(*session).Reset();
        const auto start = std::chrono::steady_clock::now();
        checker.Check_NorvLUMO("main");
        const double seconds = SecondsSince(start);
        const double perPair = static_cast<double>(Lumo::StandIn::GetCallCounts(*session).Get("ObjectExists")) /
                               static_cast<double>(3 * k);
        std::printf("%10zu %12.4f %22.2f\n", k, seconds, perPair);
    }
    return 0;
}
