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
    static const char* const kMonths[] = {"January", "February", "March",     "April",
                                          "May",     "June",     "July",      "August",
                                          "September", "October", "November", "December"};
    int month = date.tm_mon >= 0 && date.tm_mon < 12 ? date.tm_mon : 0;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, twoDigitDay ? "%s %02d %d" : "%s %d %d", kMonths[month],
                  date.tm_mday, date.tm_year + 1900);
    return buffer;
}

std::string TodayRecordDate(bool twoDigitDay) {
    std::tm date{};
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch && *epoch) {
        std::time_t when = static_cast<std::time_t>(std::strtoll(epoch, nullptr, 10));
        ToUtc(when, date);
    } else {
        std::time_t now = std::time(nullptr);
        ToLocal(now, date);
    }
    return FormatRecordDate(date, twoDigitDay);
}

} // namespace tamblin
