#include "fulltext/SearchPageParts.h"

#include "fulltext/Base36.h"
#include "fulltext/SearchIndexFiles.h"
#include "fulltext/SearchPartScript.h"

#include <algorithm>

namespace tamblin {

namespace {

void AppendField(const std::string& text, std::string& out) {
    for (char c : text) {
        out += c == '\t' || c == '\n' || c == '\r' ? ' ' : c;
    }
}

// UTF-16 code units of UTF-8 text: one for each lead byte, two for those of four bytes.
std::uint32_t Utf16Units(std::string_view utf8) {
    std::uint32_t units = 0;
    for (char ch : utf8) {
        auto c = static_cast<unsigned char>(ch);
        units += (c & 0xC0) != 0x80 ? 1 : 0;
        units += c >= 0xF0 ? 1 : 0;
    }
    return units;
}

// Where a section of `text` from `at` that may take `room` bytes ends: after a space in its
// second half where there is one, never inside a character.
size_t SectionEnd(std::string_view text, size_t at, size_t room) {
    if (text.size() - at <= room) {
        return text.size();
    }
    size_t end = at + room;
    while (end > at + 1 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    size_t space = text.rfind(' ', end - 1);
    return space != std::string_view::npos && space >= at + room / 2 ? space + 1 : end;
}

} // namespace

void SearchPageParts::Add(const SearchPage& page) {
    AppendField(page.url, m_pagePart);
    m_pagePart += '\t';
    AppendField(page.title, m_pagePart);
    m_pagePart += '\t';
    std::string_view text = page.text;
    std::uint32_t units = 0;
    for (size_t at = 0; at < text.size();) {
        if (m_sections > 0 && m_textPart.size() + m_partBytes / 8 > m_partBytes) {
            EndTextPart();
        }
        // The line end counts.
        size_t end = SectionEnd(text, at, m_partBytes - m_textPart.size() - 1);
        m_pagePart += (at == 0 ? "" : ",") + Base36::Write(units) + ',' +
                      Base36::Write(m_textNumber) + ',' + Base36::Write(m_sections);
        std::string_view section = text.substr(at, end - at);
        m_textPart.append(section);
        m_textPart += '\n';
        ++m_sections;
        units += Utf16Units(section);
        at = end;
    }
    m_pagePart += '\n';
    if (++m_pages % SearchIndexFiles::kPagesPerPart == 0) {
        EndPagePart();
    }
}

void SearchPageParts::Finish() {
    if (m_pages % SearchIndexFiles::kPagesPerPart != 0) {
        EndPagePart();
    }
    if (m_sections > 0) {
        EndTextPart();
    }
}

// A part with less room than an eighth of its size ends rather than take a sliver of a
// page. The next part's size follows how well this one packed: a site's pages are much
// alike, and the size is then known without packing anything twice.
void SearchPageParts::EndTextPart() {
    Part& part = m_parts.emplace_back(Part{true, m_textNumber++, SearchPartScript(m_textPart)});
    size_t file = std::max<size_t>(part.script.size(), 1);
    m_partBytes = std::clamp(m_textPart.size() * kTextPartFileBytes / file, kTextPartBytes,
                             kMostTextPartBytes);
    m_textPart.clear();
    m_sections = 0;
}

void SearchPageParts::EndPagePart() {
    auto number = static_cast<std::uint32_t>((m_pages - 1) / SearchIndexFiles::kPagesPerPart);
    m_parts.push_back(Part{false, number, SearchPartScript(m_pagePart)});
    m_pagePart.clear();
}

} // namespace tamblin
