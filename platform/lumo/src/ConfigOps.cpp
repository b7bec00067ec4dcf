// Configuration operations: walks, fetches, searches, net creation and UpdateIncremental.
#include "Ops.h"

namespace Lumo {

using namespace detail;

Result IConfig::GetIterFlatNets(IteratorT<const IFlatNet>&/*out*/) const
{
    return NotImplemented();
}

Result IConfig::GetIterComps(IteratorT<const IComp>&/*out*/) const
{
    return NotImplemented();
}

Result INorvConfig::GetNorvDesign(ContainerT<const INorvDesign>&/*out*/) const
{
    return NotImplemented();
}

Result INorvConfig::GetIterElectricalNets(IteratorT<const INorvElectricalNet>&/*out*/) const
{
    return NotImplemented();
}

Result INorvConfig::GetIterPhysicalNets(IteratorT<const INorvPhysicalNet>&/*out*/) const
{
    return NotImplemented();
}

Result INorvConfig::GetIterDiffPairs(IteratorT<const INorvDiffPair>&/*out*/) const
{
    return NotImplemented();
}

Result INorvConfig::GetIterNorvComps(IteratorT<const INorvComp>&/*out*/) const
{
    return NotImplemented();
}

Result INorvConfig::GetIterParts(IteratorT<const INorvPart>&/*out*/) const
{
    return NotImplemented();
}

Result INorvConfig::GetPhysicalNet(const Index&/*index*/, ContainerT<const INorvPhysicalNet>&/*out*/) const
{
    return NotImplemented();
}

Result INorvConfig::GetElectricalNet(const Index&/*index*/, ContainerT<const INorvElectricalNet>&/*out*/) const
{
    return NotImplemented();
}

Result INorvConfig::GetNorvComp(const Index&/*index*/, ContainerT<const INorvComp>&/*out*/) const
{
    return NotImplemented();
}

Result INorvConfig::GetPhysicalNetByFlatNet(const Index&/*flatNet*/, ContainerT<const INorvPhysicalNet>&/*out*/) const
{
    return NotImplemented();
}

Result INorvConfig::GetListNorvPinByPin(ListT<Index>&/*out*/, const Index&/*designPin*/) const
{
    return NotImplemented();
}

Result INorvConfig::FindPhysicalNet(ListT<NorvObjectInfo>&/*out*/, const String&/*name*/, const SearchParams&/*params*/) const
{
    return NotImplemented();
}

Result INorvConfig::FindElectricalNet(ListT<NorvObjectInfo>&/*out*/, const String&/*name*/, const SearchParams&/*params*/) const
{
    return NotImplemented();
}

Result INorvConfig::FindNorvComp(ListT<NorvObjectInfo>&/*out*/, const String&/*name*/, const SearchParams&/*params*/) const
{
    return NotImplemented();
}

Result INorvConfig::AddNorvDesign(MutableContainerT<INorvDesign>&/*out*/)
{
    return NotImplemented();
}

Result INorvConfig::AddPhysicalNet(MutableContainerT<INorvPhysicalNet>&/*out*/, const String&/*name*/, const IFlatNet&/*flatNet*/)
{
    return NotImplemented();
}

Result INorvConfig::AddElectricalNet(MutableContainerT<INorvElectricalNet>&/*out*/, const ContainerT<const INorvPhysicalNet>&/*physNet*/)
{
    return NotImplemented();
}

Result INorvConfig::AddElectricalNet(MutableContainerT<INorvElectricalNet>&/*out*/, const MutableContainerT<INorvPhysicalNet>&/*physNet*/)
{
    return NotImplemented();
}

Result INorvConfig::AddNorvComp(MutableContainerT<INorvComp>&/*out*/, const ContainerT<const INorvPart>&/*part*/, const String&/*name*/)
{
    return NotImplemented();
}

Result INorvConfig::DeleteDiffPair(const Index&/*index*/)
{
    return NotImplemented();
}

Result INorvConfig::DeleteElectricalNet(const Index&/*index*/)
{
    return NotImplemented();
}

Result INorvConfig::DeletePhysicalNet(const Index&/*index*/)
{
    return NotImplemented();
}

Result INorvConfig::DeleteNorvComp(const Index&/*index*/)
{
    return NotImplemented();
}

Result INorvConfig::DeleteAllDiffPairs()
{
    return NotImplemented();
}

Result INorvConfig::UpdateIncremental(const ListT<Index>&/*physNets*/, const ListT<Index>&/*elecNets*/)
{
    return NotImplemented();
}

Result INorvConfig::UpdateAllElectricalNets()
{
    return NotImplemented();
}

}  // namespace Lumo
