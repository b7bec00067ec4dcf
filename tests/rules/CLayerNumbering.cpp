#include "tests/rules/CLayerNumbering.h"

#include "framework/CDICErrors.h"
#include "tests/rules/RuleWalk.h"

#include <algorithm>

namespace
{
// Releases the read handles of the sort entries however the walk ends.
template <class Entries>
class ReleaseOnExit
{
public:
    explicit ReleaseOnExit(Entries& entries) : m_entries(entries) {}
    ~ReleaseOnExit()
    {
        for (auto& entry : m_entries)
            entry.layer.Release();
        m_entries.clear();
    }
    ReleaseOnExit(const ReleaseOnExit&) = delete;
    ReleaseOnExit& operator=(const ReleaseOnExit&) = delete;

private:
    Entries& m_entries;
};
} // namespace

CLayerNumbering::CLayerNumbering() = default;

CLayerNumbering::~CLayerNumbering() = default;

std::string CLayerNumbering::getTestDescription() const
{
    return "Test checks if layers contain all required and valid data";
}

std::string CLayerNumbering::getTestName() const
{
    return "Layer consistency";
}

std::string CLayerNumbering::getTestShortName() const
{
    return "LayerNumbering";
}

bool CLayerNumbering::compareLayerNumbers(const SortEntry& a, const SortEntry& b)
{
    return a.layerNumber < b.layerNumber;
}

TestStatus CLayerNumbering::runTest(bool /*runArg*/)
{
    m_layerNumbers.clear();
    m_metallicNumbers.clear();
    m_layerIndexes.clear();
    m_metallicIndexes.clear();
    m_layerNames.clear();
    m_layerNumberPositions.clear();
    m_metallicNumberPositions.clear();
    m_layerNameCounts.clear();
    m_maxLayerNumber = 0;
    m_maxMetallicNumber = 0;
    raiseStatus(TESTING);
    m_statusString = "";

    std::vector<SortEntry> entries;
    ReleaseOnExit<std::vector<SortEntry>> release(entries);
    TestStatus ended = m_status;
    if (!walkLayers(entries, ended))
        return ended;

    if (m_maxLayerNumber > static_cast<std::uint32_t>(m_layerNumbers.size()))
        raiseError(CDICErrors::T27_MAXNUMGREATERTHANNUMBEROFLAYERS, Lumo::Index(),
                   NorvRules::NumberText(static_cast<std::int32_t>(m_maxLayerNumber)), Lumo::Index(),
                   NorvRules::NumberText(static_cast<std::int32_t>(m_layerNumbers.size())));
    if (m_maxMetallicNumber > static_cast<std::uint32_t>(m_metallicNumbers.size()))
        raiseError(CDICErrors::T27_MAXMETALLICNUMGREATERTHANNUMBEROFMETALLICLAYERS, Lumo::Index(),
                   NorvRules::NumberText(static_cast<std::int32_t>(m_maxMetallicNumber)), Lumo::Index(),
                   NorvRules::NumberText(static_cast<std::int32_t>(m_metallicNumbers.size())));

    raiseStatus(OK);
    return m_status;
}

