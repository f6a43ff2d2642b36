#include "fulltext/SearchIndexWriter.h"

#include "fulltext/SearchIndexFiles.h"
#include "fulltext/SearchPartScript.h"
#include "fulltext/SearchWordPart.h"
#include "fulltext/WordTokenizer.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <system_error>
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

// A page's text in sections of at most kTextPartUnits / 2 code units, cut at a space where
// one is near; each section's start in code units.
struct Section {
    std::string_view text;
    std::uint32_t start;
};

std::vector<Section> Sections(const std::string& text) {
    constexpr std::uint32_t kUnits = SearchIndexWriter::kTextPartUnits / 2;
    std::vector<Section> sections;
    size_t at = 0;
    std::uint32_t units = 0;
    while (at < text.size()) {
        size_t begin = at;
        std::uint32_t start = units;
        size_t lastSpace = 0;
        std::uint32_t spaceUnits = 0;
        while (at < text.size() && units - start < kUnits) {
            auto byte = static_cast<unsigned char>(text[at]);
            char32_t c = byte < 0x80 ? text[at++] : WordTokenizer::NextCodePoint(text, at);
            units += c >= 0x10000 ? 2 : 1;
            if (c == ' ') {
                lastSpace = at;
                spaceUnits = units;
            }
        }
        if (at < text.size() && lastSpace > begin && spaceUnits - start > kUnits / 2) {
            at = lastSpace;
            units = spaceUnits;
        }
        sections.push_back({std::string_view(text).substr(begin, at - begin), start});
    }
    return sections;
}

// 0, or the error number.
int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t put = ::write(fd, bytes.data(), bytes.size());
        if (put < 0 && errno != EINTR) {
            return errno;
        }
        bytes.remove_prefix(put > 0 ? static_cast<size_t>(put) : 0);
    }
    return 0;
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
        int error = fd < 0 ? errno : WriteAll(fd, SearchPartScript(bytes));
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
    const std::string& Folder() const {
        return m_folder;
    }
    SaveResult Result() const {
        return m_result;
    }

private:
    std::string m_folder;
    SaveResult m_result;
};

// Page parts and text parts: the sections of consecutive pages share a text part until it
// is full.
void WritePages(const SearchIndexData& data, FolderWriter& out) {
    std::string pagePart;
    std::string textPart;
    size_t textNumber = 0;
    size_t textSections = 0;
    std::uint32_t textUnits = 0;
    for (size_t i = 0; i < data.pages.size(); ++i) {
        const SearchPage& page = data.pages[i];
        AppendField(page.url, pagePart);
        pagePart += '\t';
        AppendField(page.title, pagePart);
        pagePart += '\t';
        bool first = true;
        for (const Section& section : Sections(page.text)) {
            // Bytes: never fewer than the section's code units.
            auto units = static_cast<std::uint32_t>(section.text.size());
            if (textSections > 0 && textUnits + units > SearchIndexWriter::kTextPartUnits) {
                out.Put(SearchIndexFiles::TextPart(out.Folder(), textNumber++), textPart);
                textPart.clear();
                textSections = 0;
                textUnits = 0;
            }
            pagePart += (first ? "" : ",") + Base36(section.start) + ',' +
                        Base36(static_cast<std::uint32_t>(textNumber)) + ',' +
                        Base36(static_cast<std::uint32_t>(textSections));
            first = false;
            textPart.append(section.text);
            textPart += '\n';
            ++textSections;
            textUnits += units;
        }
        pagePart += '\n';
        if ((i + 1) % SearchIndexFiles::kPagesPerPart == 0 || i + 1 == data.pages.size()) {
            out.Put(SearchIndexFiles::PagePart(out.Folder(), i / SearchIndexFiles::kPagesPerPart),
                    pagePart);
            pagePart.clear();
        }
    }
    if (textSections > 0) {
        out.Put(SearchIndexFiles::TextPart(out.Folder(), textNumber), textPart);
    }
}

// Word parts; the first and last word of each, for the list.
std::vector<std::pair<std::string, std::string>> WriteWords(const SearchIndexData& data,
                                                            FolderWriter& out) {
    std::vector<std::pair<std::string, std::string>> bounds;
    std::string part;
    std::string_view before;
    for (const auto& word : data.words) {
        if (part.empty()) {
            bounds.emplace_back(word.first, word.first);
            before = {};
        }
        SearchWordPart::Append(word, before, part);
        before = word.first;
        bounds.back().second = word.first;
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

} // namespace

SaveResult SearchIndexWriter::Write(const SearchIndexData& data, const std::string& indexPath) {
    const std::string folder = SearchIndexFiles::Folder(indexPath);
    const std::string fresh = folder + ".new";
    const std::string old = folder + ".old";
    std::error_code error;
    fs::remove_all(fresh, error);
    if (!fs::create_directory(fresh, error)) {
        return ErrorOf(error);
    }
    FolderWriter out(fresh);
    WritePages(data, out);
    auto bounds = WriteWords(data, out);
    out.Put(SearchIndexFiles::List(fresh), ListText(data, bounds));
    if (!out.Sync()) {
        fs::remove_all(fresh, error);
        return out.Result();
    }
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

bool SearchIndexWriter::Remove(const std::string& indexPath) {
    std::error_code error;
    fs::remove_all(SearchIndexFiles::Folder(indexPath), error);
    return !error;
}

} // namespace tamblin
