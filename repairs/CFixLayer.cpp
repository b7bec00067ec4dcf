#include "repairs/CFixLayer.h"

#include "framework/FixContext.h"
#include "repairs/RepairSupport.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

using RepairSupport::Uids;

namespace {

const char* const kLayerType = "Layer";

// The value of the leading decimal digits of text; 0 without any.
int32_t LeadingNumber(const std::string& text)
{
    int64_t value = 0;
    for (char c : text)
    {
        if (c < '0' || c > '9')
            break;
        value = value * 10 + (c - '0');
        if (value > INT32_MAX)
            return INT32_MAX;
    }
    return static_cast<int32_t>(value);
}

Lumo::Result SetNumber(const Lumo::ContainerT<const Lumo::INorvLayer>& layer, int32_t number)
{
    return RepairSupport::LockAndChange(layer, [number](Lumo::INorvLayer& l) { return l.SetLayerNumber(number); });
}

} // namespace

bool CFixLayer::LessByLayerNumber(const LayerEntry& a, const LayerEntry& b)
{
    return a.number < b.number;
}

CFixStatus CFixLayer::RenumberLayers()
{
    Lumo::IteratorT<const Lumo::INorvLayer> layers;
    if (Lumo::Result r = FixContext::s_fixNorvDesign->GetIterLayers(layers); !r)
        return CFixStatus(r);
    int count = 0;
    if (Lumo::Result r = layers.GetCount(count); !r)
        return CFixStatus(r);

    std::vector<LayerEntry> entries;
    entries.reserve(count > 0 ? static_cast<size_t>(count) : 0);
    Lumo::Result layersWalk;
    for (; walkOn(layers, layersWalk); ++layers)
    {
        LayerEntry entry;
        if (Lumo::Result r = layers->GetLayerNumber(entry.number); !r)
            return CFixStatus(r);
        entry.layer = layers;
        entries.push_back(entry);
    }
    if (!layersWalk)
        return CFixStatus(layersWalk);

    // Layers that share a number keep the design's order among themselves.
    std::stable_sort(entries.begin(), entries.end(), &CFixLayer::LessByLayerNumber);
    int32_t next = 1;
    for (LayerEntry& entry : entries)
        entry.newNumber = next++;

    for (const LayerEntry& entry : entries)
    {
        if (entry.newNumber == entry.number)
            continue;
        if (Lumo::Result r = SetNumber(entry.layer, entry.newNumber); !r)
            return CFixStatus(r);
    }
    return CFixStatus(true);
}

CFixStatus CFixLayer::MoveDuplicatedLayerNumber()
{
    if (FixContext::s_fixIndex1.IsEmpty())
        return CFixStatus(false, true, "Cannot load layer.");
    if (FixContext::s_fixName1.empty())
        return CFixStatus(false, true, "Cannot get layer name.");
    const int32_t start = LeadingNumber(FixContext::s_fixName1);
    if (FixContext::s_fixIndex2.IsEmpty())
        return CFixStatus(false, true, "Cannot load layer.");
    if (FixContext::s_fixName2.empty())
        return CFixStatus(false, true, "Cannot get layer name.");

    Lumo::IteratorT<const Lumo::INorvLayer> layers;
    if (Lumo::Result r = FixContext::s_fixNorvDesign->GetIterLayers(layers); !r)
        return CFixStatus(r);
    int count = 0;
    if (Lumo::Result r = layers.GetCount(count); !r)
        return CFixStatus(r);

    std::set<Lumo::Index> seen;
    std::map<std::string, int32_t> moved;
    for (int32_t current = start; current < count; ++current)
    {
        Lumo::Result layersWalk;
        for (; walkOn(layers, layersWalk); ++layers)
        {
            Lumo::Index index;
            if (Lumo::Result r = layers->GetIndex(index); !r)
                return CFixStatus(r);
            if (seen.count(index) != 0)
                continue;
            Lumo::String name;
            if (Lumo::Result r = layers->GetName(name); !r)
                return CFixStatus(r);
            int32_t number = -1;
            if (Lumo::Result r = layers->GetLayerNumber(number); !r)
                return CFixStatus(r);
            if (number != current)
                continue;
            // The first holder of the number met in this pass stays; later ones move up by one.
            if (!seen.empty())
            {
                moved[name.str()] = current + 1;
                if (Lumo::Result r = SetNumber(layers, current + 1); !r)
                    return CFixStatus(r);
            }
            seen.insert(index);
        }
        if (!layersWalk)
            return CFixStatus(layersWalk);
        if (Lumo::Result r = FixContext::s_fixNorvDesign->GetIterLayers(layers); !r)
            return CFixStatus(r);
        seen.clear();
    }

    if (moved.empty())
        return CFixStatus(false);
    std::string message;
    for (const auto& entry : moved)
        message += "Layer: " + entry.first + " moved to new layer position: " + std::to_string(entry.second) + ". ";
    message += " Please review Stackup";
    return CFixStatus(true, false, message);
}

