#include "framework/CFixMgr.h"
#include "framework/FixContext.h"
#include "repairs/CFixNetClass.h"
#include "repairs/RepairSupport.h"

using RepairSupport::Uids;

namespace {

using NetClassRead = Lumo::ContainerT<const Lumo::INorvNetClass>;
using NetClassWrite = Lumo::MutableContainerT<Lumo::INorvNetClass>;
using DesignWrite = Lumo::MutableContainerT<Lumo::INorvDesign>;

const char* const kNoNetClass = "Cannot get net class!";

CFixStatus Recreated(const std::string& name)
{
    const std::string message = "Net class '" + name + "' was recreated, please verify constraints!";
    CFixMgr::m_bReloadFlag = true;
    return CFixStatus(true, false, message);
}

// Moves every child class of source below target.
Lumo::Result MoveChildClasses(const NetClassRead& source, Lumo::INorvNetClass& target)
{
    Lumo::IteratorT<const Lumo::INorvNetClass> children;
    if (Lumo::Result r = source->GetIterChildNetClasses(children); !r)
        return r;
    Lumo::Result childrenWalk;
    for (; walkOn(children, childrenWalk); ++children)
    {
        if (Lumo::Result r =
                RepairSupport::LockAndChange(children, [&](Lumo::INorvNetClass& child) { return child.SetParent(target); });
            !r)
            return r;
    }
    if (!childrenWalk)
        return childrenWalk;
    return Lumo::Result();
}

// Gives every physical net of the list the class. Nets that no longer exist are skipped; an existing
// net that cannot be loaded keeps its class, and the first such failure is returned in skipped after
// the other nets have moved.
Lumo::Result AssignNets(const Lumo::ListT<Lumo::Index>& nets, Lumo::INorvNetClass& netClass, CFixStatus& skipped)
{
    for (auto it = nets.GetIterator(); it.IsValid(); ++it)
    {
        Lumo::ContainerT<const Lumo::INorvPhysicalNet> net;
        if (Lumo::Result r = Uids().GetNorvPhysicalNet(net, *it); !r)
        {
            bool exists = true;
            if (!skipped.error && (!Uids().ObjectExists(*it, exists) || exists))
                skipped = CFixStatus(r);
            continue;
        }
        if (Lumo::Result r =
                RepairSupport::LockAndChange(net, [&](Lumo::INorvPhysicalNet& n) { return n.SetNetClass(netClass); });
            !r)
            return r;
    }
    return Lumo::Result();
}

} // namespace

