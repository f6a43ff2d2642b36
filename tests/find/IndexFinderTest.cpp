#include "find/IndexFinder.h"
#include "index/BaseUrl.h"
#include "index/IndexEntry.h"
#include "index/IndexFile.h"
#include "index/TextUtils.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace tamblin;
using Kind = FindHit::Kind;
using Outcome = IndexFinder::Outcome;

namespace {

// root
//   Alpha      a.htm, keywords: first / needle twice / needle thrice
//     Index page
//     Common one  (page tip "tipword")
//   Beta       web-page.htm, target "common"
//     Common two
//   Gamma      icon "gamma-icon.gif", keyword anchor "#Common"
// Other Index keywords: "orphan word"; base URL http://only-base.example/ (target "side")
class IndexFinderTest : public ::testing::Test {
protected:
    IndexFinderTest() {
        m_index.AppendBaseUrl(std::make_unique<BaseUrl>(1, "http://only-base.example/", "side", 1));
        m_alpha = Add(m_index.m_root, "a.htm", "Alpha");
        Keyword(*m_alpha, "first");
        Keyword(*m_alpha, "needle twice");
        Keyword(*m_alpha, "needle thrice");
        m_indexPage = Add(*m_alpha, "", "Index page");
        m_common1 = Add(*m_alpha, "", "Common one");
        m_common1->m_pageTip = "tipword";
        m_beta = Add(m_index.m_root, "web-page.htm", "Beta");
        m_beta->m_targetFrame = "common";
        m_common2 = Add(*m_beta, "", "Common two");
        m_gamma = Add(m_index.m_root, "", "Gamma");
        m_gamma->m_iconUrl = "gamma-icon.gif";
        m_gamma->m_keywords.emplace_back(m_gamma, "g", "#Common", "", "", 0);
        Keyword(m_index.m_otherKeywords, "orphan word");
    }

    static IndexEntry* Add(IndexEntry& parent, const std::string& url, const std::string& title) {
        auto entry = std::make_unique<IndexEntry>(0, nullptr, url, title, "", 0, "", 1);
        IndexEntry* added = entry.get();
        parent.AppendChild(std::move(entry));
        return added;
    }
    static void Keyword(IndexEntry& owner, const std::string& phrase) {
        owner.m_keywords.emplace_back(&owner, phrase, "", "", "", 0);
    }

    IndexFinder::Result Find(IndexEntry* start, const std::string& text, bool matchCase = false,
                             bool wholeWord = false) {
        m_request.text = text;
        m_request.matchCase = matchCase;
        m_request.wholeWord = wholeWord;
        return m_finder.FindNext(m_index, start, m_request);
    }
    // Where a found hit is, or "none".
    static std::string Where(const IndexFinder::Result& result) {
        if (result.outcome != Outcome::Found) {
            return result.outcome == Outcome::NoScope ? "no scope" : "none";
        }
        static const char* const kinds[] = {"title", "general", "keyword", "base"};
        const IndexEntry& node = *result.hit.node;
        std::string name = node.m_title.empty() ? "(untitled)" : node.m_title;
        return name + " " + kinds[static_cast<int>(result.hit.kind)] + " " +
               std::to_string(result.hit.position);
    }

    IndexFile m_index;
    IndexFinder m_finder;
    FindRequest m_request;
    IndexEntry* m_alpha;
    IndexEntry* m_indexPage;
    IndexEntry* m_common1;
    IndexEntry* m_beta;
    IndexEntry* m_common2;
    IndexEntry* m_gamma;
};

} // namespace

TEST(FindInTextTest, WholeWordsAreSeparatedOnlyBySpaces) {
    EXPECT_FALSE(FindInText("page", "pages", true, true));
    EXPECT_FALSE(FindInText("page", "web-page", true, true));
    EXPECT_FALSE(FindInText("page", "page\tone", true, true));
    EXPECT_TRUE(FindInText("page", "a page here", true, true));
    EXPECT_TRUE(FindInText("page", "page", true, true));
    EXPECT_TRUE(FindInText("page", "page one", true, true));
    EXPECT_TRUE(FindInText("page", "last page", true, true));
    // A failing occurrence does not hide a later good one.
    EXPECT_TRUE(FindInText("page", "pages web-page page", true, true));
    EXPECT_TRUE(FindInText("page", "pages", true, false));
}

TEST(FindInTextTest, AWordInsideARunOfItsOwnLettersIsNoWholeWord) {
    // The retry after a failing occurrence starts one character on; what precedes that
    // point still counts, so the second "a" of "aa" is not taken as starting a word.
    EXPECT_FALSE(FindInText("a", "aa", true, true));
    EXPECT_FALSE(FindInText("ee", "eee", true, true));
    EXPECT_FALSE(FindInText("ee", "x eee", true, true));
    EXPECT_TRUE(FindInText("ee", "eee ee", true, true));
}

TEST_F(IndexFinderTest, CaseFoldingLowersTheTextAndReportsItLowered) {
    auto result = Find(nullptr, "INDEX");
    EXPECT_EQ(Where(result), "Index page title 0");
    EXPECT_EQ(result.searched, "index");
    EXPECT_EQ(m_finder.PreviousText(), "index");

    result = Find(nullptr, "index", true);
    EXPECT_EQ(Where(result), "none");
    EXPECT_EQ(result.searched, "index");
    EXPECT_EQ(Where(Find(nullptr, "Index", true)), "Index page title 0");
}

