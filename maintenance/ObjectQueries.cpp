// The constraint queries on one Norv object and the removal of a top block's Norv configuration.
// None of them writes to the log.
#include "framework/CNorvProjectChecker.h"
#include "framework/ReadThrough.h"

bool CNorvProjectChecker::ClearObjectConstraints(Lumo::IObjectNorv* object) const
{
    if (!object)
        return false;
    if (!object->DeleteAllConstraints())
        return false;
    return static_cast<bool>(object->RemoveAttributes());
}

bool CNorvProjectChecker::HasObjectConstraints(const Lumo::IObjectNorv* object) const
{
    bool has = false;
    return ReadObjectConstraints(object, has) && has;
}

bool CNorvProjectChecker::ReadObjectConstraints(const Lumo::IObjectNorv* object, bool& has) const
{
    has = false;
    if (!object)
        return false;
    Lumo::IteratorT<const Lumo::INorvConstraint> constraint;
    if (!object->GetIterConstraints(constraint, Lumo::BitContainerT<Lumo::EConstraintIterType>(Lumo::CIT_All)))
        return false;
    // One valid constraint is enough: the attributes are not read then. Otherwise the attributes
    // decide, unless the first constraint's validity could not be read (neither the end of the
    // walk nor a constraint that is not valid) and there are no attributes: that answer is unknown.
    const Lumo::Result first = constraint->IsValid();
    if (first) {
        has = true;
        return true;
    }
    Lumo::ListAttribute attributes;
    if (!object->GetAttributes(attributes))
        return false;
    has = attributes.Count() > 0;
    return has || isEndOfWalk(first) || isNotValidObject(first);
}

bool CNorvProjectChecker::Format_NorvLUMO(std::string snapshotName)
{
    // The name is kept even when the snapshot cannot be opened: re-creating reads it afterwards.
    m_strSnapshotName = std::move(snapshotName);

    Lumo::ContainerT<const Lumo::ISnapshot> snapshot;
    if (!m_pSession || !m_pSession->GetSnapshotByName(snapshot, Lumo::String(m_strSnapshotName)) ||
        !snapshot.IsValid())
        return false;
    Lumo::ContainerT<const Lumo::INorvConfig> config;
    if (!snapshot->GetNorvConfig(config, m_strTopBlock) || !config.IsValid())
        return false;
    Lumo::Index configIndex;
    if (!config->GetIndex(configIndex))
        return false;

    Lumo::MutableContainerT<Lumo::ISnapshot> lockedSnapshot;
    if (!Lumo::LockerT<Lumo::ISnapshot>::Lock(snapshot, lockedSnapshot))
        return false;
    const bool removed = static_cast<bool>(lockedSnapshot->RemoveConfig(configIndex));
    Lumo::LockerT<Lumo::ISnapshot>::UnLock(lockedSnapshot);
    if (!removed)
        return false;

    // Gone means: not found any more, or found but no longer valid.
    Lumo::ContainerT<const Lumo::INorvConfig> after;
    return !snapshot->GetNorvConfig(after, m_strTopBlock) || !after.IsValid();
}
