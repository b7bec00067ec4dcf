#include "repairs/CFixClearRule.h"

#include "repairs/RepairSupport.h"

#include <charconv>
#include <cstdlib>
#include <set>
#include <unordered_map>

using namespace RepairSupport;

namespace {

struct ClearRuleKind
{
    using Object = Lumo::INorvClearRule;
    static const char* RenameError() { return "Cannot rename clearance rule"; }
    static Lumo::Result Fetch(const Lumo::IUIDManager& uids, Lumo::ContainerT<const Object>& out, const Lumo::Index& index)
    {
        return uids.GetNorvClearRule(out, index);
    }
    static Lumo::Result Find(const Lumo::INorvDesign& design, Lumo::ListT<Lumo::NorvObjectInfo>& out,
                             const Lumo::String& name, const SearchParams& params)
    {
        return design.FindClearRule(out, name, params);
    }
};

const Lumo::Index& FirstIndex(const Lumo::ListT<Lumo::NorvObjectInfo>& list)
{
    return list.GetIterator()->index;
}

const Lumo::Index& FirstIndex(const Lumo::ListT<Lumo::NorvObjectExtInfo>& list)
{
    return list.GetIterator()->index;
}

// ---------------------------------------------------------------------------------------------
// Re-creating a clearance rule

// Appends a set of the object's constraint values when it has any.
void SaveSet(const Lumo::IObjectNorv& object, const Lumo::String& schemeName, const Lumo::Index& schemeIndex,
             int32_t layer, std::list<SavedConstraintSet>& saved)
{
    Lumo::IteratorT<const Lumo::INorvConstraint> constraints;
    if (!object.GetIterConstraints(constraints, Lumo::CIT_All) || !constraints.IsValid())
        return;
    SavedConstraintSet& set = *saved.insert(saved.end(), SavedConstraintSet());
    set.schemeName = schemeName;
    set.schemeIndex = schemeIndex;
    set.layer = layer;
    for (; constraints.IsValid(); ++constraints)
    {
        Lumo::String name;
        Lumo::ConstraintData value;
        if (constraints->GetName(name) && constraints->GetValue(value))
            set.values[name] = value;
    }
}

// Locks the target, writes the set and unlocks it; a target that cannot be locked is skipped.
template <class T>
void WriteSet(const Lumo::ContainerT<const T>& target, const SavedConstraintSet& set)
{
    if (!target.IsValid())
        return;
    Lumo::MutableContainerT<T> locked;
    if (!Lumo::LockerT<T>::Lock(target, locked))
        return;
    CFixClearRule::SetConstraintValue(*locked, set);
    Lumo::LockerT<T>::UnLock(locked);
}

// True when the one scheme named exactly `scheme` holds exactly one schema clearance rule named
// exactly `rule` whose parent is a clearance rule named exactly `rule`: what the missing-rule
// finding counts, so a rule that an earlier finding re-created in every scheme needs nothing more.
bool SchemeHoldsRule(const std::string& rule, const std::string& scheme)
{
    const SearchParams exact = Search(Lumo::SP_0, Lumo::SP_5, Lumo::SP_MatchCase);
    Lumo::ListT<Lumo::NorvObjectInfo> found;
    if (scheme.empty() || !Design()->FindScheme(found, Lumo::String(scheme), exact) || found.Count() != 1)
        return false;
    Lumo::ContainerT<const Lumo::INorvScheme> holder;
    if (!Uids().GetNorvScheme(holder, FirstIndex(found)) || !holder->FindSchemaClearRule(found, Lumo::String(rule), exact) ||
        found.Count() != 1)
        return false;
    Lumo::ContainerT<const Lumo::INorvSchemaClearRule> schemaRule;
    Lumo::ContainerT<const Lumo::INorvClearRule> parent;
    Lumo::String parentName;
    return Uids().GetNorvSchemaClearRule(schemaRule, FirstIndex(found)) && schemaRule->GetParentClearRule(parent) &&
           parent->GetName(parentName) && parentName == rule;
}

// ---------------------------------------------------------------------------------------------
// Rebuilding a scheme

// Locks the new object, copies the old one's constraints and attributes into it, runs
// more(locked new object) for what hangs below it, and unlocks it. Fixed means "go on".
template <class T, class More>
CFixStatus CopyInto(const T& source, const Lumo::ContainerT<const T>& target, More&& more)
{
    Lumo::MutableContainerT<T> locked;
    if (Lumo::Result r = Lumo::LockerT<T>::Lock(target, locked); !r)
        return CFixStatus(r);
    if (!CFixClearRule::CopyConstraints(source, *locked) || !CFixClearRule::CopyAttributes(source, *locked))
        return CFixStatus();
    const CFixStatus below = more(*locked);
    if (!below.fixed)
        return below;
    UnLockChanged(locked);
    return CFixStatus(true);
}

template <class T>
CFixStatus CopyInto(const T& source, const Lumo::ContainerT<const T>& target)
{
    return CopyInto(source, target, [](T&) { return CFixStatus(true); });
}

// Walks the old rules of one kind; for each, counterpart(old, new container) finds the rule of the
// new object that takes its values (false: none, skipped) or fails (a status that is not fixed).
template <class T, class Counterpart, class More>
CFixStatus CopyEach(Lumo::IteratorT<const T>& oldRules, Counterpart&& counterpart, More&& more)
{
    Lumo::Result oldRulesWalk;
    for (; walkOn(oldRules, oldRulesWalk); ++oldRules)
    {
        Lumo::ContainerT<const T> target;
        bool found = false;
        const CFixStatus located = counterpart(*oldRules, target, found);
        if (!located.fixed)
            return located;
        if (!found)
            continue;
        const CFixStatus copied = CopyInto(*oldRules, target, [&](T& locked) { return more(*oldRules, locked); });
        if (!copied.fixed)
            return copied;
    }
    if (!oldRulesWalk)
        return CFixStatus(oldRulesWalk);
    return CFixStatus(true);
}

// The first entry of a search as the counterpart; a failed search or fetch is not fixed.
template <class List, class Fetch>
CFixStatus FirstOf(const Lumo::Result& searched, const List& found, bool& any, Fetch&& fetch)
{
    if (!searched)
        return CFixStatus();
    any = !found.IsEmpty();
    if (any && !fetch(FirstIndex(found)))
        return CFixStatus();
    return CFixStatus(true);
}

// Copies each old layer rule into the new rule's layer rule of the same layer number.
template <class Rule, class LayerRule>
CFixStatus CopyLayerRules(const Rule& oldRule, Rule& newRule,
                          Lumo::Result (Rule::*iterate)(Lumo::IteratorT<const LayerRule>&) const,
                          Lumo::Result (Rule::*find)(Lumo::ListT<Lumo::NorvObjectExtInfo>&, int32_t) const,
                          Lumo::Result (Rule::*fetch)(const Lumo::Index&, Lumo::ContainerT<const LayerRule>&) const)
{
    Lumo::IteratorT<const LayerRule> oldLayers;
    if (!(oldRule.*iterate)(oldLayers))
        return CFixStatus();
    return CopyEach(
        oldLayers,
        [&](const LayerRule& old, Lumo::ContainerT<const LayerRule>& target, bool& any) {
            int32_t layer = 0;
            if (!old.GetLayerIndex(layer))
                return CFixStatus();
            Lumo::ListT<Lumo::NorvObjectExtInfo> found;
            const Lumo::Result searched = (newRule.*find)(found, layer);
            return FirstOf(searched, found, any, [&](const Lumo::Index& index) { return (newRule.*fetch)(index, target); });
        },
        [](const LayerRule&, LayerRule&) { return CFixStatus(true); });
}

CFixStatus CopyLayerClearRules(const Lumo::INorvSchemaClearRule& oldRule, Lumo::INorvSchemaClearRule& newRule)
{
    return CopyLayerRules(oldRule, newRule, &Lumo::INorvSchemaClearRule::GetIterLayerClearRules,
                          &Lumo::INorvSchemaClearRule::FindLayerClearRule, &Lumo::INorvSchemaClearRule::GetLayerClearRule);
}

// One schema clearance rule per name: the first of several with one name is copied.
CFixStatus CopySchemaClearRules(const Lumo::INorvScheme& oldScheme, Lumo::INorvScheme& newScheme)
{
    Lumo::IteratorT<const Lumo::INorvSchemaClearRule> oldRules;
    if (!oldScheme.GetIterSchemaClearRules(oldRules))
        return CFixStatus();
    std::set<Lumo::String> done;
    return CopyEach(
        oldRules,
        [&](const Lumo::INorvSchemaClearRule& old, Lumo::ContainerT<const Lumo::INorvSchemaClearRule>& target, bool& any) {
            Lumo::String name;
            if (!old.GetName(name))
                return CFixStatus();
            if (!done.insert(name).second)
                return CFixStatus(true);
            Lumo::ListT<Lumo::NorvObjectInfo> found;
            const Lumo::Result searched = newScheme.FindSchemaClearRule(found, name, Search(Lumo::SP_0, Lumo::SP_5));
            return FirstOf(searched, found, any,
                           [&](const Lumo::Index& index) { return newScheme.GetSchemaClearRule(index, target); });
        },
        CopyLayerClearRules);
}

// The net class a schema net-class rule stands for; the empty index when it cannot be read.
Lumo::Index ParentNetClassOf(const Lumo::INorvSchemaNetClassRule& rule)
{
    Lumo::ContainerT<const Lumo::INorvNetClass> netClass;
    Lumo::Index index;
    if (rule.GetParentNetClass(netClass))
        netClass->GetIndex(index);
    return index;
}

// Maps each net class to the first rule of the tree that stands for it.
bool MapRulesByNetClass(Lumo::IteratorT<const Lumo::INorvSchemaNetClassRule>& rules,
                        std::unordered_map<Lumo::Index, Lumo::Index>& byClass)
{
    Lumo::Result rulesWalk;
    for (; walkOn(rules, rulesWalk); ++rules)
    {
        Lumo::Index rule;
        const Lumo::Index netClass = ParentNetClassOf(*rules);
        if (!netClass.IsEmpty() && rules->GetIndex(rule))
            byClass.emplace(netClass, rule);
        Lumo::IteratorT<const Lumo::INorvSchemaNetClassRule> children;
        if (!rules->GetIterSchemeNetClassRuleChild(children) || !MapRulesByNetClass(children, byClass))
            return false;
    }
    if (!rulesWalk)
        return false;
    return true;
}

CFixStatus CopyNetClassRuleContents(const Lumo::INorvSchemaNetClassRule& oldRule, Lumo::INorvSchemaNetClassRule& newRule)
{
    const CFixStatus layers =
        CopyLayerRules(oldRule, newRule, &Lumo::INorvSchemaNetClassRule::GetIterLayerRules,
                       &Lumo::INorvSchemaNetClassRule::FindLayerRule, &Lumo::INorvSchemaNetClassRule::GetLayerRule);
    if (!layers.fixed)
        return layers;

    Lumo::IteratorT<const Lumo::INorvViaAssign> oldVias;
    if (!oldRule.GetIterViaAssigns(oldVias))
        return CFixStatus();
    return CopyEach(
        oldVias,
        [&](const Lumo::INorvViaAssign& old, Lumo::ContainerT<const Lumo::INorvViaAssign>& target, bool& any) {
            Lumo::String name;
            if (!old.GetName(name))
                return CFixStatus();
            Lumo::ListT<Lumo::NorvObjectInfo> found;
            const Lumo::Result searched =
                newRule.FindViaAssign(found, name, Search(Lumo::SP_0, Lumo::SP_5, Lumo::SP_MatchCase));
            return FirstOf(searched, found, any,
                           [&](const Lumo::Index& index) { return Uids().GetNorvViaAssign(target, index); });
        },
        [](const Lumo::INorvViaAssign&, Lumo::INorvViaAssign&) { return CFixStatus(true); });
}

// Copies each old schema net-class rule, the tree walked in pre-order, into the new rule of its net
// class.
CFixStatus CopyNetClassRuleTree(Lumo::IteratorT<const Lumo::INorvSchemaNetClassRule>& oldRules,
                                const std::unordered_map<Lumo::Index, Lumo::Index>& newByClass)
{
    return CopyEach(
        oldRules,
        [&](const Lumo::INorvSchemaNetClassRule& old, Lumo::ContainerT<const Lumo::INorvSchemaNetClassRule>& target,
            bool& any) {
            const auto match = newByClass.find(ParentNetClassOf(old));
            any = match != newByClass.end();
            if (any && !Uids().GetNorvSchemaNetClassRule(target, match->second))
                return CFixStatus();
            if (!any)
            {
                // No counterpart of its own: its children may still have one.
                Lumo::IteratorT<const Lumo::INorvSchemaNetClassRule> children;
                if (!old.GetIterSchemeNetClassRuleChild(children))
                    return CFixStatus();
                return CopyNetClassRuleTree(children, newByClass);
            }
            return CFixStatus(true);
        },
        [&](const Lumo::INorvSchemaNetClassRule& old, Lumo::INorvSchemaNetClassRule& locked) {
            const CFixStatus contents = CopyNetClassRuleContents(old, locked);
            if (!contents.fixed)
                return contents;
            Lumo::IteratorT<const Lumo::INorvSchemaNetClassRule> children;
            if (!old.GetIterSchemeNetClassRuleChild(children))
                return CFixStatus();
            return CopyNetClassRuleTree(children, newByClass);
        });
}

CFixStatus CopySchemaNetClassRules(const Lumo::INorvScheme& oldScheme, const Lumo::INorvScheme& newScheme)
{
    Lumo::IteratorT<const Lumo::INorvSchemaNetClassRule> newRules;
    std::unordered_map<Lumo::Index, Lumo::Index> newByClass;
    if (!newScheme.GetIterSchemaNetClassRules(newRules) || !MapRulesByNetClass(newRules, newByClass))
        return CFixStatus();
    Lumo::IteratorT<const Lumo::INorvSchemaNetClassRule> oldRules;
    if (!oldScheme.GetIterSchemaNetClassRules(oldRules))
        return CFixStatus();
    return CopyNetClassRuleTree(oldRules, newByClass);
}

// ---------------------------------------------------------------------------------------------
// Rule value snapshots

RuleValueSnapshot* NodeFor(RuleValueSnapshot& parent, const std::string& name, bool create)
{
    auto found = parent.children.find(name);
    if (found != parent.children.end())
        return found->second.get();
    if (!create)
        return nullptr;
    return parent.children.emplace(name, std::make_unique<RuleValueSnapshot>()).first->second.get();
}

const RuleValueSnapshot* NodeOf(const RuleValueSnapshot& parent, const Lumo::String& name)
{
    auto found = parent.children.find(name.str());
    return found == parent.children.end() ? nullptr : found->second.get();
}

// The shortest text that reads back as the same double.
std::string DoubleText(double value)
{
    std::string text(32, '\0');
    const std::to_chars_result end = std::to_chars(&text[0], &text[0] + text.size(), value);
    text.resize(static_cast<std::size_t>(end.ptr - text.data()));
    return text;
}

template <class T>
bool RestoreLocked(const Lumo::ContainerT<const T>& object, const RuleValueSnapshot& node)
{
    Lumo::MutableContainerT<T> locked;
    if (!Lumo::LockerT<T>::Lock(object, locked))
        return false;
    CFixClearRule::RestoreObjectConstraints(*locked, node);
    Lumo::LockerT<T>::UnLock(locked);
    return true;
}

// Writes a rule's node and the nodes of its layer rules (by layer name) back.
template <class Rule, class LayerRule>
bool RestoreRuleAndLayers(const Lumo::ContainerT<const Rule>& rule, const RuleValueSnapshot& parent,
                          Lumo::Result (Rule::*iterLayers)(Lumo::IteratorT<const LayerRule>&) const)
{
    Lumo::String name;
    if (!rule->GetName(name))
        return false;
    const RuleValueSnapshot* node = NodeOf(parent, name);
    if (!node || !RestoreLocked(rule, *node))
        return false;
    Lumo::IteratorT<const LayerRule> layers;
    if (!((*rule).*iterLayers)(layers))
        return false;
    Lumo::Result layersWalk;
    for (; walkOn(layers, layersWalk); ++layers)
    {
        Lumo::ContainerT<const Lumo::INorvLayer> layer;
        Lumo::String layerName;
        if (!layers->GetParentLayer(layer) || !layer->GetName(layerName))
            return false;
        const RuleValueSnapshot* child = NodeOf(*node, layerName);
        if (!child || !RestoreLocked<LayerRule>(layers, *child))
            return false;
    }
    if (!layersWalk)
        return false;
    return true;
}

template <class LayerRule>
bool SaveLayer(const LayerRule& layerRule, RuleValueSnapshot& ruleNode, bool create, bool withRoute)
{
    Lumo::ContainerT<const Lumo::INorvLayer> layer;
    Lumo::String layerName;
    if (!layerRule.GetParentLayer(layer) || !layer->GetName(layerName))
        return false;
    RuleValueSnapshot* node = NodeFor(ruleNode, layerName.str(), create);
    if (!node)
        return false;
    CFixClearRule::CollectConstraints(layerRule, *node, withRoute);
    return true;
}

// Records a rule under its name and its layer rules under their layers' names.
template <class Rule, class LayerRule>
bool SaveRule(const Rule& rule, RuleValueSnapshot& parent, bool create, bool withRoute,
              Lumo::Result (Rule::*iterLayers)(Lumo::IteratorT<const LayerRule>&) const)
{
    Lumo::String name;
    if (!rule.GetName(name))
        return false;
    RuleValueSnapshot* node = NodeFor(parent, name.str(), create);
    if (!node)
        return false;
    CFixClearRule::CollectConstraints(rule, *node, withRoute);
    Lumo::IteratorT<const LayerRule> layers;
    (rule.*iterLayers)(layers);
    for (; layers.IsValid(); ++layers)
        SaveLayer(*layers, *node, create, withRoute);
    return true;
}

} // namespace

