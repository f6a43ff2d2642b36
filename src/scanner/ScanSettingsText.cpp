#include "scanner/ScanSettingsText.h"

#include <cstdlib>

namespace tamblin {

namespace {

std::string Escape(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '%':
            out += "%25";
            break;
        case ';':
            out += "%3B";
            break;
        case '\r':
            out += "%0D";
            break;
        case '\n':
            out += "%0A";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string Unescape(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            std::string_view code = text.substr(i + 1, 2);
            char c = code == "25"   ? '%'
                     : code == "3B" ? ';'
                     : code == "0D" ? '\r'
                     : code == "0A" ? '\n'
                                    : 0;
            if (c != 0) {
                out += c;
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

struct Flag {
    std::string_view name;
    bool ScanSettings::*field;
};

constexpr Flag kFlags[] = {
    {"url", &ScanSettings::fromUrl},
    {"case", &ScanSettings::caseSignificant},
    {"blank", &ScanSettings::ignoreBlankAnchors},
    {"untitled", &ScanSettings::noTitleIgnorePage},
    {"offsite", &ScanSettings::addOffSiteEntries},
    {"all", &ScanSettings::parseAll},
    {"anchors", &ScanSettings::anchorsAsKeywords},
    {"text", &ScanSettings::browserText},
    {"headings", &ScanSettings::headingKeywords},
    {"bytype", &ScanSettings::pagesByType},
    {"redirects", &ScanSettings::followRedirects},
    {"shorten", &ScanSettings::shortenTitles},
    {"script", &ScanSettings::skipScriptStyle},
    {"polite", &ScanSettings::polite},
    {"tidy", &ScanSettings::tidyUrls},
    {"common", &ScanSettings::skipCommonHeadings},
    {"titlerest", &ScanSettings::skipTitleRepeats},
    {"onecase", &ScanSettings::oneCasePerPage},
    {"files", &ScanSettings::checkFileLinks},
    {"markers", &ScanSettings::skipMarkers},
    {"language", &ScanSettings::startLanguageOnly},
    {"quotes", &ScanSettings::singleQuotes},
    {"fulltext", &ScanSettings::fullText},
};

} // namespace

std::string ScanSettingsText::Encode(const ScanSettings& settings) {
    std::string out = "start=" + Escape(settings.start);
    for (const Flag& flag : kFlags) {
        out += ";";
        out += flag.name;
        out += settings.*flag.field ? "=1" : "=0";
    }
    out += ";skip=" + Escape(settings.skipTargetFrame);
    out += ";delay=" + std::to_string(settings.delayMs);
    return out;
}

bool ScanSettingsText::Decode(std::string_view text, ScanSettings& settings) {
    bool haveStart = false;
    while (!text.empty()) {
        size_t end = text.find(';');
        std::string_view field = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        size_t equals = field.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        std::string_view name = field.substr(0, equals);
        std::string value = Unescape(field.substr(equals + 1));
        if (name == "start") {
            settings.start = value;
            haveStart = !value.empty();
        } else if (name == "skip") {
            settings.skipTargetFrame = value;
        } else if (name == "delay") {
            long delay = std::strtol(value.c_str(), nullptr, 10);
            settings.delayMs = delay < 0 ? 0 : delay > 60000 ? 60000 : static_cast<int>(delay);
        }
        for (const Flag& flag : kFlags) {
            if (name == flag.name && (value == "0" || value == "1")) {
                settings.*flag.field = value == "1";
            }
        }
    }
    return haveStart;
}

} // namespace tamblin
