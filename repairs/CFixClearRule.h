// CFixClearRule: the repairs of clearance rules and of the schemes that hold them: the general
// clearance and "(Default Rule)", a duplicated scheme or clearance-rule name, a clearance-rule
// name with characters that names may not hold, a clearance rule missing from a scheme
// (re-created with the values its scheme rules held) and a scheme with several scheme rules for
// one clearance rule (rebuilt). It also offers snapshots of rule values by name. Static members
// only (CFixerBase); nothing constructs the class. Repairs do not roll back a partial change.
#pragma once

#include "repairs/CFixerBase.h"

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <string>

// The constraint values of one schema clearance rule (layer 0) or of one of its layer clearance
// rules, and the scheme they were found in.
struct SavedConstraintSet
{
    Lumo::String schemeName;
    Lumo::Index schemeIndex; // two schemes may share a name: the index finds the scheme again
    int32_t layer = 0;
    std::map<Lumo::String, Lumo::ConstraintData> values;
};

// One node of a snapshot of floating-point constraint values by name: rule name, then layer name.
struct RuleValueSnapshot
{
    std::map<Lumo::String, double> values;
    int32_t route = 1;
    std::map<std::string, std::unique_ptr<RuleValueSnapshot>> children;
};

class CFixClearRule : public CFixerBase
{
public:
    CFixClearRule() = default;
    ~CFixClearRule() = default;

    // Add the general clearance / "(Default Rule)" when missing; not fixed when present.
    static CFixStatus AddMissingGenClear();
    static CFixStatus AddDefaultClearRule();
    // Gives the scheme of index 2 (duplicated name 1) the first free name name_n (raises reload).
    static CFixStatus RenameDuplicatedScheme();
    // Gives the clearance rule of index 2 (name 2) the first free name name_n (raises reload).
    static CFixStatus RenameDuplicatedClearRule();
    // Cleans the name of the clearance rule of index 1.
    static CFixStatus RenameInvalidClearRuleName();
    // Re-creates the clearance rule name 1, which scheme name 2 is missing, keeping the values of
    // the rule and of its scheme rules.
    static CFixStatus RecreateClearRule();
    // Rebuilds scheme name 2, which holds several scheme rules for clearance rule name 1.
    static CFixStatus RebuildSchemeClearRules();

    // Appends the values of every schema clearance rule of that name, and of its layer clearance
    // rules, in every scheme.
    static void SaveClearRuleConstraints(std::list<SavedConstraintSet>& saved, const std::string& ruleName);
    // Writes each saved set back into the schema clearance rule of that name (or its layer
    // clearance rule of the set's layer) of the set's scheme; a set without its target is skipped.
    static void RestoreSchemaClearRules(const std::list<SavedConstraintSet>& saved, const std::string& ruleName);
    // Writes one set onto a locked object: own constraints are set, others added.
    static void SetConstraintValue(Lumo::IObjectNorv& target, const SavedConstraintSet& set);
    // Copies every constraint with its value and attributes; false at the first failed step.
    static bool CopyConstraints(const Lumo::IObjectNorv& source, Lumo::IObjectNorv& target);
    // Copies the attribute list; false when it cannot be read or written.
    static bool CopyAttributes(const Lumo::IObjectNorv& source, Lumo::IObjectNorv& target);

    // Snapshots of floating-point rule values by rule and layer name.
    static void CollectConstraints(const Lumo::IObjectNorv& object, RuleValueSnapshot& node, bool withRoute);
    static bool SaveSchemaNetClassRule(const Lumo::INorvSchemaNetClassRule& rule, RuleValueSnapshot& parent, bool create,
                                       bool withRoute);
    static bool SaveSchemaClearRule(const Lumo::INorvSchemaClearRule& rule, RuleValueSnapshot& parent, bool create);
    static bool SaveLayerRule(const Lumo::INorvLayerRule& layerRule, RuleValueSnapshot& ruleNode, bool create,
                              bool withRoute);
    static bool SaveLayerClearRule(const Lumo::INorvLayerClearRule& layerRule, RuleValueSnapshot& ruleNode, bool create);
    static bool RestoreLayerRules(const Lumo::ContainerT<const Lumo::INorvSchemaNetClassRule>& rule,
                                  const RuleValueSnapshot& parent);
    static bool RestoreLayerClearRules(const Lumo::ContainerT<const Lumo::INorvSchemaClearRule>& rule,
                                       const RuleValueSnapshot& parent);
    // Writes one node onto a locked object; always true.
    static bool RestoreObjectConstraints(Lumo::IObjectNorv& object, const RuleValueSnapshot& node);
    // Sets or adds one constraint from text; an empty text does nothing.
    static Lumo::Result SetConstraintByString(Lumo::IObjectNorv& object, const Lumo::String& name,
                                              const Lumo::String& text, bool force);
};
