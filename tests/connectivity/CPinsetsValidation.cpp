#include "tests/connectivity/CPinsetsValidation.h"

#include "tests/connectivity/ConnectivityHelpers.h"

CPinsetsValidation::CPinsetsValidation()
{
    m_pinsMask |= Lumo::NPT_NetPin;
    m_pinsMask |= Lumo::NPT_VirtualPin;
    m_pinsMask |= Lumo::NPT_VirtualPinSetPin;
    for (Lumo::ENorvPinType kind : {Lumo::NPT_PinSetChained, Lumo::NPT_PinSetT, Lumo::NPT_PinSetMst,
                                    Lumo::NPT_PinSetBalanced, Lumo::NPT_PinSetUnbalanced})
        m_allSetsMask |= kind;
    m_countedSetsMask |= Lumo::NPT_PinSetT;
    m_countedSetsMask |= Lumo::NPT_PinSetBalanced;
    m_countedSetsMask |= Lumo::NPT_PinSetUnbalanced;
    m_virtualSetPinMask |= Lumo::NPT_VirtualPinSetPin;
}

CPinsetsValidation::~CPinsetsValidation() = default;

std::string CPinsetsValidation::getTestDescription() const
{
    return "Test checks if pins in pin sets belong to physical net";
}
std::string CPinsetsValidation::getTestName() const { return "Pin sets consistency"; }
std::string CPinsetsValidation::getTestShortName() const { return "PinSetsValidation"; }

bool CPinsetsValidation::getOrderType(const Lumo::ContainerT<const Lumo::INorvPhysicalNet>& net, std::string& value)
{
    return connectivity::readOrderTypeValue(net, value, [this] { raiseError(CDICErrors::T39_CANTGETORDERTYPEFROMPNET); });
}

TestStatus CPinsetsValidation::isPinInNet(const PinSet& pins, Lumo::Index pin)
{
    if (pins.Contains(pin))
        return m_status;
    return raiseError(CDICErrors::T39_PININPINSETNOTINPINSOFNET);
}

TestStatus CPinsetsValidation::checkPinSetContents(const PinSet& pins, const Lumo::IteratorT<const Lumo::INorvPin>& set)
{
    Lumo::Index setIndex;
    std::string setName;
    if (!readIndex(set, setIndex, CDICErrors::T39_ERRINDEXOFPIN))
        return m_status;
    if (!readName(set, setName, CDICErrors::T14_ERRNAMEOFPIN))
        return m_status;
    Lumo::ENorvPinType kind;
    if (!set->GetNorvType(kind))
        return raiseError(CDICErrors::T39_ERRTYPEOFPIN, setIndex);
    if (!m_allSetsMask.Contains(kind))
        return m_status;

    Lumo::IteratorT<const Lumo::INorvPin> member;
    Lumo::Result memberWalk = set->GetIterPins(member, m_pinsMask);
    for (; walkOn(member, memberWalk); ++member) {
        Lumo::Index memberIndex;
        if (!readIndex(member, memberIndex, CDICErrors::T39_ERRINDEXOFPIN_2, setIndex))
            return m_status;
        isPinInNet(pins, memberIndex);
        Lumo::ENorvPinType memberKind;
        if (!member->GetNorvType(memberKind))
            return raiseError(CDICErrors::T39_ERRTYPEOFPIN_2, memberIndex);
        if (memberKind == Lumo::NPT_VirtualPin)
            return raiseError(CDICErrors::T39_PINSETCONTAINVIRTUALPIN, setIndex);
    }
    if (!memberWalk)
        return raiseError(CDICErrors::T39_ERRITEROFPINSINPINSET, setIndex);

    Lumo::IteratorT<const Lumo::INorvPin> nested;
    Lumo::Result nestedWalk = set->GetIterPins(nested, m_allSetsMask);
    for (; walkOn(nested, nestedWalk); ++nested) {
        Lumo::Index nestedIndex;
        std::string nestedName;
        if (!readIndex(nested, nestedIndex, CDICErrors::T39_ERRINDEXOFPINSET, setIndex))
            return m_status;
        if (!readName(nested, nestedName, CDICErrors::T14_ERRNAMEOFPIN))
            return m_status;
        raiseError(CDICErrors::T39_PINSETCONTAINTOTHERPINSETASPIN, setIndex, setName, nestedIndex,
                   nestedName);
    }
    if (!nestedWalk)
        return raiseError(CDICErrors::T39_ERRITEROVERPINSETSINPINSET, setIndex);
    return m_status;
}

TestStatus CPinsetsValidation::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();

    Lumo::IteratorT<const Lumo::INorvPhysicalNet> net;
    Lumo::Result netWalk = m_config->GetIterPhysicalNets(net);
    PinSet pins;
    for (; walkOn(net, netWalk); ++net) {
        Lumo::Index netIndex;
        std::string netName;
        if (!readIndex(net, netIndex, CDICErrors::T39_ERRINDEXOFPHYSNET))
            return m_status;
        if (!readName(net, netName, CDICErrors::T39_ERRNAMEOFPHYSNET))
            return m_status;
        unsigned virtualSetPins = 0;
        unsigned pinSets = 0;
        std::string topology;
        if (!getOrderType(net, topology))
            return raiseError(CDICErrors::T39_ERRTOPOLOGYOFPHYSNET);

        pins.Clear();
        Lumo::IteratorT<const Lumo::INorvPin> pin;
        Lumo::Result pinWalk = net->GetIterPins(pin, m_pinsMask);
        for (; walkOn(pin, pinWalk); ++pin) {
            Lumo::Index pinIndex;
            if (!readIndex(pin, pinIndex, CDICErrors::T39_ERRINDEXOFPININPHYSNET, netIndex))
                return m_status;
            pins.Add(pinIndex, 0);
            Lumo::ENorvPinType kind;
            if (!pin->GetNorvType(kind))
                return raiseError(CDICErrors::T39_ERRTYPEOFPININPHYSNET, pinIndex);
            if (m_virtualSetPinMask.Contains(kind))
                ++virtualSetPins;
        }
        if (!pinWalk)
            return raiseError(CDICErrors::T39_ERRITEROFPINSINPHYSNET, netIndex);

        Lumo::IteratorT<const Lumo::INorvPin> set;
        Lumo::Result setWalk = net->GetIterPins(set, m_countedSetsMask);
        for (; walkOn(set, setWalk); ++set) {
            Lumo::Index setIndex;
            if (!readIndex(set, setIndex, CDICErrors::T39_ERRINDEXOFPINSETINPHYSNET, netIndex))
                return m_status;
            checkPinSetContents(pins, set);
            ++pinSets;
        }
        if (!setWalk)
            return raiseError(CDICErrors::T39_ERRITEROFPINSETSINPHYSNET, netIndex);

        if (topology != connectivity::TOPOLOGY_COMPLEX && pinSets > 0)
            raiseError(CDICErrors::T39_NETOTHERTHANCOMPLEXHASPINSET, netIndex, netName);
        if (pinSets != virtualSetPins)
            raiseError(CDICErrors::T39_NUMVIRTPINSETPINSDIFFERENTTHANNUMPINSETS, netIndex, netName);
    }
    if (!netWalk)
        return raiseError(CDICErrors::T39_ERRITEROVERPHYSNETS);

    raiseStatus(OK);
    return m_status;
}