// -------------------------------------------------------------------------------------------------
// Default objects and names

CFixStatus CFixClearRule::AddMissingGenClear()
{
    Lumo::ContainerT<const Lumo::INorvGenClear> genClear;
    if (Design()->GetNorvGenClear(genClear) && genClear.IsValid())
        return CFixStatus();
    Lumo::MutableContainerT<Lumo::INorvDesign> design;
    if (Lumo::Result r = Lumo::LockerT<Lumo::INorvDesign>::Lock(Design(), design); !r)
        return CFixStatus(r);
    Lumo::MutableContainerT<Lumo::INorvGenClear> added;
    if (Lumo::Result r = design->AddGenClear(added); !r)
        return CFixStatus(r);
    Lumo::LockerT<Lumo::INorvDesign>::UnLock(design);
    return CFixStatus(true);
}

CFixStatus CFixClearRule::AddDefaultClearRule()
{
    // A rule whose name differs only in case is not added to: not fixed, nothing changed.
    const CFixStatus clash;
    return AddDefaultObject(
        "(Default Rule)",
        [](const Lumo::INorvDesign& design, Lumo::ListT<Lumo::NorvObjectInfo>& found, const Lumo::String& name,
           const SearchParams& params) { return design.FindClearRule(found, name, params); },
        [](Lumo::INorvDesign& design, const Lumo::String& name) {
            Lumo::MutableContainerT<Lumo::INorvClearRule> added;
            return design.AddClearRule(added, name);
        },
        &Confirmed, &clash);
}

