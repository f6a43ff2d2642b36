#include "find/IndexFinder.h"

#include "index/BaseUrl.h"
#include "index/IndexEntry.h"
#include "index/IndexFile.h"
#include "index/TextUtils.h"

#include <optional>
#include <vector>

namespace tamblin {

namespace {

using Kind = FindHit::Kind;

class FieldMatcher {
public:
    FieldMatcher(const std::string& pattern, const FindRequest& request)
        : m_pattern(pattern), m_request(request) {}

    // The node's own fields in the order the user sees them on its pages. The page tip is
    // never searched.
    std::optional<FindHit> OwnFields(IndexEntry& entry) const {
        if (m_request.inUrls) {
            if (Matches(entry.m_title)) {
                return FindHit{&entry, Kind::Title, 0};
            }
            if (Matches(entry.m_url) || Matches(entry.m_targetFrame) || Matches(entry.m_iconUrl)) {
                return FindHit{&entry, Kind::General, 0};
            }
        }
        if (m_request.inIndices) {
            for (size_t i = 0; i < entry.m_keywords.size(); ++i) {
                const IndexKeyword& keyword = entry.m_keywords[i];
                if (Matches(keyword.m_phrase) || Matches(keyword.m_anchor) ||
                    Matches(keyword.m_extraTitle) || Matches(keyword.m_targetFrame)) {
                    return FindHit{&entry, Kind::Keyword, static_cast<int>(i) + 1};
                }
            }
        }
        return std::nullopt;
    }

    // Base URLs belong to neither scope option, so they are searched whatever those say.
    std::optional<FindHit> BaseUrls(IndexFile& index) const {
        for (size_t i = 0; i < index.m_baseUrls.size(); ++i) {
            const BaseUrl& base = *index.m_baseUrls[i];
            if (Matches(base.m_url) || Matches(base.m_targetFrame)) {
                return FindHit{&index.m_root, Kind::BaseUrl, static_cast<int>(i) + 1};
            }
        }
        return std::nullopt;
    }

    // Depth first through `top`'s tree, searching from `start` on: its subtree, then its
    // following siblings with theirs, then its parent's following siblings, and so on.
    // Entries know no parent, so the walk passes over the nodes before `start` to learn
    // where it sits; the stack holds one frame per level, so depth costs no call stack.
    std::optional<FindHit> Walk(IndexEntry& top, const IndexEntry& start, bool searchStart) const {
        struct Frame {
            IndexEntry* entry;
            size_t next;
        };
        bool started = false;
        auto visit = [&](IndexEntry& entry) -> std::optional<FindHit> {
            if (started) {
                return OwnFields(entry);
            }
            if (&entry == &start) {
                started = true;
                if (searchStart) {
                    return OwnFields(entry);
                }
            }
            return std::nullopt;
        };
        if (auto hit = visit(top)) {
            return hit;
        }
        std::vector<Frame> stack{{&top, 0}};
        while (!stack.empty()) {
            Frame& frame = stack.back();
            if (frame.next == frame.entry->m_children.size()) {
                stack.pop_back();
                continue;
            }
            IndexEntry& child = *frame.entry->m_children[frame.next++];
            if (auto hit = visit(child)) {
                return hit;
            }
            stack.push_back({&child, 0});
        }
        return std::nullopt;
    }

private:
    bool Matches(const std::string& field) const {
        return FindInText(m_pattern, field, m_request.matchCase, m_request.wholeWord);
    }

    const std::string& m_pattern;
    const FindRequest& m_request;
};

std::optional<FindHit> Search(IndexFile& index, IndexEntry& start, bool repeated,
                              const FieldMatcher& matcher, const FindRequest& request) {
    IndexEntry& others = index.m_otherKeywords;
    std::optional<FindHit> hit;
    if (&start == &index.m_root && !repeated) {
        hit = matcher.BaseUrls(index);
    }
    if (!hit && &start == &others) {
        // Its own tree: no children and no siblings.
        if (!repeated) {
            hit = matcher.OwnFields(others);
        }
    } else if (!hit) {
        hit = matcher.Walk(index.m_root, start, !repeated);
    }
    // Keywords that belong to no URL would otherwise be out of reach from the contents.
    if (!hit && &start != &others && request.inIndices) {
        hit = matcher.OwnFields(others);
    }
    return hit;
}

} // namespace

IndexFinder::Result IndexFinder::FindNext(IndexFile& index, IndexEntry* start,
                                          const FindRequest& request) {
    Result result;
    if (!request.inUrls && !request.inIndices) {
        result.outcome = Outcome::NoScope;
        return result;
    }
    result.searched = request.matchCase ? request.text : LowerText(request.text);
    bool repeated = result.searched == m_previous;
    m_previous = result.searched;
    // An empty text would be found in every field; the dialog never asks for it.
    if (result.searched.empty()) {
        return result;
    }
    FieldMatcher matcher(result.searched, request);
    std::optional<FindHit> hit =
        Search(index, start ? *start : index.m_root, repeated, matcher, request);
    if (hit) {
        result.outcome = Outcome::Found;
        result.hit = *hit;
    }
    return result;
}

} // namespace tamblin
