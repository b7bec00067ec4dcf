// CCompInPart: the parts' component lists agree with each component's parent part: a packaged
// component is listed by exactly one part, once; an unpackaged one by none. Family T3.
#pragma once

#include "framework/CNorvDetailChecker.h"

#include <cstddef>
#include <unordered_map>
#include <utility>
#include <vector>

class CCompInPart : public CNorvDetailChecker
{
public:
    CCompInPart();
    ~CCompInPart() override;

    std::string getTestDescription() const override;
    std::string getTestName() const override;
    std::string getTestShortName() const override;
    TestStatus runTest(bool runArg) override;

private:
    // The parts and their component lists, walked once per run instead of once per component. A
    // walk that met a failed read serves only the component it was made for; the next component
    // walks again, so a failure that does not repeat is not reported twice.
    struct PartListings
    {
        bool walked = false;
        bool iteratorFailed = false;
        std::vector<Lumo::Index> parts;          // part index by position; empty when unreadable
        std::vector<std::size_t> unreadParts;    // positions whose index read failed, ascending
        std::size_t stopPart = 0;                // with stopCode: where every walk ends
        int stopCode = 0;
        // component index -> (part position, times listed there), positions ascending, before stopPart
        std::unordered_map<Lumo::Index, std::vector<std::pair<std::size_t, int>>> listings;

        bool metFailure() const { return iteratorFailed || stopCode != 0 || !unreadParts.empty(); }
    };

    TestStatus checkComponent(const Lumo::ContainerT<const Lumo::INorvComp>& comp);
    void walkParts();

    bool m_bHasParentPart = true;
    PartListings m_listings;
};
