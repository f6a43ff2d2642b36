// Reading index files of formats 0, 1 and 2.
#include "index/FieldTokenizer.h"
#include "index/IndexFile.h"
#include "index/ParseError.h"
#include "index/TextUtils.h"
#include "index/UrlUtils.h"

#include <climits>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace tamblin {

namespace {

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

// The id of a "&" reference: the leading digits, saturated rather than wrapped.
int ReferenceId(std::string_view digits) {
    long long value = 0;
    for (char c : digits) {
        value = value * 10 + (c - '0');
        if (value > INT_MAX) {
            return INT_MAX;
        }
    }
    return static_cast<int>(value);
}

} // namespace

void IndexFile::ResetForLoad(const std::string& path) {
    m_fileName = path;
    m_description.clear();
    m_dateText.clear();
    m_root.ClearContents();
    m_holding.ClearContents();
    m_otherKeywords.ClearContents();
    m_baseUrls.clear();
    m_defaultBaseUrlCount = 0;
    m_currentBaseUrl = nullptr;
    m_badLines.clear();
}

int IndexFile::Load(const std::string& path) {
    ResetForLoad(path);
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        return 0;
    }
    m_indexed = true;
    m_entryIds.clear();
    m_baseUrlIds.clear();
    m_entryIds.emplace(0, LoadedEntry{&m_root, true});

    std::string_view rest(bytes);
    bool first = true;
    while (!rest.empty()) {
        size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        // Lines may end in CR LF or in LF alone.
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (!line.empty() && !ParseLine(line, first)) {
            m_badLines.emplace_back(line);
        }
        first = false;
    }
    m_fileSize = static_cast<long long>(bytes.size());

    for (auto& child : m_holding.m_children) {
        m_root.AppendChild(std::move(child));
    }
    m_holding.m_children.clear();
    m_indexed = false;
    m_entryIds.clear();
    m_baseUrlIds.clear();
    return 1;
}

int IndexFile::ParseLine(std::string_view line, bool first) {
    FieldTokenizer fields(line, ";", true);
    try {
        if (!fields.HasMoreFields()) {
            return 1;
        }
        std::string type = fields.NextField();
        if (type.empty()) {
            return 1;
        }
        if (first && type.compare(0, 2, "XO") == 0) {
            type.erase(0, 2);
        }
        switch (ParseInteger(type)) {
        case 0:
            return first && ParseHeader(fields);
        case 1:
            if (m_formatMajor == 2) {
                m_description = fields.NextField();
                m_dateText = fields.NextField();
                return 1;
            }
            return ParseOldEntry(fields);
        case 2:
            return ParseOldKeyword(fields);
        case 3:
            return ParseBaseUrl(fields);
        case 5:
            return ParseEntry(fields);
        case 6:
            return ParsePageTip(fields);
        case 7:
            return ParseKeyword(fields);
        default:
            return 0;
        }
    } catch (const ParseError&) {
        return 0;
    }
}

bool IndexFile::ParseHeader(FieldTokenizer& fields) {
    m_formatMajor = ParseInteger(fields.NextField());
    switch (m_formatMajor) {
    case 0:
        m_dateText = fields.NextField();
        m_description = "No description";
        break;
    case 1:
        m_formatMinor = ParseInteger(fields.NextField());
        m_description = fields.NextField();
        m_dateText = fields.NextField();
        break;
    case 2:
        m_formatMinor = ParseInteger(fields.NextField());
        m_coding = ParseInteger(fields.NextField());
        if (m_coding != 1) {
            m_formatMajor = -1;
            return false;
        }
        return true;
    default:
        m_formatMajor = -1;
        return false;
    }
    // Formats 0 and 1 start with one unnamed base URL that applies until a record 3.
    m_currentBaseUrl = &AppendBaseUrl(std::make_unique<BaseUrl>(m_defaultBaseUrlCount + 1, "", "", 0));
    ++m_defaultBaseUrlCount;
    return true;
}

