#include "keywords/KeywordIndex.h"
#include "contents/EditObserver.h"
#include "index/IndexEntry.h"
#include "index/IndexFile.h"
#include "keywords/JsLowerCase.h"
#include "keywords/KeywordEditor.h"
#include "keywords/KeywordListsStep.h"
#include "keywords/KeywordProblems.h"

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

using namespace tamblin;

namespace {

struct QuietObserver : EditObserver {
    void EntryRemoved(IndexEntry&, IndexEntry&) override {}
    void EntryInserted(IndexEntry&, std::size_t, IndexEntry&) override {}
    void ChildrenRearranged(IndexEntry&) override {}
    void EntryChanged(IndexEntry&) override {}
    void FileChanged() override {}
};

std::u16string U(const char* utf8) {
    return Utf8ToUtf16String(utf8);
}

std::string Lower(const char* utf8) {
    return Utf16ToUtf8String(JsToLowerCase(U(utf8)));
}

std::vector<std::string> Phrases(const KeywordIndex& index) {
    std::vector<std::string> out;
    for (const KeywordGroup& group : index.Groups()) {
        out.push_back(Utf16ToUtf8String(group.phrase) + "/" + std::to_string(group.pages));
    }
    return out;
}

// Three pages and an Other Index keyword: "Intro" twice on page 1 (two anchors).
std::unique_ptr<IndexFile> Sample() {
    auto index = std::make_unique<IndexFile>();
    index->LoadBytes("XO0;2;1;1\n1;Sample;December 06 2026\n3;1;;;\n"
                     "5;1;1;a.htm;Alpha;;0;;\n5;2;1;b.htm;Beta;;1;;\n5;3;1;c.htm;Gamma;;0;;\n"
                     "7;Intro;&1#x;&1;;\n7;Intro;&1#y;&1;;\n7;intro;&2;&2;;\n"
                     "7;EXAMPLES;&2#e;&2;;\n7;Examples;&3#e;&3;;\n7;Intro;&3;&3;;\n"
                     "7;Elsewhere;http://x.example/p#q;Somewhere;;\n",
                     "sample.xo");
    return index;
}

} // namespace

TEST(JsLowerCaseTest, LowersAsJavaScriptDoes) {
    EXPECT_EQ(Lower("ABC xyz"), "abc xyz");
    EXPECT_EQ(Lower("\xC3\x84\xC3\x96\xC3\x9C"), "\xC3\xA4\xC3\xB6\xC3\xBC"); // ÄÖÜ
    EXPECT_EQ(Lower("\xC3\x9F"), "\xC3\x9F");                                 // ß stays
    EXPECT_EQ(Lower("\xC4\xB0"), "i\xCC\x87");                                // İ: two
    // Σ is final at the end of a word and not alone.
    EXPECT_EQ(Lower("\xCE\x9F\xCE\xA3"), "\xCE\xBF\xCF\x82");
    EXPECT_EQ(Lower("\xCE\xA3"), "\xCF\x83");
    EXPECT_EQ(Lower("\xCE\x9F\xCE\xA3\xCE\x9F"), "\xCE\xBF\xCF\x83\xCE\xBF");
    EXPECT_EQ(Lower("\xF0\x90\x90\x80"), "\xF0\x90\x90\xA8"); // Deseret, outside the BMP
}

TEST(KeywordIndexTest, GroupsSortsAndCountsPagesAsReadersSeeThem) {
    auto index = Sample();
    KeywordIndex keywords;
    keywords.Build(*index);
    // Lowered first, then UTF-16 order: upper case before lower within one lowered text.
    EXPECT_EQ(Phrases(keywords), (std::vector<std::string>{"Elsewhere/1", "EXAMPLES/1",
                                                           "Examples/1", "Intro/2", "intro/1"}));
    EXPECT_EQ(keywords.KeywordCount(), 7u);
    const KeywordGroup& intro = keywords.Groups()[keywords.Find(U("Intro"))];
    ASSERT_EQ(intro.refs.size(), 3u);
    // The viewer's walk: the tree in pre-order.
    EXPECT_EQ(intro.refs[0].owner->m_title, "Alpha");
    EXPECT_EQ(intro.refs[2].owner->m_title, "Gamma");
    EXPECT_EQ(keywords.Find(U("intro ")), keywords.Groups().size());
}

