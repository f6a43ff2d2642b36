#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tamblin {

class IndexEntry;
class IndexFile;

// One keyword of the index: the `position`th of `owner`'s list (the other-keywords entry
// for Other Index keywords).
struct KeywordRef {
    IndexEntry* owner = nullptr;
    std::size_t position = 0;
};

// Every keyword with one phrase, as a reader of the index finds them under it. The texts,
// bytes and refs are views into the KeywordIndex that made the group.
struct KeywordGroup {
    std::u16string_view phrase; // as the reader shows it
    std::u16string_view key;    // the phrase lowered as JavaScript lowers it
    std::string_view bytes;     // the phrase as the file holds it
    std::span<const KeywordRef> refs;
    std::size_t pages = 0; // distinct pages among the refs
};

// The keyword index as the script viewer builds it from the saved file: the phrases decoded
// as browsers decode the file, grouped by phrase, sorted by the phrase lowered and then by the
// phrase itself in UTF-16 order, the keywords of a phrase in the order the viewer lists them.
// Keywords with an empty phrase, and Other Index keywords without a title, are left out, as
// the viewer leaves them out. Holds pointers to the index's entries: after a change of keyword
// lists alone, Update mends it; after any other change, build it again.
class KeywordIndex {
public:
    KeywordIndex() = default;
    // The groups view the index's own buffers, which moving keeps and copying would not.
    KeywordIndex(const KeywordIndex&) = delete;
    KeywordIndex& operator=(const KeywordIndex&) = delete;
    KeywordIndex(KeywordIndex&&) = default;
    KeywordIndex& operator=(KeywordIndex&&) = default;

    // `utf8`: how the file's texts are read, when the caller knows; otherwise the texts decide.
    void Build(IndexFile& index, std::optional<bool> utf8 = {});
    // The keyword lists of `entries` changed, and nothing else in the index: the groups of
    // their old and new phrases are made again, the others kept, the order kept without a new
    // sort. False, having changed nothing, when a new Build is the better way.
    bool Update(std::span<IndexEntry* const> entries);

    const std::vector<KeywordGroup>& Groups() const { return m_groups; }
    std::size_t KeywordCount() const { return m_keywords; }
    bool Utf8() const { return m_utf8; }
    IndexFile* Index() const { return m_index; }

    // The place of the group with exactly this phrase, or Groups().size().
    std::size_t Find(std::u16string_view phrase) const;
    // The file's bytes for a text, in the file's encoding; false when a character has no
    // byte there.
    bool Encode(std::u16string_view text, std::string& bytes) const;
    std::u16string Decode(std::string_view bytes) const;

private:
    // The steps of Build: sizes and scratch made ready, the phrases found in the viewer's
    // order, their texts and keys made, the order found, their refs put together, the groups
    // made in that order.
    void PrepareBuild(IndexFile& index);
    void WalkPhrases(IndexFile& index);
    std::uint32_t PendingOf(std::string_view bytes);
    void Rehash();
    void MakeTexts();
    void SortPending();
    void GatherRefs();
    void MakeGroups(IndexFile& index);
    // Appends the phrase of `bytes` and then its key to the text buffer; returns where the
    // key begins.
    std::size_t AppendText(std::string_view bytes);
    // Update's steps: a group's new refs found, the groups put back in order.
    struct Redo;
    std::vector<Redo> Redos(std::span<IndexEntry* const> entries);
    std::size_t FindBytes(std::string_view bytes) const;
    // Each redo's refs: the old ones of unchanged entries, a changed entry's new ones where its
    // old ones stood, and those of entries new to the phrase where the viewer's walk puts them.
    void Compose(std::vector<Redo>& redos, std::span<IndexEntry* const> entries);
    void ApplyRedos(std::vector<Redo>& redos);

    IndexFile* m_index = nullptr;
    bool m_utf8 = true;
    std::size_t m_keywords = 0;
    std::vector<KeywordGroup> m_groups;
    // Every group's phrase and key, one after another; and every group's refs, together.
    std::vector<char16_t> m_text;
    std::vector<KeywordRef> m_refs;
    // Every group's bytes, so that a group outlives the keyword it was first found on.
    std::vector<char> m_bytes;
    // What Update made: texts, bytes and refs of the groups it changed; they do not move.
    std::deque<std::u16string> m_moreText;
    std::deque<std::string> m_moreBytes;
    std::deque<std::vector<KeywordRef>> m_moreRefs;
    std::size_t m_moreRefCount = 0;
    // Build's working lists, kept from one build to the next: a large index rebuilt after
    // each edit would otherwise get fresh pages from the system for them every time. A phrase
    // found is a Pending, by where its bytes, text and key are in the buffers (which grow
    // while it is made) and its number of refs; refs then counts where its refs end.
    struct Pending {
        std::size_t bytesAt = 0;
        std::size_t textAt = 0;
        std::size_t keyAt = 0;
        std::size_t refs = 0;
    };
    // A phrase's place in the order: four UTF-16 units of its key from some depth on, packed
    // so that integers compare as the units do, its Pending and its key's length (at most
    // that of a whole key compared in four-unit steps).
    struct SortKey {
        std::uint64_t prefix = 0;
        std::uint32_t pending = 0;
        std::uint32_t keySize = 0;
    };
    std::string_view BytesOf(std::uint32_t p) const;
    std::u16string_view PhraseOf(std::uint32_t p) const;
    std::u16string_view KeyOf(std::uint32_t p) const;
    void SortRun(SortKey* first, SortKey* last, std::size_t depth);
    void RefineRun(SortKey* first, SortKey* last, std::size_t depth);
    struct Scratch {
        std::vector<Pending> pending;
        std::vector<std::uint32_t> groupOf;
        std::vector<std::uint64_t> slots;
        std::vector<SortKey> order;
    };
    Scratch m_scratch;
};

// The order readers see: by the lowered phrase, then by the phrase, in UTF-16 units.
bool ReaderOrderLess(const KeywordGroup& a, const KeywordGroup& b);

// The page a keyword leads to, to count pages: the owner for a page's keywords, its URL
// without the anchor for an Other Index keyword.
std::string PageKeyOf(const KeywordRef& ref, const IndexFile& index);

} // namespace tamblin
