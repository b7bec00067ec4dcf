#include "repairs/CFixComp.h"

#include "framework/FixContext.h"
#include "repairs/RepairSupport.h"

#include <map>
#include <set>
#include <strings.h>

using RepairSupport::Uids;

namespace {

const char* const kRefDesignator = "Ref Designator";
const char* const kPinNumber = "Pin Number";
const char* const kRepackage = "Please repackage the design to correct";
const Lumo::EAttributeType kAttributeTypes[] = {Lumo::AT_3, Lumo::AT_2, Lumo::AT_1};

using CompRead = Lumo::ContainerT<const Lumo::INorvComp>;
using CompWrite = Lumo::MutableContainerT<Lumo::INorvComp>;
using LogicWrite = Lumo::MutableContainerT<Lumo::IComp>;
using NorvPinList = Lumo::ListT<Lumo::ContainerT<const Lumo::INorvPin>>;
using DesignPinList = Lumo::ListT<Lumo::ContainerT<const Lumo::IPin>>;

Lumo::BitContainerT<Lumo::ENorvPinType> AllPins()
{
    return Lumo::BitContainerT<Lumo::ENorvPinType>(Lumo::NPT_NetPin);
}

// The logic component's "Ref Designator" by type 3, 2, then 1; false when none gives a value.
bool ReadRefDes(const Lumo::IComp& logicComp, std::string& value, Lumo::EAttributeType& type)
{
    for (Lumo::EAttributeType t : kAttributeTypes)
    {
        Lumo::String text;
        if (logicComp.GetAttribute(kRefDesignator, text, t) && !text.IsEmpty())
        {
            value = text.str();
            type = t;
            return true;
        }
    }
    return false;
}

// The number of elements of an opened walk; 0 when it cannot count.
template <class T>
int CountOf(const Lumo::IteratorT<T>& walk)
{
    int count = 0;
    if (!walk.GetCount(count))
        return 0;
    return count;
}

// Sorts a component among the connected (a logic component, or a pin on a valid physical net) or the
// unconnected ones. Not fixed for a component without pins or with an invalid pin; a failed read as
// result.
CFixStatus Classify(const CompRead& comp, bool& connected)
{
    Lumo::IteratorT<const Lumo::INorvPin> pins;
    Lumo::Result pinsWalk = comp->GetIterPins(pins, AllPins());
    if (!walkOn(pins, pinsWalk))
        return pinsWalk ? CFixStatus(false) : CFixStatus(pinsWalk);
    // Logic components that cannot be listed count as none; a list that fails on the way fails.
    Lumo::IteratorT<const Lumo::IComp> logic;
    connected = false;
    if (Lumo::Result logicWalk = comp->GetIterLogicComp(logic))
    {
        connected = walkOn(logic, logicWalk);
        if (!logicWalk)
            return CFixStatus(logicWalk);
    }
    for (; !connected && walkOn(pins, pinsWalk); ++pins)
    {
        Lumo::Index pinIndex;
        if (Lumo::Result r = pins->GetIndex(pinIndex); !r)
            return CFixStatus(r);
        Lumo::ContainerT<const Lumo::INorvPin> pin;
        if (Lumo::Result r = comp->GetPin(pinIndex, pin); !r)
            return CFixStatus(r);
        if (!pin.IsValid())
            return CFixStatus(false);
        Lumo::ContainerT<const Lumo::INorvPhysicalNet> net;
        connected = pin->GetParentPhysicalNet(net) && net.IsValid();
    }
    if (!pinsWalk)
        return CFixStatus(pinsWalk);
    return CFixStatus(true);
}

// Gives a duplicate its new name and carries the name over to the reference designator of its first
// logic component when that designator still reads the old name. The locks stay with the method.
CFixStatus RenameDuplicate(const Lumo::Index& index, const std::string& oldName, const std::string& newName)
{
    CompRead comp;
    if (Lumo::Result r = Uids().GetNorvComp(comp, index); !r)
        return CFixStatus(r);
    CompWrite locked;
    if (Lumo::Result r = Lumo::LockerT<Lumo::INorvComp>::Lock(comp, locked); !r)
        return CFixStatus(r);
    if (Lumo::Result r = locked->SetName(newName); !r)
        return CFixStatus(r);
    // The name stays when the logic components cannot be listed; a list that fails on the way fails.
    Lumo::IteratorT<const Lumo::IComp> logic;
    Lumo::Result logicWalk = comp->GetIterLogicComp(logic);
    if (!logicWalk || CountOf(logic) == 0)
        return CFixStatus(true);
    if (!walkOn(logic, logicWalk))
        return logicWalk ? CFixStatus(true) : CFixStatus(logicWalk);
    std::string value;
    Lumo::EAttributeType type = Lumo::AT_3;
    if (!ReadRefDes(*logic, value, type) || value != oldName)
        return CFixStatus(true);
    LogicWrite lockedLogic;
    if (Lumo::Result r = Lumo::LockerT<Lumo::IComp>::Lock(logic, lockedLogic); !r)
        return CFixStatus(r);
    if (Lumo::Result r = lockedLogic->SetAttribute(kRefDesignator, newName, type); !r)
        return CFixStatus(r);
    return CFixStatus(true);
}

} // namespace

