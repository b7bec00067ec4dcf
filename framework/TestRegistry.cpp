#include "framework/TestRegistry.h"

#include "framework/CNorvInitTest.h"
#include "tests/connectivity/CCompInPart.h"
#include "tests/connectivity/CCompUnique.h"
#include "tests/connectivity/CCompValid.h"
#include "tests/connectivity/CConnectionPinPair.h"
#include "tests/connectivity/CDiffPairConsistency.h"
#include "tests/connectivity/CDiffPairNCCheck.h"
#include "tests/connectivity/CENetConsistency.h"
#include "tests/connectivity/CEbdPinUnique.h"
#include "tests/connectivity/CEnetOneAnalogPnet.h"
#include "tests/connectivity/CEnetUnique.h"
#include "tests/connectivity/CFlatNetCheck.h"
#include "tests/connectivity/CFlatPinVsNorvPinChecker.h"
#include "tests/connectivity/CFromToInOneNet.h"
#include "tests/connectivity/CFromToUnique.h"
#include "tests/connectivity/CPNetTopo.h"
#include "tests/connectivity/CPartHasName.h"
#include "tests/connectivity/CPartPinPairValid.h"
#include "tests/connectivity/CPartPinValid.h"
#include "tests/connectivity/CPinConnection.h"
#include "tests/connectivity/CPinInComponent.h"
#include "tests/connectivity/CPinNumVsPinName.h"
#include "tests/connectivity/CPinPairAndTopology.h"
#include "tests/connectivity/CPinPairUnique.h"
#include "tests/connectivity/CPinSetUnique.h"
#include "tests/connectivity/CPinUnique.h"
#include "tests/connectivity/CPinUniqueInPart.h"
#include "tests/connectivity/CPinsetsTreeLike.h"
#include "tests/connectivity/CPinsetsValidation.h"
#include "tests/connectivity/CPnetUnique.h"
#include "tests/connectivity/CPowerNetTopology.h"
#include "tests/connectivity/CRefDesVsCompName.h"
#include "tests/connectivity/CVirtualPinUnique.h"
#include "tests/rules/CC2CClearRules.h"
#include "tests/rules/CClearRuleInSchemes.h"
#include "tests/rules/CConsChecker.h"
#include "tests/rules/CConstraintClassNameUnique.h"
#include "tests/rules/CDefaultObjects.h"
#include "tests/rules/CDefaults.h"
#include "tests/rules/CExistAllUsedConstrClasses.h"
#include "tests/rules/CExistAllUsedNetClasses.h"
#include "tests/rules/CLayerInAllClearRules.h"
#include "tests/rules/CLayerInAllNetClasses.h"
#include "tests/rules/CLayerInZAxisRules.h"
#include "tests/rules/CLayerNumbering.h"
#include "tests/rules/CNetClassNameUnique.h"
#include "tests/rules/CNetClassesInScheme.h"
#include "tests/rules/CNoiseRuleChecker.h"
#include "tests/rules/CP2PRules.h"
#include "tests/rules/CTemplatesUnique.h"
#include "tests/rules/CTemplatesValid.h"
#include "tests/rules/CValidNames.h"
#include "tests/rules/CViaSpanValid.h"

#include <cstdlib>
#include <cstring>

namespace
{

template <class Test>
CNorvDetailChecker* make()
{
    return new Test;
}

} // namespace

