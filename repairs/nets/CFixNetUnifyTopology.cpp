#include "repairs/nets/CFixNet.h"

#include "repairs/nets/CFixNetInternal.h"

using namespace Lumo;
using namespace CFixNetInternal;

namespace
{

// The record read from a net with its text replaced: what a net is given when it gets a fixed text
// or a text taken from other nets.
ConstraintData WithText(const ConstraintData& read, const String& text)
{
    ConstraintData value = read;
    value.textValue = text;
    return value;
}

// A write through a setter: fixed when it took, else not fixed without a message.
CFixStatus Settled(const CFixStatus& written)
{
    return CFixStatus(static_cast<bool>(written));
}

// Walks the physical nets from where the iterator stands. The reference takes the first value
// that is not empty; a later value that differs from it (an empty one included) ends the walk
// with differ set.
Result ScanPhysNets(IteratorT<const INorvPhysicalNet>& physNets, String& reference, bool& differ)
{
    differ = false;
    Lumo::Result physNetsWalk;
    for (; walkOn(physNets, physNetsWalk); ++physNets)
    {
        Topology topology;
        const Result read = ReadOrderType(*physNets, topology.value, topology.text);
        if (!read)
            return read;
        if (reference.IsEmpty())
            reference = topology.text;
        else if (topology.text != reference)
        {
            differ = true;
            break;
        }
    }
    if (!physNetsWalk)
        return physNetsWalk;
    return Result();
}

// The counts a row's decision rests on: pins of the row's kinds, then from-tos, both taken first.
struct Counts
{
    int pins = 0;
    int fromTos = 0;
};

Result CountSpecials(const INorvPhysicalNet& net, const BitContainerT<ENorvPinType>& kinds, Counts& counts)
{
    const Result pins = CountPins(net, kinds, counts.pins);
    return pins ? CountFromTos(net, counts.fromTos) : pins;
}

CFixStatus OneNet(const ContainerT<const INorvElectricalNet>& elecNet,
                  const IteratorT<const INorvPhysicalNet>& physNet)
{
    Topology e, p;
    CFIXNET_READ(*elecNet, e);
    CFIXNET_READ(*physNet, p);
    if (e.text == p.text)
        return CFixStatus(true);

    if (e.text == "Custom" || e.text == "TShape")
        return WriteConstraint(physNet, OrderTypeName(), e.value, WriteMode::Direct);
    if (p.text == "Custom" || e.text == "Mixed")
        return WriteConstraint(elecNet, OrderTypeName(), p.value, WriteMode::Direct);

    Counts counts;
    if (p.text == "Complex" || p.text == "0")
    {
        CFIXNET_TRY(CountSpecials(*physNet, PinSetAndVirtualPinSetPinKinds(), counts));
        if (counts.pins > 0)
            return Settled(CFixNet::SetElecNetConstraint(elecNet, OrderTypeName(), WithText(e.value, "Complex")));
        if (counts.fromTos == 0)
            return Settled(CFixNet::SetPhysNetConstraint(physNet, OrderTypeName(), e.value));
        if (p.text == "Complex")
            return CFixStatus(false);
        return Settled(CFixNet::SetElecNetConstraint(elecNet, OrderTypeName(), WithText(e.value, "Custom")));
    }
    if ((e.text == "Complex" || e.text == "Chained") && p.text == "MST")
    {
        CFIXNET_TRY(CountSpecials(*physNet, PinSetAndVirtualPinSetPinKinds(), counts));
        if (counts.pins > 0 || counts.fromTos > 0)
            return CFixStatus(false);
        return Settled(CFixNet::SetElecNetConstraint(elecNet, OrderTypeName(), WithText(e.value, "MST")));
    }
    if ((p.text == "HTree" || p.text == "TShape") && e.text == "MST")
    {
        CFIXNET_TRY(CountSpecials(*physNet, PinSetAndVirtualPinKinds(), counts));
        if (counts.pins > 0 || counts.fromTos > 0)
            return CFixStatus(false);
        return Settled(CFixNet::SetPhysNetConstraint(physNet, OrderTypeName(), WithText(p.value, "MST")));
    }
    return CFixStatus(false);
}

CFixStatus SeveralNets(const ContainerT<const INorvElectricalNet>& elecNet, IteratorT<const INorvPhysicalNet>& physNets)
{
    Topology e;
    ContainerT<const INorvDiffPair> pair;
    elecNet->GetParentDiffPair(pair);
    if (pair.IsValid())
    {
        // Under a pair whose value and the net's are both Custom, the physical nets take the pair's.
        Topology d;
        CFIXNET_READ(*elecNet, e);
        CFIXNET_READ(*pair, d);
        if (e.text == "Custom" && d.text == "Custom")
        {
            Lumo::Result physNetsWalk;
            for (; walkOn(physNets, physNetsWalk); ++physNets)
                if (!CFixNet::SetPhysNetConstraint(physNets, OrderTypeName(), d.value))
                    return CFixStatus(false);
            CFIXNET_TRY(physNetsWalk);
            return CFixStatus(true);
        }
    }

    CFIXNET_READ(*elecNet, e);
    String common;
    bool differ = false;
    CFIXNET_TRY(ScanPhysNets(physNets, common, differ));
    if (differ && e.text != "Mixed")
        return Settled(CFixNet::SetElecNetConstraint(elecNet, OrderTypeName(), WithText(e.value, "Mixed")));
    if (e.text == "Mixed")
    {
        IteratorT<const INorvPhysicalNet> again;
        CFIXNET_TRY(elecNet->GetIterPhysicalNets(again));
        String shared;
        CFIXNET_TRY(ScanPhysNets(again, shared, differ));
        if (differ)
            return CFixStatus(false);
        return Settled(CFixNet::SetElecNetConstraint(elecNet, OrderTypeName(), WithText(e.value, shared)));
    }
    if (common.IsEmpty() || e.text == common)
        return CFixStatus(false);
    return Settled(CFixNet::SetElecNetConstraint(elecNet, OrderTypeName(), WithText(e.value, common)));
}

} // namespace

CFixStatus CFixNet::UnifyElecAndPhysNetTopology()
{
    const Index& index = FixContext::s_fixIndex1;
    if (index.IsEmpty())
        return CFixStatus(false, true, "Cannot load electrical net.");
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvElectricalNet> elecNet;
    if (!Uids()->GetNorvElectricalNet(elecNet, index))
        return CFixStatus(true);
    IteratorT<const INorvPhysicalNet> physNets;
    CFIXNET_TRY(elecNet->GetIterPhysicalNets(physNets));
    if (!physNets.IsValid())
        return CFixStatus(false);
    int count = 0;
    CFIXNET_TRY(physNets.GetCount(count));
    return count == 1 ? OneNet(elecNet, physNets) : SeveralNets(elecNet, physNets);
}
