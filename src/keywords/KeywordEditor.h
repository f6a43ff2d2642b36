#pragma once

#include "keywords/KeywordIndex.h"
#include "keywords/KeywordListsStep.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tamblin {

// Edits of the whole keyword index. Each gives one step that has not been done yet (its
// first Redo does it), or nothing when it would change nothing.
class KeywordEditor {
public:
    enum class PhraseCheck {
        Ok,
        Empty,       // readers never see a keyword without a phrase
        Unwritable,  // ";" or a line break: the file format cannot hold them
        NotEncodable // a character the file's encoding (Windows-1252) lacks
    };

    explicit KeywordEditor(const KeywordIndex& index) : m_index(index) {}

    // A phrase the user typed, as the file will hold it.
    PhraseCheck CheckPhrase(std::u16string_view phrase, std::string& bytes) const;

    // Every keyword of `group` takes the phrase `bytes`; where that phrase exists the two
    // become one, and a keyword that would repeat one its page already has is dropped.
    std::unique_ptr<KeywordListsStep> Rename(const KeywordGroup& group,
                                             const std::string& bytes) const;
    std::unique_ptr<KeywordListsStep> Remove(const KeywordGroup& group) const;
    // The keywords `refs` (of one phrase) go to the phrase `bytes`.
    std::unique_ptr<KeywordListsStep> Move(const std::vector<KeywordRef>& refs,
                                           const std::string& bytes) const;

private:
    std::unique_ptr<KeywordListsStep> ChangePhrase(std::span<const KeywordRef> refs,
                                                   const std::string& bytes,
                                                   std::string name) const;

    const KeywordIndex& m_index;
};

} // namespace tamblin
