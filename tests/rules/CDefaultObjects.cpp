#include "tests/rules/CDefaultObjects.h"

#include "framework/CNorvProjectChecker.h"

using Lumo::ContainerT;
using Lumo::Index;
using Lumo::IteratorT;

namespace
{

const char* const kMaster = "(Master)";
const char* const kMinimum = "(Minimum)";

bool isDefinitionIndex(const Index& index)
{
    return index.GetType() == Lumo::OT_NorvConstraintDef;
}

} // namespace

// What differs between net classes and clearance rules in the comparison with "(Minimum)".
struct CDefaultObjects::NetClassRules
{
    using Rule = Lumo::INorvSchemaNetClassRule;
    using LayerRule = Lumo::INorvLayerRule;
    static constexpr unsigned noRules = CDICErrors::T10_NORELATEDNETCLASSES;
    static constexpr unsigned fetchFailed = CDICErrors::T10_NONETCLASSRULE;
    static constexpr unsigned noScheme = CDICErrors::T10_NOPARENTSCHEME;
    static constexpr unsigned noMinimum = CDICErrors::T10_NOMINNETCLASSRULE;
    static constexpr unsigned noRuleIndex = CDICErrors::T10_NETCLASSRULEINDEX;

    static Lumo::Result rules(const ContainerT<const Lumo::INorvNetClass>& owner, Lumo::ListT<Index>& out)
    {
        return owner->GetSchemaNetClassMappedObjList(out);
    }
    static Lumo::Result fetch(const Lumo::IUIDManager& uid, ContainerT<const Rule>& out, const Index& index)
    {
        return uid.GetNorvSchemaNetClassRule(out, index);
    }
    static Lumo::Result scheme(const ContainerT<const Rule>& rule, ContainerT<const Lumo::INorvScheme>& out)
    {
        return rule->GetScheme(out);
    }
    static Lumo::Result layerRules(const ContainerT<const Rule>& rule, IteratorT<const LayerRule>& out)
    {
        return rule->GetIterLayerRules(out);
    }
    static Lumo::Result findLayerRule(const ContainerT<const Rule>& rule, Lumo::ListT<Lumo::NorvObjectExtInfo>& out,
                                      int32_t layerIndex)
    {
        return rule->FindLayerRule(out, layerIndex);
    }
    static Lumo::Result layerRule(const ContainerT<const Rule>& rule, const Index& index, ContainerT<const LayerRule>& out)
    {
        return rule->GetLayerRule(index, out);
    }
};

struct CDefaultObjects::ClearRules
{
    using Rule = Lumo::INorvSchemaClearRule;
    using LayerRule = Lumo::INorvLayerClearRule;
    static constexpr unsigned noRules = CDICErrors::T10_NORELATEDCLEARRULES;
    static constexpr unsigned fetchFailed = CDICErrors::T10_NOSCHEMACLEARRULE;
    static constexpr unsigned noScheme = CDICErrors::T10_NOCLEARRULEPARENTSCHEME;
    static constexpr unsigned noMinimum = CDICErrors::T10_NOMINSCHEMACLEARRULE;
    static constexpr unsigned noRuleIndex = CDICErrors::T10_SCHEMACLEARRULEINDEX;

    static Lumo::Result rules(const ContainerT<const Lumo::INorvClearRule>& owner, Lumo::ListT<Index>& out)
    {
        return owner->GetSchemaClearRuleMappedObjList(out);
    }
    static Lumo::Result fetch(const Lumo::IUIDManager& uid, ContainerT<const Rule>& out, const Index& index)
    {
        return uid.GetNorvSchemaClearRule(out, index);
    }
    static Lumo::Result scheme(const ContainerT<const Rule>& rule, ContainerT<const Lumo::INorvScheme>& out)
    {
        return rule->GetParentScheme(out);
    }
    static Lumo::Result layerRules(const ContainerT<const Rule>& rule, IteratorT<const LayerRule>& out)
    {
        return rule->GetIterLayerClearRules(out);
    }
    static Lumo::Result findLayerRule(const ContainerT<const Rule>& rule, Lumo::ListT<Lumo::NorvObjectExtInfo>& out,
                                      int32_t layerIndex)
    {
        return rule->FindLayerClearRule(out, layerIndex);
    }
    static Lumo::Result layerRule(const ContainerT<const Rule>& rule, const Index& index, ContainerT<const LayerRule>& out)
    {
        return rule->GetLayerClearRule(index, out);
    }
};

CDefaultObjects::CDefaultObjects() = default;

CDefaultObjects::~CDefaultObjects() = default;

