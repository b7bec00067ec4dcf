// The maintenance commands: init, clear, format, recreate, object and stats. Each opens the design
// as check does, arms the fault switches, runs one operation of the checker (or the statistics
// report) and saves a changed design as check --fix does, saying on standard error where it saved
// or that there was nothing to save. A failed operation, or one under a fault that fired, writes
// nothing, so that no file keeps a half-cleared or formatted-but-not-rebuilt design.
#include "host/Commands.h"

#include "host/DesignFile.h"
#include "host/DesignLock.h"
#include "host/ExitCode.h"
#include "host/HostLog.h"
#include "host/Interrupt.h"
#include "host/LogOutput.h"

#include "framework/CNorvProjectChecker.h"
#include "maintenance/CNorvStatistics.h"

#include "lumopi/StandIn.h"
#include "utils/TextUtils.h"

#include <memory>
#include <string>
#include <type_traits>

namespace KravikHost {

namespace {

using Lumo::ContainerT;
using Lumo::IUIDManager;

template <class T>
using Fetch = Lumo::Result (IUIDManager::*)(ContainerT<const T>&, const Lumo::Index&) const;

template <class T, class Visit>
bool VisitFetched(const IUIDManager& uid, Fetch<T> fetch, Lumo::Index index, Visit& visit)
{
    ContainerT<const T> object;
    if (!(uid.*fetch)(object, index))
        return false;
    visit(object);
    return true;
}

// Hands the Norv object of `index` to `visit` as a read-only container of its own kind; false when
// the index names no live Norv object. The design, which has no fetch by index, is reached through
// its configuration.
template <class Visit>
bool VisitNorvObject(const Lumo::ISnapshot& snapshot, const std::string& configOfDesign, Lumo::Index index,
                     Visit visit)
{
    IUIDManager uid;
    if (!snapshot.GetUIDManager(uid))
        return false;
    using namespace Lumo;
    switch (index.GetType())
    {
    case OT_NorvDesign:
    {
        ContainerT<const INorvConfig> config;
        ContainerT<const INorvDesign> design;
        Index designIndex;
        if (!snapshot.GetNorvConfig(config, configOfDesign) || !config->GetNorvDesign(design)
            || !design->GetIndex(designIndex) || designIndex != index)
            return false;
        visit(design);
        return true;
    }
    case OT_NorvLayer: return VisitFetched(uid, &IUIDManager::GetNorvLayer, index, visit);
    case OT_NorvNetClass: return VisitFetched(uid, &IUIDManager::GetNorvNetClass, index, visit);
    case OT_NorvClearRule: return VisitFetched(uid, &IUIDManager::GetNorvClearRule, index, visit);
    case OT_NorvConstraintClass: return VisitFetched(uid, &IUIDManager::GetNorvConstraintClass, index, visit);
    case OT_NorvViaSpan: return VisitFetched(uid, &IUIDManager::GetNorvViaSpan, index, visit);
    case OT_NorvGenClear: return VisitFetched(uid, &IUIDManager::GetNorvGenClear, index, visit);
    case OT_NorvPartTech: return VisitFetched(uid, &IUIDManager::GetNorvPartTech, index, visit);
    case OT_NorvConstVar: return VisitFetched(uid, &IUIDManager::GetNorvConstVar, index, visit);
    case OT_NorvC2CClearRule: return VisitFetched(uid, &IUIDManager::GetNorvC2CClearRule, index, visit);
    case OT_NorvPkgTypeClearRule: return VisitFetched(uid, &IUIDManager::GetNorvPkgTypeClearRule, index, visit);
    case OT_NorvP2PClearRule: return VisitFetched(uid, &IUIDManager::GetNorvP2PClearRule, index, visit);
    case OT_NorvParRuleDef: return VisitFetched(uid, &IUIDManager::GetNorvParRuleDef, index, visit);
    case OT_NorvParRuleSection: return VisitFetched(uid, &IUIDManager::GetNorvParRuleSection, index, visit);
    case OT_NorvNoiseRule: return VisitFetched(uid, &IUIDManager::GetNorvNoiseRule, index, visit);
    case OT_NorvScheme: return VisitFetched(uid, &IUIDManager::GetNorvScheme, index, visit);
    case OT_NorvSchemeNetClassRule: return VisitFetched(uid, &IUIDManager::GetNorvSchemaNetClassRule, index, visit);
    case OT_NorvViaAssign: return VisitFetched(uid, &IUIDManager::GetNorvViaAssign, index, visit);
    case OT_NorvLayerRule: return VisitFetched(uid, &IUIDManager::GetNorvLayerRule, index, visit);
    case OT_NorvSchemeClearRule: return VisitFetched(uid, &IUIDManager::GetNorvSchemaClearRule, index, visit);
    case OT_NorvLayerClearRule: return VisitFetched(uid, &IUIDManager::GetNorvLayerClearRule, index, visit);
    case OT_NorvGenObjType: return VisitFetched(uid, &IUIDManager::GetNorvGenObjType, index, visit);
    case OT_NorvGenCompObj: return VisitFetched(uid, &IUIDManager::GetNorvGenCompObj, index, visit);
    case OT_NorvGenObj: return VisitFetched(uid, &IUIDManager::GetNorvGenObj, index, visit);
    case OT_NorvDiffPair: return VisitFetched(uid, &IUIDManager::GetNorvDiffPair, index, visit);
    case OT_NorvElectricalNet: return VisitFetched(uid, &IUIDManager::GetNorvElectricalNet, index, visit);
    case OT_NorvPinPair: return VisitFetched(uid, &IUIDManager::GetNorvPinPair, index, visit);
    case OT_NorvPhysicalNet: return VisitFetched(uid, &IUIDManager::GetNorvPhysicalNet, index, visit);
    case OT_NorvFromTo: return VisitFetched(uid, &IUIDManager::GetNorvFromTo, index, visit);
    case OT_NorvComp: return VisitFetched(uid, &IUIDManager::GetNorvComp, index, visit);
    case OT_NorvPin: return VisitFetched(uid, &IUIDManager::GetNorvPin, index, visit);
    case OT_NorvPart: return VisitFetched(uid, &IUIDManager::GetNorvPart, index, visit);
    case OT_NorvPartPin: return VisitFetched(uid, &IUIDManager::GetNorvPartPin, index, visit);
    case OT_NorvVia: return VisitFetched(uid, &IUIDManager::GetNorvVia, index, visit);
    case OT_NorvPartPinPair: return VisitFetched(uid, &IUIDManager::GetNorvPartPinPair, index, visit);
    case OT_NorvZAxisClearRule: return VisitFetched(uid, &IUIDManager::GetNorvZAxisClearRule, index, visit);
    case OT_NorvZAxisLayerRule: return VisitFetched(uid, &IUIDManager::GetNorvZAxisLayerRule, index, visit);
    default: return false;
    }
}

// The design's own record of the object, bypassing faults: the command tells an index that names
// nothing apart from a query that failed.
bool IsLiveNorvObject(Lumo::LumoPI& session, Lumo::Index index, std::string& config)
{
    const int type = index.GetType();
    const bool norvKind = type == Lumo::OT_NorvDesign || (type >= Lumo::OT_NorvLayer && type <= Lumo::OT_NorvPartPin)
                          || type == Lumo::OT_NorvVia || type == Lumo::OT_NorvPartPinPair
                          || type == Lumo::OT_NorvZAxisClearRule || type == Lumo::OT_NorvZAxisLayerRule;
    Lumo::StandIn::Store& store = Lumo::StandIn::GetStore(session);
    if (!norvKind || !store.IsAlive(index))
        return false;
    if (index.GetType() == Lumo::OT_NorvDesign)
        config = store.Name(store.Owner(index));
    return true;
}

// Whether the selected snapshot holds a live Norv configuration of the top block.
bool HasNorvData(Lumo::LumoPI& session, const std::string& topBlock)
{
    Lumo::StandIn::Store& store = Lumo::StandIn::GetStore(session);
    for (const Lumo::Index& config : store.List(store.SnapshotIndex(), Lumo::StandIn::Field::norvConfigs))
        if (store.IsAlive(config) && store.Name(config) == topBlock)
            return true;
    return false;
}

enum class ObjectOutcome
{
    REPORTED,
    CLEARED,
    FAILED
};

// object INDEX [--clear]: asks the checker whether the object has constraints or attributes and,
// when asked to and it has, clears them through a lock of its own. `found` is false when the object
// or the answer could not be read.
ObjectOutcome RunObject(CNorvProjectChecker& checker, const ContainerT<const Lumo::ISnapshot>& snapshot,
                        const std::string& configOfDesign, const MaintenanceOptions& options, IKravikLog& log,
                        bool& found)
{
    ObjectOutcome outcome = ObjectOutcome::FAILED;
    bool unread = false;
    found = VisitNorvObject(*snapshot, configOfDesign, Lumo::Index(options.index), [&](const auto& object) {
        using T = typename std::decay_t<decltype(object)>::Object;
        // An answer that could not be read is no "no": the query fails.
        bool has = false;
        if (!checker.ReadObjectConstraints(&*object, has))
        {
            unread = true;
            return;
        }
        if (!options.clearObject || !has)
        {
            log.emitMessage(options.indexText + (has ? " has constraints or attributes\n"
                                                     : " has no constraints or attributes\n"));
            outcome = ObjectOutcome::REPORTED;
            return;
        }
        Lumo::MutableContainerT<T> locked;
        if (!Lumo::LockerT<T>::Lock(object, locked))
            return;
        const bool cleared = checker.ClearObjectConstraints(&*locked);
        Lumo::LockerT<T>::UnLock(locked);
        if (!cleared)
            return;
        log.emitMessage(options.indexText + " cleared\n");
        outcome = ObjectOutcome::CLEARED;
    });
    found = found && !unread;
    return outcome;
}

std::string NoNorvData(const OpenDesign& design)
{
    return "no Norv data for top block \"" + design.topBlock + "\" in snapshot \"" + design.snapshot + "\"";
}

} // namespace

int RunMaintenance(const MaintenanceOptions& options, std::ostream& err)
{
    const bool saves = options.Saves();
    DesignLock lock;
    if (saves
        && PrepareSave(lock, options.design, options.outputFile, MaintenanceCommandName(options.operation), err)
               != EXIT_CLEAN)
        return EXIT_OPERATIONAL;
    // A Ctrl-C lets the operation end and keeps its result from being saved; stats ends at once.
    std::unique_ptr<InterruptGuard> interrupt;
    if (saves)
        interrupt = std::make_unique<InterruptGuard>(false, true);
    OpenDesign design;
    std::string error;
    if (!OpenDesignFile(options.design, options.snapshot, options.topBlock, design, error))
        return OperationalError(err, options.design, error);
    Lumo::LumoPI& session = *design.session;

    // The operations below report a missing configuration only by failing: name it here.
    const bool hasNorvData = HasNorvData(session, design.topBlock);
    if (!hasNorvData && options.operation == MaintenanceOptions::FORMAT)
        return OperationalError(err, options.design, NoNorvData(design));
    if (!hasNorvData && options.operation == MaintenanceOptions::RECREATE)
        return OperationalError(err, options.design, NoNorvData(design) + "; run kravik init first");
    std::string configOfDesign;
    if (options.operation == MaintenanceOptions::OBJECT
        && !IsLiveNorvObject(session, Lumo::Index(options.index), configOfDesign))
        return OperationalError(err, options.design, "no Norv object " + options.indexText);

    OwnedFile ownLogFile;
    FILE* logFile = OpenLog(options.logFile, options.design, ownLogFile, error);
    if (!logFile)
        return OperationalError(err, options.logFile, error);
    HostLog log(logFile, false);

    const DeclaredFaults declaredFaults = ApplyFaultSwitches(session, options.faults);
    bool done = false;
    std::string failure;
    if (options.operation == MaintenanceOptions::STATS)
    {
        CNorvStatistics statistics(&session, design.topBlock, &log, "", 1, 0, "", false, "kravik", false);
        done = statistics.GenerateStats(design.snapshot);
        failure = hasNorvData ? "the statistics report could not be made" : NoNorvData(design);
    }
    else
    {
        CNorvProjectChecker checker(&session, design.topBlock, &log, "", 1, 0, "", false, false, "kravik", false);
        switch (options.operation)
        {
        case MaintenanceOptions::INIT:
            done = checker.Init_NorvLUMO(design.snapshot);
            failure = "the Norv data could not be initialised";
            break;
        case MaintenanceOptions::CLEAR:
            done = checker.ClearConstraints(design.snapshot, options.noBackup);
            failure = "the constraints could not be cleared";
            break;
        case MaintenanceOptions::FORMAT:
            done = checker.Format_NorvLUMO(design.snapshot);
            failure = "the Norv data could not be removed";
            break;
        case MaintenanceOptions::RECREATE:
            done = checker.ReCreate_NorvLUMO(design.snapshot);
            failure = "the Norv data could not be re-created";
            break;
        case MaintenanceOptions::OBJECT:
        {
            ContainerT<const Lumo::ISnapshot> snapshot;
            bool found = false;
            if (session.GetSnapshotByName(snapshot, design.snapshot))
                done = RunObject(checker, snapshot, configOfDesign, options, log, found) != ObjectOutcome::FAILED;
            failure = found ? "the constraints of " + options.indexText + " could not be cleared"
                            : "the Norv object " + options.indexText + " could not be read";
            break;
        }
        case MaintenanceOptions::STATS:
            break;
        }
    }
    const std::string logFailure = FinishLog(logFile, ownLogFile, log.WriteError());
    if (options.faults.countCalls)
        PrintCallCounts(session, err);
    const bool fired =
        ReportFiredFaults(session, options.design, saves ? "nothing was saved" : "the report is incomplete", err);
    if (!done)
        return OperationalError(err, options.design, failure);
    if (!logFailure.empty())
        return OperationalError(err, LogName(options.logFile), "cannot write: " + logFailure);
    if (fired)
        return EXIT_OPERATIONAL;
    if (!saves)
        return EXIT_CLEAN;

    RestoreDeclaredFaults(session, declaredFaults);
    if (InterruptGuard::Requested())
    {
        OperationalError(err, options.design, "stopped by Ctrl-C; nothing was saved");
        return EXIT_CANCELED;
    }
    if (!Lumo::StandIn::IsModified(session))
    {
        err << "kravik: " << LumoUtils::escapeControls(options.design) << ": nothing to change, not saved" << std::endl;
        return EXIT_CLEAN;
    }
    return SaveDesign(session, lock, options.design, options.outputFile, err);
}

} // namespace KravikHost
