#include "tests/connectivity/CCompUnique.h"

#include "framework/EqualPairs.h"
#include "tests/rules/NameIndexRecord.h"

CCompUnique::CCompUnique() = default;
CCompUnique::~CCompUnique() = default;

std::string CCompUnique::getTestDescription() const { return "Test checks if all components have unique names"; }
std::string CCompUnique::getTestName() const { return "Component name unique"; }
std::string CCompUnique::getTestShortName() const { return "UniqueCompName"; }

TestStatus CCompUnique::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();

    Lumo::IteratorT<const Lumo::INorvComp> comp;
    Lumo::Result compWalk = m_config->GetIterNorvComps(comp);

    std::vector<NameIndexRecord> records;
    for (; walkOn(comp, compWalk); ++comp) {
        NameIndexRecord record;
        if (!comp->GetIndex(record.index[0]))
            return raiseError(CDICErrors::T5_ERRINDEXCOMP);
        Lumo::String name;
        if (!comp->GetName(name))
            return raiseError(CDICErrors::T5_ERRNAMECOMP);
        Lumo::ContainerT<const Lumo::INorvPart> part;
        if (!comp->GetParentPart(part)) {
            raiseError(CDICErrors::T5_ERRPARENTPARTOFCOMP, record.index[0], name);
            continue;
        }
        record.name = name.str();
        records.push_back(record);
    }
    if (!compWalk)
        return raiseError(CDICErrors::T5_ERRITERCOMPINDESIGN);

    std::vector<std::string> names;
    names.reserve(records.size());
    for (const NameIndexRecord& record : records)
        names.push_back(record.name);
    ForEachEqualPair(names, [&](std::size_t i, std::size_t j) {
        raiseError(CDICErrors::T5_DUPLICATECOMPS, records[i].index[0], records[i].name, records[j].index[0],
                   records[j].name);
    });

    raiseStatus(OK);
    return m_status;
}
