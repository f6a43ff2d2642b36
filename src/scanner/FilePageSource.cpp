#include "scanner/FilePageSource.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tamblin {

namespace {

class FileInput final : public PageInput {
public:
    FileInput(int fd, std::vector<char>& buffer) : m_fd(fd), m_buffer(buffer) {}
    ~FileInput() override { ::close(m_fd); }
    FileInput(const FileInput&) = delete;
    FileInput& operator=(const FileInput&) = delete;

    size_t Read(char* buffer, size_t size) override {
        size_t copied = 0;
        while (copied < size) {
            if (m_position == m_length && !Fill()) {
                break;
            }
            size_t n = std::min(size - copied, m_length - m_position);
            std::memcpy(buffer + copied, m_buffer.data() + m_position, n);
            m_position += n;
            copied += n;
        }
        return copied;
    }

private:
    bool Fill() {
        while (true) {
            ssize_t n = ::read(m_fd, m_buffer.data(), m_buffer.size());
            if (n < 0 && errno == EINTR) {
                continue;
            }
            // A read error ends the page like its end.
            m_position = 0;
            m_length = n > 0 ? static_cast<size_t>(n) : 0;
            return n > 0;
        }
    }

    int m_fd;
    std::vector<char>& m_buffer;
    size_t m_position = 0;
    size_t m_length = 0;
};

} // namespace

std::unique_ptr<PageInput> FilePageSource::Open(const std::string& location) {
    int fd = ::open(location.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    // A directory opens here but is no page.
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<FileInput>(fd, m_buffer);
}

} // namespace tamblin
