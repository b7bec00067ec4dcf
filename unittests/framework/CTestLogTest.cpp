#include "framework/CTestLog.h"

#include "framework/CNorvDetailChecker.h"

#include "lumopi/StandIn.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{

class NamedTest : public CNorvDetailChecker
{
public:
    std::string getTestName() const override { return "Net class name unique"; }
};

// A log that keeps what it writes, so that every line is checked through emitMessage.
class CapturingLog : public CTestLog
{
public:
    explicit CapturingLog(bool noNewline = false) : CTestLog(nullptr, noNewline) {}
    void emitMessage(std::string text) override { written += text; }
    std::string written;
};

Lumo::Index makeIndex(uint32_t low, uint32_t middle, uint8_t type)
{
    return Lumo::Index((static_cast<uint64_t>(type) << 56) | (static_cast<uint64_t>(middle) << 32) | low);
}

class CTestLogTest : public ::testing::Test
{
protected:
    NamedTest test;
    CapturingLog log;
};

TEST_F(CTestLogTest, CodedLineFillsTheCatalogueText)
{
    log.logMsg(DIC_ERROR, &test, CDICErrors::T28_DUPLICATEDGLOBALNETCLASS, "VCC", Lumo::Index());
    EXPECT_EQ(log.written, "ERROR 2828: Net class name VCC is not unique across the design\n");
}

TEST_F(CTestLogTest, CodedLineWordFollowsTheGivenSeverity)
{
    const struct
    {
        DICSeverity severity;
        const char* word;
    } cases[] = {{DIC_ERROR, "ERROR "}, {DIC_WARNING, "WARNING "}, {DIC_INFO, "INFO "}, {DIC_NONE, "INFO "}};
    for (const auto& c : cases) {
        CapturingLog out;
        out.logMsg(c.severity, &test, CDICErrors::T1_NODESIGN);
        EXPECT_EQ(out.written, std::string(c.word) + "102: No NorvDesign in database!\n") << c.severity;
    }
}

TEST_F(CTestLogTest, IndexTextFillsTheIndexMarker)
{
    log.logMsg(DIC_ERROR, &test, CDICErrors::T12_ENETINMANYDIFFPAIRS, "A", makeIndex(5, 0, 47));
    EXPECT_EQ(log.written, "ERROR 1219: Electrical net: A (5-0-47) belongs to more than one diff pairs.\n");
}

TEST_F(CTestLogTest, NameMarkersAfterAllPairsTakeTheNamesAgain)
{
    log.logMsg(DIC_ERROR, &test, CDICErrors::T10_CONSTRAINTNOTMIN, "LINE_WIDTH", Lumo::Index(), "VIA_SIZE",
               Lumo::Index());
    EXPECT_EQ(log.written, "ERROR 1027: Constraint LINE_WIDTH is not minimum among all schemes - this constraint "
                           "VIA_SIZE is smaller\n");
}

TEST_F(CTestLogTest, MarkerInsideAnInsertedNameIsFilledByTheNextReplacement)
{
    log.logMsg(DIC_ERROR, &test, CDICErrors::T12_ENETINMANYDIFFPAIRS, "x%Iy", makeIndex(5, 0, 47));
    EXPECT_EQ(log.written, "ERROR 1219: Electrical net: x5-0-47y (%I) belongs to more than one diff pairs.\n");
}

TEST_F(CTestLogTest, PercentSignsAreWrittenUnchanged)
{
    log.logMsg(DIC_ERROR, &test, CDICErrors::T28_DUPLICATEDGLOBALNETCLASS, "50%d", Lumo::Index());
    log.logError(&test, "100% %s done");
    EXPECT_EQ(log.written, "ERROR 2828: Net class name 50%d is not unique across the design\n"
                           "ERROR: Net class name unique\t100% %s done\n");
}

TEST_F(CTestLogTest, CodeWithoutRecordWritesNothing)
{
    log.logMsg(DIC_ERROR, &test, CDICErrors::T2_ERRNAMESCR, "x", Lumo::Index());
    log.logMsg(DIC_ERROR, &test, 4999);
    EXPECT_EQ(log.written, "");
}

TEST_F(CTestLogTest, GivenTextLinesAreWrittenAsCodeZero)
{
    log.logMsg(DIC_WARNING, &test, std::string("Object %N (%I) and %N"), "A", makeIndex(3, 0, 24), "B",
               Lumo::Index());
    EXPECT_EQ(log.written, "WARNING 0: Object A (3-0-24) and B\n");
}

TEST_F(CTestLogTest, PlainLinesFollowTheLogLevel)
{
    const struct
    {
        int level;
        const char* expected;
    } cases[] = {
        {-1, "ERROR: Net class name unique\te\n"},
        {0, "ERROR: Net class name unique\te\n"},
        {1, "ERROR: Net class name unique\te\nWARNING: Net class name unique\tw\n"},
        {2, "ERROR: Net class name unique\te\nWARNING: Net class name unique\tw\nINFO: Net class name unique\ti\n"},
    };
    for (const auto& c : cases) {
        CapturingLog out;
        out.setLogLevel(c.level);
        out.logError(&test, "e");
        out.logWarning(&test, "w");
        out.logInfo(&test, "i");
        EXPECT_EQ(out.written, c.expected) << "level " << c.level;
    }
}

TEST_F(CTestLogTest, TextOnlyMessageChoosesThePlainLineBySeverity)
{
    log.setLogLevel(2);
    log.logMsg(DIC_ERROR, &test, std::string("e"));
    log.logMsg(DIC_WARNING, &test, std::string("w"));
    log.logMsg(DIC_NONE, &test, std::string("n"));
    EXPECT_EQ(log.written, "ERROR: Net class name unique\te\nWARNING: Net class name unique\tw\n"
                           "INFO: Net class name unique\tn\n");
}

