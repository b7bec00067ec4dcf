// CLayerInAllNetClasses: checks that in every scheme, at every level of the net class rules, the
// layer rules of each scheme net class rule map one-to-one onto the metallic layers of the design.
// The design's layers are read once per run and matched against every rule, a failed read being
// reported again for every rule that would have met it. Runs on the checker's thread.
#pragma once

#include "framework/CNorvDetailChecker.h"
#include "tests/rules/LayerMatch.h"
#include "tests/rules/RuleWalk.h"

#include <string>

class CLayerInAllNetClasses : public CNorvDetailChecker
{
public:
    CLayerInAllNetClasses();
    ~CLayerInAllNetClasses() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    TestStatus checkScheme(const Lumo::ContainerT<const Lumo::INorvScheme>& scheme);
    TestStatus checkNetClassRule(Lumo::IteratorT<const Lumo::INorvSchemaNetClassRule>& it, Lumo::Result& walk);
    TestStatus checkNetClassChildren(const Lumo::ContainerT<const Lumo::INorvSchemaNetClassRule>& rule);
    TestStatus checkNetClassLayers(const Lumo::ContainerT<const Lumo::INorvSchemaNetClassRule>& rule);
    // Reads the metallic layers of the design on the first call of a run, and again after a walk
    // that met a failed read.
    void readDesignLayers();
    void walkDesignLayers();

    bool m_layersRead = false;
    NorvRules::MetalLayerTable m_layers;
    NorvRules::ReplayedFailure m_layersFailure;
    PathGuard m_path; // rules being descended into, to stop on a cycle
};