std::string CDefaultObjects::getTestDescription() const
{
    return "Test checks if standard and default objects exist for schemes, clearance rules and net classes";
}

std::string CDefaultObjects::getTestName() const
{
    return "Default objects";
}

std::string CDefaultObjects::getTestShortName() const
{
    return "CheckDefaultObjects";
}

TestStatus CDefaultObjects::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();

    IteratorT<const Lumo::INorvScheme> schemes;
    Lumo::Result schemesWalk = m_design->GetIterSchemes(schemes);
    if (!schemesWalk)
        return raiseError(CDICErrors::T10_ERRITERSCHEMES);
    IteratorT<const Lumo::INorvClearRule> clearRules;
    Lumo::Result clearRulesWalk = m_design->GetIterClearRules(clearRules);
    if (!clearRulesWalk)
        return raiseError(CDICErrors::T10_ERRITERCLEARRULES);
    // A failed read leaves an iterator on no object: the existence check then reports the object missing.
    IteratorT<const Lumo::INorvNetClass> netClasses;
    m_design->GetIterNetClasses(netClasses);
    IteratorT<const Lumo::INorvConstraintClass> constraintClasses;
    m_design->GetIterConstraintClasses(constraintClasses);

    checkSchemes(schemes, schemesWalk);
    if (!schemesWalk)
        return raiseError(CDICErrors::T10_ERRITERSCHEMES);
    checkDefaultClearRule(clearRules, clearRulesWalk);
    if (!clearRulesWalk)
        return raiseError(CDICErrors::T10_ERRITERCLEARRULES);
    checkDefaultNetClass(netClasses);
    checkAllConstraintClass(constraintClasses);
    raiseStatus(OK);
    return m_status;
}

template <class T>
void CDefaultObjects::checkStandardObject(IteratorT<const T>& objects, const char* standardName, unsigned indexCode,
                                          unsigned nameCode, unsigned missingCode, Lumo::Result& walk)
{
    for (; walkOn(objects, walk); ++objects) {
        Index index;
        if (!objects->GetIndex(index)) {
            raiseError(indexCode);
            return;
        }
        Lumo::String name;
        if (!objects->GetName(name)) {
            raiseError(nameCode);
            return;
        }
        if (name.str() == standardName)
            return;
    }
    if (walk)
        raiseError(missingCode);
}

TestStatus CDefaultObjects::checkDefaultClearRule(IteratorT<const Lumo::INorvClearRule>& rules, Lumo::Result& walk)
{
    checkStandardObject(rules, "(Default Rule)", CDICErrors::T10_ERRINDEXCLEARRULE, CDICErrors::T10_ERRNAMECLEARRULE,
                        CDICErrors::T10_NODEFAULTRULECLEARRULE, walk);
    return m_status;
}

TestStatus CDefaultObjects::checkDefaultNetClass(IteratorT<const Lumo::INorvNetClass>& netClasses)
{
    // A walk that fails is read as its failed GetIter is: the class is missing.
    Lumo::Result walk;
    checkStandardObject(netClasses, "(Default)", CDICErrors::T10_ERRINDEXNETCLASS, CDICErrors::T10_ERRNAMENETCLASS,
                        CDICErrors::T10_NODEFAULTNETCLASS, walk);
    if (!walk)
        raiseError(CDICErrors::T10_NODEFAULTNETCLASS);
    return m_status;
}

TestStatus CDefaultObjects::checkAllConstraintClass(IteratorT<const Lumo::INorvConstraintClass>& classes)
{
    Lumo::Result walk;
    checkStandardObject(classes, "(All)", CDICErrors::T10_ERRINDEXCONSTRAINTCLASS, CDICErrors::T10_ERRNAMECONSTRAINTCLASS,
                        CDICErrors::T10_NOALLCONSTRAINTCLASS, walk);
    if (!walk)
        raiseError(CDICErrors::T10_NOALLCONSTRAINTCLASS);
    return m_status;
}

TestStatus CDefaultObjects::checkSchemes(IteratorT<const Lumo::INorvScheme>& schemes, Lumo::Result& walk)
{
    bool master = false;
    bool minimum = false;
    for (; walkOn(schemes, walk); ++schemes) {
        Index index;
        if (!schemes->GetIndex(index))
            return raiseError(CDICErrors::T10_ERRINDEXOFSCHEME);
        Lumo::String name;
        if (!schemes->GetName(name))
            return raiseError(CDICErrors::T10_ERRNAMEOFSCHEME);
        if (name.str() == kMaster)
            master = true;
        if (name.str() == kMinimum)
            minimum = true;
    }
    if (!walk)
        return m_status;
    if (!master)
        raiseError(CDICErrors::T10_NOMASTERSCHEME);
    if (!minimum)
        return raiseError(CDICErrors::T10_NOMINIMUMSCHEME);
    return checkMinimumScheme();
}

