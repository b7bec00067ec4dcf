#include "repairs/nets/CFixNet.h"

#include "repairs/nets/CFixNetInternal.h"

#include <vector>

using namespace Lumo;
using namespace CFixNetInternal;

namespace
{

// What the walk saw of one net: its value as read and the status of its rewrite, if any. The
// repair method watches the reported net this way; the shared normalisers watch nothing.
struct Watch
{
    Index net;
    bool visited = false;
    String text;
    bool rewritten = false;
    CFixStatus written;
};

void Observe(Watch* watch, const Index& net, const String& text)
{
    if (watch != nullptr && watch->net == net)
    {
        watch->visited = true;
        watch->text = text;
    }
}

void ObserveWrite(Watch* watch, const Index& net, const CFixStatus& written)
{
    if (watch != nullptr && watch->net == net)
    {
        watch->rewritten = true;
        watch->written = written;
    }
}

const std::vector<String>& TopologyNames()
{
    static const std::vector<String> names = {"MST",    "Chained", "TShape",  "HTree",
                                              "Star",   "Custom",  "Complex", "Mixed"};
    return names;
}

bool IsTopologyName(const String& text)
{
    for (const String& name : TopologyNames())
        if (text == name)
            return true;
    return false;
}

bool ReadOrderTypeText(const IObjectNorv& object, String& text)
{
    ContainerT<const INorvConstraint> constraint;
    EConstraintType type = CDT_Default;
    return object.GetConstraint(constraint, OrderTypeName()) && constraint->GetValueByString(text, type);
}

CFixStatus NormalizePhysNet(const Index& index, Watch* watch)
{
    if (index.IsEmpty() || index.GetType() != OT_NorvPhysicalNet)
        return CFixStatus(false, true, "Cannot find Physical Net.");
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvPhysicalNet> net;
    if (!Uids()->GetNorvPhysicalNet(net, index) || !net->IsValid())
        return CFixStatus(false, true, "Cannot find physical net.");
    String text;
    if (!ReadOrderTypeText(*net, text))
        return CFixStatus(false, true, "Cannot get constraint ORDER_TYPE.");
    Observe(watch, index, text);
    String name;
    if (CFixNet::MatchOrderTypeName(text, name))
        ObserveWrite(watch, index, CFixNet::SetPhysNetConstraint(net, OrderTypeName(), TextValue(name)));
    return CFixStatus(true);
}

CFixStatus NormalizeElecNet(const Index& index, Watch* watch)
{
    if (index.IsEmpty() || index.GetType() != OT_NorvElectricalNet)
        return CFixStatus(false, true, "Cannot find Electrical Net.");
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvElectricalNet> net;
    if (!Uids()->GetNorvElectricalNet(net, index) || !net->IsValid())
        return CFixStatus(false, true, "Cannot get electrical net.");
    String text;
    if (!ReadOrderTypeText(*net, text))
        return CFixStatus(false, true, "Cannot get constraint ORDER_TYPE.");
    Observe(watch, index, text);
    String name;
    if (CFixNet::MatchOrderTypeName(text, name))
        ObserveWrite(watch, index, CFixNet::SetElecNetConstraint(net, OrderTypeName(), TextValue(name)));

    IteratorT<const INorvPhysicalNet> physNets;
    if (!net->GetIterPhysicalNets(physNets))
        return CFixStatus(false, true, "Cannot get iterator of physical nets.");
    for (; physNets.IsValid(); ++physNets)
    {
        Index physIndex;
        if (!physNets->GetIndex(physIndex))
            return CFixStatus(false, true, "Cannot get index of physical net.");
        const CFixStatus status = NormalizePhysNet(physIndex, watch);
        if (!status)
            return status;
    }
    return CFixStatus(true);
}

CFixStatus NormalizeDiffPair(const Index& index, Watch* watch)
{
    if (index.IsEmpty() || index.GetType() != OT_NorvDiffPair)
        return CFixStatus(false, true, "Cannot find Diff Pair.");
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvDiffPair> pair;
    if (!Uids()->GetNorvDiffPair(pair, index) || !pair->IsValid())
        return CFixStatus(false, true, "Cannot find Diff Pair.");
    ContainerT<const INorvElectricalNet> first, second;
    if (!pair->GetFirstElecNet(first) || !pair->GetSecondElecNet(second) || !first->IsValid() ||
        !second->IsValid())
        return CFixStatus(false, true, "Cannot get electrical net from Diff Pair.");
    String text;
    if (!ReadOrderTypeText(*pair, text))
        return CFixStatus(false, true, "Cannot get constraint ORDER_TYPE.");
    String name;
    if (CFixNet::MatchOrderTypeName(text, name))
        CFixNet::SetDiffPairConstraint(pair, OrderTypeName(), TextValue(name));

    Index firstIndex, secondIndex;
    if (!first->GetIndex(firstIndex))
        return CFixStatus(false, true, "Cannot get index from first electrical net in Diff Pair.");
    if (!second->GetIndex(secondIndex))
        return CFixStatus(false, true, "Cannot get index from second electrical net in Diff Pair.");
    CFixStatus status = NormalizeElecNet(firstIndex, watch);
    if (!status)
        return status;
    status = NormalizeElecNet(secondIndex, watch);
    if (!status)
        return status;
    return CFixStatus(true);
}

// Normalises from the differential pair of the electrical net when it has one, else from the net.
CFixStatus NormalizeFromElecNet(const ContainerT<const INorvElectricalNet>& net, const Index& netIndex, Watch* watch)
{
    ContainerT<const INorvDiffPair> pair;
    if (net->GetParentDiffPair(pair) && pair.IsValid())
    {
        Index pairIndex;
        if (!pair->GetIndex(pairIndex))
            return CFixStatus(false, true, "Cannot get index of diff pair.");
        return NormalizeDiffPair(pairIndex, watch);
    }
    return NormalizeElecNet(netIndex, watch);
}

// The walk from the topmost owner of the reported net.
CFixStatus NormalizeFromTop(const Index& reported, Watch* watch)
{
    if (reported.GetType() == OT_NorvElectricalNet)
    {
        ContainerT<const INorvElectricalNet> net;
        if (!Uids()->GetNorvElectricalNet(net, reported))
            return CFixStatus(false, true, "Cannot find electrical net.");
        return NormalizeFromElecNet(net, reported, watch);
    }
    ContainerT<const INorvPhysicalNet> net;
    if (!Uids()->GetNorvPhysicalNet(net, reported))
        return CFixStatus(false, true, "Cannot find physical net.");
    ContainerT<const INorvElectricalNet> parent;
    if (net->GetParentElectricalNet(parent) && parent.IsValid())
    {
        Index parentIndex;
        if (!parent->GetIndex(parentIndex))
            return CFixStatus(false, true, "Cannot get index of electrical net.");
        return NormalizeFromElecNet(parent, parentIndex, watch);
    }
    return NormalizePhysNet(reported, watch);
}

} // namespace

