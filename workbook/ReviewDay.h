#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Calendar days as whole numbers counted from 1970-01-01 (day 0), the unit of the review schedule.
namespace ReviewDay {

// The day number of a date in the proleptic Gregorian calendar.
int64_t lngFromDate(int32_t year, int32_t month, int32_t day);
// The day number of a text "YYYY-MM-DD" (years 1 to 9999); nothing for any other text or a date
// that does not exist.
std::optional<int64_t> parse(const std::string& text);
// The text "YYYY-MM-DD" of a day number; days outside the years 1 to 9999 show as the nearest.
std::string strText(int64_t day);
// The day number of a moment in seconds since 1970-01-01 UTC, in the local time zone.
int64_t lngLocalDayOf(int64_t secondsSinceEpoch);
// The first second of the day in the local time zone, in seconds since 1970-01-01 UTC.
int64_t lngLocalStartOf(int64_t day);
// The text "YYYY-MM-DD HH:MM:SS" of a moment in the local time zone.
std::string strLocalTimeText(int64_t secondsSinceEpoch);
// Today in the local time zone.
int64_t lngToday();

} // namespace ReviewDay
