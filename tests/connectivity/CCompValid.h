// CCompValid: every Norv component has readable index and name and a parent part, its net pins and
// the part pins of its part correspond one to one, and none of its logical components is left
// without Norv pins. Family T6 (shares T41_ERRITERFORLOGICALCOMP and T7_ERRLISTNORVPINSFROMFLATPIN).
#pragma once

#include "framework/CNorvDetailChecker.h"

#include <cstddef>
#include <unordered_map>
#include <unordered_set>

class CCompValid : public CNorvDetailChecker
{
public:
    CCompValid();
    ~CCompValid() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    // The part pins of one part, read once per part and run. A walk that met a failed read (its
    // code) serves only the component it was made for.
    struct PartPinTable
    {
        int failCode = 0;
        std::unordered_set<Lumo::Index> pins;
        std::size_t count = 0;  // part pins listed, repeats included
    };

    bool checkPartPins(const Lumo::ContainerT<const Lumo::INorvPart>& part,
                       const Lumo::ContainerT<const Lumo::INorvComp>& comp);
    bool checkLogicalComponents(const Lumo::ContainerT<const Lumo::INorvComp>& comp);
    const PartPinTable& partPinTable(const Lumo::ContainerT<const Lumo::INorvPart>& part, PartPinTable& local);

    std::unordered_map<Lumo::Index, PartPinTable> m_partPins;
};