CFixStatus CFixClearRule::RenameDuplicatedScheme()
{
    const std::string duplicated = FixContext::s_fixName1;
    const Lumo::Index index = FixContext::s_fixIndex2;
    if (index.IsEmpty())
        return CFixStatus(false, true, "Cannot rename scheme");
    Lumo::ContainerT<const Lumo::INorvScheme> scheme;
    if (Lumo::Result r = Uids().GetNorvScheme(scheme, index); !r)
        return CFixStatus(r);
    Lumo::String current;
    if (Lumo::Result r = scheme->GetName(current); !r)
        return CFixStatus(r);
    if (FoldCase(current.str()) != FoldCase(duplicated))
        return CFixStatus(true);
    Lumo::ContainerT<const Lumo::INorvDesign> parent;
    if (!scheme->GetParentDesign(parent))
        return CFixStatus();
    auto search = [&](const Lumo::String& name, Lumo::ListT<Lumo::NorvObjectInfo>& found) {
        return parent->FindScheme(found, name, Search(Lumo::SP_0, Lumo::SP_5));
    };
    return RenameToFreeName(scheme, current, search);
}

CFixStatus CFixClearRule::RenameDuplicatedClearRule()
{
    const Lumo::Index index = FixContext::s_fixIndex2;
    if (index.IsEmpty())
        return CFixStatus(false, true, "Cannot find clearance rule");
    const std::string current = FixContext::s_fixName2;
    Lumo::ContainerT<const Lumo::INorvClearRule> rule;
    if (Lumo::Result r = Uids().GetNorvClearRule(rule, index); !r)
        return CFixStatus(r);
    std::string name;
    const Lumo::Result searched =
        FindFreeName(current, [](const Lumo::String& candidate, Lumo::ListT<Lumo::NorvObjectInfo>& found) {
            return Design()->FindClearRule(found, candidate, Search(Lumo::SP_0, Lumo::SP_5));
        }, name);
    if (!searched)
        return CFixStatus(searched);
    if (Lumo::Result r = RenameLocked(rule, name); !r)
        return CFixStatus(r);
    CFixMgr::m_bReloadFlag = true;
    const std::string message = "Duplicated clearance rule renamed to " + name;
    return CFixStatus(true, false, message);
}

