// Design, class, rule, scheme and generic-object operations.
#include "Ops.h"

namespace Lumo {

using namespace detail;

Result INorvDesign::GetIterLayers(IteratorT<const INorvLayer>&/*out*/) const
{
    return NotImplemented();
}

Result INorvDesign::GetIterNetClasses(IteratorT<const INorvNetClass>&/*out*/) const
{
    return NotImplemented();
}

Result INorvDesign::GetIterConstraintClasses(IteratorT<const INorvConstraintClass>&/*out*/) const
{
    return NotImplemented();
}

Result INorvDesign::GetIterClearRules(IteratorT<const INorvClearRule>&/*out*/) const
{
    return NotImplemented();
}

Result INorvDesign::GetIterSchemes(IteratorT<const INorvScheme>&/*out*/) const
{
    return NotImplemented();
}

Result INorvDesign::GetIterViaSpans(IteratorT<const INorvViaSpan>&/*out*/) const
{
    return NotImplemented();
}

Result INorvDesign::GetIterVia(IteratorT<const INorvVia>&/*out*/) const
{
    return NotImplemented();
}

Result INorvDesign::GetIterPartTechs(IteratorT<const INorvPartTech>&/*out*/) const
{
    return NotImplemented();
}

Result INorvDesign::GetIterConstVars(IteratorT<const INorvConstVar>&/*out*/) const
{
    return NotImplemented();
}

Result INorvDesign::GetIterC2CClearRules(IteratorT<const INorvC2CClearRule>&/*out*/) const
{
    return NotImplemented();
}

Result INorvDesign::GetIterPkgTypeClearRules(IteratorT<const INorvPkgTypeClearRule>&/*out*/) const
{
    return NotImplemented();
}

Result INorvDesign::GetIterP2PClearRules(IteratorT<const INorvP2PClearRule>&/*out*/) const
{
    return NotImplemented();
}

Result INorvDesign::GetIterParRuleDefs(IteratorT<const INorvParRuleDef>&/*out*/) const
{
    return NotImplemented();
}

Result INorvDesign::GetIterNoiseRules(IteratorT<const INorvNoiseRule>&/*out*/) const
{
    return NotImplemented();
}

Result INorvDesign::GetIterZAxisClearRules(IteratorT<const INorvZAxisClearRule>&/*out*/) const
{
    return NotImplemented();
}

Result INorvDesign::GetIterGenObjTypes(IteratorT<const INorvGenObjType>&/*out*/) const
{
    return NotImplemented();
}

Result INorvDesign::GetNorvGenClear(ContainerT<const INorvGenClear>&/*out*/) const
{
    return NotImplemented();
}

Result INorvDesign::GetLayer(const Index&/*index*/, ContainerT<const INorvLayer>&/*out*/) const
{
    return NotImplemented();
}

Result INorvDesign::GetViaSpan(const Index&/*index*/, ContainerT<const INorvViaSpan>&/*out*/) const
{
    return NotImplemented();
}

Result INorvDesign::GetConstraintClass(const Index&/*index*/, ContainerT<const INorvConstraintClass>&/*out*/) const
{
    return NotImplemented();
}

Result INorvDesign::FindConstraintClass(ListT<NorvObjectInfo>&/*out*/, const String&/*name*/, const SearchParams&/*params*/) const
{
    return NotImplemented();
}

Result INorvDesign::FindNetClass(ListT<NorvObjectInfo>&/*out*/, const String&/*name*/, const SearchParams&/*params*/) const
{
    return NotImplemented();
}

Result INorvDesign::FindScheme(ListT<NorvObjectInfo>&/*out*/, const String&/*name*/, const SearchParams&/*params*/) const
{
    return NotImplemented();
}

Result INorvDesign::FindClearRule(ListT<NorvObjectInfo>&/*out*/, const String&/*name*/, const SearchParams&/*params*/) const
{
    return NotImplemented();
}

Result INorvDesign::FindGenObjType(ListT<NorvObjectInfo>&/*out*/, const String&/*name*/, const SearchParams&/*params*/) const
{
    return NotImplemented();
}

Result INorvDesign::AddConstraintClass(MutableContainerT<INorvConstraintClass>&/*out*/, const String&/*name*/)
{
    return NotImplemented();
}

Result INorvDesign::AddNetClass(MutableContainerT<INorvNetClass>&/*out*/, const String&/*name*/)
{
    return NotImplemented();
}

Result INorvDesign::AddScheme(MutableContainerT<INorvScheme>&/*out*/, const String&/*name*/, ESchemeType/*type*/)
{
    return NotImplemented();
}

Result INorvDesign::AddClearRule(MutableContainerT<INorvClearRule>&/*out*/, const String&/*name*/)
{
    return NotImplemented();
}

Result INorvDesign::AddGenClear(MutableContainerT<INorvGenClear>&/*out*/)
{
    return NotImplemented();
}

Result INorvDesign::DeleteNetClass(const Index&/*index*/)
{
    return NotImplemented();
}

Result INorvDesign::DeleteConstraintClass(const Index&/*index*/)
{
    return NotImplemented();
}

Result INorvDesign::DeleteClearRule(const Index&/*index*/)
{
    return NotImplemented();
}

Result INorvDesign::DeleteScheme(const Index&/*index*/)
{
    return NotImplemented();
}

Result INorvDesign::DeleteViaSpan(const Index&/*index*/)
{
    return NotImplemented();
}

Result INorvDesign::DeleteNoiseRule(const Index&/*index*/)
{
    return NotImplemented();
}

Result INorvDesign::DeleteParRuleDef(const Index&/*index*/)
{
    return NotImplemented();
}

Result INorvDesign::DeleteC2CClearRule(const Index&/*index*/)
{
    return NotImplemented();
}

Result INorvDesign::DeleteP2PClearRule(const Index&/*index*/)
{
    return NotImplemented();
}

Result INorvDesign::DeleteAllParRuleDefs()
{
    return NotImplemented();
}

Result INorvDesign::DeleteAllC2CClearRules()
{
    return NotImplemented();
}

Result INorvDesign::DeleteAllZAxisClearRules()
{
    return NotImplemented();
}

Result INorvDesign::DeleteAllConstVars()
{
    return NotImplemented();
}

Result INorvDesign::DeleteAllGenObjTypes()
{
    return NotImplemented();
}

Result INorvDesign::DeleteAllNoiseRules()
{
    return NotImplemented();
}

Result INorvDesign::DeleteAllP2PClearRules()
{
    return NotImplemented();
}

Result INorvDesign::DeleteAllPkgTypeClearRules()
{
    return NotImplemented();
}

Result INorvLayer::GetType(ELayerType&/*out*/) const
{
    return NotImplemented();
}

Result INorvLayer::GetLayerNumber(int32_t&/*out*/) const
{
    return NotImplemented();
}

Result INorvLayer::GetMetallicLayerNumber(int32_t&/*out*/) const
{
    return NotImplemented();
}

Result INorvLayer::SetLayerNumber(int32_t/*number*/)
{
    return NotImplemented();
}

Result INorvLayer::SetName(const String&/*name*/)
{
    return NotImplemented();
}

Result INorvNetClass::GetHierarchicalName(String&/*out*/, char/*separator*/) const
{
    return NotImplemented();
}

Result INorvNetClass::GetIterChildNetClasses(IteratorT<const INorvNetClass>&/*out*/) const
{
    return NotImplemented();
}

Result INorvNetClass::GetParentNetClass(ContainerT<const INorvNetClass>&/*out*/) const
{
    return NotImplemented();
}

Result INorvNetClass::GetSchemaNetClassMappedObjList(ListT<Index>&/*out*/) const
{
    return NotImplemented();
}

Result INorvNetClass::GetListPhysicalNets(ListT<Index>&/*out*/) const
{
    return NotImplemented();
}

Result INorvNetClass::FindChildNetClass(ListT<NorvObjectInfo>&/*out*/, const String&/*name*/, const SearchParams&/*params*/) const
{
    return NotImplemented();
}

Result INorvNetClass::SetName(const String&/*name*/)
{
    return NotImplemented();
}

Result INorvNetClass::SetParent(INorvNetClass&/*newParent*/)
{
    return NotImplemented();
}

Result INorvNetClass::SetParent(INorvDesign&/*design*/)
{
    return NotImplemented();
}

Result INorvNetClass::AddChildNetClass(MutableContainerT<INorvNetClass>&/*out*/, const String&/*name*/, INorvDesign&/*design*/)
{
    return NotImplemented();
}

Result INorvNetClass::DeleteChildNetClass(const Index&/*index*/)
{
    return NotImplemented();
}

Result INorvNetClass::DeleteAllChildNetClass()
{
    return NotImplemented();
}

Result INorvConstraintClass::GetHierarchicalName(String&/*out*/, char/*separator*/) const
{
    return NotImplemented();
}

Result INorvConstraintClass::GetNetClass(ContainerT<const INorvNetClass>&/*out*/) const
{
    return NotImplemented();
}

Result INorvConstraintClass::GetIterChildConstraintClasses(IteratorT<const INorvConstraintClass>&/*out*/) const
{
    return NotImplemented();
}

Result INorvConstraintClass::GetChildConstraintClass(const String&/*name*/, ContainerT<const INorvConstraintClass>&/*out*/) const
{
    return NotImplemented();
}

Result INorvConstraintClass::GetParentConstraintClass(ContainerT<const INorvConstraintClass>&/*out*/) const
{
    return NotImplemented();
}

Result INorvConstraintClass::FindChildConstraintClass(ListT<NorvObjectInfo>&/*out*/, const String&/*name*/, const SearchParams&/*params*/) const
{
    return NotImplemented();
}

Result INorvConstraintClass::SetName(const String&/*name*/)
{
    return NotImplemented();
}

Result INorvConstraintClass::SetNetClass(INorvNetClass&/*lockedClass*/)
{
    return NotImplemented();
}

Result INorvConstraintClass::DeleteAllConstraintClass()
{
    return NotImplemented();
}

Result INorvClearRule::GetSchemaClearRuleMappedObjList(ListT<Index>&/*out*/) const
{
    return NotImplemented();
}

Result INorvClearRule::SetName(const String&/*name*/)
{
    return NotImplemented();
}

Result INorvViaSpan::GetIterAllowedVias(IteratorT<const INorvVia>&/*out*/) const
{
    return NotImplemented();
}

Result INorvParRuleDef::GetIterParRuleSections(IteratorT<const INorvParRuleSection>&/*out*/) const
{
    return NotImplemented();
}

Result INorvZAxisClearRule::GetIterZAxisLayerRules(IteratorT<const INorvZAxisLayerRule>&/*out*/) const
{
    return NotImplemented();
}

Result INorvNoiseRule::GetType(ENoiseRuleType&/*out*/) const
{
    return NotImplemented();
}

Result INorvNoiseRule::Get(ContainerT<const INorvConstraintClass>&/*victim*/, ContainerT<const INorvConstraintClass>&/*aggressor*/, ENoiseRuleType&/*type*/) const
{
    return NotImplemented();
}

Result INorvNoiseRule::Get(ContainerT<const INorvElectricalNet>&/*victim*/, ContainerT<const INorvElectricalNet>&/*aggressor*/, ENoiseRuleType&/*type*/) const
{
    return NotImplemented();
}

Result INorvScheme::GetParentDesign(ContainerT<const INorvDesign>&/*out*/) const
{
    return NotImplemented();
}

Result INorvScheme::GetIterSchemaNetClassRules(IteratorT<const INorvSchemaNetClassRule>&/*out*/) const
{
    return NotImplemented();
}

Result INorvScheme::GetIterSchemaClearRules(IteratorT<const INorvSchemaClearRule>&/*out*/) const
{
    return NotImplemented();
}

Result INorvScheme::FindSchemaClearRule(ListT<NorvObjectInfo>&/*out*/, const String&/*name*/, const SearchParams&/*params*/) const
{
    return NotImplemented();
}

Result INorvScheme::FindSchemaNetClassRule(ListT<NorvObjectInfo>&/*out*/, const String&/*name*/, const SearchParams&/*params*/) const
{
    return NotImplemented();
}

Result INorvScheme::GetSchemaClearRule(const Index&/*index*/, ContainerT<const INorvSchemaClearRule>&/*out*/) const
{
    return NotImplemented();
}

Result INorvScheme::SetName(const String&/*name*/)
{
    return NotImplemented();
}

Result INorvSchemaNetClassRule::GetParentNetClass(ContainerT<const INorvNetClass>&/*out*/) const
{
    return NotImplemented();
}

Result INorvSchemaNetClassRule::GetParentScheme(ContainerT<const INorvScheme>&/*out*/) const
{
    return NotImplemented();
}

Result INorvSchemaNetClassRule::GetParentSchemeNetClassRule(ContainerT<const INorvSchemaNetClassRule>&/*out*/) const
{
    return NotImplemented();
}

Result INorvSchemaNetClassRule::GetScheme(ContainerT<const INorvScheme>&/*out*/) const
{
    return NotImplemented();
}

Result INorvSchemaNetClassRule::GetIterSchemeNetClassRuleChild(IteratorT<const INorvSchemaNetClassRule>&/*out*/) const
{
    return NotImplemented();
}

Result INorvSchemaNetClassRule::GetIterLayerRules(IteratorT<const INorvLayerRule>&/*out*/) const
{
    return NotImplemented();
}

Result INorvSchemaNetClassRule::GetIterViaAssigns(IteratorT<const INorvViaAssign>&/*out*/) const
{
    return NotImplemented();
}

Result INorvSchemaNetClassRule::FindLayerRule(ListT<NorvObjectExtInfo>&/*out*/, int32_t/*layerIndex*/) const
{
    return NotImplemented();
}

Result INorvSchemaNetClassRule::GetLayerRule(const Index&/*index*/, ContainerT<const INorvLayerRule>&/*out*/) const
{
    return NotImplemented();
}

Result INorvSchemaNetClassRule::FindViaAssign(ListT<NorvObjectInfo>&/*out*/, const String&/*name*/, const SearchParams&/*params*/) const
{
    return NotImplemented();
}

Result INorvViaAssign::GetParentSchemeNetClassRule(ContainerT<const INorvSchemaNetClassRule>&/*out*/) const
{
    return NotImplemented();
}

Result INorvLayerRule::GetLayerIndex(int32_t&/*out*/) const
{
    return NotImplemented();
}

Result INorvLayerRule::GetParentLayer(ContainerT<const INorvLayer>&/*out*/) const
{
    return NotImplemented();
}

Result INorvLayerRule::GetParentSchemeNetClassRule(ContainerT<const INorvSchemaNetClassRule>&/*out*/) const
{
    return NotImplemented();
}

Result INorvSchemaClearRule::GetParentClearRule(ContainerT<const INorvClearRule>&/*out*/) const
{
    return NotImplemented();
}

Result INorvSchemaClearRule::GetParentScheme(ContainerT<const INorvScheme>&/*out*/) const
{
    return NotImplemented();
}

Result INorvSchemaClearRule::GetIterLayerClearRules(IteratorT<const INorvLayerClearRule>&/*out*/) const
{
    return NotImplemented();
}

Result INorvSchemaClearRule::FindLayerClearRule(ListT<NorvObjectExtInfo>&/*out*/, int32_t/*layerIndex*/) const
{
    return NotImplemented();
}

Result INorvSchemaClearRule::GetLayerClearRule(const Index&/*index*/, ContainerT<const INorvLayerClearRule>&/*out*/) const
{
    return NotImplemented();
}

Result INorvLayerClearRule::GetLayerIndex(int32_t&/*out*/) const
{
    return NotImplemented();
}

Result INorvLayerClearRule::GetParentLayer(ContainerT<const INorvLayer>&/*out*/) const
{
    return NotImplemented();
}

Result INorvGenObjType::GetIterGenCompObjs(IteratorT<const INorvGenCompObj>&/*out*/) const
{
    return NotImplemented();
}

Result INorvGenObjType::DeleteGenCompObj(const Index&/*index*/)
{
    return NotImplemented();
}

Result INorvGenCompObj::GetLevel(String&/*out*/) const
{
    return NotImplemented();
}

Result INorvGenCompObj::GetIterGenCompObjs(IteratorT<const INorvGenCompObj>&/*out*/) const
{
    return NotImplemented();
}

Result INorvGenCompObj::GetIterGenObjs(IteratorT<const INorvGenObj>&/*out*/) const
{
    return NotImplemented();
}

Result INorvGenCompObj::GetGenObj(const String&/*name*/, const String&/*typeText*/, ContainerT<const INorvGenObj>&/*out*/) const
{
    return NotImplemented();
}

Result INorvGenCompObj::AddGenObj(const String&/*name*/, const String&/*typeText*/)
{
    return NotImplemented();
}

Result INorvGenCompObj::AddGenObj(const String&/*name*/, const String&/*typeText*/, MutableContainerT<INorvGenObj>&/*out*/)
{
    return NotImplemented();
}

Result INorvGenCompObj::DeleteGenObj(const Index&/*index*/)
{
    return NotImplemented();
}

Result INorvGenCompObj::DeleteGenCompObj(const Index&/*index*/)
{
    return NotImplemented();
}

Result INorvGenObj::GetLevel(String&/*out*/) const
{
    return NotImplemented();
}

}  // namespace Lumo
