#pragma once

#include "helpviewer/HelpRequest.h"

#include <optional>
#include <string>
#include <string_view>

namespace tamblin {

// Cuts a byte stream from one connection into requests. Bytes may arrive in any pieces. A
// frame announcing more than kMaxRequestBytes, or whose text lacks its terminating zero,
// breaks the stream for good: the server then drops the connection. Memory held never
// exceeds one header plus kMaxRequestBytes, whatever arrives.
class RequestDecoder final {
public:
    // Takes as many of the bytes as the current frame needs; returns how many it took, so
    // the caller feeds the rest again after taking a finished request.
    size_t Feed(std::string_view bytes);
    // A finished request, once; the decoder then starts on the next frame.
    std::optional<HelpRequest> Take();
    bool IsBroken() const { return m_broken; }
    // Part of a frame has arrived and the rest has not.
    bool HasPartialFrame() const { return m_haveHeader || !m_header.empty(); }

private:
    void CompleteHeader();
    void CompleteText();

    std::string m_header;
    std::string m_text;
    uint32_t m_code = 0;
    uint32_t m_expected = 0;
    bool m_haveHeader = false;
    bool m_broken = false;
    std::optional<HelpRequest> m_ready;
};

} // namespace tamblin
