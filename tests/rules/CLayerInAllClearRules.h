// CLayerInAllClearRules: checks that in every scheme the layer clear rules of each schema clear
// rule map one-to-one onto the metallic layers of the design.
// The design's layers are read once per run and matched against every rule, a failed read being
// reported again for every rule that would have met it. Runs on the checker's thread.
#pragma once

#include "framework/CNorvDetailChecker.h"
#include "tests/rules/LayerMatch.h"

#include <string>

class CLayerInAllClearRules : public CNorvDetailChecker
{
public:
    CLayerInAllClearRules();
    ~CLayerInAllClearRules() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    TestStatus checkScheme(const Lumo::ContainerT<const Lumo::INorvScheme>& scheme);
    TestStatus checkSchemaClearRules(Lumo::IteratorT<const Lumo::INorvSchemaClearRule>& it, Lumo::Result& walk);
    TestStatus checkClearRuleLayers(const Lumo::ContainerT<const Lumo::INorvSchemaClearRule>& rule);
    // Reads the metallic layers of the design on the first call of a run, and again after a walk
    // that met a failed read.
    void readDesignLayers();
    void walkDesignLayers();

    bool m_layersRead = false;
    NorvRules::MetalLayerTable m_layers;
    NorvRules::ReplayedFailure m_layersFailure;
};
