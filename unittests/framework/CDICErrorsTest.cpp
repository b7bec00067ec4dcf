#include "framework/CDICErrors.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace
{

struct Sample
{
    unsigned constant;
    unsigned code;
    int outLogging;
    int numArgs;
    DICSeverity severity;
    const char* inText;
    const char* outText;
};

// At least one record of every family, chosen for the shapes that are easy to
// get wrong: inner quotes, out-texts with the index dropped, family defaults,
// stored argument counts that differ from the placeholders, odd spacing.
const Sample kSamples[] = {
    {CDICErrors::T0_NOERROR, 0, 1, 0, DIC_NONE, "", ""},
    {CDICErrors::T1_NOCONFIGFORTOP, 101, 1, 1, DIC_ERROR, "No NorvConfig for top block ( %N ) in database!",
     "No NORV data found for design in database"},
    {CDICErrors::T1_NODEFAULTCR, 107, 1, 0, DIC_ERROR, "No NorvClearRule \"Default Rule\" in database!",
     "No (Default Rule) clearance class found"},
    {CDICErrors::T2_ERRPARENTCR, 208, 1, 0, DIC_ERROR, "Can't get parent clearance rule.",
     "Error loading clearance constraint"},
    {CDICErrors::T2_DUPLICATEDNAMEOFSCHEME, 225, 1, 2, DIC_ERROR, "Scheme name %N is not unique across the design",
     "Scheme name %N is not unique across the design"},
    {CDICErrors::T3_ERRCOMPHASNOPART, 310, 1, 2, DIC_ERROR,
     "Component: %N (%I) found in a part %N (%I) although it has no reference to parent.",
     "Component %N is found in part %N data but without reference to parent"},
    {CDICErrors::T4_ERRATRPINNUMDEFFERENT, 411, 1, 3, DIC_ERROR,
     "Attribute \"Pin Number\"=%N from logical pin is different than NORV pin name %N (%I).",
     "Attribute \"Pin Number=%N\" is different than pin name %N"},
    {CDICErrors::T4_NCISCONNECTED, 413, 1, 2, DIC_WARNING, "\"NoConnect\" pin %N (%I) is connected to a net",
     "Pin with type \"No connect\" %N is connected to a net"},
    {CDICErrors::T5_ERRPARENTPARTOFCOMP, 504, 1, 2, DIC_WARNING,
     "Can't get parent part of component %N (%I). The design seems to be not packaged.",
     "Error loading part for component %N"},
    {CDICErrors::T6_ERRITERPINSINCOMP, 609, 1, 1, DIC_ERROR, "Can't get iterator of pins in component %N (%I).",
     "Error loading components"},
    {CDICErrors::T6_ERRINVALIDLOGICCOMPINNORVCOMP, 621, 1, 2, DIC_ERROR,
     "Component %N (%I) has invalid logical component", "Component %N has invalid logical component"},
    {CDICErrors::T7_NODEFAULTCONFIG, 701, 1, 0, DIC_INFO, "Can't get default configuration.",
     "No front-end data found for design in database"},
    {CDICErrors::T7_NOITEROFFLATNETS, 702, 1, 0, DIC_WARNING,
     "Can't get iterator of flat nets from default configuration.", "Error loading net"},
    {CDICErrors::T7_PINFWDPCBCOMPNOTFWDPCB, 722, 1, 4, DIC_INFO,
     "Pin %N (%I) is flagged as ForwardPCB but it's parent component %N (%I) is not",
     "Pin %N is flagged as ForwardPCB but it's parent component %N is not"},
    {CDICErrors::T8_ERRITERELECNETS, 801, 1, 0, DIC_ERROR, "Can't get iterator over electrical nets.",
     "Error loading net"},
    {CDICErrors::T8_WRONGNAMEFORENETNOTCOMPOSITE, 806, 1, 2, DIC_WARNING,
     "Wrong name of electrical %N (%I): ^^^ present but only one physical net inside.",
     "Wrong name of electrical %N (%I): ^^^ present but only one physical net inside."},
    {CDICErrors::T9_ERRITERTOPLEVELCC, 901, 1, 0, DIC_ERROR, "Can't get top level iterator of ConstraintClasses.",
     "Error loading Constraint Classes"},
    {CDICErrors::T9_DUPLICATEDNAMEOFCC, 906, 1, 4, DIC_ERROR,
     "Constraint class name %N is not unique across the design",
     "Constraint class name %N is not unique across the design"},
    {CDICErrors::T10_NODEFAULTRULECLEARRULE, 1009, 1, 0, DIC_ERROR, "\"(Default Rule)\" ClearRule does not exist.",
     "No (Default Rule) clearance class found"},
    {CDICErrors::T10_CONSTRAINTNOTMIN, 1027, 1, 4, DIC_ERROR,
     "Constraint %C is not minimum among all schemes - this constraint %C is smaller",
     "Constraint %C is not minimum among all schemes - this constraint %C is smaller"},
    {CDICErrors::T11_CANTLOADSPECIFIEDCNS, 1101, 1, 0, DIC_ERROR, "Can't load specified cns file.",
     "Can't load specified cns file %N."},
    {CDICErrors::T11_FORBIDDENCONSTRAINT, 1141, 1, 3, DIC_ERROR, "Forbidden constraint: %N (%I) Object: (%I)",
     "Constraint %N found in cns file %cns is not consistent with the NORV data"},
    {CDICErrors::T12_ERRCOUNTOFPINS, 1231, 1, 0, DIC_ERROR, "Can't get count of pins from physical net.",
     "Error loading nets"},
    {CDICErrors::T12_INSUFFICIENTNROFPINSFORELECNET, 1232, 1, 2, DIC_WARNING,
     "Electrical net %N (%I) belonged to differential pair %N (%I) has less pins than 2.",
     "Insufficient number of pins in electrical net %N belonged to differential pair %N"},
    {CDICErrors::T12_ERRNETTYPE, 1234, 1, 0, DIC_ERROR, "Can't get type of physical net.", "Error loading nets"},
    {CDICErrors::T13_NETCLASSESOFENETSOFDIFFPAIRDIFFERENT, 1306, 1, 1, DIC_ERROR,
     "Inconsistent net classes assigned to differential pair %N (%I)",
     "Inconsistent net classes assigned to differential pair %N"},
    {CDICErrors::T14_ERRITEROFCOMPS, 1401, 1, 0, DIC_ERROR, "Can't get iterator over norv components.",
     "Error loading components"},
    {CDICErrors::T15_PHYSNETINMANYENETS, 1512, 1, 3, DIC_ERROR,
     "Physical net: %N (%I) belongs to more than one electrical nets: %N (%I) and %N (%I)",
     "Error loading net %N"},
    {CDICErrors::T15_ERRVALORDERTYPEFROMENET, 1514, 1, 1, DIC_ERROR,
     "Can't get value of ORDER_TYPE constraint from Enet: (%I)",
     "Can't get value of ORDER_TYPE constraint from Enet:"},
    {CDICErrors::T16_ANALOGENETHASMANYPHYSNETS, 1608, 1, 1, DIC_ERROR,
     "ElecNet %N (%I) has more than one ANALOG Pnets.",
     "Electrical net %N contains multiple physical nets marked as ANALOG"},
    {CDICErrors::T17_ERRITERENETS, 1701, 1, 0, DIC_ERROR, "Can't get iterator of Enets.", "Error loading nets"},
    {CDICErrors::T18_IMPLICITPOWERS, 1805, 1, 2, DIC_WARNING,
     "The pin count for net %N (%I) may be incorrect because it contains implicit pins and the connectivity has "
     "changed. Please package the design to correct",
     "The pin count for net %N may be incorrect because it contains implicit pins and the connectivity has "
     "changed. Please package the design to correct"},
    {CDICErrors::T19_ERRITEROFDIFFPAIRS, 1907, 1, 0, DIC_ERROR, "Can't get iterator of DiffPairs.",
     "Error loading differential pairs"},
    {CDICErrors::T20_ERRNAMEOFDIFFPAIR, 2009, 1, 0, DIC_ERROR, "Can't get name of DiffPair %N (%I).",
     "Error loading differential pair"},
    {CDICErrors::T21_FLATANDPNETNAMEMISMATCH, 2114, 1, 1, DIC_ERROR,
     "Physical net: %N has different name than its flat net: %N",
     "Physical net: %N has different name than its flat net: %N"},
    {CDICErrors::T22_CANTGETITERFROMTO, 2219, 1, 0, DIC_ERROR, "Can't get iterator over fromtos for net %N (%I).",
     "Error loading from-tos for net %N"},
    {CDICErrors::T23_FROMTOINVALID, 2309, 1, 2, DIC_ERROR, "FromTo %N (%I) invalid: pins do not belong to the net",
     "FromTo %N invalid: pins do not belong to the net"},
    {CDICErrors::T24_ERRMETALLICLAYERHASINVALIDNUMBER, 2415, 1, 1, DIC_ERROR, "Metallic layer (%I) has illegal number",
     "Metallic layer has illegal number"},
    {CDICErrors::T25_ERRNAMEOFLAYER, 2526, 1, 1, DIC_ERROR, "Can't get name of layer", "Error loading layer"},
    {CDICErrors::T26_ERRNAMELAYER, 2605, 1, 0, DIC_ERROR, "Can't get layer name.", "Can't get layer name."},
    {CDICErrors::T27_DUPLICATEDLAYERNAME, 2713, 1, 4, DIC_ERROR, "Duplicated layer name %N (%I)",
     "Duplicated layer name %N"},
    {CDICErrors::T28_ERRITEROFSCHEMES, 2801, 1, 0, DIC_ERROR, "Can't get iterator of Schemes.",
     "Error loading schemes"},
    {CDICErrors::T28_DUPLICATEDGLOBALNETCLASS, 2828, 2, 0, DIC_ERROR,
     "Net class name %N is not unique across the design", "Net class name %N is not unique across the design"},
    {CDICErrors::T29_NETCLASSNAMEHANEWINSIDE, 2906, 1, 2, DIC_ERROR,
     "Invalid NetClass name: %N (%I) - forbidden part \"New...\"",
     "Invalid NetClass name: %N - forbidden part \"New...\""},
    {CDICErrors::T30_CANTFINDCONSTRAINTCLASSFORNOISERULE_2, 3008, 1, 4, DIC_ERROR,
     "Can't find Constraint Class %N for noise rule: %N (%I)", "Can't find Constraint Class %N for noise rule: %N"},
    {CDICErrors::T31_ERRNAMEOFPART, 3103, 1, 1, DIC_ERROR, "Can't get part name: %I", "Can't get part name:"},
    {CDICErrors::T32_PARTPINPAIRSHAVESAMENAMES, 3205, 1, 0, DIC_ERROR, "part pin pairs have same names",
     "part pin pairs have same names"},
    {CDICErrors::T32_WRONGPARTPINPAIRPARENT, 3215, 1, 1, DIC_ERROR, "Wrong part pin pair parent: %I",
     "examined part:%I "},
    {CDICErrors::T33_ERRPARENTPARTOFPARTPIN, 3305, 1, 0, DIC_ERROR, "Can't get parent part of part pin.",
     "Can't get parent part of part pin."},
    {CDICErrors::T34_ERRINDEXOFPIN, 3405, 1, 2, DIC_ERROR, "Can't get index of pin. Physical net: %N (%I)",
     "Error loading pin in net %N"},
    {CDICErrors::T35_SOMENETHASTOOFEWPINS, 3508, 1, 0, DIC_WARNING, "Some nets have less than 2 pins",
     "Some nets have less than 2 pins"},
    {CDICErrors::T36_PINPAIRSNOTALLOWEDFORTOPOLOGY, 3604, 1, 4, DIC_ERROR,
     "PinPairs not allowed for given topology %N (%I) of ENet: %N (%I)",
     "PinPairs not allowed for given topology %N of ENet: %N"},
    {CDICErrors::T37_ENETHASDUPLICATEDCONNECTIONPINPAIRS, 3718, 1, 4, DIC_WARNING,
     "Elecnet %N (%I) has duplicated ConnectionPinPair %N (%I)", "Elecnet %N has duplicated ConnectionPinPair %N"},
    {CDICErrors::T38_ERRNORVTYPEOFPIN, 3805, 1, 1, DIC_ERROR, "Can't get NorvPinType for pin %I",
     "Can't get NorvPinType for pin"},
    {CDICErrors::T39_NETOTHERTHANCOMPLEXHASPINSET, 3909, 1, 1, DIC_ERROR,
     "Net %N (%I) with topology different than \"Complex\" contains pin sets",
     "Net %N with topology different than \"Complex\" contains pin sets"},
    {CDICErrors::T40_ERRITERPHYSNETS, 4000, 1, 0, DIC_ERROR, "Can't get iterator over physical nets.",
     "Error loading nets."},
    {CDICErrors::T40_ERRPHYSNETNOTUNIEQUE, 4007, 1, 4, DIC_ERROR,
     "Two physical nets have the same name: first: %N (%I), second: %N (%I).",
     "Two physical nets have the same name: first: %N, second: %N."},
    {CDICErrors::T41_ERRREFDESDIFFERENT, 4106, 1, 3, DIC_ERROR,
     "Attribute \"Ref Designator=%N\" from logical component is different than NORV component name %N (%I).",
     "Attribute \"Ref Designator=%N\" from logical component is different than NORV component name %N."},
    {CDICErrors::T50_PHYSNETHASDUPLICATEDPINSETS, 5003, 1, 1, DIC_ERROR,
     "Physical net %N (%I)has duplicated pinset %N (%I)", "Physical net %N has duplicated pinset %N"},
    {CDICErrors::T51_PININTWOPHYSNETS_2, 5108, 1, 2, DIC_ERROR, "and to the net: %N (%I)", "and to the net: %N"},
    {CDICErrors::T52_ERRSECONDPINOFPARTPINPAIR, 5215, 1, 1, DIC_ERROR, "Can't get second pin of partPinPair: %I",
     "Can't get second pin of partPinPair:"},
    {CDICErrors::T53_CLEARRULENAMEHASINVALIDCHARS, 5309, 1, 3, DIC_ERROR,
     "Clearance rule name contains invalid character(s): %N%I, ClearRule: %N (%I)",
     "Clearance rule name contains invalid character(s): %N, rule name: %N"},
    {CDICErrors::T54_VALUEEQUALSDEFAULTVALUE, 5443, 1, 4, DIC_INFO,
     "Constraint %N (%I) has default value: %N (%I). It could be the constraint definition.",
     "Constraint %N has default value: %N. It could be the constraint definition."},
    {CDICErrors::T57_PARRULEDEF_INVALID, 5486, 1, 2, DIC_ERROR, "Parallelism rule definition %N (%I) is invalid.",
     "Parallelism rule definition %N is invalid."},
    {CDICErrors::T57_PARRULEDEF_INVALID_ALL, 5487, 1, 0, DIC_ERROR, "Some parallelism rule definitions are invalid.",
     "Some parallelism rule definitions are invalid."},
    {CDICErrors::T55_ACTIVELOCKBYOTHERSUBCLIENT, 5501, 1, 3, DIC_ERROR,
     "There is an active lock set by other subclient. %N (%I) , object uid: %I",
     "There is an active lock set by other subclient.  %N , object uid:"},
    {CDICErrors::T56_MIGRATIONDATE, 5604, 1, 1, DIC_INFO, "Migration date: %N", "Migration date: %N"},
    {CDICErrors::T57_VIASPAN_INVALIDITERATOR, 5701, 1, 1, DIC_ERROR, "Can't get iterator over via spans",
     "Error loading via spans"},
    {CDICErrors::T58_ERRINVPHYSPOWERNETTOPO, 5806, 1, 2, DIC_ERROR,
     "Topology for physical power net %N different than \"MST\".",
     "Topology for physical power net %N different than \"MST\"."},
    {CDICErrors::T59_VIRTUALPINDUPLICATEDINTHEDESIGN, 5907, 1, 0, DIC_ERROR,
     "Virtual pin name %N in physical net %N is not unique across the design.",
     "Virtual pin name %N in physical net %N is not unique across the design"},
    {CDICErrors::T60_CANNOTGETSCHEMECONSTRAINT, 6006, 1, 4, DIC_ERROR,
     "There is missing scheme in class to class clearance rule: (%I)",
     "Error loading class to class clearance rule"},
    {CDICErrors::T61_MISSINGELECTEMPLATE, 6111, 1, 4, DIC_ERROR,
     "Electrical net %N (%I) is linked to removed constraint template %N.",
     "Electrical net %N (%I) is linked to removed constraint template %N"},
    {CDICErrors::T62_ERRITERP2PRULES, 6201, 1, 0, DIC_ERROR, "Can't get iterator over pkg to pkg clearance rules.",
     "Error loadin pkg to pkg clearance rules"},
    {CDICErrors::T62_CANNOTGETP2PCONSTRAINT, 6203, 1, 4, DIC_ERROR,
     "There is missing constraint (%N) in pkg2pkg rule.", "Error loading pkg to pkg clearance rule"},
    {CDICErrors::T63_MISSINGTOPOPINNET, 6308, 1, 3, DIC_ERROR,
     "Missing Pin Net constraint for constraint template %N and pin %N",
     "Missing Pin Net constraint for constraint template %N and Pin %N"},
    {CDICErrors::T64_ERRNAMEPHYSNET, 6403, 1, 0, DIC_ERROR, "Can't get name of physical net.",
     "Error loading net."},
};

// The constants that name a code without a record.
const unsigned kNoRecord[][2] = {
    {CDICErrors::T2_ERRNAMESCR, 206},        {CDICErrors::T2_ERRINDEXSCR, 207},
    {CDICErrors::T4_ERRTYPEPIN, 412},        {CDICErrors::T10_ERRNAMENETCLASS, 1011},
    {CDICErrors::T12_ERRINDEXOFENET_2, 1223}, {CDICErrors::T51_ERRNAMEOFPHYSNET, 5112},
};

// Every code constant declared in the header, by name.
std::map<std::string, unsigned> ReadDeclaredConstants()
{
    std::ifstream header(std::string(KRAVIK_SOURCE_DIR) + "/framework/CDICErrors.h");
    std::stringstream text;
    text << header.rdbuf();
    const std::string source = text.str();
    const std::regex declaration(R"(static constexpr unsigned (T\d+_\w+)\s*=\s*(\d+);)");
    std::map<std::string, unsigned> constants;
    for (std::sregex_iterator it(source.begin(), source.end(), declaration), end; it != end; ++it)
        constants.emplace((*it)[1].str(), static_cast<unsigned>(std::stoul((*it)[2].str())));
    return constants;
}

void ExpectNoRecord(unsigned code)
{
    SCOPED_TRACE(code);
    EXPECT_EQ(nullptr, CDICErrors::GetInText(code));
    EXPECT_EQ(nullptr, CDICErrors::GetOutText(code));
    EXPECT_EQ(0, CDICErrors::GetOutLogging(code));
    EXPECT_EQ(0, CDICErrors::GetNumArgs(code));
    EXPECT_EQ(DIC_NONE, CDICErrors::GetSeverity(code));
    try
    {
        CDICErrors::GetErrorCase(code);
        ADD_FAILURE() << "GetErrorCase did not throw";
    }
    catch (const std::runtime_error& e)
    {
        EXPECT_STREQ("Cannot find error description!", e.what());
    }
}

} // namespace

