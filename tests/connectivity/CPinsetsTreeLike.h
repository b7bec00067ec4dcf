// CPinsetsTreeLike: the pin sets of every physical net form a tree: a set holds another set only
// through that set's virtual pin-set pin, every member is a pin of the net, every virtual pin-set
// pin met as a member belongs to a set of the net, and no set contains itself. Family T38.
//
// The walk descends into nested sets with in-progress marks (a set met again while in progress is
// a cycle). A set whose whole walk raised nothing is remembered as sound, and once the test has
// failed the finding a set's walk ends with is remembered too: neither depends on the path the set
// is reached by, so the set is not walked again. This keeps shared sets from being walked once per
// path through them and long chains of nested sets from being walked once per set.
#pragma once

#include "framework/CNorvDetailChecker.h"
#include "framework/EqualPairs.h"

#include <vector>

class CPinsetsTreeLike : public CNorvDetailChecker
{
public:
    CPinsetsTreeLike();
    ~CPinsetsTreeLike() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    // The one finding a walk begun after the test failed ended with; code 0 when none.
    struct Ending
    {
        int code = 0;
        bool withResult = false;
        Lumo::Result result;
    };

    struct PinRecord
    {
        Lumo::Index pin;
        bool inProgress = false;
        bool isPinSet = false;
        bool isVirtualSetPin = false;
        Lumo::Index virtualSetPin;
        bool sound = false;  // walked whole without a finding
        bool endingKnown = false;
        Ending ending;       // of a walk begun after the test failed
    };

    // Reads the net's pins into m_records; false when a failed read ended the run.
    bool collectPins(const Lumo::IteratorT<const Lumo::INorvPhysicalNet>& net, Lumo::Index netIndex);
    // A walk under way: the set's position, the findings count when it began and its members.
    struct Frame
    {
        std::size_t position = 0;
        unsigned long raisedBefore = 0;
        unsigned long failedReadsBefore = 0;
        bool afterFailure = false;  // begun with the test already FAILED
        Lumo::IteratorT<const Lumo::INorvPin> member;
    };

    // Walks the pin set at the position, nested sets included; returns the test's status.
    TestStatus checkPinSet(std::size_t position);
    // Starts the walk of the set: true when its frame was pushed, else status is the walk's result.
    bool beginWalk(std::size_t position, std::vector<Frame>& walks, TestStatus& status);
    // Loads the set and opens its members; NOT_TESTED when it could, else the status of the raise.
    TestStatus openMembers(std::size_t position, Lumo::IteratorT<const Lumo::INorvPin>& member);
    // Ends the innermost walk; complete when every member was examined.
    void endWalk(std::vector<Frame>& walks, bool complete);
    // The position of the first pin set whose virtual pin-set pin is the pin.
    bool findPinSetOfVirtualPin(Lumo::Index pin, std::size_t& position) const;
    TestStatus raiseCounted(int code);
    TestStatus raiseCounted(int code, Lumo::Result& result);
    // raiseCounted for a read that failed.
    TestStatus raiseFailedRead(int code);
    TestStatus raiseFailedRead(int code, Lumo::Result& result);

    Lumo::BitContainerT<Lumo::ENorvPinType> m_pinTypes;
    std::vector<PinRecord> m_records;
    KeyedPositions<Lumo::Index> m_recordsOfPin;       // record positions by pin; the last one counts
    KeyedPositions<Lumo::Index> m_setsOfVirtualPin;   // pin-set positions by virtual pin-set pin; the first counts
    unsigned long m_raised = 0;
    unsigned long m_failedReads = 0;
    Ending m_lastRaise;
};