TestStatus CDefaultObjects::checkMinimumScheme()
{
    if (CNorvProjectChecker::IsFlowTamsa())
        return m_status;

    m_netClassPath.Clear();
    IteratorT<const Lumo::INorvNetClass> netClass;
    Lumo::Result netClassWalk = m_design->GetIterNetClasses(netClass);
    for (; walkOn(netClass, netClassWalk); ++netClass)
        checkNetClassMinimum(netClass);
    if (!netClassWalk)
        raiseError(CDICErrors::T10_NOITERNETCLASS);

    IteratorT<const Lumo::INorvClearRule> clearRule;
    Lumo::Result clearRuleWalk = m_design->GetIterClearRules(clearRule);
    for (; walkOn(clearRule, clearRuleWalk); ++clearRule)
        checkClearRuleMinimum(clearRule);
    if (!clearRuleWalk)
        raiseError(CDICErrors::T10_NOITERCLEARRULE);
    return m_status;
}

template <class Kind, class Owner>
void CDefaultObjects::checkOwnerMinimum(const ContainerT<const Owner>& owner, const Index& ownerIndex,
                                        const Lumo::String& ownerName)
{
    using Rule = typename Kind::Rule;
    Lumo::ListT<Index> rules;
    if (!Kind::rules(owner, rules) || rules.IsEmpty()) {
        raiseError(Kind::noRules, ownerIndex, ownerName);
        return;
    }

    ContainerT<const Rule> minimumRule;
    for (auto entry = rules.GetIterator(); entry.IsValid(); ++entry) {
        ContainerT<const Rule> rule;
        if (!Kind::fetch(m_uidManager, rule, *entry)) {
            raiseError(Kind::fetchFailed, ownerIndex, ownerName);
            continue;
        }
        ContainerT<const Lumo::INorvScheme> scheme;
        if (!Kind::scheme(rule, scheme)) {
            raiseError(Kind::noScheme, Index(), ownerName);
            continue;
        }
        Lumo::String schemeName;
        if (!scheme->GetName(schemeName)) {
            raiseError(CDICErrors::T10_SCHEMENAME);
            continue;
        }
        if (schemeName == kMinimum) {
            Kind::fetch(m_uidManager, minimumRule, *entry);
            break;
        }
    }
    Index minimumIndex;
    if (!minimumRule.IsValid() || !minimumRule->GetIndex(minimumIndex)) {
        raiseError(Kind::noMinimum, Index(), ownerName);
        return;
    }

    for (auto entry = rules.GetIterator(); entry.IsValid(); ++entry) {
        ContainerT<const Rule> rule;
        if (!Kind::fetch(m_uidManager, rule, *entry)) {
            raiseError(Kind::fetchFailed, ownerIndex, ownerName);
            continue;
        }
        Index ruleIndex;
        if (!rule->GetIndex(ruleIndex)) {
            raiseError(Kind::noRuleIndex);
            continue;
        }
        if (ruleIndex != minimumIndex)
            checkLayerRules<Kind>(rule, minimumRule);
    }
}

TestStatus CDefaultObjects::checkNetClassMinimum(const ContainerT<const Lumo::INorvNetClass>& netClass)
{
    Lumo::String name;
    Index index;
    if (!netClass->GetName(name) || !netClass->GetIndex(index))
        return m_status;
    // A class met again below itself (a cyclic tree) is passed over like one that cannot be read.
    PathGuard::Scope onPath(m_netClassPath, index);
    if (!onPath.Entered())
        return m_status;

    checkOwnerMinimum<NetClassRules>(netClass, index, name);

    IteratorT<const Lumo::INorvNetClass> child;
    Lumo::Result childWalk = netClass->GetIterChildNetClasses(child);
    for (; walkOn(child, childWalk); ++child)
        checkNetClassMinimum(child);
    if (!childWalk)
        return raiseError(CDICErrors::T10_NOITERNETCLASS);
    return m_status;
}

TestStatus CDefaultObjects::checkClearRuleMinimum(const ContainerT<const Lumo::INorvClearRule>& clearRule)
{
    Lumo::String name;
    Index index;
    if (!clearRule->GetName(name) || !clearRule->GetIndex(index))
        return m_status;
    checkOwnerMinimum<ClearRules>(clearRule, index, name);
    return m_status;
}

