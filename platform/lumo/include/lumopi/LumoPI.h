// The design-database interface: the session (LumoPI), snapshots, the UID manager and one interface per
// object kind. This is the one header products include.
//
// Every operation returns a Result; values come back through out-parameters. Container, iterator and list
// out-parameters are emptied at the start of every call; scalar out-parameters are written only on success.
// Read operations are const; write operations are reachable only through a MutableContainerT whose lock is
// live. Interface objects are thin handles owned by the container that holds them. Nothing throws.
#pragma once

#include "lumopi/LumoHandles.h"
#include "lumopi/LumoTypes.h"

namespace Lumo {

class IObject;
class IObjectNorv;
class INorvConstraint;
class ISnapshot;
class IUIDManager;
class IConfig;
class INorvConfig;
class INorvDesign;
class INorvLayer;
class INorvNetClass;
class INorvClearRule;
class INorvConstraintClass;
class INorvViaSpan;
class INorvGenClear;
class INorvPartTech;
class INorvConstVar;
class INorvC2CClearRule;
class INorvPkgTypeClearRule;
class INorvP2PClearRule;
class INorvParRuleDef;
class INorvParRuleSection;
class INorvNoiseRule;
class INorvScheme;
class INorvSchemaNetClassRule;
class INorvViaAssign;
class INorvLayerRule;
class INorvSchemaClearRule;
class INorvLayerClearRule;
class INorvGenObjType;
class INorvGenCompObj;
class INorvGenObj;
class INorvDiffPair;
class INorvElectricalNet;
class INorvPinPair;
class INorvPhysicalNet;
class INorvFromTo;
class INorvComp;
class INorvPin;
class INorvPart;
class INorvPartPin;
class INorvVia;
class INorvPartPinPair;
class INorvZAxisClearRule;
class INorvZAxisLayerRule;
class IFlatNet;
class INet;
class IPath;
class IComp;
class IPin;

using SearchParams = BitContainerT<ESearchParams>;

// Every object kind.
class IObject {
public:
    virtual ~IObject() = default;
    virtual Result GetIndex(Index& out) const;
    virtual Result GetName(String& out) const;
    virtual Result IsValid() const;
    virtual Result Synchronize(bool flag);

protected:
    IObject() = default;
    IObject(const IObject&) = default;
    IObject& operator=(const IObject&) = default;

private:
    friend struct detail::Access;
    detail::Ref m_ref;
    detail::AcqPtr m_acq;
};

// Norv objects: constraints and attributes.
class IObjectNorv : public IObject {
public:
    virtual Result GetConstraint(ContainerT<const INorvConstraint>& out, const String& name) const;
    virtual Result GetIterConstraints(IteratorT<const INorvConstraint>& out,
                                      const BitContainerT<EConstraintIterType>& selection = CIT_All) const;
    virtual Result GetAttributes(ListAttribute& out) const;
    virtual Result AddConstraint(const String& name, const ConstraintData& value, MutableContainerT<INorvConstraint>& out);
    virtual Result AddConstraintByString(const String& name, const String& text, MutableContainerT<INorvConstraint>& out);
    virtual Result DeleteConstraint(const Index& constraint);
    virtual Result DeleteAllConstraints();
    virtual Result SetAttribute(const String& name, const String& value);
    virtual Result SetAttributes(const ListAttribute& list);
    virtual Result RemoveAttributes();
};

// A constraint: an object's own record (type 22) or a session definition (type 72).
class INorvConstraint : public IObject {
public:
    virtual Result GetValue(ConstraintData& out) const;
    virtual Result GetValueByString(String& text, EConstraintType& type) const;
    virtual Result GetValueByString(String& text) const;
    virtual Result GetConstraintType(EConstraintType& out) const;
    virtual Result IsDefinition(bool& out) const;
    virtual Result IsUserConstraint(bool& out) const;
    virtual Result IsDefaultValue(bool& out) const;
    virtual Result GetParentIndex(Index& out) const;
    virtual Result GetAttributes(ListAttribute& out) const;
    virtual Result SetValue(const ConstraintData& value);
    virtual Result SetValueByString(const String& text);
    virtual Result SetValueByString(const String& text, EConstraintType type);
    // Replaces the value of the attribute of that name, or appends the attribute.
    virtual Result SetAttribute(const String& name, const String& value);
    virtual Result SetAttributes(const ListAttribute& list);
};

// Fetches by index within one snapshot. Value type; default-constructed = unbound (every call fails).
class IUIDManager {
public:
    IUIDManager() = default;
    Result ObjectExists(const Index& index, bool& exists) const;
    Result GetNorvConstraint(ContainerT<const INorvConstraint>& out, const Index& index) const;
    Result GetNorvLayer(ContainerT<const INorvLayer>& out, const Index& index) const;
    Result GetNorvNetClass(ContainerT<const INorvNetClass>& out, const Index& index) const;
    Result GetNorvClearRule(ContainerT<const INorvClearRule>& out, const Index& index) const;
    Result GetNorvConstraintClass(ContainerT<const INorvConstraintClass>& out, const Index& index) const;
    Result GetNorvViaSpan(ContainerT<const INorvViaSpan>& out, const Index& index) const;
    Result GetNorvGenClear(ContainerT<const INorvGenClear>& out, const Index& index) const;
    Result GetNorvPartTech(ContainerT<const INorvPartTech>& out, const Index& index) const;
    Result GetNorvConstVar(ContainerT<const INorvConstVar>& out, const Index& index) const;
    Result GetNorvC2CClearRule(ContainerT<const INorvC2CClearRule>& out, const Index& index) const;
    Result GetNorvPkgTypeClearRule(ContainerT<const INorvPkgTypeClearRule>& out, const Index& index) const;
    Result GetNorvP2PClearRule(ContainerT<const INorvP2PClearRule>& out, const Index& index) const;
    Result GetNorvParRuleDef(ContainerT<const INorvParRuleDef>& out, const Index& index) const;
    Result GetNorvParRuleSection(ContainerT<const INorvParRuleSection>& out, const Index& index) const;
    Result GetNorvNoiseRule(ContainerT<const INorvNoiseRule>& out, const Index& index) const;
    Result GetNorvScheme(ContainerT<const INorvScheme>& out, const Index& index) const;
    Result GetNorvSchemaNetClassRule(ContainerT<const INorvSchemaNetClassRule>& out, const Index& index) const;
    Result GetNorvViaAssign(ContainerT<const INorvViaAssign>& out, const Index& index) const;
    Result GetNorvLayerRule(ContainerT<const INorvLayerRule>& out, const Index& index) const;
    Result GetNorvSchemaClearRule(ContainerT<const INorvSchemaClearRule>& out, const Index& index) const;
    Result GetNorvLayerClearRule(ContainerT<const INorvLayerClearRule>& out, const Index& index) const;
    Result GetNorvGenObjType(ContainerT<const INorvGenObjType>& out, const Index& index) const;
    Result GetNorvGenCompObj(ContainerT<const INorvGenCompObj>& out, const Index& index) const;
    Result GetNorvGenObj(ContainerT<const INorvGenObj>& out, const Index& index) const;
    Result GetNorvDiffPair(ContainerT<const INorvDiffPair>& out, const Index& index) const;
    Result GetNorvElectricalNet(ContainerT<const INorvElectricalNet>& out, const Index& index) const;
    Result GetNorvPinPair(ContainerT<const INorvPinPair>& out, const Index& index) const;
    Result GetNorvPhysicalNet(ContainerT<const INorvPhysicalNet>& out, const Index& index) const;
    Result GetNorvFromTo(ContainerT<const INorvFromTo>& out, const Index& index) const;
    Result GetNorvComp(ContainerT<const INorvComp>& out, const Index& index) const;
    Result GetNorvPin(ContainerT<const INorvPin>& out, const Index& index) const;
    Result GetNorvPart(ContainerT<const INorvPart>& out, const Index& index) const;
    Result GetNorvPartPin(ContainerT<const INorvPartPin>& out, const Index& index) const;
    Result GetNorvVia(ContainerT<const INorvVia>& out, const Index& index) const;
    Result GetNorvPartPinPair(ContainerT<const INorvPartPinPair>& out, const Index& index) const;
    Result GetNorvZAxisClearRule(ContainerT<const INorvZAxisClearRule>& out, const Index& index) const;
    Result GetNorvZAxisLayerRule(ContainerT<const INorvZAxisLayerRule>& out, const Index& index) const;
    Result GetNorvConstraintDef(ContainerT<const INorvConstraint>& out, const Index& index) const;
    Result GetComp(ContainerT<const IComp>& out, const Index& index) const;
    Result GetPin(ContainerT<const IPin>& out, const Index& index) const;
    Result GetFlatNet(ContainerT<const IFlatNet>& out, const Index& index) const;

private:
    friend struct detail::Access;
    detail::Ref m_ref;
};

// A named state of the design.
class ISnapshot : public IObject {
public:
    virtual Result GetUIDManager(IUIDManager& out) const;
    virtual Result GetNorvConfig(ContainerT<const INorvConfig>& out, const String& topBlock) const;
    virtual Result GetDefaultConfig(ContainerT<const IConfig>& out, const String& topBlock) const;
    virtual Result GetAttribute(const String& name, String& value) const;
    virtual Result GetListLocks(ListT<LockInfo>& out) const;
    virtual Result AddNorvConfig(MutableContainerT<INorvConfig>& out, const String& topBlock);
    virtual Result RemoveConfig(const Index& config);
};

// Schematic (front-end) configuration; also the base of the Norv configuration.
class IConfig : public IObject {
public:
    virtual Result GetIterFlatNets(IteratorT<const IFlatNet>& out) const;
    virtual Result GetIterComps(IteratorT<const IComp>& out) const;
};

class INorvConfig : public IConfig {
public:
    virtual Result GetNorvDesign(ContainerT<const INorvDesign>& out) const;
    virtual Result GetIterElectricalNets(IteratorT<const INorvElectricalNet>& out) const;
    virtual Result GetIterPhysicalNets(IteratorT<const INorvPhysicalNet>& out) const;
    virtual Result GetIterDiffPairs(IteratorT<const INorvDiffPair>& out) const;
    virtual Result GetIterNorvComps(IteratorT<const INorvComp>& out) const;
    virtual Result GetIterParts(IteratorT<const INorvPart>& out) const;
    virtual Result GetPhysicalNet(const Index& index, ContainerT<const INorvPhysicalNet>& out) const;
    virtual Result GetElectricalNet(const Index& index, ContainerT<const INorvElectricalNet>& out) const;
    virtual Result GetNorvComp(const Index& index, ContainerT<const INorvComp>& out) const;
    virtual Result GetPhysicalNetByFlatNet(const Index& flatNet, ContainerT<const INorvPhysicalNet>& out) const;
    virtual Result GetListNorvPinByPin(ListT<Index>& out, const Index& designPin) const;
    virtual Result FindPhysicalNet(ListT<NorvObjectInfo>& out, const String& name, const SearchParams& params) const;
    virtual Result FindElectricalNet(ListT<NorvObjectInfo>& out, const String& name, const SearchParams& params) const;
    virtual Result FindNorvComp(ListT<NorvObjectInfo>& out, const String& name, const SearchParams& params) const;