CFixStatus CFixLayer::RenameDuplicatedLayer()
{
    if (FixContext::s_fixIndex1.IsEmpty())
        return CFixStatus(false, true, "Cannot load layer.");
    if (FixContext::s_fixName1.empty())
        return CFixStatus(false, true, "Cannot get layer name.");
    const Lumo::Index index = FixContext::s_fixIndex1;

    std::string candidate;
    for (int n = 1;; ++n)
    {
        candidate = FixContext::s_fixName1 + "(" + std::to_string(n) + ")";
        Lumo::IteratorT<const Lumo::INorvLayer> layers;
        if (!FixContext::s_fixNorvDesign->GetIterLayers(layers))
            return CFixStatus(false);
        bool taken = false;
        Lumo::Result layersWalk;
        for (; walkOn(layers, layersWalk) && !taken; ++layers)
        {
            Lumo::String name;
            if (!layers->GetName(name))
                return CFixStatus(false);
            taken = name == candidate;
        }
        if (!layersWalk)
            return CFixStatus(layersWalk);
        if (!taken)
            break;
    }

    Lumo::ContainerT<const Lumo::INorvLayer> layer;
    if (Lumo::Result r = Uids().GetNorvLayer(layer, index); !r)
        return FixedIfGone(r, index);
    if (Lumo::Result r = RepairSupport::LockAndChange(layer, [&](Lumo::INorvLayer& l) { return l.SetName(candidate); }); !r)
        return CFixStatus(r);
    return CFixStatus(true);
}

CFixStatus CFixLayer::SetLayerUsage()
{
    Lumo::ContainerT<const Lumo::INorvLayer> layer;
    if (!FixContext::s_fixNorvDesign->GetLayer(FixContext::s_fixIndex1, layer) || !layer->IsValid())
        return CFixStatus(false, true, "Cannot get layer.");
    Lumo::ELayerType type = Lumo::LT_Metallic;
    if (!layer->GetType(type))
        return CFixStatus(false, true, "Cannot get layer type.");

    bool plane = false;
    Lumo::ContainerT<const Lumo::INorvConstraint> planeNets;
    Lumo::String planeText;
    if (layer->GetConstraint(planeNets, "PLANE_NETS") && planeNets->GetValueByString(planeText))
        plane = !planeText.IsEmpty();

    Lumo::MutableContainerT<Lumo::INorvLayer> locked;
    if (Lumo::Result r = Lumo::LockerT<Lumo::INorvLayer>::Lock(layer, locked); !r)
        return CFixStatus(r);
    const char* usage = nullptr;
    if (type == Lumo::LT_Substrate)
        usage = "Substrate";
    else if (type == Lumo::LT_Metallic)
        usage = plane ? "Plane" : "Signal";
    else
        return CFixStatus(false);
    Lumo::MutableContainerT<Lumo::INorvConstraint> added;
    if (Lumo::Result r = locked->AddConstraintByString("LAYER_USAGE", usage, added); !r)
        return CFixStatus(r);
    RepairSupport::UnLockChanged(locked);
    return CFixStatus(true);
}

bool CFixLayer::LoadZAxisRule(Lumo::ContainerT<const Lumo::INorvGenCompObj>& rule, CFixStatus& status)
{
    if (FixContext::s_fixName1.empty())
        status = CFixStatus(false, true, "Cannot get layer name.");
    else if (FixContext::s_fixIndex2.IsEmpty())
        status = CFixStatus(false, true, "Cannot load Z-axis clearance rule.");
    else if (Lumo::Result r = Uids().GetNorvGenCompObj(rule, FixContext::s_fixIndex2); !r)
        status = FixedIfGone(r, FixContext::s_fixIndex2);
    else
        return true;
    return false;
}

