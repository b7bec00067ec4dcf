#include "tests/connectivity/CPinsetsTreeLike.h"

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
    m_lastRaise = Ending{code, false, Lumo::Result()};
    return raiseError(code);
}

TestStatus CPinsetsTreeLike::raiseCounted(int code, Lumo::Result& result)
{
    ++m_raised;
    m_lastRaise = Ending{code, true, result};
    return raiseError(code, result);
}

TestStatus CPinsetsTreeLike::raiseFailedRead(int code)
{
    ++m_failedReads;
    return raiseCounted(code);
}

TestStatus CPinsetsTreeLike::raiseFailedRead(int code, Lumo::Result& result)
{
    ++m_failedReads;
    return raiseCounted(code, result);
}

bool CPinsetsTreeLike::collectPins(const Lumo::IteratorT<const Lumo::INorvPhysicalNet>& net, Lumo::Index netIndex)
{
    Lumo::IteratorT<const Lumo::INorvPin> pin;
    Lumo::Result pinWalk = net->GetIterPins(pin, m_pinTypes);
    for (; walkOn(pin, pinWalk); ++pin) {
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
            if (!pin->GetVirutalPinSetPin(virtualPin)) {
                raiseCounted(CDICErrors::T38_ERRVIRTUALPINSETPINFORPINSET);
            } else if (!readThrough(virtualPin, [&] { return virtualPin->GetIndex(record.virtualSetPin); })) {
                raiseError(CDICErrors::T38_ERRINDEXVIRTUALPINSETPINFORPINSET);
                return false;
            }
        }
        const std::size_t position = m_records.size();
        m_recordsOfPin.Add(record.pin, position);
        if (record.isPinSet)
            m_setsOfVirtualPin.Add(record.virtualSetPin, position);
        m_records.push_back(record);
    }
    if (!pinWalk) {
        raiseError(CDICErrors::T38_ERRITEROVERPINSINPHYSNET, netIndex);
        return false;
    }
    return true;
}

bool CPinsetsTreeLike::findPinSetOfVirtualPin(Lumo::Index pin, std::size_t& position) const
{
    return m_setsOfVirtualPin.First(pin, position);
}

TestStatus CPinsetsTreeLike::openMembers(std::size_t position, Lumo::IteratorT<const Lumo::INorvPin>& member)
{
    Lumo::ContainerT<const Lumo::INorvPin> set;
    if (!m_uidManager.GetNorvPin(set, m_records[position].pin))
        return raiseFailedRead(CDICErrors::T38_ERRNORVPINFROMUIDMAN);
    Lumo::ENorvPinType kind;
    if (!readThrough(set, [&] { return set->GetNorvType(kind); }))
        return raiseFailedRead(CDICErrors::T38_ERRNORVPINTYPE_2);
    switch (kind) {
    case Lumo::NPT_NetPin:
    case Lumo::NPT_VirtualPin:
    case Lumo::NPT_GuidePin:
    case Lumo::NPT_EbdPin:
    case Lumo::NPT_BoundaryPin:
    case Lumo::NPT_VirtualPinSetPin: return raiseCounted(CDICErrors::T38_WRONGNORVPINTYPE);
    default: break;
    }
    Lumo::Result result = set->GetIterPins(member, m_pinTypes);
    if (!result)
        return raiseFailedRead(CDICErrors::T38_ERRITERNORVPINFROMPIN, result);
    return NOT_TESTED;
}

bool CPinsetsTreeLike::beginWalk(std::size_t position, std::vector<Frame>& walks, TestStatus& status)
{
    PinRecord& record = m_records[position];
    if (!record.isPinSet) {
        status = getStatus();
        return false;
    }
    if (record.inProgress) {
        status = raiseCounted(CDICErrors::T38_RECURSIVECYCLEOFPINSETS);
        return false;
    }
    if (record.sound) {
        status = getStatus();
        return false;
    }
    const bool afterFailure = getStatus() >= FAILED;
    if (afterFailure && record.endingKnown) {
        Ending ending = record.ending;
        if (ending.code == 0)
            status = getStatus();
        else if (ending.withResult)
            status = raiseCounted(ending.code, ending.result);
        else
            status = raiseCounted(ending.code);
        return false;
    }
    Frame frame;
    frame.position = position;
    frame.raisedBefore = m_raised;
    frame.failedReadsBefore = m_failedReads;
    frame.afterFailure = afterFailure;
    status = openMembers(position, frame.member);
    if (status != NOT_TESTED)
        return false;
    record.inProgress = true;
    walks.push_back(frame);
    return true;
}

