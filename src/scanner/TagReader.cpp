#include "scanner/TagReader.h"

#include "index/ParseError.h"
#include "index/TextUtils.h"

#include <algorithm>
#include <array>

namespace tamblin {

namespace {

constexpr int kEnd = 255;
constexpr std::string_view kDotText = ".....................";
static_assert(kDotText.size() == TagReader::kMaxDots);

bool IsFoldedSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

} // namespace

TagReader::TagReader(PageInput* input, TagHandler& handler, DotDisplay* dots,
                     const std::atomic<int>* abortFlag, int* blockCounter)
    : m_input(input), m_handler(handler), m_dots(dots), m_abort(abortFlag),
      m_blockCounter(blockCounter ? blockCounter : &m_ownBlockCounter),
      m_wantsPlainText(handler.WantsPlainText()) {
    *m_blockCounter = 0;
}

void TagReader::Append(std::string& text, int ch) {
    if (text.size() < kMaxTextLength) {
        text += static_cast<char>(ch);
    }
}

void TagReader::Append(std::string& text, const char* run, size_t length) {
    if (text.size() < kMaxTextLength) {
        text.append(run, std::min(length, kMaxTextLength - text.size()));
    }
}

// What ends a run of characters that need no decision each: a run in text or script
// stops at "<"; one inside a tag at "-" (a comment may begin there) and, but in a quoted
// value, at whitespace and ">"; one in an attribute's name at "="; every run at the end
// marker.
constexpr unsigned kStopLess = 1;
constexpr unsigned kStopDash = 2;
constexpr unsigned kStopEnd = 4;
constexpr unsigned kStopSpace = 8;
constexpr unsigned kStopGreater = 16;
constexpr unsigned kStopEquals = 32;
constexpr unsigned kTagStops = kStopDash | kStopEnd | kStopSpace | kStopGreater;
constexpr std::array<unsigned char, 256> kStops = [] {
    std::array<unsigned char, 256> stops{};
    stops['<'] = kStopLess;
    stops['-'] = kStopDash;
    stops[kEnd] = kStopEnd;
    stops[' '] = stops['\t'] = stops['\n'] = stops['\r'] = kStopSpace;
    stops['>'] = kStopGreater;
    stops['='] = kStopEquals;
    return stops;
}();

// Reads the characters ahead in this block up to a stop or the quote into out (at most
// kBlockSize), whitespace folded as NextChar folds it, and counts them as read.
size_t TagReader::FoldRun(char* out, unsigned stops, int quote) {
    size_t count = 0;
    int last = m_last;
    size_t position = m_position;
    for (; position < m_length; ++position) {
        int c = static_cast<unsigned char>(m_block[position]);
        if ((kStops[static_cast<size_t>(c)] & stops) != 0 || c == quote) {
            break;
        }
        if (IsFoldedSpace(c)) {
            if (last == ' ') {
                continue;
            }
            c = ' ';
        }
        out[count++] = static_cast<char>(c);
        last = c;
    }
    m_position = position;
    m_last = last;
    size_t kept = std::min<size_t>(count, 3);
    for (size_t i = count - kept; i < count; ++i) {
        m_before[2] = m_before[1];
        m_before[1] = m_before[0];
        m_before[0] = static_cast<unsigned char>(out[i]);
    }
    return count;
}

// Text outside tags, a quoted value and script or style text away from a "<" are taken as
// runs; every other place goes on a character at a time.
void TagReader::TakeRun() {
    if (m_inComment || m_position >= m_length) {
        return;
    }
    char run[kBlockSize];
    if (!m_rawEnd.empty() && !m_rawPending) {
        if (m_rawMatched == 0) {
            FoldRun(run, kStopLess | kStopEnd, -1);
        }
    } else if (m_state == State::Text) {
        size_t length = FoldRun(run, kStopLess | kStopEnd, -1);
        if (m_watcher) {
            Append(m_watchText, run, length);
        }
        if (m_mode == kCollectText) {
            Append(m_collected, run, length);
        } else if (m_wantsPlainText) {
            Append(m_text, run, length);
        }
    } else if (m_state == State::Quoted) {
        Append(m_attributeValue, run, FoldRun(run, kStopDash | kStopEnd, m_quote));
    } else if (m_state == State::Name) {
        Append(m_tagName, run, FoldRun(run, kTagStops, -1));
    } else if (m_state == State::Between) {
        Append(m_attributeName, run, FoldRun(run, kTagStops | kStopEquals, -1));
    } else if (m_state == State::Unquoted) {
        Append(m_attributeValue, run, FoldRun(run, kTagStops, -1));
    }
}

// The next block's first byte, or the end marker.
int TagReader::ReadBlock() {
    if (m_abort && m_abort->load(std::memory_order_relaxed) != 0) {
        return kEnd;
    }
    size_t count = 0;
    try {
        count = m_input->Read(m_block, kBlockSize);
    } catch (...) {
        return kEnd;
    }
    if (count == 0) {
        return kEnd;
    }
    m_position = 0;
    m_length = std::min(count, kBlockSize);
    m_total += static_cast<long long>(m_length);
    ++*m_blockCounter;
    if (m_dots) {
        if (m_dotCount == kMaxDots) {
            m_dotCount = 0;
        }
        ++m_dotCount;
        m_dots->ShowDots(kDotText.substr(0, static_cast<size_t>(m_dotCount)));
    }
    return static_cast<unsigned char>(m_block[m_position++]);
}

// Whitespace runs become one space; the first character of a page counts as following a
// non-space, so leading whitespace gives one space.
inline int TagReader::NextChar() {
    while (true) {
        int c = ReadByte();
        if (c == kEnd) {
            return kEnd;
        }
        if (IsFoldedSpace(c)) {
            if (m_last == ' ') {
                continue;
            }
            c = ' ';
        }
        m_last = c;
        return c;
    }
}

void TagReader::CompleteTagName() {
    if (!m_text.empty()) {
        m_handler.OnText(m_text);
        m_text.clear();
    }
    if (m_watcher) {
        if (!m_watchText.empty()) {
            m_watcher->OnText(m_watchText);
            m_watchText.clear();
        }
        m_watcher->OnTag(m_tagName);
    }
    int previous = m_mode;
    if (m_skipRawText) {
        std::string lower = AsciiLower(m_tagName);
        if (std::string_view(lower) == "script" || std::string_view(lower) == "style") {
            m_rawEnd = "</" + lower;
            m_rawPending = true;
        }
    }
    m_mode = m_handler.OnTag(m_tagName);
    m_tagName.clear();
    // A handler may want plain text only in places (a heading, say).
    m_wantsPlainText = m_handler.WantsPlainText();
    if (previous == kCollectText && m_mode != kCollectText) {
        m_handler.OnCollectedText(m_collected);
        m_collected.clear();
    }
}

void TagReader::DeliverAttribute() {
    if (m_watcher) {
        m_watcher->OnAttribute(m_attributeName, m_attributeValue);
    }
    m_handler.OnAttribute(m_attributeName, m_attributeValue);
    m_attributeName.clear();
    m_attributeValue.clear();
}

void TagReader::SkipRawText(int ch) {
    int lower = (ch >= 'A' && ch <= 'Z') ? ch + 32 : ch;
    if (lower == static_cast<unsigned char>(m_rawEnd[m_rawMatched])) {
        if (++m_rawMatched == m_rawEnd.size()) {
            m_tagName = m_rawEnd.substr(1);
            m_rawEnd.clear();
            m_rawMatched = 0;
            m_state = State::Name;
        }
    } else {
        m_rawMatched = ch == '<' ? 1 : 0;
    }
}

long long TagReader::Run() {
    if (!m_input) {
        return 0;
    }
    try {
        for (int ch = NextChar(); ch != kEnd; ch = NextChar()) {
            Step(ch);
            m_before[2] = m_before[1];
            m_before[1] = m_before[0];
            m_before[0] = ch;
            TakeRun();
        }
    } catch (...) {
        // A throwing input or receiver ends the page like the end of input.
    }
    try {
        if (!m_text.empty()) {
            m_handler.OnText(m_text);
        }
        if (m_watcher && !m_watchText.empty()) {
            m_watcher->OnText(m_watchText);
        }
    } catch (...) {
    }
    return m_total;
}

// One character: what is outside tags, comments and script first, then the tag's states.
void TagReader::Step(int ch) {
    if (!m_rawEnd.empty() && !m_rawPending) {
        SkipRawText(ch);
        return;
    }
    if (m_inComment) {
        if (ch == '>' && m_before[0] == '-' && m_before[1] == '-') {
            m_inComment = false;
        }
        return;
    }
    if (ch == '<' && m_state == State::Text) {
        m_state = State::Open;
        return;
    }
    if (ch == '>' && m_state != State::Text && m_state != State::Quoted) {
        EndTag();
        return;
    }
    if (m_state == State::Text) {
        if (m_watcher) {
            Append(m_watchText, ch);
        }
        if (m_mode == kCollectText) {
            Append(m_collected, ch);
        } else if (m_wantsPlainText) {
            Append(m_text, ch);
        }
        return;
    }
    if (ch == '-' && m_before[0] == '-' && m_before[1] == '!' && m_before[2] == '<') {
        m_inComment = true;
        m_tagName.clear();
        m_state = State::Text;
        return;
    }
    InTag(ch);
}

void TagReader::EndTag() {
    if (!m_tagName.empty()) {
        CompleteTagName();
    }
    if (!m_attributeName.empty()) {
        DeliverAttribute();
    }
    m_handler.OnTagEnd();
    if (m_watcher) {
        m_watcher->OnTagEnd();
    }
    m_state = State::Text;
    m_rawPending = false;
    m_rawMatched = 0;
}

// Inside a tag: its name, then attributes as name, name=value or name="value". A state that
// ends on a character hands it on to the next one.
void TagReader::InTag(int ch) {
    switch (m_state) {
    case State::Open:
        if (ch == ' ') {
            return;
        }
        m_state = State::Name;
        [[fallthrough]];
    case State::Name:
        if (ch != ' ') {
            Append(m_tagName, ch);
            return;
        }
        if (!m_tagName.empty()) {
            CompleteTagName();
        }
        m_state = State::Between;
        return;
    case State::AfterName:
        if (ch == '=') {
            m_state = State::AfterEquals;
            return;
        }
        DeliverAttribute();
        m_state = State::Between;
        [[fallthrough]];
    case State::Between:
        AttributeName(ch);
        return;
    case State::AfterEquals:
        if (ch == ' ') {
            return;
        }
        if (ch == '"' || (m_singleQuotes && ch == '\'')) {
            m_quote = ch;
            m_state = State::Quoted;
            return;
        }
        m_state = State::Unquoted;
        [[fallthrough]];
    case State::Unquoted:
    case State::Quoted:
        AttributeValue(ch);
        return;
    case State::AfterQuote:
        m_state = ch == ' ' ? State::Between : m_state;
        return;
    case State::Text:
        return;
    }
}

void TagReader::AttributeName(int ch) {
    if (ch != ' ' && ch != '=') {
        Append(m_attributeName, ch);
    } else if (!m_attributeName.empty()) {
        m_state = ch == ' ' ? State::AfterName : State::AfterEquals;
    }
}

void TagReader::AttributeValue(int ch) {
    bool quoted = m_state == State::Quoted;
    if (ch != (quoted ? m_quote : ' ')) {
        Append(m_attributeValue, ch);
        return;
    }
    DeliverAttribute();
    m_state = quoted ? State::AfterQuote : State::Between;
}

std::string DecodeEntities(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool inReference = false;
    std::string name;
    for (char c : text) {
        if (!inReference) {
            if (c == '&') {
                inReference = true;
                name.clear();
            } else if (c != ';') {
                out += c;
            }
        } else if (c == ';') {
            if (char decoded = DecodeEntity(name); decoded != 0) {
                out += decoded;
            }
            inReference = false;
        } else {
            name += c;
        }
    }
    return out;
}

char DecodeEntity(std::string_view name) {
    char result = 0;
    if (!name.empty() && name[0] == '#') {
        try {
            result = static_cast<char>(ParseInteger(name.substr(1)) & 0xFF);
        } catch (const ParseError&) {
            result = ' ';
        }
    } else if (name.empty()) {
        result = 0;
    } else {
        std::string lower = AsciiLower(name);
        if (lower == "quot") {
            result = '"';
        } else if (lower == "amp") {
            result = '&';
        } else if (lower == "lt") {
            result = '<';
        } else if (lower == "gt") {
            result = '>';
        } else if (lower == "nbsp") {
            result = ' ';
        } else if (lower == "shy") {
            result = 0;
        } else if (lower == "copy") {
            result = static_cast<char>(169);
        } else {
            result = name[0];
        }
    }
    // The field separator and line breaks of an index file must never come out of here.
    if (result == ';' || result == '\n' || result == '\r') {
        result = ' ';
    }
    return result;
}

} // namespace tamblin
