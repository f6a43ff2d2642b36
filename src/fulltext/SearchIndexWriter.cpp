#include "fulltext/SearchIndexWriter.h"

#include "fulltext/SearchIndexFiles.h"
#include "fulltext/SearchPageParts.h"
#include "fulltext/SearchPartPack.h"
#include "fulltext/SearchPartScript.h"
#include "fulltext/SearchStartLists.h"
#include "fulltext/SearchWordPart.h"
#include "index/FdOutputBuffer.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace tamblin {

namespace {

namespace fs = std::filesystem;

// 0, or the error number. Some file systems cannot sync a folder (EINVAL).
int SyncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    int error = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    ::close(fd);
    return error;
}

// Writes the parts into the new folder, each made whole in memory and written by one call.
class FolderWriter {
public:
    explicit FolderWriter(std::string folder) : m_folder(std::move(folder)) {}

    bool Put(const std::string& path, std::string_view bytes) {
        return m_result.Ok() && PutScript(path, SearchPartScript(bytes));
    }

    bool PutScript(const std::string& path, std::string_view script) {
        if (!m_result.Ok()) {
            return false;
        }
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        int error = fd < 0 ? errno : 0;
        if (fd >= 0) {
            m_out.Attach(fd);
            m_out.sputn(script.data(), static_cast<std::streamsize>(script.size()));
            m_out.pubsync();
            error = m_out.Error();
#ifdef __linux__
            // The part goes to the disk while the next ones are made, so that the one sync
            // at the end finds little left to write.
            if (error == 0) {
                ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
            }
#endif
        }
        if (fd >= 0 && ::close(fd) != 0 && error == 0) {
            error = errno;
        }
        if (error != 0) {
            m_result = SaveResult::Failure(error);
        }
        return m_result.Ok();
    }