CFixStatus CFixClearRule::RenameInvalidClearRuleName()
{
    return RenameRepairs<ClearRuleKind>::RenameInvalidName();
}

// -------------------------------------------------------------------------------------------------
// Re-creating a clearance rule

CFixStatus CFixClearRule::RecreateClearRule()
{
    const std::string ruleName = FixContext::s_fixName1;
    if (ruleName.empty())
        return CFixStatus(false, true, "Cannot get clearance rule!");
    if (SchemeHoldsRule(ruleName, FixContext::s_fixName2))
        return CFixStatus(true);
    Lumo::ListT<Lumo::NorvObjectInfo> found;
    if (Lumo::Result r = Design()->FindClearRule(found, Lumo::String(ruleName), Search(Lumo::SP_0, Lumo::SP_5)); !r)
        return CFixStatus(r);
    if (found.IsEmpty())
        return CFixStatus(true);
    const Lumo::Index oldIndex = FirstIndex(found);

    std::list<SavedConstraintSet> saved;
    SaveClearRuleConstraints(saved, ruleName);
    Lumo::ContainerT<const Lumo::INorvClearRule> oldRule;
    Uids().GetNorvClearRule(oldRule, oldIndex);

    // The new rule comes first (names are not checked), so that a failed add changes nothing.
    Lumo::MutableContainerT<Lumo::INorvDesign> design;
    if (Lumo::Result r = Lumo::LockerT<Lumo::INorvDesign>::Lock(Design(), design); !r)
        return CFixStatus(r);
    Lumo::MutableContainerT<Lumo::INorvClearRule> added;
    if (!design->AddClearRule(added, Lumo::String(ruleName)))
        return CFixStatus();
    // The rule's own values and attributes go over like those of its scheme rules: what cannot be
    // copied is not reported.
    if (oldRule.IsValid())
    {
        CopyConstraints(*oldRule, *added);
        CopyAttributes(*oldRule, *added);
    }
    if (Lumo::Result r = design->DeleteClearRule(oldIndex); !r)
        return CFixStatus(r);
    Lumo::LockerT<Lumo::INorvDesign>::UnLock(design);

    RestoreSchemaClearRules(saved, ruleName);
    const std::string message = "Clear rule '" + ruleName + "' was recreated, please verify constraints!";
    return CFixStatus(true, false, message);
}

