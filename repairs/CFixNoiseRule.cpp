#include "repairs/CFixNoiseRule.h"

#include "framework/CNorvInitTest.h"
#include "framework/FixContext.h"
#include "repairs/RepairSupport.h"

using RepairSupport::Uids;

namespace {

const char* const kNone = "(None)";
const char* const kNoRule = "Cannot find noise rule.";

// The constraint a finding's role names: the victim's end or the aggressor's.
const char* EndConstraint()
{
    return FixContext::s_fixName1 == "victim" ? "PR_FROM_OBJ" : "PR_TO_OBJ";
}

// The noise rule of an end finding (index 2); false, with the outcome in status, when the finding
// names no rule, the missing name (name 3) is allName or "(None)", or the rule cannot be loaded.
bool LoadEndRule(Lumo::ContainerT<const Lumo::INorvNoiseRule>& rule, const char* allName, CFixStatus& status)
{
    const std::string& name = FixContext::s_fixName3;
    if (FixContext::s_fixIndex2.IsEmpty())
        status = CFixStatus(false, true, kNoRule);
    else if (name == allName || name == kNone)
        status = CFixStatus(true);
    else if (Lumo::Result r = Uids().GetNorvNoiseRule(rule, FixContext::s_fixIndex2); !r)
        status = CFixStatus(r);
    else
        return true;
    return false;
}

// Writes text into the end constraint; only whether that worked reaches the caller.
CFixStatus SetEnd(const Lumo::ContainerT<const Lumo::INorvNoiseRule>& rule, const char* constraint, const std::string& text)
{
    const CFixStatus status = CFixNoiseRule::SetNoiseRuleConstraint(rule, constraint, RepairSupport::TextValue(text.c_str()));
    return CFixStatus(status.fixed);
}

} // namespace

CFixStatus CFixNoiseRule::SetNoiseRuleConstraint(const Lumo::ContainerT<const Lumo::INorvNoiseRule>& rule,
                                                 const char* name, const Lumo::ConstraintData& value)
{
    return RepairSupport::SetObjectConstraint(rule, name, value, false);
}

CFixStatus CFixNoiseRule::DeleteNoiseRuleWithoutAggressor()
{
    if (FixContext::s_fixIndex1.IsEmpty())
        return CFixStatus(false, true, kNoRule);
    Lumo::MutableContainerT<Lumo::INorvDesign> design;
    if (Lumo::Result r = Lumo::LockerT<Lumo::INorvDesign>::Lock(FixContext::s_fixNorvDesign, design); !r)
        return CFixStatus(r);
    if (Lumo::Result r = design->DeleteNoiseRule(FixContext::s_fixIndex1); !r)
        return CFixStatus(r);
    Lumo::LockerT<Lumo::INorvDesign>::UnLock(design);
    return CFixStatus(true, false, "Noise rule was removed");
}

CFixStatus CFixNoiseRule::SetNoiseRuleType()
{
    if (FixContext::s_fixIndex1.IsEmpty())
        return CFixStatus(false, true, kNoRule);
    Lumo::ContainerT<const Lumo::INorvNoiseRule> rule;
    if (Lumo::Result r = Uids().GetNorvNoiseRule(rule, FixContext::s_fixIndex1); !r)
        return CFixStatus(r);
    Lumo::ContainerT<const Lumo::INorvConstraint> type;
    if (rule->GetConstraint(type, "PR_TYPE"))
    {
        Lumo::String text;
        type->GetValueByString(text);
        if (text == "Class-Class" || text == "Net-Net")
            return CFixStatus(true);
    }
    return SetNoiseRuleConstraint(rule, "PR_TYPE", RepairSupport::TextValue("Class-Class"));
}

CFixStatus CFixNoiseRule::ResetMissingNoiseRuleNets()
{
    const char* constraint = EndConstraint();
    const std::string& name = FixContext::s_fixName3;
    Lumo::ContainerT<const Lumo::INorvNoiseRule> rule;
    CFixStatus status;
    if (!LoadEndRule(rule, "(All Nets)", status))
        return status;

    Lumo::ListT<Lumo::NorvObjectInfo> found;
    FixContext::s_fixNorvConfig->FindElectricalNet(found, name, CombineSearchParamsV(Lumo::SP_5, Lumo::SP_0));
    if (!found.IsEmpty())
        return CFixStatus(true);
    FixContext::s_fixNorvConfig->FindPhysicalNet(found, name, CombineSearchParamsV(Lumo::SP_0, Lumo::SP_5));
    if (found.IsEmpty())
        return SetEnd(rule, constraint, kNone);

    // The physical net stands for its electrical net.
    Lumo::ContainerT<const Lumo::INorvPhysicalNet> physicalNet;
    if (Lumo::Result r = Uids().GetNorvPhysicalNet(physicalNet, found.GetIterator()->index); !r)
        return CFixStatus(r);
    Lumo::ContainerT<const Lumo::INorvElectricalNet> electricalNet;
    if (Lumo::Result r = physicalNet->GetParentElectricalNet(electricalNet); !r)
        return CFixStatus(r);
    Lumo::String electricalName;
    if (Lumo::Result r = electricalNet->GetName(electricalName); !r)
        return CFixStatus(r);
    return SetEnd(rule, constraint, electricalName.str());
}

bool CFixNoiseRule::FindChildConstraintClass(const Lumo::INorvConstraintClass* constraintClass,
                                             const std::string& path, size_t position)
{
    while (constraintClass != nullptr)
    {
        const size_t slash = path.find('/', position);
        const std::string component =
            path.substr(position, slash == std::string::npos ? std::string::npos : slash - position);
        Lumo::ContainerT<const Lumo::INorvConstraintClass> child;
        if (!constraintClass->GetChildConstraintClass(component, child))
            return false;
        if (slash == std::string::npos)
            return true;
        return FindChildConstraintClass(&*child, path, slash + 1);
    }
    return false;
}

CFixStatus CFixNoiseRule::ResetMissingNoiseRuleClasses()
{
    const char* constraint = EndConstraint();
    const std::string& name = FixContext::s_fixName3;
    Lumo::ContainerT<const Lumo::INorvNoiseRule> rule;
    CFixStatus status;
    if (!LoadEndRule(rule, "(All Classes)", status))
        return status;

    if (!name.empty())
    {
        const Lumo::SearchParams search = CombineSearchParamsV(Lumo::SP_0, Lumo::SP_5);
        Lumo::ListT<Lumo::NorvObjectInfo> found;
        const size_t slash = name.find('/');
        if (slash == std::string::npos)
        {
            FixContext::s_fixNorvDesign->FindConstraintClass(found, name, search);
            if (!found.IsEmpty())
                return CFixStatus(true);
        }
        else
        {
            FixContext::s_fixNorvDesign->FindConstraintClass(found, name.substr(0, slash), search);
            Lumo::ContainerT<const Lumo::INorvConstraintClass> top;
            if (found.Count() == 1 &&
                FixContext::s_fixNorvDesign->GetConstraintClass(found.GetIterator()->index, top) &&
                FindChildConstraintClass(&*top, name, slash + 1))
                return CFixStatus(true);
        }
    }
    return SetEnd(rule, constraint, kNone);
}
