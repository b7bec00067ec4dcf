#include "tests/connectivity/CEnetOneAnalogPnet.h"

#include "tests/connectivity/ConnectivityHelpers.h"

CEnetOneAnalogPnet::CEnetOneAnalogPnet() = default;
CEnetOneAnalogPnet::~CEnetOneAnalogPnet() = default;

std::string CEnetOneAnalogPnet::getTestDescription() const
{
    return "Test checks if each analog electrical net consists of only one physical net";
}
std::string CEnetOneAnalogPnet::getTestName() const { return "Analog nets consistency"; }
std::string CEnetOneAnalogPnet::getTestShortName() const { return "AnalogPhysNetOnlyInElecNet"; }

TestStatus CEnetOneAnalogPnet::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();
    const Lumo::String analogName(connectivity::ANALOG);

    Lumo::IteratorT<const Lumo::INorvElectricalNet> net;
    Lumo::Result netWalk = m_config->GetIterElectricalNets(net);

    for (; walkOn(net, netWalk); ++net) {
        Lumo::Index index;
        if (!net->GetIndex(index))
            return raiseError(CDICErrors::T16_ERRINDEXOFENET);
        Lumo::String name;
        if (!net->GetName(name))
            return raiseError(CDICErrors::T16_ERRNAMEOFENET, index);
        Lumo::IteratorT<const Lumo::INorvPhysicalNet> physNet;
        if (!net->GetIterPhysicalNets(physNet)) {
            raiseError(CDICErrors::T16_ERRITERPHYSNETSINENET, index);
            continue;
        }
        int physNets = 0;
        bool analog = false;
        Lumo::Result physNetWalk;
        for (; walkOn(physNet, physNetWalk); ++physNet) {
            ++physNets;
            Lumo::Index physIndex;
            if (!physNet->GetIndex(physIndex))
                return raiseError(CDICErrors::T16_ERRINDEXOFPHYSNET);
            Lumo::String value("0");
            Lumo::ContainerT<const Lumo::INorvConstraint> constraint;
            if (physNet->GetConstraint(constraint, analogName)) {
                bool definition = false;
                if (!constraint->IsDefinition(definition))
                    return raiseError(CDICErrors::T16_ERRDEFINITIONOFCONSTRAINT);
                if (!constraint->GetValueByString(value)) {
                    raiseError(CDICErrors::T16_ERRANALOGFROMPNET, physIndex);
                    continue;
                }
                // The definition's default may be empty, which means not analog.
                if (definition && value.IsEmpty())
                    value = "0";
            }
            if (value == "1")
                analog = true;
            else if (value != "0")
                raiseError(CDICErrors::T16_ANALOGFROMPNETINVALIDVALUE, physIndex, "", Lumo::Index(), value);
        }
        if (!physNetWalk) {
            raiseError(CDICErrors::T16_ERRITERPHYSNETSINENET, index);
            continue;
        }
        if (analog && physNets > 1)
            raiseError(CDICErrors::T16_ANALOGENETHASMANYPHYSNETS, index, name);
    }
    if (!netWalk)
        return raiseError(CDICErrors::T16_ERRITERENETS);

    raiseStatus(OK);
    return m_status;
}