bool CLayerNumbering::walkLayers(std::vector<SortEntry>& entries, TestStatus& ended)
{
    Lumo::IteratorT<const Lumo::INorvLayer> it;
    Lumo::Result itWalk = m_design->GetIterLayers(it);

    for (; walkOn(it, itWalk); ++it)
    {
        Lumo::Index index;
        if (!it->GetIndex(index))
        {
            ended = raiseError(CDICErrors::T27_ERRINDEXOFLAYER);
            return false;
        }
        Lumo::String name;
        if (!it->GetName(name))
        {
            ended = raiseError(CDICErrors::T27_ERRMISSINGNAME, index);
            return false;
        }
        Lumo::ELayerType type{};
        if (!it->GetType(type))
        {
            ended = raiseError(CDICErrors::T27_ERRTYPEOFLAYER, index);
            return false;
        }
        std::int32_t number = 0;
        if (!it->GetLayerNumber(number))
        {
            ended = raiseError(CDICErrors::T27_ERRNUMBEROFLAYER, index);
            return false;
        }
        entries.push_back(SortEntry{number, it});
        std::int32_t metallic = 0;
        if (!it->GetMetallicLayerNumber(metallic))
        {
            ended = raiseError(CDICErrors::T27_ERRMETALLICNUMBEROFLAYER, index);
            return false;
        }

        Lumo::ContainerT<const Lumo::INorvConstraint> usage;
        if (!it->GetConstraint(usage, "LAYER_USAGE"))
            raiseError(CDICErrors::T27_ERRMISSINGLAYERUSAGE, index, name);

        if (number < 1)
            raiseError(CDICErrors::T27_FORBIDDENNUMBEROFLAYER, index, NorvRules::NumberText(number));
        // Compared unsigned: a negative number counts as higher than every positive one.
        if (static_cast<std::uint32_t>(number) > m_maxLayerNumber)
            m_maxLayerNumber = static_cast<std::uint32_t>(number);
        checkDuplicatedLayerNumber(number, index);
        m_layerNumberPositions[number].push_back(m_layerNumbers.size());
        m_layerNumbers.push_back(number);
        m_layerIndexes.push_back(index);

        if (type == 0)
        {
            if (metallic < 1)
                raiseError(CDICErrors::T27_FORBIDDENNUMBEROFMETALLICLAYER, index,
                           NorvRules::NumberText(metallic));
            if (static_cast<std::uint32_t>(metallic) > m_maxMetallicNumber)
                m_maxMetallicNumber = static_cast<std::uint32_t>(metallic);
            checkDuplicatedMetallicNumber(metallic, index);
            m_metallicNumberPositions[metallic].push_back(m_metallicNumbers.size());
            m_metallicNumbers.push_back(metallic);
            m_metallicIndexes.push_back(index);
        }
        else if (metallic != -1)
        {
            raiseError(CDICErrors::T27_FORBIDDENMETALLICNUMBERODIELECTRICFLAYER, index,
                       NorvRules::NumberText(metallic));
        }
    }
    if (!itWalk)
    {
        ended = raiseError(CDICErrors::T27_ERRITEROFLAYERSINDESIGN);
        return false;
    }

    // Equal numbers keep their walk order, so the names are compared in a reproducible order.
    std::stable_sort(entries.begin(), entries.end(), compareLayerNumbers);
    for (SortEntry& entry : entries)
    {
        Lumo::Index index;
        if (!entry.layer->GetIndex(index))
        {
            ended = raiseError(CDICErrors::T27_ERRINDEXOFLAYER);
            return false;
        }
        Lumo::String name;
        if (!entry.layer->GetName(name))
        {
            ended = raiseError(CDICErrors::T27_ERRNAMEOFLAYER, index);
            return false;
        }
        checkDuplicatedLayerName(name.str(), index);
        ++m_layerNameCounts[name.str()];
        m_layerNames.push_back(name.str());
    }
    return true;
}

void CLayerNumbering::checkDuplicatedLayerNumber(std::int32_t number, const Lumo::Index& index)
{
    auto found = m_layerNumberPositions.find(number);
    if (found == m_layerNumberPositions.end())
        return;
    const std::string text = NorvRules::NumberText(number);
    for (std::size_t i : found->second)
        raiseError(CDICErrors::T27_DUPLICATEDLAYERNUMBER, index, text, m_layerIndexes[i], text);
}

void CLayerNumbering::checkDuplicatedMetallicNumber(std::int32_t number, const Lumo::Index& index)
{
    auto found = m_metallicNumberPositions.find(number);
    if (found == m_metallicNumberPositions.end())
        return;
    const std::string text = NorvRules::NumberText(number);
    for (std::size_t i : found->second)
        raiseError(CDICErrors::T27_DUPLICATEDMETALLICLAYERNUMBER, index, text, m_metallicIndexes[i],
                   text);
}

void CLayerNumbering::checkDuplicatedLayerName(const std::string& name, const Lumo::Index& index)
{
    auto found = m_layerNameCounts.find(name);
    if (found == m_layerNameCounts.end())
        return;
    for (std::size_t i = 0; i < found->second; ++i)
        raiseError(CDICErrors::T27_DUPLICATEDLAYERNAME, index, name);
}
