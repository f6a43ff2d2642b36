#pragma once

#include "scanner/PageInput.h"
#include "scanner/TagHandler.h"

#include <atomic>
#include <string>
#include <string_view>

namespace tamblin {

// Shows the progress dots of the page being read: one more per block, 21 at most.
class DotDisplay {
public:
    virtual ~DotDisplay() = default;
    virtual void ShowDots(std::string_view dots) = 0;
};

// A forgiving streaming HTML reader: bytes in 128-byte blocks, whitespace runs folded to one
// space, tags, attributes and texts handed to a TagHandler. It never fails: a read error,
// the abort flag and a 0xFF byte all simply end the input.
class TagReader {
public:
    static constexpr size_t kBlockSize = 128;
    static constexpr int kMaxDots = 21;
    // Names, values and texts stop growing here, so one endless tag or title cannot take all
    // memory; the rest of such a text is dropped.
    static constexpr size_t kMaxTextLength = 1 << 20;

    // input may be null (Run then reads nothing). blockCounter, when given, is set to 0 here
    // and counts the blocks read; the scanner quotes it in its problem lines.
    TagReader(PageInput* input, TagHandler& handler, DotDisplay* dots,
              const std::atomic<int>* abortFlag, int* blockCounter = nullptr);

    // Reads the whole input; returns the number of bytes read.
    long long Run();

    // The text of script and style elements, up to their end tags, is no markup: it makes
    // no tags, attributes or texts, as in a browser. Off unless asked for.
    void SetSkipScriptAndStyle(bool skip) { m_skipRawText = skip; }
    // An attribute value may be written in single quotes too, as browsers read it. Off
    // unless asked for: single quotes are then ordinary characters of the value.
    void SetSingleQuotes(bool on) { m_singleQuotes = on; }
    // Also hands every tag, attribute and text outside tags to `watcher`, in document order
    // and whatever the handler collects (its OnTag's answer is ignored, its OnCollectedText
    // never called); the full-text search reads the page's words this way.
    void SetTextWatcher(TagHandler* watcher) { m_watcher = watcher; }

private:
    int ReadByte() {
        if (m_position < m_length) {
            return static_cast<unsigned char>(m_block[m_position++]);
        }
        return ReadBlock();
    }
    int ReadBlock();
    int NextChar();
    // Takes, at once, the characters ahead in this block that Step would only append one by
    // one; most of a page is such runs, and a byte at a time was most of a scan's time.
    void TakeRun();
    size_t FoldRun(char* out, unsigned stops, int quote);
    static void Append(std::string& text, const char* run, size_t length);
    void CompleteTagName();
    void DeliverAttribute();
    static void Append(std::string& text, int ch);
    // Where the reader stands: outside tags, after "<", in the tag name, between
    // attributes, after a name and a space, after "=", in an unquoted or quoted value, after
    // the closing quote.
    enum class State {
        Text,
        Open,
        Name,
        Between,
        AfterName,
        AfterEquals,
        Unquoted,
        Quoted,
        AfterQuote
    };

    void Step(int ch);
    void EndTag();
    void InTag(int ch);
    void AttributeName(int ch);
    void AttributeValue(int ch);
    // Inside script or style; ends with the end tag's name as the tag name.
    void SkipRawText(int ch);

    PageInput* m_input;
    TagHandler& m_handler;
    DotDisplay* m_dots;
    const std::atomic<int>* m_abort;
    int m_ownBlockCounter = 0;
    int* m_blockCounter;
    bool m_wantsPlainText;

    char m_block[kBlockSize];
    size_t m_position = 1;
    size_t m_length = 0;
    int m_last = 255;
    int m_dotCount = 0;
    long long m_total = 0;

    std::string m_text;
    std::string m_collected;
    std::string m_tagName;
    std::string m_attributeName;
    std::string m_attributeValue;
    int m_mode = kPlainText;
    State m_state = State::Text;
    bool m_inComment = false;
    int m_before[3] = {0, 0, 0}; // the characters before this one, the last first

    bool m_skipRawText = false;
    bool m_singleQuotes = false;
    int m_quote = '"'; // the quote that ends the quoted value being read
    TagHandler* m_watcher = nullptr;
    std::string m_watchText;
    std::string m_rawEnd; // "</script" or "</style" once their start tag has ended
    bool m_rawPending = false;
    size_t m_rawMatched = 0;
};

// Character references: "&name;" becomes one character, a stray ";" is dropped, and a
// reference left open at the end is dropped with its name. The result never holds ";", CR
// or LF, so it can always stand in an index file field.
std::string DecodeEntities(std::string_view text);
// One reference name, without "&" and ";"; 0 stands for no character.
char DecodeEntity(std::string_view name);

} // namespace tamblin
