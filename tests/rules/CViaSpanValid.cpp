#include "tests/rules/CViaSpanValid.h"

CViaSpanValid::CViaSpanValid() = default;

CViaSpanValid::~CViaSpanValid() = default;

std::string CViaSpanValid::getTestDescription() const
{
    return "Test checks if via span is valid";
}

std::string CViaSpanValid::getTestName() const
{
    return "Via span valid";
}

std::string CViaSpanValid::getTestShortName() const
{
    return "ViaSpanValid";
}

TestStatus CViaSpanValid::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();

    Lumo::IteratorT<const Lumo::INorvViaSpan> viaSpan;
    Lumo::Result viaSpanWalk = m_design->GetIterViaSpans(viaSpan);

    for (; walkOn(viaSpan, viaSpanWalk); ++viaSpan) {
        // Fresh per via span: a failed read never carries the previous span's name or index.
        Lumo::String name;
        Lumo::Index index;
        if (!viaSpan->GetName(name))
            raiseError(CDICErrors::T57_VIASPAN_INVALIDNAME);
        if (!viaSpan->GetIndex(index))
            raiseError(CDICErrors::T57_VIASPAN_INVALIDINDEX, Lumo::Index(), name);
        Lumo::IteratorT<const Lumo::INorvVia> allowedVias;
        if (!viaSpan->GetIterAllowedVias(allowedVias))
            raiseError(CDICErrors::T57_VIASPAN_NOALLOWEDVIAS, Lumo::Index(), name, index, "");
    }
    if (!viaSpanWalk)
        return raiseError(CDICErrors::T57_VIASPAN_INVALIDITERATOR);
    raiseStatus(OK);
    return m_status;
}
