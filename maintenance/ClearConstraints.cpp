// Clearing all constraints of a snapshot: the Norv data is stripped down to its default objects.
// Connectivity and kept design objects lose their constraints and attributes; differential pairs,
// pin pairs of constrained electrical nets, from-tos and pin sets of physical nets, the classes,
// rules and schemes that are not defaults and the design's rule collections are deleted; nets are
// attached to the default classes and the electrical nets are regenerated.
//
// Failures stop the run at once and undo nothing. The locks the run holds at that moment are
// released, the object being changed first and the configuration last, so that a later repair run
// can still lock the Norv data. Once the passes have begun to delete, every failed step fails the
// run, also those whose result the clearing would otherwise pass over (a walk that breaks off, an
// unreadable constraint query, a clearing, deletion or re-attachment that fails): a half-cleared
// design is never reported as cleared.
#include "framework/CNorvProjectChecker.h"
#include "framework/IKravikLog.h"
#include "framework/ReadThrough.h"

#include <string>

using Lumo::ContainerT;
using Lumo::IteratorT;
using Lumo::LockerT;
using Lumo::MutableContainerT;

namespace
{

const char* const kDefaultNetClass = "(Default)";
const char* const kDefaultConstraintClass = "(All)";

// Sub-clients that are Norv clients: "(FE NORV)" or "(NORV)" in the name, each counted once.
int countNorvClients(const Lumo::ListT<Lumo::ClientInfo>& clients)
{
    int count = 0;
    for (auto client = clients.GetIterator(); client.IsValid(); ++client)
        for (auto sub = client->subClients.GetIterator(); sub.IsValid(); ++sub) {
            const std::string name = sub->name.str();
            if (name.find("(FE NORV)") != std::string::npos || name.find("(NORV)") != std::string::npos)
                ++count;
        }
    return count;
}

// One run over the opened Norv data; holds the configuration, the design and the two default
// classes locked from the opening until release().
class ConstraintClearer
{
public:
    ConstraintClearer(const CNorvProjectChecker& checker, IKravikLog& log, const Lumo::IUIDManager& uid)
        : m_checker(checker), m_log(log), m_uid(uid)
    {
    }

    bool open(const ContainerT<const Lumo::ISnapshot>& snapshot, const std::string& topBlock);
    bool clearAll();
    void release();

private:
    bool fatal()
    {
        release();
        return false;
    }
    bool fail(const char* message)
    {
        release();
        m_log.emitMessage(message);
        return false;
    }
    void done(const char* message) { m_log.emitMessage(message); }

    // Whether an object is valid, in `valid`; false when its validity cannot be read.
    static bool readValidity(const Lumo::IObject& object, bool& valid)
    {
        const Lumo::Result answer = object.IsValid();
        valid = static_cast<bool>(answer);
        return valid || isNotValidObject(answer);
    }

    // Whether the object has constraints or attributes; a query that cannot be answered fails the
    // run.
    bool constrained(const Lumo::IObjectNorv& object, bool& has)
    {
        return m_checker.ReadObjectConstraints(&object, has) || fatal();
    }

    // Clears the constraints and attributes of an object held through `locked`; a failure
    // releases that handle first and fails the run.
    template <class T>
    bool clearLocked(MutableContainerT<T>& locked)
    {
        if (m_checker.ClearObjectConstraints(&*locked))
            return true;
        LockerT<T>::UnLock(locked);
        return fatal();
    }

    // A change made through `locked`; a failure releases that handle first and fails the run.
    template <class T>
    bool changed(Lumo::Result result, MutableContainerT<T>& locked)
    {
        if (result)
            return true;
        LockerT<T>::UnLock(locked);
        return fatal();
    }

    // Clears an object (constraints and attributes) through a writable handle of its own, when it
    // has any; nothing is locked when it has none.
    template <class T>
    bool clearIfConstrained(const ContainerT<const T>& object, const char* lockMessage)
    {
        bool has = false;
        if (!constrained(*object, has))
            return false;
        if (!has)
            return true;
        MutableContainerT<T> locked;
        if (!LockerT<T>::Lock(object, locked))
            return fail(lockMessage);
        if (!clearLocked(locked))
            return false;
        LockerT<T>::UnLock(locked);
        return true;
    }

