#include "update/IndexMerge.h"

#include "index/BaseUrl.h"
#include "index/IndexEntry.h"
#include "index/IndexFile.h"
#include "index/ScanMark.h"
#include "scanner/LocationKey.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <unordered_set>

namespace tamblin {

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// Every entry below root with its parent, parents first, in the order the file lists them.
template <class Entry, class Visit> void PreOrder(Entry& root, Visit&& visit) {
    std::vector<std::pair<Entry*, Entry*>> stack;
    for (auto it = root.m_children.rbegin(); it != root.m_children.rend(); ++it) {
        stack.emplace_back(it->get(), &root);
    }
    while (!stack.empty()) {
        auto [entry, parent] = stack.back();
        stack.pop_back();
        visit(*entry, *parent);
        for (auto it = entry->m_children.rbegin(); it != entry->m_children.rend(); ++it) {
            stack.emplace_back(it->get(), entry);
        }
    }
}

std::vector<std::uint64_t> SortedHashes(const IndexEntry& entry) {
    std::vector<std::uint64_t> hashes;
    hashes.reserve(entry.m_keywords.size());
    for (const IndexKeyword& keyword : entry.m_keywords) {
        hashes.push_back(ScanMark::HashKeyword(keyword));
    }
    std::sort(hashes.begin(), hashes.end());
    return hashes;
}

bool Holds(const std::vector<std::uint64_t>& sorted, std::uint64_t hash) {
    return std::binary_search(sorted.begin(), sorted.end(), hash);
}

// The positions of the entry's keywords that the last scan gave it, as its mark tells; none
// without a mark, where every keyword counts as the author's.
std::vector<std::size_t> ScanKeywordPositions(const IndexEntry& entry) {
    std::vector<std::size_t> positions;
    if (!entry.m_scanMark) {
        return positions;
    }
    std::vector<std::uint64_t> given = entry.m_scanMark->keywords;
    std::sort(given.begin(), given.end());
    for (std::size_t i = 0; i < entry.m_keywords.size(); ++i) {
        if (Holds(given, ScanMark::HashKeyword(entry.m_keywords[i]))) {
            positions.push_back(i);
        }
    }
    return positions;
}

// The keyword that stands for the entry's title (in the file, "&N" in every field): it
// follows the title, so it is no keyword of its own to add, remove or count.
std::size_t TitleKeyword(const IndexEntry& entry) {
    for (std::size_t i = 0; i < entry.m_keywords.size(); ++i) {
        const IndexKeyword& keyword = entry.m_keywords[i];
        if (keyword.m_phrase == entry.m_title && keyword.m_anchor.empty() &&
            keyword.m_extraTitle.empty()) {
            return i;
        }
    }
    return kNone;
}

// The hash the last scan's title keyword had: from the title that scan gave, where that
// is one of the two known, else from the same place in the mark.
std::uint64_t LastTitleKeyword(const IndexEntry& current, std::size_t currentTitle,
                               const IndexEntry& scanned, std::size_t scannedTitle) {
    const ScanMark& mark = *current.m_scanMark;
    for (const std::string* title : {&current.m_title, &scanned.m_title}) {
        if (ScanMark::HashText(*title) == mark.title) {
            IndexKeyword keyword = current.m_keywords[currentTitle];
            keyword.m_phrase = *title;
            return ScanMark::HashKeyword(keyword);
        }
    }
    return scannedTitle < mark.keywords.size() ? mark.keywords[scannedTitle] : 0;
}

std::string_view EffectiveTarget(const IndexEntry& entry) {
    return entry.m_ownTarget ? std::string_view(entry.m_targetFrame) : std::string_view();
}

// Puts the scan's keywords at `positions` (of its list, ascending) into entry's list where
// the scan has them: after the nearest keyword before them that the entry holds (and the
// author's keywords that follow it), or before the nearest after them when none before is
// there, at the end when neither is.
void PlaceKeywords(IndexEntry& entry, const IndexEntry& scanned,
                   const std::vector<std::size_t>& positions) {
    const std::size_t held = entry.m_keywords.size();
    std::unordered_map<std::uint64_t, std::size_t> at;
    at.reserve(held);
    for (std::size_t i = 0; i < held; ++i) {
        at.try_emplace(ScanMark::HashKeyword(entry.m_keywords[i]), i);
    }
    auto heldAt = [&](std::size_t i) {
        auto found = at.find(ScanMark::HashKeyword(scanned.m_keywords[i]));
        return found == at.end() ? kNone : found->second;
    };
    // Past the author's keywords that follow the one before, which stay with it.
    const std::vector<std::uint64_t> fresh = SortedHashes(scanned);
    std::vector<std::size_t> nextFresh(held + 1, held);
    for (std::size_t p = held; p-- > 0;) {
        bool isFresh = Holds(fresh, ScanMark::HashKeyword(entry.m_keywords[p]));
        nextFresh[p] = isFresh ? p : nextFresh[p + 1];
    }
    std::vector<std::size_t> slots(positions.size(), kNone);
    std::size_t after = kNone;
    for (std::size_t i = 0, k = 0; i < scanned.m_keywords.size() && k < positions.size(); ++i) {
        if (positions[k] == i) {
            slots[k++] = after;
        } else if (std::size_t place = heldAt(i); place != kNone) {
            after = nextFresh[place + 1];
        }
    }
    std::size_t before = held;
    for (std::size_t i = scanned.m_keywords.size(), k = positions.size(); i-- > 0 && k > 0;) {
        if (positions[k - 1] == i) {
            --k;
            slots[k] = slots[k] == kNone ? before : slots[k];
        } else if (std::size_t place = heldAt(i); place != kNone) {
            before = place;
        }
    }
    std::vector<std::vector<IndexKeyword>> inserted(held + 1);
    for (std::size_t k = 0; k < positions.size(); ++k) {
        IndexKeyword keyword = scanned.m_keywords[positions[k]];
        keyword.m_owner = &entry;
        inserted[slots[k]].push_back(std::move(keyword));
    }
    std::vector<IndexKeyword> keywords;
    keywords.reserve(held + positions.size());
    for (std::size_t p = 0; p <= held; ++p) {
        std::move(inserted[p].begin(), inserted[p].end(), std::back_inserter(keywords));
        if (p < held) {
            keywords.push_back(std::move(entry.m_keywords[p]));
        }
    }
    entry.m_keywords = std::move(keywords);
}

} // namespace

