#include "repairs/nets/CFixNet.h"

#include "repairs/nets/CFixNetInternal.h"

#include <initializer_list>

using namespace Lumo;
using namespace CFixNetInternal;

namespace
{

// The first name the value matches loosely, in the order given; null when none does.
const char* FirstLooseMatch(const String& value, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        if (LooseMatch(value, name))
            return name;
    return nullptr;
}

bool IsOneOf(const String& value, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        if (value == name)
            return true;
    return false;
}

// Writes value to every physical net of the electrical net in iteration order. With expected, a
// net whose topology text is not exactly that stops the walk unwritten. A failed walk gives its
// result; a stopped walk or a failed write gives not fixed.
CFixStatus WritePhysNets(const ContainerT<const INorvElectricalNet>& net, const ConstraintData& value,
                         const String* expected = nullptr)
{
    IteratorT<const INorvPhysicalNet> physNets;
    Lumo::Result physNetsWalk = net->GetIterPhysicalNets(physNets);
    for (; walkOn(physNets, physNetsWalk); ++physNets)
    {
        if (expected != nullptr)
        {
            Topology current;
            CFIXNET_READ(*physNets, current);
            if (current.text != *expected)
                return CFixStatus(false);
        }
        if (!CFixNet::SetPhysNetConstraint(physNets, OrderTypeName(), value))
            return CFixStatus(false);
    }
    CFIXNET_TRY(physNetsWalk);
    return CFixStatus(true);
}

// Whether one of the electrical net's physical nets holds a pin-set pin (found). Opens the walk
// first, so that a failed walk is reported before anything is searched; a walk that fails on the
// way gives its failure.
Result AnyPhysNetHasPinSetPin(IteratorT<const INorvPhysicalNet>& physNets, bool& found)
{
    found = false;
    Result walk;
    for (; walkOn(physNets, walk); ++physNets)
    {
        IteratorT<const INorvPin> pins;
        if (physNets->GetIterPins(pins, PinSetKinds()) && pins->IsValid())
        {
            found = true;
            return Result();
        }
    }
    return walk;
}

// The pair and its two electrical nets.
struct PairNets
{
    ContainerT<const INorvDiffPair> pair;
    ContainerT<const INorvElectricalNet> first, second;
};

} // namespace

CFixStatus CFixNet::FixNotAllowedDiffPairTopology()
{
    const Index& index = FixContext::s_fixIndex2;
    if (index.IsEmpty())
        return CFixStatus(false, true, "Cannot load differential pair.");
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvDiffPair> pair;
    if (!Uids()->GetNorvDiffPair(pair, index))
        return CFixStatus(true);
    Topology topology;
    CFIXNET_READ(*pair, topology);
    if (IsOneOf(topology.text, {"Custom", "Star", "TShape", "HTree"}))
        return CFixStatus(true);
    if (topology.text == "MST")
        return NormalizeDiffPairTopology(index);
    if (FirstLooseMatch(topology.text, {"Custom", "Star", "TShape", "HTree"}) != nullptr)
        return ApplyDiffPairTopology(index);
    return CFixStatus(false);
}

CFixStatus CFixNet::FixDiffPairNetsTopology()
{
    const Index& index = FixContext::s_fixIndex1;
    if (index.IsEmpty())
        return CFixStatus(false, true, "Cannot load differential pair.");
    return NormalizeDiffPairTopology(index);
}

CFixStatus CFixNet::ApplyDiffPairTopology(const Index& index)
{
    if (Uids() == nullptr)
        return NoDatabase();
    PairNets nets;
    if (!Uids()->GetNorvDiffPair(nets.pair, index))
        return CFixStatus();
    CFIXNET_TRY(nets.pair->GetFirstElecNet(nets.first));
    CFIXNET_TRY(nets.pair->GetSecondElecNet(nets.second));
    Topology pair;
    CFIXNET_READ(*nets.pair, pair);
    const char* name = FirstLooseMatch(pair.text, {"Custom", "Star", "TShape", "HTree"});
    if (name == nullptr)
        return CFixStatus(false);
    Topology first, second;
    CFIXNET_READ(*nets.first, first);
    CFIXNET_READ(*nets.second, second);
    // The spelling is repaired only where the pair and both nets carry the same text.
    if (first.text != second.text || first.text != pair.text)
        return CFixStatus(false);
    if (!SetDiffPairConstraint(nets.pair, OrderTypeName(), TextValue(name)))
        return CFixStatus(false);
    Topology written;
    CFIXNET_READ(*nets.pair, written);

    CFixStatus status = WritePhysNets(nets.first, written.value, &pair.text);
    if (!status)
        return status;
    if (!SetElecNetConstraint(nets.first, OrderTypeName(), written.value))
        return CFixStatus(false);
    status = WritePhysNets(nets.second, written.value, &pair.text);
    if (!status)
        return status;
    return CFixStatus(static_cast<bool>(SetElecNetConstraint(nets.second, OrderTypeName(), written.value)));
}

