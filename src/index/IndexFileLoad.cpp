// Reading index files of formats 0, 1 and 2.
#include "index/FieldTokenizer.h"
#include "index/IndexFile.h"
#include "index/ParseError.h"
#include "index/TextUtils.h"
#include "index/UrlUtils.h"

#include <climits>
#include <filesystem>
#include <fstream>
#include <vector>

namespace tamblin {

namespace {

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
    m_scanSource.clear();
    m_byteOrderMark = false;
    m_defaultBaseUrlCount = 0;
    m_currentBaseUrl = nullptr;
    m_badLines.clear();
    m_recordLines = 0;
    m_holdsNul = false;
}

int IndexFile::Load(const std::string& path) {
    ResetForLoad(path);
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) {
        return 0;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open()) {
        return 0;
    }
    BeginLoad(static_cast<long long>(std::filesystem::file_size(path, error)));
    // Read in blocks, so a large file is never held whole; a line split between two blocks
    // is put together in `pending`.
    std::vector<char> block(1 << 20);
    std::string pending;
    long long size = 0;
    bool first = true;
    while (file) {
        file.read(block.data(), static_cast<std::streamsize>(block.size()));
        std::string_view chunk(block.data(), static_cast<size_t>(file.gcount()));
        size += static_cast<long long>(chunk.size());
        if (chunk.find('\0') != std::string_view::npos) {
            m_holdsNul = true;
            if (m_stopAtNul) {
                pending.clear();
                break;
            }
        }
        size_t newline = chunk.find('\n');
        if (newline == std::string_view::npos) {
            pending.append(chunk);
            continue;
        }
        pending.append(chunk.substr(0, newline));
        ReadLine(pending, first);
        pending.clear();
        std::string_view rest = ReadLines(chunk.substr(newline + 1), first);
        pending.assign(rest);
    }
    if (!pending.empty()) {
        ReadLine(pending, first);
    }
    EndLoad(size);
    return 1;
}

LoadResult IndexFile::LoadIndex(const std::string& path) {
    m_stopAtNul = true;
    int loaded = Load(path);
    m_stopAtNul = false;
    if (!loaded) {
        return LoadResult::CannotOpen;
    }
    // A file of blank lines (or none) is an empty index; there is nothing in it to lose.
    bool noRecord = m_recordLines == 0 && !m_badLines.empty();
    return m_holdsNul || noRecord ? LoadResult::NotAnIndex : LoadResult::Opened;
}

void IndexFile::LoadBytes(std::string_view bytes, const std::string& path) {
    ResetForLoad(path);
    BeginLoad(static_cast<long long>(bytes.size()));
    bool first = true;
    std::string_view rest = ReadLines(bytes, first);
    if (!rest.empty()) {
        ReadLine(rest, first);
    }
    EndLoad(static_cast<long long>(bytes.size()));
}

void IndexFile::BeginLoad(long long expectedBytes) {
    m_indexed = true;
    m_entryIds.clear();
    m_baseUrlIds.clear();
    // A record is rarely shorter than this; reserving avoids rehashing a large file's ids.
    m_entryIds.reserve(static_cast<size_t>(expectedBytes / 48));
    m_entryIds.emplace(0, LoadedEntry{&m_root, true});
}

// Reads every complete line of `text`; returns what follows the last line end.
std::string_view IndexFile::ReadLines(std::string_view text, bool& first) {
    while (true) {
        size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            return text;
        }
        ReadLine(text.substr(0, end), first);
        text.remove_prefix(end + 1);
    }
}

void IndexFile::ReadLine(std::string_view line, bool& first) {
    // Lines may end in CR LF or in LF alone.
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    // Many editors begin a UTF-8 file with a byte-order mark; it is no part of the header.
    if (first && line.starts_with(kUtf8ByteOrderMark)) {
        line.remove_prefix(kUtf8ByteOrderMark.size());
        m_byteOrderMark = true;
    }
    if (!line.empty()) {
        if (!ParseLine(line, first)) {
            m_badLines.emplace_back(line);
        } else {
            size_t start = line.find_first_not_of(' ');
            m_recordLines += start != std::string_view::npos && line[start] != ';';
        }
    }
    first = false;
}

void IndexFile::EndLoad(long long size) {
    m_fileSize = size;
    for (auto& child : m_holding.m_children) {
        m_root.AppendChild(std::move(child));
    }
    m_holding.m_children.clear();
    m_indexed = false;
    m_entryIds.clear();
    m_baseUrlIds.clear();
}

