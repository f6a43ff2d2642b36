#include "helpviewer/HelpRequest.h"

#include "index/ParseError.h"
#include "index/TextUtils.h"

#include <cstdio>

namespace tamblin {

namespace {

void PutUint32(std::string& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

} // namespace

std::string EncodeRequest(uint32_t code, std::string_view text) {
    text = text.substr(0, text.find('\0'));
    std::string out;
    PutUint32(out, code);
    PutUint32(out, text.empty() ? 0 : static_cast<uint32_t>(text.size() + 1));
    if (!text.empty()) {
        out.append(text);
        out.push_back('\0');
    }
    return out;
}

std::string EncodeAnswer(int32_t answer) {
    std::string out;
    PutUint32(out, static_cast<uint32_t>(answer));
    return out;
}

int32_t DecodeAnswer(const char bytes[kAnswerSize]) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    }
    return static_cast<int32_t>(value);
}

std::string FormatContextText(int x, int y, uint32_t topicId) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%d,%d,%d", static_cast<int16_t>(x),
                  static_cast<int16_t>(y), static_cast<int32_t>(topicId));
    return buffer;
}

std::optional<ContextRequest> ParseContextText(std::string_view text) {
    int values[3];
    size_t start = 0;
    for (int i = 0; i < 3; ++i) {
        if (start > text.size()) {
            return std::nullopt;
        }
        size_t comma = text.find(',', start);
        std::string_view field = text.substr(start, comma - start);
        try {
            values[i] = ParseInteger(field);
        } catch (const ParseError&) {
            return std::nullopt;
        }
        start = comma == std::string_view::npos ? text.size() + 1 : comma + 1;
    }
    return ContextRequest{values[0], values[1], static_cast<uint32_t>(values[2])};
}

} // namespace tamblin