void CFixClearRule::SaveClearRuleConstraints(std::list<SavedConstraintSet>& saved, const std::string& ruleName)
{
    Lumo::IteratorT<const Lumo::INorvScheme> schemes;
    Design()->GetIterSchemes(schemes);
    for (; schemes.IsValid(); ++schemes)
    {
        Lumo::String schemeName;
        Lumo::Index schemeIndex;
        schemes->GetName(schemeName);
        Lumo::ListT<Lumo::NorvObjectInfo> found;
        if (!schemes->GetIndex(schemeIndex) ||
            !schemes->FindSchemaClearRule(found, Lumo::String(ruleName), Search(Lumo::SP_0, Lumo::SP_5)))
            continue;
        for (auto entry = found.GetIterator(); entry.IsValid(); ++entry)
        {
            Lumo::ContainerT<const Lumo::INorvSchemaClearRule> schemaRule;
            if (!Uids().GetNorvSchemaClearRule(schemaRule, entry->index))
                continue;
            SaveSet(*schemaRule, schemeName, schemeIndex, 0, saved);
            Lumo::IteratorT<const Lumo::INorvLayerClearRule> layers;
            schemaRule->GetIterLayerClearRules(layers);
            for (; layers.IsValid(); ++layers)
            {
                int32_t layer = 0;
                if (layers->GetLayerIndex(layer))
                    SaveSet(*layers, schemeName, schemeIndex, layer, saved);
            }
        }
    }
}