template <class Kind>
void CDefaultObjects::checkLayerRules(const ContainerT<const typename Kind::Rule>& rule,
                                      const ContainerT<const typename Kind::Rule>& minimum)
{
    compareConstraints(*rule, *minimum);

    IteratorT<const typename Kind::LayerRule> minimumLayerRule;
    if (!Kind::layerRules(minimum, minimumLayerRule))
        return;
    for (; minimumLayerRule.IsValid(); ++minimumLayerRule) {
        int32_t layerIndex = 0;
        if (!minimumLayerRule->GetLayerIndex(layerIndex)) {
            raiseError(CDICErrors::T10_NOLAYERRULEINDEX);
            continue;
        }
        Lumo::ListT<Lumo::NorvObjectExtInfo> found;
        if (!Kind::findLayerRule(rule, found, layerIndex) || found.Count() != 1)
            continue;
        ContainerT<const typename Kind::LayerRule> otherLayerRule;
        if (!Kind::layerRule(rule, (*found.GetIterator()).index, otherLayerRule)) {
            raiseError(CDICErrors::T10_NOLAYERRULE);
            continue;
        }
        compareConstraints(*otherLayerRule, *minimumLayerRule);
    }
}

TestStatus CDefaultObjects::checkNetClassLayerRules(const ContainerT<const Lumo::INorvSchemaNetClassRule>& rule,
                                                    const ContainerT<const Lumo::INorvSchemaNetClassRule>& minimum)
{
    checkLayerRules<NetClassRules>(rule, minimum);
    return m_status;
}

TestStatus CDefaultObjects::checkClearRuleLayerRules(const ContainerT<const Lumo::INorvSchemaClearRule>& rule,
                                                     const ContainerT<const Lumo::INorvSchemaClearRule>& minimum)
{
    checkLayerRules<ClearRules>(rule, minimum);
    return m_status;
}

TestStatus CDefaultObjects::compareConstraints(const Lumo::IObjectNorv& other, const Lumo::IObjectNorv& minimum)
{
    Index minimumObject;
    if (!minimum.GetIndex(minimumObject))
        return m_status;
    IteratorT<const Lumo::INorvConstraint> constraint;
    Lumo::Result constraintWalk = minimum.GetIterConstraints(constraint);

    for (; walkOn(constraint, constraintWalk); ++constraint) {
        Lumo::String name;
        if (!constraint->GetName(name)) {
            raiseError(CDICErrors::T10_NOCONSTRAINTNAME);
            continue;
        }
        Index minimumIndex;
        if (!constraint->GetIndex(minimumIndex)) {
            raiseError(CDICErrors::T10_NOCONSTRAINTINDEX);
            continue;
        }
        Lumo::ConstraintData minimumValue;
        if (!constraint->GetValue(minimumValue)) {
            raiseError(CDICErrors::T10_NOCONSTRAINTVALUE);
            continue;
        }
        if (minimumValue.kind != Lumo::CDT_Int && minimumValue.kind != Lumo::CDT_Double)
            continue;

        ContainerT<const Lumo::INorvConstraint> otherConstraint;
        if (!other.GetConstraint(otherConstraint, name))
            continue;
        Index otherIndex;
        if (!otherConstraint->GetIndex(otherIndex)) {
            raiseError(CDICErrors::T10_NOCONSTRAINTINDEX);
            continue;
        }
        Lumo::ConstraintData otherValue;
        if (!otherConstraint->GetValue(otherValue)) {
            raiseError(CDICErrors::T10_NOCONSTRAINTVALUE);
            continue;
        }
        // Only values of the same kind are compared; a value is never read as another kind.
        if (otherValue.kind != minimumValue.kind)
            continue;
        const bool notMinimum = minimumValue.kind == Lumo::CDT_Double ? otherValue.doubleValue < minimumValue.doubleValue
                                                                      : minimumValue.intValue > otherValue.intValue;
        if (!notMinimum)
            continue;

        Index minimumNamed = minimumIndex;
        if (isDefinitionIndex(minimumIndex))
            minimumNamed = minimumObject;
        Index otherNamed = otherIndex;
        if (isDefinitionIndex(otherIndex)) {
            Index otherObject;
            other.GetIndex(otherObject);
            otherNamed = otherObject;
        }
        raiseError(CDICErrors::T10_CONSTRAINTNOTMIN, minimumNamed, name, otherNamed, name, minimumIndex, "",
                   otherIndex, "");
    }
    if (!constraintWalk)
        return raiseError(CDICErrors::T10_NOITERCONSTRAINTS);
    return m_status;
}
