#include "repairs/CFixParRule.h"

#include "framework/FixContext.h"

CFixStatus CFixParRule::DeleteInvalidParRuleDef()
{
    if (FixContext::s_fixIndex1.IsEmpty())
        return CFixStatus(false, true, "Cannot load object.");
    Lumo::MutableContainerT<Lumo::INorvDesign> design;
    if (Lumo::Result r = Lumo::LockerT<Lumo::INorvDesign>::Lock(FixContext::s_fixNorvDesign, design); !r)
        return CFixStatus(r);
    if (Lumo::Result r = design->DeleteParRuleDef(FixContext::s_fixIndex1); !r)
        return CFixStatus(r);
    return CFixStatus(true);
}

CFixStatus CFixParRule::DeleteAllParRuleDefs()
{
    Lumo::MutableContainerT<Lumo::INorvDesign> design;
    if (Lumo::Result r = Lumo::LockerT<Lumo::INorvDesign>::Lock(FixContext::s_fixNorvDesign, design); !r)
        return CFixStatus(r);
    if (Lumo::Result r = design->DeleteAllParRuleDefs(); !r)
        return CFixStatus(r);
    return CFixStatus(true);
}
