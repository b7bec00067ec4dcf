#include "repairs/CFixP2PRule.h"

#include "framework/FixContext.h"
#include "framework/ReadThrough.h"

namespace {

const char* const kP2PConstraints[] = {"P2P_FRPKGTYPE", "P2P_TOPKGTYPE", "P2P_SIDE", "P2P_DIRECTION", "P2P_CLEARANCE"};

bool HasAllConstraints(const Lumo::INorvP2PClearRule& rule)
{
    for (const char* name : kP2PConstraints)
    {
        Lumo::ContainerT<const Lumo::INorvConstraint> constraint;
        if (!rule.GetConstraint(constraint, name))
            return false;
    }
    return true;
}

} // namespace

CFixStatus CFixP2PRule::DeleteBrokenP2PClearRules()
{
    // The test raises one finding per missing constraint; a complete sweep already deleted every
    // broken rule for all of them.
    if (FixContext::s_fixP2PSwept)
        return CFixStatus(true);
    Lumo::IteratorT<const Lumo::INorvP2PClearRule> rules;
    Lumo::Result rulesWalk = FixContext::s_fixNorvDesign->GetIterP2PClearRules(rules);
    bool skipped = false;
    for (; walkOn(rules, rulesWalk); ++rules)
    {
        Lumo::Index index;
        if (!rules->GetIndex(index))
        {
            skipped = true;
            continue;
        }
        if (HasAllConstraints(*rules))
            continue;
        Lumo::MutableContainerT<Lumo::INorvDesign> design;
        if (!Lumo::LockerT<Lumo::INorvDesign>::Lock(FixContext::s_fixNorvDesign, design))
        {
            skipped = true;
            continue;
        }
        if (Lumo::Result r = design->DeleteP2PClearRule(index); !r)
            return CFixStatus(r);
        Lumo::LockerT<Lumo::INorvDesign>::UnLock(design);
    }
    if (!rulesWalk)
        return CFixStatus(false);
    FixContext::s_fixP2PSwept = !skipped;
    return CFixStatus(true);
}
