#include "tests/connectivity/CCompValid.h"


#include <cstdint>

namespace
{

Lumo::BitContainerT<Lumo::ENorvPinType> netPinsOnly() { return Lumo::BitContainerT<Lumo::ENorvPinType>(Lumo::NPT_NetPin); }

} // namespace

CCompValid::CCompValid() = default;
CCompValid::~CCompValid() = default;

std::string CCompValid::getTestDescription() const
{
    return "Test checks if all components are valid in terms of references to pins";
}
std::string CCompValid::getTestName() const { return "Component valid"; }
std::string CCompValid::getTestShortName() const { return "ValidComp"; }

TestStatus CCompValid::runTest(bool)
{
    raiseStatus(TESTING);
    m_statusString.clear();
    m_partPins.clear();

    Lumo::IteratorT<const Lumo::INorvComp> comp;
    Lumo::Result compWalk = m_config->GetIterNorvComps(comp);
    for (; walkOn(comp, compWalk); ++comp) {
        Lumo::Index index;
        if (!comp->GetIndex(index))
            return raiseError(CDICErrors::T6_ERRINDEXCOMP);
        Lumo::String name;
        if (!comp->GetName(name))
            return raiseError(CDICErrors::T6_ERRNAMECOMP);
        Lumo::ContainerT<const Lumo::INorvPart> part;
        if (!comp->GetParentPart(part)) {
            raiseError(CDICErrors::T6_ERRPARENTPARTOFCOMP, index, name);
            checkLogicalComponents(comp);
        } else if (checkPartPins(part, comp)) {
            checkLogicalComponents(comp);
        }
    }
    if (!compWalk)
        return raiseError(CDICErrors::T6_ERRITERCOMPINDESIGN);

    raiseStatus(OK);
    return m_status;
}

const CCompValid::PartPinTable& CCompValid::partPinTable(const Lumo::ContainerT<const Lumo::INorvPart>& part,
                                                         PartPinTable& local)
{
    // Components of one part share its table; a part whose index cannot be read is walked each time,
    // and so is one whose walk met a failed read, which is therefore not kept.
    Lumo::Index partIndex;
    const bool valid = static_cast<bool>(part.IsValid());
    const bool keyed = valid && part->GetIndex(partIndex) && !partIndex.IsEmpty();
    if (keyed) {
        const auto found = m_partPins.find(partIndex);
        if (found != m_partPins.end())
            return found->second;
    }
    PartPinTable table;
    Lumo::IteratorT<const Lumo::INorvPartPin> partPin;
    if (!valid || !part->GetIterPartPins(partPin)) {
        table.failCode = CDICErrors::T6_ERRPINSITERINPART;
    } else {
        Lumo::Result partPinWalk;
        for (; walkOn(partPin, partPinWalk); ++partPin) {
            Lumo::Index pinIndex;
            if (!partPin->GetIndex(pinIndex)) {
                table.failCode = CDICErrors::T6_ERRPINDEXPART;
                break;
            }
            Lumo::String pinName;
            if (!partPin->GetName(pinName)) {
                table.failCode = CDICErrors::T6_ERRPNAMEPART;
                break;
            }
            table.pins.insert(pinIndex);
            ++table.count;
        }
        if (!partPinWalk)
            table.failCode = CDICErrors::T6_ERRPINSITERINPART;
    }
    if (!keyed || table.failCode) {
        local = std::move(table);
        return local;
    }
    return m_partPins.emplace(partIndex, std::move(table)).first->second;
}

