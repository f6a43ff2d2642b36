#include "contents/FormatText.h"

#include <cstdio>

namespace tamblin {

std::string FormatText(int major, int minor, int coding) {
    char buffer[64];
    if (major == -1) {
        return {};
    }
    if (major == 0) {
        return "0";
    }
    if (major == 1) {
        std::snprintf(buffer, sizeof buffer, "1.%d", minor);
    } else {
        std::snprintf(buffer, sizeof buffer, "%d.%d coding %d", major, minor, coding);
    }
    return buffer;
}

} // namespace tamblin
