// CFixTemplates: repairs of constraint templates (generic composite objects of type "TOPOTMPL") and
// of the pin sets and pins inside them, and of the "TEMPLATE" references of nets and differential
// pairs. Static repair methods only (see CFixerBase); they never log or throw.
#pragma once

#include "repairs/CFixerBase.h"

class CFixTemplates : public CFixerBase
{
public:
    CFixTemplates() = default;
    virtual ~CFixTemplates() = default;

    static CFixStatus DeleteDuplicatedTemplate();
    static CFixStatus ClearMissingElecNetTemplate();
    static CFixStatus ClearMissingDiffPairTemplate();
    static CFixStatus SetPinSetTemplateTopology();
    static CFixStatus DeletePinSetWithIncorrectPin();
    static CFixStatus SetTopoPinSetType();

    // Give the object the constraint with the value, as CFixNoiseRule::SetNoiseRuleConstraint does,
    // except that a failed add also reports a failed unlock.
    static CFixStatus SetGenCompObjConstraint(const Lumo::ContainerT<const Lumo::INorvGenCompObj>& object,
                                              const char* name, const Lumo::ConstraintData& value);
    static CFixStatus SetGenObjConstraint(const Lumo::ContainerT<const Lumo::INorvGenObj>& object, const char* name,
                                          const Lumo::ConstraintData& value);
};
