#include "repairs/CFixTemplates.h"

#include "framework/FixContext.h"
#include "repairs/RepairSupport.h"

using RepairSupport::Uids;

namespace {

const char* const kTemplate = "TEMPLATE";
const char* const kOrderType = "ORDER_TYPE";
const char* const kNetLevel = "Net";

struct PinSetMarker
{
    const char* marker;
    const char* type;
};
const PinSetMarker kPinSetMarkers[] = {{"VP_BL_", "Balanced"}, {"VP_UB_", "Unbalanced"}, {"VP_T_", "T"}};

// Sets the object's "TEMPLATE" to "(None)", keeping the value's kind. Inherited values are left to
// the caller's check (userOnly).
template <class T>
CFixStatus ClearTemplate(const Lumo::ContainerT<const T>& object, bool userOnly)
{
    Lumo::ContainerT<const Lumo::INorvConstraint> constraint;
    if (Lumo::Result r = object->GetConstraint(constraint, kTemplate); !r)
        return CFixStatus(r);
    if (!constraint.IsValid())
        return CFixStatus(false);
    if (userOnly)
    {
        bool user = false;
        if (Lumo::Result r = constraint->IsUserConstraint(user); !r)
            return CFixStatus(r);
        if (!user)
            return CFixStatus(false);
    }
    Lumo::ConstraintData value;
    if (Lumo::Result r = constraint->GetValue(value); !r)
        return CFixStatus(r);
    Lumo::MutableContainerT<Lumo::INorvConstraint> locked;
    if (Lumo::Result r = Lumo::LockerT<Lumo::INorvConstraint>::Lock(constraint, locked); !r)
        return CFixStatus(r);
    value.textValue = "(None)";
    const bool set = static_cast<bool>(locked->SetValue(value));
    Lumo::LockerT<Lumo::INorvConstraint>::UnLock(locked);
    return CFixStatus(set);
}

// The first pin set (child of level "Net") of the template in first, and how many there are (up to
// the first only, with stopAtFirst).
CFixStatus FindPinSets(const Lumo::ContainerT<const Lumo::INorvGenCompObj>& tmpl,
                       Lumo::ContainerT<const Lumo::INorvGenCompObj>& first, int& count, bool stopAtFirst)
{
    count = 0;
    Lumo::IteratorT<const Lumo::INorvGenCompObj> children;
    Lumo::Result childrenWalk = tmpl->GetIterGenCompObjs(children);
    for (; walkOn(children, childrenWalk); ++children)
    {
        Lumo::String level;
        if (Lumo::Result r = children->GetLevel(level); !r)
            return CFixStatus(r);
        if (level != kNetLevel)
            continue;
        if (count++ == 0)
            first = children;
        if (stopAtFirst)
            break;
    }
    if (!childrenWalk)
        return CFixStatus(childrenWalk);
    return CFixStatus(true);
}

} // namespace

CFixStatus CFixTemplates::SetGenCompObjConstraint(const Lumo::ContainerT<const Lumo::INorvGenCompObj>& object,
                                                  const char* name, const Lumo::ConstraintData& value)
{
    return RepairSupport::SetObjectConstraint(object, name, value, true);
}

CFixStatus CFixTemplates::SetGenObjConstraint(const Lumo::ContainerT<const Lumo::INorvGenObj>& object, const char* name,
                                              const Lumo::ConstraintData& value)
{
    return RepairSupport::SetObjectConstraint(object, name, value, true);
}

CFixStatus CFixTemplates::DeleteDuplicatedTemplate()
{
    const Lumo::Index first = FixContext::s_fixIndex1;
    const Lumo::Index second = FixContext::s_fixIndex2;
    Lumo::ContainerT<const Lumo::INorvGenCompObj> tmpl1;
    if (Lumo::Result r = Uids().GetNorvGenCompObj(tmpl1, first); !r)
        return FixedIfGone(r, first);
    Lumo::ContainerT<const Lumo::INorvGenCompObj> tmpl2;
    if (Lumo::Result r = Uids().GetNorvGenCompObj(tmpl2, second); !r)
        return FixedIfGone(r, second);
    Lumo::String name1;
    Lumo::String name2;
    if (Lumo::Result r = tmpl1->GetName(name1); !r)
        return CFixStatus(r);
    if (Lumo::Result r = tmpl2->GetName(name2); !r)
        return CFixStatus(r);
    if (name1 != name2)
        return CFixStatus(true);

    Lumo::ListT<Lumo::NorvObjectInfo> types;
    if (Lumo::Result r = FixContext::s_fixNorvDesign->FindGenObjType(
            types, "TOPOTMPL", RepairSupport::Search(Lumo::SP_5, Lumo::SP_0, Lumo::SP_MatchCase));
        !r)
        return CFixStatus(r);
    if (types.Count() != 1)
        return CFixStatus(false);
    Lumo::ContainerT<const Lumo::INorvGenObjType> type;
    if (Lumo::Result r = Uids().GetNorvGenObjType(type, types.GetIterator()->index); !r)
        return CFixStatus(r);
    if (Lumo::Result r =
            RepairSupport::LockAndChange(type, [&](Lumo::INorvGenObjType& t) { return t.DeleteGenCompObj(second); });
        !r)
        return CFixStatus(r);
    return CFixStatus(true);
}