void CFixClearRule::RestoreSchemaClearRules(const std::list<SavedConstraintSet>& saved, const std::string& ruleName)
{
    // Each set goes only into its own target: both targets are dropped whenever the scheme or the
    // layer changes, before they are looked up again.
    bool anyScheme = false;
    Lumo::Index currentScheme;
    int32_t lastLayer = 0;
    Lumo::ContainerT<const Lumo::INorvSchemaClearRule> schemaRule;
    Lumo::ContainerT<const Lumo::INorvLayerClearRule> layerRule;
    for (const SavedConstraintSet& set : saved)
    {
        if (!anyScheme || set.schemeIndex != currentScheme)
        {
            anyScheme = true;
            currentScheme = set.schemeIndex;
            lastLayer = 0;
            schemaRule.Release();
            layerRule.Release();
            Lumo::ContainerT<const Lumo::INorvScheme> scheme;
            Lumo::ListT<Lumo::NorvObjectInfo> found;
            if (Uids().GetNorvScheme(scheme, set.schemeIndex) &&
                scheme->FindSchemaClearRule(found, Lumo::String(ruleName), Search(Lumo::SP_0, Lumo::SP_5)) &&
                !found.IsEmpty())
                Uids().GetNorvSchemaClearRule(schemaRule, FirstIndex(found));
        }
        if (set.layer > 0 && set.layer != lastLayer && schemaRule.IsValid())
        {
            lastLayer = set.layer;
            layerRule.Release();
            Lumo::ListT<Lumo::NorvObjectExtInfo> found;
            if (schemaRule->FindLayerClearRule(found, set.layer) && !found.IsEmpty())
                Uids().GetNorvLayerClearRule(layerRule, FirstIndex(found));
        }
        if (set.layer == 0)
            WriteSet(schemaRule, set);
        else if (set.layer == lastLayer)
            WriteSet(layerRule, set);
    }
}

void CFixClearRule::SetConstraintValue(Lumo::IObjectNorv& target, const SavedConstraintSet& set)
{
    for (const auto& entry : set.values)
    {
        Lumo::ContainerT<const Lumo::INorvConstraint> constraint;
        bool definition = true;
        if (target.GetConstraint(constraint, entry.first) && constraint->IsDefinition(definition) && !definition)
        {
            Lumo::MutableContainerT<Lumo::INorvConstraint> locked;
            if (Lumo::LockerT<Lumo::INorvConstraint>::Lock(constraint, locked))
            {
                locked->SetValue(entry.second);
                Lumo::LockerT<Lumo::INorvConstraint>::UnLock(locked);
            }
            continue;
        }
        Lumo::MutableContainerT<Lumo::INorvConstraint> added;
        target.AddConstraint(entry.first, entry.second, added);
    }
}

// -------------------------------------------------------------------------------------------------
// Rebuilding a scheme