IndexEntry* IndexFile::FindParent(int parentId) {
    if (parentId == 0) {
        return &m_root;
    }
    if (parentId < 0) {
        return nullptr;
    }
    if (m_indexed) {
        auto it = m_entryIds.find(parentId);
        return it != m_entryIds.end() && it->second.inRootTree ? it->second.entry : nullptr;
    }
    return m_root.FindById(parentId);
}

void IndexFile::PlaceEntry(std::unique_ptr<IndexEntry> entry, IndexEntry* parent) {
    IndexEntry* placed = entry.get();
    (parent ? *parent : m_holding).AppendChild(std::move(entry));
    if (m_indexed) {
        m_entryIds.emplace(placed->m_id, LoadedEntry{placed, parent != nullptr});
    }
}

bool IndexFile::ParseOldEntry(FieldTokenizer& fields) {
    int id = ParseInteger(fields.NextField());
    if (FindEntryById(id)) {
        return false;
    }
    std::string url = fields.NextField();
    std::string title = fields.NextField();
    if (title.empty()) {
        return false;
    }
    IndexEntry* parent = nullptr;
    std::string icon;
    if (VersionAtLeast(1, 2) && fields.HasMoreFields()) {
        parent = FindParent(ParseInteger(fields.NextField()));
        if (fields.HasMoreFields()) {
            icon = fields.NextField();
        }
    }
    BaseUrl* base = IsAbsoluteUrl(url) ? nullptr : m_currentBaseUrl;
    PlaceEntry(std::make_unique<IndexEntry>(id, base, std::move(url), std::move(title), "", 0,
                                            std::move(icon), parent != nullptr),
               parent);
    return true;
}

bool IndexFile::ParseEntry(FieldTokenizer& fields) {
    int id = ParseInteger(fields.NextField());
    if (FindEntryById(id)) {
        return false;
    }
    std::string baseField = fields.NextField();
    BaseUrl* base = nullptr;
    if (!baseField.empty()) {
        base = FindBaseUrlById(ParseInteger(baseField));
        if (!base) {
            return false;
        }
    }
    std::string url = fields.NextField();
    std::string title = fields.NextField();
    if (title.empty()) {
        return false;
    }
    std::string target;
    IndexEntry* parent = nullptr;
    std::string icon;
    if (fields.HasMoreFields()) {
        target = fields.NextField();
    }
    if (fields.HasMoreFields()) {
        parent = FindParent(ParseInteger(fields.NextField()));
    }
    if (fields.HasMoreFields()) {
        icon = fields.NextField();
    }
    int ownTarget = target.empty() ? 0 : 1;
    PlaceEntry(std::make_unique<IndexEntry>(id, base, std::move(url), std::move(title),
                                            std::move(target), ownTarget, std::move(icon),
                                            parent != nullptr),
               parent);
    return true;
}

bool IndexFile::ParseBaseUrl(FieldTokenizer& fields) {
    if (m_formatMajor == 2) {
        int id = ParseInteger(fields.NextField());
        if (id <= 0) {
            return false;
        }
        std::string url = EnsureTrailingSlash(fields.NextField());
        std::string target = fields.HasMoreFields() ? fields.NextField() : std::string();
        AppendBaseUrl(std::make_unique<BaseUrl>(id, std::move(url), std::move(target), 0));
        return true;
    }
    if (m_formatMajor == 1) {
        std::string url = EnsureTrailingSlash(fields.NextField());
        m_currentBaseUrl =
            &AppendBaseUrl(std::make_unique<BaseUrl>(m_defaultBaseUrlCount + 1, std::move(url), "", 0));
        ++m_defaultBaseUrlCount;
        return true;
    }
    return false;
}

bool IndexFile::ParsePageTip(FieldTokenizer& fields) {
    int id = ParseInteger(fields.NextField());
    if (id == 0) {
        m_tipText = fields.NextField();
        return true;
    }
    IndexEntry* entry = FindEntryById(id);
    if (!entry) {
        return false;
    }
    entry->m_pageTip = fields.NextField();
    return true;
}

