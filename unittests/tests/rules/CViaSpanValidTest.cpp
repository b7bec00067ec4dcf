#include "tests/rules/CViaSpanValid.h"

#include "RuleTestKit.h"

#include <gtest/gtest.h>

using namespace ruletest;
using E = CDICErrors;

namespace
{

class CViaSpanValidTest : public ::testing::Test, public World<CViaSpanValid>
{
};

} // namespace

TEST_F(CViaSpanValidTest, NamesItself)
{
    EXPECT_EQ(test.getTestName(), "Via span valid");
    EXPECT_EQ(test.getTestShortName(), "ViaSpanValid");
    EXPECT_EQ(test.getTestDescription(), "Test checks if via span is valid");
}

TEST_F(CViaSpanValidTest, ReadableViaSpansPass)
{
    EXPECT_EQ(RunTest(test, *d.session).status, OK);  // no via span at all

    const Index span = d.b.Add(Kind::ViaSpan, d.design, "VS1");
    d.b.Link(span, Field::allowedVias, d.b.Via(d.design, "V1"));
    d.b.Add(Kind::ViaSpan, d.design, "EMPTY");  // no allowed via: still fine
    CViaSpanValid again;
    const Outcome out = RunTest(again, *d.session);
    EXPECT_TRUE(out.findings.empty());
    EXPECT_EQ(out.status, OK);
}

// Every failure of one span is reported and the walk goes on; a failed name and index are empty
// in the later findings and never the previous span's.
TEST_F(CViaSpanValidTest, FailuresOfOneSpanAreAllReported)
{
    const Index first = d.b.Add(Kind::ViaSpan, d.design, "VS1");
    const Index broken = d.b.Add(Kind::ViaSpan, d.design, "VS2");
    const Index last = d.b.Add(Kind::ViaSpan, d.design, "VS3");
    d.b.Fail(broken, "GetName");
    d.b.Fail(broken, "GetIndex");
    d.b.Fail(broken, "GetIterAllowedVias");
    d.b.Fail(last, "GetIterAllowedVias");
    const Outcome out = RunTest(test, *d.session);
    EXPECT_EQ(out.findings, (std::vector<Finding>{F(E::T57_VIASPAN_INVALIDNAME), F(E::T57_VIASPAN_INVALIDINDEX, {{Index(), ""}}),
                                                  F(E::T57_VIASPAN_NOALLOWEDVIAS, {{Index(), ""}, {Index(), ""}}),
                                                  F(E::T57_VIASPAN_NOALLOWEDVIAS, {{Index(), "VS3"}, {last, ""}})}));
    EXPECT_EQ(out.status, FAILED);
    EXPECT_EQ(LogLines(test).back(), "ERROR 5704: Can't get iterator over allowed vias for via span VS3");
    (void)first;
}

TEST_F(CViaSpanValidTest, FailedViaSpanQueryEndsTheRun)
{
    d.b.Fail(d.b.Add(Kind::ViaSpan, d.design, "VS1"), "GetIterAllowedVias");
    const Outcome out = RunTest(test, *d.session, "", [&] { d.faults().FailOn(d.design, "GetIterViaSpans", 1); });
    EXPECT_EQ(out.findings, std::vector<Finding>{F(E::T57_VIASPAN_INVALIDITERATOR)});
    EXPECT_EQ(out.status, FAILED);
}

TEST_F(CViaSpanValidTest, QueuedFindingCarriesTheSpanIndexSecond)
{
    const Index span = d.b.Add(Kind::ViaSpan, d.design, "VS1");
    d.b.Fail(span, "GetIterAllowedVias");
    EXPECT_EQ(RunQueued(test, *d.session), (std::vector<Finding>{F(E::T57_VIASPAN_NOALLOWEDVIAS, {{Index(), "VS1"}, {span, ""}})}));
}
