// CFixNet: the repairs of the net model (from-tos, pin pairs, pins, differential pairs, electrical
// and physical nets, their topology constraints, pin sets and virtual pins). Static members only:
// nothing creates an instance. The repair methods take no arguments, read their finding and the
// database handles from FixContext and run on the check run's thread, one at a time; the shared
// operations are called by the repair methods. Every lock a method takes is released before it
// returns, on every path.
//
// The definitions are spread over the sources of this folder by subject; helpers only those
// sources use live in CFixNetInternal.h.
#pragma once

#include "repairs/CFixerBase.h"

#include <string>

class CFixNet : public CFixerBase
{
public:
    CFixNet() = default;
    ~CFixNet() = default;

    // --- Frame: constraint writers and the TOPO_ORDERED reset (CFixNet.cpp) ---

    // Sets the object's own constraint of that name to value, adding the constraint where the
    // object sees it only through a definition or not at all. Fixed when the value now stands
    // (also when it already did, without any lock); a refused SetValue or AddConstraint gives a
    // silent not fixed, any other failed call its result. An iterator standing on an object may be
    // passed for the container.
    static CFixStatus SetPhysNetConstraint(const Lumo::ContainerT<const Lumo::INorvPhysicalNet>& net,
                                           const Lumo::String& name, const Lumo::ConstraintData& value);
    static CFixStatus SetElecNetConstraint(const Lumo::ContainerT<const Lumo::INorvElectricalNet>& net,
                                           const Lumo::String& name, const Lumo::ConstraintData& value);
    static CFixStatus SetDiffPairConstraint(const Lumo::ContainerT<const Lumo::INorvDiffPair>& pair,
                                            const Lumo::String& name, const Lumo::ConstraintData& value);

    // Writes "TOPO_ORDERED" = "No" on the electrical net and each of its physical nets; failed
    // writes are ignored. Fails only when the physical nets cannot be walked.
    static CFixStatus ResetTopoOrderedOfElecNet(const Lumo::ContainerT<const Lumo::INorvElectricalNet>& net);
    // Writes "TOPO_ORDERED" = "No" on the physical net and its parent electrical net, if any.
    // Always fixed.
    static CFixStatus ResetTopoOrderedOfPhysNet(const Lumo::ContainerT<const Lumo::INorvPhysicalNet>& net);

    static CFixStatus ResetWrongTopoOrdered();

    // --- Topology names and spelling normalisation (CFixNetTopologyNames.cpp) ---

    // True when text is another spelling of a topology name (equal ignoring case, not equal to the
    // letter); name then receives the name as the list spells it. Unchanged on false.
    static bool MatchOrderTypeName(Lumo::String text, Lumo::String& name);
    // Rewrite a misspelt "ORDER_TYPE" in the list's spelling on the object and everything below it.
    static CFixStatus NormalizeOrderTypeOfPhysNet(const Lumo::Index& net);
    static CFixStatus NormalizeOrderTypeOfElecNet(const Lumo::Index& net);
    static CFixStatus NormalizeOrderTypeOfDiffPair(const Lumo::Index& pair);

    static CFixStatus FixInvalidTopologyType();

    // --- From-to, pin-pair and pin repairs (CFixNetFromTos.cpp) ---

    static CFixStatus DeleteInvalidFromTo();
    static CFixStatus DeleteDuplicatedFromTo();
    static CFixStatus DeleteSamePinFromTo();
    static CFixStatus DeleteDuplicatedPinPair();
    static CFixStatus DeleteInvalidPinPair();
    static CFixStatus DisconnectPinNotInComponents();
    static CFixStatus DisconnectPinWithoutParentComp();
    static CFixStatus DeletePinPairWithPinUsedTwice();

    // --- Differential-pair topology (CFixNetDiffPairTopology.cpp) ---

    static CFixStatus FixNotAllowedDiffPairTopology();
    static CFixStatus FixDiffPairNetsTopology();
    // Rewrites a misspelt allowed topology on the pair, its nets and their physical nets.
    static CFixStatus ApplyDiffPairTopology(const Lumo::Index& pair);
    // Brings the pair, its two electrical nets and their physical nets to one topology.
    static CFixStatus NormalizeDiffPairTopology(const Lumo::Index& pair);

    // --- Unifying the topology of an electrical net and its physical nets (CFixNetUnifyTopology.cpp) ---

    static CFixStatus UnifyElecAndPhysNetTopology();

    // --- Topology repairs of nets with from-tos and of power nets (CFixNetTopologyFromTos.cpp) ---

    static CFixStatus FixChainedTopologyWithFromTos();
    static CFixStatus FixPowerNetTopology();

    // --- Differential-pair and electrical-net removal (CFixNetRemoval.cpp) ---

    static CFixStatus RemoveDiffPairWithEqualNets();
    static CFixStatus RemoveBrokenDiffPair();
    static CFixStatus RemoveIllegalDiffPair();
    static CFixStatus FixElecNetInManyDiffPairs();
    static CFixStatus DeleteInvalidElecNet();
    static CFixStatus DeleteDuplicatedElecNets();
    static CFixStatus DeleteElecNetWithWrongRefs();
    static CFixStatus UnifyDiffPairNetClasses();
    static CFixStatus FixAnalogElecNetManyPhysNets();
    static CFixStatus FixCompositeElecNetWithoutPinPairs();

    // Deletes an electrical net that belongs to no differential pair and has no physical nets.
    static CFixStatus RemoveElectricalNet(const Lumo::Index& net);
    // Detaches the physical nets another electrical net claims, then deletes the net.
    static CFixStatus RemoveDuplicatedElectricalNet(const Lumo::Index& net);
    // Reports the net and all its physical nets to the incremental update.
    static CFixStatus DeleteElectricalNetWithPhysNets(const Lumo::Index& net);
    // Deletes one constraint of the electrical net.
    static CFixStatus DeleteElecNetConstraint(const Lumo::ContainerT<const Lumo::INorvElectricalNet>& net,
                                              const Lumo::Index& constraint);
    // The index and the name of the differential pair of an electrical net.
    static Lumo::Index GetParentDiffPairOfElecNet(const Lumo::Index& net, Lumo::String& name);

    // --- Physical net in several electrical nets; default classes (CFixNetClasses.cpp) ---

    static CFixStatus FixPhysNetInManyElecNets();
    static CFixStatus SetDefaultNetClassOfPhysNet();
    static CFixStatus SetAllConstraintClassOfElecNet();

    // --- Nets rebuilt from flat nets (CFixNetFlatNets.cpp) ---

    static CFixStatus AddMissingParentElecNet();
    static CFixStatus RebuildNetsFromFlatNet();
    static CFixStatus DeletePhysNetWithoutFlatNet();
    static CFixStatus RenamePhysNetToFlatNetName();
    static CFixStatus RenameNonUniquePhysNet();

    // --- Pin sets and virtual pins (CFixNetPinSets.cpp) ---

    static CFixStatus FixPinSetInNonComplexNet();
    static CFixStatus FixVirtualPinSetPinCount();
    static CFixStatus FixPinSetContainingPinSet();
    static CFixStatus RenameDuplicatedPinSet();
    static CFixStatus RenameDuplicatedVirtualPin();
    // Fills name with a virtual-pin name no pin of the configuration uses; a walk of the nets or
    // of their virtual pins that fails gives its failure.
    static Lumo::Result MakeUniqueVirtualPinName(std::string& name);
};