CFixStatus CFixLayer::AddMissingZAxisLayer()
{
    Lumo::ContainerT<const Lumo::INorvGenCompObj> rule;
    CFixStatus status;
    if (!LoadZAxisRule(rule, status))
        return status;
    Lumo::ContainerT<const Lumo::INorvGenObj> existing;
    if (rule->GetGenObj(FixContext::s_fixName1, kLayerType, existing))
        return CFixStatus(true);
    if (Lumo::Result r = RepairSupport::LockAndChange(
            rule, [](Lumo::INorvGenCompObj& locked) { return locked.AddGenObj(FixContext::s_fixName1, kLayerType); });
        !r)
        return CFixStatus(r);
    return CFixStatus(true);
}

CFixStatus CFixLayer::RemoveDuplicatedZAxisLayers()
{
    Lumo::ContainerT<const Lumo::INorvGenCompObj> rule;
    CFixStatus status;
    if (!LoadZAxisRule(rule, status))
        return status;
    Lumo::IteratorT<const Lumo::INorvGenObj> objects;
    Lumo::Result objectsWalk = rule->GetIterGenObjs(objects);
    std::vector<Lumo::Index> duplicates;
    bool first = true;
    for (; walkOn(objects, objectsWalk); ++objects)
    {
        Lumo::String name;
        if (Lumo::Result r = objects->GetName(name); !r)
            return CFixStatus(r);
        if (name != FixContext::s_fixName1)
            continue;
        if (first)
        {
            first = false;
            continue;
        }
        Lumo::Index duplicate;
        objects->GetIndex(duplicate);
        duplicates.push_back(duplicate);
    }
    if (!objectsWalk)
        return CFixStatus(objectsWalk);
    if (duplicates.empty())
        return CFixStatus(false, true, "Cannot find duplicated layers.");

    Lumo::MutableContainerT<Lumo::INorvGenCompObj> locked;
    if (Lumo::Result r = Lumo::LockerT<Lumo::INorvGenCompObj>::Lock(rule, locked); !r)
        return CFixStatus(r);
    for (const Lumo::Index& duplicate : duplicates)
    {
        if (Lumo::Result r = locked->DeleteGenObj(duplicate); !r)
            return CFixStatus(r);
    }
    Lumo::LockerT<Lumo::INorvGenCompObj>::UnLock(locked);
    return CFixStatus(true, false, "Duplicated layers were removed");
}

// ---------------------------------------------------------------------------------------------------
// Re-creating a net class whose scheme rules lack a layer rule.

