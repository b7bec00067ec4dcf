// Host and test side of the design-database stand-in: creating, loading and saving sessions, fault
// injection, call counting, recorded calls, backups, direct store access and the C++ design builder.
// For hosts and tests only: kravik, the tests and a program that stands in for the host (such as the
// installed consumer) include it; the library's own code never does, as a design application has no such
// header. Everything here bypasses faults, counting and locks unless stated.
// Not thread-safe: use one session from one thread at a time.
#pragma once

#include "lumopi/LumoPI.h"

#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Lumo {
namespace detail {
struct FaultState;
}
namespace StandIn {

// ---------------------------------------------------------------------------------------------------------
// Object kinds (the design file's "kind" names) and the fields of the records (the design file's keys).

enum class Kind : uint8_t {
    None = 0,
    LogicComp, Design, Constraint, Layer, NetClass, ClearRule, ConstraintClass, ViaSpan, GenClear, PartTech,
    ConstVar, C2CClearRule, PkgTypeClearRule, P2PClearRule, ParRuleDef, ParRuleSection, NoiseRule, Scheme,
    SchemaNetClassRule, ViaAssign, LayerRule, SchemaClearRule, LayerClearRule, GenObjType, GenCompObj, GenObj,
    DiffPair, ElectricalNet, PinPair, PhysicalNet, FromTo, NorvComp, NorvPin, Part, PartPin, Via, PartPinPair,
    ConstraintDef, ZAxisClearRule, ZAxisLayerRule, Snapshot, NorvConfig, DefaultConfig, FlatNet, PageNet, Path,
    DesignPin,
    Count
};

enum class Field : uint8_t {
    // scalars
    layerType, layerNumber, metallicLayerNumber, noiseType, schemeType, layerIndex, level, netType, pairType,
    filterType, norvType, pinType, partPinType, forwardPcbFlags, label, types, width, definition, user,
    isDefaultValue,
    // single references ("in" is the owner)
    in, design, netClass, victim, aggressor, parentNetClass, parentLayer, parentClearRule, parentDiffPair,
    constraintClass, parentElectricalNet, flatNet, firstElecNet, secondElecNet, firstPin, secondPin, pinFrom,
    pinTo, parentPart, parentPhysicalNet, parentNorvComp, parentPartPin, designPin, parentPin, virtualPinSetPin,
    firstPartPin, secondPartPin, physicalNet, path, parent,
    // ordered lists
    norvConfigs, defaultConfigs, electricalNets, physicalNets, diffPairs, norvComps, parts, flatNets, logicComps,
    layers, netClasses, constraintClasses, clearRules, schemes, viaSpans, vias, partTechs, constVars,
    c2cClearRules, pkgTypeClearRules, p2pClearRules, parRuleDefs, noiseRules, zAxisClearRules, genObjTypes,
    genClears, childNetClasses, schemaNetClassRules, schemaClearRules, childConstraintClasses, allowedVias,
    sections, childRules, layerRules, viaAssigns, layerClearRules, genCompObjs, genObjs, zAxisLayerRules,
    pinPairs, pins, fromTos, pinsConnected, members, flatPins, partPins, partPinPairs, parentPartPinPairs,
    pageNets, hierarchy, netsConnected, norvPins, constraints,
    Count
};

const char* KindName(Kind kind);                      // "PhysicalNet"
bool KindFromName(const std::string& name, Kind& out);
int32_t TypeOfKind(Kind kind);                       // the index type byte, 49 for PhysicalNet
Kind KindOfType(int32_t type);                       // Kind::None for types that name no kind
const char* FieldName(Field field);                  // "parentElectricalNet"
bool FieldFromName(const std::string& name, Field& out);

// ---------------------------------------------------------------------------------------------------------

struct SessionIdentity {
    std::string address = "standin-host";
    std::string subClient = "Kravik (FE NORV)";
};

struct LoadError {
    std::string path;     // JSON Pointer of the offending value
    std::string message;
};

// A failed Result with the given description (for the stand-in's own code and tests).
Result Failure(const std::string& text);
bool IsStringResultsEnabled();
void SetStringResultsEnabledForTest(bool enabled);

// ---------------------------------------------------------------------------------------------------------

// Fault injection (per session). Checked on every counted call in this order: countdown, next-N per
// operation, per object and operation. Operation names are method names; walks use "<GetIterX>.IsValid" and
// "<GetIterX>.GetCount".
class Faults {
public:
    struct FiredEntry {
        std::string operation;
        Index object;
    };

