#include "searchpage/CopyAppletFiles.h"

#include "index/FileReplace.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tamblin {

namespace fs = std::filesystem;

namespace {

bool ListFiles(const std::string& directory, std::vector<std::string>& names) {
    std::error_code error;
    fs::directory_iterator it(directory.empty() ? std::string(".") : directory, error);
    if (error) {
        return false;
    }
    for (; it != fs::directory_iterator(); it.increment(error)) {
        if (error) {
            break;
        }
        std::error_code ignored;
        if (!it->is_directory(ignored)) {
            names.push_back(it->path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return true;
}

bool ReadWhole(const fs::path& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// True when `to` was there with other bytes than `from` and now holds them.
bool ReplaceIfDifferent(const fs::path& from, const fs::path& to) {
    std::string wanted;
    std::string there;
    std::error_code error;
    if (!fs::exists(to, error) || !ReadWhole(from, wanted) || !ReadWhole(to, there) ||
        wanted == there) {
        return false;
    }
    return WriteFileReplacing(to.string(), wanted).Ok();
}

std::error_code LastError() {
    return std::error_code(errno, std::generic_category());
}

class Descriptor final {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() { Close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return m_fd; }
    // Some file systems report a failed write only here.
    bool Close() {
        int fd = m_fd;
        m_fd = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Copies the bytes of `from` into the new file `to`; the error names what the system said.
std::error_code CopyBytes(int from, const std::string& to) {
    Descriptor out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    if (out.Get() < 0) {
        return LastError();
    }
    std::vector<char> buffer(64 * 1024);
    while (true) {
        ssize_t n = ::read(from, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 || (n > 0 && !WriteAll(out.Get(), buffer.data(), static_cast<size_t>(n)))) {
            return LastError();
        }
        if (n == 0) {
            break;
        }
    }
    if (::fsync(out.Get()) != 0 || !out.Close()) {
        return LastError();
    }
    return {};
}

// A file already at the destination is the author's and counts as present; it is never
// replaced. Anything this call began to write and could not finish is removed: a cut-off
// applet file left there would be taken as present by every later run.
std::error_code CopyOne(const std::string& from, const std::string& to) {
    struct stat there {};
    if (::lstat(to.c_str(), &there) == 0) {
        return S_ISDIR(there.st_mode) ? std::make_error_code(std::errc::is_a_directory)
                                      : std::error_code();
    }
    // Without O_NONBLOCK, opening a FIFO would wait for a writer.
    Descriptor in(::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat source {};
    if (in.Get() < 0 || ::fstat(in.Get(), &source) != 0) {
        return LastError();
    }
    if (!S_ISREG(source.st_mode)) {
        return std::make_error_code(std::errc::not_supported);
    }
    std::error_code error = CopyBytes(in.Get(), to);
    if (error == std::errc::file_exists) {
        return {};
    }
    if (error) {
        ::unlink(to.c_str());
    }
    return error;
}

void ComposeText(AppletCopyReport& report) {
    if (report.failed.empty() || !report.copied.empty()) {
        report.text = "These files have been copied to your working directory:\n\n";
        for (const std::string& name : report.copied) {
            report.text += name + ", ";
        }
        report.text.resize(report.text.size() - 2);
    }
    if (!report.replaced.empty()) {
        report.text += "\n\nThe script viewer's files were replaced with this version's: ";
        for (size_t i = 0; i < report.replaced.size(); ++i) {
            report.text += (i ? ", " : "") + report.replaced[i];
        }
    }
    if (report.failed.empty()) {
        return;
    }
    if (!report.text.empty()) {
        report.text += "\n\n";
    }
    report.text += "These files could not be copied to your working directory:\n";
    for (const AppletCopyFailure& failure : report.failed) {
        report.text += "\n" + failure.name + ": " + failure.error.message();
    }
}

} // namespace

AppletCopyReport CopyAppletFiles(const std::string& redistDirectory,
                                 const std::string& pageDirectory,
                                 const std::function<void(const std::string&)>& copying,
                                 bool replaceViewer) {
    AppletCopyReport report;
    std::vector<std::string> names;
    report.sourceFound = ListFiles(redistDirectory, names);
    if (!report.sourceFound) {
        return report;
    }
    for (const std::string& name : names) {
        if (copying) {
            copying(name);
        }
        if (replaceViewer && name.rfind(kWebViewerFilePrefix, 0) == 0 &&
            ReplaceIfDifferent(fs::path(redistDirectory) / name, fs::path(pageDirectory) / name)) {
            report.replaced.push_back(name);
        }
        std::error_code error = CopyOne(redistDirectory + name, pageDirectory + name);
        if (error) {
            report.failed.push_back({name, error});
        } else {
            report.copied.push_back(name);
        }
    }
    ComposeText(report);
    return report;
}

} // namespace tamblin
