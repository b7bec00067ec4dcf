#include "SessionDump.h"

#include "platform/lumo/src/Store.h"

#include <algorithm>
#include <map>
#include <sstream>

namespace LumoTest {

namespace {

using namespace Lumo;
using namespace Lumo::detail;

std::string Idx(uint64_t v) { return v == kUnsetRef ? "unset" : IndexText(v); }

void DumpValue(std::ostream& os, const ConstraintData& v)
{
    os << "kind=" << v.kind << " text=" << v.GetValueAsString().str() << " raw=" << v.textValue.str()
       << " n=" << v.intList.size() << "/" << v.doubleList.size() << "/" << v.textList.size();
}

void DumpFaults(std::ostream& os, const std::vector<FaultEntry>& faults)
{
    for (const FaultEntry& f : faults)
        if (f.count != 0) os << " fail(" << f.op << "," << f.count << ")";
}

void DumpTable(std::ostream& os, const SnapshotData& t)
{
    os << "table next=" << t.nextSerial << " self=" << Idx(t.Index()) << "\n";
    for (const auto& a : t.attributes) os << " attr " << a.first << "=" << a.second << "\n";
    for (const ClientRec& c : t.clients) {
        os << " client " << c.name << ":";
        for (const std::string& s : c.subClients) os << " " << s;
        os << "\n";
    }
    for (const LockRec& l : t.locks)
        os << " lock " << Idx(l.object) << " " << l.address << " " << l.subClient << " deep=" << l.deep
           << " own=" << l.own << "\n";
    std::vector<const ObjRecord*> live;
    for (const ObjRecord& r : t.records)
        if (r.Alive()) live.push_back(&r);
    std::sort(live.begin(), live.end(), [](const ObjRecord* a, const ObjRecord* b) { return a->index < b->index; });
    for (const ObjRecord* r : live) {
        const KindInfo& info = InfoOf(r->kind);
        os << info.name << " " << Idx(r->index) << " name=" << r->name.view() << " in=" << Idx(r->owner)
           << " flags=" << int(r->flags) << "\n";
        for (const FieldSpec* spec : info.fields) {
            os << "  " << StandIn::FieldName(spec->field) << "=";
            if (IsListCat(spec->cat)) {
                for (uint64_t e : t.GetList(*r, spec->field)) os << Idx(e) << ",";
            } else if (IsRefCat(spec->cat)) {
                os << Idx(t.GetRef(*r, spec->field));
            } else if (spec->cat == Cat::Text) {
                os << t.GetText(*r, spec->field);
            } else {
                os << t.GetInt(*r, spec->field);
            }
            os << "\n";
        }
        if (const ConstraintPayload* p = t.Payload(*r)) {
            os << "  value ";
            DumpValue(os, t.Value(*p));
            os << "\n";
        }
        for (const std::string& i : t.Inherits(*r)) os << "  inherits " << i << "\n";
        for (const AttributeRec& a : t.Attributes(*r))
            os << "  attr " << a.name << "=" << a.value << " " << a.type << " " << a.bit << "\n";
        std::vector<std::string> back;
        for (uint64_t key : r->back) {
            const ObjRecord& from = t.records[static_cast<size_t>(key >> 8)];
            if (from.Alive())
                back.push_back(Idx(from.index) + ":" + StandIn::FieldName(static_cast<StandIn::Field>(key & 0xFF)));
        }
        std::sort(back.begin(), back.end());
        os << "  back";
        for (const std::string& b : back) os << " " << b;
        os << "\n";
        auto f = t.faults.find(r->index);
        if (f != t.faults.end()) {
            os << " ";
            DumpFaults(os, f->second);
            os << "\n";
        }
    }
}

}  // namespace

std::string DumpSession(const LumoPI& session)
{
    const SessionData& s = *Access::DataOf(session);
    std::ostringstream os;
    os << "session " << s.identity.address << " / " << s.identity.subClient << " countdown=" << s.countdown << "\n";
    for (const auto& n : s.failNext)
        if (n.second > 0) os << "failNext " << n.first << "=" << n.second << "\n";
    DumpFaults(os, s.sessionFaults);
    os << "\ndefinitions";
    for (uint64_t d : s.definitions) os << " " << Idx(d);
    os << "\n";
    DumpTable(os, *s.defs);
    for (const auto& snap : s.snapshots) DumpTable(os, *snap);
    for (const StandIn::Backup& b : s.backups) {
        os << "backup " << Idx(b.gindex.GetValue()) << " " << b.type << " " << b.text1 << " " << b.text2 << "\n";
        for (const auto& snap : b.snapshots) DumpTable(os, *snap);
    }
    return os.str();
}

}  // namespace LumoTest
