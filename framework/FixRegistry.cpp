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

// The repair methods by diagnostic code, in registration order: code, method, allowed in back-end
// mode. No code appears twice. To add a method, include its class above and uncomment its rows
// below (keep the order).
const std::vector<FixRegistration>& FixRegistryTable()
{
    static const std::vector<FixRegistration> table = {
    {CDICErrors::T1_NODEFAULTNC, &CFixNetClass::AddDefaultNetClass, false},
    {CDICErrors::T1_NOALLCC, &CFixConstraintClass::AddAllConstraintClass, false},
    {CDICErrors::T1_NODEFAULTCR, &CFixClearRule::AddDefaultClearRule, false},
    {CDICErrors::T1_NOGENCLEAR, &CFixClearRule::AddMissingGenClear, false},
    {CDICErrors::T1_NOMASTERSCHEME, &CFixScheme::AddMasterScheme, false},
    {CDICErrors::T1_NOMINIMUMSCHEME, &CFixScheme::AddMinimumScheme, false},
    {CDICErrors::T2_MISSINGCRSCHEME, &CFixClearRule::RecreateClearRule, false},
    {CDICErrors::T2_MANYSCRFORCR, &CFixClearRule::RebuildSchemeClearRules, false},
    {CDICErrors::T2_DUPLICATEDNAMEOFSCHEME, &CFixClearRule::RenameDuplicatedScheme, false},
    {CDICErrors::T37_PAIRINVALIDPINUSEDTWICE, &CFixNet::DeletePinPairWithPinUsedTwice, false},
    {CDICErrors::T37_CONNECTIONPAIRINVALIDPINUSEDTWICE, &CFixNet::DeletePinPairWithPinUsedTwice, false},
    {CDICErrors::T37_UNKNOWNPAIRINVALIDPINUSEDTWICE, &CFixNet::DeletePinPairWithPinUsedTwice, false},
    {CDICErrors::T41_ERRREFDESEMPTY, &CFixComp::SetEmptyRefDes, false},
    {CDICErrors::T41_ERRREFDESDIFFERENT, &CFixComp::RenameCompToRefDes, false},
    {CDICErrors::T5_DUPLICATECOMPS, &CFixComp::RenameDuplicatedComps, false},
    {CDICErrors::T6_ERRITERPINSINCOMP, &CFixComp::RebuildCompPins, false},
    {CDICErrors::T6_ERRINVALIDLOGICCOMPINNORVCOMP, &CFixComp::ReattachLogicComp, false},
    {CDICErrors::T6_ERRPARENTPARTPINNOTMATCHPIN, &CFixComp::RenameMismatchedPins, false},
    {CDICErrors::T6_ERRDIFFERENTPINNUMBERS, &CFixComp::VerifyPinCounts, false},
    {CDICErrors::T8_NOPHYSNETSINENET, &CFixNet::DeleteInvalidElecNet, false},
    {CDICErrors::T8_NOPINPAIRSINCOMPOSITEENET, &CFixNet::FixCompositeElecNetWithoutPinPairs, false},
    {CDICErrors::T9_INVALIDNAMEOFCC, &CFixConstraintClass::RenameInvalidName, false},
    {CDICErrors::T9_DUPLICATEDNAMEOFCC, &CFixConstraintClass::RenameDuplicatedName, false},
    {CDICErrors::T9_MISSING_NC_FOR_CC, &CFixConstraintClass::SetDefaultNetClass, false},
    {CDICErrors::T10_NODEFAULTRULECLEARRULE, &CFixClearRule::AddDefaultClearRule, false},
    {CDICErrors::T10_NOMASTERSCHEME, &CFixScheme::AddMasterScheme, false},
    {CDICErrors::T10_NOMINIMUMSCHEME, &CFixScheme::AddMinimumScheme, false},
    {CDICErrors::T10_NODEFAULTNETCLASS, &CFixNetClass::AddDefaultNetClass, false},
    {CDICErrors::T10_NOALLCONSTRAINTCLASS, &CFixConstraintClass::AddAllConstraintClass, false},
    {CDICErrors::T10_CONSTRAINTNOTMIN, &CFixScheme::SetMinimumConstraintValue, false},
    {CDICErrors::T11_ERRGENCLEAR, &CFixClearRule::AddMissingGenClear, false},
    {CDICErrors::T12_TOPOLOGYOFENETSINDIFFERENTTHANDIFFPAIRS, &CFixNet::FixDiffPairNetsTopology, false},
    {CDICErrors::T12_BOTHENETSOFDIFFPAIREQUAL, &CFixNet::RemoveDiffPairWithEqualNets, false},
    {CDICErrors::T12_NOTALLOWEDTOPOLOGYOFDIFFPAIR, &CFixNet::FixNotAllowedDiffPairTopology, false},
    {CDICErrors::T12_TOPOLOGYOFPNETSINDIFFERENTTHANDIFFPAIRS, &CFixNet::FixDiffPairNetsTopology, false},
    {CDICErrors::T12_ENETINMANYDIFFPAIRS, &CFixNet::FixElecNetInManyDiffPairs, false},
    {CDICErrors::T12_DIFFPAIRNETPOWERNET, &CFixNet::RemoveBrokenDiffPair, false},
    {CDICErrors::T13_NETCLASSESOFENETSOFDIFFPAIRDIFFERENT, &CFixNet::UnifyDiffPairNetClasses, false},
    {CDICErrors::T15_DIFFERENTTOPOLOGIESOFENETANDPHYSNET, &CFixNet::UnifyElecAndPhysNetTopology, false},
    {CDICErrors::T15_ERRPARENTENETOFPHYSNET, &CFixNet::AddMissingParentElecNet, false},
    {CDICErrors::T15_PHYSNETINMANYENETS, &CFixNet::FixPhysNetInManyElecNets, false},
    {CDICErrors::T15_ERRENETINVALIDTOPOTYPE, &CFixNet::FixInvalidTopologyType, false},
    {CDICErrors::T15_ERRPHYSINVALIDTOPOTYPE, &CFixNet::FixInvalidTopologyType, false},
    {CDICErrors::T16_ANALOGENETHASMANYPHYSNETS, &CFixNet::FixAnalogElecNetManyPhysNets, false},
    {CDICErrors::T16_ERRNAMEOFENET, &CFixNet::DeleteInvalidElecNet, false},
    {CDICErrors::T18_DUPLICATEDENETS, &CFixNet::DeleteDuplicatedElecNets, false},
    {CDICErrors::T18_ERRNAMEOFENET, &CFixNet::DeleteInvalidElecNet, false},
    {CDICErrors::T19_CANTFINDCONSTRAINTCLASSOFENET, &CFixNet::SetAllConstraintClassOfElecNet, false},
    {CDICErrors::T20_ERRNAMEOFDIFFPAIR, &CFixNet::RemoveIllegalDiffPair, false},
    {CDICErrors::T20_CANTFINTNETCLASSOFPHYSNET, &CFixNet::SetDefaultNetClassOfPhysNet, false},
    {CDICErrors::T20_ERRITERPHYSNETSINENET, &CFixNet::DeleteInvalidElecNet, false},
    {CDICErrors::T21_CANTFINDFLATNETFORPHYSNET, &CFixNet::DeletePhysNetWithoutFlatNet, false},
    {CDICErrors::T21_FLATANDPNETNAMEMISMATCH, &CFixNet::RenamePhysNetToFlatNetName, false},
    {CDICErrors::T21_ERRPHYSNETFORFLATNET, &CFixNet::RebuildNetsFromFlatNet, false},
    {CDICErrors::T22_NETWITHTOPOLOGYMSTCHAINEDHASFROMTO, &CFixNet::FixChainedTopologyWithFromTos, false},
    {CDICErrors::T23_ERRNAMEOFFROMTO, &CFixNet::DeleteInvalidFromTo, false},
    {CDICErrors::T23_FROMTOINVALID, &CFixNet::DeleteInvalidFromTo, false},
    {CDICErrors::T23_FROMTOPINSARETHESAMEPIN, &CFixNet::DeleteSamePinFromTo, false},
    {CDICErrors::T23_FROMTODUPLICATEDINPHYSNET, &CFixNet::DeleteDuplicatedFromTo, true},
    {CDICErrors::T25_RULELAYERSMAPPEDTONOLAYERS, &CFixLayer::RecreateNetClass, false},
    {CDICErrors::T26_MISSINGLAYER, &CFixLayer::AddMissingZAxisLayer, true},
    {CDICErrors::T26_MORETHANONELAYERINZAXISRULE, &CFixLayer::RemoveDuplicatedZAxisLayers, true},
    {CDICErrors::T27_DUPLICATEDLAYERNUMBER, &CFixLayer::MoveDuplicatedLayerNumber, true},
    {CDICErrors::T27_DUPLICATEDLAYERNAME, &CFixLayer::RenameDuplicatedLayer, false},
    {CDICErrors::T27_MAXNUMGREATERTHANNUMBEROFLAYERS, &CFixLayer::RenumberLayers, true},
    {CDICErrors::T27_ERRMISSINGLAYERUSAGE, &CFixLayer::SetLayerUsage, false},
    {CDICErrors::T28_SCHEMENETCLASSHASNOTCORRESPONDINGNETCLASS, &CFixNetClass::RecreateMissingNetClass, true},
    {CDICErrors::T28_NETCLASSHASNOCORRESPONDINGSCHEMENETCLASS, &CFixNetClass::RecreateNetClassWithoutRule, true},
    {CDICErrors::T28_DUPLICATEDGLOBALNETCLASS, &CFixNetClass::RenameDuplicatedNetClass, true},
    {CDICErrors::T28_SCHEMENETCLASSHASNODEFAULTNETCLASS, &CFixScheme::RecreateSchemeWithoutDefaultRule, true},
    {CDICErrors::T29_NETCLASSHASINVALIDCHARS, &CFixNetClass::RenameInvalidName, true},
    {CDICErrors::T30_ERRTYPEOFNOISERULE, &CFixNoiseRule::SetNoiseRuleType, false},
    {CDICErrors::T30_CANTFINDCONSTRAINTCLASSFORNOISERULE, &CFixNoiseRule::ResetMissingNoiseRuleClasses, false},
    {CDICErrors::T30_CANTFINDCONSTRAINTCLASSFORNOISERULE_3, &CFixNoiseRule::ResetMissingNoiseRuleClasses, false},
    {CDICErrors::T30_CANTFINDCONSTRAINTCLASSFORNOISERULE_6, &CFixNoiseRule::ResetMissingNoiseRuleClasses, false},
    {CDICErrors::T30_CANTFINDNETFORNOISERULE_2, &CFixNoiseRule::ResetMissingNoiseRuleNets, false},
    {CDICErrors::T30_ERRNOAGRESSORFORNOISERULE, &CFixNoiseRule::DeleteNoiseRuleWithoutAggressor, false},
    {CDICErrors::T34_COMPONENTPININNETBUTNOTINCOMPONENTS, &CFixNet::DisconnectPinNotInComponents, false},
    {CDICErrors::T35_ERRPARENTCOMPONENTOFPIN, &CFixNet::DisconnectPinWithoutParentComp, false},
    {CDICErrors::T37_ERRNAMEOFPINPAIR, &CFixNet::DeleteInvalidPinPair, false},
    {CDICErrors::T37_PAIRINVALID, &CFixNet::DeleteInvalidPinPair, false},
    {CDICErrors::T37_ENETHASDUPLICATEDPINPAIRS, &CFixNet::DeleteDuplicatedPinPair, false},
    {CDICErrors::T39_NETOTHERTHANCOMPLEXHASPINSET, &CFixNet::FixPinSetInNonComplexNet, false},
    {CDICErrors::T39_NUMVIRTPINSETPINSDIFFERENTTHANNUMPINSETS, &CFixNet::FixVirtualPinSetPinCount, false},
    {CDICErrors::T39_PINSETCONTAINTOTHERPINSETASPIN, &CFixNet::FixPinSetContainingPinSet, false},
    {CDICErrors::T40_ERRPARENTELECNETPHYS, &CFixNet::AddMissingParentElecNet, false},
    {CDICErrors::T40_ERRWRONGNETSREF, &CFixNet::DeleteElecNetWithWrongRefs, false},
    {CDICErrors::T40_ERRPHYSNETNOTUNIEQUE, &CFixNet::RenameNonUniquePhysNet, false},
    {CDICErrors::T50_PHYSNETHASDUPLICATEDPINSETS, &CFixNet::RenameDuplicatedPinSet, false},
    {CDICErrors::T53_CLEARRULENAMESDUPLICATED, &CFixClearRule::RenameDuplicatedClearRule, false},
    {CDICErrors::T54_FORBIDDENCONSTRAINT, &CFixConstraint::RemoveForbiddenConstraint, false},
    {CDICErrors::T54_MISMATCHINPARENTINDEX, &CFixConstraint::ReattachMismatchedConstraint, false},
    {CDICErrors::T57_PARRULEDEF_INVALID, &CFixParRule::DeleteInvalidParRuleDef, true},
    {CDICErrors::T57_PARRULEDEF_INVALID_ALL, &CFixParRule::DeleteAllParRuleDefs, true},
    {CDICErrors::T57_VIASPAN_NOALLOWEDVIAS, &CFixScheme::DeleteViaSpanWithoutVias, false},
    {CDICErrors::T58_ERRINVPHYSPOWERNETTOPO, &CFixNet::FixPowerNetTopology, false},
    {CDICErrors::T58_ERRINVELECPOWERNETTOPO, &CFixNet::FixPowerNetTopology, false},
    {CDICErrors::T59_VIRTUALPINDUPLICATEDINTHEDESIGN, &CFixNet::RenameDuplicatedVirtualPin, false},
    {CDICErrors::T60_CANNOTGETSCHEMECONSTRAINT, &CFixC2CClearRule::DeleteInvalidC2CClearRule, true},
    {CDICErrors::T60_ERRSCHEMEOFC2CCLEARRULE, &CFixC2CClearRule::DeleteInvalidC2CClearRule, true},
    {CDICErrors::T60_ERRCLEARRULEOFC2CCLEARRULE, &CFixC2CClearRule::DeleteInvalidC2CClearRule, true},
    {CDICErrors::T60_ERRZAXISOFC2CCLEARRULE, &CFixC2CClearRule::DeleteInvalidC2CClearRule, true},
    {CDICErrors::T60_CANNOTGETRULECONSTRAINT, &CFixC2CClearRule::DeleteInvalidC2CClearRule, true},
    {CDICErrors::T61_DUPLICATEDTEMPLATE, &CFixTemplates::DeleteDuplicatedTemplate, false},
    {CDICErrors::T61_MISSINGELECTEMPLATE, &CFixTemplates::ClearMissingElecNetTemplate, true},
    {CDICErrors::T61_MISSINGDIFFPAIRTEMPLATE, &CFixTemplates::ClearMissingDiffPairTemplate, true},
    {CDICErrors::T62_CANNOTGETP2PCONSTRAINT, &CFixP2PRule::DeleteBrokenP2PClearRules, false},
    {CDICErrors::T63_NOTALLOWEDTOPOLOGYOFPINSETTEMPLATE, &CFixTemplates::SetPinSetTemplateTopology, false},
    {CDICErrors::T63_INCORRECTPINFORPINSET, &CFixTemplates::DeletePinSetWithIncorrectPin, false},
    {CDICErrors::T63_MISSINGTOPOPINSETTYPE, &CFixTemplates::SetTopoPinSetType, true},
    {CDICErrors::T64_ERRWRONGSETTOPOORDERED, &CFixNet::ResetWrongTopoOrdered, true},
    };
    return table;
}

void CFixMgr::RegisterAllMethods()
{
    for (const FixRegistration& row : FixRegistryTable())
        RegisterMethod(row.code, row.method, MethodDescr(row.allowedOnBackEnd));
}