bool CFixComp::GetPinNumber(const Lumo::IPin& pin, int32_t bit, std::string& number)
{
    // The first type that holds a number wins. An unset attribute reads as an empty text, so a pin
    // numbered under no type still reads successfully, as an empty number that MatchPins refuses.
    bool read = false;
    for (Lumo::EAttributeType type : kAttributeTypes)
    {
        Lumo::String text;
        const Lumo::Result r =
            bit == -1 ? pin.GetAttribute(kPinNumber, text, type) : pin.GetAttribute(kPinNumber, text, type, bit);
        if (!r)
            continue;
        read = true;
        number = text.str();
        if (!number.empty())
            return true;
    }
    return read;
}

Lumo::Result CFixComp::MatchPins(const Lumo::INorvComp& comp, const Lumo::IComp& logicComp, NorvPinList& norvPins,
                                 DesignPinList& designPins, bool& matched)
{
    matched = false;
    norvPins.RemoveAll();
    designPins.RemoveAll();
    Lumo::IteratorT<const Lumo::INorvPin> pins;
    if (!comp.GetIterPins(pins, AllPins()))
        return Lumo::Result();
    std::map<std::string, Lumo::Index> byName;
    Lumo::Result pinsWalk;
    for (; walkOn(pins, pinsWalk); ++pins)
    {
        Lumo::String name;
        Lumo::Index index;
        pins->GetName(name);
        pins->GetIndex(index);
        byName.emplace(name.str(), index);
    }
    if (!pinsWalk)
        return pinsWalk;

    Lumo::IteratorT<const Lumo::IPin> logicPins;
    Lumo::Result logicPinsWalk = logicComp.GetIterPins(logicPins);
    matched = true;
    if (!logicPinsWalk)
        return Lumo::Result();
    for (; walkOn(logicPins, logicPinsWalk); ++logicPins)
    {
        Lumo::BitContainerT<Lumo::EPinType> types;
        if (!logicPins->GetType(types) || !types.Contains(Lumo::PT_ForwardPCB))
            continue;
        int32_t width = 0;
        logicPins->GetWidth(width);
        for (int32_t bit = 0; bit < width; ++bit)
        {
            std::string number;
            if (!GetPinNumber(*logicPins, width > 1 ? bit : -1, number))
                continue;
            if (number.empty())
            {
                matched = false;
                return Lumo::Result();
            }
            designPins.Add(logicPins);
            const auto found = byName.find(number);
            if (found == byName.end())
                continue;
            Lumo::ContainerT<const Lumo::INorvPin> norvPin;
            if (!Uids().GetNorvPin(norvPin, found->second))
            {
                matched = false;
                return Lumo::Result();
            }
            norvPins.Add(norvPin);
        }
    }
    return logicPinsWalk;
}