IndexMerge::IndexMerge(IndexEntry& root, const std::vector<std::unique_ptr<BaseUrl>>& baseUrls,
                       const IndexFile& scanned, bool caseSignificant)
    : m_root(root), m_scanned(scanned), m_caseSignificant(caseSignificant) {
    for (const auto& baseUrl : baseUrls) {
        m_baseByText.emplace(baseUrl->m_url, baseUrl.get());
    }
    IndexCurrent();
    std::unordered_set<std::string> seen;
    seen.reserve(m_current.size() + 16);
    PreOrder(scanned.m_root, [&](const IndexEntry& entry, const IndexEntry& parent) {
        if (entry.FullUrl().empty()) {
            return;
        }
        std::string key = Key(entry);
        if (!seen.insert(key).second) {
            return;
        }
        auto found = m_current.find(key);
        if (found != m_current.end()) {
            PlanMatched(*found->second.entry, found->second.parent, entry, &parent);
            return;
        }
        MergeChange change{MergeChange::Kind::PageAdded, entry.FullUrl(), entry.m_title, "",
                           &parent == &scanned.m_root ? "" : parent.FullUrl()};
        Add(std::move(change), {nullptr, &entry, 0, &parent});
    });
    for (auto& [entry, key] : m_currentOrder) {
        if (seen.count(key) == 0 && (entry->m_scanMark || !m_hasMarks)) {
            MergeChange change{MergeChange::Kind::PageGone, entry->FullUrl(), entry->m_title, "",
                               ""};
            change.apply = false;
            change.scanKeywords = static_cast<int>(ScanKeywordPositions(*entry).size());
            Add(std::move(change), {entry, nullptr, 0, nullptr});
        }
    }
}