TEST(CDICErrorsTest, SampleRecordsMatchTheirCodesExactly)
{
    for (const Sample& s : kSamples)
    {
        SCOPED_TRACE(s.code);
        EXPECT_EQ(s.code, s.constant);
        EXPECT_EQ(s.outLogging, CDICErrors::GetOutLogging(s.code));
        EXPECT_EQ(s.numArgs, CDICErrors::GetNumArgs(s.code));
        EXPECT_EQ(s.severity, CDICErrors::GetSeverity(s.code));
        ASSERT_NE(nullptr, CDICErrors::GetInText(s.code));
        ASSERT_NE(nullptr, CDICErrors::GetOutText(s.code));
        EXPECT_STREQ(s.inText, CDICErrors::GetInText(s.code));
        EXPECT_STREQ(s.outText, CDICErrors::GetOutText(s.code));

        const CDICErrors::ErrorCase& record = CDICErrors::GetErrorCase(s.code);
        EXPECT_EQ(s.outLogging, record.outLogging);
        EXPECT_EQ(s.numArgs, record.numArgs);
        EXPECT_EQ(s.severity, record.severity);
        EXPECT_EQ(CDICErrors::GetInText(s.code), record.inText);
        EXPECT_EQ(CDICErrors::GetOutText(s.code), record.outText);
    }
}

