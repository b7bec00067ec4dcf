// Time helpers of the utility library: current time, local and UTC calendar fields, and printed
// time stamps. Time values are seconds since 1970-01-01 00:00 UTC. Apart from the one-argument
// localTime (which returns a per-thread structure) nothing keeps state; all are thread-safe.
#pragma once

#include <ctime>
#include <string>

namespace LumoUtils {

// Reads the time-zone settings of the environment; returns 1.
int initTimeZone();
// The current time, also stored in *out when out is not null.
std::time_t currentTime(std::time_t* out);

// Local calendar fields of *t in a structure owned by the calling thread (overwritten by its next
// call); null when t is null or the time cannot be converted.
std::tm* localTime(const std::time_t* t);
// The same fields copied into out; returns &out, or null (out untouched) on failure.
std::tm* localTime(const std::time_t* t, std::tm& out);

// UTC calendar fields of *t (tm_isdst 0); returns out, or null when t or out is null or the year
// does not fit in tm_year.
std::tm* secondsToCalendar(const std::time_t* t, std::tm* out);

// Long date and time, e.g. "Tuesday, February 29, 2000, 00:00:00"; empty for a null t.
std::string formatTime(const std::tm* t);
std::string formatLocalTime(const std::time_t* t);

// Local time as "YYYY-MM-DD hh.mm.ss" (e.g. "2011-06-07 14.05.09"); empty when not convertible.
std::string timeStamp(const std::time_t* t);
std::string timeStamp(std::time_t t);
std::string currentTimeStamp();

} // namespace LumoUtils