    // Visits the elements of a walk; `validOnly` skips the elements that are not valid. A walk
    // that cannot be started or breaks off fails the run.
    template <class T, class Visit>
    bool walk(Lumo::Result opened, IteratorT<const T>& it, bool validOnly, Visit visit)
    {
        for (; walkOn(it, opened); ++it) {
            if (validOnly) {
                bool valid = false;
                if (!readValidity(*it, valid))
                    return fatal();
                if (!valid)
                    continue;
            }
            if (!visit(it))
                return false;
        }
        return opened || fatal();
    }

    // Clears each object of a walk when it has constraints, and then each of its sub-objects (whose
    // walk `openSubs` opens); the sub-objects are not tested for validity.
    template <class T, class Sub, class OpenSubs>
    bool clearWithSubObjects(Lumo::Result opened, IteratorT<const T>& it, bool validOnly, const char* lockMessage,
                             OpenSubs openSubs, const char* subLockMessage)
    {
        return walk(opened, it, validOnly, [&](const IteratorT<const T>& object) {
            if (!clearIfConstrained<T>(object, lockMessage))
                return false;
            IteratorT<const Sub> sub;
            return walk(openSubs(object, sub), sub, false, [&](const IteratorT<const Sub>& subObject) {
                return clearIfConstrained<Sub>(subObject, subLockMessage);
            });
        });
    }

    // Keeps the objects named as one of `kept` (handled by `keep`) and deletes the others through
    // the design.
    template <class T, class Keep>
    bool keepOrDelete(IteratorT<const T>& it, Lumo::Result opened, std::initializer_list<const char*> kept,
                      Lumo::Result (Lumo::INorvDesign::*remove)(const Lumo::Index&), Keep keep)
    {
        return walk(opened, it, true, [&](const IteratorT<const T>& object) {
            Lumo::String name;
            if (!object->GetName(name))
                return fatal();
            for (const char* keptName : kept)
                if (name == keptName)
                    return keep(object);
            Lumo::Index index;
            if (!object->GetIndex(index) || !((*m_design).*remove)(index))
                return fatal();
            return true;
        });
    }

    template <class T>
    bool findDefault(Lumo::Result (Lumo::INorvDesign::*find)(Lumo::ListT<Lumo::NorvObjectInfo>&, const Lumo::String&,
                                                             const Lumo::SearchParams&) const,
                     Lumo::Result (Lumo::IUIDManager::*fetch)(ContainerT<const T>&, const Lumo::Index&) const,
                     const char* name, MutableContainerT<T>& locked);

    bool clearDiffPairs();
    bool clearElectricalNets();
    bool clearPhysicalNets();
    bool clearParts();
    bool clearComponents();
    bool clearNetClasses();
    bool clearClearRules();
    bool clearSchemes();
    bool clearConstraintClasses();
    bool deleteDesignCollections();
    bool clearGenClear();
    bool regenerate();

