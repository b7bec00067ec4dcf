#include "NetRepairTestKit.h"

#include <algorithm>

using namespace nettest;

namespace
{

// Net E with physical net P; component U with pins 1 to 4 on P; from-tos and pin pairs between them.
class CFixNetFromTosTest : public NetRepairTest
{
public:
    void SetUp() override
    {
        NetRepairTest::SetUp();
        elec = b->ElectricalNet(cfg, "E");
        phys = b->PhysicalNet(cfg, "P", elec);
        comp = b->NorvComp(cfg, "U");
        for (int i = 0; i < 4; ++i)
            pins[i] = b->Pin(comp, std::to_string(i + 1), NPT_NetPin, phys);
    }
    Index FromTo(const std::string& name, int userDefined)
    {
        Index fromTo = b->FromTo(phys, name, pins[0], pins[1]);
        if (userDefined >= 0)
            b->Constraint(fromTo, "FROMTO_USERDEFINED", userDefined);
        return fromTo;
    }
    Index PinPair(const std::string& name) { return b->PinPair(elec, name, pins[0], pins[1]); }

    Index elec, phys, comp;
    Index pins[4];
};

// The three repairs that delete the reported object from the net that owns it.
TEST_F(CFixNetFromTosTest, DeleteFromTheOwner)
{
    struct Case
    {
        const char* name;
        FixMethod method;
        int slot; // 1 or 2
        bool fromTo;
        const char* emptySlot;
    };
    const Case cases[] = {
        {"DeleteInvalidFromTo", &CFixNet::DeleteInvalidFromTo, 1, true, "Cannot load fromto."},
        {"DeleteDuplicatedPinPair", &CFixNet::DeleteDuplicatedPinPair, 2, false, "Cannot load pinpair."},
        {"DeleteInvalidPinPair", &CFixNet::DeleteInvalidPinPair, 1, false, "Cannot load pinpair."},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const Index object = c.fromTo ? FromTo(c.name, 0) : PinPair(c.name);
        const Index owner = c.fromTo ? phys : elec;
        auto report = [&](Index index) { c.slot == 1 ? Slots(index) : Slots(elec, index); };

        report(Index());
        ExpectStatus(c.method(), false, true, c.emptySlot);

        faults().FailOn(owner, "Lock");
        report(object);
        ExpectFailure(c.method());
        EXPECT_TRUE(Alive(object));
        faults().ClearAll();

        ExpectStatus(c.method(), true);
        EXPECT_FALSE(Alive(object));
        EXPECT_EQ(0u, OwnLocks());
        // A second finding of the same object: already gone, fixed.
        ExpectStatus(c.method(), true);
    }
}

TEST_F(CFixNetFromTosTest, DeleteDuplicatedFromToKeepsTheOneNotMarkedUserDefined)
{
    struct Case
    {
        int markA, markB;
        bool deletesA;
    };
    const Case cases[] = {{0, 0, true}, {1, 0, true}, {0, 1, false}, {1, 1, true}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.markA) + std::to_string(c.markB));
        const Index a = FromTo("a", c.markA), bb = FromTo("b", c.markB);
        Slots(phys, a, bb);
        ExpectStatus(CFixNet::DeleteDuplicatedFromTo(), true);
        EXPECT_EQ(c.deletesA, !Alive(a));
        EXPECT_EQ(c.deletesA, Alive(bb));
        // The second finding of the pair finds one gone.
        ExpectStatus(CFixNet::DeleteDuplicatedFromTo(), true);
        EXPECT_TRUE(Alive(c.deletesA ? bb : a));
    }
    Slots(phys, FromTo("c", 0));
    ExpectStatus(CFixNet::DeleteDuplicatedFromTo(), false, true, "Cannot load fromto.");

    // Without the mark both repairs that read it fail and delete nothing.
    const Index a = FromTo("a", -1), bb = FromTo("b", 0);
    Slots(phys, a, bb);
    ExpectFailure(CFixNet::DeleteDuplicatedFromTo());
    Slots(phys, a);
    ExpectFailure(CFixNet::DeleteSamePinFromTo());
    EXPECT_TRUE(Alive(a) && Alive(bb));
    EXPECT_EQ(0u, OwnLocks());

    Slots(phys, bb);
    ExpectStatus(CFixNet::DeleteSamePinFromTo(), true);
    EXPECT_FALSE(Alive(bb));
    Slots(phys);
    ExpectStatus(CFixNet::DeleteSamePinFromTo(), false, true, "Cannot load fromto.");
}