TEST(CDICErrorsTest, SamplesCoverEveryFamily)
{
    std::set<unsigned> families;
    for (const Sample& s : kSamples)
        families.insert(s.code / 100);
    families.insert(54); // 5486 and 5487 stand in family 54 under family-57 names
    std::set<unsigned> expected;
    for (unsigned f = 0; f <= 64; ++f)
        if (f <= 41 || f >= 50)
            expected.insert(f);
    EXPECT_EQ(expected, families);
}

TEST(CDICErrorsTest, CodesWithoutRecordAnswerAsUnknown)
{
    for (const auto& pair : kNoRecord)
    {
        EXPECT_EQ(pair[1], pair[0]);
        ExpectNoRecord(pair[0]);
    }
    for (unsigned code : {1u, 99u, 109u, 2825u, 4200u, 4201u, 4901u, 5488u, 6407u, 9999u, UINT_MAX})
        ExpectNoRecord(code);
}

TEST(CDICErrorsTest, NoErrorCodeHasEmptyTextsNotNull)
{
    ASSERT_NE(nullptr, CDICErrors::GetInText(CDICErrors::T0_NOERROR));
    ASSERT_NE(nullptr, CDICErrors::GetOutText(CDICErrors::T0_NOERROR));
    EXPECT_STREQ("", CDICErrors::GetInText(CDICErrors::T0_NOERROR));
    EXPECT_STREQ("", CDICErrors::GetOutText(CDICErrors::T0_NOERROR));
    EXPECT_EQ(DIC_NONE, CDICErrors::GetSeverity(CDICErrors::T0_NOERROR));
    EXPECT_EQ(1, CDICErrors::GetOutLogging(CDICErrors::T0_NOERROR));
}

