#include "fulltext/SearchIndexWriter.h"

#include "fulltext/SearchIndexFiles.h"
#include "fulltext/SearchPartScript.h"
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

std::string Base36(std::uint32_t value) {
    static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string out;
    do {
        out.insert(out.begin(), kDigits[value % 36]);
        value /= 36;
    } while (value != 0);
    return out;
}

void AppendField(const std::string& text, std::string& out) {
    for (char c : text) {
        out += c == '\t' || c == '\n' || c == '\r' ? ' ' : c;
    }
}

// UTF-16 code units of UTF-8 text: one for each lead byte, two for those of four bytes.
std::uint32_t Utf16Units(std::string_view utf8) {
    std::uint32_t units = 0;
    for (char ch : utf8) {
        auto c = static_cast<unsigned char>(ch);
        units += (c & 0xC0) != 0x80 ? 1 : 0;
        units += c >= 0xF0 ? 1 : 0;
    }
    return units;
}

// Where a section of `text` from `at` that may take `room` bytes ends: after a space in its
// second half where there is one, never inside a character.
size_t SectionEnd(std::string_view text, size_t at, size_t room) {
    if (text.size() - at <= room) {
        return text.size();
    }
    size_t end = at + room;
    while (end > at + 1 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    size_t space = text.rfind(' ', end - 1);
    return space != std::string_view::npos && space >= at + room / 2 ? space + 1 : end;
}

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
        if (!m_result.Ok()) {
            return false;
        }
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        int error = fd < 0 ? errno : 0;
        if (fd >= 0) {
            m_out.Attach(fd);
            std::string script = SearchPartScript(bytes);
            m_lastFileBytes = script.size();
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
    // The size on disk of the part put last.
    size_t LastFileBytes() const {
        return m_lastFileBytes;
    }
    SaveResult Result() const {
        return m_result;
    }

private:
    std::string m_folder;
    // One buffer for every part: a part is written by one call when it is whole.
    FdOutputBuffer m_out;
    SaveResult m_result;
    size_t m_lastFileBytes = 0;
};

// Page parts and text parts. A text part is filled to its size: a page's text is cut into
// sections where a part ends, so that parts are few (each is a file to create) while a
// snippet still fetches no more than one part.
class PageWriter {
public:
    explicit PageWriter(FolderWriter& out) : m_out(out) {}

    void Add(const SearchPage& page) {
        AppendField(page.url, m_pagePart);
        m_pagePart += '\t';
        AppendField(page.title, m_pagePart);
        m_pagePart += '\t';
        std::string_view text = page.text;
        std::uint32_t units = 0;
        for (size_t at = 0; at < text.size();) {
            if (m_sections > 0 && m_textPart.size() + m_partBytes / 8 > m_partBytes) {
                EndTextPart();
            }
            // The line end counts.
            size_t end = SectionEnd(text, at, m_partBytes - m_textPart.size() - 1);
            m_pagePart += (at == 0 ? "" : ",") + Base36(units) + ',' + Base36(m_textNumber) + ',' +
                          Base36(m_sections);
            std::string_view section = text.substr(at, end - at);
            m_textPart.append(section);
            m_textPart += '\n';
            ++m_sections;
            units += Utf16Units(section);
            at = end;
        }
        m_pagePart += '\n';
        if (++m_pages % SearchIndexFiles::kPagesPerPart == 0) {
            EndPagePart();
        }
    }

    void Finish() {
        if (m_pages % SearchIndexFiles::kPagesPerPart != 0) {
            EndPagePart();
        }
        if (m_sections > 0) {
            EndTextPart();
        }
    }

private:
    // A part with less room than an eighth of its size ends rather than take a sliver of a
    // page. The next part's size follows how well this one packed: a site's pages are much
    // alike, and the size is then known without packing anything twice.
    void EndTextPart() {
        m_out.Put(SearchIndexFiles::TextPart(m_out.Folder(), m_textNumber++), m_textPart);
        size_t file = std::max<size_t>(m_out.LastFileBytes(), 1);
        m_partBytes =
            std::clamp(m_textPart.size() * SearchIndexWriter::kTextPartFileBytes / file,
                       SearchIndexWriter::kTextPartBytes, SearchIndexWriter::kMostTextPartBytes);
        m_textPart.clear();
        m_sections = 0;
    }
    void EndPagePart() {
        m_out.Put(SearchIndexFiles::PagePart(m_out.Folder(),
                                             (m_pages - 1) / SearchIndexFiles::kPagesPerPart),
                  m_pagePart);
        m_pagePart.clear();
    }

    FolderWriter& m_out;
    std::string m_pagePart;
    std::string m_textPart;
    std::uint32_t m_textNumber = 0;
    std::uint32_t m_sections = 0;
    size_t m_pages = 0;
    size_t m_partBytes = SearchIndexWriter::kTextPartBytes;
};

void WritePages(const SearchIndexData& data, FolderWriter& out) {
    PageWriter pages(out);
    for (const SearchPage& page : data.pages) {
        pages.Add(page);
    }
    pages.Finish();
}

// Word parts; the first and last word of each, for the list.
std::vector<std::pair<std::string, std::string>> WriteWords(const SearchIndexData& data,
                                                            FolderWriter& out) {
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
            out.Put(SearchIndexFiles::WordPart(out.Folder(), bounds.size() - 1), part);
            part.clear();
        }
    }
    if (!part.empty()) {
        out.Put(SearchIndexFiles::WordPart(out.Folder(), bounds.size() - 1), part);
    }
    return bounds;
}

SaveResult ErrorOf(const std::error_code& error) {
    return SaveResult::Failure(error.value() != 0 ? error.value() : EIO);
}

// The list: what a reader reads first, so only what finds the parts of a word.
std::string ListText(const SearchIndexData& data,
                     const std::vector<std::pair<std::string, std::string>>& bounds) {
    std::string list = "navora-search 2\n";
    list += std::to_string(data.pages.size()) + ' ' +
            std::to_string(SearchIndexFiles::kPagesPerPart) + '\n';
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
    FolderWriter out(fresh);
    auto bounds = WriteWords(data, out);
    out.Put(SearchIndexFiles::List(fresh), ListText(data, bounds));
    pages.join();
    if (!pageOut.Result().Ok()) {
        out.Fail(pageOut.Result());
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