TEST_F(CFixNetFromTosTest, DisconnectStrayPins)
{
    const Index designPin = b->DesignPin(b->LogicComp(sch, "L"), "1");
    b->AppendOnly(pins[2], Field::flatPins, designPin);
    const Index setPin = b->Pin(phys, "S", NPT_PinSetT, phys);

    struct Case
    {
        const char* name;
        FixMethod method;
        bool pinInSlot1;
        bool reloads;
    };
    const Case cases[] = {
        {"DisconnectPinNotInComponents", &CFixNet::DisconnectPinNotInComponents, true, false},
        {"DisconnectPinWithoutParentComp", &CFixNet::DisconnectPinWithoutParentComp, false, true},
    };
    int next = 0;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        auto report = [&](Index pin) { c.pinInSlot1 ? Slots(pin, phys) : Slots(phys, pin); };
        // Other kinds and pins with flat pins stay.
        for (Index kept : {setPin, pins[2]})
        {
            report(kept);
            ExpectStatus(c.method(), false);
            EXPECT_EQ(phys, store().Ref(kept, Field::parentPhysicalNet));
        }
        report(Index());
        ExpectStatus(c.method(), false, true, "Cannot load component pin.");
        EXPECT_FALSE(CFixMgr::m_bReloadFlag);

        const Index pin = pins[next++];
        report(pin);
        ExpectStatus(c.method(), true);
        EXPECT_EQ(Index(), store().Ref(pin, Field::parentPhysicalNet));
        const std::vector<Index> left = store().List(phys, Field::pins);
        EXPECT_EQ(left.end(), std::find(left.begin(), left.end(), pin));
        EXPECT_EQ(c.reloads, CFixMgr::m_bReloadFlag);
        EXPECT_EQ(0u, OwnLocks());
        CFixMgr::m_bReloadFlag = false;
    }
    Slots(pins[3]);
    ExpectStatus(CFixNet::DisconnectPinNotInComponents(), false, true, "Cannot load physical net.");

    // A pin that is gone: fixed for one, the fetch's failure for the other.
    b->Delete(pins[3]);
    Slots(pins[3], phys);
    ExpectStatus(CFixNet::DisconnectPinNotInComponents(), true);
    Slots(phys, pins[3]);
    ExpectFailure(CFixNet::DisconnectPinWithoutParentComp());

    // A failed disconnection keeps the pin and every lock is released, the pin's first.
    const Index fifth = b->Pin(comp, "5", NPT_NetPin, phys);
    faults().FailNext("DisconnectPin", 1);
    Slots(phys, fifth);
    ExpectFailure(CFixNet::DisconnectPinWithoutParentComp());
    EXPECT_EQ(phys, store().Ref(fifth, Field::parentPhysicalNet));
    EXPECT_FALSE(CFixMgr::m_bReloadFlag);
    EXPECT_EQ(0u, OwnLocks());
}

TEST_F(CFixNetFromTosTest, DeletePinPairWithPinUsedTwice)
{
    const Index pinPair = PinPair("X");
    const std::pair<Index, Index> wrong[] = {{Index(), pinPair}, {phys, pinPair}, {elec, Index()}, {elec, phys}};
    for (const auto& slots : wrong)
    {
        Slots(slots.first, slots.second);
        ExpectStatus(CFixNet::DeletePinPairWithPinUsedTwice(), false, true,
                     slots.first == elec ? "Cannot find pin pair." : "Cannot find electrical net.");
    }
    Slots(elec, pinPair);
    ExpectStatus(CFixNet::DeletePinPairWithPinUsedTwice(), true, false, "Pin pair was removed");
    EXPECT_FALSE(Alive(pinPair));
    // The pair already gone: the database's refusal. The net gone: the default status.
    ExpectFailure(CFixNet::DeletePinPairWithPinUsedTwice());
    EXPECT_EQ(0u, OwnLocks());
    b->Delete(elec);
    ExpectStatus(CFixNet::DeletePinPairWithPinUsedTwice(), false);
}

} // namespace
