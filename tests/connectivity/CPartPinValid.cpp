#include "tests/connectivity/CPartPinValid.h"

CPartPinValid::CPartPinValid() = default;
CPartPinValid::~CPartPinValid() = default;

std::string CPartPinValid::getTestDescription() const
{
    return "Test checks if all part pins have correct reference to their parts";
}
std::string CPartPinValid::getTestName() const { return "Part pins references valid"; }
std::string CPartPinValid::getTestShortName() const { return "PartPinsRefValid"; }

TestStatus CPartPinValid::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();

    Lumo::IteratorT<const Lumo::INorvPart> part;
    Lumo::Result partWalk = m_config->GetIterParts(part);

    for (; walkOn(part, partWalk); ++part) {
        // Without its own index a part's pins have nothing to be compared with: the failed read is
        // reported and the part left. Without its name they are still checked, naming no part.
        Lumo::Index index;
        if (!part->GetIndex(index)) {
            raiseError(CDICErrors::T33_ERRINDEXOFRPART);
            continue;
        }
        Lumo::String name;
        if (!part->GetName(name)) {
            raiseError(CDICErrors::T33_ERRNAMEOFRPART, index);
            name = Lumo::String();
        }
        Lumo::IteratorT<const Lumo::INorvPartPin> partPin;
        Lumo::Result partPinWalk = part->GetIterPartPins(partPin);
        for (; walkOn(partPin, partPinWalk); ++partPin) {
            Lumo::ContainerT<const Lumo::INorvPart> parent;
            if (!partPin->GetParentPart(parent))
                return raiseError(CDICErrors::T33_ERRPARENTPARTOFPARTPIN);
            Lumo::Index parentIndex;
            if (!readThrough(parent, [&] { return parent->GetIndex(parentIndex); }))
                return raiseError(CDICErrors::T33_ERRINDEXOFPARENTPARTOFPARTPIN);
            if (parentIndex != index)
                raiseError(CDICErrors::T33_WRONGPARTPINPARENT, index, name, parentIndex, "");
        }
        if (!partPinWalk)
            return raiseError(CDICErrors::T33_ERRITEROVERPARTPINS);
    }
    if (!partWalk)
        return raiseError(CDICErrors::T33_ERRITEROVERPARTS);

    raiseStatus(OK);
    return m_status;
}
