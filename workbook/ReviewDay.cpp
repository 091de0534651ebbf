#include "workbook/ReviewDay.h"

#include <cstdio>
#include <ctime>
#include <string>

namespace ReviewDay {

namespace {

constexpr int64_t kFirstDay = -719162; // 0001-01-01
constexpr int64_t kLastDay = 2932896;  // 9999-12-31

bool isLeap(int64_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int32_t daysInMonth(int64_t year, int32_t month) {
    static constexpr int32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeap(year) ? 29 : kDays[month - 1];
}

} // namespace

// Days from civil date, counting eras of 400 years so that no branch depends on the century.
int64_t lngFromDate(int32_t year, int32_t month, int32_t day) {
    const int64_t y = static_cast<int64_t>(year) - (month <= 2 ? 1 : 0);
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yearOfEra = y - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

std::optional<int64_t> parse(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    int32_t parts[3] = {0, 0, 0};
    const size_t starts[3] = {0, 5, 8};
    const size_t lengths[3] = {4, 2, 2};
    for (size_t part = 0; part < 3; ++part) {
        for (size_t i = 0; i < lengths[part]; ++i) {
            const char c = text[starts[part] + i];
            if (c < '0' || c > '9') return std::nullopt;
            parts[part] = parts[part] * 10 + (c - '0');
        }
    }
    const auto [year, month, day] = parts;
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month)) {
        return std::nullopt;
    }
    return lngFromDate(year, month, day);
}

std::string strText(int64_t day) {
    // Stored days may be anything: show them within the years 1 to 9999.
    day = day < kFirstDay ? kFirstDay : (day > kLastDay ? kLastDay : day);
    const int64_t z = day + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t dayOfEra = z - era * 146097;
    const int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t mp = (5 * dayOfYear + 2) / 153;
    const int64_t dayOfMonth = dayOfYear - (153 * mp + 2) / 5 + 1;
    const int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const int64_t year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", static_cast<int>(year % 10000),
                  static_cast<int>(month % 100), static_cast<int>(dayOfMonth % 100));
    return text;
}

int64_t lngLocalDayOf(int64_t secondsSinceEpoch) {
    const auto moment = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm local{};
    if (localtime_r(&moment, &local) == nullptr) {
        return secondsSinceEpoch >= 0 ? secondsSinceEpoch / 86400
                                      : -((-secondsSinceEpoch + 86399) / 86400);
    }
    return lngFromDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

int64_t lngLocalStartOf(int64_t day) {
    const std::string text = strText(day);
    std::tm local{};
    local.tm_year = std::stoi(text.substr(0, 4)) - 1900;
    local.tm_mon = std::stoi(text.substr(5, 2)) - 1;
    local.tm_mday = std::stoi(text.substr(8, 2));
    local.tm_isdst = -1;
    const int64_t wanted = lngFromDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    const std::time_t moment = std::mktime(&local);
    if (moment == static_cast<std::time_t>(-1)) return day * 86400;
    // Where clocks go back from 01:00 to 00:00 midnight comes twice, and mktime may pick the
    // second as it guesses from its previous call: while the second before still reads as the
    // day, the day began that much earlier.
    int64_t start = moment;
    for (int step = 0; step < 4; ++step) {
        const auto before = static_cast<std::time_t>(start - 1);
        std::tm earlier{};
        if (localtime_r(&before, &earlier) == nullptr ||
            lngFromDate(earlier.tm_year + 1900, earlier.tm_mon + 1, earlier.tm_mday) != wanted)
            break;
        start -= 1 + earlier.tm_hour * 3600 + earlier.tm_min * 60 + earlier.tm_sec;
    }
    return start;
}

std::string strLocalTimeText(int64_t secondsSinceEpoch) {
    const auto moment = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm local{};
    char text[64] = "";
    if (localtime_r(&moment, &local) == nullptr ||
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local) == 0) {
        return strText(secondsSinceEpoch / 86400) + " 00:00:00";
    }
    return text;
}

int64_t lngToday() {
    return lngLocalDayOf(static_cast<int64_t>(std::time(nullptr)));
}

} // namespace ReviewDay