    virtual Result AddNorvDesign(MutableContainerT<INorvDesign>& out);
    virtual Result AddPhysicalNet(MutableContainerT<INorvPhysicalNet>& out, const String& name, const IFlatNet& flatNet);
    virtual Result AddElectricalNet(MutableContainerT<INorvElectricalNet>& out,
                                    const ContainerT<const INorvPhysicalNet>& physNet);
    virtual Result AddElectricalNet(MutableContainerT<INorvElectricalNet>& out,
                                    const MutableContainerT<INorvPhysicalNet>& physNet);
    virtual Result AddNorvComp(MutableContainerT<INorvComp>& out, const ContainerT<const INorvPart>& part,
                               const String& name);
    virtual Result DeleteDiffPair(const Index& index);
    virtual Result DeleteElectricalNet(const Index& index);
    virtual Result DeletePhysicalNet(const Index& index);
    virtual Result DeleteNorvComp(const Index& index);
    virtual Result DeleteAllDiffPairs();
    virtual Result UpdateIncremental(const ListT<Index>& physNets, const ListT<Index>& elecNets);
    virtual Result UpdateAllElectricalNets();
};

class INorvDesign : public IObjectNorv {
public:
    virtual Result GetIterLayers(IteratorT<const INorvLayer>& out) const;
    virtual Result GetIterNetClasses(IteratorT<const INorvNetClass>& out) const;
    virtual Result GetIterConstraintClasses(IteratorT<const INorvConstraintClass>& out) const;
    virtual Result GetIterClearRules(IteratorT<const INorvClearRule>& out) const;
    virtual Result GetIterSchemes(IteratorT<const INorvScheme>& out) const;
    virtual Result GetIterViaSpans(IteratorT<const INorvViaSpan>& out) const;
    virtual Result GetIterVia(IteratorT<const INorvVia>& out) const;
    virtual Result GetIterPartTechs(IteratorT<const INorvPartTech>& out) const;
    virtual Result GetIterConstVars(IteratorT<const INorvConstVar>& out) const;
    virtual Result GetIterC2CClearRules(IteratorT<const INorvC2CClearRule>& out) const;
    virtual Result GetIterPkgTypeClearRules(IteratorT<const INorvPkgTypeClearRule>& out) const;
    virtual Result GetIterP2PClearRules(IteratorT<const INorvP2PClearRule>& out) const;
    virtual Result GetIterParRuleDefs(IteratorT<const INorvParRuleDef>& out) const;
    virtual Result GetIterNoiseRules(IteratorT<const INorvNoiseRule>& out) const;
    virtual Result GetIterZAxisClearRules(IteratorT<const INorvZAxisClearRule>& out) const;
    virtual Result GetIterGenObjTypes(IteratorT<const INorvGenObjType>& out) const;
    virtual Result GetNorvGenClear(ContainerT<const INorvGenClear>& out) const;
    virtual Result GetLayer(const Index& index, ContainerT<const INorvLayer>& out) const;
    virtual Result GetViaSpan(const Index& index, ContainerT<const INorvViaSpan>& out) const;
    virtual Result GetConstraintClass(const Index& index, ContainerT<const INorvConstraintClass>& out) const;
    virtual Result FindConstraintClass(ListT<NorvObjectInfo>& out, const String& name, const SearchParams& params) const;
    virtual Result FindNetClass(ListT<NorvObjectInfo>& out, const String& name, const SearchParams& params) const;
    virtual Result FindScheme(ListT<NorvObjectInfo>& out, const String& name, const SearchParams& params) const;
    virtual Result FindClearRule(ListT<NorvObjectInfo>& out, const String& name, const SearchParams& params) const;
    virtual Result FindGenObjType(ListT<NorvObjectInfo>& out, const String& name, const SearchParams& params) const;

