#include "repairs/RepairSupport.h"

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
            if (Lumo::Result r = Lumo::LockerT<Lumo::INorvNetClass>::UnLock(lockedTarget); !r)
                return r;
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
