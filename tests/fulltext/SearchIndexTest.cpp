#include "fulltext/SearchIndexBuilder.h"
#include "fulltext/SearchIndexFiles.h"
#include "fulltext/SearchIndexReader.h"
#include "fulltext/SearchIndexWriter.h"
#include "fulltext/SearchPartScript.h"
#include "fulltext/SearchStartLists.h"
#include "fulltext/SearchWordPart.h"
#include "fulltext/WordTokenizer.h"

#include "FileSizeLimit.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

using namespace tamblin;

namespace {

using Role = SearchIndexBuilder::Role;

std::vector<std::string> UrlsOf(const SearchIndexReader& reader, std::string_view query) {
    std::vector<std::string> urls;
    for (std::uint32_t page : reader.Search(query)) {
        urls.push_back(reader.Pages()[page].url);
    }
    return urls;
}

SearchIndexData ThreePages() {
    SearchIndexBuilder builder;
    builder.StartPage("walrus.html");
    builder.SetTitle("The walrus operator");
    builder.AddText("Assignment expressions", Role::kHeading);
    builder.Break();
    builder.AddText("Use := inside expressions.", Role::kBody);
    builder.StartPage("zoo.html");
    builder.SetTitle("Animals");
    builder.AddText("A walrus lives in the sea; so do seals. Walrus, walrus.", Role::kBody);
    builder.StartPage("other.html");
    builder.SetTitle("Other");
    builder.AddText("Nothing about sea creatures here. ", Role::kBody);
    builder.AddText("東京都", Role::kBody);
    return builder.Take();
}

// The texts of ThreePages as the index holds them: the builder packs them into the parts and
// keeps no other copy.
const std::vector<std::string> kThreeTexts = {
    "Assignment expressions Use := inside expressions.",
    "A walrus lives in the sea; so do seals. Walrus, walrus.",
    "Nothing about sea creatures here. 東京都"};

std::optional<SearchIndexReader> WrittenAndRead(const SearchIndexData& data,
                                                const std::string& index) {
    EXPECT_TRUE(SearchIndexWriter::Write(data, index).Ok());
    return SearchIndexReader::Load(index);
}

std::vector<std::string> FilesOf(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(SearchIndexTest, RoundTripKeepsPagesWordsAndTexts) {
    TestFiles files;
    std::string index = files.Path("site.xo");
    SearchIndexData data = ThreePages();
    ASSERT_TRUE(SearchIndexWriter::Write(data, index).Ok());
    auto reader = SearchIndexReader::Load(index);
    ASSERT_TRUE(reader);
    ASSERT_EQ(reader->Pages().size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(reader->Pages()[i].url, data.pages[i].url);
        EXPECT_EQ(reader->Pages()[i].title, data.pages[i].title);
        EXPECT_EQ(reader->Pages()[i].text, kThreeTexts[i]);
    }
    const SearchWords& read = reader->Data().words;
    ASSERT_EQ(read.Size(), data.words.Size());
    for (size_t i = 0; i < data.words.Size(); ++i) {
        EXPECT_EQ(read.Text(i), data.words.Text(i));
        ASSERT_EQ(read.PostingCount(i), data.words.PostingCount(i));
        std::vector<SearchPosting> got = read.Postings(i);
        std::vector<SearchPosting> written = data.words.Postings(i);
        for (size_t k = 0; k < got.size(); ++k) {
            EXPECT_EQ(got[k].page, written[k].page);
            EXPECT_EQ(got[k].count, written[k].count);
            EXPECT_EQ(got[k].flags, written[k].flags);
            EXPECT_EQ(got[k].offsets, written[k].offsets);
        }
    }
}

// Pages are counted on the builder's own thread while later ones come in: they keep their
// order and numbers, a builder serves again after Take, and one never taken ends cleanly.
TEST(SearchIndexTest, PagesCountedOnTheBuildersThreadKeepTheirOrder) {
    SearchIndexBuilder builder;
    for (int round = 0; round < 2; ++round) {
        const int count = round == 0 ? 300 : 1;
        for (int i = 0; i < count; ++i) {
            builder.StartPage("p" + std::to_string(i) + ".html");
            builder.AddText("shared word" + std::to_string(i), Role::kBody);
        }
        EXPECT_EQ(builder.PageCount(), static_cast<size_t>(count));
        SearchIndexData data = builder.Take();
        ASSERT_EQ(data.pages.size(), static_cast<size_t>(count));
        EXPECT_EQ(data.pages.back().url, "p" + std::to_string(count - 1) + ".html");
        size_t shared = data.words.LowerBound("shared");
        ASSERT_EQ(data.words.Text(shared), "shared");
        std::vector<SearchPosting> postings = data.words.Postings(shared);
        ASSERT_EQ(postings.size(), static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            EXPECT_EQ(postings[i].page, static_cast<std::uint32_t>(i));
        }
        size_t last = data.words.LowerBound("word" + std::to_string(count - 1));
        EXPECT_EQ(data.words.Postings(last)[0].page, static_cast<std::uint32_t>(count - 1));
    }
    SearchIndexBuilder dropped;
    for (int i = 0; i < 100; ++i) {
        dropped.StartPage("d.html");
        dropped.AddText("never taken", Role::kBody);
    }
}

// Pages made by hand carry their texts and the writer makes their parts; the builder's parts,
// made as the pages came, are the same files to the byte.
TEST(SearchIndexTest, PartsMadeWhileBuildingMatchThoseMadeOnWriting) {
    TestFiles files;
    SearchIndexData built = ThreePages();
    SearchIndexData byHand;
    for (size_t i = 0; i < built.pages.size(); ++i) {
        EXPECT_TRUE(built.pages[i].text.empty());
        byHand.pages.push_back({built.pages[i].url, built.pages[i].title, kThreeTexts[i]});
    }
    for (size_t i = 0; i < built.words.Size(); ++i) {
        byHand.words.Add(built.words.Text(i), built.words.Postings(i));
    }
    ASSERT_TRUE(SearchIndexWriter::Write(built, files.Path("built.xo")).Ok());
    ASSERT_TRUE(SearchIndexWriter::Write(byHand, files.Path("hand.xo")).Ok());
    std::string builtFolder = SearchIndexFiles::Folder(files.Path("built.xo"));
    std::string handFolder = SearchIndexFiles::Folder(files.Path("hand.xo"));
    ASSERT_EQ(FilesOf(builtFolder), FilesOf(handFolder));
    for (const std::string& name : FilesOf(builtFolder)) {
        EXPECT_EQ(TestFiles::Read(builtFolder + "/" + name),
                  TestFiles::Read(handFolder + "/" + name))
            << name;
    }
}

TEST(SearchIndexTest, EveryWordOfAPageFindsIt) {
    TestFiles files;
    auto reader = WrittenAndRead(ThreePages(), files.Path("site.xo"));
    ASSERT_TRUE(reader);
    const std::vector<SearchPage>& pages = reader->Pages();
    for (size_t page = 0; page < pages.size(); ++page) {
        for (const std::string* text : {&pages[page].title, &pages[page].text}) {
            for (const WordToken& token : WordTokenizer::Words(*text)) {
                std::vector<std::uint32_t> found = reader->Search(token.word, false);
                EXPECT_NE(std::find(found.begin(), found.end(), page), found.end())
                    << token.word << " in " << pages[page].url;
            }
        }
    }
}

// Texts are cleaned eight bytes at a time where they can be: runs of spaces and controls
// still become one space wherever they fall, whatever the bytes around them, and the words'
// offsets still count UTF-16 code units.
TEST(SearchIndexTest, TextsKeepOneSpaceBetweenWordsWhereverTheRunsFall) {
    const std::vector<std::string> pieces = {
        "a",    "bc",   " ",        "  ",           "\t",
        "\x7F", "\n\r", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80",
        "word", "x1"};
    std::uint32_t seed = 7;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 16;
    };
    SearchIndexBuilder builder;
    std::vector<std::string> expected;
    for (int page = 0; page < 300; ++page) {
        builder.StartPage("p" + std::to_string(page) + ".html");
        std::string clean;
        for (int text = 0; text < 3; ++text) {
            std::string raw;
            for (std::uint32_t k = 0, n = next() % 40; k < n; ++k) {
                raw += pieces[next() % pieces.size()];
            }
            builder.AddText(raw, Role::kBody);
            for (char c : raw) {
                bool blank = static_cast<unsigned char>(c) <= 0x20 || c == '\x7F';
                if (!blank) {
                    clean += c;
                } else if (!clean.empty() && clean.back() != ' ') {
                    clean += ' ';
                }
            }
        }
        while (!clean.empty() && clean.back() == ' ') {
            clean.pop_back();
        }
        expected.push_back(clean);
    }
    TestFiles files;
    auto reader = WrittenAndRead(builder.Take(), files.Path("runs.xo"));
    ASSERT_TRUE(reader);
    for (size_t page = 0; page < expected.size(); ++page) {
        ASSERT_EQ(reader->Pages()[page].text, expected[page]) << page;
    }
    const SearchWords& words = reader->Data().words;
    for (size_t i = 0; i < words.Size(); ++i) {
        for (const SearchPosting& posting : words.Postings(i)) {
            std::vector<WordToken> tokens = WordTokenizer::Words(expected[posting.page]);
            for (std::uint32_t offset : posting.offsets) {
                EXPECT_TRUE(std::any_of(tokens.begin(), tokens.end(),
                                        [&](const WordToken& t) {
                                            return t.start == offset && t.word == words.Text(i);
                                        }))
                    << words.Text(i) << " at " << offset << " in page " << posting.page;
            }
        }
    }
}

TEST(SearchIndexTest, RankingAllWordsAndPrefix) {
    TestFiles files;
    std::string index = files.Path("site.xo");
    ASSERT_TRUE(SearchIndexWriter::Write(ThreePages(), index).Ok());
    auto reader = SearchIndexReader::Load(index);
    ASSERT_TRUE(reader);
    // The title hit first, though the other page says it three times.
    EXPECT_EQ(UrlsOf(*reader, "WALRUS"), (std::vector<std::string>{"walrus.html", "zoo.html"}));
    // Several words: pages with all of them; the last as the start of a word.
    EXPECT_EQ(UrlsOf(*reader, "sea wal"), (std::vector<std::string>{"zoo.html"}));
    EXPECT_EQ(UrlsOf(*reader, "se").size(), 2u);
    EXPECT_TRUE(reader->Search("se", false).empty());
    // A heading hit counts before the text.
    EXPECT_EQ(UrlsOf(*reader, "expressions"), (std::vector<std::string>{"walrus.html"}));
    auto postings = reader->Postings("assignment", false);
    ASSERT_EQ(postings.size(), 1u);
    EXPECT_EQ(postings[0].flags, SearchPosting::kInHeading);
    EXPECT_EQ(UrlsOf(*reader, "京都"), (std::vector<std::string>{"other.html"}));
    EXPECT_TRUE(UrlsOf(*reader, "").empty());
}

TEST(SearchIndexTest, OffsetsPointAtTheWordsInTheText) {
    SearchIndexData data = ThreePages();
    for (size_t i = 0; i < data.words.Size(); ++i) {
        std::string_view word = data.words.Text(i);
        for (const SearchPosting& posting : data.words.Postings(i)) {
            const std::string& text = kThreeTexts[posting.page];
            for (std::uint32_t offset : posting.offsets) {
                // The texts here are ASCII but for whole CJK characters of three bytes.
                std::vector<WordToken> tokens = WordTokenizer::Words(text);
                bool found = std::any_of(tokens.begin(), tokens.end(), [&](const WordToken& t) {
                    return t.start == offset && t.word == word;
                });
                EXPECT_TRUE(found) << word << " at " << offset;
            }
        }
    }
}

TEST(SearchIndexTest, ManyPagesSplitIntoParts) {
    SearchIndexBuilder builder;
    std::vector<std::string> texts;
    for (int i = 0; i < 600; ++i) {
        builder.StartPage("p" + std::to_string(i) + ".html");
        builder.SetTitle("Page " + std::to_string(i));
        std::string text;
        for (int k = 0; k < 400; ++k) {
            text += "word" + std::to_string((i * 7 + k) % 3000) + " ";
        }
        builder.AddText(text, Role::kBody);
        text.pop_back();
        texts.push_back(text);
    }
    SearchIndexData data = builder.Take();
    TestFiles files;
    std::string index = files.Path("big.xo");
    ASSERT_TRUE(SearchIndexWriter::Write(data, index).Ok());
    std::string folder = SearchIndexFiles::Folder(index);
    EXPECT_TRUE(std::filesystem::exists(SearchIndexFiles::PagePart(folder, 2)));
    EXPECT_TRUE(std::filesystem::exists(SearchIndexFiles::WordPart(folder, 3)));
    EXPECT_TRUE(std::filesystem::exists(SearchIndexFiles::TextPart(folder, 3)));
    auto reader = SearchIndexReader::Load(index);
    ASSERT_TRUE(reader);
    for (int i : {0, 249, 250, 599}) {
        EXPECT_EQ(reader->Pages()[static_cast<size_t>(i)].text, texts[static_cast<size_t>(i)]);
    }
    EXPECT_EQ(UrlsOf(*reader, "page 599 word15"), (std::vector<std::string>{"p599.html"}));
}

// Text that packs to a twentieth of its size would leave thousands of files of a few hundred
// bytes; its parts grow instead, and every page still reads back whole.
TEST(SearchIndexTest, TextThatPacksWellTakesFewerParts) {
    SearchIndexBuilder builder;
    std::string sentence = "lorem ipsum dolor sit amet consectetur adipiscing elit ";
    for (int i = 0; i < 300; ++i) {
        builder.StartPage("p" + std::to_string(i) + ".html");
        std::string text;
        for (int k = 0; k < 80; ++k) {
            text += sentence;
        }
        builder.AddText(text + "page" + std::to_string(i), Role::kBody);
    }
    auto textOf = [&](size_t i) {
        std::string text;
        for (int k = 0; k < 80; ++k) {
            text += sentence;
        }
        return text + "page" + std::to_string(i);
    };
    SearchIndexData data = builder.Take();
    TestFiles files;
    std::string index = files.Path("alike.xo");
    ASSERT_TRUE(SearchIndexWriter::Write(data, index).Ok());
    std::string folder = SearchIndexFiles::Folder(index);
    // 1.3 MB of text: 80 parts of 16 KB, fewer than 20 once they grow.
    EXPECT_TRUE(std::filesystem::exists(SearchIndexFiles::TextPart(folder, 1)));
    EXPECT_FALSE(std::filesystem::exists(SearchIndexFiles::TextPart(folder, 20)));
    auto reader = SearchIndexReader::Load(index);
    ASSERT_TRUE(reader);
    for (size_t i = 0; i < data.pages.size(); ++i) {
        ASSERT_EQ(reader->Pages()[i].text, textOf(i)) << i;
    }
    EXPECT_EQ(UrlsOf(*reader, "page299"), (std::vector<std::string>{"p299.html"}));
}

TEST(SearchIndexTest, RewriteReplacesTheFolderAndAFailureKeepsIt) {
    TestFiles files;
    std::string index = files.Path("site.xo");
    ASSERT_TRUE(SearchIndexWriter::Write(ThreePages(), index).Ok());
    SearchIndexBuilder builder;
    builder.StartPage("new.html");
    builder.AddText("fresh words", Role::kBody);
    ASSERT_TRUE(SearchIndexWriter::Write(builder.Take(), index).Ok());
    auto reader = SearchIndexReader::Load(index);
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->Pages().size(), 1u);
    EXPECT_TRUE(UrlsOf(*reader, "walrus").empty());
    std::string folder = SearchIndexFiles::Folder(index);
    EXPECT_FALSE(std::filesystem::exists(folder + ".new"));
    EXPECT_FALSE(std::filesystem::exists(folder + ".old"));

