// CLayerInZAxisRules: checks the Z-axis clearance rules, the generic compound objects of the type
// "ZAXIS_CLEARRULE": every metallic layer of the design is named exactly once in every rule, and
// every name in a rule is the name of exactly one metallic layer (names compared exactly).
// The design's metallic layer names are read once per run, a failed read being reported again for
// every rule that would have met it. Runs on the checker's thread.
#pragma once

#include "framework/CNorvDetailChecker.h"
#include "tests/rules/LayerMatch.h"

#include <string>
#include <unordered_map>
#include <vector>

class CLayerInZAxisRules : public CNorvDetailChecker
{
public:
    CLayerInZAxisRules();
    ~CLayerInZAxisRules() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    bool findZAxisRuleType(Lumo::ContainerT<const Lumo::INorvGenObjType>& type);
    TestStatus checkZAxisRule(const Lumo::ContainerT<const Lumo::INorvGenCompObj>& rule);
    TestStatus checkZAxisRuleLayers(const Lumo::ContainerT<const Lumo::INorvGenCompObj>& rule,
                                    const std::string& ruleName);
    // Reads the names of the metallic layers on the first call of a run, and again after a walk
    // that met a failed read.
    void readDesignLayers();
    void walkDesignLayers();

    bool m_layersRead = false;
    std::vector<std::string> m_layerNames;
    std::unordered_map<std::string, int> m_layerNameCounts;
    NorvRules::ReplayedFailure m_layersFailure;
};
