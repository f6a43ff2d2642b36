#include "keywords/KeywordIndex.h"

#include "app/TextEncoding.h"
#include "index/IndexEntry.h"
#include "index/IndexFile.h"
#include "index/TextCodec.h"
#include "keywords/JsLowerCase.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace tamblin {

namespace {

// The order in which the viewer collects keywords: it pops a list of entries from a stack
// and walks it from its end, taking each entry's keywords and pushing its children.
template <class Visit> void ViewerWalk(IndexFile& index, Visit&& visit) {
    std::vector<std::vector<std::unique_ptr<IndexEntry>>*> stack{&index.m_root.m_children};
    while (!stack.empty()) {
        auto* list = stack.back();
        stack.pop_back();
        for (std::size_t i = list->size(); i-- > 0;) {
            IndexEntry& entry = *(*list)[i];
            visit(entry);
            if (!entry.m_children.empty()) {
                stack.push_back(&entry.m_children);
            }
        }
    }
    visit(index.m_otherKeywords);
}

std::size_t CountPages(const KeywordGroup& group, const IndexFile& index) {
    std::size_t pages = 0;
    const IndexEntry* last = nullptr;
    std::unordered_set<std::string> others;
    for (const KeywordRef& ref : group.refs) {
        if (ref.owner == &index.m_otherKeywords) {
            others.insert(PageKeyOf(ref, index));
        } else if (ref.owner != last) {
            // An entry's keywords are collected together, so its refs are next to each other.
            ++pages;
            last = ref.owner;
        }
    }
    return pages + others.size();
}

} // namespace

std::string PageKeyOf(const KeywordRef& ref, const IndexFile& index) {
    const IndexKeyword& keyword = ref.owner->m_keywords[ref.position];
    if (ref.owner == &index.m_otherKeywords) {
        return keyword.m_anchor.substr(0, keyword.m_anchor.find('#'));
    }
    return ref.owner->FullUrl();
}

bool ReaderOrderLess(const KeywordGroup& a, const KeywordGroup& b) {
    if (a.key != b.key) {
        return a.key < b.key;
    }
    return a.phrase < b.phrase;
}

void KeywordIndex::Build(IndexFile& index) {
    m_index = &index;
    m_utf8 = DetectEncoding(index) == TextEncoding::Utf8;
    m_keywords = 0;
    m_groups.clear();
    // Equal bytes are equal texts in one encoding: each phrase is decoded and lowered once.
    std::unordered_map<std::string_view, std::size_t> byBytes;
    ViewerWalk(index, [&](IndexEntry& entry) {
        bool other = &entry == &index.m_otherKeywords;
        for (std::size_t i = 0; i < entry.m_keywords.size(); ++i) {
            const IndexKeyword& keyword = entry.m_keywords[i];
            if (keyword.m_phrase.empty() || (other && keyword.m_extraTitle.empty())) {
                continue;
            }
            auto [at, added] = byBytes.try_emplace(keyword.m_phrase, m_groups.size());
            if (added) {
                m_groups.emplace_back();
                m_groups.back().bytes = keyword.m_phrase;
            }
            m_groups[at->second].refs.push_back({&entry, i});
            ++m_keywords;
        }
    });
    for (KeywordGroup& group : m_groups) {
        group.phrase = Decode(group.bytes);
        group.key = JsToLowerCase(group.phrase);
        group.pages = CountPages(group, index);
    }
    std::sort(m_groups.begin(), m_groups.end(), ReaderOrderLess);
}

std::size_t KeywordIndex::Find(std::u16string_view phrase) const {
    KeywordGroup probe;
    probe.phrase = std::u16string(phrase);
    probe.key = JsToLowerCase(phrase);
    auto at = std::lower_bound(m_groups.begin(), m_groups.end(), probe, ReaderOrderLess);
    if (at != m_groups.end() && at->phrase == probe.phrase) {
        return static_cast<std::size_t>(at - m_groups.begin());
    }
    return m_groups.size();
}

bool KeywordIndex::Encode(std::u16string_view text, std::string& bytes) const {
    std::string utf8 = Utf16ToUtf8String(text);
    if (m_utf8) {
        bytes = std::move(utf8);
        return true;
    }
    bool exact = true;
    bytes = Utf8ToWindows1252(utf8, BrokenUtf8::ReplacePart, &exact);
    return exact;
}

std::u16string KeywordIndex::Decode(std::string_view bytes) const {
    if (m_utf8) {
        return Utf8ToUtf16String(bytes);
    }
    std::u16string out;
    out.reserve(bytes.size());
    for (char byte : bytes) {
        // Every Windows-1252 character is in the Basic Multilingual Plane.
        out.push_back(
            static_cast<char16_t>(Windows1252CodePoint(static_cast<unsigned char>(byte))));
    }
    return out;
}

} // namespace tamblin
