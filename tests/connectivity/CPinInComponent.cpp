#include "tests/connectivity/CPinInComponent.h"

CPinInComponent::CPinInComponent()
{
    m_pinTypes.Clear();
    m_pinTypes |= Lumo::NPT_NetPin;
}

CPinInComponent::~CPinInComponent() = default;

std::string CPinInComponent::getTestDescription() const
{
    return "Test checks if pin belonging to net also belongs to component";
}
std::string CPinInComponent::getTestName() const { return "Pin in net and component"; }
std::string CPinInComponent::getTestShortName() const { return "PinInComponent"; }

TestStatus CPinInComponent::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();
    bool tooFew = false;
    bool noParent = false;

    Lumo::IteratorT<const Lumo::INorvPhysicalNet> net;
    Lumo::Result netWalk = m_config->GetIterPhysicalNets(net);
    for (; walkOn(net, netWalk); ++net) {
        std::string netName;
        Lumo::Index netIndex;
        if (!readName(net, netName, CDICErrors::T35_ERRNAMEOFPHYSNET))
            return m_status;
        if (!readIndex(net, netIndex, CDICErrors::T35_ERRINDEXOFPHYSNET, netName))
            return m_status;
        Lumo::IteratorT<const Lumo::INorvPin> pin;
        Lumo::Result pinWalk = net->GetIterPins(pin, m_pinTypes);
        unsigned count = 0;
        for (; walkOn(pin, pinWalk); ++pin) {
            Lumo::Index pinIndex;
            if (!readIndex(pin, pinIndex, CDICErrors::T35_ERRINDEXOFPIN, netIndex, netName))
                return m_status;
            Lumo::ContainerT<const Lumo::INorvComp> parent;
            if (!pin->GetParentNorvComp(parent) || !parent.IsValid()) {
                Lumo::String pinName;
                if (!pin->GetName(pinName))
                    pinName = "(can't get pin name)";
                raiseError(CDICErrors::T35_ERRPARENTCOMPONENTOFPIN, netIndex, netName, pinIndex,
                           pinName);
                noParent = true;
            }
            ++count;
        }
        if (!pinWalk)
            return raiseError(CDICErrors::T35_ERRITEROVERPINSINPHYSNET, netIndex, netName);
        if (count < 2) {
            raiseError(CDICErrors::T35_NETHASTOOFEWPINS, netIndex, netName);
            tooFew = true;
        }
    }
    if (!netWalk)
        return raiseError(CDICErrors::T35_ERRITEROVERPHYSNETS);
    if (tooFew)
        raiseError(CDICErrors::T35_SOMENETHASTOOFEWPINS);
    if (noParent)
        raiseError(CDICErrors::T35_SOMEPINSHAVENOPARENTCOMPONENT);

    raiseStatus(OK);
    return m_status;
}
