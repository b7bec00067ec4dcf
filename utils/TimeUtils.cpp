#include "utils/TimeUtils.h"

#include <climits>
#include <clocale>
#include <cstdio>
#include <locale.h>

namespace LumoUtils {

namespace {

const int kSecondsPerDay = 86400;
const long long kDaysPer400Years = 146097;
const int kMonthDays[2][12] = {
    {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
    {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
};

bool isLeapYear(long long year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// The C locale, so that day and month names do not depend on the process's locale.
locale_t cLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

} // namespace

int initTimeZone()
{
    tzset();
    return 1;
}

std::time_t currentTime(std::time_t* out)
{
    return std::time(out);
}

std::tm* localTime(const std::time_t* t)
{
    thread_local std::tm fields;
    return localTime(t, fields);
}

std::tm* localTime(const std::time_t* t, std::tm& out)
{
    std::tm fields{};
    if (!t || !localtime_r(t, &fields))
        return nullptr;
    out = fields;
    return &out;
}

std::tm* secondsToCalendar(const std::time_t* t, std::tm* out)
{
    if (!t || !out)
        return nullptr;
    // Floor division, so that times before 1970 count back from the previous day.
    long long day = static_cast<long long>(*t) / kSecondsPerDay;
    long long rest = static_cast<long long>(*t) % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --day;
    }
    std::tm fields{};
    fields.tm_sec = static_cast<int>(rest % 60);
    fields.tm_min = static_cast<int>(rest % 3600 / 60);
    fields.tm_hour = static_cast<int>(rest / 3600);
    fields.tm_wday = static_cast<int>(((day + 4) % 7 + 7) % 7); // 1970-01-01 was a Thursday

    // Whole 400-year cycles first, so that far-off times need no long walk.
    long long year = 1970 + 400 * (day / kDaysPer400Years);
    day %= kDaysPer400Years;
    if (day < 0) {
        day += kDaysPer400Years;
        year -= 400;
    }
    for (int length = isLeapYear(year) ? 366 : 365; day >= length; length = isLeapYear(year) ? 366 : 365) {
        day -= length;
        ++year;
    }
    if (year - 1900 > INT_MAX || year - 1900 < INT_MIN)
        return nullptr;
    fields.tm_year = static_cast<int>(year - 1900);
    fields.tm_yday = static_cast<int>(day);
    const int* months = kMonthDays[isLeapYear(year) ? 1 : 0];
    int month = 0;
    while (day >= months[month]) {
        day -= months[month];
        ++month;
    }
    fields.tm_mon = month;
    fields.tm_mday = static_cast<int>(day) + 1;
    fields.tm_isdst = 0;
    *out = fields;
    return out;
}

std::string formatTime(const std::tm* t)
{
    if (!t)
        return std::string();
    char buffer[256];
    const std::size_t length = strftime_l(buffer, sizeof buffer, "%A, %B %-d, %Y, %H:%M:%S", t, cLocale());
    return std::string(buffer, length);
}

std::string formatLocalTime(const std::time_t* t)
{
    std::tm fields{};
    return localTime(t, fields) ? formatTime(&fields) : std::string();
}

std::string timeStamp(const std::time_t* t)
{
    std::tm fields{};
    if (!localTime(t, fields))
        return std::string();
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d.%02d.%02d", fields.tm_year + 1900, fields.tm_mon + 1,
                  fields.tm_mday, fields.tm_hour, fields.tm_min, fields.tm_sec);
    return buffer;
}

std::string timeStamp(std::time_t t)
{
    return timeStamp(&t);
}

std::string currentTimeStamp()
{
    return timeStamp(std::time(nullptr));
}

} // namespace LumoUtils