    // Fails calls of op on the object with this index in the current snapshot (or on the session definition,
    // for type 72): every call with count -1, otherwise the next count calls.
    void FailOn(Index object, const std::string& op, int count = -1);
    void FailOnSession(const std::string& op, int count = -1);
    void FailOnSnapshot(Index snapshot, const std::string& op, int count = -1);
    void FailNext(const std::string& op, int n);
    // Fails the k-th counted call from now, then disarms; 0 disarms.
    void SetCountdown(uint64_t k);
    uint64_t GetCountdown() const;
    const std::map<std::string, int>& GetFailNext() const;
    void ClearObjectFaults();
    void ClearAll();
    // A copy of every armed fault (countdown, next-N, per object, per session), and putting it back:
    // Restore also gives the copy's faults to the snapshots of the backups taken since Save, so that
    // faults armed for one run only reach no saved file.
    std::shared_ptr<const detail::FaultState> Save() const;
    void Restore(const detail::FaultState& state);
    const std::vector<FiredEntry>& Fired() const;

private:
    friend struct detail::Access;
    friend struct detail::SessionData;
    explicit Faults(detail::SessionData* session) : m_session(session) {}
    detail::SessionData* m_session;
};

// Calls per operation name, injected failures included.
class CallCounts {
public:
    uint64_t Get(const std::string& op) const;
    uint64_t Total() const;
    std::map<std::string, uint64_t> Snapshot() const;
    void Reset();

private:
    friend struct detail::SessionData;
    explicit CallCounts(detail::SessionData* session) : m_session(session) {}
    detail::SessionData* m_session;
};

// A recorded call of UpdateIncremental, UpdateAllElectricalNets, Synchronize or RequestProjectBackup.
struct Record {
    std::string operation;
    Index receiver;
    std::vector<Index> physNets;   // UpdateIncremental
    std::vector<Index> elecNets;   // UpdateIncremental
    bool flag = false;             // Synchronize
    int32_t type = 0;              // RequestProjectBackup
    std::string text1, text2;      // RequestProjectBackup
};

// One RequestProjectBackup: deep copies of every snapshot at the time of the request.
struct Backup {
    GIndex gindex;
    int32_t type = 0;
    std::string text1, text2;
    std::vector<std::shared_ptr<detail::SnapshotData>> snapshots;
};

struct LockEntry {
    Index object;
    std::string address;
    std::string subClient;
    bool deep = false;
    uint32_t count = 0;   // own acquisitions (declared entries start at 1)
    bool declared = false;
};

struct StoreAttribute {
    std::string name;
    std::string value;
    int32_t type = 0;
    int32_t bit = -1;
};

// Direct access to the records of one snapshot (the current one unless Select picks another), for tests and
// the host. No faults, no counting, no locks. Getters of absent objects or fields return defaults.
class Store {
public:
    bool Select(const std::string& snapshotName);
    std::string SnapshotName() const;
    Index SnapshotIndex() const;

    bool Exists(Index index) const;       // a record was ever issued
    bool IsAlive(Index index) const;
    Kind KindOf(Index index) const;
    std::string Name(Index index) const;
    Index Owner(Index index) const;
    int64_t Int(Index index, Field field) const;
    bool HasInt(Index index, Field field) const;       // false for optional scalars not set
    std::string Text(Index index, Field field) const;
    Index Ref(Index index, Field field) const;
    std::vector<Index> List(Index index, Field field) const;
    bool Flag(Index index, const std::string& flag) const;   // "valid", "emptyIndex", "alive"
    std::vector<std::string> Inherits(Index index) const;
    std::vector<StoreAttribute> Attributes(Index index) const;
    ConstraintData ConstraintValue(Index constraint) const;
    std::vector<LockEntry> Locks() const;
    std::vector<Index> Definitions() const;   // session definitions (type 72), in order
    std::vector<Index> AllLive(Kind kind) const;
    size_t RecordCount() const;               // records of the snapshot, tombstones included

