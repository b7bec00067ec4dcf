// CFixNoiseRule: repairs of noise rules: a rule without aggressor is deleted, a rule of unknown type
// becomes "Class-Class", and a rule naming a net or constraint class that does not exist is pointed
// at a valid value. Static repair methods only (see CFixerBase); they never log or throw.
#pragma once

#include "repairs/CFixerBase.h"

#include <string>

class CFixNoiseRule : public CFixerBase
{
public:
    CFixNoiseRule() = default;
    ~CFixNoiseRule() = default;

    static CFixStatus DeleteNoiseRuleWithoutAggressor();
    static CFixStatus SetNoiseRuleType();
    static CFixStatus ResetMissingNoiseRuleNets();
    static CFixStatus ResetMissingNoiseRuleClasses();

    // Gives the rule the constraint with the value: an own constraint is set, a missing or only
    // inherited one is added to the rule.
    static CFixStatus SetNoiseRuleConstraint(const Lumo::ContainerT<const Lumo::INorvNoiseRule>& rule,
                                             const char* name, const Lumo::ConstraintData& value);
    // Whether the '/'-separated path, from position on, names a child (and grandchild...) of the class.
    static bool FindChildConstraintClass(const Lumo::INorvConstraintClass* constraintClass, const std::string& path,
                                         size_t position);
};
