#include "repairs/RepairSupport.h"

#include <set>

namespace {

Lumo::Result RepointClass(const Lumo::ContainerT<const Lumo::INorvConstraintClass>& constraintClass,
                          const std::map<Lumo::Index, Lumo::Index>& netClasses)
{
    Lumo::ContainerT<const Lumo::INorvNetClass> netClass;
    Lumo::Index netIndex;
    if (constraintClass->GetNetClass(netClass) && netClass->GetIndex(netIndex))
    {
        const auto found = netClasses.find(netIndex);
        if (found != netClasses.end())
        {
            Lumo::ContainerT<const Lumo::INorvNetClass> target;
            if (Lumo::Result r = RepairSupport::Uids().GetNorvNetClass(target, found->second); !r)
                return r;
            Lumo::MutableContainerT<Lumo::INorvNetClass> lockedTarget;
            if (Lumo::Result r = Lumo::LockerT<Lumo::INorvNetClass>::Lock(target, lockedTarget); !r)
                return r;
            if (Lumo::Result r = RepairSupport::LockAndChange(
                    constraintClass, [&](Lumo::INorvConstraintClass& c) { return c.SetNetClass(*lockedTarget); });
                !r)
                return r;
            RepairSupport::UnLockChanged(lockedTarget);
        }
    }
    Lumo::IteratorT<const Lumo::INorvConstraintClass> children;
    if (Lumo::Result r = constraintClass->GetIterChildConstraintClasses(children); !r)
        return r;
    Lumo::Result childrenWalk;
    for (; walkOn(children, childrenWalk); ++children)
    {
        if (Lumo::Result r = RepointClass(children, netClasses); !r)
            return r;
    }
    if (!childrenWalk)
        return childrenWalk;
    return Lumo::Result();
}

using RuleWalk = Lumo::IteratorT<const Lumo::INorvSchemaNetClassRule>;

// Looks through the schemes' net-class rules for one whose parent is the class but which the class's
// own rule list leaves out. Each rule is looked at once, also in a cyclic tree. The search only keeps
// a re-creation from leaving a rule behind, so nothing it cannot read stops the repair: a rule whose
// index or parent cannot be read is not the class's as far as can be told and is passed over (its
// children are still looked at when its index was read), and a walk that fails ends that walk only.
struct UnlistedRuleSearch
{
    Lumo::Index classIndex;
    std::set<Lumo::Index> listed, seen;
    bool found = false;

    // The rules that owner (a scheme, or a rule for its children) opens with open.
    template <class Owner>
    void Below(const Owner& owner, Lumo::Result (Owner::*open)(RuleWalk&) const)
    {
        RuleWalk rules;
        if (!(owner.*open)(rules))
            return;
        Lumo::Result rulesWalk;
        for (; !found && walkOn(rules, rulesWalk); ++rules)
        {
            Lumo::Index ruleIndex;
            if (!rules->GetIndex(ruleIndex) || !seen.insert(ruleIndex).second)
                continue;
            found = listed.count(ruleIndex) == 0 && OfTheClass(rules);
            Below(*rules, &Lumo::INorvSchemaNetClassRule::GetIterSchemeNetClassRuleChild);
        }
    }

    // Whether the rule's parent is the class; false when the parent cannot be read.
    bool OfTheClass(const RuleWalk& rule) const
    {
        Lumo::ContainerT<const Lumo::INorvNetClass> parent;
        Lumo::Index parentIndex;
        return rule->GetParentNetClass(parent) && parent->GetIndex(parentIndex) && parentIndex == classIndex;
    }
};

} // namespace

Lumo::Result RepairSupport::MoveNetToClass(const Lumo::Index& physicalNet, Lumo::INorvNetClass& lockedClass)
{
    Lumo::ContainerT<const Lumo::INorvPhysicalNet> net;
    if (Lumo::Result r = Uids().GetNorvPhysicalNet(net, physicalNet); !r)
        return r;
    return LockAndChange(net, [&](Lumo::INorvPhysicalNet& n) { return n.SetNetClass(lockedClass); });
}

Lumo::Result RepairSupport::RepointConstraintClasses(const std::map<Lumo::Index, Lumo::Index>& netClasses)
{
    Lumo::IteratorT<const Lumo::INorvConstraintClass> classes;
    if (Lumo::Result r = FixContext::s_fixNorvDesign->GetIterConstraintClasses(classes); !r)
        return r;
    Lumo::Result classesWalk;
    for (; walkOn(classes, classesWalk); ++classes)
    {
        if (Lumo::Result r = RepointClass(classes, netClasses); !r)
            return r;
    }
    if (!classesWalk)
        return classesWalk;
    return Lumo::Result();
}

Lumo::Result RepairSupport::HasUnlistedRule(const Lumo::ContainerT<const Lumo::INorvNetClass>& netClass,
                                              const Lumo::Index& classIndex, bool& unlisted)
{
    UnlistedRuleSearch search;
    search.classIndex = classIndex;
    Lumo::ListT<Lumo::Index> mapped;
    if (Lumo::Result r = netClass->GetSchemaNetClassMappedObjList(mapped); !r)
        return r;
    for (auto it = mapped.GetIterator(); it.IsValid(); ++it)
        search.listed.insert(*it);
    Lumo::IteratorT<const Lumo::INorvScheme> schemes;
    Lumo::Result schemesWalk = FixContext::s_fixNorvDesign->GetIterSchemes(schemes);
    for (; !search.found && walkOn(schemes, schemesWalk); ++schemes)
        search.Below(*schemes, &Lumo::INorvScheme::GetIterSchemaNetClassRules);
    unlisted = search.found;
    return Lumo::Result();
}
