#include "NetRepairTestKit.h"

#include <functional>

using namespace nettest;

namespace
{

// Fails each database call of one repair in turn, for one repair of each subject: no crash, no
// lock left, a failure that carries its result, and a repair that still reports fixed made the
// change its fixed status stands for (what it reports on), as the undisturbed run did.
class CFixNetFaultSweepTest : public NetRepairTest
{
public:
    Index subject; // what the fixed status stands for
};

struct SweepCase
{
    const char* name;
    // Builds the design and fills the slots.
    std::function<void(CFixNetFaultSweepTest&)> build;
    FixMethod method;
    // What a fixed status promises of the subject.
    std::function<std::string(CFixNetFaultSweepTest&)> promise;
};

TEST_F(CFixNetFaultSweepTest, EveryCallFailsInTurn)
{
    const SweepCase cases[] = {
        {"ResetWrongTopoOrdered",
         [](CFixNetFaultSweepTest& t) {
             const Index e = t.b->ElectricalNet(t.cfg, "E");
             const Index p = t.b->PhysicalNet(t.cfg, "P", e);
             t.b->Constraint(p, "TOPO_ORDERED", "Yes");
             t.Slots(t.subject = p);
         },
         &CFixNet::ResetWrongTopoOrdered, [](CFixNetFaultSweepTest& t) { return t.TopoOrdered(t.subject); }},
        {"FixInvalidTopologyType",
         [](CFixNetFaultSweepTest& t) {
             const Index n1 = t.b->ElectricalNet(t.cfg, "N1"), n2 = t.b->ElectricalNet(t.cfg, "N2");
             const Index p = t.b->PhysicalNet(t.cfg, "P", n1);
             const Index d = t.b->DiffPair(t.cfg, "D", n1, n2);
             for (Index net : {n1, n2, p, d})
                 t.b->Constraint(net, "ORDER_TYPE", "star");
             t.Slots(t.subject = p);
         },
         &CFixNet::FixInvalidTopologyType, [](CFixNetFaultSweepTest& t) { return t.Topo(t.subject); }},
        {"DeleteDuplicatedFromTo",
         [](CFixNetFaultSweepTest& t) {
             const Index p = t.b->PhysicalNet(t.cfg, "P");
             const Index a = t.b->FromTo(p, "a", Index(), Index()), b = t.b->FromTo(p, "b", Index(), Index());
             t.b->Constraint(a, "FROMTO_USERDEFINED", 0);
             t.b->Constraint(b, "FROMTO_USERDEFINED", 1);
             t.subject = b;
             t.Slots(p, a, b);
         },
         &CFixNet::DeleteDuplicatedFromTo,
         [](CFixNetFaultSweepTest& t) { return std::to_string(t.Alive(t.subject)); }},
        {"DisconnectPinWithoutParentComp",
         [](CFixNetFaultSweepTest& t) {
             const Index p = t.b->PhysicalNet(t.cfg, "P");
             t.Slots(p, t.subject = t.b->Pin(t.b->NorvComp(t.cfg, "U"), "1", NPT_NetPin, p));
         },
         &CFixNet::DisconnectPinWithoutParentComp,
         [](CFixNetFaultSweepTest& t) { return t.store().Ref(t.subject, Field::parentPhysicalNet).ToText(); }},
        {"FixDiffPairNetsTopology",
         [](CFixNetFaultSweepTest& t) {
             const Index n1 = t.b->ElectricalNet(t.cfg, "N1"), n2 = t.b->ElectricalNet(t.cfg, "N2");
             const Index p1 = t.b->PhysicalNet(t.cfg, "P1", n1), p2 = t.b->PhysicalNet(t.cfg, "P2", n2);
             const Index d = t.b->DiffPair(t.cfg, "D", n1, n2);
             for (Index net : {n1, n2, p1, p2, d})
                 t.b->Constraint(net, "ORDER_TYPE", "MST");
             t.Slots(d);
         },
         // Fixed when any value changed: nothing more is promised.
         &CFixNet::FixDiffPairNetsTopology, [](CFixNetFaultSweepTest&) { return std::string(); }},
        {"UnifyElecAndPhysNetTopology",
         [](CFixNetFaultSweepTest& t) {
             const Index e = t.b->ElectricalNet(t.cfg, "E");
             t.b->Constraint(e, "ORDER_TYPE", "MST");
             for (const char* value : {"Chained", "Chained"})
                 t.b->Constraint(t.b->PhysicalNet(t.cfg, std::string("P") + value, e), "ORDER_TYPE", value);
             t.Slots(t.subject = e);
         },
         &CFixNet::UnifyElecAndPhysNetTopology, [](CFixNetFaultSweepTest& t) { return t.Topo(t.subject); }},
    };
    for (const SweepCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        c.build(*this);
        ASSERT_TRUE(FixContext::Run(c.method).fixed);
        EXPECT_TRUE(records().empty()); // these repairs change values, never the net structure
        const std::string promised = c.promise(*this);
        for (uint64_t k = 1;; ++k)
        {
            SCOPED_TRACE(k);
            TearDown();
            SetUp();
            c.build(*this);
            faults().SetCountdown(k);
            const CFixStatus status = FixContext::Run(c.method);
            if (faults().Fired().empty())
                break;
            EXPECT_EQ(0u, OwnLocks());
            // A failed fetch of the reported object reads as that object being gone: fixed.
            const bool fetch = faults().Fired().front().operation.rfind("GetNorv", 0) == 0;
            if (status.fixed && !fetch) {
                EXPECT_EQ(promised, c.promise(*this));
            } else if (status.error && status.message.empty()) {
                EXPECT_FALSE(status.result);
            }
            ASSERT_LT(k, 200u);
        }
    }
}

} // namespace