namespace {

using NetClassRead = Lumo::ContainerT<const Lumo::INorvNetClass>;
using NetClassWrite = Lumo::MutableContainerT<Lumo::INorvNetClass>;
using RuleRead = Lumo::ContainerT<const Lumo::INorvSchemaNetClassRule>;

const char* const kMinimumScheme = "(Minimum)";

Lumo::SearchParams ExactNameSearch()
{
    return RepairSupport::Search(Lumo::SP_0, Lumo::SP_5, Lumo::SP_MatchCase);
}

// The name of the scheme a rule belongs to: its own parent scheme, or that of the topmost rule above it.
Lumo::Result SchemeNameOf(const RuleRead& rule, Lumo::String& name)
{
    Lumo::ContainerT<const Lumo::INorvScheme> scheme;
    if (!rule->GetParentScheme(scheme))
    {
        RuleRead current;
        RuleRead above;
        if (Lumo::Result r = rule->GetParentSchemeNetClassRule(above); !r)
            return r;
        do
            current = above;
        while (current->GetParentSchemeNetClassRule(above));
        if (Lumo::Result r = current->GetParentScheme(scheme); !r)
            return r;
    }
    return scheme->GetName(name);
}

Lumo::Result RenameClass(const NetClassRead& netClass, const std::string& name)
{
    return RepairSupport::LockAndChange(netClass, [&](Lumo::INorvNetClass& c) { return c.SetName(name); });
}

// The class's name + "_" + n for the first n that the search finds free.
template <class Search>
std::string TemporaryName(const std::string& name, Search&& search)
{
    for (uint64_t n = 0;; ++n)
    {
        const std::string candidate = name + "_" + std::to_string(n);
        Lumo::ListT<Lumo::NorvObjectInfo> found;
        if (!search(found, candidate) || found.IsEmpty())
            return candidate;
    }
}

// Calls visit(child, namesake) for each child class of walked that other has a child class of the same
// name for; the first failure as its result.
template <class Visit>
Lumo::Result ForEachNamesake(const NetClassRead& walked, const NetClassRead& other, Visit&& visit)
{
    Lumo::IteratorT<const Lumo::INorvNetClass> children;
    if (Lumo::Result r = walked->GetIterChildNetClasses(children); !r)
        return r;
    Lumo::Result childrenWalk;
    for (; walkOn(children, childrenWalk); ++children)
    {
        Lumo::String name;
        if (Lumo::Result r = children->GetName(name); !r)
            return r;
        Lumo::ListT<Lumo::NorvObjectInfo> found;
        if (Lumo::Result r = other->FindChildNetClass(found, name, ExactNameSearch()); !r)
            return r;
        if (found.IsEmpty())
            continue;
        NetClassRead namesake;
        if (Lumo::Result r = RepairSupport::Uids().GetNorvNetClass(namesake, found.GetIterator()->index); !r)
            return r;
        if (Lumo::Result r = visit(children, namesake); !r)
            return r;
    }
    if (!childrenWalk)
        return childrenWalk;
    return Lumo::Result();
}

// Moves the physical nets of the new class tree back to the matching classes of the old tree (children
// matched by name), so that a re-creation that cannot complete leaves every net where it was.
Lumo::Result MoveNetsBack(const NetClassRead& newClass, const NetClassRead& oldClass)
{
    NetClassWrite lockedOld;
    if (Lumo::Result r = Lumo::LockerT<Lumo::INorvNetClass>::Lock(oldClass, lockedOld); !r)
        return r;
    Lumo::ListT<Lumo::Index> nets;
    if (Lumo::Result r = newClass->GetListPhysicalNets(nets); !r)
        return r;
    for (auto it = nets.GetIterator(); it.IsValid(); ++it)
    {
        if (Lumo::Result r = RepairSupport::MoveNetToClass(*it, *lockedOld); !r)
            return r;
    }
    RepairSupport::UnLockChanged(lockedOld);

    return ForEachNamesake(newClass, oldClass, [](const NetClassRead& child, const NetClassRead& oldChild) {
        return MoveNetsBack(child, oldChild);
    });
}

// Pairs each class of the old tree with its copy in the new tree (children matched by name).
Lumo::Result PairClassTrees(const NetClassRead& oldClass, const NetClassRead& newClass,
                            std::map<Lumo::Index, Lumo::Index>& pairs)
{
    Lumo::Index oldIndex;
    Lumo::Index newIndex;
    if (Lumo::Result r = oldClass->GetIndex(oldIndex); !r)
        return r;
    if (Lumo::Result r = newClass->GetIndex(newIndex); !r)
        return r;
    pairs[oldIndex] = newIndex;
    return ForEachNamesake(oldClass, newClass, [&](const NetClassRead& child, const NetClassRead& newChild) {
        return PairClassTrees(child, newChild, pairs);
    });
}

// Carries the old class's contents over to the new class, whose constraint classes then follow, and
// deletes the old class (deleteClass). Contents that cannot be carried over (not fixed) leave the design
// as found: the nets go back, the new class is deleted and the old class takes its name back. A
// failing call returns its result.
template <class DeleteClass>
CFixStatus CarryOver(const NetClassRead& oldClass, const NetClassWrite& newClass, const std::string& name,
                     const Lumo::Index& oldIndex, DeleteClass&& deleteClass)
{
    const CFixStatus moved = CFixLayer::MoveNetClassContents(oldClass, newClass);
    if (moved.error)
        return moved;
    if (!moved.fixed)
    {
        Lumo::Index newIndex;
        if (Lumo::Result r = MoveNetsBack(newClass.ReadOnly(), oldClass); !r)
            return CFixStatus(r);
        if (Lumo::Result r = newClass->GetIndex(newIndex); !r)
            return CFixStatus(r);
        if (Lumo::Result r = deleteClass(newIndex); !r)
            return CFixStatus(r);
        if (Lumo::Result r = RenameClass(oldClass, name); !r)
            return CFixStatus(r);
        return CFixStatus(false);
    }
    std::map<Lumo::Index, Lumo::Index> pairs;
    if (Lumo::Result r = PairClassTrees(oldClass, newClass.ReadOnly(), pairs); !r)
        return CFixStatus(r);
    if (Lumo::Result r = RepairSupport::RepointConstraintClasses(pairs); !r)
        return CFixStatus(r);
    if (Lumo::Result r = deleteClass(oldIndex); !r)
        return CFixStatus(r);
    return CFixStatus(true);
}

} // namespace