bool CFixNet::MatchOrderTypeName(String text, String& name)
{
    const BitContainerT<ESearchParams> loose(SP_6);
    BitContainerT<ESearchParams> exact(SP_6);
    exact |= SP_MatchCase;
    for (const String& entry : TopologyNames())
    {
        if (text.Compare(entry, loose) == 0 && text.Compare(entry, exact) != 0)
        {
            name = entry;
            return true;
        }
    }
    return false;
}

CFixStatus CFixNet::NormalizeOrderTypeOfPhysNet(const Index& net)
{
    return NormalizePhysNet(net, nullptr);
}

CFixStatus CFixNet::NormalizeOrderTypeOfElecNet(const Index& net)
{
    return NormalizeElecNet(net, nullptr);
}

CFixStatus CFixNet::NormalizeOrderTypeOfDiffPair(const Index& pair)
{
    return NormalizeDiffPair(pair, nullptr);
}

CFixStatus CFixNet::FixInvalidTopologyType()
{
    const Index& reported = FixContext::s_fixIndex1;
    if (reported.IsEmpty() ||
        (reported.GetType() != OT_NorvPhysicalNet && reported.GetType() != OT_NorvElectricalNet))
        return CFixStatus(false, true, "Cannot find physical or electrical net.");
    if (Uids() == nullptr)
        return NoDatabase();

    Watch watch;
    watch.net = reported;
    const CFixStatus walked = NormalizeFromTop(reported, &watch);
    if (!walked)
        return walked;

    // The walk went through; what counts is the reported net's own value. A net the walk did not
    // reach (its owner does not list it) is read on its own.
    if (!watch.visited)
    {
        ContainerT<const INorvPhysicalNet> physNet;
        ContainerT<const INorvElectricalNet> elecNet;
        const bool read = reported.GetType() == OT_NorvPhysicalNet
                              ? Uids()->GetNorvPhysicalNet(physNet, reported) && ReadOrderTypeText(*physNet, watch.text)
                              : Uids()->GetNorvElectricalNet(elecNet, reported) &&
                                    ReadOrderTypeText(*elecNet, watch.text);
        if (!read)
            return CFixStatus(false);
    }
    if (watch.rewritten)
        return watch.written ? CFixStatus(true) : watch.written;
    return IsTopologyName(watch.text) ? CFixStatus(true) : CFixStatus(false);
}
