#pragma once

#include "scanner/CharacterSet.h"
#include "scanner/PageInput.h"
#include "scanner/WebDecoder.h"

#include <optional>
#include <string>
#include <string_view>

namespace tamblin {

// A page whose character set is found before it is read, as a browser finds it: its
// byte-order mark, then the server's Content-Type, then a meta tag in its first 1024 bytes;
// failing those the whole page is looked at: UTF-8 when valid, else Windows-1252. Pages in
// UTF-8 and Windows-1252 are handed on as they are; every other encoding of the web is
// decoded as browsers decode it and handed on as UTF-8.
class SniffedInput final : public PageInput {
public:
    SniffedInput(PageInput& inner, std::string_view contentType);

    size_t Read(char* buffer, size_t size) override;
    bool TimedOut() const override { return m_inner.TimedOut(); }

    // What the bytes handed on are in: kUtf8 or kWindows1252.
    CharacterSet::Kind Charset() const { return m_charset; }
    // The encoding the page was in.
    WebEncoding::Kind Encoding() const { return m_encoding; }
    // A label the page or server gave that no encoding has, or "".
    const std::string& UnknownLabel() const { return m_unknownLabel; }

    static constexpr size_t kPrescanBytes = 1024;
    // An undeclared page is judged by at most this much of it.
    static constexpr size_t kJudgedBytes = 16 * 1024 * 1024;

private:
    void Fill(size_t upTo);
    void Use(WebEncoding::Kind encoding);
    size_t ReadDecoded(char* buffer, size_t size);
    static std::string MetaCharset(std::string_view head);

    PageInput& m_inner;
    std::string m_head;
    size_t m_position = 0;
    bool m_ended = false;
    CharacterSet::Kind m_charset = CharacterSet::kUtf8;
    WebEncoding::Kind m_encoding = WebEncoding::kUtf8;
    std::string m_unknownLabel;
    std::optional<WebDecoder> m_decoder;
    std::string m_decoded;
    size_t m_decodedPosition = 0;
    bool m_decodedAll = false;
};

} // namespace tamblin