CFixStatus CFixClearRule::RebuildSchemeClearRules()
{
    const std::string ruleName = FixContext::s_fixName1;
    if (ruleName.empty())
        return CFixStatus(false, true, "Empty clearance rule name");
    const std::string schemeName = FixContext::s_fixName2;
    if (schemeName.empty())
        return CFixStatus(false, true, "Empty scheme name");

    Lumo::ListT<Lumo::NorvObjectInfo> found;
    if (Lumo::Result r = Design()->FindScheme(found, Lumo::String(schemeName), Search(Lumo::SP_0, Lumo::SP_5)); !r)
        return CFixStatus(r);
    if (found.IsEmpty())
        return CFixStatus(true);
    if (found.Count() > 1)
        return CFixStatus();
    Lumo::ContainerT<const Lumo::INorvScheme> oldScheme;
    if (Lumo::Result r = Uids().GetNorvScheme(oldScheme, FirstIndex(found)); !r)
        return CFixStatus(r);
    if (Lumo::Result r = oldScheme->FindSchemaClearRule(found, Lumo::String(ruleName), Search(Lumo::SP_0, Lumo::SP_5)); !r)
        return CFixStatus(r);
    if (found.Count() == 1)
        return CFixStatus(true);
    Lumo::ESchemeType type = Lumo::ST_Ordinary;
    if (Lumo::Result r = oldScheme->GetType(type); !r)
        return CFixStatus(r);

    Lumo::MutableContainerT<Lumo::INorvDesign> design;
    if (Lumo::Result r = Lumo::LockerT<Lumo::INorvDesign>::Lock(Design(), design); !r)
        return CFixStatus(r);
    Lumo::MutableContainerT<Lumo::INorvScheme> newScheme;
    if (Lumo::Result r = design->AddScheme(newScheme, Lumo::String(schemeName + "_TMP"), type); !r)
        return CFixStatus(r);
    if (!CopyConstraints(*oldScheme, *newScheme) || !CopyAttributes(*oldScheme, *newScheme))
        return CFixStatus();
    if (CFixStatus copied = CopySchemaClearRules(*oldScheme, *newScheme); !copied.fixed)
        return copied;
    // The scheme's net-class rules keep their values too, each in the new rule of its net class.
    if (CFixStatus copied = CopySchemaNetClassRules(*oldScheme, *newScheme); !copied.fixed)
        return copied;

    Lumo::Index oldIndex;
    if (Lumo::Result r = oldScheme->GetIndex(oldIndex); !r)
        return CFixStatus(r);
    if (Lumo::Result r = design->DeleteScheme(oldIndex); !r)
        return CFixStatus(r);
    if (Lumo::Result r = newScheme->SetName(Lumo::String(schemeName)); !r)
        return CFixStatus(r);
    UnLockChanged(newScheme);
    UnLockChanged(design);
    return CFixStatus(true);
}

bool CFixClearRule::CopyConstraints(const Lumo::IObjectNorv& source, Lumo::IObjectNorv& target)
{
    Lumo::IteratorT<const Lumo::INorvConstraint> constraints;
    if (!source.GetIterConstraints(constraints, Lumo::CIT_All))
        return false;
    Lumo::Result constraintsWalk;
    for (; walkOn(constraints, constraintsWalk); ++constraints)
    {
        Lumo::String name;
        Lumo::ConstraintData value;
        Lumo::ListAttribute attributes;
        if (!constraints->GetName(name) || !constraints->GetValue(value) || !constraints->GetAttributes(attributes))
            return false;
        Lumo::MutableContainerT<Lumo::INorvConstraint> added;
        if (!target.AddConstraint(name, value, added) || !added->SetAttributes(attributes))
            return false;
        UnLockChanged(added);
    }
    if (!constraintsWalk)
        return false;
    return true;
}

bool CFixClearRule::CopyAttributes(const Lumo::IObjectNorv& source, Lumo::IObjectNorv& target)
{
    Lumo::ListAttribute attributes;
    if (!source.GetAttributes(attributes))
        return false;
    return attributes.IsEmpty() || static_cast<bool>(target.SetAttributes(attributes));
}

// -------------------------------------------------------------------------------------------------
// Rule value snapshots

void CFixClearRule::CollectConstraints(const Lumo::IObjectNorv& object, RuleValueSnapshot& node, bool withRoute)
{
    Lumo::IteratorT<const Lumo::INorvConstraint> constraints;
    object.GetIterConstraints(constraints, Lumo::CIT_All);
    for (; constraints.IsValid(); ++constraints)
    {
        Lumo::String name;
        Lumo::EConstraintType type = Lumo::CDT_Default;
        Lumo::ConstraintData value;
        if (!constraints->GetName(name) || !constraints->GetConstraintType(type) || type != Lumo::CDT_Double ||
            !constraints->GetValue(value))
            continue;
        const auto entry = node.values.emplace(name, value.doubleValue);
        if (!entry.second && value.doubleValue < entry.first->second)
            entry.first->second = value.doubleValue;
    }
    if (!withRoute)
        return;
    Lumo::ContainerT<const Lumo::INorvConstraint> route;
    Lumo::ConstraintData value;
    if (object.GetConstraint(route, "ROUTE") && route.IsValid() && route->GetValue(value))
        node.route = value.intValue;
}

