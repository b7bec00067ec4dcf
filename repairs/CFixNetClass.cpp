#include "repairs/CFixNetClass.h"

#include "repairs/RepairSupport.h"

using namespace RepairSupport;

namespace {

struct NetClassKind
{
    using Object = Lumo::INorvNetClass;
    static const char* RenameError() { return "Cannot rename net class"; }
    static Lumo::Result Fetch(const Lumo::IUIDManager& uids, Lumo::ContainerT<const Object>& out, const Lumo::Index& index)
    {
        return uids.GetNorvNetClass(out, index);
    }
    static Lumo::Result Find(const Lumo::INorvDesign& design, Lumo::ListT<Lumo::NorvObjectInfo>& out,
                             const Lumo::String& name, const SearchParams& params)
    {
        return design.FindNetClass(out, name, params);
    }
    static Lumo::Result FindChild(const Object& parent, Lumo::ListT<Lumo::NorvObjectInfo>& out, const Lumo::String& name,
                                  const SearchParams& params)
    {
        return parent.FindChildNetClass(out, name, params);
    }
    static Lumo::Result Parent(const Object& object, Lumo::ContainerT<const Object>& out)
    {
        return object.GetParentNetClass(out);
    }
};

} // namespace

CFixStatus CFixNetClass::AddDefaultNetClass()
{
    return AddDefaultObject(
        "(Default)",
        [](const Lumo::INorvDesign& design, Lumo::ListT<Lumo::NorvObjectInfo>& found, const Lumo::String& name,
           const SearchParams& params) { return design.FindNetClass(found, name, params); },
        [](Lumo::INorvDesign& design, const Lumo::String& name) {
            Lumo::MutableContainerT<Lumo::INorvNetClass> added;
            return design.AddNetClass(added, name);
        });
}

CFixStatus CFixNetClass::RenameInvalidName()
{
    return RenameRepairs<NetClassKind>::RenameInvalidName();
}

CFixStatus CFixNetClass::RenameDuplicatedNetClass()
{
    return RenameRepairs<NetClassKind>::RenameDuplicatedName();
}