TEST_F(IndexFinderTest, EachFieldGivesItsKindAndThePageTipIsNeverSearched) {
    EXPECT_EQ(Where(Find(nullptr, "a.htm")), "Alpha general 0");
    EXPECT_EQ(Where(Find(nullptr, "gamma-icon")), "Gamma general 0");
    EXPECT_EQ(Where(Find(nullptr, "#common")), "Gamma keyword 1");
    EXPECT_EQ(Where(Find(nullptr, "thrice")), "Alpha keyword 3");
    EXPECT_EQ(Where(Find(nullptr, "tipword")), "none");
    // Whole word applies to each field on its own.
    EXPECT_EQ(Where(Find(nullptr, "page", false, true)), "Index page title 0");
}

TEST_F(IndexFinderTest, ScopeOptionsChooseTheFieldsAndNeitherIsRefused) {
    m_request.inUrls = false;
    EXPECT_EQ(Where(Find(nullptr, "alpha")), "none");
    EXPECT_EQ(Where(Find(nullptr, "needle")), "Alpha keyword 2");
    m_request.inUrls = true;
    m_request.inIndices = false;
    EXPECT_EQ(Where(Find(nullptr, "thrice")), "none");
    EXPECT_EQ(Where(Find(nullptr, "gamma")), "Gamma title 0");
    m_request.inUrls = false;
    auto result = Find(nullptr, "other text");
    EXPECT_EQ(Where(result), "no scope");
    // A refused search is no search: the next one with that text is not a repeat.
    EXPECT_EQ(m_finder.PreviousText(), "gamma");
}

TEST_F(IndexFinderTest, RepeatingMovesPastTheHitNodeIntoItsChildren) {
    EXPECT_EQ(Where(Find(nullptr, "needle")), "Alpha keyword 2");
    // Its third keyword also holds the text, but the repeat leaves the node.
    m_indexPage->m_title = "Needle page";
    EXPECT_EQ(Where(Find(m_alpha, "needle")), "Needle page title 0");
    EXPECT_EQ(Where(Find(m_indexPage, "NEEDLE")), "none");
}

TEST_F(IndexFinderTest, NewTextSearchesTheStartNodeFirst) {
    EXPECT_EQ(Where(Find(m_alpha, "alpha")), "Alpha title 0");
    // Same text again from the same node: a repeat, so Alpha is skipped.
    EXPECT_EQ(Where(Find(m_alpha, "alpha")), "none");
    EXPECT_EQ(Where(Find(m_alpha, "first")), "Alpha keyword 1");
    // Case mattering or not, the compared text decides what a repeat is.
    EXPECT_EQ(Where(Find(m_alpha, "First", true)), "none");
    EXPECT_EQ(Where(Find(m_alpha, "first", true)), "Alpha keyword 1");
}

TEST_F(IndexFinderTest, WalkGoesDepthFirstThenUpwardWithoutWrapping) {
    EXPECT_EQ(Where(Find(m_indexPage, "common")), "Common one title 0");
    EXPECT_EQ(Where(Find(m_common1, "common")), "Beta general 0");
    EXPECT_EQ(Where(Find(m_beta, "common")), "Common two title 0");
    EXPECT_EQ(Where(Find(m_common2, "common")), "Gamma keyword 1");
    EXPECT_EQ(Where(Find(m_gamma, "common")), "none");
    // Nothing before the start node is looked at.
    EXPECT_EQ(Where(Find(m_beta, "alpha")), "none");
}

TEST_F(IndexFinderTest, BaseUrlsAreSearchedOnlyFromTheRootAndNotOnARepeat) {
    m_request.inUrls = false;
    auto result = Find(nullptr, "only-base");
    EXPECT_EQ(Where(result), "(untitled) base 1");
    EXPECT_EQ(result.hit.node, &m_index.m_root);
    EXPECT_EQ(Where(Find(&m_index.m_root, "only-base")), "none");
    EXPECT_EQ(Where(Find(&m_index.m_root, "SIDE")), "(untitled) base 1");
    EXPECT_EQ(Where(Find(m_alpha, "side")), "none");
    EXPECT_EQ(Where(Find(m_alpha, "only-base")), "none");
}

TEST_F(IndexFinderTest, OtherIndexKeywordsAreReachedFromAnywhereButNotFromThemselves) {
    auto result = Find(m_common2, "orphan");
    EXPECT_EQ(Where(result), "(untitled) keyword 1");
    EXPECT_EQ(result.hit.node, &m_index.m_otherKeywords);
    // After that hit the node is selected; the same text again goes nowhere.
    EXPECT_EQ(Where(Find(&m_index.m_otherKeywords, "orphan")), "none");
    // Started on the node with a new text, its own keywords are searched.
    EXPECT_EQ(Where(Find(&m_index.m_otherKeywords, "word")), "(untitled) keyword 1");
    m_request.inIndices = false;
    m_index.m_otherKeywords.m_url = "other.htm";
    EXPECT_EQ(Where(Find(m_gamma, "other.htm")), "none");
    EXPECT_EQ(Where(Find(&m_index.m_otherKeywords, "other")), "(untitled) general 0");
}

TEST_F(IndexFinderTest, ADeepTreeIsWalkedWithoutRecursion) {
    IndexEntry* deepest = m_gamma;
    for (int i = 0; i < 300000; ++i) {
        deepest = Add(*deepest, "", "");
    }
    deepest->m_title = "bottom";
    EXPECT_EQ(Where(Find(nullptr, "bottom")), "bottom title 0");
    EXPECT_EQ(Where(Find(deepest, "bottom")), "none");
}