TEST(KeywordIndexTest, Windows1252FilesDecodeByteForByte) {
    IndexFile index;
    index.LoadBytes("XO0;2;1;1\n1;S;D\n3;1;;;\n5;1;1;a.htm;Caf\xE9;;0;;\n7;\x80uro;&1;&1;;\n",
                    "x.xo");
    KeywordIndex keywords;
    keywords.Build(index);
    ASSERT_FALSE(keywords.Utf8());
    EXPECT_EQ(Phrases(keywords), (std::vector<std::string>{"\xE2\x82\xAC"
                                                           "uro/1"}));
    std::string bytes;
    KeywordEditor editor(keywords);
    EXPECT_EQ(editor.CheckPhrase(U("\xC3\xA9t\xC3\xA9"), bytes), KeywordEditor::PhraseCheck::Ok);
    EXPECT_EQ(bytes, "\xE9t\xE9");
    EXPECT_EQ(editor.CheckPhrase(U("\xE6\x97\xA5"), bytes),
              KeywordEditor::PhraseCheck::NotEncodable);
    EXPECT_EQ(editor.CheckPhrase(U("a;b"), bytes), KeywordEditor::PhraseCheck::Unwritable);
    EXPECT_EQ(editor.CheckPhrase(U(""), bytes), KeywordEditor::PhraseCheck::Empty);
}

// Many phrases sharing long beginnings, keys that end where others go on (with low units
// after them), letters whose lower case is longer or outside the BMP, high units, case
// variants; a second build of the same index gives the same.
TEST(KeywordIndexTest, SortsPhrasesSharingLongBeginningsAsReadersDo) {
    std::string file = "XO0;2;1;1\n1;S;December 06 2026\n3;1;;;\n5;1;1;a.htm;A;;0;;\n";
    for (const char* start : {"", "Topic ", "topic ", "TOPIC one long shared beginning and more ",
                              "\xC4\xB0I", "\xEF\xBF\xBFz", "\xF0\x90\x90\x80q", "ab\x01"}) {
        for (int n = 0; n < 40; ++n) {
            // A NUL unit is what a key that ends is padded with.
            std::string tail = n % 3 == 0   ? std::string("\0\0\0\0\0", n % 6 + 1)
                               : n % 3 == 1 ? std::string("\x01", 1)
                                            : std::to_string(n * 37 % 100);
            file += "7;" + std::string(start) + tail + ";&1#" + std::to_string(n) + ";&1;;\n";
        }
    }
    IndexFile index;
    index.LoadBytes(file, "x.xo");
    KeywordIndex keywords;
    for (int build = 0; build < 2; ++build) {
        keywords.Build(index);
        const auto& groups = keywords.Groups();
        ASSERT_GT(groups.size(), 100u);
        for (std::size_t g = 1; g < groups.size(); ++g) {
            ASSERT_TRUE(ReaderOrderLess(groups[g - 1], groups[g]))
                << Utf16ToUtf8String(groups[g - 1].phrase) << " | "
                << Utf16ToUtf8String(groups[g].phrase);
        }
        std::size_t refs = 0;
        for (const KeywordGroup& group : groups) {
            refs += group.refs.size();
            EXPECT_EQ(group.key, JsToLowerCase(group.phrase));
        }
        EXPECT_EQ(refs, keywords.KeywordCount());
        EXPECT_EQ(keywords.KeywordCount(), 320u);
    }
}

TEST(KeywordEditorTest, RenameMergesAndUndoRestoresTheBytes) {
    auto index = Sample();
    std::string before = index->WriteToString();
    KeywordIndex keywords;
    keywords.Build(*index);
    // "intro" on Beta renamed to "Intro": merged, and Beta gets no second copy of a keyword.
    auto step =
        KeywordEditor(keywords).Rename(keywords.Groups()[keywords.Find(U("intro"))], "Intro");
    ASSERT_TRUE(step);
    QuietObserver quiet;
    step->Redo(quiet);
    keywords.Build(*index);
    EXPECT_EQ(Phrases(keywords),
              (std::vector<std::string>{"Elsewhere/1", "EXAMPLES/1", "Examples/1", "Intro/3"}));
    std::string after = index->WriteToString();
    step->Undo(quiet);
    EXPECT_EQ(index->WriteToString(), before);
    step->Redo(quiet);
    EXPECT_EQ(index->WriteToString(), after);
}

