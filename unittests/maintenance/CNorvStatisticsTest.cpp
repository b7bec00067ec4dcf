#include "MaintenanceTestSupport.h"

#include "maintenance/CNorvStatistics.h"

#include "quilflow/QuilFlowIDStandIn.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

using namespace mtest;
using Lumo::Index;
using Lumo::StandIn::Field;

namespace
{

// The report's values by label; a sub-line is keyed by the line above it: "Parts/Constraints".
std::map<std::string, std::string> reportValues(const std::string& report)
{
    std::map<std::string, std::string> values;
    std::istringstream lines(report);
    std::string line, parent;
    while (std::getline(lines, line))
    {
        if (line.size() < 41 || line.compare(36, 4, "....") != 0)
            continue;
        std::string name = line.substr(0, 40);
        name.erase(name.find_last_not_of(". ") + 1);
        const bool sub = name.compare(0, 3, "   ") == 0;
        if (!sub)
            parent = name;
        std::string value = line.substr(41);
        value.erase(0, value.find_first_not_of(' '));
        values[sub ? parent + "/" + name.substr(3) : name] = value;
    }
    return values;
}

class StatisticsTest : public ::testing::Test
{
protected:
    ~StatisticsTest() override { QuilFlowIDStandIn_Reset(); }

    // The report of a run, or "" when it fails.
    std::string report(Lumo::LumoPI* session, const std::string& topBlock = "TOP")
    {
        CapturingLog log;
        CNorvStatistics statistics(session, topBlock, &log, "", 1, 0, "", false, "", false);
        return statistics.GenerateStats("main") ? log.written : "";
    }
    std::map<std::string, std::string> values(Lumo::LumoPI* session) { return reportValues(report(session)); }

    fwtest::ProcessStateGuard guard;
};

// One object of nearly every kind, with the nesting, splits and defaults the counting rules name.
struct Counted : Design
{
    Index e1 = builder.ElectricalNet(config, "E1");
    Index e2 = builder.ElectricalNet(config, "E2");
    Index p1 = builder.PhysicalNet(config, "P1", e1);
    Index p2 = builder.PhysicalNet(config, "P2", e2);
    Index p3 = builder.PhysicalNet(config, "P3", e2);
    Index part = builder.Part(config, "PART", 2);
    Index packaged = builder.NorvComp(config, "U1", part);
    Index unpackaged = builder.NorvComp(config, "U2");
    Index pinA = builder.Pin(packaged, "1", Lumo::NPT_NetPin, p1);
    Index pinB = builder.Pin(unpackaged, "1", Lumo::NPT_NetPin, p1);

