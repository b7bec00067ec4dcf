#include "tests/connectivity/CPinsetsTreeLike.h"

#include "ConnectivityTestSupport.h"

#include <cstdlib>

using namespace conntest;

namespace
{

struct SetDesign : Design
{
    Index comp = b.NorvComp(config, "U1");
    Index net = b.PhysicalNet(config, "N");
    Index p1 = b.Pin(comp, "1", Lumo::NPT_NetPin, net);
    Index p2 = b.Pin(comp, "2", Lumo::NPT_NetPin, net);
    int count = 0;

    struct Set
    {
        Index set;
        Index virtualPin;
    };
    // A pin set of the kind with its virtual pin-set pin, both on the net, holding the members.
    Set set(int kind, std::initializer_list<Index> members = {}, Index owner = Index())
    {
        const Index on = owner.IsEmpty() ? net : owner;
        const std::string name = "S" + std::to_string(++count);
        Set s{b.Pin(on, name, kind, on), b.Pin(on, "V" + name, Lumo::NPT_VirtualPinSetPin, on)};
        b.SetRefOnly(s.set, Field::virtualPinSetPin, s.virtualPin);
        for (Index m : members)
            add(s, m);
        return s;
    }
    void add(const Set& s, Index member) { b.AppendOnly(s.set, Field::members, member); }
};

using Set = SetDesign::Set;

} // namespace

TEST(CPinsetsTreeLikeTest, ProperTreesGiveNothing)
{
    SetDesign d;
    Set leaf = d.set(Lumo::NPT_PinSetT, {d.p1, d.p2});
    Set chained = d.set(Lumo::NPT_PinSetChained, {d.p1});
    Set top = d.set(Lumo::NPT_PinSetBalanced, {leaf.virtualPin, chained.set, d.p2});
    d.add(top, top.virtualPin); // its own virtual pin-set pin is no cycle
    d.set(Lumo::NPT_PinSetUnbalanced, {top.virtualPin, leaf.virtualPin});
    d.b.PhysicalNet(d.config, "EMPTY");
    TestRun<CPinsetsTreeLike> run(d);
    EXPECT_EQ(run.findings(), Findings{});
    EXPECT_EQ(run.status, OK);
}

TEST(CPinsetsTreeLikeTest, CyclesAreFoundFromEverySetOnThem)
{
    SetDesign d;
    Set a = d.set(Lumo::NPT_PinSetT);
    Set b = d.set(Lumo::NPT_PinSetBalanced, {a.virtualPin});
    d.add(a, b.virtualPin);
    for (bool fixMode : {false, true}) {
        TestRun<CPinsetsTreeLike> run(d, fixMode);
        EXPECT_EQ(run.findings(), (Findings{finding(3808), finding(3808)})) << "fix mode " << fixMode;
    }
    TestRun<CPinsetsTreeLike> run(d);
    EXPECT_EQ(run.firstLine(), "ERROR 3808: Recursive cycle of pinsets found!\n");
}

TEST(CPinsetsTreeLikeTest, MemberFindings)
{
    struct Case
    {
        const char* name;
        std::function<void(SetDesign&)> build;
        Findings expected;
    };
    const std::vector<Case> cases = {
        {"a member of another net ends the set's walk",
         [](SetDesign& d) {
             Index other = d.b.PhysicalNet(d.config, "O");
             Index outside = d.b.Pin(d.comp, "9", Lumo::NPT_NetPin, other);
             Index lost = d.b.Pin(d.comp, "8"); // never examined
             d.set(Lumo::NPT_PinSetT, {d.p1, outside, lost});
         },
         {finding(3814)}},
        {"a virtual pin-set pin that no set names",
         [](SetDesign& d) {
             Index stray = d.b.Pin(d.net, "VX", Lumo::NPT_VirtualPinSetPin, d.net);
             d.set(Lumo::NPT_PinSetT, {stray});
         },
         {finding(3815)}},
        {"Chained and MST sets are plain pins and never walked",
         [](SetDesign& d) {
             Index stray = d.b.Pin(d.net, "VX", Lumo::NPT_VirtualPinSetPin, d.net);
             Set mst = d.set(Lumo::NPT_PinSetMst, {stray});
             d.set(Lumo::NPT_PinSetChained, {stray});
             d.set(Lumo::NPT_PinSetT, {mst.set, mst.virtualPin});
         },
         {finding(3815)}},
        {"a set whose virtual pin-set pin cannot be read owns none",
         [](SetDesign& d) {
             Set unreadable = d.set(Lumo::NPT_PinSetT, {d.p1});
             d.faults().FailOn(unreadable.set, "GetVirutalPinSetPin");
             d.set(Lumo::NPT_PinSetBalanced, {unreadable.virtualPin});
         },
         {finding(3806), finding(3815)}},
        // With an error raised, a set walks only its first nested set: the second is reached
        // only by the top-level loop.
        {"after an error only the first nested set is walked",
         [](SetDesign& d) {
             Index stray = d.b.Pin(d.net, "VX", Lumo::NPT_VirtualPinSetPin, d.net);
             Index outside = d.b.Pin(d.comp, "9");
             d.set(Lumo::NPT_PinSetT, {outside});
             Set parent = d.set(Lumo::NPT_PinSetT);
             Set first = d.set(Lumo::NPT_PinSetT, {d.p1});
             Set second = d.set(Lumo::NPT_PinSetT, {stray});
             d.add(parent, first.virtualPin);
             d.add(parent, second.virtualPin);
         },
         {finding(3814), finding(3815)}},
        {"without an earlier error both nested sets are walked",
         [](SetDesign& d) {
             Index stray = d.b.Pin(d.net, "VX", Lumo::NPT_VirtualPinSetPin, d.net);
             Set parent = d.set(Lumo::NPT_PinSetT);
             Set first = d.set(Lumo::NPT_PinSetT, {d.p1});
             Set second = d.set(Lumo::NPT_PinSetT, {stray});
             d.add(parent, first.virtualPin);
             d.add(parent, second.virtualPin);
         },
         {finding(3815), finding(3815)}},
    };
    for (const Case& c : cases) {
        SetDesign d;
        c.build(d);
        TestRun<CPinsetsTreeLike> run(d);
        EXPECT_EQ(run.findings(), c.expected) << c.name;
    }
}