    void SetName(Index index, const std::string& name);
    void SetInt(Index index, Field field, int64_t value);
    void SetText(Index index, Field field, const std::string& value);
    void SetRef(Index index, Field field, Index target);      // one side only
    void Append(Index index, Field field, Index target);      // one side only
    void ClearList(Index index, Field field);
    void SetFlag(Index index, const std::string& flag, bool value);

private:
    friend struct detail::SessionData;
    explicit Store(detail::SessionData* session) : m_session(session) {}
    detail::SessionData* m_session;
    detail::SnapshotData* m_selected = nullptr;
};

std::unique_ptr<LumoPI> NewSession(SessionIdentity identity = {});
// Loads a design file. Returns null on error; err then holds the JSON Pointer path and a message.
std::unique_ptr<LumoPI> LoadSession(const std::string& path, LoadError* err = nullptr);

// How far a load has come, for a progress display. A load first reads the file's text (`done`
// counts the JSON objects read so far; `total` is 0, not yet known), then builds each snapshot's
// objects from it (`done` of the snapshot's `total`).
struct LoadProgress {
    enum Phase { Reading, Building };
    Phase phase = Reading;
    uint64_t done = 0;
    uint64_t total = 0;
    uint64_t fileBytes = 0;   // size of the file
};
// Called on the loading thread at the start of reading, every few thousand objects and at the end
// of each snapshot.
using LoadProgressHook = std::function<void(const LoadProgress&)>;
std::unique_ptr<LumoPI> LoadSession(const std::string& path, LoadError* err, const LoadProgressHook& progress);
// Atomic save; refuses an existing path unless overwrite.
Result SaveSession(const LumoPI& session, const std::string& path, bool overwrite = false);
// The bytes SaveSession would save, written to the open file `fd` at its offset, for a caller that
// places the file itself; it neither syncs nor closes it. A failed Result's description is the
// reason alone: the system's text of a failed write, or what the session holds that cannot be saved.
Result WriteSessionTo(const LumoPI& session, int fd);
bool IsModified(const LumoPI& session);
void ClearModified(LumoPI& session);
Faults& GetFaults(LumoPI& session);
// Whether a fault entry may name this operation ("GetName", "GetIterNets.IsValid", ...).
bool IsOperationName(const std::string& name);
CallCounts& GetCallCounts(LumoPI& session);
const std::vector<Record>& GetRecords(const LumoPI& session);
const std::vector<Backup>& GetBackups(const LumoPI& session);
Store& GetStore(LumoPI& session);

// ---------------------------------------------------------------------------------------------------------

// Builds a design in one snapshot of a session, directly in the store (no faults, counting or locks).
// Add places an object in its owner's home list and sets its owner; Link sets both sides of a relation; the
// *Only setters write one side, which is how broken designs are made.
class Builder {
public:
    Builder(LumoPI& session, const std::string& snapshotName);  // creates the snapshot if missing

    Index Snapshot() const;
    Index NorvConfig(const std::string& topBlock);
    Index DefaultConfig(const std::string& topBlock);
    Index Design(Index norvConfig);
    Index Layer(Index design, const std::string& name, int32_t number, int32_t metallicNumber,
                int32_t layerType = LT_Metallic);
    // "(All)", "(Default)", "(Master)", "(Minimum)", "(Default Rule)" and a general clearance, with their
    // scheme rules.
    void DefaultObjects(Index design);