std::string IndexMerge::Key(const IndexEntry& entry) const {
    return LocationKey::OfUrl(entry.FullUrl(), m_caseSignificant);
}

void IndexMerge::IndexCurrent() {
    PreOrder(m_root, [&](IndexEntry& entry, IndexEntry&) {
        m_hasMarks = m_hasMarks || entry.m_scanMark.has_value();
    });
    PreOrder(m_root, [&](IndexEntry& entry, IndexEntry& parent) {
        if (entry.FullUrl().empty()) {
            ++m_result.authorEditsKept; // a heading of the author's
            return;
        }
        if (m_hasMarks && !entry.m_scanMark) {
            ++m_result.authorEditsKept; // an entry the author made
        }
        std::string key = Key(entry);
        m_current.emplace(key, Placed{&entry, &parent});
        m_currentOrder.emplace_back(&entry, std::move(key));
    });
}

void IndexMerge::Add(MergeChange change, Target target) {
    m_result.changes.push_back(std::move(change));
    m_targets.push_back(target);
}

void IndexMerge::PlanMatched(IndexEntry& current, const IndexEntry* currentParent,
                             const IndexEntry& scanned, const IndexEntry* scannedParent) {
    m_matched.emplace_back(&current, &scanned);
    TitlePair title{TitleKeyword(current), TitleKeyword(scanned)};
    if (title.current == kNone || title.scanned == kNone) {
        title = {kNone, kNone};
    }
    const bool authorTitle = current.m_scanMark
                                 ? current.m_scanMark->title != ScanMark::HashText(current.m_title)
                                 : current.m_title != scanned.m_title;
    if (authorTitle) {
        ++m_result.authorEditsKept;
    } else if (current.m_title != scanned.m_title) {
        Add({MergeChange::Kind::PageRetitled, current.FullUrl(), current.m_title, current.m_title,
             scanned.m_title},
            {&current, &scanned, title.current, scannedParent});
    }
    PlanKeywords(current, scanned, title);
    if (!SamePlace(currentParent, scannedParent)) {
        ++m_result.authorEditsKept;
    }
    m_result.authorEditsKept += KeptSettings(current, scanned);
}

// Without a mark every keyword of the entry counts as the author's; a scan keyword is
// offered only when the entry lacks it.
void IndexMerge::PlanKeywords(IndexEntry& current, const IndexEntry& scanned,
                              const TitlePair& title) {
    const std::vector<std::uint64_t> fresh = SortedHashes(scanned);
    const std::vector<std::uint64_t> present = SortedHashes(current);
    std::vector<std::uint64_t> last;
    std::uint64_t lastTitle = 0;
    bool hasLastTitle = false;
    if (current.m_scanMark) {
        last = current.m_scanMark->keywords;
        std::sort(last.begin(), last.end());
        if (title.current != kNone) {
            lastTitle = LastTitleKeyword(current, title.current, scanned, title.scanned);
            hasLastTitle = true;
        }
    }
    for (std::size_t i = 0; i < current.m_keywords.size(); ++i) {
        if (i == title.current) {
            continue;
        }
        const IndexKeyword& keyword = current.m_keywords[i];
        std::uint64_t hash = ScanMark::HashKeyword(keyword);
        if (Holds(last, hash)) {
            if (!Holds(fresh, hash)) {
                Add({MergeChange::Kind::KeywordRemoved, current.FullUrl(), current.m_title,
                     keyword.m_phrase, ""},
                    {&current, &scanned, i, nullptr});
            }
        } else if (current.m_scanMark || !Holds(fresh, hash)) {
            ++m_result.authorEditsKept;
        }
    }
    for (std::uint64_t hash : last) {
        if (!Holds(present, hash) && !(hasLastTitle && hash == lastTitle)) {
            ++m_result.authorEditsKept; // a scan keyword the author deleted stays deleted
        }
    }
    for (std::size_t i = 0; i < scanned.m_keywords.size(); ++i) {
        std::uint64_t hash = ScanMark::HashKeyword(scanned.m_keywords[i]);
        if (i != title.scanned && !Holds(present, hash) && !Holds(last, hash)) {
            Add({MergeChange::Kind::KeywordAdded, current.FullUrl(), current.m_title, "",
                 scanned.m_keywords[i].m_phrase},
                {&current, &scanned, i, nullptr});
        }
    }
}