int IndexFile::ParseLine(std::string_view line, bool first) {
    if (line.starts_with(";tamblin-")) {
        ParseScanRecord(line);
        return 1;
    }
    FieldTokenizer fields(line, ";", true);
    try {
        if (!fields.HasMoreFields()) {
            return 1;
        }
        std::string_view type = fields.NextFieldView();
        if (type.empty()) {
            return 1;
        }
        if (first && type.starts_with("XO")) {
            type.remove_prefix(2);
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
    m_formatMajor = ParseInteger(fields.NextFieldView());
    switch (m_formatMajor) {
    case 0:
        m_dateText = fields.NextField();
        m_description = "No description";
        break;
    case 1:
        m_formatMinor = ParseInteger(fields.NextFieldView());
        m_description = fields.NextField();
        m_dateText = fields.NextField();
        break;
    case 2:
        m_formatMinor = ParseInteger(fields.NextFieldView());
        m_coding = ParseInteger(fields.NextFieldView());
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
    m_currentBaseUrl =
        &AppendBaseUrl(std::make_unique<BaseUrl>(m_defaultBaseUrlCount + 1, "", "", 0));
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
    int id = ParseInteger(fields.NextFieldView());
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
        parent = FindParent(ParseInteger(fields.NextFieldView()));
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
    int id = ParseInteger(fields.NextFieldView());
    if (FindEntryById(id)) {
        return false;
    }
    std::string_view baseField = fields.NextFieldView();
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
        parent = FindParent(ParseInteger(fields.NextFieldView()));
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
        int id = ParseInteger(fields.NextFieldView());
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
        m_currentBaseUrl = &AppendBaseUrl(
            std::make_unique<BaseUrl>(m_defaultBaseUrlCount + 1, std::move(url), "", 0));
        ++m_defaultBaseUrlCount;
        return true;
    }
    return false;
}

bool IndexFile::ParsePageTip(FieldTokenizer& fields) {
    int id = ParseInteger(fields.NextFieldView());
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

IndexFile::Reference IndexFile::FindReference(std::string_view text) {
    if (text.size() < 2 || text[0] != '&') {
        return {};
    }
    size_t digits = 1;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
        ++digits;
    }
    if (digits == 1) {
        return {};
    }
    return {FindEntryById(ReferenceId(text.substr(1, digits - 1))), text.substr(digits)};
}

bool IndexFile::ParseKeyword(FieldTokenizer& fields) {
    std::string_view phraseField = fields.NextFieldView();
    std::string_view urlField = fields.NextFieldView();
    std::string_view titleField = fields.NextFieldView();
    if (phraseField.empty() || titleField.empty()) {
        return false;
    }
    std::string target = fields.HasMoreFields() ? fields.NextField() : std::string();
    Reference byPhrase = FindReference(phraseField);
    Reference byUrl = FindReference(urlField);
    Reference byTitle = FindReference(titleField);
    IndexEntry* owner = nullptr;
    if (byPhrase.entry) {
        bool differs = (byUrl.entry && byUrl.entry != byPhrase.entry) ||
                       (byTitle.entry && byTitle.entry != byPhrase.entry);
        owner = differs ? nullptr : byPhrase.entry;
    } else if (byUrl.entry) {
        owner = byTitle.entry && byTitle.entry != byUrl.entry ? nullptr : byUrl.entry;
    } else {
        owner = byTitle.entry;
    }
    std::string phrase(phraseField);
    ResolveReference(phrase, ReferenceMode::Title, nullptr);
    if (owner && byUrl.entry == owner && byTitle.entry == owner) {
        // The records this program writes: what follows the owner's references is already
        // the anchor and the extra title, with nothing to resolve and strip again.
        int ownTarget = target.empty() ? 0 : 1;
        owner->m_keywords.emplace_back(owner, std::move(phrase), std::string(byUrl.rest),
                                       std::string(byTitle.rest), std::move(target), ownTarget);
        return true;
    }
    std::string url(urlField);
    std::string title(titleField);
    ResolveReference(url, ReferenceMode::Url, nullptr);
    ResolveReference(title, ReferenceMode::Title, nullptr);
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
        std::string_view base = owner->m_baseUrl ? std::string_view(owner->m_baseUrl->m_url) : "";
        std::string_view rest = url;
        if (rest.starts_with(base) && rest.substr(base.size()).starts_with(owner->m_url)) {
            url = rest.substr(base.size() + owner->m_url.size());
        } else {
            owner = nullptr;
        }
    }
    if (owner && title.compare(0, owner->m_title.size(), owner->m_title) == 0) {
        title = title.substr(owner->m_title.size());
    }
    IndexEntry& holder = owner ? *owner : m_otherKeywords;
    int ownTarget = target.empty() ? 0 : 1;
    holder.m_keywords.emplace_back(&holder, std::move(phrase), std::move(url), std::move(title),
                                   std::move(target), ownTarget);
}

IndexEntry* IndexFile::ResolveReference(std::string& text, ReferenceMode mode,
                                        const BaseUrl* base) {
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
    std::string resolved;
    if (mode == ReferenceMode::Title) {
        resolved.reserve(entry->m_title.size() + text.size() - digits);
        resolved.append(entry->m_title);
    } else {
        const std::string* base = entry->m_baseUrl ? &entry->m_baseUrl->m_url : nullptr;
        resolved.reserve((base ? base->size() : 0) + entry->m_url.size() + text.size() - digits);
        if (base) {
            resolved.append(*base);
        }
        resolved.append(entry->m_url);
    }
    resolved.append(text, digits);
    text = std::move(resolved);
    return entry;
}

// The scan record is a comment to every other reader, so whatever it holds is never a bad
// line: a record that does not parse, or names no entry, is dropped.
void IndexFile::ParseScanRecord(std::string_view line) {
    if (line.starts_with(kScanSourceRecord)) {
        m_scanSource = std::string(line.substr(kScanSourceRecord.size()));
        return;
    }
    if (!line.starts_with(kScanMarkRecord)) {
        return;
    }
    line.remove_prefix(kScanMarkRecord.size());
    size_t idEnd = line.find(';');
    size_t titleEnd = idEnd == std::string_view::npos ? idEnd : line.find(';', idEnd + 1);
    if (titleEnd == std::string_view::npos) {
        return;
    }
    std::string_view idText = line.substr(0, idEnd);
    if (idText.empty() || idText.size() > 9 ||
        idText.find_first_not_of("0123456789") != std::string_view::npos) {
        return;
    }
    IndexEntry* entry = FindEntryById(ReferenceId(idText));
    ScanMark mark;
    if (entry && entry != &m_root &&
        ScanMark::Decode(line.substr(idEnd + 1, titleEnd - idEnd - 1), line.substr(titleEnd + 1),
                         mark)) {
        entry->m_scanMark = std::move(mark);
    }
}

} // namespace tamblin
