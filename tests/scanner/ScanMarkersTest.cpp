// Headings keep the text of their links but a permalink marker; footnote and citation
// markers make no keywords. Off, headings lose every link to a place in their page.
#include "ScanTestSupport.h"
#include "TestFiles.h"
#include "scanner/MarkerText.h"

#include <gtest/gtest.h>

using namespace tamblin;
using namespace scantest;
using Lines = std::vector<std::string>;

TEST(MarkerText, PermalinksAreOneSymbolOrNothing) {
    for (const char* marker : {"", " ", "\xC2\xB6", "#", "\xC2\xA7", "\xF0\x9F\x94\x97", " # ",
                               "\xE2\x9A\x93\xEF\xB8\x8F", "\xB6" /* Windows-1252 */}) {
        EXPECT_TRUE(MarkerText::IsPermalink(marker)) << marker;
    }
    for (const char* text : {"a", "7", "bdb", "##", "\xC2\xB6 1", "\xC3\xA9", "\xE5\xAD\x97",
                             "\xC3" /* a broken byte */, "\xE9" /* Windows-1252 e acute */}) {
        EXPECT_FALSE(MarkerText::IsPermalink(text)) << text;
    }
}

TEST(MarkerText, NotesAreBracketedLabelsOrBareMarksThatStayInThePage) {
    for (const char* note : {"[1]", "[12]", " [5] ", "[Knuth98]", "[*]"}) {
        EXPECT_TRUE(MarkerText::IsNote(note, false)) << note;
    }
    for (const char* text :
         {"[]", "[a b]", "[see the appendix of this book]", "1", "*", "[1", ""}) {
        EXPECT_FALSE(MarkerText::IsNote(text, false)) << text;
    }
    for (const char* note : {"1", "123", "*", "\xE2\x80\xA0"}) {
        EXPECT_TRUE(MarkerText::IsNote(note, true)) << note;
    }
    for (const char* text : {"1234", "Intro", "1a", ""}) {
        EXPECT_FALSE(MarkerText::IsNote(text, true)) << text;
    }
}

TEST(ScanMarkers, HeadingsKeepTheirLinkedNamesAndNotesMakeNoKeywords) {
    TestFiles files;
    files.Write("index.htm",
                "<title>bdb</title>"
                "<h1><a class=\"reference internal\" href=\"#module-bdb\"><code>bdb</code></a>"
                " \xE2\x80\x94 Debugger framework<a class=headerlink href=\"#module-bdb\">"
                "\xC2\xB6</a></h1>"
                "<h2 id=use>Use <a href=\"other.htm\">other</a> pages"
                "<a href=\"#use\">\xF0\x9F\x94\x97</a><a href=\"#use\"></a></h2>"
                "<h2 id=sect>Sect<a href=\"#sect\">&sect;</a></h2>"
                "<p>See<a class=\"footnote-reference brackets\" href=\"#id2\" id=id1>"
                "<span>[</span>1<span>]</span></a> and <a href=\"#c\" id=id3>[Knuth98]</a>"
                " and <a href=\"#n\" id=id4>2</a> and <a id=spot>Spot</a></p>"
                "<aside id=id2><a href=\"#id1\">1</a> A note.</aside>");
    files.Write("other.htm", "<title>Other</title>");
    ScanSettings settings = PlainScan(files.Path("index.htm"));
    Lines keywords;
    for (const std::string& line : Body(Scan(settings))) {
        if (line.rfind("7;", 0) == 0) {
            keywords.push_back(line);
        }
    }
    EXPECT_EQ(keywords,
              (Lines{"7;&1;&1;&1;;",
                     "7;bdb \xE2\x80\x94 Debugger framework;&1#module-bdb;&1 (bdb \xE2\x80\x94 "
                     "Debugger framework);;",
                     "7;Use other pages;&1#use;&1 (Use other pages);;",
                     "7;Sect;&1#sect;&1 (Sect);;", "7;Spot;&1#spot;&1;;", "7;&2;&2;&2;;"}));

    settings.skipMarkers = false;
    keywords.clear();
    for (const std::string& line : Body(Scan(settings))) {
        if (line.rfind("7;", 0) == 0) {
            keywords.push_back(line);
        }
    }
    EXPECT_EQ(keywords,
              (Lines{"7;&1;&1;&1;;",
                     "7;\xE2\x80\x94 Debugger framework;&1#module-bdb;&1 (\xE2\x80\x94 "
                     "Debugger framework);;",
                     "7;Use other pages;&1#use;&1 (Use other pages);;",
                     "7;Sect;&1#sect;&1 (Sect);;", "7;[1];&1#id1;&1;;", "7;[Knuth98];&1#id3;&1;;",
                     "7;2;&1#id4;&1;;", "7;Spot;&1#spot;&1;;", "7;&2;&2;&2;;"}));
}
