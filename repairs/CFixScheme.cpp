#include "repairs/CFixScheme.h"

#include "repairs/RepairSupport.h"

#include <cmath>

using namespace RepairSupport;

namespace {

// The default scheme is added unless one of its name exists, and must be found once afterwards.
// A scheme whose name differs only in case is not added to: the outcome is that of a scheme still
// missing.
CFixStatus AddDefaultScheme(const char* name, Lumo::ESchemeType type, const char* missingMessage)
{
    const CFixStatus missing(false, true, missingMessage);
    return AddDefaultObject(
        name,
        [](const Lumo::INorvDesign& design, Lumo::ListT<Lumo::NorvObjectInfo>& found, const Lumo::String& schemeName,
           const SearchParams& params) { return design.FindScheme(found, schemeName, params); },
        [type](Lumo::INorvDesign& design, const Lumo::String& schemeName) {
            Lumo::MutableContainerT<Lumo::INorvScheme> added;
            const Lumo::Result result = design.AddScheme(added, schemeName, type);
            if (result)
                Lumo::LockerT<Lumo::INorvScheme>::UnLock(added);
            return result;
        },
        [&](Lumo::MutableContainerT<Lumo::INorvDesign>& design) {
            Lumo::ListT<Lumo::NorvObjectInfo> found;
            if (Lumo::Result r = Design()->FindScheme(found, name, Search(Lumo::SP_5, Lumo::SP_0)); !r)
                return CFixStatus(r);
            if (found.Count() != 1)
                return missing;
            Lumo::LockerT<Lumo::INorvDesign>::UnLock(design);
            return CFixStatus(true);
        },
        &missing);
}

// A constraint (type 22) or a constraint definition (type 72) by index; any other type leaves the
// container empty with a successful result.
Lumo::Result LoadConstraint(const Lumo::Index& index, Lumo::ContainerT<const Lumo::INorvConstraint>& out)
{
    if (index.GetType() == Lumo::OT_NorvConstraint)
        return Uids().GetNorvConstraint(out, index);
    if (index.GetType() == Lumo::OT_NorvConstraintDef)
        return Uids().GetNorvConstraintDef(out, index);
    return Lumo::Result();
}

// True when b is of a's kind and smaller: doubles (a comparison with a not-a-number value is not
// smaller) or integers; other kinds never are.
bool IsSmaller(const Lumo::ConstraintData& b, const Lumo::ConstraintData& a)
{
    if (a.kind != b.kind)
        return false;
    if (a.kind == Lumo::CDT_Double)
        return std::isless(b.doubleValue, a.doubleValue);
    if (a.kind == Lumo::CDT_Int)
        return a.intValue > b.intValue;
    return false;
}

// Gives the owner of a definition its own constraint of the name and value.
template <class T>
CFixStatus AddToOwner(Lumo::Result (Lumo::IUIDManager::*fetch)(Lumo::ContainerT<const T>&, const Lumo::Index&) const,
                      const Lumo::Index& owner, const Lumo::String& name, const Lumo::ConstraintData& value)
{
    Lumo::ContainerT<const T> object;
    if (Lumo::Result r = (Uids().*fetch)(object, owner); !r)
        return CFixStatus(r);
    Lumo::MutableContainerT<T> locked;
    if (Lumo::Result r = Lumo::LockerT<T>::Lock(object, locked); !r)
        return CFixStatus(r);
    Lumo::MutableContainerT<Lumo::INorvConstraint> added;
    if (Lumo::Result r = locked->AddConstraint(name, value, added); !r)
        return CFixStatus(r);
    UnLockChanged(locked);
    if (Lumo::Result r = added.IsValid(); !r)
        return CFixStatus(r);
    return CFixStatus(true);
}

} // namespace

CFixStatus CFixScheme::AddMinimumScheme()
{
    return AddDefaultScheme("(Minimum)", Lumo::ST_Minimum, "Cannot create \"(Minimum)\" scheme.");
}

CFixStatus CFixScheme::AddMasterScheme()
{
    return AddDefaultScheme("(Master)", Lumo::ST_Master, "Cannot create \"(Master)\" scheme.");
}

