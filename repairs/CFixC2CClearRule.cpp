#include "repairs/CFixC2CClearRule.h"

#include "repairs/RepairSupport.h"

using namespace RepairSupport;

CFixStatus CFixC2CClearRule::DeleteInvalidC2CClearRule()
{
    const Lumo::Index index = FixContext::s_fixIndex1;
    if (index.IsEmpty())
        return CFixStatus(false, true, "Cannot get class to class clearance rule!");
    Lumo::MutableContainerT<Lumo::INorvDesign> design;
    if (Lumo::Result r = Lumo::LockerT<Lumo::INorvDesign>::Lock(Design(), design); !r)
        return CFixStatus(r);
    // One rule may give several findings (a removed scheme and a removed rule): the first deletes it.
    if (Lumo::Result r = design->DeleteC2CClearRule(index); !r)
        return FixedIfGone(r, index);
    return CFixStatus(true);
}
