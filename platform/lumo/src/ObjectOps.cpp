// Generic object operations: names, indexes, validity, constraints and attributes.
#include "Ops.h"

namespace Lumo {

using namespace detail;

Result IObject::GetIndex(Index&/*out*/) const
{
    return NotImplemented();
}

Result IObject::GetName(String&/*out*/) const
{
    return NotImplemented();
}

Result IObject::IsValid() const
{
    return NotImplemented();
}

Result IObject::Synchronize(bool/*flag*/)
{
    return NotImplemented();
}

Result IObjectNorv::GetConstraint(ContainerT<const INorvConstraint>&/*out*/, const String&/*name*/) const
{
    return NotImplemented();
}

Result IObjectNorv::GetIterConstraints(IteratorT<const INorvConstraint>&/*out*/, const BitContainerT<EConstraintIterType>&/*selection*/) const
{
    return NotImplemented();
}

Result IObjectNorv::GetAttributes(ListAttribute&/*out*/) const
{
    return NotImplemented();
}

Result IObjectNorv::AddConstraint(const String&/*name*/, const ConstraintData&/*value*/, MutableContainerT<INorvConstraint>&/*out*/)
{
    return NotImplemented();
}

Result IObjectNorv::AddConstraintByString(const String&/*name*/, const String&/*text*/, MutableContainerT<INorvConstraint>&/*out*/)
{
    return NotImplemented();
}

Result IObjectNorv::DeleteConstraint(const Index&/*constraint*/)
{
    return NotImplemented();
}

Result IObjectNorv::DeleteAllConstraints()
{
    return NotImplemented();
}

Result IObjectNorv::SetAttribute(const String&/*name*/, const String&/*value*/)
{
    return NotImplemented();
}

Result IObjectNorv::SetAttributes(const ListAttribute&/*list*/)
{
    return NotImplemented();
}

Result IObjectNorv::RemoveAttributes()
{
    return NotImplemented();
}

Result INorvConstraint::GetValue(ConstraintData&/*out*/) const
{
    return NotImplemented();
}

Result INorvConstraint::GetValueByString(String&/*text*/, EConstraintType&/*type*/) const
{
    return NotImplemented();
}

Result INorvConstraint::GetValueByString(String&/*text*/) const
{
    return NotImplemented();
}

Result INorvConstraint::GetConstraintType(EConstraintType&/*out*/) const
{
    return NotImplemented();
}

Result INorvConstraint::IsDefinition(bool&/*out*/) const
{
    return NotImplemented();
}

Result INorvConstraint::IsUserConstraint(bool&/*out*/) const
{
    return NotImplemented();
}

Result INorvConstraint::IsDefaultValue(bool&/*out*/) const
{
    return NotImplemented();
}

Result INorvConstraint::GetParentIndex(Index&/*out*/) const
{
    return NotImplemented();
}

Result INorvConstraint::GetAttributes(ListAttribute&/*out*/) const
{
    return NotImplemented();
}

Result INorvConstraint::SetValue(const ConstraintData&/*value*/)
{
    return NotImplemented();
}

Result INorvConstraint::SetValueByString(const String&/*text*/)
{
    return NotImplemented();
}

Result INorvConstraint::SetValueByString(const String&/*text*/, EConstraintType/*type*/)
{
    return NotImplemented();
}

Result INorvConstraint::SetAttributes(const ListAttribute&/*list*/)
{
    return NotImplemented();
}

}  // namespace Lumo
