#include "keywords/KeywordIndex.h"

#include "app/TextEncoding.h"
#include "index/IndexEntry.h"
#include "index/IndexFile.h"
#include "index/TextCodec.h"
#include "keywords/JsLowerCase.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace tamblin {

namespace {

// The order in which the viewer collects keywords: the tree in pre-order (each entry, then
// its children), then the Other Index keywords.
template <class Visit> void ViewerWalk(IndexFile& index, Visit&& visit) {
    using List = std::vector<std::unique_ptr<IndexEntry>>;
    std::vector<std::pair<List*, std::size_t>> stack{{&index.m_root.m_children, 0}};
    while (!stack.empty()) {
        auto& [list, next] = stack.back();
        if (next >= list->size()) {
            stack.pop_back();
            continue;
        }
        IndexEntry& entry = *(*list)[next++];
        visit(entry);
        if (!entry.m_children.empty()) {
            stack.emplace_back(&entry.m_children, 0);
        }
    }
    visit(index.m_otherKeywords);
}

std::size_t CountPages(std::span<const KeywordRef> refs, const IndexFile& index) {
    std::size_t pages = 0;
    const IndexEntry* last = nullptr;
    std::unordered_set<std::string> others;
    for (const KeywordRef& ref : refs) {
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

bool TextLess(std::u16string_view aKey, std::u16string_view aPhrase, std::u16string_view bKey,
              std::u16string_view bPhrase) {
    int byKey = aKey.compare(bKey);
    return byKey != 0 ? byKey < 0 : aPhrase < bPhrase;
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
    return TextLess(a.key, a.phrase, b.key, b.phrase);
}

void KeywordIndex::Build(IndexFile& index, std::optional<bool> utf8) {
    m_index = &index;
    m_utf8 = utf8 ? *utf8 : DetectEncoding(index) == TextEncoding::Utf8;
    PrepareBuild(index);
    WalkPhrases(index);
    MakeTexts();
    SortPending();
    GatherRefs();
    MakeGroups(index);
}

void KeywordIndex::PrepareBuild(IndexFile& index) {
    if (m_keywords == 0) {
        // The first build learns the size once, so that nothing grows while it walks.
        int urls = 0;
        int keywords = 0;
        index.m_root.CountUrlsAndKeywords(urls, keywords);
        m_keywords = static_cast<std::size_t>(keywords) + index.m_otherKeywords.m_keywords.size();
    }
    std::size_t groups = std::max(m_groups.size(), m_keywords / 2);
    m_groups.clear();
    m_text.clear();
    m_refs.clear();
    m_bytes.clear();
    m_moreText.clear();
    m_moreBytes.clear();
    m_moreRefs.clear();
    m_moreRefCount = 0;
    // Room for every phrase being new: pages the build never touches cost nothing.
    m_scratch.pending.clear();
    m_scratch.pending.reserve(m_keywords + 1);
    m_scratch.groupOf.clear();
    m_scratch.groupOf.reserve(m_keywords);
    m_refs.reserve(m_keywords);
    m_bytes.reserve(std::max(m_bytes.capacity(), 16 * m_keywords));
    // An open-addressing table of phrases by their bytes (numbers plus one), at most half full.
    m_scratch.slots.assign(std::bit_ceil(2 * groups + 64), 0);
}

std::string_view KeywordIndex::BytesOf(std::uint32_t p) const {
    const auto& pending = m_scratch.pending;
    std::size_t end = p + 1 < pending.size() ? pending[p + 1].bytesAt : m_bytes.size();
    return {m_bytes.data() + pending[p].bytesAt, end - pending[p].bytesAt};
}

std::u16string_view KeywordIndex::PhraseOf(std::uint32_t p) const {
    const Pending& at = m_scratch.pending[p];
    return {m_text.data() + at.textAt, at.keyAt - at.textAt};
}

std::u16string_view KeywordIndex::KeyOf(std::uint32_t p) const {
    // MakeTexts ends the list with one more Pending, where the texts end.
    std::size_t end = m_scratch.pending[p + 1].textAt;
    return {m_text.data() + m_scratch.pending[p].keyAt, end - m_scratch.pending[p].keyAt};
}

void KeywordIndex::WalkPhrases(IndexFile& index) {
    ViewerWalk(index, [&](IndexEntry& entry) {
        bool other = &entry == &index.m_otherKeywords;
        for (std::size_t i = 0; i < entry.m_keywords.size(); ++i) {
            const IndexKeyword& keyword = entry.m_keywords[i];
            if (keyword.m_phrase.empty() || (other && keyword.m_extraTitle.empty())) {
                continue;
            }
            std::uint32_t p = PendingOf(keyword.m_phrase);
            ++m_scratch.pending[p].refs;
            m_scratch.groupOf.push_back(p);
            m_refs.push_back({&entry, i});
        }
    });
    m_keywords = m_refs.size();
}

namespace {

// A slot of the phrase table: the high half of the phrase's hash and its number plus one, so
// that a probe compares bytes only where the hashes agree.
std::uint64_t Slot(std::size_t hash, std::uint32_t p) {
    return (static_cast<std::uint64_t>(hash) & 0xFFFFFFFF00000000u) | (p + 1u);
}

} // namespace

std::uint32_t KeywordIndex::PendingOf(std::string_view bytes) {
    auto& slots = m_scratch.slots;
    std::size_t mask = slots.size() - 1;
    std::size_t hash = std::hash<std::string_view>()(bytes);
    std::uint64_t tag = Slot(hash, 0) - 1;
    std::size_t at = hash & mask;
    // Equal bytes are equal texts in one encoding: each phrase is decoded and lowered once.
    // Its bytes are kept together with the others', where comparing them finds them at hand.
    for (; slots[at] != 0; at = (at + 1) & mask) {
        if ((slots[at] & 0xFFFFFFFF00000000u) == tag) {
            auto p = static_cast<std::uint32_t>(slots[at] - 1);
            if (BytesOf(p) == bytes) {
                return p;
            }
        }
    }
    auto& pending = m_scratch.pending;
    auto p = static_cast<std::uint32_t>(pending.size());
    pending.push_back({m_bytes.size(), 0, 0, 0});
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    slots[at] = Slot(hash, p);
    if (2 * pending.size() > slots.size()) {
        Rehash();
    }
    return p;
}

void KeywordIndex::Rehash() {
    auto& slots = m_scratch.slots;
    slots.assign(slots.size() * 2, 0);
    std::size_t mask = slots.size() - 1;
    for (std::uint32_t p = 0; p < m_scratch.pending.size(); ++p) {
        std::size_t hash = std::hash<std::string_view>()(BytesOf(p));
        std::size_t at = hash & mask;
        while (slots[at] != 0) {
            at = (at + 1) & mask;
        }
        slots[at] = Slot(hash, p);
    }
}

void KeywordIndex::MakeTexts() {
    auto& pending = m_scratch.pending;
    // Twice the bytes holds every phrase and key: a byte is at most one UTF-16 unit, and only
    // U+0130, two bytes in UTF-8, lowers to more than one unit.
    m_text.reserve(2 * m_bytes.size());
    for (std::uint32_t p = 0; p < pending.size(); ++p) {
        pending[p].textAt = m_text.size();
        pending[p].keyAt = AppendText(BytesOf(p));
    }
    pending.push_back({m_bytes.size(), m_text.size(), m_text.size(), 0});
}

namespace {

// Runs this short, or whose keys end within the units compared so far, are sorted by whole
// texts; past this depth too, so that the passes stay few.
constexpr std::ptrdiff_t kShortRun = 16;
constexpr std::size_t kDeepest = 64;

std::uint64_t PrefixAt(std::u16string_view key, std::size_t depth) {
    std::uint64_t prefix = 0;
    for (std::size_t i = depth; i < depth + 4; ++i) {
        prefix = prefix << 16 | (i < key.size() ? key[i] : 0u);
    }
    return prefix;
}

} // namespace

void KeywordIndex::SortPending() {
    // The keys compared four units at a time, as integers held with their phrases' numbers:
    // most comparisons read no text. Runs that share those units go on four units deeper.
    auto& order = m_scratch.order;
    std::uint32_t count = static_cast<std::uint32_t>(m_scratch.pending.size() - 1);
    order.resize(count);
    for (std::uint32_t p = 0; p < count; ++p) {
        std::u16string_view key = KeyOf(p);
        order[p] = {PrefixAt(key, 0), p,
                    static_cast<std::uint32_t>(std::min<std::size_t>(key.size(), kDeepest))};
    }
    SortRun(order.data(), order.data() + count, 0);
}

void KeywordIndex::SortRun(SortKey* first, SortKey* last, std::size_t depth) {
    std::sort(first, last, [](const SortKey& a, const SortKey& b) { return a.prefix < b.prefix; });
    while (first != last) {
        SortKey* end = first + 1;
        while (end != last && end->prefix == first->prefix) {
            ++end;
        }
        if (end - first > 1) {
            RefineRun(first, end, depth);
        }
        first = end;
    }
}

void KeywordIndex::RefineRun(SortKey* first, SortKey* last, std::size_t depth) {
    std::size_t next = depth + 4;
    // A key that ends here was padded with zeros, which a longer key may really hold.
    bool ended = std::any_of(first, last, [&](const SortKey& k) { return k.keySize < next; });
    if (ended || last - first <= kShortRun || next >= kDeepest) {
        std::sort(first, last, [this](const SortKey& a, const SortKey& b) {
            return TextLess(KeyOf(a.pending), PhraseOf(a.pending), KeyOf(b.pending),
                            PhraseOf(b.pending));
        });
        return;
    }
    for (SortKey* k = first; k != last; ++k) {
        k->prefix = PrefixAt(KeyOf(k->pending), next);
    }
    SortRun(first, last, next);
}

void KeywordIndex::GatherRefs() {
    auto& pending = m_scratch.pending;
    // The refs of each phrase together, the phrases in reader order, each phrase's in the
    // order walked; refs turns from a count into where the phrase's refs begin, and then end.
    std::size_t at = 0;
    for (const SortKey& k : m_scratch.order) {
        std::size_t count = pending[k.pending].refs;
        pending[k.pending].refs = at;
        at += count;
    }
    // The refs were walked into their buffer: each one's place there, then each moved to it
    // in place, along the cycles of the places, so that the walk needs no second buffer.
    auto& place = m_scratch.groupOf;
    for (std::uint32_t& p : place) {
        p = static_cast<std::uint32_t>(pending[p].refs++);
    }
    for (std::uint32_t i = 0; i < place.size(); ++i) {
        while (place[i] != i) {
            std::uint32_t to = place[i];
            std::swap(m_refs[i], m_refs[to]);
            std::swap(place[i], place[to]);
        }
    }
}

void KeywordIndex::MakeGroups(IndexFile& index) {
    m_groups.reserve(m_scratch.order.size());
    std::size_t refsAt = 0;
    for (const SortKey& k : m_scratch.order) {
        std::uint32_t p = k.pending;
        KeywordGroup& group = m_groups.emplace_back();
        group.phrase = PhraseOf(p);
        group.key = KeyOf(p);
        group.bytes = BytesOf(p);
        std::size_t refsEnd = m_scratch.pending[p].refs;
        group.refs = std::span<const KeywordRef>(m_refs.data() + refsAt, refsEnd - refsAt);
        group.pages = CountPages(group.refs, index);
        refsAt = refsEnd;
    }
}

std::size_t KeywordIndex::AppendText(std::string_view bytes) {
    // Most phrases are ASCII: decoded and lowered a byte at a time, straight into the buffer.
    if (std::all_of(bytes.begin(), bytes.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        std::size_t at = m_text.size();
        std::size_t size = bytes.size();
        m_text.resize(at + 2 * size);
        char16_t* out = m_text.data() + at;
        for (std::size_t i = 0; i < size; ++i) {
            auto c = static_cast<char16_t>(bytes[i]);
            out[i] = c;
            out[size + i] = c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c;
        }
        return at + size;
    }
    std::u16string phrase = Decode(bytes);
    std::u16string key = JsToLowerCase(phrase);
    m_text.insert(m_text.end(), phrase.begin(), phrase.end());
    std::size_t keyAt = m_text.size();
    m_text.insert(m_text.end(), key.begin(), key.end());
    return keyAt;
}

struct KeywordIndex::Redo {
    static constexpr std::size_t kNew = static_cast<std::size_t>(-1);
    std::size_t group = kNew; // the group's place, or kNew for a phrase not in the index yet
    std::string_view bytes;
    std::span<const KeywordRef> old;
    // The changed entries' keywords with this phrase now, entry after entry.
    std::vector<KeywordRef> fresh;
    std::vector<KeywordRef> refs;
};

namespace {

// Where each entry comes in the viewer's walk, made only when an entry takes a phrase it
// did not have: a sorted list, which costs far less than a table of nodes.
class WalkRanks {
public:
    std::size_t Of(IndexFile& index, const IndexEntry* entry) {
        if (m_ranks.empty()) {
            ViewerWalk(index, [&](IndexEntry& e) { m_ranks.emplace_back(&e, m_ranks.size()); });
            std::sort(m_ranks.begin(), m_ranks.end());
        }
        auto at = std::lower_bound(m_ranks.begin(), m_ranks.end(),
                                   std::pair<const IndexEntry*, std::size_t>(entry, 0));
        return at != m_ranks.end() && at->first == entry ? at->second : m_ranks.size();
    }

private:
    std::vector<std::pair<const IndexEntry*, std::size_t>> m_ranks;
};

// The runs of `fresh` by entry, each entry's keywords being together.
using Runs = std::unordered_map<const IndexEntry*, std::pair<std::size_t, std::size_t>>;
Runs RunsOf(const std::vector<KeywordRef>& fresh) {
    Runs runs;
    for (std::size_t i = 0; i < fresh.size(); ++i) {
        runs.try_emplace(fresh[i].owner, i, i + 1).first->second.second = i + 1;
    }
    return runs;
}

} // namespace

bool KeywordIndex::Update(std::span<IndexEntry* const> entries) {
    if (!m_index) {
        return false;
    }
    std::vector<Redo> redos = Redos(entries);
    std::size_t more = 0;
    for (const Redo& redo : redos) {
        more += redo.old.size() + redo.fresh.size();
    }
    // Mended groups take room of their own; past the size of a build, a build is cheaper.
    if (m_moreRefCount + more > m_refs.size() + 1024) {
        return false;
    }
    Compose(redos, entries);
    ApplyRedos(redos);
    return true;
}

std::vector<KeywordIndex::Redo> KeywordIndex::Redos(std::span<IndexEntry* const> entries) {
    std::unordered_set<const IndexEntry*> changed(entries.begin(), entries.end());
    std::vector<Redo> redos;
    std::unordered_map<std::string_view, std::size_t> byBytes;
    // The groups that had a keyword of a changed entry.
    for (std::size_t g = 0; g < m_groups.size(); ++g) {
        const KeywordGroup& group = m_groups[g];
        if (std::any_of(group.refs.begin(), group.refs.end(),
                        [&](const KeywordRef& ref) { return changed.contains(ref.owner); })) {
            byBytes.emplace(group.bytes, redos.size());
            redos.push_back({g, group.bytes, group.refs, {}, {}});
        }
    }
    std::unordered_set<const IndexEntry*> done;
    for (IndexEntry* entry : entries) {
        if (!done.insert(entry).second) {
            continue;
        }
        bool other = entry == &m_index->m_otherKeywords;
        for (std::size_t i = 0; i < entry->m_keywords.size(); ++i) {
            const IndexKeyword& keyword = entry->m_keywords[i];
            if (keyword.m_phrase.empty() || (other && keyword.m_extraTitle.empty())) {
                continue;
            }
            auto [at, added] = byBytes.try_emplace(keyword.m_phrase, redos.size());
            if (added) {
                std::size_t g = FindBytes(keyword.m_phrase);
                redos.push_back(g == Redo::kNew
                                    ? Redo{g, keyword.m_phrase, {}, {}, {}}
                                    : Redo{g, m_groups[g].bytes, m_groups[g].refs, {}, {}});
            }
            redos[at->second].fresh.push_back({entry, i});
        }
    }
    return redos;
}

std::size_t KeywordIndex::FindBytes(std::string_view bytes) const {
    std::u16string phrase = Decode(bytes);
    std::u16string key = JsToLowerCase(phrase);
    auto at = std::lower_bound(m_groups.begin(), m_groups.end(), phrase,
                               [&](const KeywordGroup& group, std::u16string_view) {
                                   return TextLess(group.key, group.phrase, key, phrase);
                               });
    // Bytes that are not text decode alike: the group is the one with these very bytes.
    for (; at != m_groups.end() && at->phrase == phrase; ++at) {
        if (at->bytes == bytes) {
            return static_cast<std::size_t>(at - m_groups.begin());
        }
    }
    return Redo::kNew;
}

void KeywordIndex::Compose(std::vector<Redo>& redos, std::span<IndexEntry* const> entries) {
    std::unordered_set<const IndexEntry*> changed(entries.begin(), entries.end());
    WalkRanks ranks;
    for (Redo& redo : redos) {
        Runs runs = RunsOf(redo.fresh);
        redo.refs.reserve(redo.old.size() + redo.fresh.size());
        for (const KeywordRef& ref : redo.old) {
            if (!changed.contains(ref.owner)) {
                redo.refs.push_back(ref);
            } else if (auto run = runs.find(ref.owner); run != runs.end()) {
                redo.refs.insert(redo.refs.end(), redo.fresh.begin() + run->second.first,
                                 redo.fresh.begin() + run->second.second);
                runs.erase(run);
            }
        }
        if (runs.empty()) {
            continue;
        }
        // Entries new to the phrase: the walk decides where they go among the others.
        bool alone = redo.refs.empty() && runs.size() == 1;
        for (const KeywordRef& ref : redo.fresh) {
            if (runs.contains(ref.owner)) {
                redo.refs.push_back(ref);
            }
        }
        if (!alone) {
            std::vector<std::pair<std::size_t, KeywordRef>> ranked;
            ranked.reserve(redo.refs.size());
            for (const KeywordRef& ref : redo.refs) {
                ranked.emplace_back(ranks.Of(*m_index, ref.owner), ref);
            }
            // Stable: an entry's own keywords are already in the order of its list.
            std::stable_sort(ranked.begin(), ranked.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
            for (std::size_t i = 0; i < ranked.size(); ++i) {
                redo.refs[i] = ranked[i].second;
            }
        }
    }
}

void KeywordIndex::ApplyRedos(std::vector<Redo>& redos) {
    std::vector<bool> removed(m_groups.size(), false);
    bool anyRemoved = false;
    std::vector<KeywordGroup> added;
    for (Redo& redo : redos) {
        m_keywords = m_keywords - redo.old.size() + redo.refs.size();
        if (redo.refs.empty()) {
            if (redo.group != Redo::kNew) {
                removed[redo.group] = true;
                anyRemoved = true;
            }
            continue;
        }
        m_moreRefCount += redo.refs.size();
        std::span<const KeywordRef> refs = m_moreRefs.emplace_back(std::move(redo.refs));
        if (redo.group != Redo::kNew) {
            m_groups[redo.group].refs = refs;
            m_groups[redo.group].pages = CountPages(refs, *m_index);
            continue;
        }
        KeywordGroup group;
        group.bytes = m_moreBytes.emplace_back(redo.bytes);
        std::u16string phrase = Decode(group.bytes);
        group.key = m_moreText.emplace_back(JsToLowerCase(phrase));
        group.phrase = m_moreText.emplace_back(std::move(phrase));
        group.refs = refs;
        group.pages = CountPages(refs, *m_index);
        added.push_back(group);
    }
    if (!anyRemoved && added.empty()) {
        return;
    }
    // The new phrases merged in where they sort: one pass, no sort of the whole index.
    std::sort(added.begin(), added.end(), ReaderOrderLess);
    std::vector<KeywordGroup> merged;
    merged.reserve(m_groups.size() + added.size());
    auto next = added.begin();
    for (std::size_t g = 0; g < m_groups.size(); ++g) {
        if (removed[g]) {
            continue;
        }
        while (next != added.end() && ReaderOrderLess(*next, m_groups[g])) {
            merged.push_back(*next++);
        }
        merged.push_back(m_groups[g]);
    }
    merged.insert(merged.end(), next, added.end());
    m_groups = std::move(merged);
}

std::size_t KeywordIndex::Find(std::u16string_view phrase) const {
    std::u16string key = JsToLowerCase(phrase);
    auto at = std::lower_bound(m_groups.begin(), m_groups.end(), phrase,
                               [&](const KeywordGroup& group, std::u16string_view) {
                                   return TextLess(group.key, group.phrase, key, phrase);
                               });
    if (at != m_groups.end() && at->phrase == phrase) {
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
