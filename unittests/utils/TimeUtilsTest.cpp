#include "utils/TimeUtils.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using namespace LumoUtils;

// Runs a test in a fixed zone two hours east of UTC, restoring the process's zone afterwards.
class TimeUtilsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* tz = std::getenv("TZ");
        m_hadTz = tz != nullptr;
        if (m_hadTz)
            m_oldTz = tz;
        setenv("TZ", "XST-2", 1);
        initTimeZone();
    }
    void TearDown() override
    {
        if (m_hadTz)
            setenv("TZ", m_oldTz.c_str(), 1);
        else
            unsetenv("TZ");
        initTimeZone();
    }

private:
    bool m_hadTz = false;
    std::string m_oldTz;
};

const std::time_t kLeapDay2000 = 951782400; // 2000-02-29 00:00:00 UTC

TEST_F(TimeUtilsTest, SecondsToCalendarInUtc)
{
    struct Row {
        std::time_t t;
        int year, mon, mday, yday, wday, hour, min, sec;
    };
    const Row rows[] = {
        {0, 70, 0, 1, 0, 4, 0, 0, 0},
        {kLeapDay2000, 100, 1, 29, 59, 2, 0, 0, 0},
        {kLeapDay2000 + 86399, 100, 1, 29, 59, 2, 23, 59, 59},
        {978307199, 100, 11, 31, 365, 0, 23, 59, 59},   // 2000-12-31: leap year has day 365
        {4107456000, 200, 1, 28, 58, 0, 0, 0, 0},       // 2100-02-28: 2100 is no leap year
        {4107542400, 200, 2, 1, 59, 1, 0, 0, 0},        // so 2100-03-01 follows
        {-1, 69, 11, 31, 364, 3, 23, 59, 59},           // just before 1970
        {-2208988800LL, 0, 0, 1, 0, 1, 0, 0, 0},        // 1900-01-01, a Monday
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.t);
        std::tm out{};
        out.tm_isdst = 1;
        ASSERT_EQ(&out, secondsToCalendar(&row.t, &out));
        EXPECT_EQ(row.year, out.tm_year);
        EXPECT_EQ(row.mon, out.tm_mon);
        EXPECT_EQ(row.mday, out.tm_mday);
        EXPECT_EQ(row.yday, out.tm_yday);
        EXPECT_EQ(row.wday, out.tm_wday);
        EXPECT_EQ(row.hour, out.tm_hour);
        EXPECT_EQ(row.min, out.tm_min);
        EXPECT_EQ(row.sec, out.tm_sec);
        EXPECT_EQ(0, out.tm_isdst);
    }
}

TEST_F(TimeUtilsTest, SecondsToCalendarRejectsNullAndHugeTimes)
{
    std::tm out{};
    const std::time_t huge = static_cast<std::time_t>(1) << 62;
    EXPECT_EQ(nullptr, secondsToCalendar(nullptr, &out));
    EXPECT_EQ(nullptr, secondsToCalendar(&kLeapDay2000, nullptr));
    EXPECT_EQ(nullptr, secondsToCalendar(&huge, &out));
}

TEST_F(TimeUtilsTest, TimeStampIsLocalAndZeroPadded)
{
    EXPECT_EQ("2000-02-29 02.00.00", timeStamp(kLeapDay2000));
    const std::time_t early = 3 * 60 + 5; // 1970-01-01 00:03:05 UTC
    EXPECT_EQ("1970-01-01 02.03.05", timeStamp(&early));
    EXPECT_EQ("", timeStamp(nullptr));
}

TEST_F(TimeUtilsTest, CurrentTimeStampHasTheStampShape)
{
    const std::string stamp = currentTimeStamp();
    ASSERT_EQ(19u, stamp.size());
    for (std::size_t i : {4u, 7u})
        EXPECT_EQ('-', stamp[i]);
    EXPECT_EQ(' ', stamp[10]);
    for (std::size_t i : {13u, 16u})
        EXPECT_EQ('.', stamp[i]);
}

TEST_F(TimeUtilsTest, LocalTimeAppliesTheZone)
{
    std::tm out{};
    ASSERT_EQ(&out, localTime(&kLeapDay2000, out));
    EXPECT_EQ(2, out.tm_hour);
    EXPECT_EQ(29, out.tm_mday);
    const std::tm* shared = localTime(&kLeapDay2000);
    ASSERT_NE(nullptr, shared);
    EXPECT_EQ(2, shared->tm_hour);
    EXPECT_EQ(nullptr, localTime(nullptr));
}

TEST_F(TimeUtilsTest, FormatTimeWritesLongDateAndTime)
{
    std::tm fields{};
    ASSERT_NE(nullptr, secondsToCalendar(&kLeapDay2000, &fields));
    EXPECT_EQ("Tuesday, February 29, 2000, 00:00:00", formatTime(&fields));
    EXPECT_EQ("Tuesday, February 29, 2000, 02:00:00", formatLocalTime(&kLeapDay2000));
    EXPECT_EQ("", formatTime(nullptr));
}

TEST_F(TimeUtilsTest, CurrentTimeFillsItsArgument)
{
    std::time_t stored = 0;
    const std::time_t now = currentTime(&stored);
    EXPECT_EQ(now, stored);
    EXPECT_GT(now, kLeapDay2000);
}

} // namespace
