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

// How one kind of object is found and rewritten: its index type, its fetch and writer, and the
// messages for a wrong index and a failed fetch.
template <class T>
struct ObjectKind
{
    EObjectType type;
    Result (IUIDManager::*fetch)(ContainerT<const T>&, const Index&) const;
    CFixStatus (*write)(const ContainerT<const T>&, const String&, const ConstraintData&);
    const char* wrongIndex;
    const char* missing;
};

const ObjectKind<INorvPhysicalNet> kPhysNet = {OT_NorvPhysicalNet, &IUIDManager::GetNorvPhysicalNet,
                                               &CFixNet::SetPhysNetConstraint, "Cannot find Physical Net.",
                                               "Cannot find physical net."};
const ObjectKind<INorvElectricalNet> kElecNet = {OT_NorvElectricalNet, &IUIDManager::GetNorvElectricalNet,
                                                 &CFixNet::SetElecNetConstraint, "Cannot find Electrical Net.",
                                                 "Cannot get electrical net."};
const ObjectKind<INorvDiffPair> kDiffPair = {OT_NorvDiffPair, &IUIDManager::GetNorvDiffPair,
                                             &CFixNet::SetDiffPairConstraint, "Cannot find Diff Pair.",
                                             "Cannot find Diff Pair."};

// Fetches the object of the index, which must be of the kind; fixed when it is open.
template <class T>
CFixStatus Open(const Index& index, const ObjectKind<T>& kind, ContainerT<const T>& object)
{
    if (index.IsEmpty() || index.GetType() != kind.type)
        return CFixStatus(false, true, kind.wrongIndex);
    if (Uids() == nullptr)
        return NoDatabase();
    if (!(Uids()->*kind.fetch)(object, index) || !object->IsValid())
        return CFixStatus(false, true, kind.missing);
    return CFixStatus(true);
}

// Rewrites the object's value in the list's spelling when it is another spelling of a name; the
// write's own status is only watched. Fails only when the value cannot be read.
template <class T>
CFixStatus Rewrite(const Index& index, const ObjectKind<T>& kind, const ContainerT<const T>& object, Watch* watch)
{
    String text;
    if (!ReadOrderTypeText(*object, text))
        return CFixStatus(false, true, "Cannot get constraint ORDER_TYPE.");
    Observe(watch, index, text);
    String name;
    if (CFixNet::MatchOrderTypeName(text, name))
        ObserveWrite(watch, index, kind.write(object, OrderTypeName(), TextValue(name)));
    return CFixStatus(true);
}

CFixStatus NormalizePhysNet(const Index& index, Watch* watch)
{
    ContainerT<const INorvPhysicalNet> net;
    const CFixStatus opened = Open(index, kPhysNet, net);
    return opened ? Rewrite(index, kPhysNet, net, watch) : opened;
}

CFixStatus NormalizeElecNet(const Index& index, Watch* watch)
{
    ContainerT<const INorvElectricalNet> net;
    CFixStatus status = Open(index, kElecNet, net);
    if (status)
        status = Rewrite(index, kElecNet, net, watch);
    if (!status)
        return status;

    IteratorT<const INorvPhysicalNet> physNets;
    Lumo::Result physNetsWalk = net->GetIterPhysicalNets(physNets);
    for (; walkOn(physNets, physNetsWalk); ++physNets)
    {
        Index physIndex;
        if (!physNets->GetIndex(physIndex))
            return CFixStatus(false, true, "Cannot get index of physical net.");
        status = NormalizePhysNet(physIndex, watch);
        if (!status)
            return status;
    }
    if (!physNetsWalk)
        return CFixStatus(false, true, "Cannot get iterator of physical nets.");
    return CFixStatus(true);
}

CFixStatus NormalizeDiffPair(const Index& index, Watch* watch)
{
    ContainerT<const INorvDiffPair> pair;
    CFixStatus status = Open(index, kDiffPair, pair);
    if (!status)
        return status;
    ContainerT<const INorvElectricalNet> first, second;
    if (!pair->GetFirstElecNet(first) || !pair->GetSecondElecNet(second) || !first->IsValid() ||
        !second->IsValid())
        return CFixStatus(false, true, "Cannot get electrical net from Diff Pair.");
    status = Rewrite(index, kDiffPair, pair, watch);
    if (!status)
        return status;

    Index firstIndex, secondIndex;
    if (!first->GetIndex(firstIndex))
        return CFixStatus(false, true, "Cannot get index from first electrical net in Diff Pair.");
    if (!second->GetIndex(secondIndex))
        return CFixStatus(false, true, "Cannot get index from second electrical net in Diff Pair.");
    status = NormalizeElecNet(firstIndex, watch);
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
