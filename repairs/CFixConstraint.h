// CFixConstraint: deletes a constraint from, or adds a named constraint to, a Norv object of any
// kind given only its index (the fetch is chosen by the index's object type), and the two
// constraint repairs built on them. Static members only (CFixerBase); nothing constructs the class.
#pragma once

#include "repairs/CFixerBase.h"

class CFixConstraint : public CFixerBase
{
public:
    CFixConstraint() = default;
    ~CFixConstraint() = default;

    // Deletes the constraint from the object under the object's lock. False for an object type
    // that carries no constraints of its own (22, 72, ...), a failed fetch, lock or delete.
    static bool DeleteObjectConstraint(Lumo::Index& object, Lumo::Index& constraint);
    // Adds (or, for an own constraint of that name, overwrites) the named constraint on the object.
    // False for a refused type, a failed fetch or lock, or when no valid constraint came back.
    static bool AddObjectConstraint(Lumo::Index& object, Lumo::String& name, Lumo::ConstraintData& value);

    // A forbidden constraint (index 2) on its object (index 3) is deleted.
    static CFixStatus RemoveForbiddenConstraint();
    // A constraint (index 3, name 2) whose recorded parent is not the object it hangs on (index 2)
    // is put back under the object, and under its recorded parent when that still exists.
    static CFixStatus ReattachMismatchedConstraint();
};
