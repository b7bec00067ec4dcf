// Creating what is missing of a snapshot's Norv data: the top block's configuration, its design,
// the five named default objects and the general clearance. What exists is left alone, so the
// operation can be repeated. Every lock is held for one creation only: the new object is released
// before its parent, and a failed creation releases the parent before its message.
#include "framework/CNorvInitTest.h"
#include "framework/CNorvProjectChecker.h"
#include "framework/IKravikLog.h"
#include "framework/ReadThrough.h"

#include <functional>

using Lumo::ContainerT;
using Lumo::INorvDesign;
using Lumo::LockerT;
using Lumo::MutableContainerT;

namespace
{

using FindFunction = Lumo::Result (INorvDesign::*)(Lumo::ListT<Lumo::NorvObjectInfo>&, const Lumo::String&,
                                                   const Lumo::SearchParams&) const;

// One named default: how it is searched, how it is created (through the locked design, with the
// new object released before the design) and the two failure messages.
struct DefaultObject
{
    const char* name;
    FindFunction find;
    std::function<Lumo::Result(INorvDesign&, const Lumo::String&)> addAndRelease;
    const char* addMessage;
    const char* getMessage;
};

template <class T>
Lumo::Result releaseNew(Lumo::Result added, MutableContainerT<T>& created)
{
    if (added)
        LockerT<T>::UnLock(created);
    return added;
}

template <class T, class Add>
std::function<Lumo::Result(INorvDesign&, const Lumo::String&)> creator(Add add)
{
    return [add](INorvDesign& design, const Lumo::String& name) {
        MutableContainerT<T> created;
        return releaseNew(add(design, created, name), created);
    };
}

const std::vector<DefaultObject>& defaultObjects()
{
    static const std::vector<DefaultObject> rows = {
        {"(All)", &INorvDesign::FindConstraintClass,
         creator<Lumo::INorvConstraintClass>([](INorvDesign& d, MutableContainerT<Lumo::INorvConstraintClass>& out,
                                                const Lumo::String& n) { return d.AddConstraintClass(out, n); }),
         "ERROR: Cannot add default constraint class\n", "ERROR: Cannot get default constraint class\n"},
        {"(Default)", &INorvDesign::FindNetClass,
         creator<Lumo::INorvNetClass>([](INorvDesign& d, MutableContainerT<Lumo::INorvNetClass>& out,
                                         const Lumo::String& n) { return d.AddNetClass(out, n); }),
         "ERROR: Cannot add default net class\n", "ERROR: Cannot get default net class\n"},
        {"(Master)", &INorvDesign::FindScheme,
         creator<Lumo::INorvScheme>([](INorvDesign& d, MutableContainerT<Lumo::INorvScheme>& out,
                                       const Lumo::String& n) { return d.AddScheme(out, n, Lumo::ST_Master); }),
         "ERROR: Cannot add default scheme\n", "ERROR: Cannot get default scheme\n"},
        {"(Minimum)", &INorvDesign::FindScheme,
         creator<Lumo::INorvScheme>([](INorvDesign& d, MutableContainerT<Lumo::INorvScheme>& out,
                                       const Lumo::String& n) { return d.AddScheme(out, n, Lumo::ST_Minimum); }),
         "ERROR: Cannot add minimum scheme\n", "ERROR: Cannot get minimum scheme\n"},
        {"(Default Rule)", &INorvDesign::FindClearRule,
         creator<Lumo::INorvClearRule>([](INorvDesign& d, MutableContainerT<Lumo::INorvClearRule>& out,
                                          const Lumo::String& n) { return d.AddClearRule(out, n); }),
         "ERROR: Cannot add clearance rule\n", "ERROR: Cannot get clearance rule\n"},
    };
    return rows;
}

} // namespace

