// Generic object operations: names, indexes, validity, constraints and attributes.
#include "Ops.h"

namespace Lumo {

using namespace detail;

namespace {

const std::string* PlaceholderText(const Ctx& c) { return detail::PlaceholderText(c.snap, c.index); }

// Own constraint records of the receiver, live, in order.
// The slot of a constraints-list entry that is a live constraint record of the snapshot, else -1.
int64_t OwnConstraintSlot(const Ctx& c, uint64_t entry)
{
    const int64_t s = LiveSlot(c, entry);
    return s >= 0 && c.snap->records[static_cast<size_t>(s)].kind == Kind::Constraint ? s : -1;
}

std::vector<uint32_t> OwnConstraints(const Ctx& c)
{
    std::vector<uint32_t> out;
    for (uint64_t i : c.snap->GetList(c.R(), Field::constraints)) {
        const int64_t s = OwnConstraintSlot(c, i);
        if (s >= 0) out.push_back(static_cast<uint32_t>(s));
    }
    return out;
}

bool IsDefinitionRecord(const SnapshotData& t, const ObjRecord& r)
{
    return r.kind == Kind::ConstraintDef || t.GetInt(r, Field::definition) != 0;
}

Result AddOwnConstraint(Ctx& c, const std::string& name, ConstraintData value, MutableContainerT<INorvConstraint>& out)
{
    if (!ResolveDefaultKind(*c.s, name, value)) return FailInvalidValue(name);
    for (uint32_t s : OwnConstraints(c)) {
        ObjRecord& r = c.snap->records[s];
        if (r.name == name && c.snap->GetInt(r, Field::definition) == 0) {
            // handing the record back locked takes a lock on it, which another sub-client's lock refuses
            if (Result rc = LockConflict(*c.snap, r.index, false); !rc) return rc;
            c.snap->SetValue(s, value);
            SetM(out, c, r.index);
            return c.Done();
        }
    }
    const uint32_t slot = CreateOwned(*c.snap, Kind::Constraint, c.index, name);
    c.snap->SetValue(slot, value);
    SetM(out, c, c.snap->records[slot].index);
    return c.Done();
}

// Replaces the value of the attribute of that name, or appends the attribute; the write is entered.
Result PutAttribute(Ctx& c, const String& name, const String& value)
{
    c.tbl->PutAttribute(c.R(), name.str(), value.str(), 0, -1, true);
    return c.Done();
}

// Replaces every attribute by the list's, in its order; the write is entered.
Result SetAttributeList(Ctx& c, const ListAttribute& list)
{
    std::vector<AttributeText> attrs;
    for (auto it = list.GetIterator(); it.IsValid(); ++it)
        attrs.push_back(AttributeText{{it->name.c_str(), it->name.Length()}, {it->value.c_str(), it->value.Length()}, 0, -1});
    c.tbl->SetAttributes(c.R(), attrs);
    return c.Done();
}

void ListAttrs(const SnapshotData& t, const ObjRecord& r, ListAttribute& out)
{
    const AttrEntry* a = r.extras.Attrs();
    for (size_t i = 0; i < r.extras.AttrCount(); ++i) out.Add(Attribute{String(t.pool.Text(a[i].name)), String(t.pool.Text(a[i].value))});
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// IObject

Result IObject::GetIndex(Index& out) const
{
    LUMO_OP("GetIndex");
    Ctx c(*this);
    if (PlaceholderText(c)) {
        if (Result r = Hook(c.s, c.snap, OpKey(op), c.index); !r) return r;
        out = Index();
        return Result();
    }
    if (Result r = c.Enter(op, kAllKinds); !r) return r;
    out = (c.R().flags & kEmptyIndex) ? Index() : Index(c.index);
    return Result();
}

Result IObject::GetName(String& out) const
{
    LUMO_OP("GetName");
    Ctx c(*this);
    if (const std::string* text = PlaceholderText(c)) {
        if (Result r = Hook(c.s, c.snap, OpKey(op), c.index); !r) return r;
        out = String(*text);
        return Result();
    }
    if (Result r = c.Enter(op, kAllKinds); !r) return r;
    out = String(c.R().name);
    return Result();
}

Result IObject::IsValid() const
{
    LUMO_OP("IsValid");
    Ctx c(*this);
    return c.Enter(op, kAllKinds);
}

Result IObject::Synchronize(bool flag)
{
    LUMO_OP("Synchronize");
    Ctx c(*this);
    if (Result r = c.EnterWrite(op, kAllKinds); !r) return r;
    StandIn::Record rec;
    rec.operation = "Synchronize";
    rec.receiver = Index(c.index);
    rec.flag = flag;
    RecordCall(c.s, std::move(rec));
    return c.Done();
}

// ---------------------------------------------------------------------------------------------------------
// IObjectNorv

Result IObjectNorv::GetConstraint(ContainerT<const INorvConstraint>& out, const String& name) const
{
    LUMO_OP("GetConstraint");
    Ctx c(*this);
    ResetC(out);
    if (Result r = c.Enter(op, NorvKinds()); !r) return r;
    const std::string n = name.str();
    // The own constraints as OwnConstraints gives them, read in place: this look-up runs for every object
    // and constraint name a check asks about.
    const RefList& list = c.snap->GetList(c.R(), Field::constraints);
    for (int pass = 0; pass < 2; ++pass) {
        for (uint64_t i : list) {
            const int64_t s = LiveSlot(c, i);
            if (s < 0) continue;
            const ObjRecord& r = c.snap->records[static_cast<size_t>(s)];
            if (r.kind == Kind::Constraint && r.name == n && IsDefinitionRecord(*c.snap, r) == (pass == 1)) {
                SetC(out, c, r.index);
                return Result();
            }
        }
    }
    if (c.tbl->InheritsName(c.R(), n)) {
        if (const ObjRecord* def = c.s->FindDefinition(n)) {
            SetC(out, c, def->index);
            return Result();
        }
    }
    return FailNotFound(n);
}

Result IObjectNorv::GetIterConstraints(IteratorT<const INorvConstraint>& out,
                                       const BitContainerT<EConstraintIterType>& /*selection*/) const
{
    LUMO_OP("GetIterConstraints");
    Ctx c(*this);
    ResetI(out, c, op);
    if (Result r = c.Enter(op, NorvKinds()); !r) return r;
    const RefList& list = c.snap->GetList(c.R(), Field::constraints);
    if (c.R().extras.InheritCount() == 0 &&
        std::all_of(list.begin(), list.end(), [&](uint64_t i) { return OwnConstraintSlot(c, i) >= 0; })) {
        // Every entry is a live own record and nothing is inherited: the walk is the stored list itself.
        LendI(out, c, op, list);
        return Result();
    }
    const std::vector<uint32_t> own = OwnConstraints(c);
    std::vector<uint64_t> items;
    for (uint32_t s : own) items.push_back(c.snap->records[s].index);
    std::vector<uint32_t> seen;   // ids of the names met
    for (size_t i = 0; i < c.R().extras.InheritCount(); ++i) {
        const uint32_t id = c.R().extras.Inherit(i);
        if (std::find(seen.begin(), seen.end(), id) != seen.end()) continue;
        seen.push_back(id);
        const std::string& n = c.tbl->pool.Text(id);
        bool overridden = false;
        for (uint32_t s : own) overridden = overridden || c.snap->records[s].name == n;
        if (overridden) continue;
        if (const ObjRecord* def = c.s->FindDefinition(n)) items.push_back(def->index);
    }
    FillI(out, c, op, std::move(items));
    return Result();
}

Result IObjectNorv::GetAttributes(ListAttribute& out) const
{
    LUMO_OP("GetAttributes");
    Ctx c(*this);
    out.RemoveAll();
    if (Result r = c.Enter(op, NorvKinds()); !r) return r;
    ListAttrs(*c.tbl, c.R(), out);
    return Result();
}

Result IObjectNorv::AddConstraint(const String& name, const ConstraintData& value, MutableContainerT<INorvConstraint>& out)
{
    LUMO_OP("AddConstraint");
    Ctx c(*this);
    ResetM(out);
    if (Result r = c.EnterWrite(op, NorvKinds()); !r) return r;
    return AddOwnConstraint(c, name.str(), value, out);
}

Result IObjectNorv::AddConstraintByString(const String& name, const String& text, MutableContainerT<INorvConstraint>& out)
{
    LUMO_OP("AddConstraintByString");
    Ctx c(*this);
    ResetM(out);
    if (Result r = c.EnterWrite(op, NorvKinds()); !r) return r;
    ConstraintData v;
    v.kind = CDT_Default;
    v.textValue = text;
    return AddOwnConstraint(c, name.str(), std::move(v), out);
}

Result IObjectNorv::DeleteConstraint(const Index& constraint)
{
    LUMO_OP("DeleteConstraint");
    Ctx c(*this);
    if (Result r = c.EnterWrite(op, NorvKinds()); !r) return r;
    const uint64_t idx = constraint.GetValue();
    if (TypeOf(idx) == OT_NorvConstraintDef) return FailWrongKind(idx);
    const ObjRecord* t = Live(c, idx);
    if (!t) return FailNotExist(idx);
    if (t->kind != Kind::Constraint) return FailWrongKind(idx);
    const uint64_t parent = c.snap->GetRef(*t, Field::parent);
    const bool held = c.snap->Contains(c.R(), Field::constraints, idx) || t->owner == c.index;
    const bool parentHere = parent != kUnsetRef && parent == c.index;
    if (!held && !parentHere) return FailNotChild(idx);
    if (Result r = DeleteObject(c, idx); !r) return r;
    return c.Done();
}

LUMO_DELETE_ALL(IObjectNorv, DeleteAllConstraints, NorvKinds(), Field::constraints, LUMO_K(Constraint))

Result IObjectNorv::SetAttribute(const String& name, const String& value)
{
    LUMO_OP("SetAttribute");
    Ctx c(*this);
    if (Result r = c.EnterWrite(op, NorvKinds()); !r) return r;
    return PutAttribute(c, name, value);
}

Result IObjectNorv::SetAttributes(const ListAttribute& list)
{
    LUMO_OP("SetAttributes");
    Ctx c(*this);
    if (Result r = c.EnterWrite(op, NorvKinds()); !r) return r;
    return SetAttributeList(c, list);
}

Result IObjectNorv::RemoveAttributes()
{
    LUMO_OP("RemoveAttributes");
    Ctx c(*this);
    if (Result r = c.EnterWrite(op, NorvKinds()); !r) return r;
    c.R().extras.SetAttrs(nullptr, 0);
    return c.Done();
}

// ---------------------------------------------------------------------------------------------------------
// INorvConstraint

namespace {
const uint64_t kConstraintKinds = LUMO_K(Constraint) | LUMO_K(ConstraintDef);

ConstraintData ValueOf(const Ctx& c)
{
    const ConstraintPayload* p = c.tbl->Payload(c.R());
    return p ? c.tbl->Value(*p) : ConstraintData();
}
}  // namespace

Result INorvConstraint::GetValue(ConstraintData& out) const
{
    LUMO_OP("GetValue");
    Ctx c(*this);
    if (Result r = c.Enter(op, kConstraintKinds); !r) return r;
    out = ValueOf(c);
    return Result();
}

Result INorvConstraint::GetValueByString(String& text, EConstraintType& type) const
{
    LUMO_OP("GetValueByString");
    Ctx c(*this);
    if (Result r = c.Enter(op, kConstraintKinds); !r) return r;
    const ConstraintData v = ValueOf(c);
    text = v.GetValueAsString();
    type = static_cast<EConstraintType>(v.kind);
    return Result();
}

Result INorvConstraint::GetValueByString(String& text) const
{
    LUMO_OP("GetValueByString");
    Ctx c(*this);
    if (Result r = c.Enter(op, kConstraintKinds); !r) return r;
    text = ValueOf(c).GetValueAsString();
    return Result();
}

Result INorvConstraint::GetConstraintType(EConstraintType& out) const
{
    LUMO_OP("GetConstraintType");
    Ctx c(*this);
    if (Result r = c.Enter(op, kConstraintKinds); !r) return r;
    out = static_cast<EConstraintType>(ValueOf(c).kind);
    return Result();
}

Result INorvConstraint::IsDefinition(bool& out) const
{
    LUMO_OP("IsDefinition");
    Ctx c(*this);
    if (Result r = c.Enter(op, kConstraintKinds); !r) return r;
    out = IsDefinitionRecord(*c.tbl, c.R());
    return Result();
}

Result INorvConstraint::IsUserConstraint(bool& out) const
{
    LUMO_OP("IsUserConstraint");
    Ctx c(*this);
    if (Result r = c.Enter(op, kConstraintKinds); !r) return r;
    out = c.K() == Kind::Constraint && c.tbl->GetInt(c.R(), Field::user) != 0;
    return Result();
}

Result INorvConstraint::IsDefaultValue(bool& out) const
{
    LUMO_OP("IsDefaultValue");
    Ctx c(*this);
    if (Result r = c.Enter(op, kConstraintKinds); !r) return r;
    const int64_t flag = c.tbl->GetInt(c.R(), Field::isDefaultValue);
    if (c.K() == Kind::Constraint && flag != kUnsetInt) {
        out = flag != 0;
        return Result();
    }
    const ObjRecord* def = c.s->FindDefinition(c.R().name);
    const ConstraintPayload* p = def ? c.s->defs->Payload(*def) : nullptr;
    out = p && c.s->defs->Value(*p).GetValueAsString() == ValueOf(c).GetValueAsString();
    return Result();
}

Result INorvConstraint::GetParentIndex(Index& out) const
{
    LUMO_OP("GetParentIndex");
    Ctx c(*this);
    if (Result r = c.Enter(op, kConstraintKinds); !r) return r;
    if (c.K() == Kind::ConstraintDef) {
        out = Index();
        return Result();
    }
    const uint64_t parent = c.tbl->GetRef(c.R(), Field::parent);
    if (parent != kUnsetRef)
        out = Index(parent);
    else
        out = IsDefinitionRecord(*c.tbl, c.R()) ? Index() : Index(c.R().owner);
    return Result();
}

Result INorvConstraint::GetAttributes(ListAttribute& out) const
{
    LUMO_OP("GetAttributes");
    Ctx c(*this);
    out.RemoveAll();
    if (Result r = c.Enter(op, kConstraintKinds); !r) return r;
    ListAttrs(*c.tbl, c.R(), out);
    return Result();
}

Result INorvConstraint::SetValue(const ConstraintData& value)
{
    LUMO_OP("SetValue");
    Ctx c(*this);
    if (Result r = c.EnterWrite(op, LUMO_K(Constraint)); !r) return r;
    ConstraintData v = value;
    if (!ResolveDefaultKind(*c.s, c.R().name, v)) return FailInvalidValue(c.R().name);
    c.snap->SetValue(c.slot, v);
    return c.Done();
}

Result INorvConstraint::SetValueByString(const String& text)
{
    LUMO_OP("SetValueByString");
    Ctx c(*this);
    if (Result r = c.EnterWrite(op, LUMO_K(Constraint)); !r) return r;
    ConstraintData v;
    if (!ParseConstraintText(text.str(), ValueOf(c).kind, v)) return FailInvalidValue(c.R().name);
    c.snap->SetValue(c.slot, v);
    return c.Done();
}

Result INorvConstraint::SetValueByString(const String& text, EConstraintType type)
{
    LUMO_OP("SetValueByString");
    Ctx c(*this);
    if (Result r = c.EnterWrite(op, LUMO_K(Constraint)); !r) return r;
    ConstraintData v;
    v.kind = type;
    v.textValue = text;
    if (type == CDT_Default) {
        if (!ResolveDefaultKind(*c.s, c.R().name, v)) return FailInvalidValue(c.R().name);
    } else if (!ParseConstraintText(text.str(), type, v)) {
        return FailInvalidValue(c.R().name);
    }
    c.snap->SetValue(c.slot, v);
    return c.Done();
}

Result INorvConstraint::SetAttribute(const String& name, const String& value)
{
    LUMO_OP("SetAttribute");
    Ctx c(*this);
    if (Result r = c.EnterWrite(op, LUMO_K(Constraint)); !r) return r;
    return PutAttribute(c, name, value);
}

Result INorvConstraint::SetAttributes(const ListAttribute& list)
{
    LUMO_OP("SetAttributes");
    Ctx c(*this);
    if (Result r = c.EnterWrite(op, LUMO_K(Constraint)); !r) return r;
    return SetAttributeList(c, list);
}

}  // namespace Lumo
