// CLayerNumbering: checks the layers of the design: readable index, name, type, layer number and
// metallic number; layer numbers at least 1 and unique; metallic layers numbered from 1 and unique
// among metallic layers, other layers carrying the metallic number -1; a "LAYER_USAGE" constraint
// on every layer; unique layer names; and the highest numbers within the counts of layers.
// Runs on the checker's thread; every run starts from empty lists.
#pragma once

#include "framework/CNorvDetailChecker.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class CLayerNumbering : public CNorvDetailChecker
{
public:
    CLayerNumbering();
    ~CLayerNumbering() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    // One layer for the walk in ascending layer number.
    struct SortEntry
    {
        std::int32_t layerNumber;
        Lumo::ContainerT<const Lumo::INorvLayer> layer;
    };

    void checkDuplicatedLayerNumber(std::int32_t number, const Lumo::Index& index);
    void checkDuplicatedMetallicNumber(std::int32_t number, const Lumo::Index& index);
    void checkDuplicatedLayerName(const std::string& name, const Lumo::Index& index);
    static bool compareLayerNumbers(const SortEntry& a, const SortEntry& b);
    // The two walks; false when a failed read ended the test, with the status to return.
    bool walkLayers(std::vector<SortEntry>& entries, TestStatus& ended);

    std::uint32_t m_maxLayerNumber = 0;
    std::uint32_t m_maxMetallicNumber = 0;
    std::vector<std::int32_t> m_layerNumbers;
    std::vector<std::int32_t> m_metallicNumbers;
    std::vector<Lumo::Index> m_layerIndexes;
    std::vector<Lumo::Index> m_metallicIndexes;
    std::vector<std::string> m_layerNames;
    // Positions in the lists above by number or name, for the duplicate checks.
    std::unordered_map<std::int32_t, std::vector<std::size_t>> m_layerNumberPositions;
    std::unordered_map<std::int32_t, std::vector<std::size_t>> m_metallicNumberPositions;
    std::unordered_map<std::string, std::size_t> m_layerNameCounts;
};