void CPinsetsTreeLike::endWalk(std::vector<Frame>& walks, bool complete)
{
    const Frame& frame = walks.back();
    PinRecord& record = m_records[frame.position];
    record.inProgress = false;
    // A whole walk without a finding met no cycle and no unreadable pin anywhere below the set, so
    // every later walk of it, by any path, would end the same way.
    record.sound = complete && m_raised == frame.raisedBefore;
    // Once the test has failed, a walk follows one chain of first nested sets and ends at its first
    // finding, if any; how it ends does not depend on the path it came by (a chain that meets a
    // set in progress runs into a cycle from any start), so it is kept and raised again instead.
    // A walk that met a failed read is not kept: read again, it may end otherwise.
    if (frame.afterFailure && m_failedReads == frame.failedReadsBefore) {
        record.endingKnown = true;
        record.ending = m_raised == frame.raisedBefore ? Ending() : m_lastRaise;
    }
    walks.pop_back();
}

TestStatus CPinsetsTreeLike::checkPinSet(std::size_t position)
{
    // The walks under way, innermost last: the recursion of nested sets kept on the heap, so that
    // a deep nesting cannot exhaust the stack.
    std::vector<Frame> walks;
    TestStatus status;
    if (!beginWalk(position, walks, status))
        return status;
    while (!walks.empty()) {
        Frame& frame = walks.back();
        bool ended = false;
        bool complete = false;
        if (!frame.member.IsValid()) {
            status = getStatus();
            ended = complete = true;
        } else {
            Lumo::Index memberIndex;
            std::size_t owner = 0;
            if (!frame.member->GetIndex(memberIndex)) {
                status = raiseFailedRead(CDICErrors::T38_ERRINDEXOFPIN_2);
                ended = true;
            } else {
                std::size_t record = 0;
                if (!m_recordsOfPin.Last(memberIndex, record)) {
                    status = raiseCounted(CDICErrors::T38_PININPINSETNOTINNET);
                    ended = true;
                } else if (!m_records[record].isVirtualSetPin) {
                    ++frame.member;
                } else if (!findPinSetOfVirtualPin(memberIndex, owner)) {
                    status = raiseCounted(CDICErrors::T38_NOPINSETFORVIRTUALPINSETPIN);
                    ended = true;
                } else if (owner == frame.position) {
                    ++frame.member; // the set's own virtual pin-set pin
                } else {
                    ++frame.member;
                    TestStatus nested;
                    if (beginWalk(owner, walks, nested))
                        continue;
                    if (nested >= FAILED) {
                        status = getStatus();
                        ended = true;
                    }
                }
            }
        }
        if (!ended)
            continue;
        endWalk(walks, complete);
        // The enclosing walks receive the status; each stops when it is FAILED or higher.
        while (!walks.empty() && status >= FAILED) {
            status = getStatus();
            endWalk(walks, false);
        }
    }
    return status;
}

TestStatus CPinsetsTreeLike::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();

    Lumo::IteratorT<const Lumo::INorvPhysicalNet> net;
    Lumo::Result netWalk = m_config->GetIterPhysicalNets(net);
    for (; walkOn(net, netWalk); ++net) {
        Lumo::Index netIndex;
        if (!readIndex(net, netIndex, CDICErrors::T38_ERRINDEXOFPHYSNET))
            return m_status;
        m_records.clear();
        m_recordsOfPin.Clear();
        m_setsOfVirtualPin.Clear();
        if (!collectPins(net, netIndex))
            return m_status;
        for (std::size_t position = 0; position < m_records.size(); ++position)
            checkPinSet(position);
    }
    if (!netWalk)
        return raiseError(CDICErrors::T38_ERRITEROVERPHYSNETS);

    raiseStatus(OK);
    return m_status;
}