    // Generic creation under an owner; for NorvPin, pinKind is its norvType.
    Index Add(Kind kind, Index owner, const std::string& name = "", int32_t pinKind = NPT_NetPin);
    // Typed shorthands. NetClass, ClearRule and Scheme keep the schemes in step like the database does.
    Index NetClass(Index designOrClass, const std::string& name);
    Index ConstraintClass(Index designOrClass, const std::string& name, Index netClass = Index());
    Index ClearRule(Index design, const std::string& name);
    Index Scheme(Index design, const std::string& name, ESchemeType type = ST_Ordinary);
    Index Via(Index design, const std::string& name);
    Index ElectricalNet(Index norvConfig, const std::string& name);
    Index PhysicalNet(Index norvConfig, const std::string& name, Index electricalNet = Index());
    Index DiffPair(Index norvConfig, const std::string& name, Index first, Index second);
    Index Part(Index norvConfig, const std::string& name, int partPins = 0);
    Index NorvComp(Index norvConfig, const std::string& name, Index part = Index());
    // A pin owned by a component (kinds 0 and 8) or a physical net (other kinds); connected to net when given.
    Index Pin(Index owner, const std::string& name, int32_t pinKind = NPT_NetPin, Index net = Index());
    Index PinPair(Index electricalNet, const std::string& name, Index first, Index second, int32_t pairType = 0);
    Index FromTo(Index physicalNet, const std::string& name, Index from, Index to);
    Index FlatNet(Index defaultConfig, const std::string& name, Index physicalNet = Index());
    Index LogicComp(Index defaultConfig, const std::string& name);
    Index DesignPin(Index logicComp, const std::string& name, const std::string& pinNumber = "");

    void Link(Index a, Field field, Index b);          // both sides (or the owner and its home list for in)
    void SetRefOnly(Index a, Field field, Index b);    // one side, any target (raw indexes allowed)
    void AppendOnly(Index a, Field field, Index b);    // one side; duplicates allowed
    void SetInt(Index a, Field field, int64_t value);
    void SetText(Index a, Field field, const std::string& value);
    void SetName(Index a, const std::string& name);
    void Literal(Index a, Field field);                // empties the list (for hand-written lists)

    Index Constraint(Index holder, const std::string& name, int value);
    Index Constraint(Index holder, const std::string& name, double value);
    Index Constraint(Index holder, const std::string& name, const char* value);
    Index Constraint(Index holder, const std::string& name, const std::string& value);
    Index Constraint(Index holder, const std::string& name, const std::vector<int32_t>& value);
    Index Constraint(Index holder, const std::string& name, const std::vector<double>& value);
    Index Constraint(Index holder, const std::string& name, const std::vector<std::string>& value);
    Index Constraint(Index holder, const std::string& name, const ConstraintData& value);
    // Own record flags: definition (parent empty by default), user, a fixed IsDefaultValue, a given parent.
    void ConstraintFlags(Index constraint, bool definition, bool user = true);
    void ConstraintIsDefault(Index constraint, bool isDefault);
    void ConstraintParent(Index constraint, Index parent);   // empty index = "parent": null
    Index Definition(const std::string& name, const ConstraintData& value);
    Index Definition(const std::string& name, int value);
    Index Definition(const std::string& name, double value);
    Index Definition(const std::string& name, const char* value);
    void Inherit(Index object, const std::string& definitionName);

    void Attribute(Index object, const std::string& name, const std::string& value, int32_t type = 0,
                   int32_t bit = -1);
    void SnapshotAttribute(const std::string& name, const std::string& value);
    void Invalid(Index object, bool invalid = true);
    void EmptyIndex(Index object, bool empty = true);
    void Fail(Index object, const std::string& op, int count = -1);
    void ForeignLock(Index object, const std::string& address, const std::string& subClient, bool deep = false);
    void Client(const std::string& name, const std::vector<std::string>& subClients);
    void Delete(Index object);   // as the database deletes (cascade and list removal), without lock checks

    Store& GetStore() const;

private:
    LumoPI& m_session;
    detail::SnapshotData* m_snap;
};

}  // namespace StandIn
}  // namespace Lumo
