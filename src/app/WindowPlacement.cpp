#include "app/WindowPlacement.h"

#include "index/FieldTokenizer.h"
#include "index/ParseError.h"
#include "index/TextUtils.h"

#include <cstdio>

namespace tamblin {

bool ParseWindowPosition(const std::string& text, WindowPlacement& placement) {
    int values[4] = {};
    try {
        FieldTokenizer fields(text, " ,;", false);
        for (int& value : values) {
            // The separators may repeat ("10, 20"): empty fields between them are skipped.
            std::string field;
            while (field.empty()) {
                field = fields.NextField();
            }
            value = ParseInteger(field);
        }
    } catch (const ParseError&) {
        return false;
    }
    placement.left = values[0];
    placement.right = values[1];
    placement.top = values[2];
    placement.bottom = values[3];
    return true;
}

std::string FormatWindowPosition(const WindowPlacement& placement) {
    char buffer[80];
    std::snprintf(buffer, sizeof buffer, "%d,%d,%d,%d", placement.left, placement.right,
                  placement.top, placement.bottom);
    return buffer;
}

} // namespace tamblin