int IndexMerge::KeptSettings(const IndexEntry& current, const IndexEntry& scanned) const {
    int kept = current.m_inContents != scanned.m_inContents ? 1 : 0;
    kept += current.m_pageTip != scanned.m_pageTip ? 1 : 0;
    kept += current.m_iconUrl != scanned.m_iconUrl ? 1 : 0;
    kept += EffectiveTarget(current) != EffectiveTarget(scanned) ? 1 : 0;
    return kept;
}

bool IndexMerge::SamePlace(const IndexEntry* currentParent, const IndexEntry* scannedParent) const {
    if (scannedParent == &m_scanned.m_root) {
        return currentParent == &m_root;
    }
    // Reached now through a page that has no entry yet: the site moved it, not the author.
    auto found = m_current.find(Key(*scannedParent));
    return found == m_current.end() || found->second.entry == currentParent;
}

void IndexMerge::Apply() {
    if (m_applied) {
        return;
    }
    m_applied = true;
    Accepted accepted;
    for (std::size_t i = 0; i < m_result.changes.size(); ++i) {
        if (m_result.changes[i].apply) {
            Accept(m_result.changes[i].kind, m_targets[i], accepted);
        } else if (m_result.changes[i].kind == MergeChange::Kind::PageGone) {
            KeepGonePage(*m_targets[i].current, accepted);
        }
    }
    for (auto& [entry, positions] : accepted.dropped) {
        DropKeywords(*entry, positions);
    }
    InsertKeywords(accepted.addedKeywords);
    for (auto& [current, scanned] : m_matched) {
        current->m_scanMark = ScanMark::Of(*scanned);
    }
    for (const Target* target : accepted.addedPages) {
        AddPage(*target);
    }
    RemoveEntries(accepted.gone);
}

void IndexMerge::Accept(MergeChange::Kind kind, const Target& target, Accepted& accepted) {
    switch (kind) {
    case MergeChange::Kind::PageRetitled:
        target.current->m_title = target.scanned->m_title;
        if (target.keyword != kNone) {
            target.current->m_keywords[target.keyword].m_phrase = target.scanned->m_title;
        }
        break;
    case MergeChange::Kind::KeywordRemoved:
        accepted.dropped[target.current].push_back(target.keyword);
        break;
    case MergeChange::Kind::KeywordAdded:
        accepted.addedKeywords.push_back(&target);
        break;
    case MergeChange::Kind::PageAdded:
        accepted.addedPages.push_back(&target);
        break;
    case MergeChange::Kind::PageGone:
        accepted.gone.push_back(target.current);
        break;
    }
}

// The keywords the scan gave a page the author keeps go, as a page of the site would lose
// them. The mark forgets them too, so should the page come back they are offered again.
void IndexMerge::KeepGonePage(IndexEntry& entry, Accepted& accepted) {
    if (std::vector<std::size_t> positions = ScanKeywordPositions(entry); !positions.empty()) {
        std::vector<std::size_t>& list = accepted.dropped[&entry];
        list.insert(list.end(), positions.begin(), positions.end());
        entry.m_scanMark->keywords.clear();
    }
    if (entry.m_children.empty()) {
        // An entry with entries below it stays in the contents: out of it, the file would
        // take those entries out too when it is read again.
        entry.m_inContents = 0;
    }
}

void IndexMerge::DropKeywords(IndexEntry& entry, std::vector<std::size_t>& positions) {
    std::sort(positions.begin(), positions.end());
    std::vector<IndexKeyword> kept;
    kept.reserve(entry.m_keywords.size());
    for (std::size_t i = 0; i < entry.m_keywords.size(); ++i) {
        if (!std::binary_search(positions.begin(), positions.end(), i)) {
            kept.push_back(std::move(entry.m_keywords[i]));
        }
    }
    entry.m_keywords = std::move(kept);
}

