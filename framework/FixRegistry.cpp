#include "framework/FixRegistry.h"

#include "framework/CFixMgr.h"

// Repair classes, one header per class under repairs/ (repairs/nets/ for CFixNet).
#include "repairs/CFixC2CClearRule.h"
#include "repairs/CFixClearRule.h"
#include "repairs/CFixComp.h"
#include "repairs/CFixConstraint.h"
#include "repairs/CFixConstraintClass.h"
#include "repairs/CFixLayer.h"
#include "repairs/CFixNetClass.h"
#include "repairs/CFixNoiseRule.h"
#include "repairs/CFixP2PRule.h"
#include "repairs/CFixParRule.h"
#include "repairs/CFixScheme.h"
#include "repairs/CFixTemplates.h"
#include "repairs/nets/CFixNet.h"

namespace {

// What the repairs that several rows share change.
const char* const kAddDefaultNetClass = "adds the net class \"(Default)\"";
const char* const kAddAllConstraintClass = "adds the constraint class \"(All)\"";
const char* const kAddDefaultClearRule =
    "adds the clearance rule \"(Default Rule)\", unless one of that name in other letter case exists";
const char* const kAddGenClear = "adds the general clearance";
const char* const kAddMasterScheme =
    "adds the scheme \"(Master)\", unless one of that name in other letter case exists";
const char* const kAddMinimumScheme =
    "adds the scheme \"(Minimum)\", unless one of that name in other letter case exists";
const char* const kDeletePinPair = "deletes the pin pair, with its constraints";
const char* const kDeleteElecNet =
    "deletes the electrical net, with its constraints and pin pairs, unless it belongs to a differential pair or "
    "lists physical nets";
const char* const kUnifyDiffPairTopology =
    "sets one ORDER_TYPE on the differential pair, its two electrical nets and their physical nets (a pair value of "
    "MST, Chained or Mixed gives way to the nets' common one, or Custom) and TOPO_ORDERED No on the nets";
const char* const kDeleteDiffPair = "deletes the differential pair, with its constraints";
const char* const kAddParentElecNet = "gives the physical net an electrical net of its own";
const char* const kFixTopologySpelling =
    "rewrites an ORDER_TYPE spelt in other letter case (mst) as the topology's name (MST) on the net and on the "
    "pair, electrical net and physical nets it belongs with; an unknown topology stays";
const char* const kDeleteFromTo = "deletes the from-to, with its constraints";
const char* const kResetNoiseRuleClass =
    "sets the noise rule's victim or aggressor (PR_FROM_OBJ, PR_TO_OBJ) that names a missing constraint class to "
    "\"(None)\"";
const char* const kDisconnectPin =
    "disconnects the pin from the physical net; not for a pin that is not a net pin, or that a design pin refers to";
const char* const kFixPowerNetTopology =
    "deletes the pin sets, virtual pins and from-tos of the power net's physical nets and the pin pairs of its "
    "electrical net, and sets ORDER_TYPE MST and TOPO_ORDERED No";
const char* const kDeleteC2CRule = "deletes the class-to-class clearance rule, with its constraints";

} // namespace