CFixStatus CFixLayer::RecreateNetClass()
{
    if (FixContext::s_fixName1.empty() || FixContext::s_fixName2.empty() || FixContext::s_fixIndex2.IsEmpty())
        return CFixStatus(false);
    const std::string name = FixContext::s_fixName2;
    const Lumo::Index ruleIndex = FixContext::s_fixIndex2;
    const int32_t layerNumber = static_cast<int32_t>(static_cast<uint32_t>(FixContext::s_fixIndex3.GetValue()));

    RuleRead rule;
    if (Lumo::Result r = Uids().GetNorvSchemaNetClassRule(rule, ruleIndex); !r)
        return FixedIfGone(r, ruleIndex);
    Lumo::ListT<Lumo::NorvObjectExtInfo> layerRules;
    if (!rule->FindLayerRule(layerRules, layerNumber))
        return CFixStatus(false);
    if (!layerRules.IsEmpty())
        return CFixStatus(true);

    NetClassRead oldClass;
    if (!rule->GetParentNetClass(oldClass))
        return CFixStatus(false);
    Lumo::Index oldIndex;
    if (Lumo::Result r = oldClass->GetIndex(oldIndex); !r)
        return CFixStatus(r);
    // A rule of the class that its list leaves out would outlive the re-creation: the class stays.
    bool unlisted = false;
    if (Lumo::Result r = RepairSupport::HasUnlistedRule(oldClass, oldIndex, unlisted); !r)
        return CFixStatus(r);
    if (unlisted)
        return CFixStatus(false);

    NetClassRead parent;
    Lumo::MutableContainerT<Lumo::INorvDesign> design;
    NetClassWrite newClass;
    if (oldClass->GetParentNetClass(parent))
    {
        const std::string temporary = TemporaryName(name, [&](Lumo::ListT<Lumo::NorvObjectInfo>& found, const std::string& candidate) {
            return static_cast<bool>(parent->FindChildNetClass(found, candidate, ExactNameSearch()));
        });
        if (Lumo::Result r = RenameClass(oldClass, temporary); !r)
            return CFixStatus(r);
        if (Lumo::Result r = Lumo::LockerT<Lumo::INorvDesign>::Lock(FixContext::s_fixNorvDesign, design); !r)
            return CFixStatus(r);
        NetClassWrite lockedParent;
        if (Lumo::Result r = Lumo::LockerT<Lumo::INorvNetClass>::Lock(parent, lockedParent); !r)
            return CFixStatus(r);
        if (Lumo::Result r = lockedParent->AddChildNetClass(newClass, name, *design); !r)
            return CFixStatus(r);

        const CFixStatus carried = CarryOver(oldClass, newClass, name, oldIndex, [&](const Lumo::Index& index) {
            return lockedParent->DeleteChildNetClass(index);
        });
        if (!carried.fixed)
            return carried;
        RepairSupport::UnLockChanged(lockedParent);
        RepairSupport::UnLockChanged(design);
        return CFixStatus(true);
    }

    const std::string temporary = TemporaryName(name, [&](Lumo::ListT<Lumo::NorvObjectInfo>& found, const std::string& candidate) {
        return static_cast<bool>(FixContext::s_fixNorvDesign->FindNetClass(found, candidate, ExactNameSearch()));
    });
    if (Lumo::Result r = RenameClass(oldClass, temporary); !r)
        return CFixStatus(r);
    if (Lumo::Result r = Lumo::LockerT<Lumo::INorvDesign>::Lock(FixContext::s_fixNorvDesign, design); !r)
        return CFixStatus(r);
    if (Lumo::Result r = design->AddNetClass(newClass, name); !r)
        return CFixStatus(r);

    const CFixStatus carried = CarryOver(oldClass, newClass, name, oldIndex,
                                         [&](const Lumo::Index& index) { return design->DeleteNetClass(index); });
    if (!carried.fixed)
        return carried;
    RepairSupport::UnLockChanged(design);
    return CFixStatus(true);
}