// Every test in registration order (position in the full list of 53), with the switch that
// admits it.
const std::vector<TestRegistration>& TestRegistryTable()
{
    static const std::vector<TestRegistration> table = {
        {1, "CNorvInitTest", TestGating::Always, &make<CNorvInitTest>},
        {2, "CNetClassNameUnique", TestGating::Always, &make<CNetClassNameUnique>},
        {3, "CConstraintClassNameUnique", TestGating::Always, &make<CConstraintClassNameUnique>},
        {4, "CValidNames", TestGating::Always, &make<CValidNames>},
        {5, "CClearRuleInSchemes", TestGating::OutsideTamsaFlow, &make<CClearRuleInSchemes>},
        {6, "CNetClassesInScheme", TestGating::OutsideTamsaFlow, &make<CNetClassesInScheme>},
        {7, "CLayerNumbering", TestGating::Always, &make<CLayerNumbering>},
        {8, "CLayerInAllNetClasses", TestGating::Always, &make<CLayerInAllNetClasses>},
        {9, "CLayerInAllClearRules", TestGating::HiddenTestsOn, &make<CLayerInAllClearRules>},
        {10, "CLayerInZAxisRules", TestGating::OutsideTamsaFlow, &make<CLayerInZAxisRules>},
        {11, "CNoiseRuleChecker", TestGating::OutsideTamsaFlow, &make<CNoiseRuleChecker>},
        {12, "CPartHasName", TestGating::HiddenTestsOn, &make<CPartHasName>},
        {13, "CPartPinValid", TestGating::HiddenTestsOn, &make<CPartPinValid>},
        {14, "CPartPinPairValid", TestGating::HiddenTestsOn, &make<CPartPinPairValid>},
        {15, "CCompInPart", TestGating::HiddenTestsOn, &make<CCompInPart>},
        {16, "CCompValid", TestGating::Always, &make<CCompValid>},
        {17, "CPinInComponent", TestGating::Always, &make<CPinInComponent>},
        {18, "CCompUnique", TestGating::Always, &make<CCompUnique>},
        {19, "CPinUnique", TestGating::HiddenTestsOn, &make<CPinUnique>},
        {20, "CEbdPinUnique", TestGating::HiddenTestsOn, &make<CEbdPinUnique>},
        {21, "CPinUniqueInPart", TestGating::HiddenTestsOn, &make<CPinUniqueInPart>},
        {22, "CPinSetUnique", TestGating::HiddenTestsOn, &make<CPinSetUnique>},
        {23, "CPinsetsValidation", TestGating::OutsideTamsaFlow, &make<CPinsetsValidation>},
        {24, "CPinsetsTreeLike", TestGating::HiddenTestsOn, &make<CPinsetsTreeLike>},
        {25, "CPnetUnique", TestGating::Always, &make<CPnetUnique>},
        {26, "CPinConnection", TestGating::Always, &make<CPinConnection>},
        {27, "CEnetUnique", TestGating::OutsideTamsaFlow, &make<CEnetUnique>},
        {28, "CENetConsistency", TestGating::OutsideTamsaFlow, &make<CENetConsistency>},
        {29, "CEnetOneAnalogPnet", TestGating::OutsideTamsaFlow, &make<CEnetOneAnalogPnet>},
        {30, "CExistAllUsedConstrClasses", TestGating::Always, &make<CExistAllUsedConstrClasses>},
        {31, "CExistAllUsedNetClasses", TestGating::Always, &make<CExistAllUsedNetClasses>},
        {32, "CDiffPairConsistency", TestGating::Always, &make<CDiffPairConsistency>},
        {33, "CDiffPairNCCheck", TestGating::Always, &make<CDiffPairNCCheck>},
        {34, "CPinPairUnique", TestGating::Always, &make<CPinPairUnique>},
        {35, "CConnectionPinPair", TestGating::OutsideTamsaFlow, &make<CConnectionPinPair>},
        {36, "CPowerNetTopology", TestGating::Always, &make<CPowerNetTopology>},
        {37, "CPinPairAndTopology", TestGating::HiddenTestsOn, &make<CPinPairAndTopology>},
        {38, "CFromToUnique", TestGating::Always, &make<CFromToUnique>},
        {39, "CFromToInOneNet", TestGating::Always, &make<CFromToInOneNet>},
        {40, "CConsChecker", TestGating::Always, &make<CConsChecker>},
        {41, "CDefaults", TestGating::HiddenTestsOn, &make<CDefaults>},
        {42, "CDefaultObjects", TestGating::Always, &make<CDefaultObjects>},
        {43, "CFlatNetCheck", TestGating::Always, &make<CFlatNetCheck>},
        {44, "CFlatPinVsNorvPinChecker", TestGating::HiddenTestsOn, &make<CFlatPinVsNorvPinChecker>},
        {45, "CRefDesVsCompName", TestGating::Always, &make<CRefDesVsCompName>},
        {46, "CPinNumVsPinName", TestGating::HiddenTestsOn, &make<CPinNumVsPinName>},
        {47, "CViaSpanValid", TestGating::Always, &make<CViaSpanValid>},
        {48, "CVirtualPinUnique", TestGating::Always, &make<CVirtualPinUnique>},
        {49, "CC2CClearRules", TestGating::OutsideTamsaFlow, &make<CC2CClearRules>},
        {50, "CTemplatesUnique", TestGating::OutsideTamsaFlow, &make<CTemplatesUnique>},
        {51, "CTemplatesValid", TestGating::OutsideTamsaFlow, &make<CTemplatesValid>},
        {52, "CP2PRules", TestGating::Always, &make<CP2PRules>},
        {53, "CPNetTopo", TestGating::Always, &make<CPNetTopo>},
    };
    return table;
}

bool IsRegisteredUnder(TestGating gating, bool hiddenTests, bool tamsaFlow)
{
    switch (gating) {
    case TestGating::Always: return true;
    case TestGating::HiddenTestsOn: return hiddenTests;
    case TestGating::OutsideTamsaFlow: return !tamsaFlow;
    }
    return false;
}

namespace
{

bool isSet(const char* variable)
{
    const char* value = std::getenv(variable);
    return value && *value;
}

} // namespace

bool HiddenTestsRequested()
{
    return isSet("NORV_CIC_RUN_HIDDEN_TESTS");
}

bool FlowTamsaFromEnvironment()
{
    if (isSet("NORV_TAMSA_FLOW"))
        return true;
    const char* version = std::getenv("QUIL_VERSION");
    if (!version || !*version)
        return false;
    return std::strcmp(version, "9.3TAMSA") == 0 || std::strcmp(version, "9.3.1TAMSA") == 0;
}
