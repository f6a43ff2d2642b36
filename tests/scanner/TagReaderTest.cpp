#include "scanner/TagReader.h"
#include "scanner/MemoryInput.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

using namespace tamblin;

namespace {

// A page held in memory that counts its reads and can fail one, as a broken file would.
class CountingInput final : public PageInput {
public:
    explicit CountingInput(std::string bytes) : m_input(std::move(bytes)) {}
    size_t Read(char* buffer, size_t size) override {
        ++reads;
        if (throwAfter >= 0 && reads > throwAfter) {
            throw std::runtime_error("read failed");
        }
        return m_input.Read(buffer, size);
    }
    int reads = 0;
    int throwAfter = -1;

private:
    MemoryInput m_input;
};

// Writes every event down; text after the tags named in `collect` is collected.
class Recorder final : public TagHandler {
public:
    int OnTag(const std::string& name) override {
        events.push_back("tag " + name);
        for (const std::string& c : collect) {
            if (c == name) {
                return kCollectText;
            }
        }
        return kPlainText;
    }
    void OnTagEnd() override { events.push_back("end"); }
    void OnAttribute(const std::string& name, const std::string& value) override {
        events.push_back("attr " + name + "=" + value);
    }
    void OnCollectedText(const std::string& text) override {
        events.push_back("collected " + text);
    }
    void OnText(const std::string& text) override { events.push_back("text " + text); }

    std::vector<std::string> collect{"title", "a"};
    std::vector<std::string> events;
};

class Dots final : public DotDisplay {
public:
    void ShowDots(std::string_view dots) override { shown.emplace_back(dots); }
    std::vector<std::string> shown;
};

std::vector<std::string> Events(const std::string& page, bool singleQuotes = false) {
    CountingInput input(page);
    Recorder recorder;
    TagReader reader(&input, recorder, nullptr, nullptr);
    reader.SetSingleQuotes(singleQuotes);
    reader.Run();
    return recorder.events;
}

using Ev = std::vector<std::string>;

} // namespace

TEST(TagReader, UpperCaseNameArrivesAsWritten) {
    EXPECT_EQ(Events("<TITLE>Hi</TITLE>"),
              (Ev{"tag TITLE", "end", "text Hi", "tag /TITLE", "end"}));
}

TEST(TagReader, SpaceBeforeCloseEndsTheName) {
    EXPECT_EQ(Events("<a>x</a >"), (Ev{"tag a", "end", "tag /a", "collected x", "end"}));
}

TEST(TagReader, UnquotedAndQuotedValues) {
    EXPECT_EQ(Events("<a href=x.htm target=\"my frame\">"),
              (Ev{"tag a", "attr href=x.htm", "attr target=my frame", "end"}));
}

TEST(TagReader, SingleQuotesAreOrdinaryCharacters) {
    EXPECT_EQ(Events("<a href='x.htm'>"), (Ev{"tag a", "attr href='x.htm'", "end"}));
}

// As browsers read them: either quote opens a value that only the same quote ends.
TEST(TagReader, SingleQuotedValuesWhenAskedFor) {
    EXPECT_EQ(Events("<a href='x.htm' title='a \"b\" > c' id=\"it's\">", true),
              (Ev{"tag a", "attr href=x.htm", "attr title=a \"b\" > c", "attr id=it's", "end"}));
}

TEST(TagReader, GreaterThanInsideQuotesDoesNotEndTheTag) {
    EXPECT_EQ(Events("<img alt=\"a>b\" src=c>"),
              (Ev{"tag img", "attr alt=a>b", "attr src=c", "end"}));
}

TEST(TagReader, BareWordHasAnEmptyValue) {
    EXPECT_EQ(Events("<option selected>"), (Ev{"tag option", "attr selected=", "end"}));
    EXPECT_EQ(Events("<td nowrap width=3>"), (Ev{"tag td", "attr nowrap=", "attr width=3", "end"}));
    EXPECT_EQ(Events("<x a = \"b\">"), (Ev{"tag x", "attr a=b", "end"}));
}

TEST(TagReader, CommentsProduceNoEvents) {
    EXPECT_EQ(Events("<!-- <a href=x.htm>x</a> -->y<p>"), (Ev{"text y", "tag p", "end"}));
    EXPECT_EQ(Events("<!---->y<p>"), (Ev{"text y", "tag p", "end"}));
}

TEST(TagReader, WhitespaceRunsBecomeOneSpace) {
    EXPECT_EQ(Events("a\r\n     b\t\tc<p>"), (Ev{"text a b c", "tag p", "end"}));
    // Leading whitespace gives one space, as the first character follows no space.
    EXPECT_EQ(Events("  \n x<p>"), (Ev{"text  x", "tag p", "end"}));
}

