#include "repairs/nets/CFixNet.h"

#include "repairs/nets/CFixNetInternal.h"

using namespace Lumo;
using namespace CFixNetInternal;

namespace
{

ConstraintData TopoOrderedNo()
{
    return TextValue("No");
}

// Writes "TOPO_ORDERED" = "No" on the physical net and, when it has one, its parent electrical net.
// Returns the status of the physical net's write; the parent's is not examined.
CFixStatus ResetTopoOrderedOfPhysNetAndParent(const ContainerT<const INorvPhysicalNet>& net)
{
    const CFixStatus written = CFixNet::SetPhysNetConstraint(net, TopoOrderedName(), TopoOrderedNo());
    ContainerT<const INorvElectricalNet> parent;
    if (net->GetParentElectricalNet(parent) && parent.IsValid())
        CFixNet::SetElecNetConstraint(parent, TopoOrderedName(), TopoOrderedNo());
    return written;
}

} // namespace

CFixStatus CFixNet::SetPhysNetConstraint(const ContainerT<const INorvPhysicalNet>& net, const String& name,
                                         const ConstraintData& value)
{
    return WriteConstraint(net, name, value, WriteMode::Setter);
}

CFixStatus CFixNet::SetElecNetConstraint(const ContainerT<const INorvElectricalNet>& net, const String& name,
                                         const ConstraintData& value)
{
    return WriteConstraint(net, name, value, WriteMode::Setter);
}

CFixStatus CFixNet::SetDiffPairConstraint(const ContainerT<const INorvDiffPair>& pair, const String& name,
                                          const ConstraintData& value)
{
    return WriteConstraint(pair, name, value, WriteMode::Setter);
}

CFixStatus CFixNet::ResetTopoOrderedOfElecNet(const ContainerT<const INorvElectricalNet>& net)
{
    SetElecNetConstraint(net, TopoOrderedName(), TopoOrderedNo());
    IteratorT<const INorvPhysicalNet> physNets;
    Lumo::Result physNetsWalk = net->GetIterPhysicalNets(physNets);
    for (; walkOn(physNets, physNetsWalk); ++physNets)
        SetPhysNetConstraint(physNets, TopoOrderedName(), TopoOrderedNo());
    CFIXNET_TRY(physNetsWalk);
    return CFixStatus(true);
}

CFixStatus CFixNet::ResetTopoOrderedOfPhysNet(const ContainerT<const INorvPhysicalNet>& net)
{
    ResetTopoOrderedOfPhysNetAndParent(net);
    return CFixStatus(true);
}

CFixStatus CFixNet::ResetWrongTopoOrdered()
{
    if (FixContext::s_fixIndex1.IsEmpty())
        return CFixStatus(false);
    if (Uids() == nullptr)
        return NoDatabase();
    ContainerT<const INorvPhysicalNet> net;
    CFIXNET_TRY(Uids()->GetNorvPhysicalNet(net, FixContext::s_fixIndex1));
    // The reported net's own write decides: a reset that did not take is not reported fixed.
    const CFixStatus written = ResetTopoOrderedOfPhysNetAndParent(net);
    return written ? CFixStatus(true) : written;
}