    // The folder takes the old one's place by a rename, so its parts must be on disk first,
    // or a crash after the rename could leave empty parts and no old folder. One sync of the
    // file system does it for every part: an fsync each would commit the journal once per
    // part, seconds for a site of a few hundred pages.
    bool Sync() {
        if (!m_result.Ok()) {
            return false;
        }
        int fd = ::open(m_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        int error = fd < 0 ? errno : 0;
#ifdef __linux__
        if (fd >= 0 && ::syncfs(fd) != 0) {
            error = errno;
        }
#else
        ::sync();
#endif
        if (fd >= 0) {
            ::close(fd);
        }
        if (error != 0) {
            m_result = SaveResult::Failure(error);
        }
        return m_result.Ok();
    }
    void Fail(SaveResult result) {
        m_result = result;
    }
    const std::string& Folder() const {
        return m_folder;
    }
    SaveResult Result() const {
        return m_result;
    }

private:
    std::string m_folder;
    // One buffer for every part: a part is written by one call when it is whole.
    FdOutputBuffer m_out;
    SaveResult m_result;
};

// Page parts and text parts: those the builder made, else made here a part at a time.
void WritePages(const SearchIndexData& data, FolderWriter& out) {
    auto put = [&](const SearchPageParts::Part& part) {
        const std::string& folder = out.Folder();
        return out.PutScript(part.text ? SearchIndexFiles::TextPart(folder, part.number)
                                       : SearchIndexFiles::PagePart(folder, part.number),
                             part.script);
    };
    if (data.partsOfPages == data.pages.size()) {
        for (const SearchPageParts::Part& part : data.pageParts) {
            if (!put(part)) {
                return;
            }
        }
        return;
    }
    SearchPageParts parts;
    for (const SearchPage& page : data.pages) {
        parts.Add(page);
        for (const SearchPageParts::Part& part : parts.Take()) {
            if (!put(part)) {
                return;
            }
        }
    }
    parts.Finish();
    for (const SearchPageParts::Part& part : parts.Take()) {
        put(part);
    }
}

// Word parts are packed while packing pays: most sites' words and numbers do not repeat, and
// their parts packed to 98% of their size, for a part of the time the index takes to write
// after the scan. Once a part packs to more than nine tenths, the next are stored as they are,
// and every eighth is packed again to see.
class WordPartPacker {
public:
    std::string ScriptOf(std::string_view part) {
        if (!m_packing && ++m_stored % 8 != 0) {
            return SearchPartScriptOfPacked(SearchPartPack::Store(part));
        }
        std::string packed = SearchPartPack::Pack(part);
        m_packing = packed.size() * 10 <= part.size() * 9;
        return SearchPartScriptOfPacked(m_packing ? packed : SearchPartPack::Store(part));
    }

private:
    bool m_packing = true;
    unsigned m_stored = 0;
};

// Word parts; the first and last word of each, for the list.
std::vector<std::pair<std::string, std::string>> WriteWords(const SearchIndexData& data,
                                                            FolderWriter& out) {
    WordPartPacker packer;
    auto put = [&](size_t number, std::string_view part) {
        out.PutScript(SearchIndexFiles::WordPart(out.Folder(), number), packer.ScriptOf(part));
    };
    std::vector<std::pair<std::string, std::string>> bounds;
    std::string part;
    std::string_view before;
    std::vector<SearchPosting> postings;
    for (size_t i = 0; i < data.words.Size(); ++i) {
        std::string_view word = data.words.Text(i);
        if (part.empty()) {
            bounds.emplace_back(word, word);
            before = {};
        }
        data.words.PostingsInto(i, postings);
        SearchWordPart::Append(word, postings, before, part);
        before = word;
        bounds.back().second = word;
        if (part.size() >= SearchIndexWriter::kWordPartBytes) {
            put(bounds.size() - 1, part);
            part.clear();
        }
    }
    if (!part.empty()) {
        put(bounds.size() - 1, part);
    }
    return bounds;
}

// The start parts; how many there are.
size_t WriteStarts(const SearchIndexData& data, FolderWriter& out) {
    SearchStartLists::Parts parts = SearchStartLists::Make(data.words, data.pages.size());
    if (parts.lists.empty()) {
        return 0;
    }
    WordPartPacker packer;
    for (size_t n = 0; n < parts.lists.size(); ++n) {
        out.PutScript(SearchIndexFiles::StartPart(out.Folder(), n),
                      packer.ScriptOf(parts.lists[n]));
    }
    out.Put(SearchIndexFiles::FirstPart(out.Folder()), parts.firsts);
    return parts.lists.size();
}

SaveResult ErrorOf(const std::error_code& error) {
    return SaveResult::Failure(error.value() != 0 ? error.value() : EIO);
}

// The list: what a reader reads first, so only what finds the parts of a word.
// A reader that knows no start parts reads the numbers it knows and the words' lines.
std::string ListText(const SearchIndexData& data,
                     const std::vector<std::pair<std::string, std::string>>& bounds,
                     size_t startParts) {
    std::string list = "navora-search 2\n";
    list +=
        std::to_string(data.pages.size()) + ' ' + std::to_string(SearchIndexFiles::kPagesPerPart);
    if (startParts > 0) {
        list += ' ' + std::to_string(startParts);
    }
    list += '\n';
    for (const auto& [first, last] : bounds) {
        list += first + ' ' + last + '\n';
    }
    return list;
}

// The new folder takes the old one's place; the old one is put back when it cannot.
SaveResult PutInPlace(const std::string& fresh, const std::string& folder) {
    const std::string old = folder + ".old";
    std::error_code error;
    fs::remove_all(old, error);
    bool hadOld = fs::exists(folder, error);
    if (hadOld) {
        fs::rename(folder, old, error);
    }
    if (!error) {
        fs::rename(fresh, folder, error);
    }
    if (error) {
        std::error_code ignored;
        if (hadOld && !fs::exists(folder, ignored)) {
            fs::rename(old, folder, ignored);
        }
        fs::remove_all(fresh, ignored);
        return ErrorOf(error);
    }
    fs::remove_all(old, error);
    // Which folder a crash leaves is then the new one; either is whole.
    std::string parent = fs::path(folder).parent_path().string();
    SyncFolder(parent.empty() ? "." : parent);
    return {};
}

} // namespace

SaveResult SearchIndexWriter::Write(const SearchIndexData& data, const std::string& indexPath,
                                    const std::function<bool()>& beforeReplacing) {
    const std::string folder = SearchIndexFiles::Folder(indexPath);
    const std::string fresh = folder + ".new";
    std::error_code error;
    fs::remove_all(fresh, error);
    if (!fs::create_directory(fresh, error)) {
        return ErrorOf(error);
    }
    // Pages and words are parts of their own: each made on a thread of its own.
    FolderWriter pageOut(fresh);
    std::thread pages([&] { WritePages(data, pageOut); });
    FolderWriter startOut(fresh);
    size_t startParts = 0;
    std::thread starts([&] { startParts = WriteStarts(data, startOut); });
    FolderWriter out(fresh);
    auto bounds = WriteWords(data, out);
    starts.join();
    out.Put(SearchIndexFiles::List(fresh), ListText(data, bounds, startParts));
    pages.join();
    for (const FolderWriter* other : {&pageOut, &startOut}) {
        if (!other->Result().Ok()) {
            out.Fail(other->Result());
        }
    }
    if (!out.Sync()) {
        fs::remove_all(fresh, error);
        return out.Result();
    }
    if (beforeReplacing && !beforeReplacing()) {
        fs::remove_all(fresh, error);
        return SaveResult::Failure(ECANCELED);
    }
    return PutInPlace(fresh, folder);
}

bool SearchIndexWriter::Remove(const std::string& indexPath) {
    std::error_code error;
    fs::remove_all(SearchIndexFiles::Folder(indexPath), error);
    return !error;
}

} // namespace tamblin
