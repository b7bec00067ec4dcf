// Schematic-side operations: flat nets, page nets, paths, logic components and design pins.
#include "Ops.h"

namespace Lumo {

using namespace detail;

Result IFlatNet::GetForwardPCBFlag(BitContainerT<EForwardPCBFlag>&/*out*/) const
{
    return NotImplemented();
}

Result IFlatNet::GetIterNetsConnected(IteratorT<const INet>&/*out*/) const
{
    return NotImplemented();
}

Result IFlatNet::GetIterPinsConnected(IteratorT<const IPin>&/*out*/) const
{
    return NotImplemented();
}

Result INet::GetPath(ContainerT<const IPath>&/*out*/) const
{
    return NotImplemented();
}

Result INet::GetLabel(String&/*out*/) const
{
    return NotImplemented();
}

Result INet::GetIterPinsConnected(IteratorT<const IPin>&/*out*/) const
{
    return NotImplemented();
}

Result IPath::GetListHierarchyIndexes(ListT<Index>&/*out*/) const
{
    return NotImplemented();
}

Result IComp::GetType(BitContainerT<ECompType>&/*out*/) const
{
    return NotImplemented();
}

Result IComp::GetIterPins(IteratorT<const IPin>&/*out*/) const
{
    return NotImplemented();
}

Result IComp::GetAttribute(const String&/*name*/, String&/*value*/, EAttributeType/*type*/) const
{
    return NotImplemented();
}

Result IComp::SetAttribute(const String&/*name*/, const String&/*value*/, EAttributeType/*type*/)
{
    return NotImplemented();
}

Result IPin::GetType(BitContainerT<EPinType>&/*out*/) const
{
    return NotImplemented();
}

Result IPin::GetParent(ContainerT<const IComp>&/*out*/) const
{
    return NotImplemented();
}

Result IPin::GetWidth(int32_t&/*out*/) const
{
    return NotImplemented();
}

Result IPin::GetAttribute(const String&/*name*/, String&/*value*/, EAttributeType/*type*/) const
{
    return NotImplemented();
}

Result IPin::GetAttribute(const String&/*name*/, String&/*value*/, EAttributeType/*type*/, int32_t/*bit*/) const
{
    return NotImplemented();
}

Result IPin::GetIterNetsConnected(IteratorT<const INet>&/*out*/) const
{
    return NotImplemented();
}

}  // namespace Lumo
