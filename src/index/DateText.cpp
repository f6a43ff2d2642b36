#include "index/DateText.h"

#include <cstdio>
#include <cstdlib>

namespace tamblin {

namespace {
void ToUtc(std::time_t when, std::tm& date) {
#ifdef _WIN32
    gmtime_s(&date, &when);
#else
    gmtime_r(&when, &date);
#endif
}
void ToLocal(std::time_t when, std::tm& date) {
#ifdef _WIN32
    localtime_s(&date, &when);
#else
    localtime_r(&when, &date);
#endif
}
} // namespace

std::string FormatRecordDate(const std::tm& date, bool twoDigitDay) {
    static const char* const kMonths[] = {"January",   "February", "March",    "April",
                                          "May",       "June",     "July",     "August",
                                          "September", "October",  "November", "December"};
    int month = date.tm_mon >= 0 && date.tm_mon < 12 ? date.tm_mon : 0;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, twoDigitDay ? "%s %02d %d" : "%s %d %d", kMonths[month],
                  date.tm_mday, date.tm_year + 1900);
    return buffer;
}

namespace {
std::tm Now() {
    std::tm date{};
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch && *epoch) {
        std::time_t when = static_cast<std::time_t>(std::strtoll(epoch, nullptr, 10));
        ToUtc(when, date);
    } else {
        std::time_t now = std::time(nullptr);
        ToLocal(now, date);
    }
    return date;
}
} // namespace

std::string TodayRecordDate(bool twoDigitDay) {
    return FormatRecordDate(Now(), twoDigitDay);
}

std::string FormatCtimeText(const std::tm& date) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    int day = date.tm_wday >= 0 && date.tm_wday < 7 ? date.tm_wday : 0;
    int month = date.tm_mon >= 0 && date.tm_mon < 12 ? date.tm_mon : 0;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s %s %2d %02d:%02d:%02d %d", kDays[day], kMonths[month],
                  date.tm_mday, date.tm_hour, date.tm_min, date.tm_sec, date.tm_year + 1900);
    return buffer;
}

std::string NowCtimeText() {
    return FormatCtimeText(Now());
}

} // namespace tamblin
