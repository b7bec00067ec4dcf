#include "tests/connectivity/CPinPairAndTopology.h"

#include "tests/connectivity/ConnectivityHelpers.h"

CPinPairAndTopology::CPinPairAndTopology() { m_pairTypes = Lumo::PPT_Ordinary; }
CPinPairAndTopology::~CPinPairAndTopology() = default;

std::string CPinPairAndTopology::getTestDescription() const
{
    return "Test checks if pin pairs are valid for given topology";
}
std::string CPinPairAndTopology::getTestName() const { return "Pin pairs valid for net topology"; }
std::string CPinPairAndTopology::getTestShortName() const { return "PinpairsAllowedForNetTopology"; }

bool CPinPairAndTopology::getOrderType(const Lumo::ContainerT<const Lumo::INorvElectricalNet>& net, std::string& value)
{
    return connectivity::readOrderTypeValue(net, value, [this] { raiseError(CDICErrors::T36_ERRVALUEOFORDERTYPEFROMELECNET); });
}

TestStatus CPinPairAndTopology::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();

    Lumo::IteratorT<const Lumo::INorvElectricalNet> net;
    Lumo::Result netWalk = m_config->GetIterElectricalNets(net);
    for (; walkOn(net, netWalk); ++net) {
        // Each net starts from nothing, so that a failed read never names the net before it.
        Lumo::Index netIndex;
        Lumo::String netName;
        net->GetIndex(netIndex);
        net->GetName(netName);
        std::string topology;
        if (!getOrderType(net, topology)) {
            raiseError(CDICErrors::T36_ERRTOPOLOGYOFRELECNET, netIndex, netName);
            continue;
        }
        Lumo::IteratorT<const Lumo::INorvPinPair> pair;
        if (!net->GetIterPinPairs(pair, m_pairTypes))
            return raiseError(CDICErrors::T36_ERRITEROVERPINPAIRSINELECNET, netIndex, netName);
        // Nothing is judged: the pairs are only stepped through.
        Lumo::Result pairWalk;
        for (; walkOn(pair, pairWalk); ++pair) {
        }
        if (!pairWalk)
            return raiseError(CDICErrors::T36_ERRITEROVERPINPAIRSINELECNET, netIndex, netName);
    }
    if (!netWalk)
        return raiseError(CDICErrors::T36_ERRITEROVERELECNETS);

    raiseStatus(OK);
    return m_status;
}
