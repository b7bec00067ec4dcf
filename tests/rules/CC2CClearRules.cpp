#include "tests/rules/CC2CClearRules.h"

#include <unordered_set>

using Lumo::Index;
using Lumo::IteratorT;

namespace
{

using NameSet = std::unordered_set<std::string>;

// The text of a constraint's value; a failed read leaves the empty text.
std::string valueText(const Lumo::ContainerT<const Lumo::INorvConstraint>& constraint)
{
    Lumo::ConstraintData value;
    constraint->GetValue(value);
    return value.GetValueAsString().str();
}

} // namespace

CC2CClearRules::CC2CClearRules() = default;

CC2CClearRules::~CC2CClearRules() = default;

std::string CC2CClearRules::getTestDescription() const
{
    return "Test checks if all schemes and rules exist for class to class clearance rules";
}

std::string CC2CClearRules::getTestName() const
{
    return "Schemes and rules in all class to class clearance rules";
}

std::string CC2CClearRules::getTestShortName() const
{
    return "SchemeInC2CClearRule";
}

TestStatus CC2CClearRules::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();

    // The names that the rules may refer to, compared exactly.
    NameSet schemes;
    NameSet clearRules;
    NameSet zAxisRules;

    IteratorT<const Lumo::INorvScheme> scheme;
    Lumo::Result schemeWalk = m_design->GetIterSchemes(scheme);
    for (; walkOn(scheme, schemeWalk); ++scheme) {
        Lumo::String name;
        if (!scheme->GetName(name)) {
            raiseError(CDICErrors::T60_ERRNAMESCHEME);
            continue;
        }
        schemes.insert(name.str());
    }
    if (!schemeWalk)
        return raiseError(CDICErrors::T60_ERRITERSCHEMES);

    IteratorT<const Lumo::INorvClearRule> clearRule;
    Lumo::Result clearRuleWalk = m_design->GetIterClearRules(clearRule);
    for (; walkOn(clearRule, clearRuleWalk); ++clearRule) {
        Lumo::String name;
        if (!clearRule->GetName(name)) {
            raiseError(CDICErrors::T60_ERRNAMECLEARRULE);
            continue;
        }
        clearRules.insert(name.str());
    }
    if (!clearRuleWalk)
        return raiseError(CDICErrors::T60_ERRITERCLEARRULES);

    IteratorT<const Lumo::INorvZAxisClearRule> zAxisRule;
    Lumo::Result zAxisRuleWalk = m_design->GetIterZAxisClearRules(zAxisRule);
    for (; walkOn(zAxisRule, zAxisRuleWalk); ++zAxisRule) {
        Lumo::String name;
        if (!zAxisRule->GetName(name)) {
            raiseError(CDICErrors::T60_ERRNAMEZAXIS);
            continue;
        }
        zAxisRules.insert(name.str());
    }
    if (!zAxisRuleWalk)
        return raiseError(CDICErrors::T60_ERRITERZAXIS);

    IteratorT<const Lumo::INorvC2CClearRule> rule;
    Lumo::Result ruleWalk = m_design->GetIterC2CClearRules(rule);
    for (; walkOn(rule, ruleWalk); ++rule) {
        Index index;
        if (!rule->GetIndex(index)) {
            raiseError(CDICErrors::T60_ERRINDEXOFC2CCLEARRULE);
            continue;
        }

        Lumo::ContainerT<const Lumo::INorvConstraint> constraint;
        if (!rule->GetConstraint(constraint, "C2C_SCHEME")) {
            raiseError(CDICErrors::T60_CANNOTGETSCHEMECONSTRAINT, index);
            continue;
        }
        const std::string schemeText = valueText(constraint);
        if (!schemes.count(schemeText))
            raiseError(CDICErrors::T60_ERRSCHEMEOFC2CCLEARRULE, index, "", Index(), schemeText);

        if (!rule->GetConstraint(constraint, "C2C_RULE_TYPE")) {
            raiseError(CDICErrors::T60_CANNOTGETRULETYPECONSTRAINT, index);
            continue;
        }
        const std::string ruleType = valueText(constraint);

        if (!rule->GetConstraint(constraint, "C2C_RULE")) {
            raiseError(CDICErrors::T60_CANNOTGETRULECONSTRAINT, index);
            continue;
        }
        const std::string ruleText = valueText(constraint);

        if (ruleType == "ClearRule") {
            if (!clearRules.count(ruleText))
                raiseError(CDICErrors::T60_ERRCLEARRULEOFC2CCLEARRULE, index, "", Index(), ruleText);
        } else if (ruleType == "ZClearRule") {
            if (!zAxisRules.count(ruleText))
                raiseError(CDICErrors::T60_ERRZAXISOFC2CCLEARRULE, index, "", Index(), ruleText);
        }
    }
    if (!ruleWalk)
        return raiseError(CDICErrors::T60_ERRITERC2CCLEARRULES);
    raiseStatus(OK);
    return m_status;
}