TEST(CDICErrorsTest, CatalogueHoldsAllRecordsWithTheirDistribution)
{
    std::map<int, int> severities;
    std::map<int, int> loggingFlags;
    int records = 0;
    for (unsigned code = 0; code < 10000; ++code)
    {
        if (!CDICErrors::GetInText(code))
            continue;
        ++records;
        ++severities[CDICErrors::GetSeverity(code)];
        ++loggingFlags[CDICErrors::GetOutLogging(code)];
        EXPECT_NE(nullptr, CDICErrors::GetOutText(code)) << code;
        EXPECT_GE(CDICErrors::GetNumArgs(code), 0) << code;
        EXPECT_LE(CDICErrors::GetNumArgs(code), 4) << code;
    }
    EXPECT_EQ(892, records);
    EXPECT_EQ((std::map<int, int>{{DIC_NONE, 1}, {DIC_INFO, 6}, {DIC_WARNING, 28}, {DIC_ERROR, 857}}), severities);
    EXPECT_EQ((std::map<int, int>{{1, 891}, {2, 1}}), loggingFlags);
}

TEST(CDICErrorsTest, DeclaredConstantsMatchTheRecords)
{
    const std::map<std::string, unsigned> constants = ReadDeclaredConstants();
    EXPECT_EQ(898u, constants.size());

    std::set<unsigned> values;
    std::set<unsigned> withoutRecord;
    for (const auto& [name, value] : constants)
    {
        SCOPED_TRACE(name);
        EXPECT_TRUE(values.insert(value).second) << "value used twice: " << value;
        const unsigned family = static_cast<unsigned>(std::stoul(name.substr(1, name.find('_') - 1)));
        if (value == 5486 || value == 5487)
        {
            EXPECT_EQ(57u, family);
        }
        else
        {
            EXPECT_EQ(family, value / 100);
        }
        if (!CDICErrors::GetInText(value))
            withoutRecord.insert(value);
    }
    EXPECT_EQ((std::set<unsigned>{206, 207, 412, 1011, 1223, 5112}), withoutRecord);

    // And every record is named by a constant.
    for (unsigned code = 0; code < 10000; ++code)
    {
        if (CDICErrors::GetInText(code))
        {
            EXPECT_EQ(1u, values.count(code)) << code;
        }
    }
}

