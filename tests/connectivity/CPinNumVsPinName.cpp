#include "tests/connectivity/CPinNumVsPinName.h"

CPinNumVsPinName::CPinNumVsPinName() = default;
CPinNumVsPinName::~CPinNumVsPinName() = default;

std::string CPinNumVsPinName::getTestDescription() const
{
    return "Test checks if attribute 'Pin Number' is the same as NORV pin name";
}
std::string CPinNumVsPinName::getTestName() const { return "Pin number vs. pin name"; }
std::string CPinNumVsPinName::getTestShortName() const { return "PinNumberVsPinsName"; }

void CPinNumVsPinName::checkPin(const Lumo::IteratorT<const Lumo::INorvPin>& pin)
{
    Lumo::Index pinIndex;
    if (!readIndex(pin, pinIndex, CDICErrors::T4_ERRINDEXPIN))
        return;
    Lumo::String pinName;
    if (!pin->GetName(pinName)) {
        raiseError(CDICErrors::T4_ERRNAMEPIN, pinIndex);
        return;
    }
    Lumo::EPinType type;
    if (!pin->GetType(type)) {
        raiseError(CDICErrors::T4_ERRTYPEPIN, pinIndex);
        return;
    }
    if (pinName == "?" || type == Lumo::PT_ImplicitPower8 || type == Lumo::PT_ImplicitPower7 ||
        type == Lumo::PT_NoConnect)
        return;

    Lumo::ContainerT<const Lumo::IPin> logicalPin;
    if (!pin->GetPin(logicalPin))
        return;
    // Every read through a logical pin that is not valid fails; none is made.
    const bool valid = static_cast<bool>(logicalPin.IsValid());
    int32_t width = 1;
    if (valid)
        logicalPin->GetWidth(width);
    if (width > 1)
        return;
    Lumo::IteratorT<const Lumo::INet> nets;
    int count = 0;
    if (valid && logicalPin->GetIterNetsConnected(nets) && nets.GetCount(count) && count > 1)
        return;

    Lumo::String attribute;
    if (!valid || !logicalPin->GetAttribute("Pin Number", attribute, Lumo::AT_0)) {
        raiseError(CDICErrors::T4_ERRATRPINNUM, pinIndex, pinName);
        return;
    }
    // A pin number may list several numbers; the first is the one the pin is named after.
    std::string number = attribute.str();
    const std::string::size_type comma = number.find(',');
    if (comma != std::string::npos)
        number.erase(comma);
    if (number.empty())
        raiseError(CDICErrors::T4_ERRATRPINNUMEMPTY, pinIndex, pinName);
    else if (pinName != number)
        raiseError(CDICErrors::T4_ERRATRPINNUMDEFFERENT, Lumo::Index(), number, pinIndex, pinName);
}

TestStatus CPinNumVsPinName::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();

    // Only establishes that the design has front-end data.
    Lumo::ContainerT<const Lumo::IConfig> defaultConfig;
    if (!m_snapshot->GetDefaultConfig(defaultConfig, m_topBlockName))
        return raiseError(CDICErrors::T4_ERRDEFAULTCONFIG);

    Lumo::IteratorT<const Lumo::INorvComp> comp;
    Lumo::Result compWalk = m_config->GetIterNorvComps(comp);
    for (; walkOn(comp, compWalk); ++comp) {
        Lumo::Index compIndex;
        std::string compName;
        if (!readIndex(comp, compIndex, CDICErrors::T4_ERRCOMPINDEX))
            continue;
        if (!readName(comp, compName, CDICErrors::T4_ERRCOMPNAME, compIndex))
            continue;
        const Lumo::BitContainerT<Lumo::ENorvPinType> kinds(Lumo::NPT_NetPin);
        Lumo::IteratorT<const Lumo::INorvPin> pin;
        Lumo::Result pinWalk = comp->GetIterPins(pin, kinds);
        for (; walkOn(pin, pinWalk); ++pin)
            checkPin(pin);
        if (!pinWalk) {
            raiseError(CDICErrors::T4_ERRITERPINSINCOMP, compIndex, compName);
            continue;
        }
    }
    if (!compWalk)
        return raiseError(CDICErrors::T4_ERRITERCOMPONENTS);

    raiseStatus(OK);
    return m_status;
}