CFixStatus CFixComp::RenameDuplicatedComps()
{
    const std::string name = FixContext::s_fixName1;
    if (name.empty())
        return CFixStatus(false);
    const Lumo::SearchParams exact(Lumo::SP_MatchCase);
    Lumo::ListT<Lumo::NorvObjectInfo> found;
    if (Lumo::Result r = FixContext::s_fixNorvConfig->FindNorvComp(found, name, exact); !r)
        return CFixStatus(r);
    if (found.Count() <= 1)
        return CFixStatus(true);

    std::set<Lumo::Index> connected;
    std::set<Lumo::Index> unconnected;
    for (auto it = found.GetIterator(); it.IsValid(); ++it)
    {
        CompRead comp;
        if (Lumo::Result r = FixContext::s_fixNorvConfig->GetNorvComp(it->index, comp); !r)
            return CFixStatus(r);
        bool isConnected = false;
        const CFixStatus classified = Classify(comp, isConnected);
        if (!classified.fixed)
            return classified;
        (isConnected ? connected : unconnected).insert(it->index);
    }

    if (connected.size() >= 2)
    {
        // The name splits into a prefix and its trailing digit run; the run's leading zeros stay.
        const size_t split = name.find_last_not_of("0123456789");
        const std::string prefix = split == std::string::npos ? std::string() : name.substr(0, split + 1);
        const std::string digits = name.substr(prefix.size());
        uint64_t number = 0;
        for (char c : digits)
            number = number * 10 + static_cast<uint64_t>(c - '0');
        const size_t firstNonZero = digits.find_first_not_of('0');
        const std::string zeros(firstNonZero == std::string::npos ? digits.size() : firstNonZero, '0');

        auto other = connected.begin();
        for (++other; other != connected.end(); ++other)
        {
            std::string candidate;
            do
            {
                candidate = prefix + zeros + std::to_string(++number);
                if (Lumo::Result r = FixContext::s_fixNorvConfig->FindNorvComp(found, candidate, exact); !r)
                    return CFixStatus(r);
            } while (!found.IsEmpty());
            const CFixStatus renamed = RenameDuplicate(*other, name, candidate);
            if (!renamed.fixed)
                return renamed;
        }
        // The search above reused the list: find the duplicates again for the deletes below.
        if (Lumo::Result r = FixContext::s_fixNorvConfig->FindNorvComp(found, name, exact); !r)
            return CFixStatus(r);
    }

    if (unconnected.empty())
        return CFixStatus(true);
    if (connected.empty())
        return CFixStatus(false);
    for (auto it = found.GetIterator(); it.IsValid(); ++it)
    {
        if (unconnected.count(it->index) == 0)
            continue;
        Lumo::MutableContainerT<Lumo::INorvConfig> config;
        if (Lumo::Result r = Lumo::LockerT<Lumo::INorvConfig>::Lock(FixContext::s_fixNorvConfig, config); !r)
            return CFixStatus(r);
        if (Lumo::Result r = config->DeleteNorvComp(it->index); !r)
            return CFixStatus(r);
        RepairSupport::UnLockChanged(config);
    }
    return CFixStatus(true);
}

CFixStatus CFixComp::RenameCompToRefDes()
{
    CompRead comp;
    if (Lumo::Result r = Uids().GetNorvComp(comp, FixContext::s_fixIndex2); !r)
        return CFixStatus(r);
    Lumo::IteratorT<const Lumo::IComp> logic;
    if (Lumo::Result r = comp->GetIterLogicComp(logic); !r)
        return CFixStatus(r);
    if (CountOf(logic) != 1 ||
        strcasecmp(FixContext::s_fixName1.c_str(), FixContext::s_fixName2.c_str()) == 0)
        return CFixStatus(false, false, kRepackage);
    CompWrite locked;
    if (Lumo::Result r = Lumo::LockerT<Lumo::INorvComp>::Lock(comp, locked); !r)
        return CFixStatus(r);
    if (Lumo::Result r = locked->SetName(FixContext::s_fixName1); !r)
        return CFixStatus(r);
    Lumo::LockerT<Lumo::INorvComp>::UnLock(locked);
    return CFixStatus(true);
}

CFixStatus CFixComp::SetEmptyRefDes()
{
    CompRead comp;
    if (Lumo::Result r = Uids().GetNorvComp(comp, FixContext::s_fixIndex1); !r)
        return CFixStatus(r);
    Lumo::ContainerT<const Lumo::IComp> logic;
    if (Lumo::Result r = Uids().GetComp(logic, FixContext::s_fixIndex2); !r)
        return CFixStatus(r);
    Lumo::String name;
    if (Lumo::Result r = comp->GetName(name); !r)
        return CFixStatus(r);
    LogicWrite locked;
    if (Lumo::Result r = Lumo::LockerT<Lumo::IComp>::Lock(logic, locked); !r)
        return CFixStatus(r);
    return CFixStatus(static_cast<bool>(locked->SetAttribute(kRefDesignator, name, Lumo::AT_3)));
}

