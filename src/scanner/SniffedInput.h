#pragma once

#include "scanner/CharacterSet.h"
#include "scanner/PageInput.h"

#include <string>
#include <string_view>

namespace tamblin {

// A page whose character set is found before it is read, as a browser finds it: its
// byte-order mark, then the server's Content-Type, then a meta tag in its first 1024 bytes;
// failing those the whole page is looked at: UTF-8 when valid, else Windows-1252. UTF-16
// pages are handed on as UTF-8, without their byte-order mark.
class SniffedInput final : public PageInput {
public:
    SniffedInput(PageInput& inner, std::string_view contentType);

    size_t Read(char* buffer, size_t size) override;
    bool TimedOut() const override { return m_inner.TimedOut(); }

    CharacterSet::Kind Charset() const { return m_charset; }
    // A label the page or server gave that is not known, or "".
    const std::string& UnknownLabel() const { return m_unknownLabel; }

    static constexpr size_t kPrescanBytes = 1024;
    // An undeclared page is judged by at most this much of it.
    static constexpr size_t kJudgedBytes = 16 * 1024 * 1024;

private:
    void Fill(size_t upTo);
    static std::string MetaCharset(std::string_view head);

    PageInput& m_inner;
    std::string m_head;
    size_t m_position = 0;
    bool m_ended = false;
    CharacterSet::Kind m_charset = CharacterSet::kUtf8;
    std::string m_unknownLabel;
};

} // namespace tamblin