    const CNorvProjectChecker& m_checker;
    IKravikLog& m_log;
    const Lumo::IUIDManager& m_uid;
    ContainerT<const Lumo::INorvConfig> m_configRead;
    ContainerT<const Lumo::INorvDesign> m_designRead;
    MutableContainerT<Lumo::INorvConfig> m_config;
    MutableContainerT<Lumo::INorvDesign> m_design;
    MutableContainerT<Lumo::INorvConstraintClass> m_defaultConstraintClass;
    MutableContainerT<Lumo::INorvNetClass> m_defaultNetClass;
    int m_held = 0; // how many of the four handles above are locked
};

void ConstraintClearer::release()
{
    // The handles are taken in this order: configuration, design, default constraint class,
    // default net class; they are released in the reverse order.
    if (m_held >= 4)
        LockerT<Lumo::INorvNetClass>::UnLock(m_defaultNetClass);
    if (m_held >= 3)
        LockerT<Lumo::INorvConstraintClass>::UnLock(m_defaultConstraintClass);
    if (m_held >= 2)
        LockerT<Lumo::INorvDesign>::UnLock(m_design);
    if (m_held >= 1)
        LockerT<Lumo::INorvConfig>::UnLock(m_config);
    m_held = 0;
}

template <class T>
bool ConstraintClearer::findDefault(
    Lumo::Result (Lumo::INorvDesign::*find)(Lumo::ListT<Lumo::NorvObjectInfo>&, const Lumo::String&,
                                            const Lumo::SearchParams&) const,
    Lumo::Result (Lumo::IUIDManager::*fetch)(ContainerT<const T>&, const Lumo::Index&) const, const char* name,
    MutableContainerT<T>& locked)
{
    // Exact names only: a class spelt in another case is not the default.
    Lumo::SearchParams params(Lumo::SP_0);
    params |= Lumo::SP_MatchCase;
    params |= Lumo::SP_5;
    Lumo::ListT<Lumo::NorvObjectInfo> found;
    if (!((*m_designRead).*find)(found, name, params) || found.IsEmpty())
        return fatal();
    ContainerT<const T> object;
    if (!(m_uid.*fetch)(object, found.GetIterator()->index) || !LockerT<T>::Lock(object, locked))
        return fatal();
    ++m_held;
    return true;
}

bool ConstraintClearer::open(const ContainerT<const Lumo::ISnapshot>& snapshot, const std::string& topBlock)
{
    if (!snapshot->GetNorvConfig(m_configRead, topBlock) || !m_configRead.IsValid())
        return fail("ERROR: Cannot get NORV configuration\n");
    if (!LockerT<Lumo::INorvConfig>::Lock(m_configRead, m_config))
        return fail("ERROR: Cannot lock NORV configuration\n");
    m_held = 1;
    if (!m_configRead->GetNorvDesign(m_designRead))
        return fail("ERROR: Cannot get NORV design\n");
    if (!LockerT<Lumo::INorvDesign>::Lock(m_designRead, m_design))
        return fail("ERROR: Cannot lock NORV Design\n");
    m_held = 2;
    return findDefault(&Lumo::INorvDesign::FindConstraintClass, &Lumo::IUIDManager::GetNorvConstraintClass,
                       kDefaultConstraintClass, m_defaultConstraintClass) &&
           findDefault(&Lumo::INorvDesign::FindNetClass, &Lumo::IUIDManager::GetNorvNetClass, kDefaultNetClass,
                       m_defaultNetClass);
}

bool ConstraintClearer::clearAll()
{
    return clearDiffPairs() && clearElectricalNets() && clearPhysicalNets() && clearParts() && clearComponents() &&
           clearNetClasses() && clearClearRules() && clearSchemes() && clearConstraintClasses() &&
           deleteDesignCollections() && clearGenClear() && regenerate();
}

bool ConstraintClearer::clearDiffPairs()
{
    if (!m_config->DeleteAllDiffPairs() || !m_config->Synchronize(false))
        return fatal();
    done("Differential Pairs cleared...\n");
    return true;
}

bool ConstraintClearer::clearElectricalNets()
{
    IteratorT<const Lumo::INorvElectricalNet> net;
    const bool ok = walk(m_configRead->GetIterElectricalNets(net), net, true, [&](const auto& it) {
        // A net without constraints keeps its pin pairs and its constraint class.
        bool has = false;
        if (!constrained(*it, has))
            return false;
        if (!has)
            return true;
        MutableContainerT<Lumo::INorvElectricalNet> locked;
        if (!LockerT<Lumo::INorvElectricalNet>::Lock(it, locked))
            return fail("ERROR: Cannot lock NORV Electrical Net\n");
        if (!clearLocked(locked) || !changed(locked->DeleteAllPinPair(), locked) ||
            !changed(locked->SetConstraintClass(*m_defaultConstraintClass), locked))
            return false;
        LockerT<Lumo::INorvElectricalNet>::UnLock(locked);
        return true;
    });
    if (ok)
        done("Electrical Nets cleared...\n");
    return ok;
}

bool ConstraintClearer::clearPhysicalNets()
{
    Lumo::BitContainerT<Lumo::ENorvPinType> pinSets(Lumo::NPT_PinSetChained);
    for (Lumo::ENorvPinType kind : {Lumo::NPT_PinSetT, Lumo::NPT_PinSetMst, Lumo::NPT_PinSetBalanced,
                                    Lumo::NPT_PinSetUnbalanced})
        pinSets |= kind;

    IteratorT<const Lumo::INorvPhysicalNet> net;
    const bool ok = walk(m_configRead->GetIterPhysicalNets(net), net, true, [&](const auto& it) {
        MutableContainerT<Lumo::INorvPhysicalNet> locked;
        if (!LockerT<Lumo::INorvPhysicalNet>::Lock(it, locked))
            return fail("ERROR: Cannot lock NORV Physical Net\n");
        auto dropNet = [&] {
            LockerT<Lumo::INorvPhysicalNet>::UnLock(locked);
            return fatal();
        };
        bool has = false;
        if (!m_checker.ReadObjectConstraints(&*it, has))
            return dropNet();
        if ((has && !clearLocked(locked)) || !changed(locked->DeleteAllFromTos(), locked))
            return false;
        IteratorT<const Lumo::INorvPin> pin;
        Lumo::Result pins = locked->GetIterPins(pin, pinSets);
        for (; walkOn(pin, pins); ++pin) {
            bool valid = false;
            if (!readValidity(*pin, valid))
                return dropNet();
            if (!valid)
                continue;
            Lumo::Index index;
            if (!pin->GetIndex(index) || !locked->DeletePin(index))
                return dropNet();
        }
        if (!pins)
            return dropNet();
        if (!changed(locked->SetNetClass(*m_defaultNetClass), locked))
            return false;
        LockerT<Lumo::INorvPhysicalNet>::UnLock(locked);
        return true;
    });
    if (ok)
        done("Physical Nets cleared...\n");
    return ok;
}

bool ConstraintClearer::clearParts()
{
    IteratorT<const Lumo::INorvPart> part;
    const bool ok = clearWithSubObjects<Lumo::INorvPart, Lumo::INorvPartPin>(
        m_configRead->GetIterParts(part), part, true, "ERROR: Cannot lock NORV Part\n",
        [](const auto& p, auto& pins) { return p->GetIterPartPins(pins); }, "ERROR: Cannot lock NORV Part Pin\n");
    if (ok)
        done("Parts cleared...\n");
    return ok;
}

bool ConstraintClearer::clearComponents()
{
    const Lumo::BitContainerT<Lumo::ENorvPinType> netPins(Lumo::NPT_NetPin);
    IteratorT<const Lumo::INorvComp> comp;
    const bool ok = clearWithSubObjects<Lumo::INorvComp, Lumo::INorvPin>(
        m_configRead->GetIterNorvComps(comp), comp, true, "ERROR: Cannot lock NORV Component\n",
        [&netPins](const auto& c, auto& pins) { return c->GetIterPins(pins, netPins); },
        "ERROR: Cannot lock NORV Component Pin\n");
    if (ok)
        done("Components cleared...\n");
    return ok;
}

bool ConstraintClearer::clearNetClasses()
{
    const char* const lockMessage = "ERROR: Cannot lock NORV Net Class\n";
    IteratorT<const Lumo::INorvNetClass> netClass;
    const bool ok = keepOrDelete(
        netClass, m_designRead->GetIterNetClasses(netClass), {kDefaultNetClass}, &Lumo::INorvDesign::DeleteNetClass,
        [&](const auto& it) {
            // Locked again while the default handle stays held.
            MutableContainerT<Lumo::INorvNetClass> kept;
            if (!LockerT<Lumo::INorvNetClass>::Lock(it, kept))
                return fail(lockMessage);
            bool has = false;
            if (!m_checker.ReadObjectConstraints(&*it, has)) {
                LockerT<Lumo::INorvNetClass>::UnLock(kept);
                return fatal();
            }
            if (has) {
                MutableContainerT<Lumo::INorvNetClass> clearing;
                if (!LockerT<Lumo::INorvNetClass>::Lock(it, clearing)) {
                    LockerT<Lumo::INorvNetClass>::UnLock(kept);
                    return fail(lockMessage);
                }
                const bool cleared = m_checker.ClearObjectConstraints(&*clearing);
                LockerT<Lumo::INorvNetClass>::UnLock(clearing);
                if (!cleared) {
                    LockerT<Lumo::INorvNetClass>::UnLock(kept);
                    return fatal();
                }
            }
            if (!kept->DeleteAllChildNetClass()) {
                LockerT<Lumo::INorvNetClass>::UnLock(kept);
                return fatal();
            }
            LockerT<Lumo::INorvNetClass>::UnLock(kept);
            return true;
        });
    if (ok)
        done("Net Classes cleared...\n");
    return ok;
}

bool ConstraintClearer::clearClearRules()
{
    IteratorT<const Lumo::INorvClearRule> rule;
    const bool ok = keepOrDelete(rule, m_designRead->GetIterClearRules(rule), {"(Default Rule)"},
                                 &Lumo::INorvDesign::DeleteClearRule, [&](const auto& it) {
                                     return clearIfConstrained<Lumo::INorvClearRule>(
                                         it, "ERROR: Cannot lock NORV Clear Rule\n");
                                 });
    if (ok)
        done("Clearance Rules cleared...\n");
    return ok;
}

bool ConstraintClearer::clearSchemes()
{
    IteratorT<const Lumo::INorvScheme> scheme;
    const bool ok = keepOrDelete(
        scheme, m_designRead->GetIterSchemes(scheme), {"(Minimum)", "(Master)"}, &Lumo::INorvDesign::DeleteScheme,
        [&](const auto& it) {
            if (!clearIfConstrained<Lumo::INorvScheme>(it, "ERROR: Cannot lock NORV Scheme\n"))
                return false;
            IteratorT<const Lumo::INorvSchemaNetClassRule> classRule;
            IteratorT<const Lumo::INorvSchemaClearRule> clearRule;
            return clearWithSubObjects<Lumo::INorvSchemaNetClassRule, Lumo::INorvLayerRule>(
                       it->GetIterSchemaNetClassRules(classRule), classRule, false,
                       "ERROR: Cannot lock NORV Scheme Net Class\n",
                       [](const auto& r, auto& layerRules) { return r->GetIterLayerRules(layerRules); },
                       "ERROR: Cannot lock NORV Layer Rule\n") &&
                   clearWithSubObjects<Lumo::INorvSchemaClearRule, Lumo::INorvLayerClearRule>(
                       it->GetIterSchemaClearRules(clearRule), clearRule, false,
                       "ERROR: Cannot lock NORV Scheme Clearance Rule\n",
                       [](const auto& r, auto& layerRules) { return r->GetIterLayerClearRules(layerRules); },
                       "ERROR: Cannot lock NORV Layer Clearance Rule\n");
        });
    if (ok)
        done("Scheme cleared...\n");
    return ok;
}

bool ConstraintClearer::clearConstraintClasses()
{
    IteratorT<const Lumo::INorvConstraintClass> constraintClass;
    const bool ok = keepOrDelete(
        constraintClass, m_designRead->GetIterConstraintClasses(constraintClass), {kDefaultConstraintClass},
        &Lumo::INorvDesign::DeleteConstraintClass, [&](const auto& it) {
            // Locked again while the default handle stays held, whether or not it has constraints.
            MutableContainerT<Lumo::INorvConstraintClass> kept;
            if (!LockerT<Lumo::INorvConstraintClass>::Lock(it, kept))
                return fail("ERROR: Cannot lock NORV Constraint Class\n");
            bool has = false;
            if (!m_checker.ReadObjectConstraints(&*it, has) || (has && !m_checker.ClearObjectConstraints(&*kept)) ||
                !kept->SetNetClass(*m_defaultNetClass) || !kept->DeleteAllConstraintClass()) {
                LockerT<Lumo::INorvConstraintClass>::UnLock(kept);
                return fatal();
            }
            LockerT<Lumo::INorvConstraintClass>::UnLock(kept);
            return true;
        });
    if (ok)
        done("Constraint Classes cleared...\n");
    return ok;
}

bool ConstraintClearer::deleteDesignCollections()
{
    static const struct
    {
        Lumo::Result (Lumo::INorvDesign::*deleteAll)();
        const char* message;
    } collections[] = {
        {&Lumo::INorvDesign::DeleteAllC2CClearRules, "ERROR: Cannot delete all C2C Clearance Rules\n"},
        {&Lumo::INorvDesign::DeleteAllZAxisClearRules, "ERROR: Cannot delete all ZAxis Clearance Rules\n"},
        {&Lumo::INorvDesign::DeleteAllConstVars, "ERROR: Cannot delete all Constants and Variables\n"},
        {&Lumo::INorvDesign::DeleteAllGenObjTypes, "ERROR: Cannot delete all Generic Objects\n"},
        {&Lumo::INorvDesign::DeleteAllNoiseRules, "ERROR: Cannot delete all Noise Rules\n"},
        {&Lumo::INorvDesign::DeleteAllParRuleDefs, "ERROR: Cannot delete all Parallelism Rule Definitions\n"},
        {&Lumo::INorvDesign::DeleteAllP2PClearRules, "ERROR: Cannot delete all P2P Clearance Rules\n"},
        {&Lumo::INorvDesign::DeleteAllPkgTypeClearRules, "ERROR: Cannot delete all PkgType Clearance Rules\n"},
    };
    for (const auto& collection : collections)
        if (!((*m_design).*collection.deleteAll)())
            return fail(collection.message);
    return true;
}

bool ConstraintClearer::clearGenClear()
{
    // A design without a general clearance, or with one that is not valid, has nothing to clear.
    ContainerT<const Lumo::INorvGenClear> genClear;
    if (const Lumo::Result got = m_designRead->GetNorvGenClear(genClear); !got)
        return isNotFound(got) || fatal();
    bool valid = false;
    if (!readValidity(*genClear, valid))
        return fatal();
    if (!valid)
        return true;
    bool has = false;
    if (!constrained(*genClear, has))
        return false;
    if (!has)
        return true;
    MutableContainerT<Lumo::INorvGenClear> locked;
    if (!LockerT<Lumo::INorvGenClear>::Lock(genClear, locked))
        return fail("ERROR: Cannot lock NORV General Clearance\n");
    if (!clearLocked(locked))
        return false;
    LockerT<Lumo::INorvGenClear>::UnLock(locked);
    done("General clearances cleared...\n");
    return true;
}

bool ConstraintClearer::regenerate()
{
    if (!m_config->UpdateAllElectricalNets())
        return fail("ERROR: Cannot regenerate all electrical nets\n");
    done("Electrical nets regenerated...\n");
    return true;
}

} // namespace

