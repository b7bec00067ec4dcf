#include "tests/connectivity/CFromToInOneNet.h"

#include "tests/connectivity/ConnectivityHelpers.h"

CFromToInOneNet::CFromToInOneNet()
{
    m_pinTypes = Lumo::NPT_NetPin;
    m_pinTypes |= Lumo::NPT_VirtualPin;
    m_pinTypes |= Lumo::NPT_GuidePin;
    m_pinTypes |= Lumo::NPT_EbdPin;
    m_pinTypes |= Lumo::NPT_BoundaryPin;
}

CFromToInOneNet::~CFromToInOneNet() = default;

std::string CFromToInOneNet::getTestDescription() const
{
    return "Test checks if pin referenced by fromto belongs to the same physical net as the fromto";
}
std::string CFromToInOneNet::getTestName() const { return "Fromto in only one net"; }
std::string CFromToInOneNet::getTestShortName() const { return "FromToInOneNet"; }

bool CFromToInOneNet::getOrderType(const Lumo::ContainerT<const Lumo::INorvPhysicalNet>& net, std::string& value)
{
    return connectivity::readOrderTypeValue(net, value, [this] { raiseError(CDICErrors::T22_CANTGETORDERTYPEFROMPHYSNET); });
}

TestStatus CFromToInOneNet::checkFromToPin(Lumo::Index net, Lumo::ContainerT<const Lumo::INorvPin> pin)
{
    NetPins& cache = m_netPins;
    if (!cache.fetched || cache.net != net) {
        cache = NetPins();
        cache.net = net;
        cache.fetched = true;
    }
    if (!cache.named) {
        if (!m_config->GetPhysicalNet(net, cache.physNet))
            return raiseError(CDICErrors::T22_ERRPHYSNETFROMCONFIG, net);
        Lumo::String name;
        if (!readThrough(cache.physNet, [&] { return cache.physNet->GetName(name); }))
            return raiseError(CDICErrors::T13_ERRNAMEOFPNET, net);
        cache.name = name.str();
        cache.named = true;
    }

    Lumo::Index pinIndex;
    if (!readThrough(pin, [&] { return pin->GetIndex(pinIndex); }))
        return raiseError(CDICErrors::T22_ERRINDEXOFPIN, net);
    Lumo::ENorvPinType type = Lumo::NPT_NetPin;
    if (!pin->GetNorvType(type))
        return raiseError(CDICErrors::T22_ERRTYPEOFPIN, net);
    // A virtual pin-set pin stands for a pin set: it is not looked for among the net's pins.
    if (type == Lumo::NPT_VirtualPinSetPin) {
        Lumo::ContainerT<const Lumo::INorvPin> pinSet;
        if (!pin->GetParentPin(pinSet))
            return raiseError(CDICErrors::T22_ERRPINSETOFVIRTUALPINSETPIN, net, indexToName(net), pinIndex,
                              indexToName(pinIndex));
        return m_status;
    }

    if (!cache.walked) {
        cache.read = connectivity::readNetPinIndexes(*cache.physNet, m_pinTypes);
        if (cache.read.iteratorFailed)
            return raiseError(CDICErrors::T22_ERRITERPINSINPHYSNET, net);
        if (cache.read.indexFailed)
            return raiseError(CDICErrors::T22_ERRINDEXOFPIN_2, net);
        cache.walked = true;
    }
    if (!cache.read.pins.count(pinIndex))
        return raiseError(CDICErrors::T22_PININFROMTONOTINTHENET, net, cache.name);
    return m_status;
}

TestStatus CFromToInOneNet::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();
    m_netPins = NetPins();

    Lumo::IteratorT<const Lumo::INorvPhysicalNet> net;
    Lumo::Result netWalk = m_config->GetIterPhysicalNets(net);

    for (; walkOn(net, netWalk); ++net) {
        Lumo::Index index;
        if (!net->GetIndex(index))
            return raiseError(CDICErrors::T22_ERRINDEXOFPHYSNET);
        Lumo::String name;
        net->GetName(name);
        std::string topology;
        if (!getOrderType(net, topology))
            return raiseError(CDICErrors::T22_CANTGETTOPOLOGYOFPHYSNET, index);
        Lumo::IteratorT<const Lumo::INorvFromTo> fromTo;
        if (!net->GetIterFromTos(fromTo))
            return raiseError(CDICErrors::T22_CANTGETITERFROMTO, index, indexToName(index));

        // The pins of a net may have changed since an earlier net of the same index was walked.
        m_netPins = NetPins();
        int fromTos = 0;
        Lumo::Result fromToWalk;
        for (; walkOn(fromTo, fromToWalk); ++fromTo) {
            ++fromTos;
            Lumo::Index fromToIndex;
            if (!fromTo->GetIndex(fromToIndex))
                return raiseError(CDICErrors::T22_ERRINDEXOFFROMTO, index);
            Lumo::ContainerT<const Lumo::INorvPhysicalNet> parent;
            if (!fromTo->GetParentPhysicalNet(parent)) {
                raiseError(CDICErrors::T22_ERRPARENTPHYSNETOFFROMTO, index);
                continue;
            }
            Lumo::Index parentIndex;
            if (!readThrough(parent, [&] { return parent->GetIndex(parentIndex); })) {
                raiseError(CDICErrors::T22_ERRINDEXPARENTPHYSNETOFFROMTO, index);
                continue;
            }
            if (parentIndex != index)
                raiseError(CDICErrors::T22_WRONGREFTOPARENTPHYSNETOFFROMTO, index);
            Lumo::ContainerT<const Lumo::INorvPin> from, to;
            if (!fromTo->GetPinFrom(from)) {
                raiseError(CDICErrors::T22_ERRFROMPINOFFROMTO, fromToIndex, "", index, "");
                continue;
            }
            if (!fromTo->GetPinTo(to)) {
                raiseError(CDICErrors::T22_ERRTOPINOFFROMTO, fromToIndex, "", index, "");
                continue;
            }
            checkFromToPin(index, from);
            checkFromToPin(index, to);
        }
        if (!fromToWalk)
            return raiseError(CDICErrors::T22_CANTGETITERFROMTO, index, indexToName(index));
        if (fromTos > 0 && (topology == "MST" || topology == "Chained"))
            raiseError(CDICErrors::T22_NETWITHTOPOLOGYMSTCHAINEDHASFROMTO, index, name);
    }
    if (!netWalk)
        return raiseError(CDICErrors::T22_ERRITERPHYSNETS);

    raiseStatus(OK);
    return m_status;
}
