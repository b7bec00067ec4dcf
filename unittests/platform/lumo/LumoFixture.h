// A small consistent design built with the stand-in's builder, shared by the stand-in's own tests.
#pragma once

#include "lumopi/LumoPI.h"
#include "lumopi/StandIn.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace LumoTest {

using namespace Lumo;
using StandIn::Field;
using StandIn::Kind;

inline Index Idx(uint64_t serial, int type) { return Index((static_cast<uint64_t>(type) << 56) | serial); }

// One snapshot "main", top block "TOP": two metallic layers and a substrate, two vias, the default classes
// and schemes, nets E1 (N1, N2) and E2 (N3), component U1 with pins 1 and 2 on N1, a schematic side.
class LumoFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        StandIn::SetStringResultsEnabledForTest(true);
        session = StandIn::NewSession();
        b = std::make_unique<StandIn::Builder>(*session, "main");
        cfg = b->NorvConfig("TOP");
        sch = b->DefaultConfig("TOP");
        design = b->Design(cfg);
        l1 = b->Layer(design, "TOP", 1, 1);
        l2 = b->Layer(design, "BOTTOM", 2, 2);
        b->Layer(design, "CORE", 3, -1, LT_Substrate);
        b->Via(design, "V1");
        b->Via(design, "V2");
        b->DefaultObjects(design);
        e1 = b->ElectricalNet(cfg, "E1");
        e2 = b->ElectricalNet(cfg, "E2");
        n1 = b->PhysicalNet(cfg, "N1", e1);
        n2 = b->PhysicalNet(cfg, "N2", e1);
        n3 = b->PhysicalNet(cfg, "N3", e2);
        part = b->Part(cfg, "R0402", 2);
        u1 = b->NorvComp(cfg, "U1", part);
        p1 = b->Pin(u1, "1", NPT_NetPin, n1);
        p2 = b->Pin(u1, "2", NPT_NetPin, n1);
        ContainerT<const ISnapshot> s;
        EXPECT_TRUE(session->GetSnapshotByName(s, "main"));
        snap = s;
        EXPECT_TRUE(snap->GetUIDManager(uid));
        EXPECT_TRUE(snap->GetNorvConfig(config, "TOP"));
    }
    void TearDown() override { StandIn::SetStringResultsEnabledForTest(false); }

    StandIn::Store& store() { return b->GetStore(); }
    StandIn::Faults& faults() { return StandIn::GetFaults(*session); }
    StandIn::CallCounts& counts() { return StandIn::GetCallCounts(*session); }

    template <class T>
    ContainerT<const T> Fetch(Index index, Result (IUIDManager::*get)(ContainerT<const T>&, const Index&) const)
    {
        ContainerT<const T> c;
        EXPECT_TRUE((uid.*get)(c, index)) << index.ToText();
        return c;
    }
    ContainerT<const INorvPhysicalNet> Net(Index i) { return Fetch(i, &IUIDManager::GetNorvPhysicalNet); }
    ContainerT<const INorvElectricalNet> ENet(Index i) { return Fetch(i, &IUIDManager::GetNorvElectricalNet); }

    ContainerT<const INorvDesign> Design()
    {
        ContainerT<const INorvDesign> d;
        EXPECT_TRUE(config->GetNorvDesign(d));
        return d;
    }

    template <class T>
    MutableContainerT<T> Locked(const ContainerT<const T>& c)
    {
        MutableContainerT<T> m;
        EXPECT_TRUE(LockerT<T>::Lock(c, m));
        return m;
    }

    // Names of the live elements a walk yields.
    template <class T>
    static std::vector<std::string> Names(IteratorT<const T>& it)
    {
        std::vector<std::string> out;
        for (; it.IsValid(); ++it) {
            String n;
            EXPECT_TRUE(it->GetName(n));
            out.push_back(n.str());
        }
        return out;
    }

    static std::string Text(const Result& r) { return r.GetDescription().str(); }

    std::unique_ptr<LumoPI> session;
    std::unique_ptr<StandIn::Builder> b;
    Index cfg, sch, design, l1, l2, e1, e2, n1, n2, n3, part, u1, p1, p2;
    ContainerT<const ISnapshot> snap;
    ContainerT<const INorvConfig> config;
    IUIDManager uid;
};

}  // namespace LumoTest