    virtual Result AddConstraintClass(MutableContainerT<INorvConstraintClass>& out, const String& name);
    virtual Result AddNetClass(MutableContainerT<INorvNetClass>& out, const String& name);
    virtual Result AddScheme(MutableContainerT<INorvScheme>& out, const String& name, ESchemeType type);
    virtual Result AddClearRule(MutableContainerT<INorvClearRule>& out, const String& name);
    virtual Result AddGenClear(MutableContainerT<INorvGenClear>& out);
    virtual Result DeleteNetClass(const Index& index);
    virtual Result DeleteConstraintClass(const Index& index);
    virtual Result DeleteClearRule(const Index& index);
    virtual Result DeleteScheme(const Index& index);
    virtual Result DeleteViaSpan(const Index& index);
    virtual Result DeleteNoiseRule(const Index& index);
    virtual Result DeleteParRuleDef(const Index& index);
    virtual Result DeleteC2CClearRule(const Index& index);
    virtual Result DeleteP2PClearRule(const Index& index);
    virtual Result DeleteAllParRuleDefs();
    virtual Result DeleteAllC2CClearRules();
    virtual Result DeleteAllZAxisClearRules();
    virtual Result DeleteAllConstVars();
    virtual Result DeleteAllGenObjTypes();
    virtual Result DeleteAllNoiseRules();
    virtual Result DeleteAllP2PClearRules();
    virtual Result DeleteAllPkgTypeClearRules();
};

class INorvLayer : public IObjectNorv {
public:
    virtual Result GetType(ELayerType& out) const;
    virtual Result GetLayerNumber(int32_t& out) const;
    virtual Result GetMetallicLayerNumber(int32_t& out) const;
    virtual Result SetLayerNumber(int32_t number);
    virtual Result SetName(const String& name);
};

class INorvNetClass : public IObjectNorv {
public:
    virtual Result GetHierarchicalName(String& out, char separator) const;
    virtual Result GetIterChildNetClasses(IteratorT<const INorvNetClass>& out) const;
    virtual Result GetParentNetClass(ContainerT<const INorvNetClass>& out) const;
    virtual Result GetSchemaNetClassMappedObjList(ListT<Index>& out) const;
    virtual Result GetListPhysicalNets(ListT<Index>& out) const;
    virtual Result FindChildNetClass(ListT<NorvObjectInfo>& out, const String& name, const SearchParams& params) const;
    virtual Result SetName(const String& name);
    virtual Result SetParent(INorvNetClass& newParent);
    virtual Result SetParent(INorvDesign& design);
    virtual Result AddChildNetClass(MutableContainerT<INorvNetClass>& out, const String& name, INorvDesign& design);
    virtual Result DeleteChildNetClass(const Index& index);
    virtual Result DeleteAllChildNetClass();
};

class INorvConstraintClass : public IObjectNorv {
public:
    virtual Result GetHierarchicalName(String& out, char separator) const;
    virtual Result GetNetClass(ContainerT<const INorvNetClass>& out) const;
    virtual Result GetIterChildConstraintClasses(IteratorT<const INorvConstraintClass>& out) const;
    virtual Result GetChildConstraintClass(const String& name, ContainerT<const INorvConstraintClass>& out) const;
    virtual Result GetParentConstraintClass(ContainerT<const INorvConstraintClass>& out) const;
    virtual Result FindChildConstraintClass(ListT<NorvObjectInfo>& out, const String& name,
                                            const SearchParams& params) const;
    virtual Result SetName(const String& name);
    virtual Result SetNetClass(INorvNetClass& lockedClass);
    virtual Result DeleteAllConstraintClass();
};

class INorvClearRule : public IObjectNorv {
public:
    virtual Result GetSchemaClearRuleMappedObjList(ListT<Index>& out) const;
    virtual Result SetName(const String& name);
};

class INorvViaSpan : public IObjectNorv {
public:
    virtual Result GetIterAllowedVias(IteratorT<const INorvVia>& out) const;
};

class INorvGenClear : public IObjectNorv {};
class INorvPartTech : public IObjectNorv {};
class INorvConstVar : public IObjectNorv {};
class INorvC2CClearRule : public IObjectNorv {};
class INorvPkgTypeClearRule : public IObjectNorv {};
class INorvP2PClearRule : public IObjectNorv {};
class INorvParRuleSection : public IObjectNorv {};
class INorvVia : public IObjectNorv {};
class INorvZAxisLayerRule : public IObjectNorv {};

class INorvParRuleDef : public IObjectNorv {
public:
    virtual Result GetIterParRuleSections(IteratorT<const INorvParRuleSection>& out) const;
};

class INorvZAxisClearRule : public IObjectNorv {
public:
    virtual Result GetIterZAxisLayerRules(IteratorT<const INorvZAxisLayerRule>& out) const;
};

class INorvNoiseRule : public IObjectNorv {
public:
    virtual Result GetType(ENoiseRuleType& out) const;
    virtual Result Get(ContainerT<const INorvConstraintClass>& victim, ContainerT<const INorvConstraintClass>& aggressor,
                       ENoiseRuleType& type) const;
    virtual Result Get(ContainerT<const INorvElectricalNet>& victim, ContainerT<const INorvElectricalNet>& aggressor,
                       ENoiseRuleType& type) const;
};

class INorvScheme : public IObjectNorv {
public:
    virtual Result GetParentDesign(ContainerT<const INorvDesign>& out) const;
    virtual Result GetType(ESchemeType& out) const;
    virtual Result GetIterSchemaNetClassRules(IteratorT<const INorvSchemaNetClassRule>& out) const;
    virtual Result GetIterSchemaClearRules(IteratorT<const INorvSchemaClearRule>& out) const;
    virtual Result FindSchemaClearRule(ListT<NorvObjectInfo>& out, const String& name, const SearchParams& params) const;
    virtual Result FindSchemaNetClassRule(ListT<NorvObjectInfo>& out, const String& name, const SearchParams& params) const;
    virtual Result GetSchemaClearRule(const Index& index, ContainerT<const INorvSchemaClearRule>& out) const;
    virtual Result SetName(const String& name);
};

class INorvSchemaNetClassRule : public IObjectNorv {
public:
    virtual Result GetParentNetClass(ContainerT<const INorvNetClass>& out) const;
    virtual Result GetParentScheme(ContainerT<const INorvScheme>& out) const;
    virtual Result GetParentSchemeNetClassRule(ContainerT<const INorvSchemaNetClassRule>& out) const;
    virtual Result GetScheme(ContainerT<const INorvScheme>& out) const;
    virtual Result GetIterSchemeNetClassRuleChild(IteratorT<const INorvSchemaNetClassRule>& out) const;
    virtual Result GetIterLayerRules(IteratorT<const INorvLayerRule>& out) const;
    virtual Result GetIterViaAssigns(IteratorT<const INorvViaAssign>& out) const;
    virtual Result FindLayerRule(ListT<NorvObjectExtInfo>& out, int32_t layerIndex) const;
    virtual Result GetLayerRule(const Index& index, ContainerT<const INorvLayerRule>& out) const;
    virtual Result FindViaAssign(ListT<NorvObjectInfo>& out, const String& name, const SearchParams& params) const;
};

class INorvViaAssign : public IObjectNorv {
public:
    virtual Result GetParentSchemeNetClassRule(ContainerT<const INorvSchemaNetClassRule>& out) const;
};

class INorvLayerRule : public IObjectNorv {
public:
    virtual Result GetLayerIndex(int32_t& out) const;
    virtual Result GetParentLayer(ContainerT<const INorvLayer>& out) const;
    virtual Result GetParentSchemeNetClassRule(ContainerT<const INorvSchemaNetClassRule>& out) const;
};

class INorvSchemaClearRule : public IObjectNorv {
public:
    virtual Result GetParentClearRule(ContainerT<const INorvClearRule>& out) const;
    virtual Result GetParentScheme(ContainerT<const INorvScheme>& out) const;
    virtual Result GetIterLayerClearRules(IteratorT<const INorvLayerClearRule>& out) const;
    virtual Result FindLayerClearRule(ListT<NorvObjectExtInfo>& out, int32_t layerIndex) const;
    virtual Result GetLayerClearRule(const Index& index, ContainerT<const INorvLayerClearRule>& out) const;
};

class INorvLayerClearRule : public IObjectNorv {
public:
    virtual Result GetLayerIndex(int32_t& out) const;
    virtual Result GetParentLayer(ContainerT<const INorvLayer>& out) const;
};

class INorvGenObjType : public IObjectNorv {
public:
    virtual Result GetIterGenCompObjs(IteratorT<const INorvGenCompObj>& out) const;
    virtual Result DeleteGenCompObj(const Index& index);
};

class INorvGenCompObj : public IObjectNorv {
public:
    virtual Result GetLevel(String& out) const;
    virtual Result GetIterGenCompObjs(IteratorT<const INorvGenCompObj>& out) const;
    virtual Result GetIterGenObjs(IteratorT<const INorvGenObj>& out) const;
    virtual Result GetGenObj(const String& name, const String& typeText, ContainerT<const INorvGenObj>& out) const;
    virtual Result AddGenObj(const String& name, const String& typeText);
    virtual Result AddGenObj(const String& name, const String& typeText, MutableContainerT<INorvGenObj>& out);
    virtual Result DeleteGenObj(const Index& index);
    virtual Result DeleteGenCompObj(const Index& index);
};

class INorvGenObj : public IObjectNorv {
public:
    virtual Result GetLevel(String& out) const;
};

class INorvDiffPair : public IObjectNorv {
public:
    virtual Result GetFirstElecNet(ContainerT<const INorvElectricalNet>& out) const;
    virtual Result GetSecondElecNet(ContainerT<const INorvElectricalNet>& out) const;
};

class INorvElectricalNet : public IObjectNorv {
public:
    virtual Result GetIterPhysicalNets(IteratorT<const INorvPhysicalNet>& out) const;
    virtual Result GetIterPinPairs(IteratorT<const INorvPinPair>& out) const;
    virtual Result GetIterPinPairs(IteratorT<const INorvPinPair>& out, const BitContainerT<EPinPairType>& types) const;
    virtual Result GetParentDiffPair(ContainerT<const INorvDiffPair>& out) const;
    virtual Result GetConstraintClass(ContainerT<const INorvConstraintClass>& out) const;
    virtual Result RemovePhysicalNet(const Index& physNet);
    virtual Result AddPhysicalNet(const INorvPhysicalNet& physNet);
    virtual Result DeletePinPair(const Index& index);
    virtual Result DeleteAllPinPair();
    virtual Result SetConstraintClass(INorvConstraintClass& lockedClass);
};

class INorvPhysicalNet : public IObjectNorv {
public:
    virtual Result GetParentElectricalNet(ContainerT<const INorvElectricalNet>& out) const;
    virtual Result GetType(EPhysicalNetType& out) const;
    virtual Result GetIterPins(IteratorT<const INorvPin>& out) const;
    virtual Result GetIterPins(IteratorT<const INorvPin>& out, const BitContainerT<ENorvPinType>& kinds) const;
    virtual Result GetIterFromTos(IteratorT<const INorvFromTo>& out) const;
    virtual Result GetNetClass(ContainerT<const INorvNetClass>& out) const;
    virtual Result GetFlatNet(ContainerT<const IFlatNet>& out) const;
    virtual Result GetIterPinsConnected(IteratorT<const IPin>& out) const;
    virtual Result FindPin(ListT<NorvObjectInfo>& out, const String& name, const SearchParams& params,
                           const BitContainerT<ENorvPinType>& kinds) const;
    virtual Result DeleteFromTo(const Index& index);
    virtual Result DeleteAllFromTos();
    virtual Result DeletePin(const Index& index);
    virtual Result DisconnectPin(INorvPin& lockedPin);
    virtual Result ConnectPin(INorvPin& lockedPin);
    virtual Result SetName(const String& name);
    virtual Result SetNetClass(INorvNetClass& lockedClass);
};

class INorvPinPair : public IObjectNorv {
public:
    virtual Result GetParentElectricalNet(ContainerT<const INorvElectricalNet>& out) const;
    virtual Result GetType(EPinPairType& out) const;
    virtual Result GetFirstPin(ContainerT<const INorvPin>& out) const;
    virtual Result GetSecondPin(ContainerT<const INorvPin>& out) const;
};

class INorvFromTo : public IObjectNorv {
public:
    virtual Result GetParentPhysicalNet(ContainerT<const INorvPhysicalNet>& out) const;
    virtual Result GetPinFrom(ContainerT<const INorvPin>& out) const;
    virtual Result GetPinTo(ContainerT<const INorvPin>& out) const;
};

class INorvPin : public IObjectNorv {
public:
    virtual Result GetNorvType(ENorvPinType& out) const;
    virtual Result GetType(EPinType& out) const;
    virtual Result GetParentPhysicalNet(ContainerT<const INorvPhysicalNet>& out) const;
    virtual Result GetParentNorvComp(ContainerT<const INorvComp>& out) const;
    virtual Result GetParentPartPin(ContainerT<const INorvPartPin>& out) const;
    virtual Result GetPin(ContainerT<const IPin>& out) const;
    virtual Result GetParentPin(ContainerT<const INorvPin>& out) const;
    virtual Result GetVirutalPinSetPin(ContainerT<const INorvPin>& out) const;
    virtual Result GetIterFlatPins(IteratorT<const IPin>& out) const;
    virtual Result GetIterPins(IteratorT<const INorvPin>& out) const;
    virtual Result GetIterPins(IteratorT<const INorvPin>& out, const BitContainerT<ENorvPinType>& kinds) const;
    virtual Result SetName(const String& name);
};

class INorvComp : public IObjectNorv {
public:
    virtual Result GetParentPart(ContainerT<const INorvPart>& out) const;
    virtual Result GetIterPins(IteratorT<const INorvPin>& out) const;
    virtual Result GetIterPins(IteratorT<const INorvPin>& out, const BitContainerT<ENorvPinType>& kinds) const;
    virtual Result GetIterLogicComp(IteratorT<const IComp>& out) const;
    virtual Result GetPin(const Index& index, ContainerT<const INorvPin>& out) const;
    virtual Result SetName(const String& name);
    virtual Result RemoveLogicComp(const IComp& logicComp);
    virtual Result AddLogicComp(IComp& lockedLogicComp, const ListT<ContainerT<const INorvPin>>& norvPins,
                                const ListT<ContainerT<const IPin>>& designPins);
};

class INorvPart : public IObjectNorv {
public:
    virtual Result GetIterPartPins(IteratorT<const INorvPartPin>& out) const;
    virtual Result GetIterPartPinPairs(IteratorT<const INorvPartPinPair>& out) const;
    virtual Result GetIterNorvComps(IteratorT<const INorvComp>& out) const;
};

class INorvPartPin : public IObjectNorv {
public:
    virtual Result GetParentPart(ContainerT<const INorvPart>& out) const;
    virtual Result GetType(EPartPinType& out) const;
    virtual Result GetParentPartPinPair(ListT<NorvObjectInfo>& out) const;
};

class INorvPartPinPair : public IObjectNorv {
public:
    virtual Result GetParentPart(ContainerT<const INorvPart>& out) const;
    virtual Result GetFirstPartPin(ContainerT<const INorvPartPin>& out) const;
    virtual Result GetSecondPartPin(ContainerT<const INorvPartPin>& out) const;
};

// Schematic side.
class IFlatNet : public IObject {
public:
    virtual Result GetForwardPCBFlag(BitContainerT<EForwardPCBFlag>& out) const;
    virtual Result GetIterNetsConnected(IteratorT<const INet>& out) const;
    virtual Result GetIterPinsConnected(IteratorT<const IPin>& out) const;
};

class INet : public IObject {
public:
    virtual Result GetPath(ContainerT<const IPath>& out) const;
    virtual Result GetLabel(String& out) const;
    virtual Result GetIterPinsConnected(IteratorT<const IPin>& out) const;
};

class IPath : public IObject {
public:
    virtual Result GetListHierarchyIndexes(ListT<Index>& out) const;
};

class IComp : public IObject {
public:
    virtual Result GetType(BitContainerT<ECompType>& out) const;
    virtual Result GetIterPins(IteratorT<const IPin>& out) const;
    virtual Result GetAttribute(const String& name, String& value, EAttributeType type) const;
    virtual Result SetAttribute(const String& name, const String& value, EAttributeType type);
};

class IPin : public IObject {
public:
    virtual Result GetType(BitContainerT<EPinType>& out) const;
    virtual Result GetParent(ContainerT<const IComp>& out) const;
    virtual Result GetWidth(int32_t& out) const;
    virtual Result GetAttribute(const String& name, String& value, EAttributeType type) const;
    virtual Result GetAttribute(const String& name, String& value, EAttributeType type, int32_t bit) const;
    virtual Result GetIterNetsConnected(IteratorT<const INet>& out) const;
};

// The session: what the host hands to the product. Created by the host (see lumopi/StandIn.h).
class LumoPI {
public:
    ~LumoPI();
    LumoPI(const LumoPI&) = delete;
    LumoPI& operator=(const LumoPI&) = delete;

    Result GetSnapshotByName(ContainerT<const ISnapshot>& out, const String& name) const;
    Result GetDefConstraint(ContainerT<const INorvConstraint>& out, const String& name) const;
    Result GetSubClientInfo(SubClientInfo& out) const;
    Result GetListClients(ListT<ClientInfo>& out) const;
    Result RequestProjectBackup(GIndex& out, EProjectBackupType type, const String& text1, const String& text2);

private:
    friend struct detail::Access;
    explicit LumoPI(detail::SessionData* data);
    detail::SessionData* m_data;
};

namespace detail {
inline Ref& Access::RefOf(IObject& o) { return o.m_ref; }
inline const Ref& Access::RefOf(const IObject& o) { return o.m_ref; }
inline AcqPtr& Access::AcqOf(IObject& o) { return o.m_acq; }
inline const AcqPtr& Access::AcqOf(const IObject& o) { return o.m_acq; }
inline Ref& Access::RefOf(IUIDManager& m) { return m.m_ref; }
inline const Ref& Access::RefOf(const IUIDManager& m) { return m.m_ref; }
inline SessionData* Access::DataOf(const LumoPI& session) { return session.m_data; }
}  // namespace detail

}  // namespace Lumo
