#include "index/ByteSink.h"

#include <cerrno>
#include <system_error>

namespace tamblin {

bool StreamByteSink::Write(std::string_view bytes) {
    if (m_error != 0) {
        return false;
    }
    m_stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!m_stream.flush() && m_error == 0) {
        m_error = EIO;
    }
    return m_error == 0;
}

std::string SystemErrorText(int error) {
    return std::generic_category().message(error);
}

} // namespace tamblin
