// Scheme synchronisation: new, renamed and moved net classes and clearance rules keep their rules in every
// scheme.
#include "Ops.h"

#include <unordered_set>

namespace Lumo {
namespace detail {

namespace {

const ObjRecord* LiveOf(const SnapshotData& snap, uint64_t index) { return snap.FindLive(index); }

std::vector<uint64_t> LiveList(const SnapshotData& snap, uint64_t owner, Field f, Kind kind)
{
    std::vector<uint64_t> out;
    const ObjRecord* r = LiveOf(snap, owner);
    if (!r) return out;
    for (uint64_t i : snap.GetList(*r, f)) {
        const ObjRecord* t = LiveOf(snap, i);
        if (t && t->kind == kind) out.push_back(i);
    }
    return out;
}

uint32_t SlotOf(const SnapshotData& snap, uint64_t index) { return static_cast<uint32_t>(snap.SlotOfIndex(index)); }

// A new rule object under owner: layer rules per metallic layer and, for net-class rules, via assigns.
void AddLayerChildren(SnapshotData& snap, uint32_t ruleSlot, uint64_t design, bool netClassRule)
{
    const uint64_t rule = snap.records[ruleSlot].index;
    for (uint64_t layer : LiveList(snap, design, Field::layers, Kind::Layer)) {
        const ObjRecord& l = *snap.FindLive(layer);
        if (snap.GetInt(l, Field::layerType) != LT_Metallic) continue;
        const int64_t number = snap.GetInt(l, Field::layerNumber);
        const uint32_t s = CreateOwned(snap, netClassRule ? Kind::LayerRule : Kind::LayerClearRule, rule, "");
        snap.SetInt(s, Field::layerIndex, number);
        snap.SetRef(s, Field::parentLayer, layer);
    }
    if (!netClassRule) return;
    for (uint64_t via : LiveList(snap, design, Field::vias, Kind::Via)) {
        const std::string name = snap.FindLive(via)->name;
        CreateOwned(snap, Kind::ViaAssign, rule, name);
    }
}

uint64_t NewClassRule(SnapshotData& snap, uint64_t netClass, uint64_t owner, uint64_t design)
{
    const std::string name = snap.FindLive(netClass)->name;
    const uint32_t s = CreateOwned(snap, Kind::SchemaNetClassRule, owner, name);
    snap.Link(s, Field::parentNetClass, netClass);
    AddLayerChildren(snap, s, design, true);
    return snap.records[s].index;
}

uint64_t NewClearRule(SnapshotData& snap, uint64_t clearRule, uint64_t scheme, uint64_t design)
{
    const std::string name = snap.FindLive(clearRule)->name;
    const uint32_t s = CreateOwned(snap, Kind::SchemaClearRule, scheme, name);
    snap.Link(s, Field::parentClearRule, clearRule);
    AddLayerChildren(snap, s, design, false);
    return snap.records[s].index;
}

// The class's parent class when its owner is a live net class, else 0.
uint64_t ParentClass(const SnapshotData& snap, uint64_t netClass)
{
    const ObjRecord* r = LiveOf(snap, netClass);
    const ObjRecord* o = r ? LiveOf(snap, r->owner) : nullptr;
    return (o && o->kind == Kind::NetClass) ? o->index : 0;
}

// Where a class's rule goes in a scheme: the parent class's rule there, or the scheme's top level.
uint64_t RuleOwnerFor(const SnapshotData& snap, uint64_t netClass, uint64_t scheme)
{
    const uint64_t parent = ParentClass(snap, netClass);
    if (parent) {
        if (uint64_t pr = RuleOfClassInScheme(snap, parent, scheme)) return pr;
    }
    return scheme;
}

// Each rule once: a rule listed again (or in a cycle of the rule tree) is not walked a second time.
void PreOrderRules(const SnapshotData& snap, uint64_t owner, Field f, std::vector<uint64_t>& out,
                   std::unordered_set<uint64_t>& seen)
{
    for (uint64_t r : LiveList(snap, owner, f, Kind::SchemaNetClassRule)) {
        if (!seen.insert(r).second) continue;
        out.push_back(r);
        PreOrderRules(snap, r, Field::childRules, out, seen);
    }
}

void PreOrderClasses(const SnapshotData& snap, uint64_t owner, Field f, std::vector<uint64_t>& out, size_t limit)
{
    for (uint64_t c : LiveList(snap, owner, f, Kind::NetClass)) {
        if (out.size() > limit) return;
        if (std::find(out.begin(), out.end(), c) != out.end()) continue;   // listed twice, or a cycle
        out.push_back(c);
        PreOrderClasses(snap, c, Field::childNetClasses, out, limit);
    }
}

std::vector<uint64_t> Schemes(const SnapshotData& snap, uint64_t design)
{
    return LiveList(snap, design, Field::schemes, Kind::Scheme);
}

}  // namespace

uint64_t DesignOf(const SnapshotData& snap, uint64_t index)
{
    const ObjRecord* r = LiveOf(snap, index);
    size_t steps = 0;
    while (r && steps++ <= snap.records.size()) {
        if (r->kind == Kind::Design) return r->index;
        r = LiveOf(snap, r->owner);
    }
    return 0;
}

uint64_t SchemeOfRule(const SnapshotData& snap, uint64_t rule)
{
    const ObjRecord* r = LiveOf(snap, rule);
    size_t steps = 0;
    while (r && steps++ <= snap.records.size()) {
        if (r->kind == Kind::Scheme) return r->index;
        if (r->kind != Kind::SchemaNetClassRule && r->kind != Kind::SchemaClearRule) return 0;
        r = LiveOf(snap, r->owner);
    }
    return 0;
}

uint64_t RuleOfClassInScheme(const SnapshotData& snap, uint64_t netClass, uint64_t scheme)
{
    const ObjRecord* c = LiveOf(snap, netClass);
    if (!c) return 0;
    for (uint64_t r : snap.GetList(*c, Field::schemaNetClassRules)) {
        const ObjRecord* rr = LiveOf(snap, r);
        if (rr && rr->kind == Kind::SchemaNetClassRule && SchemeOfRule(snap, r) == scheme) return r;
    }
    std::vector<uint64_t> rules;
    std::unordered_set<uint64_t> seen;
    PreOrderRules(snap, scheme, Field::schemaNetClassRules, rules, seen);
    for (uint64_t r : rules) {
        if (snap.GetRef(*snap.FindLive(r), Field::parentNetClass) == netClass) return r;
    }
    return 0;
}

void PopulateScheme(SnapshotData& snap, uint32_t schemeSlot)
{
    const uint64_t scheme = snap.records[schemeSlot].index;
    const uint64_t design = DesignOf(snap, scheme);
    if (!design) return;
    std::vector<uint64_t> classes;
    PreOrderClasses(snap, design, Field::netClasses, classes, snap.records.size());
    std::unordered_map<uint64_t, uint64_t> ruleOf;
    for (uint64_t c : classes) {
        const uint64_t parent = ParentClass(snap, c);
        auto it = ruleOf.find(parent);
        const uint64_t owner = (parent && it != ruleOf.end()) ? it->second : scheme;
        ruleOf[c] = NewClassRule(snap, c, owner, design);
    }
    for (uint64_t cr : LiveList(snap, design, Field::clearRules, Kind::ClearRule)) NewClearRule(snap, cr, scheme, design);
}

void SyncNewClass(SnapshotData& snap, uint32_t classSlot)
{
    const uint64_t netClass = snap.records[classSlot].index;
    const uint64_t design = DesignOf(snap, netClass);
    if (!design) return;
    for (uint64_t s : Schemes(snap, design)) NewClassRule(snap, netClass, RuleOwnerFor(snap, netClass, s), design);
}

void SyncNewClearRule(SnapshotData& snap, uint32_t ruleSlot)
{
    const uint64_t rule = snap.records[ruleSlot].index;
    const uint64_t design = DesignOf(snap, rule);
    if (!design) return;
    for (uint64_t s : Schemes(snap, design)) NewClearRule(snap, rule, s, design);
}

void RenameMapped(SnapshotData& snap, uint32_t slot)
{
    const ObjRecord& r = snap.records[slot];
    const Field f = r.kind == Kind::NetClass ? Field::schemaNetClassRules : Field::schemaClearRules;
    const std::string name = r.name;
    const RefList mapped = snap.GetList(r, f);
    for (uint64_t m : mapped) {
        if (snap.FindLive(m)) snap.SetName(SlotOf(snap, m), name);
    }
}

void SyncMovedClass(SnapshotData& snap, uint32_t classSlot)
{
    const uint64_t moved = snap.records[classSlot].index;
    const uint64_t design = DesignOf(snap, moved);
    if (!design) return;
    std::vector<uint64_t> classes{moved};
    PreOrderClasses(snap, moved, Field::childNetClasses, classes, snap.records.size());
    for (uint64_t s : Schemes(snap, design)) {
        for (uint64_t c : classes) {
            const uint64_t rule = RuleOfClassInScheme(snap, c, s);
            const uint64_t owner = RuleOwnerFor(snap, c, s);
            if (!rule) {
                NewClassRule(snap, c, owner, design);
                continue;
            }
            const uint32_t rs = SlotOf(snap, rule);
            const uint64_t oldOwner = snap.records[rs].owner;
            if (const ObjRecord* o = snap.FindLive(oldOwner)) {
                const Field home = HomeField(o->kind, Kind::SchemaNetClassRule);
                if (home != Field::Count) snap.RemoveFromList(SlotOf(snap, oldOwner), home, rule);
            }
            snap.Place(rs, owner);
            snap.SetName(rs, snap.FindLive(c)->name);
            snap.Link(rs, Field::parentNetClass, c);
        }
    }
}

}  // namespace detail
}  // namespace Lumo