bool CFixClearRule::SaveSchemaNetClassRule(const Lumo::INorvSchemaNetClassRule& rule, RuleValueSnapshot& parent,
                                           bool create, bool withRoute)
{
    if (!SaveRule(rule, parent, create, withRoute, &Lumo::INorvSchemaNetClassRule::GetIterLayerRules))
        return false;
    // Child rules are kept beside their parent, by their own names.
    Lumo::IteratorT<const Lumo::INorvSchemaNetClassRule> children;
    rule.GetIterSchemeNetClassRuleChild(children);
    for (; children.IsValid(); ++children)
        SaveSchemaNetClassRule(*children, parent, create, withRoute);
    return true;
}

bool CFixClearRule::SaveSchemaClearRule(const Lumo::INorvSchemaClearRule& rule, RuleValueSnapshot& parent, bool create)
{
    return SaveRule(rule, parent, create, false, &Lumo::INorvSchemaClearRule::GetIterLayerClearRules);
}

bool CFixClearRule::SaveLayerRule(const Lumo::INorvLayerRule& layerRule, RuleValueSnapshot& ruleNode, bool create,
                                  bool withRoute)
{
    return SaveLayer(layerRule, ruleNode, create, withRoute);
}

bool CFixClearRule::SaveLayerClearRule(const Lumo::INorvLayerClearRule& layerRule, RuleValueSnapshot& ruleNode,
                                       bool create)
{
    return SaveLayer(layerRule, ruleNode, create, false);
}

bool CFixClearRule::RestoreLayerRules(const Lumo::ContainerT<const Lumo::INorvSchemaNetClassRule>& rule,
                                      const RuleValueSnapshot& parent)
{
    return RestoreRuleAndLayers(rule, parent, &Lumo::INorvSchemaNetClassRule::GetIterLayerRules);
}

bool CFixClearRule::RestoreLayerClearRules(const Lumo::ContainerT<const Lumo::INorvSchemaClearRule>& rule,
                                           const RuleValueSnapshot& parent)
{
    return RestoreRuleAndLayers(rule, parent, &Lumo::INorvSchemaClearRule::GetIterLayerClearRules);
}

bool CFixClearRule::RestoreObjectConstraints(Lumo::IObjectNorv& object, const RuleValueSnapshot& node)
{
    for (const auto& entry : node.values)
        SetConstraintByString(object, entry.first, Lumo::String(DoubleText(entry.second)), true);
    Lumo::Index index;
    if (object.GetIndex(index) &&
        (index.GetType() == Lumo::OT_NorvSchemeNetClassRule || index.GetType() == Lumo::OT_NorvLayerRule))
        SetConstraintByString(object, "ROUTE", Lumo::String(std::to_string(node.route)), true);
    return true;
}

Lumo::Result CFixClearRule::SetConstraintByString(Lumo::IObjectNorv& object, const Lumo::String& name,
                                                  const Lumo::String& text, bool force)
{
    if (text.IsEmpty())
        return Lumo::Result();
    Lumo::ContainerT<const Lumo::INorvConstraint> constraint;
    const Lumo::Result found = object.GetConstraint(constraint, name);
    bool definition = false;
    if (found && constraint->IsDefinition(definition) && definition)
    {
        // Only the definition's default: a value equal to it is not added.
        Lumo::String current;
        Lumo::EConstraintType kind = Lumo::CDT_Default;
        if (constraint->GetValueByString(current, kind))
        {
            const bool equal = kind == Lumo::CDT_Double ? std::atof(current.c_str()) == std::atof(text.c_str())
                                                        : current.Compare(text, Lumo::SP_MatchCase) == 0;
            if (equal)
                return found;
        }
    }
    else if (found)
    {
        Lumo::MutableContainerT<Lumo::INorvConstraint> locked;
        if (Lumo::Result r = Lumo::LockerT<Lumo::INorvConstraint>::Lock(constraint, locked); !r)
            return r;
        Lumo::EConstraintType kind = Lumo::CDT_Default;
        if (Lumo::Result r = locked->GetConstraintType(kind); !r)
            return r;
        Lumo::Result written;
        if (force || kind == Lumo::CDT_Int || kind == Lumo::CDT_Double || kind == Lumo::CDT_Text)
        {
            written = locked->SetValueByString(text);
        }
        else
        {
            Lumo::ConstraintData value;
            if (Lumo::Result r = locked->GetValue(value); !r)
            {
                Lumo::LockerT<Lumo::INorvConstraint>::UnLock(locked);
                return r;
            }
            if (kind == Lumo::CDT_IntList)
                value.intList.push_back(std::atoi(text.c_str()));
            else if (kind == Lumo::CDT_DoubleList)
                value.doubleList.push_back(std::atof(text.c_str()));
            else if (kind == Lumo::CDT_TextList)
                value.textList.push_back(text);
            written = locked->SetValue(value);
        }
        Lumo::LockerT<Lumo::INorvConstraint>::UnLock(locked);
        return written;
    }
    Lumo::MutableContainerT<Lumo::INorvConstraint> added;
    const Lumo::Result result = object.AddConstraintByString(name, text, added);
    if (result)
        Lumo::LockerT<Lumo::INorvConstraint>::UnLock(added);
    return result;
}