TEST(CPinsetsTreeLikeTest, SetReadFailures)
{
    {
        // The failed member walk is logged at once; nothing is stored.
        SetDesign d;
        Set s = d.set(Lumo::NPT_PinSetT, {d.p1});
        d.faults().FailOn(s.set, "GetIterPins");
        TestRun<CPinsetsTreeLike> run(d);
        EXPECT_EQ(run.findings(), Findings{});
        EXPECT_EQ(run.status, FAILED);
        EXPECT_NE(run.log.written.find("ERROR 3812: Can't get iterNorvPin:"), std::string::npos) << run.log.written;
    }
    for (bool loadFails : {true, false}) {
        SetDesign d;
        Index outside = d.b.Pin(d.comp, "9");
        Set s = d.set(Lumo::NPT_PinSetT, {outside});
        d.faults().FailOn(loadFails ? s.set : outside, loadFails ? "GetNorvPin" : "GetIndex");
        TestRun<CPinsetsTreeLike> run(d);
        EXPECT_EQ(run.findings(), Findings{finding(loadFails ? 3809 : 3813)});
    }
}

TEST(CPinsetsTreeLikeTest, NetReadFailuresEndTheRun)
{
    struct Case
    {
        const char* op;
        int target; // -1 configuration, 0 net, 1 pin p2, 2 a set
        Findings (*expected)(SetDesign&, Index set);
    };
    const std::vector<Case> cases = {
        {"GetIterPhysicalNets", -1, [](SetDesign&, Index) { return Findings{finding(3801)}; }},
        {"GetIndex", 0, [](SetDesign&, Index) { return Findings{finding(3802)}; }},
        {"GetIterPins", 0, [](SetDesign& d, Index) { return Findings{finding(3803, {{d.net, ""}})}; }},
        {"GetIndex", 1, [](SetDesign& d, Index) { return Findings{finding(3804, {{d.net, ""}})}; }},
        {"GetNorvType", 1, [](SetDesign& d, Index) { return Findings{finding(3805, {{d.p2, ""}})}; }},
    };
    for (const Case& c : cases) {
        SetDesign d;
        Index stray = d.b.Pin(d.net, "VX", Lumo::NPT_VirtualPinSetPin, d.net);
        Set s = d.set(Lumo::NPT_PinSetT, {stray}); // would give a finding
        d.faults().FailOn(c.target < 0 ? d.config : c.target == 0 ? d.net : c.target == 1 ? d.p2 : s.set, c.op);
        TestRun<CPinsetsTreeLike> run(d);
        EXPECT_EQ(run.findings(), c.expected(d, s.set)) << c.op << " " << c.target;
    }
    SetDesign d;
    Set s = d.set(Lumo::NPT_PinSetT, {d.p1});
    d.faults().FailOn(s.virtualPin, "GetIndex");
    TestRun<CPinsetsTreeLike> run(d);
    EXPECT_EQ(run.findings(), Findings{finding(3807)});
}

TEST(CPinsetsTreeLikeTest, SharedSetsAreWalkedOnce)
{
    // Twenty levels of two sets, each holding both sets of the level below: 2^20 paths to the
    // bottom, but every set is walked once.
    SetDesign d;
    std::vector<Set> below = {d.set(Lumo::NPT_PinSetT, {d.p1}), d.set(Lumo::NPT_PinSetT, {d.p2})};
    for (int level = 0; level < 20; ++level) {
        std::vector<Set> sets;
        for (int i = 0; i < 2; ++i)
            sets.push_back(d.set(Lumo::NPT_PinSetBalanced, {below[0].virtualPin, below[1].virtualPin}));
        below = sets;
    }
    auto& counts = Lumo::StandIn::GetCallCounts(*d.session);
    TestRun<CPinsetsTreeLike> run(d, false, [&] { counts.Reset(); });
    EXPECT_EQ(run.findings(), Findings{});
    EXPECT_EQ(counts.Get("GetNorvPin"), 42u);
}