TEST(KeywordEditorTest, RenameDropsOnlyTheCopiesItWouldMake) {
    IndexFile index;
    index.LoadBytes("XO0;2;1;1\n1;S;D\n3;1;;;\n5;1;1;a.htm;A;;0;;\n"
                    "7;Foo;&1#x;&1;;\n7;foo;&1#x;&1;;\n7;foo;&1#y;&1;;\n",
                    "x.xo");
    KeywordIndex keywords;
    keywords.Build(index);
    QuietObserver quiet;
    KeywordEditor(keywords).Rename(keywords.Groups()[keywords.Find(U("foo"))], "Foo")->Redo(quiet);
    ASSERT_EQ(index.m_root.m_children[0]->m_keywords.size(), 2u);
    EXPECT_EQ(index.m_root.m_children[0]->m_keywords[1].m_anchor, "#y");
    // Renaming a phrase to itself changes nothing and makes no step.
    keywords.Build(index);
    EXPECT_FALSE(KeywordEditor(keywords).Rename(keywords.Groups()[0], "Foo"));
}

TEST(KeywordEditorTest, RemoveAndMoveTouchOnlyTheirKeywords) {
    auto index = Sample();
    KeywordIndex keywords;
    keywords.Build(*index);
    QuietObserver quiet;
    KeywordEditor(keywords).Remove(keywords.Groups()[keywords.Find(U("Intro"))])->Redo(quiet);
    keywords.Build(*index);
    EXPECT_EQ(Phrases(keywords),
              (std::vector<std::string>{"Elsewhere/1", "EXAMPLES/1", "Examples/1", "intro/1"}));
    const KeywordGroup& upper = keywords.Groups()[keywords.Find(U("EXAMPLES"))];
    KeywordEditor(keywords).Move({upper.refs.begin(), upper.refs.end()}, "Examples")->Redo(quiet);
    keywords.Build(*index);
    EXPECT_EQ(Phrases(keywords),
              (std::vector<std::string>{"Elsewhere/1", "Examples/2", "intro/1"}));
    // Beta kept its other keyword; the moved one kept its anchor.
    const auto& beta = index->m_root.m_children[0]->m_children[0]->m_keywords;
    ASSERT_EQ(beta.size(), 2u);
    for (const IndexKeyword& keyword : beta) {
        EXPECT_EQ(keyword.m_phrase, keyword.m_anchor == "#e" ? "Examples" : "intro");
    }
}

TEST(KeywordProblemsTest, CaseAndSpacingVariants) {
    IndexFile index;
    index.LoadBytes("XO0;2;1;1\n1;S;D\n3;1;;;\n5;1;1;a.htm;A;;0;;\n"
                    "7;See also;&1;&1;;\n7;SEE ALSO;&1#a;&1;;\n7;See  also;&1#b;&1;;\n"
                    "7;Seealso;&1#c;&1;;\n7;Other;&1#d;&1;;\n",
                    "x.xo");
    KeywordIndex keywords;
    keywords.Build(index);
    auto variants = FindPhraseVariants(keywords);
    ASSERT_EQ(variants.size(), 1u);
    EXPECT_EQ(variants[0].size(), 3u);
    EXPECT_EQ(VariantKey(U("  A \t B ")), U("a b"));
}

