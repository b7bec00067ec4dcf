// CDefaultObjects: checks that the standard objects of a Norv design exist (schemes "(Master)" and
// "(Minimum)", clearance rule "(Default Rule)", net class "(Default)", constraint class "(All)")
// and, outside the Tamsa flow, that no integer or double constraint of a "(Minimum)" scheme rule
// (or of its layer rules) is greater than the same constraint in the other schemes' rules.
// Runs on the thread of the check; owns nothing.
#pragma once

#include "framework/CNorvDetailChecker.h"
#include "framework/PathGuard.h"

#include <string>
#include <unordered_set>

class CDefaultObjects : public CNorvDetailChecker
{
public:
    CDefaultObjects();
    ~CDefaultObjects() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    struct NetClassRules;
    struct ClearRules;

    // Each leaves a failure of its walk on the way in walk, and then reports nothing more.
    TestStatus checkSchemes(Lumo::IteratorT<const Lumo::INorvScheme>& schemes, Lumo::Result& walk);
    TestStatus checkDefaultClearRule(Lumo::IteratorT<const Lumo::INorvClearRule>& rules, Lumo::Result& walk);
    TestStatus checkDefaultNetClass(Lumo::IteratorT<const Lumo::INorvNetClass>& netClasses);
    TestStatus checkAllConstraintClass(Lumo::IteratorT<const Lumo::INorvConstraintClass>& classes);
    TestStatus checkMinimumScheme();
    TestStatus checkNetClassMinimum(const Lumo::ContainerT<const Lumo::INorvNetClass>& netClass);
    TestStatus checkClearRuleMinimum(const Lumo::ContainerT<const Lumo::INorvClearRule>& clearRule);
    TestStatus checkNetClassLayerRules(const Lumo::ContainerT<const Lumo::INorvSchemaNetClassRule>& rule,
                                       const Lumo::ContainerT<const Lumo::INorvSchemaNetClassRule>& minimum);
    TestStatus checkClearRuleLayerRules(const Lumo::ContainerT<const Lumo::INorvSchemaClearRule>& rule,
                                        const Lumo::ContainerT<const Lumo::INorvSchemaClearRule>& minimum);
    TestStatus compareConstraints(const Lumo::IObjectNorv& other, const Lumo::IObjectNorv& minimum);

    template <class T>
    void checkStandardObject(Lumo::IteratorT<const T>& objects, const char* standardName, unsigned indexCode,
                             unsigned nameCode, unsigned missingCode, Lumo::Result& walk);
    // The common part of a net class and a clearance rule against their "(Minimum)" rule.
    template <class Kind, class Owner>
    void checkOwnerMinimum(const Lumo::ContainerT<const Owner>& owner, const Lumo::Index& ownerIndex,
                           const Lumo::String& ownerName);
    template <class Kind>
    void checkLayerRules(const Lumo::ContainerT<const typename Kind::Rule>& rule,
                         const Lumo::ContainerT<const typename Kind::Rule>& minimum);

    // Net classes being descended into, so a cyclic class tree ends.
    PathGuard m_netClassPath;
};