CFixStatus CFixLayer::MoveNetClassContents(const NetClassRead& source, const NetClassWrite& target)
{
    CFixStatus status = CopyLayerRuleConstraints(*source, *target);
    if (!status.fixed)
        return status;
    status = CopyNetClassAttributes(&*source, &*target);
    if (!status.fixed)
        return status;

    Lumo::ListT<Lumo::Index> nets;
    if (Lumo::Result r = source->GetListPhysicalNets(nets); !r)
        return CFixStatus(r);
    for (auto it = nets.GetIterator(); it.IsValid(); ++it)
    {
        if (Lumo::Result r = RepairSupport::MoveNetToClass(*it, *target); !r)
            return CFixStatus(r);
    }

    Lumo::IteratorT<const Lumo::INorvNetClass> children;
    if (Lumo::Result r = source->GetIterChildNetClasses(children); !r)
        return CFixStatus(r);
    Lumo::MutableContainerT<Lumo::INorvDesign> design;
    if (Lumo::Result r = Lumo::LockerT<Lumo::INorvDesign>::Lock(FixContext::s_fixNorvDesign, design); !r)
        return CFixStatus(r);
    Lumo::Result childrenWalk;
    for (; walkOn(children, childrenWalk); ++children)
    {
        Lumo::String name;
        if (Lumo::Result r = children->GetName(name); !r)
            return CFixStatus(r);
        NetClassWrite newChild;
        if (Lumo::Result r = target->AddChildNetClass(newChild, name, *design); !r)
            return CFixStatus(r);
        status = MoveNetClassContents(children, newChild);
        if (!status.fixed)
            return status;
    }
    if (!childrenWalk)
        return CFixStatus(childrenWalk);

    Lumo::ListT<Lumo::Index> sourceRules;
    Lumo::ListT<Lumo::Index> targetRules;
    if (Lumo::Result r = source->GetSchemaNetClassMappedObjList(sourceRules); !r)
        return CFixStatus(r);
    if (Lumo::Result r = target->GetSchemaNetClassMappedObjList(targetRules); !r)
        return CFixStatus(r);
    for (auto s = sourceRules.GetIterator(); s.IsValid(); ++s)
    {
        RuleRead sourceRule;
        if (Lumo::Result r = Uids().GetNorvSchemaNetClassRule(sourceRule, *s); !r)
            return CFixStatus(r);
        Lumo::String sourceScheme;
        if (Lumo::Result r = SchemeNameOf(sourceRule, sourceScheme); !r)
            return CFixStatus(r);
        for (auto t = targetRules.GetIterator(); t.IsValid(); ++t)
        {
            RuleRead targetRule;
            if (Lumo::Result r = Uids().GetNorvSchemaNetClassRule(targetRule, *t); !r)
                return CFixStatus(r);
            Lumo::String targetScheme;
            if (Lumo::Result r = SchemeNameOf(targetRule, targetScheme); !r)
                return CFixStatus(r);
            if (targetScheme != sourceScheme)
                continue;
            Lumo::MutableContainerT<Lumo::INorvSchemaNetClassRule> locked;
            if (Lumo::Result r = Lumo::LockerT<Lumo::INorvSchemaNetClassRule>::Lock(targetRule, locked); !r)
                return CFixStatus(r);
            status = CopyLayerRules(sourceRule, locked);
            if (!status.fixed)
                return status;
            RepairSupport::UnLockChanged(locked);
            break;
        }
    }
    return CFixStatus(true);
}