namespace {

// Every group as the view shows it, with its keywords' places.
std::vector<std::string> Dump(const KeywordIndex& index) {
    std::vector<std::string> out;
    for (const KeywordGroup& group : index.Groups()) {
        std::string line = Utf16ToUtf8String(group.phrase) + "|" + Utf16ToUtf8String(group.key) +
                           "|" + std::string(group.bytes) + "|" + std::to_string(group.pages);
        for (const KeywordRef& ref : group.refs) {
            line += " " + ref.owner->m_title + ":" + std::to_string(ref.position) + "=" +
                    ref.owner->m_keywords[ref.position].m_phrase;
        }
        out.push_back(line);
    }
    out.push_back(std::to_string(index.KeywordCount()));
    return out;
}

struct EntriesObserver : QuietObserver {
    std::vector<IndexEntry*> entries;
    void KeywordsChanged(std::span<IndexEntry* const> changed) override {
        entries.assign(changed.begin(), changed.end());
    }
};

// A tree three deep: each page has its own topic, a shared heading spelt two ways, and every
// third page a phrase the pages before and after it share.
std::unique_ptr<IndexFile> Nested() {
    std::string text = "XO0;2;1;1\n1;Nested;December 06 2026\n3;1;;;\n";
    for (int id = 1; id <= 40; ++id) {
        std::string n = std::to_string(id);
        text += "5;" + n + ";1;p" + n + ".htm;Page " + n + ";;" +
                std::to_string(id <= 4 ? 0 : (id - 1) / 4) + ";;\n";
        text += "7;Topic " + n + ";&" + n + "#t;&" + n + ";;\n";
        text +=
            std::string("7;") + (id % 2 ? "SYNOPSIS" : "Synopsis") + ";&" + n + "#s;&" + n + ";;\n";
        if (id % 3 == 0) {
            text += "7;Shared;&" + n + "#h;&" + n + ";;\n";
        }
    }
    text += "7;Shared;http://x.example/a#b;Outside;;\n";
    auto index = std::make_unique<IndexFile>();
    index->LoadBytes(text, "nested.xo");
    return index;
}

} // namespace

// After each edit, and each undo and redo, the mended index is the one a build makes.
TEST(KeywordIndexTest, UpdateAfterAnEditIsWhatABuildGives) {
    auto index = Nested();
    KeywordIndex mended;
    mended.Build(*index, true);
    EntriesObserver observer;
    std::vector<std::unique_ptr<KeywordListsStep>> done;
    auto check = [&](const char* what) {
        ASSERT_TRUE(mended.Update(observer.entries)) << what;
        KeywordIndex built;
        built.Build(*index, true);
        EXPECT_EQ(Dump(mended), Dump(built)) << what;
    };
    auto apply = [&](std::unique_ptr<KeywordListsStep> step, const char* what) {
        ASSERT_TRUE(step) << what;
        step->Redo(observer);
        done.push_back(std::move(step));
        check(what);
    };
    auto group = [&](const char* phrase) -> const KeywordGroup& {
        std::size_t at = mended.Find(U(phrase));
        EXPECT_LT(at, mended.Groups().size()) << phrase;
        return mended.Groups()[at];
    };
    KeywordEditor editor(mended);
    apply(editor.Rename(group("SYNOPSIS"), "Synopsis"), "merge two spellings");
    apply(editor.Rename(group("Topic 7"), "Shared"), "a topic into a phrase around it");
    apply(editor.Rename(group("Topic 12"), "A new phrase"), "a phrase not there before");
    apply(editor.Remove(group("Topic 1")), "the first phrase removed");
    const KeywordGroup& shared = group("Shared");
    apply(editor.Move({shared.refs[1], shared.refs.back()}, "Topic 30"), "two pages moved");
    apply(editor.Remove(group("Shared")), "a phrase with an Other Index keyword");
    for (auto step = done.rbegin(); step != done.rend(); ++step) {
        (*step)->Undo(observer);
        check("undo");
    }
    for (auto& step : done) {
        step->Redo(observer);
        check("redo");
    }
}

// Only so much is mended: past the size of the index, the caller builds again.
TEST(KeywordIndexTest, UpdateGivesWayToABuildWhenMendingOutgrowsTheIndex) {
    auto index = Nested();
    KeywordIndex mended;
    mended.Build(*index, true);
    EntriesObserver observer;
    bool refused = false;
    for (int i = 0; i < 200 && !refused; ++i) {
        KeywordEditor editor(mended);
        const char* from = i % 2 ? "Synopsis" : "SYNOPSIS";
        std::size_t at = mended.Find(U(from));
        ASSERT_LT(at, mended.Groups().size());
        auto step = editor.Rename(mended.Groups()[at], i % 2 ? "SYNOPSIS" : "Synopsis");
        ASSERT_TRUE(step);
        step->Redo(observer);
        refused = !mended.Update(observer.entries);
        if (refused) {
            mended.Build(*index, true);
        }
    }
    EXPECT_TRUE(refused);
}
