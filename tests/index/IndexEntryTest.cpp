#include "index/IndexEntry.h"
#include "index/BaseUrl.h"

#include <gtest/gtest.h>

using namespace tamblin;

namespace {

IndexEntry* AddChild(IndexEntry& parent, int id, const std::string& title) {
    parent.AppendChild(
        std::make_unique<IndexEntry>(id, nullptr, title + ".htm", title, "", 0, "", 1));
    return parent.m_children.back().get();
}

std::vector<std::string> Titles(const IndexEntry& parent) {
    std::vector<std::string> titles;
    for (const auto& child : parent.m_children) {
        titles.push_back(child->m_title);
    }
    return titles;
}

} // namespace

TEST(IndexEntry, ConstructorMarksItsBaseUrlInUse) {
    BaseUrl base(1, "docs/", "main", 0);
    IndexEntry entry(5, &base, "a.htm", "A", "", 0, "", 1);
    EXPECT_EQ(base.m_inUse, 1);
    EXPECT_EQ(entry.FullUrl(), "docs/a.htm");
    IndexEntry plain;
    EXPECT_EQ(plain.m_inContents, 1);
    EXPECT_EQ(plain.m_baseUrl, nullptr);
}

TEST(IndexEntry, FindByIdIsPreOrder) {
    IndexEntry root;
    IndexEntry* a = AddChild(root, 1, "A");
    AddChild(*a, 7, "deep");
    AddChild(root, 7, "later");
    EXPECT_EQ(root.FindById(0), &root);
    EXPECT_EQ(root.FindById(7)->m_title, "deep");
    EXPECT_EQ(root.FindById(8), nullptr);
}

TEST(IndexEntry, CloneCopiesTheSubtreeWithFreshIds) {
    BaseUrl base(1, "docs/", "", 0);
    IndexEntry source(3, &base, "s.htm", "Source", "main", 1, "i.gif", 1);
    source.m_pageTip = "tip";
    source.m_idText = "3";
    source.m_keywords.emplace_back(&source, "Key", "#k", " (k)", "", 0);
    IndexEntry* level1 = AddChild(source, 4, "L1");
    level1->m_pageTip = "tip1";
    IndexEntry* level2 = AddChild(*level1, 5, "L2");
    AddChild(*level2, 6, "L3")
        ->m_keywords.emplace_back(level2->m_children[0].get(), "k3", "", "", "", 0);
    base.m_inUse = 0;

    std::unique_ptr<IndexEntry> copy = source.Clone();
    EXPECT_EQ(base.m_inUse, 1);
    EXPECT_EQ(copy->m_id, 0);
    EXPECT_EQ(copy->m_idText, "");
    EXPECT_EQ(copy->m_pageTip, "tip");
    EXPECT_EQ(copy->m_targetFrame, "main");
    EXPECT_EQ(copy->m_iconUrl, "i.gif");
    ASSERT_EQ(copy->m_keywords.size(), 1u);
    EXPECT_EQ(copy->m_keywords[0].m_owner, copy.get());
    IndexEntry* c3 = copy->m_children[0]->m_children[0]->m_children[0].get();
    EXPECT_EQ(c3->m_title, "L3");
    EXPECT_EQ(c3->m_id, 0);
    EXPECT_EQ(c3->m_keywords[0].m_owner, c3);
    EXPECT_EQ(copy->m_children[0]->m_pageTip, "tip1");
}

TEST(IndexEntry, InsertAndRemoveByNodeHandle) {
    IndexEntry root;
    auto first = std::make_unique<IndexEntry>();
    first->m_title = "first";
    IndexEntry::InsertInto(std::move(first), root, kFirstPosition);
    EXPECT_EQ(Titles(root), (std::vector<std::string>{"first"}));

    int nodeA = 0;
    int nodeB = 0;
    root.m_children[0]->m_node = &nodeA;
    auto last = std::make_unique<IndexEntry>();
    last->m_title = "last";
    last->m_node = &nodeB;
    IndexEntry::InsertInto(std::move(last), root, kLastPosition);
    auto middle = std::make_unique<IndexEntry>();
    middle->m_title = "middle";
    IndexEntry::InsertInto(std::move(middle), root, &nodeA);
    auto front = std::make_unique<IndexEntry>();
    front->m_title = "front";
    IndexEntry::InsertInto(std::move(front), root, kFirstPosition);
    EXPECT_EQ(Titles(root), (std::vector<std::string>{"front", "first", "middle", "last"}));

    std::unique_ptr<IndexEntry> removed = root.RemoveChildByNode(&nodeB);
    ASSERT_NE(removed, nullptr);
    EXPECT_EQ(removed->m_title, "last");
    EXPECT_EQ(root.RemoveChildByNode(&nodeB), nullptr);
    EXPECT_EQ(Titles(root), (std::vector<std::string>{"front", "first", "middle"}));
}

