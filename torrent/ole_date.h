#pragma once
// Calendar times as OLE Automation dates: days since 1899-12-30 00:00:00, with the time
// of day as the fraction.

#include <cstdint>
#include <ctime>
#include <optional>

namespace miravue {

double OleDateFromCalendar(int year, int month, int day, int hour, int minute, int second);

// The local calendar time (the machine's time zone, daylight saving included) of a
// number of seconds since 1970-01-01 00:00:00 UTC; none when the conversion has no result.
std::optional<std::tm> LocalCalendarTime(std::int64_t seconds_since_epoch);

}  // namespace miravue
