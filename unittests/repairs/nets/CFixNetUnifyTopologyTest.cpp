#include "NetRepairTestKit.h"

using namespace nettest;

namespace
{

class CFixNetUnifyTopologyTest : public NetRepairTest
{
public:
    // Electrical net E with the given value and physical nets of the given values; an empty list
    // entry of null gives a net without the constraint.
    void Build(const char* elecValue, const std::vector<const char*>& physValues)
    {
        elec = b->ElectricalNet(cfg, "E");
        b->Constraint(elec, "ORDER_TYPE", elecValue);
        phys.clear();
        for (const char* value : physValues)
        {
            phys.push_back(b->PhysicalNet(cfg, "P" + std::to_string(phys.size()), elec));
            if (value != nullptr)
                b->Constraint(phys.back(), "ORDER_TYPE", value);
        }
        Slots(elec);
    }
    std::vector<std::string> PhysValues()
    {
        std::vector<std::string> values;
        for (Index net : phys)
            values.push_back(Topo(net));
        return values;
    }

    Index elec;
    std::vector<Index> phys;
};

TEST_F(CFixNetUnifyTopologyTest, DecisionRows)
{
    enum Extra
    {
        None,
        VirtualPinSetPin, // kind 10: counted by every row but the sixth
        PinSet,           // kind 1: counted by every row
        VirtualPin,       // kind 6: counted only by the sixth row
        FromTo
    };
    struct Case
    {
        const char* what;
        const char* e;
        std::vector<const char*> p;
        Extra extra;
        const char* pair; // the value of a differential pair of E and another net; null: none
        const char* eAfter;
        std::vector<std::string> pAfter;
        bool fixed;
    };
    const Case cases[] = {
        {"equal", "MST", {"MST"}, None, nullptr, "MST", {"MST"}, true},
        {"row 1: E Custom", "Custom", {"MST"}, None, nullptr, "Custom", {"Custom"}, true},
        {"row 1: E TShape", "TShape", {"HTree"}, None, nullptr, "TShape", {"TShape"}, true},
        {"row 2: P Custom", "MST", {"Custom"}, None, nullptr, "Custom", {"Custom"}, true},
        {"row 2: exact comparison", "custom", {"Custom"}, None, nullptr, "Custom", {"Custom"}, true},
        {"row 2: E Mixed", "Mixed", {"HTree"}, None, nullptr, "HTree", {"HTree"}, true},
        {"row 3: pin-set pin", "MST", {"Complex"}, VirtualPinSetPin, nullptr, "Complex", {"Complex"}, true},
        {"row 3: nothing special", "MST", {"Complex"}, None, nullptr, "MST", {"MST"}, true},
        {"row 3: from-tos", "MST", {"Complex"}, FromTo, nullptr, "MST", {"Complex"}, false},
        {"row 4: pin set", "MST", {"0"}, PinSet, nullptr, "Complex", {"0"}, true},
        {"row 4: nothing special", "MST", {"0"}, None, nullptr, "MST", {"MST"}, true},
        {"row 4: from-tos", "MST", {"0"}, FromTo, nullptr, "Custom", {"0"}, true},
        {"row 5", "Chained", {"MST"}, None, nullptr, "MST", {"MST"}, true},
        {"row 5: from-tos", "Chained", {"MST"}, FromTo, nullptr, "Chained", {"MST"}, false},
        {"row 6: virtual pin-set pin not counted", "MST", {"TShape"}, VirtualPinSetPin, nullptr, "MST", {"MST"}, true},
        {"row 6: virtual pin", "MST", {"HTree"}, VirtualPin, nullptr, "MST", {"HTree"}, false},
        {"row 7", "HTree", {"MST"}, None, nullptr, "HTree", {"MST"}, false},
        {"row 7: Star never tested", "Star", {"MST"}, None, nullptr, "Star", {"MST"}, false},
        {"several differ", "MST", {"Chained", "Chained", "MST"}, None, nullptr, "Mixed", {"Chained", "Chained", "MST"}, true},
        {"several alike", "MST", {"Chained", "Chained"}, None, nullptr, "Chained", {"Chained", "Chained"}, true},
        {"several alike, E Mixed", "Mixed", {"HTree", "HTree"}, None, nullptr, "HTree", {"HTree", "HTree"}, true},
        {"several differ, E Mixed", "Mixed", {"HTree", "Star"}, None, nullptr, "Mixed", {"HTree", "Star"}, false},
        {"several empty", "MST", {"", ""}, None, nullptr, "MST", {"", ""}, false},
        {"several empty, E Mixed", "Mixed", {"", ""}, None, nullptr, "", {"", ""}, true},
        {"leading empty skipped", "MST", {"", "Star", "Star"}, None, nullptr, "Star", {"", "Star", "Star"}, true},
        {"pair and net Custom", "Custom", {"MST", "Star"}, None, "Custom", "Custom", {"Custom", "Custom"}, true},
        {"pair not Custom", "Custom", {"MST", "MST"}, None, "Star", "MST", {"MST", "MST"}, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        Build(c.e, c.p);
        const Index first = phys.front();
        switch (c.extra)
        {
        case VirtualPinSetPin: b->Pin(first, "X", NPT_VirtualPinSetPin, first); break;
        case PinSet: b->Pin(first, "X", NPT_PinSetBalanced, first); break;
        case VirtualPin: b->Pin(first, "X", NPT_VirtualPin, first); break;
        case FromTo: b->FromTo(first, "F", Index(), Index()); break;
        case None: break;
        }
        if (c.pair != nullptr)
        {
            const Index pair = b->DiffPair(cfg, "D", elec, b->ElectricalNet(cfg, "E2"));
            b->Constraint(pair, "ORDER_TYPE", c.pair);
        }
        ExpectStatus(CFixNet::UnifyElecAndPhysNetTopology(), c.fixed);
        EXPECT_EQ(c.eAfter, Topo(elec));
        EXPECT_EQ(c.pAfter, PhysValues());
        EXPECT_EQ(0u, OwnLocks());
    }
}

TEST_F(CFixNetUnifyTopologyTest, SlotsMissingNetsAndFailures)
{
    Slots();
    ExpectStatus(CFixNet::UnifyElecAndPhysNetTopology(), false, true, "Cannot load electrical net.");
    Build("MST", {});
    ExpectStatus(CFixNet::UnifyElecAndPhysNetTopology(), false);
    b->Delete(elec);
    ExpectStatus(CFixNet::UnifyElecAndPhysNetTopology(), true);

    // A physical net without the constraint ends the repair with the failed read.
    Build("MST", {nullptr});
    ExpectFailure(CFixNet::UnifyElecAndPhysNetTopology());
    EXPECT_EQ("MST", Topo(elec));

    // The direct write reports every failure with its result, the setters' only as not fixed.
    Build("Custom", {"MST"});
    faults().FailNext("SetValue", 1);
    ExpectFailure(CFixNet::UnifyElecAndPhysNetTopology());
    EXPECT_EQ((std::vector<std::string>{"MST"}), PhysValues());
    EXPECT_EQ(0u, OwnLocks());
    Build("Chained", {"MST"});
    faults().FailNext("SetValue", 1);
    ExpectStatus(CFixNet::UnifyElecAndPhysNetTopology(), false);
    EXPECT_EQ("Chained", Topo(elec));
    // Through a definition the direct write adds the net's own constraint.
    Build("TShape", {nullptr});
    b->Definition("ORDER_TYPE", "MST");
    b->Inherit(phys.front(), "ORDER_TYPE");
    ExpectStatus(CFixNet::UnifyElecAndPhysNetTopology(), true);
    EXPECT_EQ((std::vector<std::string>{"TShape"}), PhysValues());
}

} // namespace
