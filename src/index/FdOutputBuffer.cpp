#include "index/FdOutputBuffer.h"

#include <cerrno>
#include <unistd.h>

namespace tamblin {

namespace {
constexpr size_t kBufferSize = 1 << 16;
}

FdOutputBuffer::FdOutputBuffer(int fd) : m_fd(fd), m_buffer(kBufferSize) {
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
}

bool FdOutputBuffer::WriteAll(const char* data, size_t count) {
    if (m_error != 0) {
        return false;
    }
    if (m_fd < 0) {
        m_error = EBADF;
        return false;
    }
    while (count > 0) {
        ssize_t written = ::write(m_fd, data, count);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            m_error = errno;
            return false;
        }
        data += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

bool FdOutputBuffer::Drain() {
    size_t pending = static_cast<size_t>(pptr() - pbase());
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
    return pending == 0 || WriteAll(m_buffer.data(), pending);
}

FdOutputBuffer::int_type FdOutputBuffer::overflow(int_type c) {
    if (!Drain()) {
        return traits_type::eof();
    }
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

std::streamsize FdOutputBuffer::xsputn(const char* data, std::streamsize count) {
    auto room = epptr() - pptr();
    if (count <= room) {
        traits_type::copy(pptr(), data, static_cast<size_t>(count));
        pbump(static_cast<int>(count));
        return count;
    }
    // Large pieces go straight through, after what is already waiting.
    if (!Drain() || !WriteAll(data, static_cast<size_t>(count))) {
        return 0;
    }
    return count;
}

int FdOutputBuffer::sync() {
    return Drain() ? 0 : -1;
}

} // namespace tamblin