// The keywords an update adds keep the place the scan gives them among the page's others.
void IndexMerge::InsertKeywords(const std::vector<const Target*>& added) {
    std::unordered_map<IndexEntry*, std::vector<std::size_t>> positions;
    std::vector<std::pair<IndexEntry*, const IndexEntry*>> entries;
    for (const Target* target : added) {
        auto [found, first] = positions.try_emplace(target->current);
        if (first) {
            entries.emplace_back(target->current, target->scanned);
        }
        found->second.push_back(target->keyword);
    }
    for (auto& [entry, scanned] : entries) {
        std::vector<std::size_t>& list = positions[entry];
        std::sort(list.begin(), list.end());
        PlaceKeywords(*entry, *scanned, list);
    }
}

std::unique_ptr<IndexEntry> IndexMerge::NewEntry(const IndexEntry& scanned) const {
    BaseUrl* baseUrl = nullptr;
    std::string url = scanned.m_url;
    if (scanned.m_baseUrl) {
        auto found = m_baseByText.find(scanned.m_baseUrl->m_url);
        if (found != m_baseByText.end()) {
            baseUrl = found->second;
        } else {
            url = scanned.m_baseUrl->m_url + url;
        }
    }
    auto entry =
        std::make_unique<IndexEntry>(0, baseUrl, url, scanned.m_title, scanned.m_targetFrame,
                                     scanned.m_ownTarget, scanned.m_iconUrl, scanned.m_inContents);
    entry->m_pageTip = scanned.m_pageTip;
    entry->m_keywords = scanned.m_keywords;
    for (IndexKeyword& keyword : entry->m_keywords) {
        keyword.m_owner = entry.get();
    }
    entry->m_scanMark = ScanMark::Of(scanned);
    return entry;
}

// Under the entry of the page that links to it, as the scan placed it, after the children
// that entry already has; at the end of the top level when that page has no entry.
void IndexMerge::AddPage(const Target& target) {
    IndexEntry* parent = &m_root;
    if (target.scannedParent != &m_scanned.m_root) {
        auto found = m_current.find(Key(*target.scannedParent));
        if (found != m_current.end()) {
            parent = found->second.entry;
        }
    }
    std::unique_ptr<IndexEntry> entry = NewEntry(*target.scanned);
    IndexEntry* added = entry.get();
    parent->AppendChild(std::move(entry));
    m_current.emplace(Key(*target.scanned), Placed{added, parent});
}

// A removed entry's children take its place, so pages still there keep as near their place
// as they can.
void IndexMerge::RemoveEntries(const std::vector<IndexEntry*>& gone) {
    if (gone.empty()) {
        return;
    }
    const std::unordered_set<IndexEntry*> removing(gone.begin(), gone.end());
    std::vector<IndexEntry*> parents{&m_root};
    while (!parents.empty()) {
        IndexEntry* parent = parents.back();
        parents.pop_back();
        std::vector<std::unique_ptr<IndexEntry>> work;
        for (auto it = parent->m_children.rbegin(); it != parent->m_children.rend(); ++it) {
            work.push_back(std::move(*it));
        }
        parent->m_children.clear();
        while (!work.empty()) {
            std::unique_ptr<IndexEntry> child = std::move(work.back());
            work.pop_back();
            if (removing.count(child.get()) == 0) {
                parents.push_back(child.get());
                parent->m_children.push_back(std::move(child));
                continue;
            }
            for (auto it = child->m_children.rbegin(); it != child->m_children.rend(); ++it) {
                work.push_back(std::move(*it));
            }
            child->m_children.clear();
        }
    }
}

void IndexMerge::MarkScanned(IndexEntry& root) {
    PreOrder(root, [](IndexEntry& entry, IndexEntry&) { entry.m_scanMark = ScanMark::Of(entry); });
}

} // namespace tamblin
