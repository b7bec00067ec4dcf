#include "tests/connectivity/CRefDesVsCompName.h"

#include "utils/TextUtils.h"

#include <cstring>

namespace
{

const char* const REF_DESIGNATOR = "Ref Designator";
const char* const SEPARATOR = ";";
// Components of this name are not placed yet and carry no designator to compare.
const char* const UNNAMED_COMP = "?";

} // namespace

CRefDesVsCompName::CRefDesVsCompName() = default;
CRefDesVsCompName::~CRefDesVsCompName() = default;

std::string CRefDesVsCompName::getTestDescription() const
{
    return "Test checks if attribute 'Ref Designator' is the same as NORV component name";
}
std::string CRefDesVsCompName::getTestName() const { return "Reference designator vs. component name"; }
std::string CRefDesVsCompName::getTestShortName() const { return "RefDesVsCompName"; }

TestStatus CRefDesVsCompName::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();

    Lumo::IteratorT<const Lumo::INorvComp> comp;
    if (!m_config->GetIterNorvComps(comp))
        return raiseError(CDICErrors::T41_ERRITERFORCOMPS);

    const Lumo::String attribute(REF_DESIGNATOR);
    Lumo::Result compWalk;
    for (; walkOn(comp, compWalk); ++comp) {
        Lumo::Index index;
        if (!comp->GetIndex(index)) {
            raiseError(CDICErrors::T41_ERRINDEXOFCOMP);
            continue;
        }
        Lumo::String name;
        if (!comp->GetName(name)) {
            raiseError(CDICErrors::T41_ERRNAMEOFCOMP, index);
            continue;
        }
        if (name == UNNAMED_COMP)
            continue;
        Lumo::IteratorT<const Lumo::IComp> logic;
        Lumo::Result logicWalk = comp->GetIterLogicComp(logic);
        for (; walkOn(logic, logicWalk); ++logic) {
            Lumo::String value;
            if (!logic->GetAttribute(attribute, value, Lumo::AT_0)) {
                raiseError(CDICErrors::T41_ERRGETREFDES, index, name);
                continue;
            }
            // The designator may be stored under any attribute type; the first non-empty one counts.
            for (Lumo::EAttributeType type : {Lumo::AT_3, Lumo::AT_2, Lumo::AT_1}) {
                if (!value.IsEmpty())
                    break;
                logic->GetAttribute(attribute, value, type);
            }
            if (value.IsEmpty()) {
                Lumo::Index logicIndex;
                logic->GetIndex(logicIndex);
                raiseError(CDICErrors::T41_ERRREFDESEMPTY, index, name, logicIndex, "");
                continue;
            }
            bool found = false;
            for (const std::string& piece : LumoUtils::split(value.str(), SEPARATOR)) {
                if (std::strcmp(piece.c_str(), name.c_str()) == 0) {
                    found = true;
                    break;
                }
            }
            if (!found)
                raiseError(CDICErrors::T41_ERRREFDESDIFFERENT, Lumo::Index(), value, index, name);
        }
        if (!logicWalk) {
            raiseError(CDICErrors::T41_ERRITERFORLOGICALCOMP, index, name);
            continue;
        }
    }
    if (!compWalk)
        return raiseError(CDICErrors::T41_ERRITERFORCOMPS);

    raiseStatus(OK);
    return m_status;
}
