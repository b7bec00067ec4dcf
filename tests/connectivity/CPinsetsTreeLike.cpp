#include "tests/connectivity/CPinsetsTreeLike.h"

#include "tests/connectivity/ConnectivityHelpers.h"

namespace
{

// Kinds recorded as plain pins: Chained and MST sets are never walked.
bool isPlainKind(Lumo::ENorvPinType kind)
{
    switch (kind) {
    case Lumo::NPT_NetPin:
    case Lumo::NPT_PinSetChained:
    case Lumo::NPT_PinSetMst:
    case Lumo::NPT_VirtualPin:
    case Lumo::NPT_GuidePin:
    case Lumo::NPT_EbdPin:
    case Lumo::NPT_BoundaryPin:
    case Lumo::NPT_VirtualPinSetPin: return true;
    default: return false;
    }
}

} // namespace

CPinsetsTreeLike::CPinsetsTreeLike()
{
    for (Lumo::ENorvPinType kind : {Lumo::NPT_NetPin, Lumo::NPT_VirtualPin, Lumo::NPT_VirtualPinSetPin,
                                    Lumo::NPT_GuidePin, Lumo::NPT_EbdPin, Lumo::NPT_BoundaryPin,
                                    Lumo::NPT_PinSetChained, Lumo::NPT_PinSetT, Lumo::NPT_PinSetMst,
                                    Lumo::NPT_PinSetBalanced, Lumo::NPT_PinSetUnbalanced})
        m_pinTypes |= kind;
}

CPinsetsTreeLike::~CPinsetsTreeLike() = default;

std::string CPinsetsTreeLike::getTestDescription() const { return "Test checks if pin set is properly constructed"; }
std::string CPinsetsTreeLike::getTestName() const { return "Pin sets structure validation"; }
std::string CPinsetsTreeLike::getTestShortName() const { return "PinSetsStructValidation"; }

TestStatus CPinsetsTreeLike::raiseCounted(int code)
{
    ++m_raised;
    return raiseError(code);
}

bool CPinsetsTreeLike::collectPins(const Lumo::IteratorT<const Lumo::INorvPhysicalNet>& net, Lumo::Index netIndex)
{
    Lumo::IteratorT<const Lumo::INorvPin> pin;
    if (!net->GetIterPins(pin, m_pinTypes)) {
        raiseError(CDICErrors::T38_ERRITEROVERPINSINPHYSNET, netIndex);
        return false;
    }
    for (; pin.IsValid(); ++pin) {
        PinRecord record;
        if (!readIndex(pin, record.pin, CDICErrors::T38_ERRINDEXOFPIN, netIndex))
            return false;
        Lumo::ENorvPinType kind;
        if (!pin->GetNorvType(kind)) {
            raiseError(CDICErrors::T38_ERRNORVTYPEOFPIN, record.pin);
            return false;
        }
        if (kind == Lumo::NPT_VirtualPinSetPin) {
            record.isVirtualSetPin = true;
        } else if (!isPlainKind(kind)) {
            record.isPinSet = true;
            Lumo::ContainerT<const Lumo::INorvPin> virtualPin;
            if (!connectivity::obtained(pin->GetVirutalPinSetPin(virtualPin), virtualPin)) {
                raiseCounted(CDICErrors::T38_ERRVIRTUALPINSETPINFORPINSET);
            } else if (!virtualPin->GetIndex(record.virtualSetPin)) {
                raiseError(CDICErrors::T38_ERRINDEXVIRTUALPINSETPINFORPINSET);
                return false;
            }
        }
        const std::size_t position = m_records.size();
        m_lastRecordOf[record.pin] = position;
        if (record.isPinSet)
            m_setOfVirtualPin.emplace(record.virtualSetPin, position);
        m_records.push_back(record);
    }
    return true;
}

bool CPinsetsTreeLike::findPinSetOfVirtualPin(Lumo::Index pin, std::size_t& position) const
{
    const auto found = m_setOfVirtualPin.find(pin);
    if (found == m_setOfVirtualPin.end())
        return false;
    position = found->second;
    return true;
}

TestStatus CPinsetsTreeLike::walkMembers(std::size_t position, bool& complete)
{
    complete = false;
    Lumo::ContainerT<const Lumo::INorvPin> set;
    if (!connectivity::obtained(m_uidManager.GetNorvPin(set, m_records[position].pin), set))
        return raiseCounted(CDICErrors::T38_ERRNORVPINFROMUIDMAN);
    Lumo::ENorvPinType kind;
    if (!set->GetNorvType(kind))
        return raiseCounted(CDICErrors::T38_ERRNORVPINTYPE_2);
    switch (kind) {
    case Lumo::NPT_NetPin:
    case Lumo::NPT_VirtualPin:
    case Lumo::NPT_GuidePin:
    case Lumo::NPT_EbdPin:
    case Lumo::NPT_BoundaryPin:
    case Lumo::NPT_VirtualPinSetPin: return raiseCounted(CDICErrors::T38_WRONGNORVPINTYPE);
    default: break;
    }
    Lumo::IteratorT<const Lumo::INorvPin> member;
    Lumo::Result result = set->GetIterPins(member, m_pinTypes);
    if (!result) {
        ++m_raised;
        return raiseError(CDICErrors::T38_ERRITERNORVPINFROMPIN, result);
    }
    for (; member.IsValid(); ++member) {
        Lumo::Index memberIndex;
        if (!member->GetIndex(memberIndex))
            return raiseCounted(CDICErrors::T38_ERRINDEXOFPIN_2);
        const auto record = m_lastRecordOf.find(memberIndex);
        if (record == m_lastRecordOf.end())
            return raiseCounted(CDICErrors::T38_PININPINSETNOTINNET);
        if (!m_records[record->second].isVirtualSetPin)
            continue;
        std::size_t owner = 0;
        if (!findPinSetOfVirtualPin(memberIndex, owner))
            return raiseCounted(CDICErrors::T38_NOPINSETFORVIRTUALPINSETPIN);
        if (owner != position && checkPinSet(owner) >= FAILED)
            return getStatus();
    }
    complete = true;
    return getStatus();
}

TestStatus CPinsetsTreeLike::checkPinSet(std::size_t position)
{
    if (!m_records[position].isPinSet)
        return getStatus();
    if (m_records[position].inProgress)
        return raiseCounted(CDICErrors::T38_RECURSIVECYCLEOFPINSETS);
    if (m_records[position].sound)
        return getStatus();
    m_records[position].inProgress = true;
    const unsigned long raisedBefore = m_raised;
    bool complete = false;
    const TestStatus status = walkMembers(position, complete);
    m_records[position].inProgress = false;
    // A whole walk without a finding met no cycle and no unreadable pin anywhere below the set, so
    // every later walk of it, by any path, would end the same way.
    m_records[position].sound = complete && m_raised == raisedBefore;
    return status;
}

TestStatus CPinsetsTreeLike::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();

    Lumo::IteratorT<const Lumo::INorvPhysicalNet> net;
    if (!m_config->GetIterPhysicalNets(net))
        return raiseError(CDICErrors::T38_ERRITEROVERPHYSNETS);
    for (; net.IsValid(); ++net) {
        Lumo::Index netIndex;
        if (!readIndex(net, netIndex, CDICErrors::T38_ERRINDEXOFPHYSNET))
            return m_status;
        m_records.clear();
        m_lastRecordOf.clear();
        m_setOfVirtualPin.clear();
        if (!collectPins(net, netIndex))
            return m_status;
        for (std::size_t position = 0; position < m_records.size(); ++position)
            checkPinSet(position);
    }

    raiseStatus(OK);
    return m_status;
}
