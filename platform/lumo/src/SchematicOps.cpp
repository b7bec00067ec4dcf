// Schematic-side operations: flat nets, page nets, paths, logic components and design pins.
#include "Ops.h"

namespace Lumo {

using namespace detail;

namespace {
const uint64_t kFlat = LUMO_K(FlatNet);
const uint64_t kPage = LUMO_K(PageNet);
const uint64_t kLogic = LUMO_K(LogicComp);
const uint64_t kDPin = LUMO_K(DesignPin);

template <class E>
void SetFromWord(BitContainerT<E>& out, int64_t word)
{
    BitContainerT<E> set;
    for (int v = 0; v < 32; ++v)
        if ((static_cast<uint64_t>(word) >> v) & 1u) set |= static_cast<E>(v);
    out = set;
}

Result ReadAttr(const Ctx& c, const String& name, String& value, int32_t type, int32_t bit)
{
    const std::string* v = c.tbl->FindAttribute(c.R(), name.str(), type, bit);
    value = v ? String(*v) : String();
    return Result();
}
}  // namespace

Result IFlatNet::GetForwardPCBFlag(BitContainerT<EForwardPCBFlag>& out) const
{
    LUMO_OP("GetForwardPCBFlag");
    Ctx c(*this);
    if (Result r = c.Enter(op, kFlat); !r) return r;
    SetFromWord(out, c.snap->GetInt(c.R(), Field::forwardPcbFlags));
    return Result();
}

LUMO_LIST_ITER(IFlatNet, GetIterNetsConnected, INet, kFlat, Field::pageNets)

Result IFlatNet::GetIterPinsConnected(IteratorT<const IPin>& out) const
{
    LUMO_OP("GetIterPinsConnected");
    Ctx c(*this);
    ResetI(out, c, op);
    if (Result r = c.Enter(op, kFlat); !r) return r;
    FillI(out, c, op, FlatNetPins(*c.snap, c.R()));
    return Result();
}

LUMO_REF_GETTER(INet, GetPath, IPath, kPage, Field::path, LUMO_K(Path))
LUMO_TEXT_GETTER(INet, GetLabel, kPage, Field::label)
LUMO_LIST_ITER(INet, GetIterPinsConnected, IPin, kPage, Field::pinsConnected)

LUMO_INDEX_LIST(IPath, GetListHierarchyIndexes, LUMO_K(Path), Field::hierarchy)

Result IComp::GetType(BitContainerT<ECompType>& out) const
{
    LUMO_OP("GetType");
    Ctx c(*this);
    if (Result r = c.Enter(op, kLogic); !r) return r;
    SetFromWord(out, c.snap->GetInt(c.R(), Field::types));
    return Result();
}

LUMO_LIST_ITER(IComp, GetIterPins, IPin, kLogic, Field::pins)

Result IComp::GetAttribute(const String& name, String& value, EAttributeType type) const
{
    LUMO_OP("GetAttribute");
    Ctx c(*this);
    if (Result r = c.Enter(op, kLogic); !r) return r;
    return ReadAttr(c, name, value, type, -1);
}

Result IComp::SetAttribute(const String& name, const String& value, EAttributeType type)
{
    LUMO_OP("SetAttribute");
    Ctx c(*this);
    if (Result r = c.EnterWrite(op, kLogic); !r) return r;
    c.tbl->PutAttribute(c.R(), name.str(), value.str(), type, -1, false);
    return c.Done();
}

Result IPin::GetType(BitContainerT<EPinType>& out) const
{
    LUMO_OP("GetType");
    Ctx c(*this);
    if (Result r = c.Enter(op, kDPin); !r) return r;
    SetFromWord(out, c.snap->GetInt(c.R(), Field::types));
    return Result();
}

LUMO_REF_GETTER(IPin, GetParent, IComp, kDPin, Field::in, kLogic)
LUMO_INT_GETTER(IPin, GetWidth, int32_t, kDPin, Field::width)

Result IPin::GetAttribute(const String& name, String& value, EAttributeType type) const
{
    LUMO_OP("GetAttribute");
    Ctx c(*this);
    if (Result r = c.Enter(op, kDPin); !r) return r;
    return ReadAttr(c, name, value, type, -1);
}

Result IPin::GetAttribute(const String& name, String& value, EAttributeType type, int32_t bit) const
{
    LUMO_OP("GetAttribute");
    Ctx c(*this);
    if (Result r = c.Enter(op, kDPin); !r) return r;
    return ReadAttr(c, name, value, type, bit);
}

LUMO_LIST_ITER(IPin, GetIterNetsConnected, INet, kDPin, Field::netsConnected)

}  // namespace Lumo
