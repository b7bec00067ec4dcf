// Connectivity operations: nets, pins, pairs, components and parts.
#include "Ops.h"

namespace Lumo {

using namespace detail;

Result INorvDiffPair::GetFirstElecNet(ContainerT<const INorvElectricalNet>&/*out*/) const
{
    return NotImplemented();
}

Result INorvDiffPair::GetSecondElecNet(ContainerT<const INorvElectricalNet>&/*out*/) const
{
    return NotImplemented();
}

Result INorvElectricalNet::GetIterPhysicalNets(IteratorT<const INorvPhysicalNet>&/*out*/) const
{
    return NotImplemented();
}

Result INorvElectricalNet::GetIterPinPairs(IteratorT<const INorvPinPair>&/*out*/) const
{
    return NotImplemented();
}

Result INorvElectricalNet::GetIterPinPairs(IteratorT<const INorvPinPair>&/*out*/, const BitContainerT<EPinPairType>&/*types*/) const
{
    return NotImplemented();
}

Result INorvElectricalNet::GetParentDiffPair(ContainerT<const INorvDiffPair>&/*out*/) const
{
    return NotImplemented();
}

Result INorvElectricalNet::GetConstraintClass(ContainerT<const INorvConstraintClass>&/*out*/) const
{
    return NotImplemented();
}

Result INorvElectricalNet::RemovePhysicalNet(const Index&/*physNet*/)
{
    return NotImplemented();
}

Result INorvElectricalNet::AddPhysicalNet(const INorvPhysicalNet&/*physNet*/)
{
    return NotImplemented();
}

Result INorvElectricalNet::DeletePinPair(const Index&/*index*/)
{
    return NotImplemented();
}

Result INorvElectricalNet::DeleteAllPinPair()
{
    return NotImplemented();
}

Result INorvElectricalNet::SetConstraintClass(INorvConstraintClass&/*lockedClass*/)
{
    return NotImplemented();
}

Result INorvPhysicalNet::GetParentElectricalNet(ContainerT<const INorvElectricalNet>&/*out*/) const
{
    return NotImplemented();
}

Result INorvPhysicalNet::GetType(EPhysicalNetType&/*out*/) const
{
    return NotImplemented();
}

Result INorvPhysicalNet::GetIterPins(IteratorT<const INorvPin>&/*out*/) const
{
    return NotImplemented();
}

Result INorvPhysicalNet::GetIterPins(IteratorT<const INorvPin>&/*out*/, const BitContainerT<ENorvPinType>&/*kinds*/) const
{
    return NotImplemented();
}

Result INorvPhysicalNet::GetIterFromTos(IteratorT<const INorvFromTo>&/*out*/) const
{
    return NotImplemented();
}

Result INorvPhysicalNet::GetNetClass(ContainerT<const INorvNetClass>&/*out*/) const
{
    return NotImplemented();
}

Result INorvPhysicalNet::GetFlatNet(ContainerT<const IFlatNet>&/*out*/) const
{
    return NotImplemented();
}

Result INorvPhysicalNet::GetIterPinsConnected(IteratorT<const IPin>&/*out*/) const
{
    return NotImplemented();
}

Result INorvPhysicalNet::FindPin(ListT<NorvObjectInfo>&/*out*/, const String&/*name*/, const SearchParams&/*params*/, const BitContainerT<ENorvPinType>&/*kinds*/) const
{
    return NotImplemented();
}

Result INorvPhysicalNet::DeleteFromTo(const Index&/*index*/)
{
    return NotImplemented();
}

Result INorvPhysicalNet::DeleteAllFromTos()
{
    return NotImplemented();
}

Result INorvPhysicalNet::DeletePin(const Index&/*index*/)
{
    return NotImplemented();
}

Result INorvPhysicalNet::DisconnectPin(INorvPin&/*lockedPin*/)
{
    return NotImplemented();
}

Result INorvPhysicalNet::ConnectPin(INorvPin&/*lockedPin*/)
{
    return NotImplemented();
}

Result INorvPhysicalNet::SetName(const String&/*name*/)
{
    return NotImplemented();
}

Result INorvPhysicalNet::SetNetClass(INorvNetClass&/*lockedClass*/)
{
    return NotImplemented();
}

Result INorvPinPair::GetParentElectricalNet(ContainerT<const INorvElectricalNet>&/*out*/) const
{
    return NotImplemented();
}

Result INorvPinPair::GetType(EPinPairType&/*out*/) const
{
    return NotImplemented();
}

Result INorvPinPair::GetFirstPin(ContainerT<const INorvPin>&/*out*/) const
{
    return NotImplemented();
}

Result INorvPinPair::GetSecondPin(ContainerT<const INorvPin>&/*out*/) const
{
    return NotImplemented();
}

Result INorvFromTo::GetParentPhysicalNet(ContainerT<const INorvPhysicalNet>&/*out*/) const
{
    return NotImplemented();
}

Result INorvFromTo::GetPinFrom(ContainerT<const INorvPin>&/*out*/) const
{
    return NotImplemented();
}

Result INorvFromTo::GetPinTo(ContainerT<const INorvPin>&/*out*/) const
{
    return NotImplemented();
}

Result INorvPin::GetNorvType(ENorvPinType&/*out*/) const
{
    return NotImplemented();
}

Result INorvPin::GetType(EPinType&/*out*/) const
{
    return NotImplemented();
}

Result INorvPin::GetParentPhysicalNet(ContainerT<const INorvPhysicalNet>&/*out*/) const
{
    return NotImplemented();
}

Result INorvPin::GetParentNorvComp(ContainerT<const INorvComp>&/*out*/) const
{
    return NotImplemented();
}

Result INorvPin::GetParentPartPin(ContainerT<const INorvPartPin>&/*out*/) const
{
    return NotImplemented();
}

Result INorvPin::GetPin(ContainerT<const IPin>&/*out*/) const
{
    return NotImplemented();
}

Result INorvPin::GetParentPin(ContainerT<const INorvPin>&/*out*/) const
{
    return NotImplemented();
}

Result INorvPin::GetVirutalPinSetPin(ContainerT<const INorvPin>&/*out*/) const
{
    return NotImplemented();
}

Result INorvPin::GetIterFlatPins(IteratorT<const IPin>&/*out*/) const
{
    return NotImplemented();
}

Result INorvPin::GetIterPins(IteratorT<const INorvPin>&/*out*/) const
{
    return NotImplemented();
}

Result INorvPin::GetIterPins(IteratorT<const INorvPin>&/*out*/, const BitContainerT<ENorvPinType>&/*kinds*/) const
{
    return NotImplemented();
}

Result INorvPin::SetName(const String&/*name*/)
{
    return NotImplemented();
}

Result INorvComp::GetParentPart(ContainerT<const INorvPart>&/*out*/) const
{
    return NotImplemented();
}

Result INorvComp::GetIterPins(IteratorT<const INorvPin>&/*out*/) const
{
    return NotImplemented();
}

Result INorvComp::GetIterPins(IteratorT<const INorvPin>&/*out*/, const BitContainerT<ENorvPinType>&/*kinds*/) const
{
    return NotImplemented();
}

Result INorvComp::GetIterLogicComp(IteratorT<const IComp>&/*out*/) const
{
    return NotImplemented();
}

Result INorvComp::GetPin(const Index&/*index*/, ContainerT<const INorvPin>&/*out*/) const
{
    return NotImplemented();
}

Result INorvComp::SetName(const String&/*name*/)
{
    return NotImplemented();
}

Result INorvComp::RemoveLogicComp(const IComp&/*logicComp*/)
{
    return NotImplemented();
}

Result INorvComp::AddLogicComp(IComp&/*lockedLogicComp*/, const ListT<ContainerT<const INorvPin>>&/*norvPins*/, const ListT<ContainerT<const IPin>>&/*designPins*/)
{
    return NotImplemented();
}

Result INorvPart::GetIterPartPins(IteratorT<const INorvPartPin>&/*out*/) const
{
    return NotImplemented();
}

Result INorvPart::GetIterPartPinPairs(IteratorT<const INorvPartPinPair>&/*out*/) const
{
    return NotImplemented();
}

Result INorvPart::GetIterNorvComps(IteratorT<const INorvComp>&/*out*/) const
{
    return NotImplemented();
}

Result INorvPartPin::GetParentPart(ContainerT<const INorvPart>&/*out*/) const
{
    return NotImplemented();
}

Result INorvPartPin::GetType(EPartPinType&/*out*/) const
{
    return NotImplemented();
}

Result INorvPartPin::GetParentPartPinPair(ListT<NorvObjectInfo>&/*out*/) const
{
    return NotImplemented();
}

Result INorvPartPinPair::GetParentPart(ContainerT<const INorvPart>&/*out*/) const
{
    return NotImplemented();
}

Result INorvPartPinPair::GetFirstPartPin(ContainerT<const INorvPartPin>&/*out*/) const
{
    return NotImplemented();
}

Result INorvPartPinPair::GetSecondPartPin(ContainerT<const INorvPartPin>&/*out*/) const
{
    return NotImplemented();
}

}  // namespace Lumo