TEST_F(CTestLogTest, OpenLinesAreCompletedByTheRepairOutcome)
{
    CapturingLog open(true);
    open.logMsg(DIC_ERROR, &test, CDICErrors::T28_DUPLICATEDGLOBALNETCLASS, "VCC", Lumo::Index());
    CFixStatus fixed(true);
    open.logFixStatus(fixed);
    EXPECT_EQ(open.written, "ERROR 2828: Net class name VCC is not unique across the design - Fixed.\n");
}

TEST_F(CTestLogTest, PlainLinesEndTheLineEvenWhenCodedLinesStayOpen)
{
    CapturingLog open(true);
    open.setLogLevel(2);
    open.logError(&test, "e");
    open.logWarning(&test, "w");
    open.logInfo(&test, "i");
    open.logMsg(DIC_ERROR, &test, std::string("t %N"), "A", Lumo::Index());
    EXPECT_EQ(open.written, "ERROR: Net class name unique\te\nWARNING: Net class name unique\tw\n"
                            "INFO: Net class name unique\ti\nERROR 0: t A\n");
}

TEST_F(CTestLogTest, RepairOutcomeTexts)
{
    CFixStatus notFixed;
    CFixStatus failedWithMessage(false, true, "Cannot rename net class");
    CFixStatus errorWithoutMessage(false, true, "");
    // Read while result texts are off, as they are in a run without the hidden tests: the outcome
    // still names the failure, and the texts stay off.
    Lumo::StandIn::SetStringResultsEnabledForTest(false);
    CFixStatus failedRead(Lumo::StandIn::Failure("no reference"));
    const struct
    {
        CFixStatus status;
        const char* expected;
    } cases[] = {
        {notFixed, " - Not Fixed.\n"},
        {failedWithMessage, " - Not Fixed. Error: Cannot rename net class.\n"},
        {errorWithoutMessage, " - Not Fixed.\n"},
        {failedRead, " - Not Fixed. Database error: no reference.\n"},
        {CFixStatus(true, true, "ignored when fixed"), " - Fixed.\n"},
    };
    for (auto c : cases) {
        CapturingLog out;
        out.logFixStatus(c.status);
        EXPECT_EQ(out.written, c.expected);
    }
    EXPECT_FALSE(Lumo::StandIn::IsStringResultsEnabled());
}

TEST_F(CTestLogTest, TestBlockLines)
{
    log.onTestStart("Net class name unique", "not written");
    log.onTestEnd("not written", OK, 3);
    EXPECT_EQ(log.written, "Test: Net class name unique\nResult: OK\nTime: 3 seconds\n\n" + std::string(99, '-') + "\n");
}

TEST_F(CTestLogTest, ResultTextPerStatus)
{
    const struct
    {
        int status;
        const char* line;
    } cases[] = {
        {0, "Result: NOT TESTED (test broken?)\n"},
        {1, "Result: TESTING (test broken?)\n"},
        {2, "Result: OK\n"},
        {3, "Result: WARNINGS\n"},
        {4, "Result: FAILED\n"},
        {7, "Result: UNKNOWN STATUS (test broken?)\n"},
    };
    for (const auto& c : cases) {
        CapturingLog out;
        out.onTestEnd("", static_cast<TestStatus>(c.status), 0);
        EXPECT_EQ(out.written.substr(0, out.written.find('\n') + 1), c.line);
    }
}

TEST_F(CTestLogTest, PassLines)
{
    log.onPassStart(2);
    log.onPassEnd(2);
    EXPECT_EQ(log.written, "----- Pass #2\n");
}

TEST_F(CTestLogTest, IndexTextForms)
{
    const struct
    {
        Lumo::Index index;
        const char* text;
    } cases[] = {
        {Lumo::Index(), "0-0-0"},
        {makeIndex(5, 0, 24), "5-0-24"},
        {makeIndex(0x80000001u, 0x123456, 49), "-2147483647-1193046-49"},
        {makeIndex(1, 0, 255), "1-0-255"},
    };
    for (const auto& c : cases) {
        std::string text = "old";
        log.indexToString(c.index, text);
        EXPECT_EQ(text, c.text);
        std::string appended = "at ";
        log.addIndexToString(c.index, appended);
        EXPECT_EQ(appended, std::string("at ") + c.text);
    }
}

TEST_F(CTestLogTest, WritesToItsStreamAndDiscardsWithoutOne)
{
    char* buffer = nullptr;
    size_t size = 0;
    FILE* stream = open_memstream(&buffer, &size);
    ASSERT_NE(stream, nullptr);
    {
        CTestLog streamLog(stream, false);
        streamLog.logError(&test, "e");
        streamLog.logMsg(DIC_ERROR, &test, CDICErrors::T1_NODESIGN);
    }
    std::fclose(stream);
    EXPECT_EQ(std::string(buffer, size), "ERROR: Net class name unique\te\nERROR 102: No NorvDesign in database!\n");
    std::free(buffer);

    CTestLog silent(nullptr, false);
    silent.setLogLevel(2);
    silent.logError(&test, "e");
    silent.logMsg(DIC_ERROR, &test, CDICErrors::T1_NODESIGN);
    silent.onTestEnd("x", FAILED, 1);
    CFixStatus status;
    silent.logFixStatus(status);
    EXPECT_EQ(silent.getLogLevel(), 2);
}

} // namespace