// The repair methods by diagnostic code, in registration order: code, method, allowed in back-end
// mode, what the repair changes in the design. No code appears twice. To add a method, include its
// class above and add its rows below (keep the order).
const std::vector<FixRegistration>& FixRegistryTable()
{
    static const std::vector<FixRegistration> table = {
    {CDICErrors::T1_NODEFAULTNC, &CFixNetClass::AddDefaultNetClass, false, kAddDefaultNetClass},
    {CDICErrors::T1_NOALLCC, &CFixConstraintClass::AddAllConstraintClass, false, kAddAllConstraintClass},
    {CDICErrors::T1_NODEFAULTCR, &CFixClearRule::AddDefaultClearRule, false, kAddDefaultClearRule},
    {CDICErrors::T1_NOGENCLEAR, &CFixClearRule::AddMissingGenClear, false, kAddGenClear},
    {CDICErrors::T1_NOMASTERSCHEME, &CFixScheme::AddMasterScheme, false, kAddMasterScheme},
    {CDICErrors::T1_NOMINIMUMSCHEME, &CFixScheme::AddMinimumScheme, false, kAddMinimumScheme},
    {CDICErrors::T2_MISSINGCRSCHEME, &CFixClearRule::RecreateClearRule, false,
     "re-creates the clearance rule, which gives it a rule in every scheme, with its constraints and attributes and "
     "the values its scheme and layer clearance rules held; the attributes of those scheme and layer rules are not "
     "kept"},
    {CDICErrors::T2_MANYSCRFORCR, &CFixClearRule::RebuildSchemeClearRules, false,
     "rebuilds the scheme as a new one of its name and type that takes its constraints, attributes and rule values, "
     "with one scheme rule per clearance rule: the values of the other scheme rules of the repeated clearance rule "
     "are dropped"},
    {CDICErrors::T2_DUPLICATEDNAMEOFSCHEME, &CFixClearRule::RenameDuplicatedScheme, false,
     "renames the second scheme to its name + \"_1\" (the first free \"_n\")"},
    {CDICErrors::T37_PAIRINVALIDPINUSEDTWICE, &CFixNet::DeletePinPairWithPinUsedTwice, false, kDeletePinPair},
    {CDICErrors::T37_CONNECTIONPAIRINVALIDPINUSEDTWICE, &CFixNet::DeletePinPairWithPinUsedTwice, false, kDeletePinPair},
    {CDICErrors::T37_UNKNOWNPAIRINVALIDPINUSEDTWICE, &CFixNet::DeletePinPairWithPinUsedTwice, false, kDeletePinPair},
    {CDICErrors::T41_ERRREFDESEMPTY, &CFixComp::SetEmptyRefDes, false,
     "sets the logic component's \"Ref Designator\" to the component's name"},
    {CDICErrors::T41_ERRREFDESDIFFERENT, &CFixComp::RenameCompToRefDes, false,
     "renames the component to its logic component's \"Ref Designator\"; not for a component of several logic "
     "components, or names that differ only in letter case"},
    {CDICErrors::T5_DUPLICATECOMPS, &CFixComp::RenameDuplicatedComps, false,
     "renames each further component of the name that is connected (a logic component, or a pin on a net) by "
     "counting up its trailing number (R1 to R2, the first free), also in its logic component's \"Ref Designator\", "
     "and deletes the unconnected ones with their constraints; not when none is connected"},
    {CDICErrors::T6_ERRITERPINSINCOMP, &CFixComp::RebuildCompPins, false,
     "re-creates the component from its part, with its name and logic components, and deletes the old one: its "
     "constraints and attributes, and its pins', are not kept"},
    {CDICErrors::T6_ERRINVALIDLOGICCOMPINNORVCOMP, &CFixComp::ReattachLogicComp, false,
     "detaches the logic component and attaches it again, its pins paired with the component's by pin number"},
    {CDICErrors::T6_ERRPARENTPARTPINNOTMATCHPIN, &CFixComp::RenameMismatchedPins, false,
     "re-creates the component from its part, with its name and logic component and the old pins' names, and deletes "
     "the old one: its constraints and attributes, and its pins', are not kept"},
    {CDICErrors::T6_ERRDIFFERENTPINNUMBERS, &CFixComp::VerifyPinCounts, false,
     "changes nothing: counts again, and is fixed when the component now has as many pins as its part"},
    {CDICErrors::T8_NOPHYSNETSINENET, &CFixNet::DeleteInvalidElecNet, false, kDeleteElecNet},
    {CDICErrors::T8_NOPINPAIRSINCOMPOSITEENET, &CFixNet::FixCompositeElecNetWithoutPinPairs, false,
     "replaces the electrical net by one electrical net per physical net, losing its constraints and pin pairs; in a "
     "differential pair, the pair is deleted and both its nets, without PRESERVED, are replaced so"},
    {CDICErrors::T9_INVALIDNAMEOFCC, &CFixConstraintClass::RenameInvalidName, false,
     "replaces the characters a name may not hold in the constraint class's name by \"_\" (and appends \"_\" and its "
     "index as a number when that name is taken)"},
    {CDICErrors::T9_DUPLICATEDNAMEOFCC, &CFixConstraintClass::RenameDuplicatedName, false,
     "renames the second constraint class to its name + \"_1\" (the first free \"_n\" among its siblings)"},
    {CDICErrors::T9_MISSING_NC_FOR_CC, &CFixConstraintClass::SetDefaultNetClass, false,
     "gives the constraint class the net class \"(Default)\""},
    {CDICErrors::T10_NODEFAULTRULECLEARRULE, &CFixClearRule::AddDefaultClearRule, false, kAddDefaultClearRule},
    {CDICErrors::T10_NOMASTERSCHEME, &CFixScheme::AddMasterScheme, false, kAddMasterScheme},
    {CDICErrors::T10_NOMINIMUMSCHEME, &CFixScheme::AddMinimumScheme, false, kAddMinimumScheme},
    {CDICErrors::T10_NODEFAULTNETCLASS, &CFixNetClass::AddDefaultNetClass, false, kAddDefaultNetClass},
    {CDICErrors::T10_NOALLCONSTRAINTCLASS, &CFixConstraintClass::AddAllConstraintClass, false, kAddAllConstraintClass},
    {CDICErrors::T10_CONSTRAINTNOTMIN, &CFixScheme::SetMinimumConstraintValue, false,
     "lowers the \"(Minimum)\" scheme's value to the smaller one, as its rule's own constraint where it only had the "
     "definition's"},
    {CDICErrors::T11_ERRGENCLEAR, &CFixClearRule::AddMissingGenClear, false, kAddGenClear},
    {CDICErrors::T12_TOPOLOGYOFENETSINDIFFERENTTHANDIFFPAIRS, &CFixNet::FixDiffPairNetsTopology, false,
     kUnifyDiffPairTopology},
    {CDICErrors::T12_BOTHENETSOFDIFFPAIREQUAL, &CFixNet::RemoveDiffPairWithEqualNets, false, kDeleteDiffPair},
    {CDICErrors::T12_NOTALLOWEDTOPOLOGYOFDIFFPAIR, &CFixNet::FixNotAllowedDiffPairTopology, false,
     "brings an MST pair to one topology with its nets, as for 1213; rewrites another spelling of Custom, Star, "
     "TShape or HTree as spelt on the pair, its electrical nets and their physical nets"},
    {CDICErrors::T12_TOPOLOGYOFPNETSINDIFFERENTTHANDIFFPAIRS, &CFixNet::FixDiffPairNetsTopology, false,
     kUnifyDiffPairTopology},
    {CDICErrors::T12_ENETINMANYDIFFPAIRS, &CFixNet::FixElecNetInManyDiffPairs, false,
     "deletes the differential pair, with its constraints; an electrical net of several physical nets is then "
     "replaced by one per physical net, losing its constraints and pin pairs"},
    {CDICErrors::T12_DIFFPAIRNETPOWERNET, &CFixNet::RemoveBrokenDiffPair, false, kDeleteDiffPair},
    {CDICErrors::T13_NETCLASSESOFENETSOFDIFFPAIRDIFFERENT, &CFixNet::UnifyDiffPairNetClasses, false,
     "moves the physical nets of the pair's two electrical nets into one net class: one other than \"(Default)\" "
     "that they use, that of the net with more physical nets when both offer one"},
    {CDICErrors::T15_DIFFERENTTOPOLOGIESOFENETANDPHYSNET, &CFixNet::UnifyElecAndPhysNetTopology, false,
     "sets ORDER_TYPE on the electrical net or its physical net so that they agree: physical nets of different "
     "topologies make the electrical net Mixed, one common topology becomes its own; some combinations are left as "
     "they are"},
    {CDICErrors::T15_ERRPARENTENETOFPHYSNET, &CFixNet::AddMissingParentElecNet, false, kAddParentElecNet},
    {CDICErrors::T15_PHYSNETINMANYENETS, &CFixNet::FixPhysNetInManyElecNets, false,
     "keeps the physical net in one electrical net (the one in a differential pair, else the first named) and takes "
     "it out of the other, which is deleted when left empty outside a pair; when both are in pairs, the pairs are "
     "deleted"},
    {CDICErrors::T15_ERRENETINVALIDTOPOTYPE, &CFixNet::FixInvalidTopologyType, false, kFixTopologySpelling},
    {CDICErrors::T15_ERRPHYSINVALIDTOPOTYPE, &CFixNet::FixInvalidTopologyType, false, kFixTopologySpelling},
    {CDICErrors::T16_ANALOGENETHASMANYPHYSNETS, &CFixNet::FixAnalogElecNetManyPhysNets, false,
     "in a differential pair, sets ANALOG 0 on the electrical net and its physical nets; outside one, only requests "
     "the incremental update of its physical nets' electrical nets, which leaves them as they are"},
    {CDICErrors::T16_ERRNAMEOFENET, &CFixNet::DeleteInvalidElecNet, false, kDeleteElecNet},
    {CDICErrors::T18_DUPLICATEDENETS, &CFixNet::DeleteDuplicatedElecNets, false,
     "deletes each of the two nets that is in no differential pair and has no physical net or shares one with "
     "another electrical net, with its constraints and pin pairs; a physical net it leaves without an electrical net "
     "gets one of its own"},
    {CDICErrors::T18_ERRNAMEOFENET, &CFixNet::DeleteInvalidElecNet, false, kDeleteElecNet},
    {CDICErrors::T19_CANTFINDCONSTRAINTCLASSOFENET, &CFixNet::SetAllConstraintClassOfElecNet, false,
     "puts the electrical net in the constraint class \"(All)\""},
    {CDICErrors::T20_ERRNAMEOFDIFFPAIR, &CFixNet::RemoveIllegalDiffPair, false, kDeleteDiffPair},
    {CDICErrors::T20_CANTFINTNETCLASSOFPHYSNET, &CFixNet::SetDefaultNetClassOfPhysNet, false,
     "puts the physical net in the net class \"(Default)\""},
    {CDICErrors::T20_ERRITERPHYSNETSINENET, &CFixNet::DeleteInvalidElecNet, false, kDeleteElecNet},
    {CDICErrors::T21_CANTFINDFLATNETFORPHYSNET, &CFixNet::DeletePhysNetWithoutFlatNet, false,
     "disconnects its pins and deletes the physical net, with its constraints and from-tos, and its electrical net "
     "(constraints and pin pairs) when that holds no other physical net; not when a pin of it has a design pin"},
    {CDICErrors::T21_FLATANDPNETNAMEMISMATCH, &CFixNet::RenamePhysNetToFlatNetName, false,
     "renames the physical net to its flat net's name; a physical net that has that name moves to it + \"_0\" (the "
     "first free \"_n\")"},
    {CDICErrors::T21_ERRPHYSNETFORFLATNET, &CFixNet::RebuildNetsFromFlatNet, false,
     "creates a physical net of the flat net's name with an electrical net over it, and connects to it the component "
     "pins the schematic forwards on the flat net"},
    {CDICErrors::T22_NETWITHTOPOLOGYMSTCHAINEDHASFROMTO, &CFixNet::FixChainedTopologyWithFromTos, false,
     "deletes the net's from-tos when one has ORDER_TYPE 0; else sets ORDER_TYPE Custom (Complex with pin sets) on a "
     "physical net alone in its electrical net and on that net; a net in a differential pair stays"},
    {CDICErrors::T23_ERRNAMEOFFROMTO, &CFixNet::DeleteInvalidFromTo, false, kDeleteFromTo},
    {CDICErrors::T23_FROMTOINVALID, &CFixNet::DeleteInvalidFromTo, false, kDeleteFromTo},
    {CDICErrors::T23_FROMTOPINSARETHESAMEPIN, &CFixNet::DeleteSamePinFromTo, false, kDeleteFromTo},
    {CDICErrors::T23_FROMTODUPLICATEDINPHYSNET, &CFixNet::DeleteDuplicatedFromTo, true,
     "deletes one of the two from-tos, with its constraints: the second when only it is user-defined "
     "(FROMTO_USERDEFINED 1), else the first"},
    {CDICErrors::T25_RULELAYERSMAPPEDTONOLAYERS, &CFixLayer::RecreateNetClass, false,
     "re-creates the net class with its child classes, taking over its constraints, attributes, physical nets and "
     "constraint classes and the values of its scheme, layer and via rules, so that every layer has its layer rule; "
     "its values in the \"(Minimum)\" scheme start from the defaults"},
    {CDICErrors::T26_MISSINGLAYER, &CFixLayer::AddMissingZAxisLayer, true,
     "adds the layer to the Z-axis rule"},
    {CDICErrors::T26_MORETHANONELAYERINZAXISRULE, &CFixLayer::RemoveDuplicatedZAxisLayers, true,
     "removes the layer's repeated entries from the Z-axis rule, keeping the first"},
    {CDICErrors::T27_DUPLICATEDLAYERNUMBER, &CFixLayer::MoveDuplicatedLayerNumber, true,
     "from the repeated number up, every layer but the first of a number moves one number up"},
    {CDICErrors::T27_DUPLICATEDLAYERNAME, &CFixLayer::RenameDuplicatedLayer, false,
     "renames the layer to its name + \"(1)\" (the first free \"(n)\")"},
    {CDICErrors::T27_MAXNUMGREATERTHANNUMBEROFLAYERS, &CFixLayer::RenumberLayers, true,
     "renumbers the layers from 1 up, in the order of their numbers"},
    {CDICErrors::T27_ERRMISSINGLAYERUSAGE, &CFixLayer::SetLayerUsage, false,
     "gives the layer LAYER_USAGE: Substrate for a substrate layer, Plane for a metal layer with PLANE_NETS, else "
     "Signal"},
    {CDICErrors::T28_SCHEMENETCLASSHASNOTCORRESPONDINGNETCLASS, &CFixNetClass::RecreateMissingNetClass, true,
     "moves the rule's net class below its parent again (a top-level class below \"(Default)\" and back), which "
     "renames its scheme rules after it and makes the missing ones; nothing is deleted"},
    {CDICErrors::T28_NETCLASSHASNOCORRESPONDINGSCHEMENETCLASS, &CFixNetClass::RecreateNetClassWithoutRule, true,
     "re-creates the net class below its parent, moves its physical nets, child classes and constraint classes to it "
     "and deletes the old one: the new class keeps none of the old one's constraints and attributes, and its rules "
     "in every scheme start from the defaults (the log does not say so)"},
    {CDICErrors::T28_DUPLICATEDGLOBALNETCLASS, &CFixNetClass::RenameDuplicatedNetClass, true,
     "renames the second net class to its name + \"_1\" (the first free \"_n\" among its siblings)"},
    {CDICErrors::T28_SCHEMENETCLASSHASNODEFAULTNETCLASS, &CFixScheme::RecreateSchemeWithoutDefaultRule, true,
     "replaces the scheme by a new one of its name and type, with a rule for every net class and clearance rule: the "
     "old scheme's constraints, attributes and rule values are lost"},
    {CDICErrors::T29_NETCLASSHASINVALIDCHARS, &CFixNetClass::RenameInvalidName, true,
     "replaces the characters a name may not hold in the net class's name by \"_\" (and appends \"_\" and its index "
     "as a number when that name is taken)"},
    {CDICErrors::T30_ERRTYPEOFNOISERULE, &CFixNoiseRule::SetNoiseRuleType, false,
     "sets the noise rule's PR_TYPE to Class-Class"},
    {CDICErrors::T30_CANTFINDCONSTRAINTCLASSFORNOISERULE, &CFixNoiseRule::ResetMissingNoiseRuleClasses, false,
     kResetNoiseRuleClass},
    {CDICErrors::T30_CANTFINDCONSTRAINTCLASSFORNOISERULE_3, &CFixNoiseRule::ResetMissingNoiseRuleClasses, false,
     kResetNoiseRuleClass},
    {CDICErrors::T30_CANTFINDCONSTRAINTCLASSFORNOISERULE_6, &CFixNoiseRule::ResetMissingNoiseRuleClasses, false,
     kResetNoiseRuleClass},
    {CDICErrors::T30_CANTFINDNETFORNOISERULE_2, &CFixNoiseRule::ResetMissingNoiseRuleNets, false,
     "points the noise rule's victim or aggressor that names a missing net at the electrical net of a physical net "
     "of that name, else sets it to \"(None)\""},
    {CDICErrors::T30_ERRNOAGRESSORFORNOISERULE, &CFixNoiseRule::DeleteNoiseRuleWithoutAggressor, false,
     "deletes the noise rule, with its constraints"},
    {CDICErrors::T34_COMPONENTPININNETBUTNOTINCOMPONENTS, &CFixNet::DisconnectPinNotInComponents, false,
     kDisconnectPin},
    {CDICErrors::T35_ERRPARENTCOMPONENTOFPIN, &CFixNet::DisconnectPinWithoutParentComp, false, kDisconnectPin},
    {CDICErrors::T37_ERRNAMEOFPINPAIR, &CFixNet::DeleteInvalidPinPair, false, kDeletePinPair},
    {CDICErrors::T37_PAIRINVALID, &CFixNet::DeleteInvalidPinPair, false, kDeletePinPair},
    {CDICErrors::T37_ENETHASDUPLICATEDPINPAIRS, &CFixNet::DeleteDuplicatedPinPair, false,
     "deletes the second pin pair, with its constraints"},
    {CDICErrors::T39_NETOTHERTHANCOMPLEXHASPINSET, &CFixNet::FixPinSetInNonComplexNet, false,
     "sets ORDER_TYPE Complex on the physical net and on its electrical net (Mixed when its other physical nets have "
     "another topology)"},
    {CDICErrors::T39_NUMVIRTPINSETPINSDIFFERENTTHANNUMPINSETS, &CFixNet::FixVirtualPinSetPinCount, false,
     "deletes the net's virtual pin-set pins that belong to no pin set"},
    {CDICErrors::T39_PINSETCONTAINTOTHERPINSETASPIN, &CFixNet::FixPinSetContainingPinSet, false,
     "deletes every pin set nested in another pin set of the net, with its virtual pin-set pin, and sets "
     "TOPO_ORDERED No on the electrical net and its physical nets"},
    {CDICErrors::T40_ERRPARENTELECNETPHYS, &CFixNet::AddMissingParentElecNet, false, kAddParentElecNet},
    {CDICErrors::T40_ERRWRONGNETSREF, &CFixNet::DeleteElecNetWithWrongRefs, false,
     "deletes the electrical net, with its constraints and pin pairs; each physical net it held gets an electrical "
     "net of its own"},
    {CDICErrors::T40_ERRPHYSNETNOTUNIEQUE, &CFixNet::RenameNonUniquePhysNet, false,
     "renames each of the two physical nets to its flat net's name; not when they share a flat net or its name, or "
     "for names that differ only in letter case"},
    {CDICErrors::T50_PHYSNETHASDUPLICATEDPINSETS, &CFixNet::RenameDuplicatedPinSet, false,
     "renames the second pin set to its name + \"_1\" (the first free \"_n\" in the net)"},
    {CDICErrors::T53_CLEARRULENAMESDUPLICATED, &CFixClearRule::RenameDuplicatedClearRule, false,
     "renames the second clearance rule to its name + \"_1\" (the first free \"_n\")"},
    {CDICErrors::T54_FORBIDDENCONSTRAINT, &CFixConstraint::RemoveForbiddenConstraint, false,
     "deletes the constraint"},
    {CDICErrors::T54_MISMATCHINPARENTINDEX, &CFixConstraint::ReattachMismatchedConstraint, false,
     "re-creates the constraint with its value on the object that lists it, and on the object it names as parent "
     "when that exists; its attributes are not kept"},
    {CDICErrors::T57_PARRULEDEF_INVALID, &CFixParRule::DeleteInvalidParRuleDef, true,
     "deletes the parallelism rule definition, with its sections"},
    {CDICErrors::T57_PARRULEDEF_INVALID_ALL, &CFixParRule::DeleteAllParRuleDefs, true,
     "deletes every parallelism rule definition of the design, the valid ones too"},
    {CDICErrors::T57_VIASPAN_NOALLOWEDVIAS, &CFixScheme::DeleteViaSpanWithoutVias, false,
     "deletes the via span, with its constraints"},
    {CDICErrors::T58_ERRINVPHYSPOWERNETTOPO, &CFixNet::FixPowerNetTopology, false, kFixPowerNetTopology},
    {CDICErrors::T58_ERRINVELECPOWERNETTOPO, &CFixNet::FixPowerNetTopology, false, kFixPowerNetTopology},
    {CDICErrors::T59_VIRTUALPINDUPLICATEDINTHEDESIGN, &CFixNet::RenameDuplicatedVirtualPin, false,
     "renames the virtual pin to the first \"VPn\" that no virtual pin of the design has"},
    {CDICErrors::T60_CANNOTGETSCHEMECONSTRAINT, &CFixC2CClearRule::DeleteInvalidC2CClearRule, true, kDeleteC2CRule},
    {CDICErrors::T60_ERRSCHEMEOFC2CCLEARRULE, &CFixC2CClearRule::DeleteInvalidC2CClearRule, true, kDeleteC2CRule},
    {CDICErrors::T60_ERRCLEARRULEOFC2CCLEARRULE, &CFixC2CClearRule::DeleteInvalidC2CClearRule, true, kDeleteC2CRule},
    {CDICErrors::T60_ERRZAXISOFC2CCLEARRULE, &CFixC2CClearRule::DeleteInvalidC2CClearRule, true, kDeleteC2CRule},
    {CDICErrors::T60_CANNOTGETRULECONSTRAINT, &CFixC2CClearRule::DeleteInvalidC2CClearRule, true, kDeleteC2CRule},
    {CDICErrors::T61_DUPLICATEDTEMPLATE, &CFixTemplates::DeleteDuplicatedTemplate, false,
     "deletes the second template of the name, with all it holds"},
    {CDICErrors::T61_MISSINGELECTEMPLATE, &CFixTemplates::ClearMissingElecNetTemplate, true,
     "sets the electrical net's TEMPLATE to \"(None)\""},
    {CDICErrors::T61_MISSINGDIFFPAIRTEMPLATE, &CFixTemplates::ClearMissingDiffPairTemplate, true,
     "sets the differential pair's own TEMPLATE to \"(None)\"; an inherited one stays"},
    {CDICErrors::T62_CANNOTGETP2PCONSTRAINT, &CFixP2PRule::DeleteBrokenP2PClearRules, false,
     "deletes every package-to-package rule that lacks one of P2P_FRPKGTYPE, P2P_TOPKGTYPE, P2P_SIDE, P2P_DIRECTION "
     "and P2P_CLEARANCE"},
    {CDICErrors::T63_NOTALLOWEDTOPOLOGYOFPINSETTEMPLATE, &CFixTemplates::SetPinSetTemplateTopology, false,
     "sets ORDER_TYPE Complex on a template with one pin set and on that pin set"},
    {CDICErrors::T63_INCORRECTPINFORPINSET, &CFixTemplates::DeletePinSetWithIncorrectPin, false,
     "deletes the pin set from the template when it holds no pins"},
    {CDICErrors::T63_MISSINGTOPOPINSETTYPE, &CFixTemplates::SetTopoPinSetType, true,
     "gives the pin TOPO_PINSET_TYPE Balanced, Unbalanced or T, as its TOPO_ORIG_NAME holds VP_BL_, VP_UB_ or VP_T_"},
    {CDICErrors::T64_ERRWRONGSETTOPOORDERED, &CFixNet::ResetWrongTopoOrdered, true,
     "sets TOPO_ORDERED No on the physical net and its electrical net"},
    };
    return table;
}

void CFixMgr::RegisterAllMethods()
{
    for (const FixRegistration& row : FixRegistryTable())
        RegisterMethod(row.code, row.method, MethodDescr(row.allowedOnBackEnd));
}