bool IndexFile::ParseKeyword(FieldTokenizer& fields) {
    std::string phrase = fields.NextField();
    std::string url = fields.NextField();
    std::string title = fields.NextField();
    if (phrase.empty() || title.empty()) {
        return false;
    }
    std::string target = fields.HasMoreFields() ? fields.NextField() : std::string();
    IndexEntry* byPhrase = ResolveReference(phrase, ReferenceMode::Title, nullptr);
    IndexEntry* byUrl = ResolveReference(url, ReferenceMode::Url, nullptr);
    IndexEntry* byTitle = ResolveReference(title, ReferenceMode::Title, nullptr);
    IndexEntry* owner = nullptr;
    if (byPhrase) {
        bool differs = (byUrl && byUrl != byPhrase) || (byTitle && byTitle != byPhrase);
        owner = differs ? nullptr : byPhrase;
    } else if (byUrl) {
        owner = byTitle && byTitle != byUrl ? nullptr : byUrl;
    } else {
        owner = byTitle;
    }
    StoreKeyword(owner, std::move(phrase), std::move(url), std::move(title), std::move(target));
    return true;
}

bool IndexFile::ParseOldKeyword(FieldTokenizer& fields) {
    std::string phrase = fields.NextField();
    std::string title = fields.NextField();
    std::string url = fields.NextField();
    if (phrase.empty() || title.empty()) {
        return false;
    }
    std::string target;
    if (VersionAtLeast(1, 2) && fields.HasMoreFields()) {
        target = fields.NextField();
    }
    IndexEntry* byUrl = ResolveReference(url, ReferenceMode::Url, m_currentBaseUrl);
    IndexEntry* byTitle = ResolveReference(title, ReferenceMode::Title, nullptr);
    IndexEntry* owner = byUrl ? (byTitle && byTitle != byUrl ? nullptr : byUrl) : byTitle;
    StoreKeyword(owner, std::move(phrase), std::move(url), std::move(title), std::move(target));
    return true;
}

// A keyword stays with its owner only when its URL continues the owner's full URL;
// otherwise the anchor left after stripping would point somewhere else, so it is kept,
// unstripped, among the Other Index keywords.
void IndexFile::StoreKeyword(IndexEntry* owner, std::string phrase, std::string url,
                             std::string title, std::string target) {
    if (owner && !url.empty()) {
        std::string prefix = owner->FullUrl();
        if (url.compare(0, prefix.size(), prefix) == 0) {
            url.erase(0, prefix.size());
        } else {
            owner = nullptr;
        }
    }
    if (owner) {
        StripPrefix(title, owner->m_title);
    }
    IndexEntry& holder = owner ? *owner : m_otherKeywords;
    int ownTarget = target.empty() ? 0 : 1;
    holder.m_keywords.emplace_back(&holder, std::move(phrase), std::move(url), std::move(title),
                                   std::move(target), ownTarget);
}

IndexEntry* IndexFile::ResolveReference(std::string& text, ReferenceMode mode, const BaseUrl* base) {
    if (text.empty()) {
        return nullptr;
    }
    if (text.size() == 1 || text[0] != '&') {
        if (mode == ReferenceMode::Url && base && !IsAbsoluteUrl(text)) {
            text = base->m_url + text;
        }
        return nullptr;
    }
    text.erase(0, 1);
    size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
        ++digits;
    }
    if (digits == 0) {
        return nullptr;
    }
    IndexEntry* entry = FindEntryById(ReferenceId(std::string_view(text).substr(0, digits)));
    if (!entry) {
        return nullptr;
    }
    std::string rest = text.substr(digits);
    text = (mode == ReferenceMode::Title ? entry->m_title : entry->FullUrl()) + rest;
    return entry;
}

} // namespace tamblin
