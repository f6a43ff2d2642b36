#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tamblin {

// The request codes Tamblin sends to Lumio, and the wire form of one request: code (uint32),
// byte count (uint32), then the text with its terminating zero (nothing for an empty text).
// Numbers are little-endian so both ends agree whatever the machine.
enum RequestCode : uint32_t {
    kRequestClose = 0,
    kRequestTitle = 1,
    kRequestHelpDirectory = 2,
    kRequestContentsPage = 3,
    kRequestTopicMap = 4,
    kRequestPopupsPage = 5,
    kRequestShowPage = 6,
    kRequestContextHelp = 7,
    kRequestContextPopup = 8,
    kRequestIndexPage = 9,
};

struct HelpRequest {
    uint32_t code = 0;
    std::string text;
};

inline constexpr size_t kRequestHeaderSize = 8;
inline constexpr size_t kAnswerSize = 4;
// No request text the programs send comes near this; a longer frame is hostile or broken.
inline constexpr uint32_t kMaxRequestBytes = 64 * 1024;

// The text is cut at its first zero byte, as the receiver would read it.
std::string EncodeRequest(uint32_t code, std::string_view text);
std::string EncodeAnswer(int32_t answer);
int32_t DecodeAnswer(const char bytes[kAnswerSize]);

// The text of a context request, "%d,%d,%d": x and y as signed 16-bit values, the topic id
// as a signed decimal.
std::string FormatContextText(int x, int y, uint32_t topicId);

struct ContextRequest {
    int x = 0;
    int y = 0;
    uint32_t topicId = 0;
};
// Three comma-separated integers; nothing when a field is missing or not an integer.
std::optional<ContextRequest> ParseContextText(std::string_view text);

} // namespace tamblin