TEST(TagReader, CollectedTextIsDeliveredWhenTheModeChanges) {
    // "b" keeps collecting, so the text runs on through it.
    Recorder recorder;
    recorder.collect = {"a", "b", "/b"};
    CountingInput input("<a>one <b>two</b> three</a>rest<p>");
    TagReader(&input, recorder, nullptr, nullptr).Run();
    EXPECT_EQ(recorder.events, (Ev{"tag a", "end", "tag b", "end", "tag /b", "end", "tag /a",
                                   "collected one two three", "end", "text rest", "tag p", "end"}));
}

TEST(TagReader, OpenCollectedTextIsNotDeliveredAtTheEnd) {
    EXPECT_EQ(Events("<title>never closed"), (Ev{"tag title", "end"}));
    EXPECT_EQ(Events("plain at the end"), (Ev{"text plain at the end"}));
}

TEST(TagReader, UnbalancedQuoteSwallowsTheRest) {
    EXPECT_EQ(Events("<a href=\"x.htm>text</a><p>"), (Ev{"tag a"}));
}

TEST(TagReader, GreaterThanOutsideATagIsText) {
    EXPECT_EQ(Events("a > b<p>"), (Ev{"text a > b", "tag p", "end"}));
    EXPECT_EQ(Events("<>x<p>"), (Ev{"end", "text x", "tag p", "end"}));
}

TEST(TagReader, ByteFFEndsThePage) {
    EXPECT_EQ(Events(std::string("<p>ab\xff<q>cd")), (Ev{"tag p", "end", "text ab"}));
}

TEST(TagReader, ReturnsTheBytesRead) {
    std::string page(300, 'x');
    CountingInput input(page);
    Recorder recorder;
    int blocks = -1;
    EXPECT_EQ(TagReader(&input, recorder, nullptr, nullptr, &blocks).Run(), 300);
    EXPECT_EQ(blocks, 3);
    EXPECT_EQ(TagReader(nullptr, recorder, nullptr, nullptr).Run(), 0);
}

TEST(TagReader, AbortStopsAtTheNextBlock) {
    std::string page = std::string(127, 'a') + "<p>" + std::string(400, 'b');
    CountingInput input(page);
    Recorder recorder;
    std::atomic<int> abort{0};
    class AbortingDots final : public DotDisplay {
    public:
        explicit AbortingDots(std::atomic<int>& flag) : m_flag(flag) {}
        void ShowDots(std::string_view) override { m_flag = 1; }
        std::atomic<int>& m_flag;
    } dots(abort);
    int blocks = 0;
    EXPECT_EQ(TagReader(&input, recorder, &dots, &abort, &blocks).Run(), 128);
    EXPECT_EQ(blocks, 1);
    EXPECT_EQ(input.reads, 1);
    EXPECT_EQ(recorder.events, (Ev{"text " + std::string(127, 'a')}));
}

TEST(TagReader, ThrowingReadEndsThePageWithWhatCameBefore) {
    CountingInput input(std::string(128, 'a') + "<p>");
    input.throwAfter = 1;
    Recorder recorder;
    EXPECT_EQ(TagReader(&input, recorder, nullptr, nullptr).Run(), 128);
    EXPECT_EQ(recorder.events, (Ev{"text " + std::string(128, 'a')}));
}

TEST(TagReader, DotsStartAgainAfterTwentyOne) {
    CountingInput input(std::string(128 * 23, 'a'));
    Recorder recorder;
    Dots dots;
    TagReader(&input, recorder, &dots, nullptr).Run();
    ASSERT_EQ(dots.shown.size(), 23u);
    EXPECT_EQ(dots.shown[0], ".");
    EXPECT_EQ(dots.shown[20], std::string(21, '.'));
    EXPECT_EQ(dots.shown[21], ".");
    EXPECT_EQ(dots.shown[22], "..");
}

TEST(TagReader, HandlerWithoutPlainTextKeepsNone) {
    class Quiet final : public TagHandler {
    public:
        int OnTag(const std::string&) override { return kPlainText; }
        void OnTagEnd() override {}
        void OnAttribute(const std::string&, const std::string&) override {}
        void OnCollectedText(const std::string&) override {}
        void OnText(const std::string&) override { ++texts; }
        bool WantsPlainText() const override { return false; }
        int texts = 0;
    } quiet;
    CountingInput input("text<p>more");
    TagReader(&input, quiet, nullptr, nullptr).Run();
    EXPECT_EQ(quiet.texts, 0);
}

TEST(TagReader, EndlessTextStopsGrowing) {
    std::string page = "<title>" + std::string(TagReader::kMaxTextLength + 500, 'x') + "</title>";
    CountingInput input(page);
    Recorder recorder;
    TagReader(&input, recorder, nullptr, nullptr).Run();
    ASSERT_EQ(recorder.events.size(), 5u);
    EXPECT_EQ(recorder.events[3].size(),
              std::string("collected ").size() + TagReader::kMaxTextLength);
}

