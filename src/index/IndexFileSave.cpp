// Writing index files: always format 2.1, coding 1, CR LF line ends, ids renumbered.
#include "index/CompanionScript.h"
#include "index/DateText.h"
#include "index/IndexFile.h"
#include "index/IndexRecordWriter.h"
#include "index/ReplacingFile.h"
#include "index/TextUtils.h"

#include <algorithm>
#include <sstream>
#include <string_view>
#include <utility>

namespace tamblin {

namespace {

bool StartsWithDigit(std::string_view text) {
    return !text.empty() && text[0] >= '0' && text[0] <= '9';
}

std::string RefusalText(const char* what, const std::string& name) {
    return std::string("The ") + what + " of '" + name +
           "' contains a semicolon or a line break, which an index file cannot hold. "
           "Please change it and save again.";
}

std::string UnwritableInEntry(const IndexEntry& entry) {
    // The title names itself; every other field is named by the entry's title.
    if (HasFieldBreak(entry.m_title)) {
        return "The title '" + entry.m_title +
               "' contains a semicolon or a line break, which an index file cannot hold. "
               "Please change it and save again.";
    }
    const std::pair<const char*, const std::string*> fields[] = {
        {"URL", &entry.m_url},
        {"target frame", &entry.m_targetFrame},
        {"icon URL", &entry.m_iconUrl},
        {"page tip", &entry.m_pageTip},
    };
    for (const auto& [what, field] : fields) {
        if (HasFieldBreak(*field)) {
            return RefusalText(what, entry.m_title);
        }
    }
    if (entry.m_title.empty()) {
        return "The URL '" + entry.m_url +
               "' has no title, and an index file cannot hold a URL without one. "
               "Please give it a title and save again.";
    }
    for (const IndexKeyword& keyword : entry.m_keywords) {
        for (const std::string* field : {&keyword.m_phrase, &keyword.m_anchor,
                                         &keyword.m_extraTitle, &keyword.m_targetFrame}) {
            if (HasFieldBreak(*field)) {
                return RefusalText("index keyword", keyword.m_phrase);
            }
        }
    }
    return {};
}

} // namespace

std::string IndexFile::FindFileWideUnwritable() const {
    if (HasFieldBreak(m_description)) {
        return RefusalText("description", m_description);
    }
    if (HasFieldBreak(m_tipText)) {
        return RefusalText("tip text", m_description);
    }
    for (const auto& baseUrl : m_baseUrls) {
        if (HasFieldBreak(baseUrl->m_url) || HasFieldBreak(baseUrl->m_targetFrame)) {
            return RefusalText("base URL", baseUrl->m_url);
        }
    }
    for (const IndexEntry* holder : {&m_root, &m_otherKeywords}) {
        for (const IndexKeyword& keyword : holder->m_keywords) {
            if (HasFieldBreak(keyword.m_phrase) || HasFieldBreak(keyword.m_anchor) ||
                HasFieldBreak(keyword.m_extraTitle) || HasFieldBreak(keyword.m_targetFrame)) {
                return RefusalText("index keyword", keyword.m_phrase);
            }
        }
    }
    return {};
}

std::string IndexFile::FindUnwritableField() const {
    if (std::string problem = FindFileWideUnwritable(); !problem.empty()) {
        return problem;
    }
    std::vector<const IndexEntry*> stack;
    for (const auto& child : m_root.m_children) {
        stack.push_back(child.get());
    }
    while (!stack.empty()) {
        const IndexEntry* entry = stack.back();
        stack.pop_back();
        if (std::string problem = UnwritableInEntry(*entry); !problem.empty()) {
            return problem;
        }
        for (const auto& child : entry->m_children) {
            stack.push_back(child.get());
        }
    }
    return {};
}

int IndexFile::Save(const std::string& path, ReplaceOptions options) {
    m_fileName = path;
    m_saveError.clear();
    m_companionStale = false;
    m_lastSave = SaveResult::Failure(0);
    if (path.empty()) {
        return 0;
    }
    // The entries are checked while they are written, when each is at hand anyway; a
    // refused save puts back what writing changed.
    const std::string oldDate = m_dateText;
    const int oldFormat[] = {m_formatMajor, m_formatMinor, m_coding};
    m_saveError = FindFileWideUnwritable();
    if (!m_saveError.empty()) {
        return 0;
    }
    ReplacingFile file(path, options);
    long long size = file.IsOpen() ? WriteTo(file.Stream(), &m_saveError) : -1;
    if (!m_saveError.empty()) {
        m_dateText = oldDate;
        m_formatMajor = oldFormat[0];
        m_formatMinor = oldFormat[1];
        m_coding = oldFormat[2];
        return 0;
    }
    // Commit also fails on any write that failed, with the system's reason.
    if (!file.IsOpen() || !file.Commit() || size < 0) {
        file.Abandon();
        m_lastSave = file.Result();
        m_saveError = CouldNotSaveText(path, m_lastSave);
        return 0;
    }
    m_lastSave = {};
    m_fileSize = size;
    m_changed = 0;
    m_companionStale = !RefreshCompanion(path);
    return 1;
}

std::string IndexFile::WriteToString(std::string* problem) {
    std::ostringstream stream;
    WriteTo(stream, problem);
    return std::move(stream).str();
}

long long IndexFile::WriteTo(std::ostream& stream, std::string* problem) {
    m_formatMajor = 2;
    m_formatMinor = 1;
    m_coding = 1;
    StreamByteSink sink(stream);
    RecordSink records(sink);
    if (m_byteOrderMark) {
        records += kUtf8ByteOrderMark;
    }
    IndexRecordWriter out(records, IndexRecordWriter::Style::Saved);
    out.Header("Tamblin", kProgramVersion);
    m_dateText = TodayRecordDate();
    out.Description(m_description, m_dateText);
    if (!m_tipText.empty()) {
        out.Tip("0", m_tipText);
    }
    for (size_t i = 0; i < m_baseUrls.size(); ++i) {
        BaseUrl& baseUrl = *m_baseUrls[i];
        baseUrl.m_idText = IntToText(static_cast<long long>(i + 1));
        out.BaseUrl(baseUrl.m_idText, baseUrl.m_url, baseUrl.m_targetFrame);
    }
    m_entryCounter = 1;
    WriteEntries(out, "0", problem);
    WriteKeywords(out, m_otherKeywords, true);
    WriteScanRecords(out);
    return records.Finish();
}

// Pre-order from the root: each entry's record 5, its page tip, its keywords, then its
// children, exactly as a recursive walk would write them.
void IndexFile::WriteEntries(IndexRecordWriter& out, const std::string& parentText,
                             std::string* problem) {
    WriteKeywords(out, m_root, false);
    struct Pending {
        IndexEntry* entry;
        const std::string* parentText;
    };
    std::vector<Pending> stack;
    for (auto it = m_root.m_children.rbegin(); it != m_root.m_children.rend(); ++it) {
        stack.push_back({it->get(), &parentText});
    }
    while (!stack.empty()) {
        auto [entry, parent] = stack.back();
        stack.pop_back();
        if (problem && problem->empty()) {
            *problem = UnwritableInEntry(*entry);
        }
        entry->m_idText = IntToText(m_entryCounter++);
        std::string_view base =
            entry->m_baseUrl ? std::string_view(entry->m_baseUrl->m_idText) : "";
        std::string_view target = entry->m_ownTarget ? std::string_view(entry->m_targetFrame) : "";
        std::string_view parentField = entry->m_inContents ? std::string_view(*parent) : "-1";
        out.Entry(entry->m_idText, base, entry->m_url, entry->m_title, target, parentField,
                  entry->m_iconUrl);
        if (!entry->m_pageTip.empty()) {
            out.Tip(entry->m_idText, entry->m_pageTip);
        }
        WriteKeywords(out, *entry, false);
        for (auto it = entry->m_children.rbegin(); it != entry->m_children.rend(); ++it) {
            stack.push_back({it->get(), &entry->m_idText});
        }
    }
}

// A reference is used only where the text after it does not start with a digit: "&1" + "2"
// would read back as entry 12. The root is entry 0 to every reader ("&0" names it), so its
// keywords come back to it; written in full, their empty title made a line no reader takes.
void IndexFile::WriteKeywords(IndexRecordWriter& out, const IndexEntry& entry, bool plain) const {
    using Field = IndexRecordWriter::Field;
    for (const IndexKeyword& keyword : entry.m_keywords) {
        std::string_view target =
            keyword.m_ownTarget ? std::string_view(keyword.m_targetFrame) : "";
        const IndexEntry* owner = keyword.m_owner;
        const bool root = owner == &m_root;
        if (plain || !owner || (!root && owner->m_idText.empty())) {
            out.Keyword(PlainKeywordField(keyword.m_phrase), PlainKeywordField(keyword.m_anchor),
                        PlainKeywordField(keyword.m_extraTitle), target);
            continue;
        }
        const std::string ref = "&" + (root ? std::string("0") : owner->m_idText);
        const std::string& title = owner->m_title;
        std::string phrase;
        Field phraseField(ref, std::string_view(keyword.m_phrase)
                                   .substr(std::min(title.size(), keyword.m_phrase.size())));
        if (keyword.m_phrase.compare(0, title.size(), title) != 0 ||
            StartsWithDigit(phraseField.tail)) {
            phrase = PlainKeywordField(keyword.m_phrase);
            phraseField = Field(phrase);
        }
        std::string anchor;
        Field anchorField(ref, keyword.m_anchor);
        if (StartsWithDigit(keyword.m_anchor)) {
            anchor = PlainKeywordField(owner->FullUrl() + keyword.m_anchor);
            anchorField = Field(anchor);
        }
        std::string extra;
        Field extraField(ref, keyword.m_extraTitle);
        if (StartsWithDigit(keyword.m_extraTitle)) {
            extra = PlainKeywordField(title + keyword.m_extraTitle);
            extraField = Field(extra);
        }
        out.Keyword(phraseField, anchorField, extraField, target);
    }
}

// After everything else, once every entry has its number. Nothing at all for an index that
// no scan made, so such a file keeps its bytes.
void IndexFile::WriteScanRecords(IndexRecordWriter& out) const {
    if (!m_scanSource.empty()) {
        out.ScanSource(m_scanSource);
    }
    std::vector<const IndexEntry*> stack;
    for (auto it = m_root.m_children.rbegin(); it != m_root.m_children.rend(); ++it) {
        stack.push_back(it->get());
    }
    while (!stack.empty()) {
        const IndexEntry* entry = stack.back();
        stack.pop_back();
        if (entry->m_scanMark) {
            out.ScanMark(entry->m_idText, entry->m_scanMark->Encode());
        }
        for (auto it = entry->m_children.rbegin(); it != entry->m_children.rend(); ++it) {
            stack.push_back(it->get());
        }
    }
}

} // namespace tamblin