CFixStatus CFixComp::VerifyPinCounts()
{
    const Lumo::Index index = FixContext::s_fixIndex1;
    CompRead comp;
    if (Lumo::Result r = Uids().GetNorvComp(comp, index); !r)
        return FixedIfGone(r, index);
    Lumo::ContainerT<const Lumo::INorvPart> part;
    if (!comp->GetParentPart(part))
        return CFixStatus(true);
    Lumo::IteratorT<const Lumo::INorvPin> pins;
    Lumo::IteratorT<const Lumo::INorvPartPin> partPins;
    if (!comp->GetIterPins(pins, AllPins()) || !part->GetIterPartPins(partPins))
        return CFixStatus(false);
    int pinCount = 0;
    int partPinCount = 0;
    if (!pins.GetCount(pinCount) || !partPins.GetCount(partPinCount))
        return CFixStatus(false);
    return CFixStatus(pinCount == partPinCount);
}

CFixStatus CFixComp::ReattachLogicComp()
{
    CompRead comp;
    if (Lumo::Result r = Uids().GetNorvComp(comp, FixContext::s_fixIndex1); !r)
        return CFixStatus(r);
    Lumo::ContainerT<const Lumo::IComp> logic;
    if (Lumo::Result r = Uids().GetComp(logic, FixContext::s_fixIndex2); !r)
        return CFixStatus(r);
    // The pins are paired before anything changes, so that a failed pairing leaves the component whole.
    NorvPinList norvPins;
    DesignPinList designPins;
    bool matched = false;
    if (Lumo::Result r = MatchPins(*comp, *logic, norvPins, designPins, matched); !r)
        return CFixStatus(r);
    if (!matched)
        return CFixStatus(false);

    CompWrite locked;
    if (Lumo::Result r = Lumo::LockerT<Lumo::INorvComp>::Lock(comp, locked); !r)
        return CFixStatus(r);
    if (Lumo::Result r = locked->RemoveLogicComp(*logic); !r)
        return CFixStatus(r);
    LogicWrite lockedLogic;
    if (Lumo::Result r = Lumo::LockerT<Lumo::IComp>::Lock(logic, lockedLogic); !r)
        return CFixStatus(r);
    if (Lumo::Result r = locked->AddLogicComp(*lockedLogic, norvPins, designPins); !r)
        return CFixStatus(r);
    return CFixStatus(true);
}

CFixStatus CFixComp::RebuildCompPins()
{
    const Lumo::Index index = FixContext::s_fixIndex1;
    CompRead comp;
    if (Lumo::Result r = Uids().GetNorvComp(comp, index); !r)
        return FixedIfGone(r, index);
    Lumo::ContainerT<const Lumo::INorvPart> part;
    if (!comp->GetParentPart(part) || !part.IsValid())
        return CFixStatus(false);

    CompWrite locked;
    if (Lumo::Result r = Lumo::LockerT<Lumo::INorvComp>::Lock(comp, locked); !r)
        return CFixStatus(r);
    Lumo::MutableContainerT<Lumo::INorvConfig> config;
    if (Lumo::Result r = Lumo::LockerT<Lumo::INorvConfig>::Lock(FixContext::s_fixNorvConfig, config); !r)
        return CFixStatus(r);
    // One new component takes every logic component of the old one.
    CompWrite rebuilt;
    if (Lumo::Result r = config->AddNorvComp(rebuilt, part, FixContext::s_fixName1); !r)
        return CFixStatus(r);

    Lumo::IteratorT<const Lumo::IComp> logic;
    Lumo::Result logicWalk = comp->GetIterLogicComp(logic);
    for (; walkOn(logic, logicWalk); ++logic)
    {
        LogicWrite lockedLogic;
        if (Lumo::Result r = Lumo::LockerT<Lumo::IComp>::Lock(logic, lockedLogic); !r)
            return CFixStatus(r);
        Lumo::IteratorT<const Lumo::IPin> pins;
        Lumo::Result pinsWalk = logic->GetIterPins(pins);
        DesignPinList designPins;
        for (; walkOn(pins, pinsWalk); ++pins)
            designPins.Add(pins);
        if (!pinsWalk)
            return CFixStatus(pinsWalk);
        if (Lumo::Result r = locked->RemoveLogicComp(*logic); !r)
            return CFixStatus(r);
        if (Lumo::Result r = rebuilt->AddLogicComp(*lockedLogic, NorvPinList(), designPins); !r)
            return CFixStatus(r);
        RepairSupport::UnLockChanged(lockedLogic);
    }
    if (!logicWalk)
        return CFixStatus(logicWalk);
    RepairSupport::UnLockChanged(rebuilt);

    RepairSupport::UnLockChanged(locked);
    if (Lumo::Result r = config->DeleteNorvComp(index); !r)
        return CFixStatus(r);
    RepairSupport::UnLockChanged(config);
    return CFixStatus(true);
}