CFixStatus CFixTemplates::ClearMissingElecNetTemplate()
{
    Lumo::ContainerT<const Lumo::INorvElectricalNet> net;
    if (!Uids().GetNorvElectricalNet(net, FixContext::s_fixIndex1))
        return CFixStatus(false);
    return ClearTemplate(net, false);
}

CFixStatus CFixTemplates::ClearMissingDiffPairTemplate()
{
    Lumo::ContainerT<const Lumo::INorvDiffPair> pair;
    if (!Uids().GetNorvDiffPair(pair, FixContext::s_fixIndex1))
        return CFixStatus(false);
    return ClearTemplate(pair, true);
}

CFixStatus CFixTemplates::SetPinSetTemplateTopology()
{
    Lumo::ContainerT<const Lumo::INorvGenCompObj> tmpl;
    if (!Uids().GetNorvGenCompObj(tmpl, FixContext::s_fixIndex1))
        return CFixStatus(false);
    Lumo::ContainerT<const Lumo::INorvGenCompObj> pinSet;
    int count = 0;
    CFixStatus status = FindPinSets(tmpl, pinSet, count, false);
    if (!status.fixed)
        return status;
    if (count != 1)
        return CFixStatus(false);

    Lumo::ContainerT<const Lumo::INorvConstraint> order;
    if (Lumo::Result r = tmpl->GetConstraint(order, kOrderType); !r)
        return CFixStatus(r);
    Lumo::ConstraintData value;
    if (Lumo::Result r = order->GetValue(value); !r)
        return CFixStatus(r);
    value.textValue = "Complex";
    if (!SetGenCompObjConstraint(tmpl, kOrderType, value).fixed)
        return CFixStatus(false);

    status = FindPinSets(tmpl, pinSet, count, true);
    if (!status.fixed)
        return status;
    if (count == 0)
        return CFixStatus(false);
    return CFixStatus(SetGenCompObjConstraint(pinSet, kOrderType, value).fixed);
}

CFixStatus CFixTemplates::DeletePinSetWithIncorrectPin()
{
    const Lumo::Index tmplIndex = FixContext::s_fixIndex1;
    const Lumo::Index pinSetIndex = FixContext::s_fixIndex2;
    Lumo::ContainerT<const Lumo::INorvGenCompObj> tmpl;
    if (Lumo::Result r = Uids().GetNorvGenCompObj(tmpl, tmplIndex); !r)
        return FixedIfGone(r, tmplIndex);
    Lumo::ContainerT<const Lumo::INorvGenCompObj> pinSet;
    if (Lumo::Result r = Uids().GetNorvGenCompObj(pinSet, pinSetIndex); !r)
        return FixedIfGone(r, pinSetIndex);
    Lumo::IteratorT<const Lumo::INorvGenObj> pins;
    if (Lumo::Result r = pinSet->GetIterGenObjs(pins); !r)
        return CFixStatus(r);
    // A pin set is deleted only when it is known to be empty.
    int count = 0;
    if (Lumo::Result r = pins.GetCount(count); !r)
        return CFixStatus(r);
    if (count != 0)
        return CFixStatus(false);

    if (Lumo::Result r = RepairSupport::LockAndChange(
            tmpl, [&](Lumo::INorvGenCompObj& t) { return t.DeleteGenCompObj(pinSetIndex); });
        !r)
        return CFixStatus(r);
    return CFixStatus(true);
}

CFixStatus CFixTemplates::SetTopoPinSetType()
{
    const Lumo::Index tmplIndex = FixContext::s_fixIndex1;
    const Lumo::Index pinIndex = FixContext::s_fixIndex2;
    Lumo::ContainerT<const Lumo::INorvGenCompObj> tmpl;
    if (Lumo::Result r = Uids().GetNorvGenCompObj(tmpl, tmplIndex); !r)
        return FixedIfGone(r, tmplIndex);
    Lumo::ContainerT<const Lumo::INorvGenObj> pin;
    if (Lumo::Result r = Uids().GetNorvGenObj(pin, pinIndex); !r)
        return FixedIfGone(r, pinIndex);
    Lumo::ContainerT<const Lumo::INorvConstraint> origin;
    if (Lumo::Result r = pin->GetConstraint(origin, "TOPO_ORIG_NAME"); !r)
        return CFixStatus(r);
    Lumo::ConstraintData value;
    if (Lumo::Result r = origin->GetValue(value); !r)
        return CFixStatus(r);
    const std::string text = value.GetValueAsString().str();
    for (const PinSetMarker& marker : kPinSetMarkers)
    {
        if (text.find(marker.marker) == std::string::npos)
            continue;
        value.textValue = marker.type;
        return CFixStatus(SetGenObjConstraint(pin, "TOPO_PINSET_TYPE", value).fixed);
    }
    return CFixStatus(false);
}
