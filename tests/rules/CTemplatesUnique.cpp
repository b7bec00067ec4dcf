#include "tests/rules/CTemplatesUnique.h"

#include "tests/rules/ConstraintDefinitions.h"
#include "tests/rules/RuleWalk.h"

using Lumo::Index;
using Lumo::IteratorT;

CTemplatesUnique::CTemplatesUnique() = default;

CTemplatesUnique::~CTemplatesUnique() = default;

std::string CTemplatesUnique::getTestDescription() const
{
    return "Test checks if template names are unique in the design";
}

std::string CTemplatesUnique::getTestName() const
{
    return "Unique template names";
}

std::string CTemplatesUnique::getTestShortName() const
{
    return "UniqueTemplates";
}

bool CTemplatesUnique::getConstraintValue(const Lumo::IObjectNorv* object, const char* name, std::string& value)
{
    return NorvRules::ReadConstraintText(object, name, value);
}

TestStatus CTemplatesUnique::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();

    IteratorT<const Lumo::INorvGenObjType> type;
    Lumo::Result typeWalk = m_design->GetIterGenObjTypes(type);
    for (; walkOn(type, typeWalk); ++type) {
        Lumo::String name;
        if (!type->GetName(name))
            return raiseError(CDICErrors::T61_ERRNAMEGENOBJTYPE);
        if (name == "TOPOTMPL") {
            // Only the first type of that name is checked.
            if (!checkTemplates(type))
                return m_status;
            break;
        }
    }
    if (!typeWalk)
        return raiseError(CDICErrors::T61_ERRITERGENOBJTYPES);
    raiseStatus(OK);
    return m_status;
}

bool CTemplatesUnique::checkTemplates(const Lumo::ContainerT<const Lumo::INorvGenObjType>& type)
{
    IteratorT<const Lumo::INorvGenCompObj> templ;
    if (!type->GetIterGenCompObjs(templ)) {
        raiseError(CDICErrors::T61_ERRITERGENCOMPOBJS);
        return false;
    }
    // The first template seen with each name (exact comparison).
    TemplateMap templates;
    Lumo::Result templWalk;
    for (; walkOn(templ, templWalk); ++templ) {
        Lumo::String name;
        if (!templ->GetName(name)) {
            raiseError(CDICErrors::T61_ERRNAMEGENCOMPOBJ);
            return false;
        }
        Index index;
        if (!templ->GetIndex(index)) {
            raiseError(CDICErrors::T61_ERRINDEXGENCOMPOBJ);
            return false;
        }
        const std::string invalid = consdefs::ValidChars::templates().invalidChars(name.c_str());
        if (!invalid.empty())
            raiseError(CDICErrors::T61_TEMPLATENAMEHASINVALIDCHARS, Index(), invalid, index, name);

        const auto inserted = templates.emplace(name.str(), index);
        if (!inserted.second && inserted.first->second != index)
            raiseError(CDICErrors::T61_DUPLICATEDTEMPLATE, inserted.first->second, name, index, name);
    }
    if (!templWalk) {
        raiseError(CDICErrors::T61_ERRITERGENCOMPOBJS);
        return false;
    }

    IteratorT<const Lumo::INorvElectricalNet> net;
    if (!checkReferences(m_config->GetIterElectricalNets(net), net, templates, CDICErrors::T61_ERRITERELECNETS,
                         CDICErrors::T61_ERRINDEXELECNET, CDICErrors::T61_ERRNAMEELECNET, CDICErrors::T61_MISSINGELECTEMPLATE))
        return false;
    IteratorT<const Lumo::INorvDiffPair> pair;
    return checkReferences(m_config->GetIterDiffPairs(pair), pair, templates, CDICErrors::T61_ERRITERDIFFPAIR,
                           CDICErrors::T61_ERRINDEXDIFFPAIR, CDICErrors::T61_ERRNAMEDIFFPAIR,
                           CDICErrors::T61_MISSINGDIFFPAIRTEMPLATE);
}

template <class T>
bool CTemplatesUnique::checkReferences(Lumo::Result queried, IteratorT<const T>& objects, const TemplateMap& templates,
                                       unsigned iterCode, unsigned indexCode, unsigned nameCode, unsigned missingCode)
{
    if (!queried) {
        raiseError(iterCode);
        return false;
    }
    Lumo::Result objectsWalk;
    for (; walkOn(objects, objectsWalk); ++objects) {
        Index index;
        if (!objects->GetIndex(index)) {
            raiseError(indexCode);
            continue;
        }
        Lumo::String name;
        if (!objects->GetName(name)) {
            raiseError(nameCode);
            continue;
        }
        std::string value;
        if (getConstraintValue(&*objects, "TEMPLATE", value) && value != "(None)" && !templates.count(value))
            raiseError(missingCode, index, name, Index(), value);
    }
    if (!objectsWalk) {
        raiseError(iterCode);
        return false;
    }
    return true;
}