TEST(CDICErrorsTest, BaseConstant)
{
    EXPECT_EQ(0x0A3D0000u, CDICErrors::DICNORVBase);
}

TEST(CDICErrorsTest, ErrorCaseConstructors)
{
    const CDICErrors::ErrorCase empty;
    EXPECT_EQ(0, empty.outLogging);
    EXPECT_EQ(0, empty.numArgs);
    ASSERT_NE(nullptr, empty.inText);
    ASSERT_NE(nullptr, empty.outText);
    EXPECT_STREQ("", empty.inText);
    EXPECT_STREQ("", empty.outText);
    EXPECT_EQ(DIC_INFO, empty.severity);

    const CDICErrors::ErrorCase full(2, 3, "in", "out", DIC_WARNING);
    EXPECT_EQ(2, full.outLogging);
    EXPECT_EQ(3, full.numArgs);
    EXPECT_STREQ("in", full.inText);
    EXPECT_STREQ("out", full.outText);
    EXPECT_EQ(DIC_WARNING, full.severity);
}

TEST(CDICErrorsTest, RepeatedFillChangesNothing)
{
    const CDICErrors::ErrorCase& before = CDICErrors::GetErrorCase(CDICErrors::T23_FROMTOINVALID);
    const char* inText = before.inText;
    CDICErrors::InitErrorMap();
    CDICErrors::InitErrorMap();
    const CDICErrors::ErrorCase& after = CDICErrors::GetErrorCase(CDICErrors::T23_FROMTOINVALID);
    EXPECT_EQ(&before, &after);
    EXPECT_EQ(inText, after.inText);
    EXPECT_STREQ("FromTo %N (%I) invalid: pins do not belong to the net", after.inText);
}

// Run on its own (as ctest does), the threads below make the very first
// lookups of the process and race to fill the catalogue.
TEST(CDICErrorsTest, ConcurrentFirstLookupsAgree)
{
    constexpr int kThreads = 8;
    std::vector<int> found(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([t, &found] {
            int count = 0;
            for (unsigned code = 0; code < 10000; ++code)
                if (CDICErrors::GetSeverity(code) != DIC_NONE || CDICErrors::GetInText(code))
                    ++count;
            found[t] = count;
        });
    for (std::thread& thread : threads)
        thread.join();
    for (int count : found)
        EXPECT_EQ(892, count);
}
