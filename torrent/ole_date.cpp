// OLE Automation dates and the local-time conversion behind a torrent's creation date.

#include "torrent/ole_date.h"

namespace miravue {

namespace {

// Days from 1970-01-01 to a proleptic Gregorian date (month 1..12).
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t year_of_era = year - era * 400;
    const std::int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t day_of_era =
        year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146097 + day_of_era - 719468;
}

}  // namespace

double OleDateFromCalendar(int year, int month, int day, int hour, int minute, int second) {
    // 1899-12-30 is day 0 of the OLE calendar.
    const std::int64_t days = DaysFromCivil(year, month, day) - DaysFromCivil(1899, 12, 30);
    return static_cast<double>(days) + (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
}

std::optional<std::tm> LocalCalendarTime(std::int64_t seconds_since_epoch) {
    const auto time = static_cast<std::time_t>(seconds_since_epoch);
    if (static_cast<std::int64_t>(time) != seconds_since_epoch) {
        return std::nullopt;
    }
    // std::localtime hands back a buffer shared by the process; torrents are read on one
    // thread only, and the result is copied out at once.
    const std::tm* local = std::localtime(&time);
    if (local == nullptr) {
        return std::nullopt;
    }
    return *local;
}

}  // namespace miravue