namespace
{

// The walk as plainly described, on the store's records: every set walked again on every path.
class PlainWalk
{
public:
    PlainWalk(Lumo::StandIn::Store& store, Index net) : m_store(store)
    {
        for (Index pin : store.List(net, Field::pins)) {
            const int64_t kind = store.Int(pin, Field::norvType);
            Record r{pin, kind == 2 || kind == 4 || kind == 5, kind == 10,
                     store.Ref(pin, Field::virtualPinSetPin), false};
            m_records.push_back(r);
        }
    }
    std::vector<unsigned> run()
    {
        for (std::size_t i = 0; i < m_records.size(); ++i)
            check(i);
        return m_codes;
    }

private:
    struct Record
    {
        Index pin;
        bool isSet, isVirtual;
        Index virtualPin;
        bool inProgress;
    };
    bool failed() const { return !m_codes.empty(); }
    bool raise(unsigned code)
    {
        m_codes.push_back(code);
        return true;
    }
    // True when the walk returned FAILED.
    bool check(std::size_t i)
    {
        if (!m_records[i].isSet)
            return failed();
        if (m_records[i].inProgress)
            return raise(3808);
        m_records[i].inProgress = true;
        const bool result = members(i);
        m_records[i].inProgress = false;
        return result;
    }
    bool members(std::size_t i)
    {
        for (Index member : m_store.List(m_records[i].pin, Field::members)) {
            std::size_t found = m_records.size();
            for (std::size_t k = 0; k < m_records.size(); ++k)
                if (m_records[k].pin == member)
                    found = k;
            if (found == m_records.size())
                return raise(3814);
            if (!m_records[found].isVirtual)
                continue;
            std::size_t owner = m_records.size();
            for (std::size_t k = 0; k < m_records.size() && owner == m_records.size(); ++k)
                if (m_records[k].isSet && m_records[k].virtualPin == member)
                    owner = k;
            if (owner == m_records.size())
                return raise(3815);
            if (owner != i && check(owner))
                return failed();
        }
        return failed();
    }

    Lumo::StandIn::Store& m_store;
    std::vector<Record> m_records;
    std::vector<unsigned> m_codes;
};

} // namespace

TEST(CPinsetsTreeLikeTest, SameFindingsAsWalkingEveryPath)
{
    std::srand(7);
    const int kinds[] = {Lumo::NPT_PinSetT, Lumo::NPT_PinSetBalanced, Lumo::NPT_PinSetUnbalanced,
                         Lumo::NPT_PinSetChained, Lumo::NPT_PinSetMst};
    for (int round = 0; round < 300; ++round) {
        SetDesign d;
        Index outside = d.b.Pin(d.comp, "X");
        Index stray = d.b.Pin(d.net, "VX", Lumo::NPT_VirtualPinSetPin, d.net);
        std::vector<Set> sets;
        const int count = 2 + std::rand() % 5;
        for (int i = 0; i < count; ++i)
            sets.push_back(d.set(kinds[std::rand() % 5]));
        std::vector<Index> pool = {d.p1, d.p2};
        for (const Set& s : sets) {
            pool.push_back(s.virtualPin);
            pool.push_back(s.virtualPin);
        }
        if (round % 3 == 0)
            pool.push_back(outside);
        if (round % 4 == 0)
            pool.push_back(stray);
        for (const Set& s : sets)
            for (int m = std::rand() % 4; m > 0; --m)
                d.add(s, pool[std::rand() % pool.size()]);
        Findings expected;
        for (unsigned code : PlainWalk(d.b.GetStore(), d.net).run())
            expected.push_back(finding(code));
        TestRun<CPinsetsTreeLike> run(d);
        ASSERT_EQ(run.findings(), expected) << "round " << round;
    }
}

TEST(CPinsetsTreeLikeTest, DeepNestingIsWalkedWithoutExhaustingTheStack)
{
    // Each set holds the virtual pin-set pin of the next; the last one closes a cycle to the first.
    SetDesign d;
    std::vector<Set> sets;
    for (int i = 0; i < 20000; ++i)
        sets.push_back(d.set(Lumo::NPT_PinSetT, {d.p1}));
    for (std::size_t i = 0; i + 1 < sets.size(); ++i)
        d.add(sets[i], sets[i + 1].virtualPin);
    TestRun<CPinsetsTreeLike> clean(d);
    EXPECT_EQ(clean.findings(), Findings{});
    d.add(sets.back(), sets.front().virtualPin);
    TestRun<CPinsetsTreeLike> cyclic(d);
    EXPECT_EQ(cyclic.findings(), Findings(sets.size(), finding(3808)));
}
