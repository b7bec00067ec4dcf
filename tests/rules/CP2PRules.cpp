#include "tests/rules/CP2PRules.h"

namespace
{

// The constraints of a package-to-package clearance rule, in the order they are looked up.
const char* const kRequired[] = {"P2P_FRPKGTYPE", "P2P_TOPKGTYPE", "P2P_SIDE", "P2P_DIRECTION", "P2P_CLEARANCE"};

} // namespace

CP2PRules::CP2PRules() = default;

CP2PRules::~CP2PRules() = default;

std::string CP2PRules::getTestDescription() const
{
    return "Test checks if each package clearance type rule is fully defined";
}

std::string CP2PRules::getTestName() const
{
    return "All used package clearance type rules valid";
}

std::string CP2PRules::getTestShortName() const
{
    return "P2PRulesValid";
}

TestStatus CP2PRules::runTest(bool)
{
    // The status text is left as it is.
    raiseStatus(TESTING);

    Lumo::IteratorT<const Lumo::INorvP2PClearRule> rule;
    Lumo::Result ruleWalk = m_design->GetIterP2PClearRules(rule);

    for (; walkOn(rule, ruleWalk); ++rule) {
        Lumo::Index index;
        if (!rule->GetIndex(index)) {
            raiseError(CDICErrors::T62_ERRINDEXOFP2PRULE);
            continue;
        }
        for (const char* name : kRequired) {
            Lumo::ContainerT<const Lumo::INorvConstraint> constraint;
            if (!rule->GetConstraint(constraint, name))
                raiseError(CDICErrors::T62_CANNOTGETP2PCONSTRAINT, name);
        }
    }
    if (!ruleWalk)
        return raiseError(CDICErrors::T62_ERRITERP2PRULES);
    raiseStatus(OK);
    return m_status;
}
