#include "index/FileByteSink.h"

#include <cerrno>
#include <unistd.h>

namespace tamblin {

FileByteSink::~FileByteSink() {
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

bool FileByteSink::Write(std::string_view bytes) {
    while (m_error == 0 && !bytes.empty()) {
        if (m_fd < 0) {
            m_error = EBADF;
            break;
        }
        ssize_t written = ::write(m_fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno != EINTR) {
                m_error = errno;
            }
            continue;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return m_error == 0;
}

bool FileByteSink::Finish() {
    if (m_fd < 0) {
        return m_error == 0;
    }
    if (m_sync && m_error == 0 && ::fsync(m_fd) != 0) {
        m_error = errno;
    }
    // A file system may say only now that the bytes did not fit.
    if (::close(m_fd) != 0 && m_error == 0 && errno != EINTR) {
        m_error = errno;
    }
    m_fd = -1;
    return m_error == 0;
}

} // namespace tamblin