namespace {

// Finds the one counterpart of a source object in the target rule, locks it, copies the constraints and
// then the attributes, and unlocks it. Not fixed unless exactly one counterpart was found.
template <class T, class Load, class CopyAttributes>
CFixStatus CopyIntoCounterpart(const Lumo::IObjectNorv& source, const Lumo::ListT<Lumo::NorvObjectInfo>& found,
                               Load&& load, CopyAttributes&& copyAttributes)
{
    if (found.Count() != 1)
        return CFixStatus(false);
    Lumo::ContainerT<const T> counterpart;
    if (Lumo::Result r = load(counterpart, found.GetIterator()->index); !r)
        return CFixStatus(r);
    Lumo::MutableContainerT<T> locked;
    if (Lumo::Result r = Lumo::LockerT<T>::Lock(counterpart, locked); !r)
        return CFixStatus(r);
    CFixStatus status = CFixLayer::CopyLayerRuleConstraints(source, *locked);
    if (!status.fixed)
        return status;
    status = copyAttributes(&*locked);
    if (!status.fixed)
        return status;
    RepairSupport::UnLockChanged(locked);
    return CFixStatus(true);
}

} // namespace

CFixStatus CFixLayer::CopyLayerRules(const RuleRead& source,
                                     const Lumo::MutableContainerT<Lumo::INorvSchemaNetClassRule>& target)
{
    CFixStatus status = CopyLayerRuleConstraints(*source, *target);
    if (!status.fixed)
        return status;
    status = CopySchemaNetClassRuleAttributes(&*source, &*target);
    if (!status.fixed)
        return status;

    Lumo::IteratorT<const Lumo::INorvLayerRule> layerRules;
    Lumo::Result layerRulesWalk = source->GetIterLayerRules(layerRules);
    for (; walkOn(layerRules, layerRulesWalk); ++layerRules)
    {
        int32_t number = 0;
        if (Lumo::Result r = layerRules->GetLayerIndex(number); !r)
            return CFixStatus(r);
        Lumo::ListT<Lumo::NorvObjectExtInfo> extFound;
        if (Lumo::Result r = target->FindLayerRule(extFound, number); !r)
            return CFixStatus(r);
        Lumo::ListT<Lumo::NorvObjectInfo> found;
        for (auto it = extFound.GetIterator(); it.IsValid(); ++it)
            found.Add(Lumo::NorvObjectInfo{it->index, it->name});
        status = CopyIntoCounterpart<Lumo::INorvLayerRule>(
            *layerRules, found,
            [](Lumo::ContainerT<const Lumo::INorvLayerRule>& out, const Lumo::Index& index) {
                return Uids().GetNorvLayerRule(out, index);
            },
            [&](Lumo::INorvLayerRule* copy) { return CopyLayerRuleAttributes(&*layerRules, copy); });
        if (!status.fixed)
            return status;
    }
    if (!layerRulesWalk)
        return CFixStatus(layerRulesWalk);

    Lumo::IteratorT<const Lumo::INorvViaAssign> viaAssigns;
    Lumo::Result viaAssignsWalk = source->GetIterViaAssigns(viaAssigns);
    for (; walkOn(viaAssigns, viaAssignsWalk); ++viaAssigns)
    {
        Lumo::String name;
        if (Lumo::Result r = viaAssigns->GetName(name); !r)
            return CFixStatus(r);
        Lumo::ListT<Lumo::NorvObjectInfo> found;
        if (Lumo::Result r = target->FindViaAssign(found, name, ExactNameSearch()); !r)
            return CFixStatus(r);
        status = CopyIntoCounterpart<Lumo::INorvViaAssign>(
            *viaAssigns, found,
            [](Lumo::ContainerT<const Lumo::INorvViaAssign>& out, const Lumo::Index& index) {
                return Uids().GetNorvViaAssign(out, index);
            },
            [&](Lumo::INorvViaAssign* copy) { return CopyViaAssignAttributes(&*viaAssigns, copy); });
        if (!status.fixed)
            return status;
    }
    if (!viaAssignsWalk)
        return CFixStatus(viaAssignsWalk);
    return CFixStatus(true);
}

namespace {

// The scheme rule that the via assign or layer rule of the index belongs to.
template <class T>
Lumo::Result ParentRuleOf(Lumo::Result (Lumo::IUIDManager::*get)(Lumo::ContainerT<const T>&, const Lumo::Index&) const,
                          const Lumo::Index& index, RuleRead& rule)
{
    Lumo::ContainerT<const T> object;
    if (Lumo::Result r = (Uids().*get)(object, index); !r)
        return r;
    return object->GetParentSchemeNetClassRule(rule);
}

} // namespace