TEST(DecodeEntities, Names) {
    EXPECT_EQ(DecodeEntities("a&amp;b"), "a&b");
    EXPECT_EQ(DecodeEntities("a;b"), "ab");
    EXPECT_EQ(DecodeEntities("&#65;"), "A");
    EXPECT_EQ(DecodeEntities("&#x41;"), " ");
    EXPECT_EQ(DecodeEntities("&COPY;"), "\xa9");
    EXPECT_EQ(DecodeEntities("x &amp never closed"), "x ");
    EXPECT_EQ(DecodeEntities("&eacute;t&eacute;"), "ete");
    EXPECT_EQ(DecodeEntities("&quot;&lt;&gt;&nbsp;&shy;&;"), "\"<> ");
    EXPECT_EQ(DecodeEntities("&#0;&#256;x"), "x");
    EXPECT_EQ(DecodeEntities("&a&b;"), "a");
}

TEST(DecodeEntities, NothingThatSplitsAFieldComesOut) {
    EXPECT_EQ(DecodeEntities("a&#59;b"), "a b");
    EXPECT_EQ(DecodeEntities("a&#10;b&#13;c"), "a b c");
    EXPECT_EQ(DecodeEntities("&#315;"), " "); // 315 & 0xFF is 59
    EXPECT_EQ(DecodeEntity("#-1"), '\xff');
    EXPECT_EQ(DecodeEntity(""), 0);
}

namespace {

// Hands the page over one byte per read, so the reader never sees more than the character
// it is at: every character then goes the slow way, which the runs must agree with.
class ByteAtATimeInput final : public PageInput {
public:
    explicit ByteAtATimeInput(std::string bytes) : m_input(std::move(bytes)) {}
    size_t Read(char* buffer, size_t) override { return m_input.Read(buffer, 1); }

private:
    MemoryInput m_input;
};

struct Watched {
    Ev events;
    Ev watched;
    bool operator==(const Watched&) const = default;
};

template <typename Input>
Watched WatchedEvents(const std::string& page, bool skipRaw, bool singleQuotes) {
    Input input(page);
    Recorder recorder;
    Recorder watcher;
    TagReader reader(&input, recorder, nullptr, nullptr);
    reader.SetSkipScriptAndStyle(skipRaw);
    reader.SetSingleQuotes(singleQuotes);
    reader.SetTextWatcher(&watcher);
    reader.Run();
    return {recorder.events, watcher.events};
}

} // namespace

TEST(TagReader, RunsReadAsOneCharacterAtATimeDoes) {
    std::vector<std::string> pages = {
        "<html><head><title>A  long\ttitle</title></head><body><p class=\"x y\">Some text, "
        "more\n\n text.</p><a href='a b.htm' title=\"t>t\">link <b>bold</b></a></body></html>",
        "<script>if (a<b && c>d) x = \"</scr\" + \"ipt>\";</script>after <style>p{}</STYLE>x",
        "<p a=\"<!-- not\" b=\"-->\">t</p><!-- a -- comment --> text <!--x-->y",
        "<div\tid=\"q\"  data-x='1'>&amp;&lt;  &#65;</div>\xff never read",
        "text at the start <a name=\"n\">x</a>   <  b>spaced</b ><!doctype html>",
        "<a b=c-d e = f g= 'h'>x</a><p x=><!--><a<b><p\n\nid=\"x\"\n>y<p a<!-- x -->z",
        "<p data-a-b=\"1\" c=d\te>q</p><br/><img src=x.gif alt=\"a -- b\">",
    };
    // And pages of the characters that decide something, in every mix.
    const std::string alphabet = "<>!-=\"' \t\nab/&;";
    unsigned seed = 12345;
    for (int p = 0; p < 300; ++p) {
        std::string page;
        for (int i = 0; i < 200; ++i) {
            seed = seed * 1103515245u + 12345u;
            page += alphabet[(seed >> 16) % alphabet.size()];
        }
        pages.push_back(page);
    }
    // Pages longer than a block, with runs across block boundaries.
    std::string longPage;
    for (int i = 0; i < 300; ++i) {
        longPage += "<p title=\"a" + std::to_string(i) + "-b\">word" + std::to_string(i) +
                    " and more words</p><script>var s='<'+i;</script>\n";
    }
    pages.push_back(longPage);
    for (const std::string& page : pages) {
        for (bool skipRaw : {false, true}) {
            for (bool single : {false, true}) {
                EXPECT_EQ((WatchedEvents<MemoryInput>(page, skipRaw, single)),
                          (WatchedEvents<ByteAtATimeInput>(page, skipRaw, single)))
                    << page.substr(0, 60) << " raw " << skipRaw << " single " << single;
            }
        }
    }
}