CFixStatus CFixNet::NormalizeDiffPairTopology(const Index& index)
{
    if (Uids() == nullptr)
        return NoDatabase();
    PairNets nets;
    if (!Uids()->GetNorvDiffPair(nets.pair, index))
        return CFixStatus();
    bool changed = false;
    CFIXNET_TRY(nets.pair->GetFirstElecNet(nets.first));
    CFIXNET_TRY(nets.pair->GetSecondElecNet(nets.second));
    ResetTopoOrderedOfElecNet(nets.first);
    ResetTopoOrderedOfElecNet(nets.second);

    Topology pair, first, second;
    CFIXNET_READ(*nets.pair, pair);

    // A pair value that is never kept: choose one from the nets.
    if (IsOneOf(pair.text, {"MST", "Chained", "Mixed"}))
    {
        CFIXNET_READ(*nets.first, first);
        CFIXNET_READ(*nets.second, second);
        String target("Custom");
        if (first.text == second.text)
        {
            target = first.text;
            if (const char* name = FirstLooseMatch(target,
                                                   {"Custom", "Star", "TShape", "HTree", "Chained", "Mixed", "Complex"}))
                target = name;
            if (IsOneOf(target, {"MST", "Chained", "Mixed", "Complex"}))
                target = "Custom";
        }
        if (SetDiffPairConstraint(nets.pair, OrderTypeName(), TextValue(target)))
            changed = true;
    }

    CFIXNET_READ(*nets.pair, pair);
    if (pair.text == "Custom")
    {
        CFIXNET_READ(*nets.first, first);
        CFIXNET_READ(*nets.second, second);
        const std::initializer_list<const char*> kept = {"Custom", "Complex", "Star", "TShape", "HTree"};
        for (const auto& [net, topology] : {std::make_pair(&nets.first, &first), std::make_pair(&nets.second, &second)})
        {
            if (IsOneOf(topology->text, kept))
                continue;
            const CFixStatus status = WritePhysNets(*net, pair.value);
            if (!status)
                return status;
            if (!SetElecNetConstraint(*net, OrderTypeName(), pair.value))
                return CFixStatus(false);
            changed = true;
        }

        if (first.text == second.text)
        {
            if (second.text == "Complex")
            {
                ConstraintData complex = pair.value;
                complex.textValue = "Complex";
                if (!SetDiffPairConstraint(nets.pair, OrderTypeName(), complex))
                    return CFixStatus(false);
                changed = true;
            }
        }
        else if ((first.text == "Custom" && second.text == "Complex") ||
                 (first.text == "Complex" && second.text == "Custom"))
        {
            // The Complex net gives its value when it holds a pin set, else it takes the Custom one.
            IteratorT<const INorvPhysicalNet> secondPhysNets, firstPhysNets;
            CFIXNET_TRY(nets.second->GetIterPhysicalNets(secondPhysNets));
            const bool firstIsComplex = first.text == "Complex";
            if (firstIsComplex)
                CFIXNET_TRY(nets.first->GetIterPhysicalNets(firstPhysNets));
            bool pinSet = false;
            CFIXNET_TRY(AnyPhysNetHasPinSetPin(firstIsComplex ? firstPhysNets : secondPhysNets, pinSet));
            const bool firstGives = pinSet == firstIsComplex;
            const ContainerT<const INorvElectricalNet>& receiving = firstGives ? nets.second : nets.first;
            const ConstraintData& given = firstGives ? first.value : second.value;
            const CFixStatus status = WritePhysNets(receiving, given);
            if (!status)
                return status;
            if (!SetElecNetConstraint(receiving, OrderTypeName(), given) ||
                !SetDiffPairConstraint(nets.pair, OrderTypeName(), given))
                return CFixStatus(false);
            changed = true;
        }
        return CFixStatus(changed);
    }

    CFIXNET_READ(*nets.first, first);
    CFIXNET_READ(*nets.second, second);
    if (first.text == second.text && first.text == pair.text)
        return CFixStatus(changed);
    if (SetDiffPairConstraint(nets.pair, OrderTypeName(), TextValue("Custom")))
        changed = true;
    CFIXNET_READ(*nets.second, second);
    CFIXNET_READ(*nets.pair, pair);
    if ((second.text == "Mixed" || second.text == "MST") && pair.text == "Custom")
    {
        for (const ContainerT<const INorvElectricalNet>* net : {&nets.first, &nets.second})
        {
            if (!SetElecNetConstraint(*net, OrderTypeName(), pair.value))
                return CFixStatus(false);
            const CFixStatus status = WritePhysNets(*net, pair.value);
            if (!status)
                return status;
        }
        changed = true;
    }
    else if (second.text == "Custom" && pair.text == "MST")
    {
        if (!SetDiffPairConstraint(nets.pair, OrderTypeName(), second.value))
            return CFixStatus(false);
        changed = true;
    }
    return CFixStatus(changed);
}