bool CNorvProjectChecker::Init_NorvLUMO(const std::string& snapshotName)
{
    auto fail = [this](const char* message) {
        m_pLog->emitMessage(message);
        return false;
    };

    m_pLog->emitMessage("Initializing design...\n");
    m_strSnapshotName = snapshotName;

    ContainerT<const Lumo::ISnapshot> snapshot;
    if (!m_pSession || !m_pSession->GetSnapshotByName(snapshot, Lumo::String(m_strSnapshotName)) ||
        !snapshot.IsValid())
        return false;

    ContainerT<const Lumo::INorvConfig> config;
    if (!snapshot->GetNorvConfig(config, m_strTopBlock) || !config.IsValid()) {
        MutableContainerT<Lumo::ISnapshot> lockedSnapshot;
        if (!LockerT<Lumo::ISnapshot>::Lock(snapshot, lockedSnapshot))
            return fail("ERROR: Cannot lock snapshot\n");
        MutableContainerT<Lumo::INorvConfig> newConfig;
        if (!lockedSnapshot->AddNorvConfig(newConfig, m_strTopBlock)) {
            LockerT<Lumo::ISnapshot>::UnLock(lockedSnapshot);
            return fail("ERROR: Cannot add NORV config\n");
        }
        LockerT<Lumo::INorvConfig>::UnLock(newConfig);
        LockerT<Lumo::ISnapshot>::UnLock(lockedSnapshot);
        if (!snapshot->GetNorvConfig(config, m_strTopBlock) || !config.IsValid())
            return fail("ERROR: Cannot get NORV config\n");
    }

    ContainerT<const INorvDesign> design;
    if (!config->GetNorvDesign(design)) {
        MutableContainerT<Lumo::INorvConfig> lockedConfig;
        if (!LockerT<Lumo::INorvConfig>::Lock(config, lockedConfig))
            return fail("ERROR: Cannot lock NORV config\n");
        MutableContainerT<INorvDesign> newDesign;
        if (!lockedConfig->AddNorvDesign(newDesign)) {
            LockerT<Lumo::INorvConfig>::UnLock(lockedConfig);
            return fail("ERROR: Cannot add NORV design\n");
        }
        LockerT<INorvDesign>::UnLock(newDesign);
        if (!lockedConfig->GetNorvDesign(design)) {
            LockerT<Lumo::INorvConfig>::UnLock(lockedConfig);
            return fail("ERROR: Cannot get NORV design\n");
        }
        LockerT<Lumo::INorvConfig>::UnLock(lockedConfig);
    }

    // Case-blind search: a default spelt in another case counts as present.
    const Lumo::SearchParams params = CombineSearchParamsV(Lumo::SP_5, Lumo::SP_0);
    Lumo::ListT<Lumo::NorvObjectInfo> found;
    Lumo::String name;
    for (const DefaultObject& row : defaultObjects()) {
        name = row.name;
        ((*design).*row.find)(found, name, params); // only the count decides
        if (found.Count() != 0)
            continue;
        MutableContainerT<INorvDesign> lockedDesign;
        if (!LockerT<INorvDesign>::Lock(design, lockedDesign))
            return fail("ERROR: Cannot lock NORV design\n");
        if (!row.addAndRelease(*lockedDesign, name)) {
            LockerT<INorvDesign>::UnLock(lockedDesign);
            return fail(row.addMessage);
        }
        LockerT<INorvDesign>::UnLock(lockedDesign);
        ((*design).*row.find)(found, name, params);
        if (found.Count() != 1)
            return fail(row.getMessage);
    }

    // Only a design without one gets a general clearance: one that cannot be read is not added a
    // second time.
    ContainerT<const Lumo::INorvGenClear> genClear;
    if (const Lumo::Result got = design->GetNorvGenClear(genClear); !got) {
        if (!isNotFound(got))
            return fail("ERROR: Cannot get general clearance\n");
        MutableContainerT<INorvDesign> lockedDesign;
        if (!LockerT<INorvDesign>::Lock(design, lockedDesign))
            return fail("ERROR: Cannot lock NORV design\n");
        MutableContainerT<Lumo::INorvGenClear> newGenClear;
        if (!lockedDesign->AddGenClear(newGenClear)) {
            LockerT<INorvDesign>::UnLock(lockedDesign);
            return fail("ERROR: Cannot add general clearance\n");
        }
        LockerT<Lumo::INorvGenClear>::UnLock(newGenClear);
        LockerT<INorvDesign>::UnLock(lockedDesign);
        if (!design->GetNorvGenClear(genClear))
            return fail("ERROR: Cannot get general clearance\n");
    }
    return true;
}
