#pragma once

#include "fulltext/SearchIndexData.h"
#include "index/SaveResult.h"

#include <functional>
#include <string>

namespace tamblin {

// Writes a search index into its folder beside the index file (SearchIndexFiles): the parts
// go into a new folder beside it, every write checked, and only once all are there does the
// new folder take the old one's place. A failure leaves the old folder as it was.
class SearchIndexWriter {
public:
    // Word parts end once they pass this many bytes. A first query fetches the word parts of
    // each prefix typed (a few, however many words it begins: smaller parts are fewer bytes
    // for the same words); every part is a file to create. Text parts: SearchPageParts.
    static constexpr size_t kWordPartBytes = 16 * 1024;

    // `beforeReplacing`, when given, is called once the new folder is whole on disk and before
    // it takes the old one's place: the caller saves the index file there, so that a failure
    // of either leaves the old index beside the old words. When it returns false the new
    // folder is dropped (ECANCELED).
    static SaveResult Write(const SearchIndexData& data, const std::string& indexPath,
                            const std::function<bool()>& beforeReplacing = {});
    // Removes the search index of `indexPath`, if any; false when it stays.
    static bool Remove(const std::string& indexPath);
};

} // namespace tamblin
