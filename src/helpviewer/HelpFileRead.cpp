#include "helpviewer/HelpFileRead.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tamblin {

namespace {

class FileDescriptor final {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

HelpFileStatus ReadHelpFile(const std::string& path, std::string& bytes, uint64_t limit) {
    bytes.clear();
    // Without O_NONBLOCK, opening a FIFO waits until someone writes to it.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.Get() < 0) {
        return HelpFileStatus::kCannotOpen;
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) {
        return HelpFileStatus::kReadFailed;
    }
    if (!S_ISREG(info.st_mode)) {
        return HelpFileStatus::kNotRegularFile;
    }
    if (info.st_size < 0 || static_cast<uint64_t>(info.st_size) > limit) {
        return HelpFileStatus::kTooLarge;
    }
    bytes.reserve(static_cast<size_t>(info.st_size));
    // The file may grow while it is read; one byte past the limit is enough to know.
    char buffer[65536];
    while (true) {
        ssize_t n = ::read(file.Get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            bytes.clear();
            return HelpFileStatus::kReadFailed;
        }
        if (n == 0) {
            return HelpFileStatus::kRead;
        }
        if (bytes.size() + static_cast<size_t>(n) > limit) {
            bytes.clear();
            return HelpFileStatus::kTooLarge;
        }
        bytes.append(buffer, static_cast<size_t>(n));
    }
}

} // namespace tamblin
