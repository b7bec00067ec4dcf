// CPinsetsTreeLike: the pin sets of every physical net form a tree: a set holds another set only
// through that set's virtual pin-set pin, every member is a pin of the net, every virtual pin-set
// pin met as a member belongs to a set of the net, and no set contains itself. Family T38.
//
// The walk descends into nested sets with in-progress marks (a set met again while in progress is
// a cycle). A set whose whole walk raised nothing is remembered as sound: its findings cannot
// depend on the path it is reached by, so it is not walked again. This keeps shared sets from
// being walked once per path through them.
#pragma once

#include "framework/CNorvDetailChecker.h"

#include <unordered_map>
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
    struct PinRecord
    {
        Lumo::Index pin;
        bool inProgress = false;
        bool isPinSet = false;
        bool isVirtualSetPin = false;
        Lumo::Index virtualSetPin;
        bool sound = false;  // walked whole without a finding
    };

    // Reads the net's pins into m_records; false when a failed read ended the run.
    bool collectPins(const Lumo::IteratorT<const Lumo::INorvPhysicalNet>& net, Lumo::Index netIndex);
    // Walks the pin set at the position; returns the test's status.
    TestStatus checkPinSet(std::size_t position);
    // The members of the set at the position; complete is set when every member was examined.
    TestStatus walkMembers(std::size_t position, bool& complete);
    // The position of the first pin set whose virtual pin-set pin is the pin.
    bool findPinSetOfVirtualPin(Lumo::Index pin, std::size_t& position) const;
    TestStatus raiseCounted(int code);

    Lumo::BitContainerT<Lumo::ENorvPinType> m_pinTypes;
    std::vector<PinRecord> m_records;
    std::unordered_map<Lumo::Index, std::size_t> m_lastRecordOf;
    std::unordered_map<Lumo::Index, std::size_t> m_setOfVirtualPin;
    unsigned long m_raised = 0;
};