CFixStatus CFixScheme::RecreateSchemeWithoutDefaultRule()
{
    const std::string name = FixContext::s_fixName1;
    if (name.empty())
        return CFixStatus(false, true, "Cannot get scheme name!");
    const Lumo::Index index = FixContext::s_fixIndex1;
    Lumo::ContainerT<const Lumo::INorvScheme> scheme;
    if (Lumo::Result r = Uids().GetNorvScheme(scheme, index); !r)
        return FixedIfGone(r, index);
    Lumo::ListT<Lumo::NorvObjectInfo> found;
    if (Lumo::Result r = scheme->FindSchemaNetClassRule(found, "(Default)", Search(Lumo::SP_MatchCase, Lumo::SP_5)); !r)
        return CFixStatus(r);
    if (!found.IsEmpty())
        return CFixStatus();
    Lumo::ESchemeType type = Lumo::ST_Ordinary;
    if (Lumo::Result r = scheme->GetType(type); !r)
        return CFixStatus(r);

    // The new scheme comes first, so that a failed add leaves the old one in place.
    Lumo::MutableContainerT<Lumo::INorvDesign> design;
    if (Lumo::Result r = Lumo::LockerT<Lumo::INorvDesign>::Lock(Design(), design); !r)
        return CFixStatus(r);
    Lumo::MutableContainerT<Lumo::INorvScheme> added;
    if (Lumo::Result r = design->AddScheme(added, Lumo::String(name), type); !r)
        return CFixStatus(r);
    if (Lumo::Result r = design->DeleteScheme(index); !r)
        return CFixStatus(r);
    UnLockChanged(design);
    UnLockChanged(added);
    CFixMgr::m_bReloadFlag = true;
    const std::string message = "Scheme '" + name + "' was recreated, please verify constraints!";
    return CFixStatus(true, false, message);
}

CFixStatus CFixScheme::SetMinimumConstraintValue()
{
    const Lumo::String name(FixContext::s_fixName1);
    const Lumo::Index owner = FixContext::s_fixIndex1;
    const Lumo::Index minimumIndex = FixContext::s_fixIndex3;
    const Lumo::Index smallerIndex = FixContext::s_fixIndex4;

    // A constraint that is gone needs nothing; one that exists but cannot be read is a failure.
    Lumo::ContainerT<const Lumo::INorvConstraint> minimum;
    if (Lumo::Result r = LoadConstraint(minimumIndex, minimum); !r)
        return FixedIfGone(r, minimumIndex);
    Lumo::ContainerT<const Lumo::INorvConstraint> smaller;
    if (Lumo::Result r = LoadConstraint(smallerIndex, smaller); !r)
        return FixedIfGone(r, smallerIndex);
    if (!minimum.IsValid() || !smaller.IsValid())
        return CFixStatus(true);
    Lumo::ConstraintData minimumValue;
    if (Lumo::Result r = minimum->GetValue(minimumValue); !r)
        return FixedIfGone(r, minimumIndex);
    Lumo::ConstraintData smallerValue;
    if (Lumo::Result r = smaller->GetValue(smallerValue); !r)
        return FixedIfGone(r, smallerIndex);
    if (!IsSmaller(smallerValue, minimumValue))
        return CFixStatus(true);

    bool definition = false;
    if (minimum->IsDefinition(definition) && definition)
    {
        switch (static_cast<int>(owner.GetType()))
        {
        case Lumo::OT_NorvSchemeNetClassRule:
            return AddToOwner(&Lumo::IUIDManager::GetNorvSchemaNetClassRule, owner, name, smallerValue);
        case Lumo::OT_NorvSchemeClearRule:
            return AddToOwner(&Lumo::IUIDManager::GetNorvSchemaClearRule, owner, name, smallerValue);
        case Lumo::OT_NorvLayerRule:
            return AddToOwner(&Lumo::IUIDManager::GetNorvLayerRule, owner, name, smallerValue);
        case Lumo::OT_NorvLayerClearRule:
            return AddToOwner(&Lumo::IUIDManager::GetNorvLayerClearRule, owner, name, smallerValue);
        default:
            return CFixStatus();
        }
    }
    Lumo::MutableContainerT<Lumo::INorvConstraint> locked;
    if (Lumo::Result r = Lumo::LockerT<Lumo::INorvConstraint>::Lock(minimum, locked); !r)
        return CFixStatus(r);
    if (Lumo::Result r = locked->SetValue(smallerValue); !r)
        return CFixStatus(r);
    UnLockChanged(locked);
    return CFixStatus(true);
}

CFixStatus CFixScheme::DeleteViaSpanWithoutVias()
{
    const Lumo::Index index = FixContext::s_fixIndex2;
    Lumo::ContainerT<const Lumo::INorvViaSpan> viaSpan;
    if (Lumo::Result r = Design()->GetViaSpan(index, viaSpan); !r)
        return FixedIfGone(r, index);
    Lumo::IteratorT<const Lumo::INorvVia> vias;
    if (viaSpan->GetIterAllowedVias(vias))
        return CFixStatus(true);
    Lumo::MutableContainerT<Lumo::INorvDesign> design;
    if (Lumo::Result r = Lumo::LockerT<Lumo::INorvDesign>::Lock(Design(), design); !r)
        return CFixStatus(r);
    if (Lumo::Result r = design->DeleteViaSpan(index); !r)
        return CFixStatus(r);
    UnLockChanged(design);
    return CFixStatus(true);
}