    Counted()
    {
        for (int kind : {6, 7, 1, 3, 2, 4, 5, 5})
            builder.Pin(p2, "K" + std::to_string(kind), kind);
        builder.FromTo(p1, "FT", pinA, pinB);
        builder.PinPair(e1, "PP0", pinA, pinB, 0);
        builder.PinPair(e1, "PP1", pinA, pinB, 1);
        builder.DiffPair(config, "DP", e1, e2);
        builder.Add(Kind::PartPinPair, part, "PPP");

        builder.Layer(design, "TOP", 1, 1);
        builder.Layer(design, "CORE", 2, 0, Lumo::LT_Substrate);
        // class-to-class rules: one of each type, and one without a readable type
        for (const char* type : std::vector<const char*>{"ClearRule", "ZClearRule", nullptr})
        {
            const Index rule = builder.Add(Kind::C2CClearRule, design, "C2C");
            if (type)
                builder.Constraint(rule, "C2C_RULE_TYPE", type);
        }
        // three levels of schema net class rules below (Master)'s rule for (Default), besides the
        // rules of the two schemes for (Default), C1 and C2
        Index rule = store().List(find(Kind::Scheme, "(Master)"), Field::schemaNetClassRules).front();
        for (int depth = 0; depth < 3; ++depth)
            rule = builder.Add(Kind::SchemaNetClassRule, rule, "R" + std::to_string(depth));
        builder.Add(Kind::ViaAssign, rule, "VA");
        const Index child = builder.NetClass(builder.NetClass(find(Kind::NetClass, "(Default)"), "C1"), "C2");
        builder.ConstraintClass(builder.ConstraintClass(find(Kind::ConstraintClass, "(All)"), "K1"), "K2");
        const Index zAxis = builder.Add(Kind::ZAxisClearRule, design, "Z");
        builder.Add(Kind::ZAxisLayerRule, zAxis, "ZL");
        const Index def = builder.Add(Kind::ParRuleDef, design, "PAR");
        builder.Add(Kind::ParRuleSection, def, "S1");
        (void)child;

        // templates: a level that is none of the six still has its objects and children counted
        const Index templates = builder.Add(Kind::GenObjType, design, "TOPOTMPL");
        const Index topo = builder.Add(Kind::GenCompObj, templates, "T1");
        builder.SetText(topo, Field::level, "TopoTemplate");
        const Index odd = builder.Add(Kind::GenCompObj, templates, "T2");
        builder.SetText(odd, Field::level, "Elsewhere");
        for (const char* level : {"PinPair", "Pin", "Pin", "Bogus"})
            builder.SetText(builder.Add(Kind::GenObj, odd, level), Field::level, level);
        const Index net = builder.Add(Kind::GenCompObj, odd, "N");
        builder.SetText(net, Field::level, "Net");
        // an unreadable level counts nowhere, whatever the object before it was
        const Index unreadable = builder.Add(Kind::GenCompObj, templates, "T3");
        builder.SetText(unreadable, Field::level, "DiffPairTemplate");
        builder.Fail(unreadable, "GetLevel");
        // custom tabs: the objects of a type, recursively; other types count nothing
        const Index custom = builder.Add(Kind::GenObjType, design, "CUSTOM_TAB");
        builder.Add(Kind::GenCompObj, builder.Add(Kind::GenCompObj, custom, "O1"), "O2");
        builder.Add(Kind::GenCompObj, custom, "O3");
        builder.Add(Kind::GenCompObj, builder.Add(Kind::GenObjType, design, "OTHER"), "O4");
    }
};

TEST_F(StatisticsTest, EachKindIsCountedByItsRule)
{
    Counted d;
    const auto v = values(d.session.get());
    const std::map<std::string, std::string> expected = {
        {"Electrical nets", "2"},        {"Physical nets", "3"},
        {"PinPairs", "2"},               {"Differential pairs", "1"},
        {"FromTos", "1"},                {"Net pins", "2"},
        {"Virtual pins", "1"},           {"Guide pins", "1"},
        {"Pin sets (T topology)", "1"},  {"Pin sets (Chained topology)", "1"},
        {"Pin sets (MST topology)", "1"}, {"Pin sets (Balanced topology)", "1"},
        {"Pin sets (Unbalanced topology)", "2"}, {"Parts", "1"},
        {"Part pins", "2"},              {"Part pin pairs", "1"},
        {"Components", "2"},             {"Component pins", "2"},
        {"Unpackaged components", "1"},  {"Layers", "2"},
        {"Layers/Metallic layers", "1"}, {"Layers/Dielectric layers", "1"},
        {"C2C clear rules", "1"},        {"Z-axis C2C clear rules", "2"},
        {"Schema net class rules", "9"}, {"Via Assigns", "1"},
        {"Net classes", "3"},            {"Constraint classes", "3"},
        {"Schemes", "2"},                {"Z-axis clear rules", "1"},
        {"Z-axis layers", "1"},          {"Parallel rule definitions", "1"},
        {"Parallel rule sections", "1"}, {"Topology templates", "1"},
        {"DiffPair templates", "0"},     {"Topology templates : Net", "1"},
        {"Topology templates : PinPair", "1"}, {"Topology templates : Pin", "2"},
        {"Custom tabs", "1"},            {"Custom objects", "3"},
        {"General clearance", "1"},
    };
    for (const auto& entry : expected)
        EXPECT_EQ(entry.second, v.at(entry.first)) << entry.first;
}

// Constraints, default-valued constraints (definitions with a value, numbers equal to their
// definition's, values equal to it) and attributes (of objects and of constraints).
TEST_F(StatisticsTest, ConstraintsDefaultsAndAttributesAddUpInTheirSections)
{
    Design d;
    d.builder.Definition("LINE_WIDTH", 1.0);
    d.builder.Definition("ORDER_TYPE", "MST");
    const Index net = d.builder.PhysicalNet(d.config, "N", d.builder.ElectricalNet(d.config, "E"));
    d.builder.Constraint(net, "LINE_WIDTH", 1.0);          // equal number: default
    d.builder.Constraint(net, "ORDER_TYPE", "MST");        // equal text: default
    d.builder.Constraint(net, "ORDER_TYPE_2", "Chained");  // no definition: none
    const Index empty = d.builder.Constraint(net, "EMPTY_DEF", "");
    d.builder.ConstraintFlags(empty, true);                // a definition without value: none
    const Index flagged = d.builder.Constraint(net, "FLAG", 7);
    d.builder.ConstraintFlags(flagged, true);              // a definition with a value: default
    d.builder.Attribute(net, "NOTE", "x");
    d.builder.Attribute(flagged, "NOTE", "y");

    const Index layer = d.builder.Layer(d.design, "TOP", 1, 1);
    d.builder.Constraint(layer, "LINE_WIDTH", 2.0);        // another number: none
    d.builder.Constraint(d.design, "MAX_VIAS", 2);
    d.builder.Attribute(d.design, "NOTE", "z");

    const auto v = values(d.session.get());
    EXPECT_EQ("5", v.at("Physical nets/Constraints"));
    EXPECT_EQ("5", v.at("Constraints in connectivity"));
    EXPECT_EQ("3", v.at("Constraints in connectivity/Default constraints"));
    EXPECT_EQ("2", v.at("Attributes in connectivity"));
    EXPECT_EQ("2", v.at("Constraints in design"));
    EXPECT_EQ("0", v.at("Constraints in design/Default constraints"));
    EXPECT_EQ("1", v.at("Attributes in design"));
    EXPECT_EQ("7", v.at("Total constraints"));
    EXPECT_EQ("3", v.at("Total constraints/Default constraints"));
    EXPECT_EQ("3", v.at("Total attributes"));
}

TEST_F(StatisticsTest, DesignStatusFollowsPartsAndTheirComponents)
{
    Design noParts;
    noParts.builder.NorvComp(noParts.config, "U1");
    EXPECT_EQ("No parts", values(noParts.session.get()).at("Design status"));

    Design packaged;
    const Index part = packaged.builder.Part(packaged.config, "P");
    packaged.builder.NorvComp(packaged.config, "U1", part);
    EXPECT_EQ("Packaged", values(packaged.session.get()).at("Design status"));

    packaged.builder.NorvComp(packaged.config, "U2");
    EXPECT_EQ("Unpackaged", values(packaged.session.get()).at("Design status"));
}

// The whole report layout, on a design with the defaults and one net.
TEST_F(StatisticsTest, ReportLayout)
{
    QuilFlowIDStandIn_SetText("");
    Design d;
    d.builder.Client("ws-1:77", {"Kravik (FE NORV)"});
    d.builder.PhysicalNet(d.config, "N", d.builder.ElectricalNet(d.config, "E"));
    const std::string text = report(d.session.get());
    const std::string rule(71, '=');
    EXPECT_EQ(0u, text.find(rule + "\n DESIGN INFO\n" + rule + "\nSnapshot ............................... main\n"
                                   "Top block .............................. TOP\n\n"
                                   "Design status .......................... No parts\n\n"
                                   "Active Lumo clients .................... 1\n"
                                   "   ws-1 ................................ 1\n\n" +
                            rule + "\n CONNECTIVITY STATISTICS\n" + rule +
                            "\nElectrical nets ........................       1\n"))
        << text;
    EXPECT_NE(std::string::npos, text.find("\n\n" + rule + "\n DESIGN STATISTICS\n" + rule +
                                           "\n   Constraints .........................       0\nLayers "))
        << text;
    EXPECT_NE(std::string::npos, text.find("\nSchema net class rules..................       2\n")) << text;
    // The objects of every kind, each once: two nets and the defaults with their scheme rules.
    const auto v = reportValues(text);
    const int objects = std::stoi(v.at("Total objects"));
    EXPECT_EQ(2 + 1 + 1 + 1 + 2 + 2 + 2 + 1, objects);
    EXPECT_EQ("\n", text.substr(text.size() - 1));
    EXPECT_EQ(std::string::npos, text.find("Install ID"));
}

TEST_F(StatisticsTest, ClientsAreCountedByTheirTextBeforeTheLastColon)
{
    Design d;
    const std::string long36(36, 'x');
    const std::string long35(35, 'y');
    for (const std::string& client : std::vector<std::string>{"ws:1:10", "ws:1:11", "plain", long36 + ":1", long35 + ":1"})
        d.builder.Client(client, {});
    const std::string text = report(d.session.get());
    EXPECT_NE(std::string::npos, text.find("Active Lumo clients .................... 5")) << text;
    EXPECT_NE(std::string::npos, text.find("\n   ws:1 " + std::string(32, '.') + " 2")) << text;
    EXPECT_NE(std::string::npos, text.find("\n   plain " + std::string(31, '.') + " 1")) << text;
    EXPECT_NE(std::string::npos, text.find("\n   " + long36 + "  1")) << text;
    EXPECT_NE(std::string::npos, text.find("\n   " + long35 + " . 1")) << text;
    // texts are printed whole, never read as a format
    Design formats;
    formats.builder.Client(std::string(300, 'z') + "%s%n:1", {});
    EXPECT_NE(std::string::npos, report(formats.session.get()).find(std::string(300, 'z') + "%s%n  1"));
}

TEST_F(StatisticsTest, InstallIdLine)
{
    const struct
    {
        const char* flowText; // null: QuilFlowID gives no text
        const char* line;     // the Install ID line's value; null: no line
    } cases[] = {
        {nullptr, nullptr},
        {"", nullptr},
        {"Flow Id: F1\r\nKVT Install Id: I1\r\nFlow Id: F2\r\n", "F1 I1, F2 "},
        {"Flow Id: F1\r\n", "F1 "},
        {"KVT Install Id: I1\r\n", ""},
        {"Flow Id: F1", "F1 "},
        {"Flow Id: \nKVT Install Id: I1\r\nrest of the text\r\n", ""},
        {"Flow Id: x\nFlow Id: F2\r\n", "F2 "},
    };
    for (const auto& c : cases)
    {
        QuilFlowIDStandIn_SetText(c.flowText);
        Design d;
        const std::string text = report(d.session.get());
        const std::string label = "\n\nInstall ID ............................. ";
        const size_t at = text.find(label);
        const std::string name = c.flowText ? c.flowText : "(null)";
        if (!c.line)
        {
            EXPECT_EQ(std::string::npos, at) << name;
            continue;
        }
        ASSERT_NE(std::string::npos, at) << name;
        const size_t start = at + label.size();
        EXPECT_EQ(c.line, text.substr(start, text.find("\n\n", start) - start)) << name;
    }
}

TEST_F(StatisticsTest, EveryRunCountsFromZero)
{
    Counted d;
    const std::string first = report(d.session.get());
    ASSERT_NE("", first);
    EXPECT_EQ(first, report(d.session.get()));
    Design empty;
    const auto v = values(empty.session.get());
    EXPECT_EQ("0", v.at("Electrical nets"));
    EXPECT_EQ("0", v.at("Constraints in connectivity"));
    EXPECT_EQ("0", v.at("Topology templates : Pin"));
}

// Failing each database call in turn: the report is the clean one or none, so that no count is
// made up from a failed read. Only the reads whose failure the counting passes over by rule (a
// level, a layer or rule type, a name, a parent part, the list of clients) may change it.
TEST_F(StatisticsTest, AFailedReadGivesTheCleanReportOrNone)
{
    std::map<uint64_t, std::string> reports;
    const std::vector<std::string> calls = callSequence([&](uint64_t k) {
        Counted d;
        Lumo::StandIn::GetFaults(*d.session).SetCountdown(k);
        reports[k] = report(d.session.get());
        return failedRun(*d.session);
    });
    ASSERT_NE("", reports[0]);
    const std::set<std::string> passedOver = {"GetLevel", "GetType",       "GetConstraint", "GetValue",
                                              "GetName",  "GetParentPart", "GetListClients"};
    for (size_t k = 1; k <= calls.size(); ++k)
    {
        if (!reports[k].empty() && passedOver.count(calls[k - 1]) == 0)
        {
            EXPECT_EQ(reports[0], reports[k]) << "call " << k << ": " << calls[k - 1];
        }
    }
}

TEST_F(StatisticsTest, OpeningFailuresAreWrittenToStandardOutput)
{
    const struct
    {
        const char* op;
        const char* topBlock;
        const char* output;
    } cases[] = {
        {"GetSnapshotByName", "TOP", "Can't get snapshot: main"},
        {"GetUIDManager", "TOP", "Can't get UIDManager"},
        {nullptr, "ELSEWHERE", "Can't get NORV Configuration having top block: ELSEWHERE"},
        {"GetNorvDesign", "TOP", "Can't get NORV design"},
    };
    for (const auto& c : cases)
    {
        Design d;
        if (c.op)
            Lumo::StandIn::GetFaults(*d.session).FailNext(c.op, 1);
        testing::internal::CaptureStdout();
        CapturingLog log;
        CNorvStatistics statistics(d.session.get(), c.topBlock, &log, "", 1, 0, "", false, "", false);
        EXPECT_FALSE(statistics.GenerateStats("main"));
        EXPECT_EQ(c.output, testing::internal::GetCapturedStdout());
        EXPECT_EQ("", log.written);
    }
}

} // namespace