TEST(IndexEntry, CountsDescendantsAndAllKeywords) {
    IndexEntry root;
    int urls = 0;
    int keywords = 0;
    root.CountUrlsAndKeywords(urls, keywords);
    EXPECT_EQ(urls, 0);
    EXPECT_EQ(keywords, 0);
    root.m_keywords.emplace_back(&root, "r", "", "", "", 0);
    IndexEntry* a = AddChild(root, 1, "A");
    a->m_keywords.emplace_back(a, "a", "", "", "", 0);
    a->m_keywords.emplace_back(a, "b", "", "", "", 0);
    AddChild(*a, 2, "B");
    root.CountUrlsAndKeywords(urls, keywords);
    EXPECT_EQ(urls, 2);
    EXPECT_EQ(keywords, 3);
}

TEST(IndexEntry, SetBaseForAllResetsTargetsThatFollowedTheOldDefault) {
    BaseUrl oldBase(1, "old/", "frame", 0);
    BaseUrl newBase(2, "new/", "other", 0);
    IndexEntry root;
    IndexEntry* noBase = AddChild(root, 1, "NoBase");
    noBase->m_targetFrame = "main";
    noBase->m_ownTarget = 1;
    noBase->m_keywords.emplace_back(noBase, "k", "", "", "main", 1);
    noBase->m_keywords.emplace_back(noBase, "k2", "", "", "own", 1);
    IndexEntry* withBase = AddChild(*noBase, 2, "WithBase");
    withBase->m_baseUrl = &oldBase;
    withBase->m_targetFrame = "special";
    withBase->m_ownTarget = 1;
    IndexEntry* following = AddChild(*noBase, 3, "Following");
    following->m_baseUrl = &oldBase;
    following->m_targetFrame = "frame";
    following->m_ownTarget = 1;

    EXPECT_EQ(noBase->SetBaseForAll(&newBase), 3);
    EXPECT_EQ(noBase->m_targetFrame, "");
    EXPECT_EQ(noBase->m_ownTarget, 1);
    EXPECT_EQ(noBase->m_baseUrl, &newBase);
    EXPECT_EQ(noBase->m_keywords[0].m_targetFrame, "");
    EXPECT_EQ(noBase->m_keywords[1].m_targetFrame, "own");
    EXPECT_EQ(withBase->m_targetFrame, "special");
    EXPECT_EQ(following->m_targetFrame, "");
}

TEST(IndexEntry, KeywordSummaryListsPhrasesThatDifferFromTheTitle) {
    IndexEntry entry(1, nullptr, "", "Intro", "", 0, "", 1);
    EXPECT_EQ(entry.KeywordSummary(), "Intro");
    entry.m_keywords.emplace_back(&entry, "Intro", "", "", "", 0);
    EXPECT_EQ(entry.KeywordSummary(), "Intro");
    entry.m_keywords.emplace_back(&entry, "Start", "", "", "", 0);
    entry.m_keywords.emplace_back(&entry, "Begin", "", "", "", 0);
    EXPECT_EQ(entry.KeywordSummary(), "Intro (Start,Begin)");
}

TEST(IndexEntry, DeepChainsAreCopiedAndDestroyedWithoutRecursion) {
    auto root = std::make_unique<IndexEntry>();
    IndexEntry* tip = root.get();
    for (int i = 1; i <= 300000; ++i) {
        tip = AddChild(*tip, i, "x");
    }
    std::unique_ptr<IndexEntry> copy = root->Clone();
    int urls = 0;
    int keywords = 0;
    copy->CountUrlsAndKeywords(urls, keywords);
    EXPECT_EQ(urls, 300000);
    EXPECT_EQ(root->FindById(300000), tip);
    copy.reset();
    root.reset();
}