bool CNorvProjectChecker::ClearConstraints(const std::string& snapshotName, bool noBackup)
{
    if (!m_pSession)
        return false;

    if (!noBackup) {
        m_pLog->emitMessage("Preparing backup...\n");
        Lumo::GIndex backup;
        const Lumo::Result requested =
            m_pSession->RequestProjectBackup(backup, Lumo::PBT_8, "NORV", "Before clear all constraints");
        if (!requested) {
            m_pLog->emitMessage("ERROR: Cannot create backup for the database. Database error: " +
                                failureText(requested).str() + "\n");
            return false;
        }
        m_pLog->emitMessage("Backup created...\n");
    }

    m_pLog->emitMessage("Checking NORV clients...\n");
    Lumo::ListT<Lumo::ClientInfo> clients;
    m_pSession->GetListClients(clients); // an unreadable list counts as no client
    if (countNorvClients(clients) > 1) {
        m_pLog->emitMessage("ERROR: Cannot clear all constraints. There is more than one NORV client connected to "
                            "database.\n");
        return false;
    }

    m_pLog->emitMessage("Initializing design...\n");
    ContainerT<const Lumo::ISnapshot> snapshot;
    if (!m_pSession->GetSnapshotByName(snapshot, Lumo::String(snapshotName)) || !snapshot.IsValid()) {
        m_pLog->emitMessage("ERROR: Cannot get snapshot\n");
        return false;
    }
    snapshot->GetUIDManager(m_uidManager);

    ConstraintClearer clearer(*this, *m_pLog, m_uidManager);
    if (!clearer.open(snapshot, m_strTopBlock) || !clearer.clearAll())
        return false;
    clearer.release();
    return true;
}
