#include "repairs/CFixConstraintClass.h"

#include "repairs/RepairSupport.h"

using namespace RepairSupport;

namespace {

struct ConstraintClassKind
{
    using Object = Lumo::INorvConstraintClass;
    static const char* RenameError() { return "Cannot rename constraint class"; }
    static Lumo::Result Fetch(const Lumo::IUIDManager& uids, Lumo::ContainerT<const Object>& out, const Lumo::Index& index)
    {
        return uids.GetNorvConstraintClass(out, index);
    }
    static Lumo::Result Find(const Lumo::INorvDesign& design, Lumo::ListT<Lumo::NorvObjectInfo>& out,
                             const Lumo::String& name, const SearchParams& params)
    {
        return design.FindConstraintClass(out, name, params);
    }
    static Lumo::Result FindChild(const Object& parent, Lumo::ListT<Lumo::NorvObjectInfo>& out, const Lumo::String& name,
                                  const SearchParams& params)
    {
        return parent.FindChildConstraintClass(out, name, params);
    }
    static Lumo::Result Parent(const Object& object, Lumo::ContainerT<const Object>& out)
    {
        return object.GetParentConstraintClass(out);
    }
};

} // namespace

CFixStatus CFixConstraintClass::AddAllConstraintClass()
{
    return AddDefaultObject(
        "(All)",
        [](const Lumo::INorvDesign& design, Lumo::ListT<Lumo::NorvObjectInfo>& found, const Lumo::String& name,
           const SearchParams& params) { return design.FindConstraintClass(found, name, params); },
        [](Lumo::INorvDesign& design, const Lumo::String& name) {
            Lumo::MutableContainerT<Lumo::INorvConstraintClass> added;
            return design.AddConstraintClass(added, name);
        });
}

CFixStatus CFixConstraintClass::SetDefaultNetClass()
{
    const Lumo::Index index = FixContext::s_fixIndex1;
    if (index.IsEmpty())
        return CFixStatus();
    Lumo::ContainerT<const Lumo::INorvConstraintClass> constraintClass;
    if (Lumo::Result r = Uids().GetNorvConstraintClass(constraintClass, index); !r)
        return CFixStatus(r);
    Lumo::ListT<Lumo::NorvObjectInfo> found;
    if (Lumo::Result r = Design()->FindNetClass(found, "(Default)", Search(Lumo::SP_5, Lumo::SP_0, Lumo::SP_MatchCase)); !r)
        return CFixStatus(r);
    if (found.IsEmpty())
        return CFixStatus();
    Lumo::ContainerT<const Lumo::INorvNetClass> netClass;
    if (!Uids().GetNorvNetClass(netClass, found.GetIterator()->index))
        return CFixStatus();

    Lumo::MutableContainerT<Lumo::INorvNetClass> lockedNetClass;
    if (Lumo::Result r = Lumo::LockerT<Lumo::INorvNetClass>::Lock(netClass, lockedNetClass); !r)
        return CFixStatus(r);
    Lumo::MutableContainerT<Lumo::INorvConstraintClass> lockedClass;
    if (Lumo::Result r = Lumo::LockerT<Lumo::INorvConstraintClass>::Lock(constraintClass, lockedClass); !r)
        return CFixStatus(r);
    if (Lumo::Result r = lockedClass->SetNetClass(*lockedNetClass); !r)
        return CFixStatus(r);
    UnLockChanged(lockedNetClass);
    UnLockChanged(lockedClass);
    return CFixStatus(true);
}

CFixStatus CFixConstraintClass::RenameInvalidName()
{
    return RenameRepairs<ConstraintClassKind>::RenameInvalidName();
}

CFixStatus CFixConstraintClass::RenameDuplicatedName()
{
    return RenameRepairs<ConstraintClassKind>::RenameDuplicatedName();
}
