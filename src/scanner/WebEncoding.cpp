#include "scanner/WebEncoding.h"

#include "scanner/WebEncodingTables.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace tamblin {

std::optional<WebEncoding::Kind> WebEncoding::FromLabel(std::string_view label) {
    constexpr std::string_view kWhite = "\t\n\f\r ";
    size_t begin = label.find_first_not_of(kWhite);
    if (begin == std::string_view::npos) {
        return std::nullopt;
    }
    label = label.substr(begin, label.find_last_not_of(kWhite) - begin + 1);
    std::string lower(label);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c + 32);
        }
    }
    const webencoding::Label* end = webencoding::kLabels + webencoding::kLabelCount;
    const webencoding::Label* found =
        std::lower_bound(webencoding::kLabels, end, lower,
                         [](const webencoding::Label& row, const std::string& key) {
                             return std::strcmp(row.label, key.c_str()) < 0;
                         });
    if (found == end || lower != found->label) {
        return std::nullopt;
    }
    return static_cast<Kind>(found->kind);
}

const char* WebEncoding::Name(Kind kind) {
    return webencoding::kNames[kind];
}

} // namespace tamblin