std::string CFixNetClass::TrimRight(const std::string& text, char c)
{
    const size_t last = text.find_last_not_of(c);
    return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

std::string CFixNetClass::LastNameComponent(const std::string& text, char c)
{
    const std::string trimmed = TrimRight(text, c);
    const size_t last = trimmed.rfind(c);
    return last == std::string::npos ? trimmed : trimmed.substr(last + 1);
}

CFixStatus CFixNetClass::RecreateMissingNetClass()
{
    const std::string name = FixContext::s_fixName1;
    if (name.empty())
        return CFixStatus(false, true, kNoNetClass);
    const Lumo::Index ruleIndex = FixContext::s_fixIndex1;
    Lumo::ContainerT<const Lumo::INorvSchemaNetClassRule> rule;
    if (Lumo::Result r = Uids().GetNorvSchemaNetClassRule(rule, ruleIndex); !r)
        return FixedIfGone(r, ruleIndex);
    NetClassRead netClass;
    if (Lumo::Result r = rule->GetParentNetClass(netClass); !r)
        return CFixStatus(r);

    NetClassRead parent;
    if (netClass->GetParentNetClass(parent))
    {
        // Moving the class below the parent it already has makes the database give it its rules.
        NetClassWrite locked;
        if (Lumo::Result r = Lumo::LockerT<Lumo::INorvNetClass>::Lock(netClass, locked); !r)
            return CFixStatus(r);
        NetClassWrite lockedParent;
        if (Lumo::Result r = Lumo::LockerT<Lumo::INorvNetClass>::Lock(parent, lockedParent); !r)
            return CFixStatus(r);
        if (Lumo::Result r = locked->SetParent(*lockedParent); !r)
            return CFixStatus(r);
        Lumo::LockerT<Lumo::INorvNetClass>::UnLock(locked);
        Lumo::LockerT<Lumo::INorvNetClass>::UnLock(lockedParent);
        return Recreated(name);
    }

    // A top-level class goes below "(Default)" and back to the top level.
    Lumo::ListT<Lumo::NorvObjectInfo> found;
    if (Lumo::Result r = FixContext::s_fixNorvDesign->FindNetClass(
            found, "(Default)", RepairSupport::Search(Lumo::SP_5, Lumo::SP_0, Lumo::SP_MatchCase));
        !r)
        return CFixStatus(r);
    if (found.IsEmpty())
        return CFixStatus(false);
    NetClassRead defaultClass;
    if (!Uids().GetNorvNetClass(defaultClass, found.GetIterator()->index))
        return CFixStatus(false);
    Lumo::Index classIndex;
    netClass->GetIndex(classIndex);
    // "(Default)" itself cannot go below itself; the move to the design alone makes its rules again.
    const bool isDefault = classIndex == found.GetIterator()->index;

    NetClassWrite lockedDefault;
    if (!isDefault)
    {
        if (Lumo::Result r = Lumo::LockerT<Lumo::INorvNetClass>::Lock(defaultClass, lockedDefault); !r)
            return CFixStatus(r);
    }
    NetClassWrite locked;
    if (Lumo::Result r = Lumo::LockerT<Lumo::INorvNetClass>::Lock(netClass, locked); !r)
        return CFixStatus(r);
    DesignWrite design;
    if (Lumo::Result r = Lumo::LockerT<Lumo::INorvDesign>::Lock(FixContext::s_fixNorvDesign, design); !r)
        return CFixStatus(r);
    if (!isDefault)
    {
        if (Lumo::Result r = locked->SetParent(*lockedDefault); !r)
            return CFixStatus(r);
    }
    if (Lumo::Result r = locked->SetParent(*design); !r)
        return CFixStatus(r);
    Lumo::LockerT<Lumo::INorvNetClass>::UnLock(locked);
    if (!isDefault)
        Lumo::LockerT<Lumo::INorvNetClass>::UnLock(lockedDefault);
    Lumo::LockerT<Lumo::INorvDesign>::UnLock(design);
    return Recreated(name);
}

CFixStatus CFixNetClass::RecreateNetClassWithoutRule()
{
    const std::string name = FixContext::s_fixName1;
    if (name.empty())
        return CFixStatus(false, true, kNoNetClass);
    const Lumo::Index classIndex = FixContext::s_fixIndex1;
    NetClassRead netClass;
    if (Lumo::Result r = Uids().GetNorvNetClass(netClass, classIndex); !r)
        return FixedIfGone(r, classIndex);
    Lumo::ListT<Lumo::Index> nets;
    if (Lumo::Result r = netClass->GetListPhysicalNets(nets); !r)
        return CFixStatus(r);
    const std::string newName = LastNameComponent(name, '/');
    // A rule of the class that its list leaves out would outlive the re-creation: the class stays.
    bool unlisted = false;
    if (Lumo::Result r = RepairSupport::HasUnlistedRule(netClass, classIndex, unlisted); !r)
        return CFixStatus(r);
    if (unlisted)
        return CFixStatus(false);

    // The new class is made first and takes the old one's children, nets and constraint classes, so
    // that deleting the old class loses nothing.
    NetClassRead parent;
    const bool hasParent = static_cast<bool>(netClass->GetParentNetClass(parent));
    DesignWrite design;
    if (Lumo::Result r = Lumo::LockerT<Lumo::INorvDesign>::Lock(FixContext::s_fixNorvDesign, design); !r)
        return CFixStatus(r);
    NetClassWrite lockedParent;
    NetClassWrite recreated;
    if (hasParent)
    {
        if (Lumo::Result r = Lumo::LockerT<Lumo::INorvNetClass>::Lock(parent, lockedParent); !r)
            return CFixStatus(r);
        if (Lumo::Result r = lockedParent->AddChildNetClass(recreated, newName, *design); !r)
            return CFixStatus(r);
    }
    else if (Lumo::Result r = design->AddNetClass(recreated, newName); !r)
        return CFixStatus(r);

    if (Lumo::Result r = MoveChildClasses(netClass, *recreated); !r)
        return CFixStatus(r);
    CFixStatus skipped(true);
    if (Lumo::Result r = AssignNets(nets, *recreated, skipped); !r)
        return CFixStatus(r);
    if (!skipped.fixed)
        return skipped;
    Lumo::Index newIndex;
    if (Lumo::Result r = recreated->GetIndex(newIndex); !r)
        return CFixStatus(r);
    if (Lumo::Result r = RepairSupport::RepointConstraintClasses({{classIndex, newIndex}}); !r)
        return CFixStatus(r);

    if (hasParent)
    {
        if (Lumo::Result r = lockedParent->DeleteChildNetClass(classIndex); !r)
            return CFixStatus(r);
        Lumo::LockerT<Lumo::INorvNetClass>::UnLock(lockedParent);
    }
    else if (Lumo::Result r = design->DeleteNetClass(classIndex); !r)
        return CFixStatus(r);
    RepairSupport::UnLockChanged(design);
    RepairSupport::UnLockChanged(recreated);
    return Recreated(name);
}