bool CCompValid::checkPartPins(const Lumo::ContainerT<const Lumo::INorvPart>& part,
                               const Lumo::ContainerT<const Lumo::INorvComp>& comp)
{
    Lumo::Index index;
    if (!comp->GetIndex(index)) {
        raiseError(CDICErrors::T6_ERRINDEXCOMP);
        return false;
    }
    Lumo::String name;
    if (!comp->GetName(name)) {
        raiseError(CDICErrors::T6_ERRNAMECOMP);
        return false;
    }
    PartPinTable local;
    const PartPinTable& table = partPinTable(part, local);
    if (table.failCode) {
        raiseError(table.failCode);
        return false;
    }

    bool result = true;
    std::size_t netPins = 0;
    Lumo::IteratorT<const Lumo::INorvPin> pin;
    Lumo::Result pinWalk = comp->GetIterPins(pin, netPinsOnly());
    for (; walkOn(pin, pinWalk); ++pin) {
        // Pins whose reads fail still count against the part.
        ++netPins;
        Lumo::String pinName;
        Lumo::Index pinIndex;
        pin->GetName(pinName);
        pin->GetIndex(pinIndex);
        Lumo::ContainerT<const Lumo::INorvPartPin> partPin;
        if (!pin->GetParentPartPin(partPin)) {
            raiseError(CDICErrors::T6_ERRPARENTPARTPINFORPIN);
            result = false;
            continue;
        }
        Lumo::Index partPinIndex;
        if (!readThrough(partPin, [&] { return partPin->GetIndex(partPinIndex); })) {
            raiseError(CDICErrors::T6_ERRPARENTPARTPININDEX);
            result = false;
            continue;
        }
        if (!table.pins.count(partPinIndex)) {
            raiseError(CDICErrors::T6_ERRPARENTPARTPINNOTMATCHPIN, pinIndex, pinName, index, name);
            result = false;
        }
    }
    if (!pinWalk) {
        raiseError(CDICErrors::T6_ERRITERPINSINCOMP, index, name);
        return false;
    }
    if (netPins != table.count) {
        raiseError(CDICErrors::T6_ERRDIFFERENTPINNUMBERS, index, name);
        return false;
    }
    return result;
}

bool CCompValid::checkLogicalComponents(const Lumo::ContainerT<const Lumo::INorvComp>& comp)
{
    Lumo::Index index;
    Lumo::String name;
    comp->GetIndex(index);
    comp->GetName(name);

    Lumo::IteratorT<const Lumo::IComp> logic;
    if (!comp->GetIterLogicComp(logic)) {
        raiseError(CDICErrors::T41_ERRITERFORLOGICALCOMP, index, name);
        return false;
    }
    Lumo::IteratorT<const Lumo::INorvPin> pins;
    if (!comp->GetIterPins(pins, netPinsOnly())) {
        raiseError(CDICErrors::T6_ERRITERPINSINCOMP, index, name);
        return false;
    }
    Lumo::Result logicWalk;
    for (; walkOn(logic, logicWalk); ++logic) {
        Lumo::BitContainerT<Lumo::ECompType> compType;
        logic->GetType(compType);
        if (!compType.Contains(Lumo::CT_ForwardPCB))
            continue;
        Lumo::IteratorT<const Lumo::IPin> pin;
        if (!logic->GetIterPins(pin))
            return false;
        // Summed wide so that no width can overflow the sums.
        std::int64_t totalWidth = 0;
        std::int64_t unmatchedWidth = 0;
        // Filled afresh by every query; its storage is kept from one pin to the next.
        Lumo::ListT<Lumo::Index> norvPins;
        Lumo::Result pinWalk;
        for (; walkOn(pin, pinWalk); ++pin) {
            Lumo::BitContainerT<Lumo::EPinType> pinType;
            pin->GetType(pinType);
            if (!pinType.Contains(Lumo::PT_ForwardPCB))
                continue;
            Lumo::Index pinIndex;
            pin->GetIndex(pinIndex);
            if (!m_config->GetListNorvPinByPin(norvPins, pinIndex)) {
                raiseError(CDICErrors::T7_ERRLISTNORVPINSFROMFLATPIN, pinIndex);
                return false;
            }
            std::int32_t width = 0;
            pin->GetWidth(width);
            totalWidth += width;
            if (norvPins.Count() == 0)
                unmatchedWidth += width;
        }
        if (!pinWalk)
            return false;
        if (unmatchedWidth == totalWidth && totalWidth != 0) {
            comp->GetName(name);
            Lumo::Index logicIndex;
            logic->GetIndex(logicIndex);
            raiseError(CDICErrors::T6_ERRINVALIDLOGICCOMPINNORVCOMP, index, name, logicIndex, "");
        }
    }
    if (!logicWalk) {
        raiseError(CDICErrors::T41_ERRITERFORLOGICALCOMP, index, name);
        return false;
    }
    return true;
}