CFixStatus CFixComp::RenameMismatchedPins()
{
    const Lumo::Index pinIndex = FixContext::s_fixIndex1;
    const Lumo::Index compIndex = FixContext::s_fixIndex2;
    Lumo::ContainerT<const Lumo::INorvPin> pin;
    if (Lumo::Result r = Uids().GetNorvPin(pin, pinIndex); !r)
        return FixedIfGone(r, pinIndex);
    CompRead comp;
    if (Lumo::Result r = Uids().GetNorvComp(comp, compIndex); !r)
        return FixedIfGone(r, compIndex);
    Lumo::ContainerT<const Lumo::INorvPart> part;
    if (!comp->GetParentPart(part) || !part.IsValid())
        return CFixStatus(false);

    Lumo::IteratorT<const Lumo::IComp> logic;
    if (Lumo::Result r = comp->GetIterLogicComp(logic); !r)
        return CFixStatus(r);
    Lumo::Result logicWalk;
    if (CountOf(logic) != 1 || !walkOn(logic, logicWalk))
        return logicWalk ? CFixStatus(false) : CFixStatus(logicWalk);
    Lumo::IteratorT<const Lumo::IPin> pins;
    Lumo::Result pinsWalk = logic->GetIterPins(pins);
    DesignPinList designPins;
    std::map<Lumo::Index, std::string> oldNames;
    for (; walkOn(pins, pinsWalk); ++pins)
    {
        designPins.Add(pins);
        Lumo::Index designIndex;
        if (!pins->GetIndex(designIndex))
            continue;
        Lumo::ListT<Lumo::Index> norvPins;
        if (!FixContext::s_fixNorvConfig->GetListNorvPinByPin(norvPins, designIndex) || norvPins.IsEmpty())
            continue;
        Lumo::ContainerT<const Lumo::INorvPin> norvPin;
        Lumo::String name;
        if (Uids().GetNorvPin(norvPin, *norvPins.GetIterator()) && norvPin->GetName(name))
            oldNames[designIndex] = name.str();
    }
    if (!pinsWalk)
        return CFixStatus(pinsWalk);

    CompWrite locked;
    if (Lumo::Result r = Lumo::LockerT<Lumo::INorvComp>::Lock(comp, locked); !r)
        return CFixStatus(r);
    locked->RemoveLogicComp(*logic);
    RepairSupport::UnLockChanged(locked);

    // The new component is made before the old one goes, so that a failed add loses nothing.
    Lumo::MutableContainerT<Lumo::INorvConfig> config;
    if (Lumo::Result r = Lumo::LockerT<Lumo::INorvConfig>::Lock(FixContext::s_fixNorvConfig, config); !r)
        return CFixStatus(r);
    CompWrite rebuilt;
    if (Lumo::Result r = config->AddNorvComp(rebuilt, part, FixContext::s_fixName2); !r)
        return CFixStatus(r);
    if (Lumo::Result r = config->DeleteNorvComp(compIndex); !r)
        return CFixStatus(r);
    RepairSupport::UnLockChanged(config);

    LogicWrite lockedLogic;
    if (Lumo::Result r = Lumo::LockerT<Lumo::IComp>::Lock(logic, lockedLogic); !r)
        return CFixStatus(r);
    if (Lumo::Result r = rebuilt->AddLogicComp(*lockedLogic, NorvPinList(), designPins); !r)
        return CFixStatus(r);
    RepairSupport::UnLockChanged(lockedLogic);

    Lumo::IteratorT<const Lumo::INorvPin> newPins;
    if (Lumo::Result r = rebuilt->GetIterPins(newPins, AllPins()); !r)
        return CFixStatus(r);
    RepairSupport::UnLockChanged(rebuilt);
    Lumo::Result newPinsWalk;
    for (; walkOn(newPins, newPinsWalk); ++newPins)
    {
        Lumo::ContainerT<const Lumo::IPin> designPin;
        if (!newPins->GetPin(designPin) || !designPin.IsValid())
            continue;
        Lumo::Index designIndex;
        designPin->GetIndex(designIndex);
        const auto found = oldNames.find(designIndex);
        if (found == oldNames.end())
            continue;
        if (Lumo::Result r =
                RepairSupport::LockAndChange(newPins, [&](Lumo::INorvPin& p) { return p.SetName(found->second); });
            !r)
            return CFixStatus(r);
    }
    if (!newPinsWalk)
        return CFixStatus(newPinsWalk);
    return CFixStatus(true);
}
