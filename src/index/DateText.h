#pragma once

#include <ctime>
#include <string>

namespace tamblin {

// "December 6 2026": English month, day without a leading zero, four-digit year. With
// twoDigitDay the day keeps a leading zero ("December 06 2026"), as the scanner writes it.
std::string FormatRecordDate(const std::tm& date, bool twoDigitDay = false);
// Today's local date, or the UTC date of SOURCE_DATE_EPOCH when that is set, so that
// written files can be reproduced.
std::string TodayRecordDate(bool twoDigitDay = false);

// The C library's ctime layout without its newline: "Mon Dec  7 23:08:49 2026".
std::string FormatCtimeText(const std::tm& date);
// The local time now in that layout, or the UTC time of SOURCE_DATE_EPOCH when that is set.
std::string NowCtimeText();

} // namespace tamblin