    // A folder that cannot be made: the write fails and says so.
    files.Write("plain", "a file, not a folder");
    EXPECT_FALSE(SearchIndexWriter::Write(ThreePages(), files.Path("plain/site.xo")).Ok());
    EXPECT_EQ(SearchIndexReader::Load(index)->Pages().size(), 1u);
    EXPECT_TRUE(SearchIndexWriter::Remove(index));
    EXPECT_FALSE(SearchIndexReader::Load(index));
}

// The caller saves its index file between the two steps of a write: once the new folder is
// whole, before it replaces the old one. A failure of either leaves the old folder whole.
TEST(SearchIndexTest, TheIndexFileIsSavedBetweenTheNewFolderAndItsRename) {
    TestFiles files;
    std::string index = files.Path("site.xo");
    std::string folder = SearchIndexFiles::Folder(index);
    ASSERT_TRUE(SearchIndexWriter::Write(ThreePages(), index).Ok());
    std::string oldList = TestFiles::Read(SearchIndexFiles::List(folder));
    SearchIndexBuilder builder;
    builder.StartPage("new.html");
    builder.AddText("fresh words", Role::kBody);
    SearchIndexData fresh = builder.Take();

    bool called = false;
    SaveResult refused = SearchIndexWriter::Write(fresh, index, [&] {
        called = true;
        // The new folder is whole on disk and the old one still in place.
        EXPECT_TRUE(std::filesystem::exists(SearchIndexFiles::List(folder + ".new")));
        EXPECT_EQ(TestFiles::Read(SearchIndexFiles::List(folder)), oldList);
        return false;
    });
    EXPECT_TRUE(called);
    EXPECT_EQ(refused.error, ECANCELED);
    EXPECT_EQ(TestFiles::Read(SearchIndexFiles::List(folder)), oldList);
    EXPECT_FALSE(std::filesystem::exists(folder + ".new"));

    // Parts that cannot be written (a full disk): the index file is never saved.
    // Letters that do not repeat, so that packing leaves the parts large.
    std::string big(40000, ' ');
    std::uint32_t seed = 1;
    for (size_t i = 0; i < big.size(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        big[i] = i % 8 == 0 ? ' ' : static_cast<char>('a' + (seed >> 24) % 26);
    }
    builder.StartPage("big.html");
    builder.AddText(big, Role::kBody);
    SearchIndexData large = builder.Take();
    called = false;
    {
        FileSizeLimit limit(8000);
        SaveResult full = SearchIndexWriter::Write(large, index, [&] { return called = true; });
        EXPECT_EQ(full.error, EFBIG);
    }
    EXPECT_FALSE(called);
    EXPECT_EQ(TestFiles::Read(SearchIndexFiles::List(folder)), oldList);
    EXPECT_FALSE(std::filesystem::exists(folder + ".new"));

    ASSERT_TRUE(SearchIndexWriter::Write(large, index, [&] { return called = true; }).Ok());
    EXPECT_TRUE(called);
    EXPECT_EQ(UrlsOf(*SearchIndexReader::Load(index), big.substr(1, 7)),
              (std::vector<std::string>{"big.html"}));
    EXPECT_FALSE(std::filesystem::exists(folder + ".old"));
}

TEST(SearchIndexTest, PartScriptHoldsAnyBytesAndRefusesOthers) {
    std::string hostile = "\");alert(1);//</script><script>\xFF\x00\n\u2028";
    std::string script = SearchPartScript(hostile);
    EXPECT_EQ(script.find("alert"), std::string::npos);
    EXPECT_EQ(SearchPartBytes(script), hostile);
    EXPECT_FALSE(SearchPartBytes(script.substr(1)));
    std::string tampered = script;
    tampered[tampered.size() - 8] = '"';
    EXPECT_FALSE(SearchPartBytes(tampered));
}

// A word part: words front coded and read back as written; a common word keeps its pages and
// counts but fewer places; cut or disordered bytes are refused.
TEST(SearchWordPartTest, RoundTripCommonWordsAndBadBytes) {
    std::vector<SearchWordPart::Word> words = {{"walrus", {{0, 3, 1, {4, 9, 70}}, {7, 1, 2, {0}}}},
                                               {"walruses", {{7, 2, 0, {12, 300}}}}};
    SearchWordPart::Word common{"the", {}};
    for (std::uint32_t page = 0; page < 5000; ++page) {
        common.second.push_back({page * 2, 4, 0, {1, 2, 3, 4}});
    }
    std::string bytes;
    SearchWordPart::Append(common, "", bytes);
    SearchWordPart::Append(words[0], "the", bytes);
    SearchWordPart::Append(words[1], "walrus", bytes);
    auto read = SearchWordPart::Read(bytes);
    ASSERT_TRUE(read);
    ASSERT_EQ(read->size(), 3u);
    EXPECT_EQ((*read)[1].first, "walrus");
    EXPECT_EQ((*read)[2].first, "walruses");
    EXPECT_EQ((*read)[2].second[0].offsets, (std::vector<std::uint32_t>{12, 300}));
    EXPECT_EQ((*read)[1].second[1].page, 7u);
    EXPECT_EQ((*read)[1].second[1].flags, SearchPosting::kInHeading);
    ASSERT_EQ((*read)[0].second.size(), 5000u);
    EXPECT_EQ((*read)[0].second[4999].page, 9998u);
    EXPECT_EQ((*read)[0].second[4999].count, 4u);
    EXPECT_TRUE((*read)[0].second[4999].offsets.empty());

    for (size_t cut = 1; cut < 10; ++cut) { // within the last word
        EXPECT_FALSE(SearchWordPart::Read(bytes.substr(0, bytes.size() - cut))) << cut;
    }
    std::string backwards;
    SearchWordPart::Append(words[1], "", backwards);
    SearchWordPart::Append(words[0], "", backwards);
    EXPECT_FALSE(SearchWordPart::Read(backwards));
}

// The start parts stand for the word parts on a reader's first keys: every prefix of one or
// two characters that begins two words or more has the list those words merge to, counts and
// flags included, in the part its first character names; first.js has each first character's
// best pages, as ranked over all its words, and all its pages.
TEST(SearchIndexTest, StartListsAreTheWordsTheyBeginMerged) {
    SearchIndexBuilder builder;
    const std::vector<std::string> vocabulary = {"alpha", "alps", "amber", "beta", "bêta",
                                                 "big",   "ça",   "zeta",  "x",    "東京",
                                                 "東大",  "京都", "q1",    "q2",   "qu"};
    std::uint32_t seed = 7;
    auto next = [&] { return seed = seed * 1103515245 + 12345, seed >> 16; };
    for (int i = 0; i < 130; ++i) {
        builder.StartPage("p" + std::to_string(i) + ".html");
        builder.SetTitle(vocabulary[next() % vocabulary.size()]);
        std::string text;
        for (int k = 0; k < 1 + static_cast<int>(next() % 12); ++k) {
            text += vocabulary[next() % vocabulary.size()] + " ";
        }
        builder.AddText(text, i % 5 == 0 ? Role::kHeading : Role::kBody);
    }
    TestFiles files;
    auto reader = WrittenAndRead(builder.Take(), files.Path("starts.xo"));
    ASSERT_TRUE(reader);
    ASSERT_GT(reader->StartPartCount(), 0u);
    const SearchWords& words = reader->Data().words;
    std::set<std::string> prefixes;
    for (size_t i = 0; i < words.Size(); ++i) {
        for (size_t n : {1, 2}) {
            std::string prefix(SearchStartLists::Prefix(words.Text(i), n));
            if (!prefix.empty()) {
                prefixes.insert(prefix);
            }
        }
    }
    prefixes.insert("zz");
    for (const std::string& prefix : prefixes) {
        std::vector<SearchPosting> merged = reader->Postings(prefix, true);
        size_t begun = 0;
        for (size_t i = words.LowerBound(prefix);
             i < words.Size() && words.Text(i).starts_with(prefix); ++i) {
            ++begun;
        }
        const std::vector<SearchPosting>* list = reader->StartList(prefix);
        ASSERT_EQ(list != nullptr, begun >= 2) << prefix;
        if (list == nullptr) {
            continue;
        }
        ASSERT_EQ(list->size(), merged.size()) << prefix;
        for (size_t k = 0; k < merged.size(); ++k) {
            EXPECT_EQ((*list)[k].page, merged[k].page) << prefix;
            EXPECT_EQ((*list)[k].count, merged[k].count) << prefix;
            EXPECT_EQ((*list)[k].flags, merged[k].flags) << prefix;
            EXPECT_TRUE((*list)[k].offsets.empty());
        }
        const SearchStartLists::First* first = reader->FirstList(prefix);
        ASSERT_EQ(first != nullptr, SearchStartLists::Prefix(prefix, 1) == prefix) << prefix;
        if (first == nullptr) {
            continue;
        }
        EXPECT_EQ(first->total, merged.size());
        std::vector<std::uint32_t> ranked = reader->Search(prefix);
        ranked.resize(std::min(ranked.size(), SearchStartLists::kFirstPages));
        std::set<std::uint32_t> best;
        for (const SearchPosting& posting : first->best) {
            best.insert(posting.page);
        }
        EXPECT_EQ(best, std::set<std::uint32_t>(ranked.begin(), ranked.end())) << prefix;
        ASSERT_TRUE(first->every);
        std::vector<std::uint32_t> all;
        for (const SearchPosting& posting : merged) {
            all.push_back(posting.page);
        }
        EXPECT_EQ(*first->every, all) << prefix;
    }
}

// first.js is read from outside: whatever it holds is read within the pages there are, or
// refused, never trusted.
TEST(SearchIndexTest, FirstCharactersPartRefusesWhatTheWriterNeverWrites) {
    auto read = [](std::string_view text) { return SearchStartLists::ReadFirsts(text, 40); };
    auto good = read("a\t3\t1,5,4,9\t1-2,4\n\xc3\xa9\t2\t0,4\t\n");
    ASSERT_TRUE(good);
    EXPECT_EQ(good->at("a").total, 3u);
    EXPECT_EQ(*good->at("a").every, (std::vector<std::uint32_t>{1, 2, 4}));
    EXPECT_EQ(good->at("a").best[1].count, 2u);
    EXPECT_EQ(good->at("a").best[1].flags, 1);
    EXPECT_FALSE(good->at("\xc3\xa9").every);
    for (std::string_view bad :
         {"ab\t1\t0,4\t\n", "a\t1\t0,4\t0-14\n", "a\t2\t4,4,1,4\t\n", "a\t1\t0,4,1,4\t\n",
          "a\t2\t0,4\t0,0\n", "a\t1\t0,4\n", "a\t1\t0,4\t\n\n", "a\t1\t0,4\t", "a\t9\t0,4\t3-1\n",
          "a\t2\t0,4\t1-2-3\n", "a\t1\t-1,4\t\n", "a\t1\t0,zzzzzzz\t\n", "a\t1\t0,Z\t\n"}) {
        EXPECT_FALSE(read(bad)) << bad;
    }
}
