#include "searchpage/FormatIndexParameter.h"

#include "index/UrlUtils.h"

namespace tamblin {

namespace {

std::string OptionWords(const IndexParameter& entry) {
    std::string words;
    if (entry.noContents) {
        // Without a contents tree the other tree options mean nothing to the applet.
        words = "nocontents ";
    } else {
        if (entry.indexSelectedInitially) {
            words += "index ";
        }
        if (entry.sort) {
            words += "sort ";
        }
        if (entry.expanded) {
            words += "expanded ";
        }
    }
    if (entry.noIndex) {
        words += "noindex";
    }
    while (!words.empty() && (words.back() == ' ' || words.back() == '\t')) {
        words.pop_back();
    }
    return words;
}

} // namespace

std::string FormatIndexParameter(const IndexParameter& entry, char separator) {
    std::string text = SplitPath(entry.indexFile, separator).fileName;
    if (!entry.indexEncoding.empty()) {
        text += ";" + entry.indexEncoding;
    }
    text += ",";
    if (!entry.languageFile.empty()) {
        text += SplitPath(entry.languageFile, separator).fileName;
        if (!entry.languageEncoding.empty()) {
            text += ";" + entry.languageEncoding;
        }
    }
    text += "," + OptionWords(entry);
    text += "," + entry.selectUrl;
    text += "," + entry.initialQuery;
    text += "," + entry.languageCode + entry.countryCode;
    return text;
}

} // namespace tamblin
