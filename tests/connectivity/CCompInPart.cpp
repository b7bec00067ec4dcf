#include "tests/connectivity/CCompInPart.h"

#include <algorithm>
#include <string>

CCompInPart::CCompInPart() = default;
CCompInPart::~CCompInPart() = default;

std::string CCompInPart::getTestDescription() const { return "Test checks if all components belong to the parts."; }
std::string CCompInPart::getTestName() const { return "Component in part"; }
std::string CCompInPart::getTestShortName() const { return "CompInPart"; }

TestStatus CCompInPart::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();
    m_bHasParentPart = true;
    m_listings = PartListings();

    Lumo::IteratorT<const Lumo::INorvComp> comp;
    Lumo::Result compWalk = m_config->GetIterNorvComps(comp);
    for (; walkOn(comp, compWalk); ++comp) {
        Lumo::ContainerT<const Lumo::INorvPart> part;
        m_bHasParentPart = static_cast<bool>(comp->GetParentPart(part));
        checkComponent(comp);
    }
    if (!compWalk)
        return raiseError(CDICErrors::T3_ERRITERCOMPONENTS);

    raiseStatus(OK);
    return m_status;
}

void CCompInPart::walkParts()
{
    m_listings = PartListings();
    PartListings& l = m_listings;
    l.walked = true;
    Lumo::IteratorT<const Lumo::INorvPart> part;
    Lumo::Result partWalk = m_config->GetIterParts(part);
    for (; walkOn(part, partWalk); ++part) {
        const std::size_t position = l.parts.size();
        Lumo::Index partIndex;
        if (!part->GetIndex(partIndex)) {
            partIndex = Lumo::Index();
            l.unreadParts.push_back(position);
        }
        l.parts.push_back(partIndex);
        Lumo::IteratorT<const Lumo::INorvComp> listed;
        Lumo::Result listedWalk = part->GetIterNorvComps(listed);
        std::unordered_map<Lumo::Index, int> counts;
        std::vector<Lumo::Index> order;
        for (; walkOn(listed, listedWalk); ++listed) {
            Lumo::Index childIndex;
            if (!listed->GetIndex(childIndex)) {
                // The listings of this part are never reported: every walk ends here.
                l.stopPart = position;
                l.stopCode = CDICErrors::T3_ERRCHILDCOMPINDEX;
                return;
            }
            if (counts[childIndex]++ == 0)
                order.push_back(childIndex);
        }
        if (!listedWalk) {
            l.stopPart = position;
            l.stopCode = CDICErrors::T3_ERRPARTITERCOMPS;
            return;
        }
        for (const Lumo::Index& child : order)
            l.listings[child].emplace_back(position, counts[child]);
    }
    if (!partWalk) {
        l.iteratorFailed = true;
        return;
    }
}

TestStatus CCompInPart::checkComponent(const Lumo::ContainerT<const Lumo::INorvComp>& comp)
{
    Lumo::String name;
    if (!comp->GetName(name))
        return raiseError(CDICErrors::T3_ERRCOMPNAME);
    Lumo::Index index;
    if (!comp->GetIndex(index))
        return raiseError(CDICErrors::T3_ERRCOMPINDEX);

    if (!m_listings.walked || m_listings.metFailure())
        walkParts();
    const PartListings& l = m_listings;
    if (l.iteratorFailed)
        return raiseError(CDICErrors::T3_ERRITERPARTS);

    static const std::vector<std::pair<std::size_t, int>> none;
    const auto found = l.listings.find(index);
    const std::vector<std::pair<std::size_t, int>>& listings = found == l.listings.end() ? none : found->second;

    // Replays the walk over the parts in order: the unreadable part indexes and this component's
    // listings, up to the part where every walk ends.
    const std::size_t end = l.stopCode ? l.stopPart + 1 : l.parts.size();
    int total = 0;
    Lumo::Index listingPart;
    std::size_t u = 0, k = 0;
    while (true) {
        const std::size_t nextUnread = u < l.unreadParts.size() ? l.unreadParts[u] : end;
        const std::size_t nextListed = k < listings.size() ? listings[k].first : end;
        const std::size_t position = std::min(nextUnread, nextListed);
        if (position >= end)
            break;
        if (nextUnread == position) {
            raiseError(CDICErrors::T3_ERRPARTINDEX);
            ++u;
        }
        if (nextListed == position) {
            const int count = listings[k].second;
            total += count;
            listingPart = l.parts[position];
            if (count > 1) {
                const std::string countText = std::to_string(count);
                raiseError(CDICErrors::T3_ERRMANYCOMPSINPART, Lumo::Index(), countText, listingPart,
                           indexToName(listingPart));
            }
            ++k;
        }
    }
    if (l.stopCode)
        return raiseError(l.stopCode);

    if (total == 0 && m_bHasParentPart) {
        raiseError(CDICErrors::T3_ERRCOMPNOTINANYPART, index, name);
    } else if (total == 1 && !m_bHasParentPart) {
        raiseError(CDICErrors::T3_ERRCOMPHASNOPART, index, name, listingPart, "");
    } else if (total > 1) {
        const std::string totalText = std::to_string(total);
        raiseError(CDICErrors::T3_ERRMANYCOMP, Lumo::Index(), name, Lumo::Index(), totalText);
    }
    return m_status;
}
