#pragma once

#include "contents/EditStep.h"
#include "index/IndexKeyword.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tamblin {

class BaseUrl;
class IndexEntry;

// A change of one entry's own fields (a rename, a URL Properties or keywords sheet's OK):
// both versions are kept, the children are not touched.
class EntryFieldsStep final : public EditStep {
public:
    struct Fields {
        int inContents = 1;
        BaseUrl* baseUrl = nullptr;
        std::string url;
        std::string title;
        std::string targetFrame;
        int ownTarget = 0;
        std::string iconUrl;
        std::string pageTip;
        std::vector<IndexKeyword> keywords;

        static Fields Of(const IndexEntry& entry);
        void ApplyTo(IndexEntry& entry) const;
        bool operator==(const Fields& other) const;
        std::size_t Bytes() const;
    };

    EntryFieldsStep(std::string name, IndexEntry& entry, Fields before, Fields after);

    void Undo(EditObserver& observer) override;
    void Redo(EditObserver& observer) override;
    std::size_t Bytes() const override;

private:
    IndexEntry* m_entry;
    Fields m_before;
    Fields m_after;
};

} // namespace tamblin
