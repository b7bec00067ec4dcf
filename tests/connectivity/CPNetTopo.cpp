#include "tests/connectivity/CPNetTopo.h"

#include "tests/connectivity/ConnectivityHelpers.h"

CPNetTopo::CPNetTopo() = default;
CPNetTopo::~CPNetTopo() = default;

std::string CPNetTopo::getTestDescription() const { return "Test checks if physical net topology"; }
std::string CPNetTopo::getTestName() const { return "Physical net topology"; }
std::string CPNetTopo::getTestShortName() const { return "PNetTopology"; }

bool CPNetTopo::getConstraintValue(const Lumo::INorvPhysicalNet& net, const char* name, std::string& value)
{
    return connectivity::readConstraintText(net, name, value);
}

TestStatus CPNetTopo::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();
    TestStatus result = OK;

    Lumo::IteratorT<const Lumo::INorvPhysicalNet> net;
    Lumo::Result netWalk = m_config->GetIterPhysicalNets(net);

    for (; walkOn(net, netWalk); ++net) {
        Lumo::Index index;
        if (!net->GetIndex(index)) {
            raiseError(CDICErrors::T64_ERRINDEXPHYSNET);
            result = FAILED;
            continue;
        }
        Lumo::String name;
        if (!net->GetName(name)) {
            raiseError(CDICErrors::T64_ERRNAMEPHYSNET);
            result = FAILED;
            continue;
        }
        if (connectivity::isImplicitNetName(name.c_str()))
            continue;
        std::string topology;
        if (!getConstraintValue(*net, connectivity::ORDER_TYPE, topology)) {
            raiseError(CDICErrors::T64_CANTGETORDERTYPEFROMPNET);
            result = FAILED;
            continue;
        }
        if (topology != connectivity::TOPOLOGY_CUSTOM && topology != connectivity::TOPOLOGY_COMPLEX)
            continue;
        std::string ordered;
        if (!getConstraintValue(*net, connectivity::TOPO_ORDERED, ordered) || ordered != "Yes")
            continue;
        Lumo::IteratorT<const Lumo::INorvFromTo> fromTos;
        int count = 0;
        if (!net->GetIterFromTos(fromTos) || !fromTos.GetCount(count)) {
            raiseError(CDICErrors::T64_ERRITERFROMTO);
            result = FAILED;
        } else if (count == 0) {
            raiseError(CDICErrors::T64_ERRWRONGSETTOPOORDERED, index, name);
            result = FAILED;
        }
    }
    if (!netWalk)
        return raiseError(CDICErrors::T64_ERRITERPHYSNETS);

    raiseStatus(OK);
    return result;
}
