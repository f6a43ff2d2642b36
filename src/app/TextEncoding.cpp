#include "app/TextEncoding.h"

#include "index/IndexFile.h"
#include "index/TextCodec.h"
#include "index/TextUtils.h"

#include <vector>

namespace tamblin {

namespace {

bool EntryTextsAreUtf8(const IndexEntry& entry) {
    for (const std::string* text :
         {&entry.m_url, &entry.m_title, &entry.m_targetFrame, &entry.m_iconUrl, &entry.m_pageTip}) {
        if (!IsValidUtf8(*text, Utf8Rule::Shape)) {
            return false;
        }
    }
    for (const IndexKeyword& keyword : entry.m_keywords) {
        for (const std::string* text : {&keyword.m_phrase, &keyword.m_anchor, &keyword.m_extraTitle,
                                        &keyword.m_targetFrame}) {
            if (!IsValidUtf8(*text, Utf8Rule::Shape)) {
                return false;
            }
        }
    }
    return true;
}

// Walks with an explicit stack: index trees may be deeper than the call stack allows.
bool TreeTextsAreUtf8(const IndexEntry& top) {
    std::vector<const IndexEntry*> pending = {&top};
    while (!pending.empty()) {
        const IndexEntry* entry = pending.back();
        pending.pop_back();
        if (!EntryTextsAreUtf8(*entry)) {
            return false;
        }
        for (const auto& child : entry->m_children) {
            pending.push_back(child.get());
        }
    }
    return true;
}

} // namespace

std::string Utf8ToWindows1252(std::string_view utf8, bool* exact) {
    return Utf8ToWindows1252(utf8, BrokenUtf8::ReadShape, exact);
}

TextEncoding DetectEncoding(const IndexFile& index) {
    bool utf8 = IsValidUtf8(index.m_description, Utf8Rule::Shape) &&
                IsValidUtf8(index.m_tipText, Utf8Rule::Shape);
    for (const auto& baseUrl : index.m_baseUrls) {
        utf8 = utf8 && IsValidUtf8(baseUrl->m_url, Utf8Rule::Shape) &&
               IsValidUtf8(baseUrl->m_targetFrame, Utf8Rule::Shape);
    }
    utf8 = utf8 && TreeTextsAreUtf8(index.m_root) && TreeTextsAreUtf8(index.m_otherKeywords) &&
           TreeTextsAreUtf8(index.m_holding);
    return utf8 ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

} // namespace tamblin
