// Session, snapshot and UID manager operations.
#include "Ops.h"

namespace Lumo {

using namespace detail;

Result IUIDManager::ObjectExists(const Index&/*index*/, bool&/*exists*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvConstraint(ContainerT<const INorvConstraint>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvLayer(ContainerT<const INorvLayer>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvNetClass(ContainerT<const INorvNetClass>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvClearRule(ContainerT<const INorvClearRule>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvConstraintClass(ContainerT<const INorvConstraintClass>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvViaSpan(ContainerT<const INorvViaSpan>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvGenClear(ContainerT<const INorvGenClear>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvPartTech(ContainerT<const INorvPartTech>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvConstVar(ContainerT<const INorvConstVar>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvC2CClearRule(ContainerT<const INorvC2CClearRule>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvPkgTypeClearRule(ContainerT<const INorvPkgTypeClearRule>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvP2PClearRule(ContainerT<const INorvP2PClearRule>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvParRuleDef(ContainerT<const INorvParRuleDef>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvParRuleSection(ContainerT<const INorvParRuleSection>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvNoiseRule(ContainerT<const INorvNoiseRule>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvScheme(ContainerT<const INorvScheme>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvSchemaNetClassRule(ContainerT<const INorvSchemaNetClassRule>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvViaAssign(ContainerT<const INorvViaAssign>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvLayerRule(ContainerT<const INorvLayerRule>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvSchemaClearRule(ContainerT<const INorvSchemaClearRule>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvLayerClearRule(ContainerT<const INorvLayerClearRule>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvGenObjType(ContainerT<const INorvGenObjType>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvGenCompObj(ContainerT<const INorvGenCompObj>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvGenObj(ContainerT<const INorvGenObj>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvDiffPair(ContainerT<const INorvDiffPair>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvElectricalNet(ContainerT<const INorvElectricalNet>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvPinPair(ContainerT<const INorvPinPair>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvPhysicalNet(ContainerT<const INorvPhysicalNet>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvFromTo(ContainerT<const INorvFromTo>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvComp(ContainerT<const INorvComp>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvPin(ContainerT<const INorvPin>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvPart(ContainerT<const INorvPart>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvPartPin(ContainerT<const INorvPartPin>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvVia(ContainerT<const INorvVia>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvPartPinPair(ContainerT<const INorvPartPinPair>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvZAxisClearRule(ContainerT<const INorvZAxisClearRule>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvZAxisLayerRule(ContainerT<const INorvZAxisLayerRule>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetNorvConstraintDef(ContainerT<const INorvConstraint>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetComp(ContainerT<const IComp>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetPin(ContainerT<const IPin>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result IUIDManager::GetFlatNet(ContainerT<const IFlatNet>&/*out*/, const Index&/*index*/) const
{
    return NotImplemented();
}

Result ISnapshot::GetUIDManager(IUIDManager&/*out*/) const
{
    return NotImplemented();
}

Result ISnapshot::GetNorvConfig(ContainerT<const INorvConfig>&/*out*/, const String&/*topBlock*/) const
{
    return NotImplemented();
}

Result ISnapshot::GetDefaultConfig(ContainerT<const IConfig>&/*out*/, const String&/*topBlock*/) const
{
    return NotImplemented();
}

Result ISnapshot::GetAttribute(const String&/*name*/, String&/*value*/) const
{
    return NotImplemented();
}

Result ISnapshot::GetListLocks(ListT<LockInfo>&/*out*/) const
{
    return NotImplemented();
}

Result ISnapshot::AddNorvConfig(MutableContainerT<INorvConfig>&/*out*/, const String&/*topBlock*/)
{
    return NotImplemented();
}

Result ISnapshot::RemoveConfig(const Index&/*config*/)
{
    return NotImplemented();
}

Result LumoPI::GetSnapshotByName(ContainerT<const ISnapshot>&/*out*/, const String&/*name*/) const
{
    return NotImplemented();
}

Result LumoPI::GetDefConstraint(ContainerT<const INorvConstraint>&/*out*/, const String&/*name*/) const
{
    return NotImplemented();
}

Result LumoPI::GetSubClientInfo(SubClientInfo&/*out*/) const
{
    return NotImplemented();
}

Result LumoPI::GetListClients(ListT<ClientInfo>&/*out*/) const
{
    return NotImplemented();
}

Result LumoPI::RequestProjectBackup(GIndex&/*out*/, EProjectBackupType/*type*/, const String&/*text1*/, const String&/*text2*/)
{
    return NotImplemented();
}

}  // namespace Lumo
