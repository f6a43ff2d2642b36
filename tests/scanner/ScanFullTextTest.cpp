#include "fulltext/SearchIndexData.h"
#include "fulltext/SearchIndexReader.h"
#include "fulltext/SearchIndexWriter.h"
#include "fulltext/WordTokenizer.h"
#include "scanner/SiteScanner.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace tamblin;

namespace {

// The pages a scan of `files` kept for the search index, as the index written of them reads
// back: the scan keeps the texts only in the parts it makes for the files.
SearchIndexData ScanWords(const TestFiles& files, bool classic = false) {
    ScanSettings settings;
    if (classic) {
        settings.SetClassic();
    }
    settings.start = files.Path("index.htm");
    SiteScanner scanner(settings);
    std::optional<std::string> temporary = scanner.ScanIndex();
    EXPECT_TRUE(temporary);
    if (temporary) {
        std::remove(temporary->c_str());
    }
    SearchIndexData data = scanner.TakeSearchIndex();
    if (classic) {
        return data;
    }
    std::string index = files.Path("site.xo");
    EXPECT_TRUE(SearchIndexWriter::Write(data, index).Ok());
    auto reader = SearchIndexReader::Load(index);
    EXPECT_TRUE(reader);
    return reader ? reader->Data() : SearchIndexData{};
}

const SearchPage* PageOf(const SearchIndexData& data, const std::string& url) {
    for (const SearchPage& page : data.pages) {
        if (page.url == url) {
            return &page;
        }
    }
    return nullptr;
}

std::uint8_t FlagsOf(const SearchIndexData& data, const std::string& word) {
    size_t at = data.words.LowerBound(word);
    return at < data.words.Size() && data.words.Text(at) == word
               ? data.words.Postings(at).at(0).flags
               : 0xFF;
}

} // namespace

TEST(ScanFullText, KeepsTheTextAReaderSees) {
    TestFiles files;
    files.Write("index.htm",
                "<html><head><title>Caf&eacute; &amp; Co</title><style>p { color: red }</style>"
                "<script>var secret = '<p>scripted</p>';</script><meta name=x content=meta>"
                "</head><body><h1 id=t>Menu <a href='#t'>\xC2\xB6</a></h1>"
                "<p>Espresso<b>bar</b> &lt;tag&gt; <a href=b.htm>next page</a></p>"
                "<div hidden><p>hidden one</p></div><span aria-hidden=\"true\">hidden two</span>"
                "<div style='display: none'>hidden three</div><p>Tea</p><noscript>ns</noscript>"
                "</body></html>");
    files.Write("b.htm", "<title>B</title><p>second</p>");
    SearchIndexData data = ScanWords(files);
    ASSERT_EQ(data.pages.size(), 2u);
    const SearchPage* index = PageOf(data, "index.htm");
    ASSERT_TRUE(index);
    EXPECT_EQ(index->title, "Café & Co");
    // Inline elements join their words; blocks keep them apart; references are decoded.
    EXPECT_EQ(index->text, "Menu \xC2\xB6 Espressobar <tag> next page Tea");
    EXPECT_EQ(FlagsOf(data, "menu"), SearchPosting::kInHeading);
    EXPECT_EQ(FlagsOf(data, "cafe"), SearchPosting::kInTitle);
    EXPECT_EQ(FlagsOf(data, "tea"), 0);
    for (const char* unseen : {"secret", "scripted", "color", "hidden", "meta", "ns"}) {
        EXPECT_EQ(FlagsOf(data, unseen), 0xFF) << unseen;
    }
    ASSERT_TRUE(PageOf(data, "b.htm"));
    EXPECT_EQ(PageOf(data, "b.htm")->text, "second");
}

TEST(ScanFullText, DecodesThePageCharacterSet) {
    TestFiles files;
    files.Write("index.htm", "<meta charset=windows-1252><title>R\xE9sum\xE9</title>"
                             "<p>na\xEFve &#8364;5 \x93quoted\x94</p>");
    SearchIndexData data = ScanWords(files);
    ASSERT_EQ(data.pages.size(), 1u);
    EXPECT_EQ(data.pages[0].title, "Résumé");
    EXPECT_EQ(data.pages[0].text, "naïve €5 “quoted”");
    EXPECT_NE(FlagsOf(data, "naive"), 0xFF);
}

TEST(ScanFullText, ClassicScansKeepNoWords) {
    TestFiles files;
    files.Write("index.htm", "<title>T</title><p>words</p>");
    SearchIndexData data = ScanWords(files, true);
    EXPECT_TRUE(data.pages.empty());
    EXPECT_TRUE(data.words.Empty());
}
