#pragma once

#include <ctime>
#include <string>

namespace tamblin {

// "December 6 2026": English month, day without a leading zero, four-digit year.
std::string FormatRecordDate(const std::tm& date);
// Today's local date, or the UTC date of SOURCE_DATE_EPOCH when that is set, so that
// written files can be reproduced.
std::string TodayRecordDate();

} // namespace tamblin
