#include "tests/rules/CLocksValidation.h"

CLocksValidation::CLocksValidation() = default;

CLocksValidation::~CLocksValidation() = default;

std::string CLocksValidation::getTestDescription() const
{
    return "Test checks if all locks belong to one client";
}

std::string CLocksValidation::getTestName() const
{
    return "Locks only for one client";
}

std::string CLocksValidation::getTestShortName() const
{
    return "LocksValidation";
}

TestStatus CLocksValidation::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();

    // Reads that fail leave the list and the information empty.
    Lumo::ListT<Lumo::LockInfo> locks;
    Lumo::SubClientInfo own;
    m_snapshot->GetListLocks(locks);
    if (m_pSession)
        m_pSession->GetSubClientInfo(own);

    for (auto lock = locks.GetIterator(); lock.IsValid(); ++lock) {
        if (lock->address == own.address && lock->subClientName == own.subClientName)
            continue;
        // Built whole, whatever the length of the two texts.
        const std::string message =
            "Address: " + lock->address.str() + ", subclient name: " + lock->subClientName.str();
        return raiseError(CDICErrors::T55_ACTIVELOCKBYOTHERSUBCLIENT, Lumo::Index(), message, lock->index, "");
    }
    raiseStatus(OK);
    return m_status;
}
