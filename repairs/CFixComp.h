// CFixComp: repairs of the Norv components of the configuration: duplicated names, names that
// disagree with the reference designator, components rebuilt from their part or logic components,
// and pin counts checked again. Static repair methods only (see CFixerBase); they run on the
// checker's thread, never log or throw and never set the reload flag.
#pragma once

#include "repairs/CFixerBase.h"

#include <string>

class CFixComp : public CFixerBase
{
public:
    CFixComp() = default;
    ~CFixComp() = default;

    static CFixStatus RenameDuplicatedComps();
    static CFixStatus RebuildCompPins();
    static CFixStatus RenameMismatchedPins();
    static CFixStatus VerifyPinCounts();
    static CFixStatus ReattachLogicComp();
    static CFixStatus SetEmptyRefDes();
    static CFixStatus RenameCompToRefDes();

    // The "Pin Number" of a design pin (bit -1) or of one bit of a bus pin, by attribute type 3, 2
    // then 1. True when one of the reads succeeded; a number that is not set reads as empty.
    static bool GetPinNumber(const Lumo::IPin& pin, int32_t bit, std::string& number);
    // Pairs the logic component's pins with the component's pins by pin number (matched); a walk of
    // either's pins that fails on the way gives its failure. Only reads.
    static Lumo::Result MatchPins(const Lumo::INorvComp& comp, const Lumo::IComp& logicComp,
                                  Lumo::ListT<Lumo::ContainerT<const Lumo::INorvPin>>& norvPins,
                                  Lumo::ListT<Lumo::ContainerT<const Lumo::IPin>>& designPins, bool& matched);
};
