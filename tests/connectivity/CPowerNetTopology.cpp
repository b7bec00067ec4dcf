#include "tests/connectivity/CPowerNetTopology.h"

#include "tests/connectivity/ConnectivityHelpers.h"

CPowerNetTopology::CPowerNetTopology() = default;
CPowerNetTopology::~CPowerNetTopology() = default;

std::string CPowerNetTopology::getTestDescription() const { return "Test checks if power net has proper topology"; }
std::string CPowerNetTopology::getTestName() const { return "Power Net Topology"; }
std::string CPowerNetTopology::getTestShortName() const { return "PwrNetTopo"; }

bool CPowerNetTopology::getPhysNetConstraint(const Lumo::ContainerT<const Lumo::INorvPhysicalNet>& net,
                                             const char* name, std::string& value) const
{
    return connectivity::readConstraintText(*net, name, value);
}

bool CPowerNetTopology::getElecNetConstraint(const Lumo::ContainerT<const Lumo::INorvElectricalNet>& net,
                                             const char* name, std::string& value) const
{
    return connectivity::readConstraintText(*net, name, value);
}

TestStatus CPowerNetTopology::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();

    Lumo::IteratorT<const Lumo::INorvPhysicalNet> net;
    Lumo::Result netWalk = m_config->GetIterPhysicalNets(net);

    for (; walkOn(net, netWalk); ++net) {
        Lumo::Index index;
        if (!net->GetIndex(index)) {
            raiseError(CDICErrors::T58_ERRINDEXPHYSNET);
            continue;
        }
        Lumo::String name;
        if (!net->GetName(name)) {
            raiseError(CDICErrors::T58_ERRNAMEPHYSNET);
            continue;
        }
        if (connectivity::isImplicitNetName(name.c_str()))
            continue;
        Lumo::EPhysicalNetType type = Lumo::PNT_Ordinary;
        if (!net->GetType(type)) {
            raiseError(CDICErrors::T58_ERRPHYSNETTYPE);
            continue;
        }
        if (type == Lumo::PNT_Ordinary)
            continue;
        Lumo::ContainerT<const Lumo::INorvElectricalNet> parent;
        if (!net->GetParentElectricalNet(parent)) {
            raiseError(CDICErrors::T58_ERRPARENTELECNETPHYS, index, name);
            continue;
        }
        Lumo::Index parentIndex;
        if (!readThrough(parent, [&] { return parent->GetIndex(parentIndex); })) {
            raiseError(CDICErrors::T58_ERRINDEXELECNET);
            continue;
        }
        Lumo::String parentName;
        if (!parent->GetName(parentName)) {
            raiseError(CDICErrors::T58_ERRNAMEELECNET);
            continue;
        }
        // A constraint that cannot be read counts as empty.
        std::string elecAnalog, elecTopology, physAnalog, physTopology;
        getElecNetConstraint(parent, connectivity::ANALOG, elecAnalog);
        getElecNetConstraint(parent, connectivity::ORDER_TYPE, elecTopology);
        getPhysNetConstraint(net, connectivity::ANALOG, physAnalog);
        getPhysNetConstraint(net, connectivity::ORDER_TYPE, physTopology);
        if (elecAnalog == "1" && elecTopology != "MST")
            raiseError(CDICErrors::T58_ERRINVELECPOWERNETTOPO, parentIndex, parentName);
        if (physAnalog == "1" && physTopology != "MST")
            raiseError(CDICErrors::T58_ERRINVPHYSPOWERNETTOPO, index, name);
    }
    if (!netWalk)
        return raiseError(CDICErrors::T58_ERRITERPHYSNETS);

    raiseStatus(OK);
    return m_status;
}
