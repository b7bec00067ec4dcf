// Reads that a test keeps for speed and that fail once: the failure is reported where it happened,
// and the next use reads again and succeeds, as a fresh read each time would give.

#include "tests/connectivity/CFromToInOneNet.h"
#include "tests/connectivity/CFromToUnique.h"
#include "tests/connectivity/CPinPairUnique.h"
#include "tests/connectivity/CPnetUnique.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

namespace
{

// A physical net of topology "Custom" with two from-tos over four of its pins.
Index netWithTwoFromTos(Design& d, std::vector<Index>* fromTos = nullptr)
{
    Index comp = d.b.NorvComp(d.config, "U1");
    Index p = d.b.PhysicalNet(d.config, "P");
    d.b.Constraint(p, "ORDER_TYPE", "Custom");
    for (int i = 0; i < 2; ++i) {
        Index from = d.b.Pin(comp, std::to_string(2 * i + 1), Lumo::NPT_NetPin, p);
        Index to = d.b.Pin(comp, std::to_string(2 * i + 2), Lumo::NPT_NetPin, p);
        Index ft = d.b.FromTo(p, "FT" + std::to_string(i + 1), from, to);
        if (fromTos)
            fromTos->push_back(ft);
    }
    return p;
}

} // namespace

TEST(FailedReadNotKeptTest, ReadAgainAfterAFailureThatDoesNotRepeat)
{
    RunDesignCases({
        {"from-to in one net: the net fetched for a pin check", &findingsOf<CFromToInOneNet>,
         [](Design& d) {
             Index p = netWithTwoFromTos(d);
             d.faults().FailOn(d.config, "GetPhysicalNet", 1);
             return Findings{finding(2211, {{p, ""}})};
         }},
        {"from-to in one net: the walk of the net's pins", &findingsOf<CFromToInOneNet>,
         [](Design& d) {
             Index p = netWithTwoFromTos(d);
             d.faults().FailOn(p, "GetIterPins", 1);
             return Findings{finding(2215, {{p, ""}})};
         }},
        {"unique from-tos: the walk of the net's pins", &findingsOf<CFromToUnique>,
         [](Design& d) {
             std::vector<Index> fromTos;
             Index p = netWithTwoFromTos(d, &fromTos);
             d.faults().FailOn(p, "GetIterPins", 1);
             return Findings{finding(2313), finding(2309, {{fromTos[0], "FT1"}})};
         }},
        {"unique pin pairs: the walk of the pins of the net's physical nets", &findingsOf<CPinPairUnique>,
         [](Design& d) {
             Index comp = d.b.NorvComp(d.config, "U1");
             Index e = d.b.ElectricalNet(d.config, "E");
             Index p = d.b.PhysicalNet(d.config, "P", e);
             Index first = d.b.PinPair(e, "PP1", d.b.Pin(comp, "1", Lumo::NPT_NetPin, p),
                                       d.b.Pin(comp, "2", Lumo::NPT_NetPin, p));
             d.b.PinPair(e, "PP2", d.b.Pin(comp, "3", Lumo::NPT_NetPin, p), d.b.Pin(comp, "4", Lumo::NPT_NetPin, p));
             d.faults().FailOn(p, "GetIterPins", 1);
             return Findings{finding(3722), finding(3713, {{first, "PP1"}})};
         }},
        {"unique physical nets: the walk of the parent's physical nets", &findingsOf<CPnetUnique>,
         [](Design& d) {
             Index e = d.b.ElectricalNet(d.config, "E");
             d.b.PhysicalNet(d.config, "P1", e);
             d.b.PhysicalNet(d.config, "P2", e);
             d.faults().FailOn(e, "GetIterPhysicalNets", 1);
             return Findings{finding(4004)};
         }},
    });
}
