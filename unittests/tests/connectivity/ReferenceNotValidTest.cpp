// A reference that comes back as an object flagged not valid: each test reports the failure of the
// first read it makes through it, with that read's code and pairs, and goes on as after that read.

#include "tests/connectivity/CDiffPairConsistency.h"
#include "tests/connectivity/CDiffPairNCCheck.h"
#include "tests/connectivity/CENetConsistency.h"
#include "tests/connectivity/CFlatNetCheck.h"
#include "tests/connectivity/CFromToInOneNet.h"
#include "tests/connectivity/CFromToUnique.h"
#include "tests/connectivity/CPinPairUnique.h"
#include "tests/connectivity/CPinsetsTreeLike.h"
#include "tests/connectivity/CPowerNetTopology.h"

#include "ConnectivityTestSupport.h"

using namespace conntest;

namespace
{

// Leaves only these electrical nets in the configuration's list, so that a net made only to be
// referred to is not walked itself.
void listOnlyElectricalNets(Design& d, std::initializer_list<Index> nets)
{
    d.b.GetStore().ClearList(d.config, Field::electricalNets);
    for (Index net : nets)
        d.b.AppendOnly(d.config, Field::electricalNets, net);
}

void listOnlyPhysicalNets(Design& d, std::initializer_list<Index> nets)
{
    d.b.GetStore().ClearList(d.config, Field::physicalNets);
    for (Index net : nets)
        d.b.AppendOnly(d.config, Field::physicalNets, net);
}

} // namespace

TEST(ReferenceNotValidTest, FirstReadThroughTheReferenceFails)
{
    RunDesignCases({
        {"power net topology: parent electrical net; its index read fails", &findingsOf<CPowerNetTopology>,
         [](Design& d) {
             Index e = d.b.ElectricalNet(d.config, "E");
             Index p = d.b.PhysicalNet(d.config, "P", e);
             d.setType(p, Lumo::PNT_ImplicitPower);
             d.b.Invalid(e);
             return Findings{finding(5801)};
         }},
        {"differential pair: first net; its index read fails in the net check, then in the pair's",
         &findingsOf<CDiffPairConsistency>,
         [](Design& d) {
             Index first = d.b.ElectricalNet(d.config, "A");
             Index second = d.b.ElectricalNet(d.config, "B");
             d.b.DiffPair(d.config, "DP", first, second);
             d.b.Invalid(first);
             return Findings{finding(1215), finding(1206)};
         }},
        {"differential pair net classes: first net; its index read fails", &findingsOf<CDiffPairNCCheck>,
         [](Design& d) {
             Index first = d.b.ElectricalNet(d.config, "A");
             Index second = d.b.ElectricalNet(d.config, "B");
             d.b.DiffPair(d.config, "DP", first, second);
             d.b.Invalid(first);
             return Findings{finding(1307)};
         }},
        {"electrical net consistency: parent of a physical net; its index read fails", &findingsOf<CENetConsistency>,
         [](Design& d) {
             Index e = d.b.ElectricalNet(d.config, "E");
             d.b.Constraint(e, "ORDER_TYPE", "MST");
             Index p = d.b.PhysicalNet(d.config, "P", e);
             d.b.Constraint(p, "ORDER_TYPE", "MST");
             Index gone = d.b.ElectricalNet(d.config, "GONE");
             d.b.SetRefOnly(p, Field::parentElectricalNet, gone);
             d.b.Invalid(gone);
             listOnlyElectricalNets(d, {e});
             return Findings{finding(1510)};
         }},
        {"flat net mapping: flat net of a physical net; its name read fails, in the walk of the flat nets too",
         &findingsOf<CFlatNetCheck>,
         [](Design& d) {
             Index p = d.b.PhysicalNet(d.config, "P");
             Index flat = d.b.FlatNet(d.schematic, "P", p);
             d.b.Invalid(flat);
             return Findings{finding(2102), finding(2102)};
         }},
        {"flat net mapping: physical net of a flat net; its name read fails", &findingsOf<CFlatNetCheck>,
         [](Design& d) {
             Index p = d.b.PhysicalNet(d.config, "P");
             d.b.FlatNet(d.schematic, "P", p);
             d.b.Invalid(p);
             listOnlyPhysicalNets(d, {});
             return Findings{finding(2109)};
         }},
        {"from-to in one net: parent physical net; its index read fails", &findingsOf<CFromToInOneNet>,
         [](Design& d) {
             Index comp = d.b.NorvComp(d.config, "U1");
             Index p = d.b.PhysicalNet(d.config, "P");
             d.b.Constraint(p, "ORDER_TYPE", "Custom");
             Index gone = d.b.PhysicalNet(d.config, "GONE");
             Index ft = d.b.FromTo(p, "FT", d.b.Pin(comp, "1", Lumo::NPT_NetPin, p), d.b.Pin(comp, "2", Lumo::NPT_NetPin, p));
             d.b.SetRefOnly(ft, Field::in, gone);
             d.b.Invalid(gone);
             listOnlyPhysicalNets(d, {p});
             return Findings{finding(2206, {{p, ""}})};
         }},
        {"from-to in one net: from pin; its index read fails, in the walk of the net's pins too",
         &findingsOf<CFromToInOneNet>,
         [](Design& d) {
             Index comp = d.b.NorvComp(d.config, "U1");
             Index p = d.b.PhysicalNet(d.config, "P");
             d.b.Constraint(p, "ORDER_TYPE", "Custom");
             Index from = d.b.Pin(comp, "1", Lumo::NPT_NetPin, p);
             d.b.FromTo(p, "FT", from, d.b.Pin(comp, "2", Lumo::NPT_NetPin, p));
             d.b.Invalid(from);
             return Findings{finding(2212, {{p, ""}}), finding(2216, {{p, ""}})};
         }},
        {"unique from-tos: from pin; its index read fails and ends the test", &findingsOf<CFromToUnique>,
         [](Design& d) {
             Index comp = d.b.NorvComp(d.config, "U1");
             Index p = d.b.PhysicalNet(d.config, "P");
             Index from = d.b.Pin(comp, "1", Lumo::NPT_NetPin, p);
             d.b.FromTo(p, "FT", from, d.b.Pin(comp, "2", Lumo::NPT_NetPin, p));
             d.b.Invalid(from);
             return Findings{finding(2307)};
         }},
        {"unique pin pairs: first pin; its index read fails and ends the test", &findingsOf<CPinPairUnique>,
         [](Design& d) {
             Index comp = d.b.NorvComp(d.config, "U1");
             Index e = d.b.ElectricalNet(d.config, "E");
             Index p = d.b.PhysicalNet(d.config, "P", e);
             Index first = d.b.Pin(comp, "1", Lumo::NPT_NetPin, p);
             d.b.PinPair(e, "PP", first, d.b.Pin(comp, "2", Lumo::NPT_NetPin, p));
             d.b.PinPair(e, "LATER", d.b.Pin(comp, "3", Lumo::NPT_NetPin, p), d.b.Pin(comp, "3", Lumo::NPT_NetPin, p));
             d.b.Invalid(first);
             return Findings{finding(3711)};
         }},
    });
}