CFixStatus CFixLayer::CopyLayerRuleConstraints(const Lumo::IObjectNorv& source, Lumo::IObjectNorv& target)
{
    Lumo::Index index;
    if (Lumo::Result r = source.GetIndex(index); !r)
        return CFixStatus(r);
    RuleRead governing;
    switch (index.GetType())
    {
    case Lumo::OT_NorvSchemeNetClassRule:
        if (Lumo::Result r = Uids().GetNorvSchemaNetClassRule(governing, index); !r)
            return CFixStatus(r);
        break;
    case Lumo::OT_NorvViaAssign:
        if (Lumo::Result r = ParentRuleOf(&Lumo::IUIDManager::GetNorvViaAssign, index, governing); !r)
            return CFixStatus(r);
        break;
    case Lumo::OT_NorvLayerRule:
        if (Lumo::Result r = ParentRuleOf(&Lumo::IUIDManager::GetNorvLayerRule, index, governing); !r)
            return CFixStatus(r);
        break;
    default:
        break;
    }
    if (governing.IsValid())
    {
        Lumo::ContainerT<const Lumo::INorvScheme> scheme;
        if (Lumo::Result r = governing->GetScheme(scheme); !r)
            return CFixStatus(r);
        Lumo::String schemeName;
        if (Lumo::Result r = scheme->GetName(schemeName); !r)
            return CFixStatus(r);
        if (schemeName == kMinimumScheme)
            return CFixStatus(true);
    }

    Lumo::IteratorT<const Lumo::INorvConstraint> constraints;
    Lumo::Result constraintsWalk = source.GetIterConstraints(constraints, Lumo::CIT_All);
    for (; walkOn(constraints, constraintsWalk); ++constraints)
    {
        Lumo::String name;
        Lumo::EConstraintType type = Lumo::CDT_Default;
        Lumo::String text;
        if (!constraints->GetName(name) || !constraints->GetConstraintType(type) || !constraints->GetValueByString(text))
            return CFixStatus(false);
        Lumo::ContainerT<const Lumo::INorvConstraint> existing;
        bool definition = false;
        const bool found = static_cast<bool>(target.GetConstraint(existing, name));
        if (found)
        {
            if (Lumo::Result r = existing->IsDefinition(definition); !r)
                return CFixStatus(r);
        }
        if (!found || definition)
        {
            Lumo::MutableContainerT<Lumo::INorvConstraint> added;
            if (Lumo::Result r = target.AddConstraintByString(name, text, added); !r)
                return CFixStatus(r);
            const CFixStatus copied = CopyConstraintAttributes(&*constraints, &*added);
            if (!copied.fixed)
                return copied;
            continue;
        }
        Lumo::MutableContainerT<Lumo::INorvConstraint> locked;
        if (Lumo::Result r = Lumo::LockerT<Lumo::INorvConstraint>::Lock(existing, locked); !r)
            return CFixStatus(r);
        if (Lumo::Result r = locked->SetValueByString(text, type); !r)
            return CFixStatus(r);
        const CFixStatus copied = CopyConstraintAttributes(&*constraints, &*locked);
        if (!copied.fixed)
            return copied;
        RepairSupport::UnLockChanged(locked);
    }
    if (!constraintsWalk)
        return CFixStatus(constraintsWalk);
    return CFixStatus(true);
}

CFixStatus CFixLayer::CopyConstraintAttributes(const Lumo::INorvConstraint* source, Lumo::INorvConstraint* target)
{
    return RepairSupport::CopyAttributes(source, target);
}

CFixStatus CFixLayer::CopySchemaNetClassRuleAttributes(const Lumo::INorvSchemaNetClassRule* source,
                                                       Lumo::INorvSchemaNetClassRule* target)
{
    return RepairSupport::CopyAttributes(source, target);
}

CFixStatus CFixLayer::CopyLayerRuleAttributes(const Lumo::INorvLayerRule* source, Lumo::INorvLayerRule* target)
{
    return RepairSupport::CopyAttributes(source, target);
}

CFixStatus CFixLayer::CopyViaAssignAttributes(const Lumo::INorvViaAssign* source, Lumo::INorvViaAssign* target)
{
    return RepairSupport::CopyAttributes(source, target);
}

CFixStatus CFixLayer::CopyNetClassAttributes(const Lumo::INorvNetClass* source, Lumo::INorvNetClass* target)
{
    return RepairSupport::CopyAttributes(source, target);
}
