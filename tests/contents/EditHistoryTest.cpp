#include "contents/EditHistory.h"
#include "contents/EditObserver.h"
#include "contents/EntryFieldsStep.h"
#include "contents/EntryPlaceStep.h"
#include "contents/FlattenStep.h"
#include "contents/IndexFileStep.h"
#include "contents/StepGroup.h"
#include "index/BaseUrl.h"
#include "index/IndexEntry.h"
#include "index/IndexFile.h"

#include <memory>
#include <string>

#include <gtest/gtest.h>

using namespace tamblin;

namespace {

using Place = EntryPlaceStep::Place;

// Records what the steps report, as one line per call.
class Recorder final : public EditObserver {
public:
    void EntryRemoved(IndexEntry& parent, IndexEntry& entry) override {
        m_log += "-" + entry.m_title + "@" + parent.m_title + " ";
    }
    void EntryInserted(IndexEntry& parent, std::size_t position, IndexEntry& entry) override {
        m_log += "+" + entry.m_title + "@" + parent.m_title + std::to_string(position) + " ";
    }
    void ChildrenRearranged(IndexEntry& parent) override { m_log += "~" + parent.m_title + " "; }
    void EntryChanged(IndexEntry& entry) override { m_log += "*" + entry.m_title + " "; }
    void FileChanged() override { m_log += "file "; }
    std::string m_log;
};

// A step that only counts, of a given size.
class CountingStep final : public EditStep {
public:
    CountingStep(std::string name, std::size_t bytes, int* alive)
        : EditStep(std::move(name)), m_bytes(bytes), m_alive(alive) {
        ++*m_alive;
    }
    ~CountingStep() override { --*m_alive; }
    void Undo(EditObserver&) override {}
    void Redo(EditObserver&) override {}
    std::size_t Bytes() const override { return m_bytes; }

private:
    std::size_t m_bytes;
    int* m_alive;
};

std::unique_ptr<IndexEntry> Make(const std::string& title) {
    return std::make_unique<IndexEntry>(0, nullptr, title + ".htm", title, "", 0, "", 1);
}

// root "R": A (A1, A2), B
struct Tree {
    Tree() {
        root.m_title = "R";
        auto a = Make("A");
        a->AppendChild(Make("A1"));
        a->AppendChild(Make("A2"));
        root.AppendChild(std::move(a));
        root.AppendChild(Make("B"));
    }
    IndexEntry& At(std::size_t i) { return *root.m_children[i]; }
    std::string Shape() const { return Shape(root); }
    static std::string Shape(const IndexEntry& entry) {
        std::string text;
        for (std::size_t i = 0; i < entry.m_children.size(); ++i) {
            const IndexEntry& child = *entry.m_children[i];
            text += (i ? "," : "") + child.m_title;
            if (!child.m_children.empty()) {
                text += "(" + Shape(child) + ")";
            }
        }
        return text;
    }
    IndexEntry root;
};

} // namespace

TEST(EditHistory, UndoAndRedoWalkTheStackAndANewStepDropsWhatCouldBeRedone) {
    int alive = 0;
    Recorder recorder;
    EditHistory history;
    EXPECT_FALSE(history.CanUndo());
    EXPECT_EQ(history.UndoName(), "");
    history.Push(std::make_unique<CountingStep>("one", 10, &alive));
    history.Push(std::make_unique<CountingStep>("two", 10, &alive));
    EXPECT_EQ(history.UndoName(), "two");
    history.Undo(recorder);
    EXPECT_EQ(history.UndoName(), "one");
    EXPECT_EQ(history.RedoName(), "two");
    history.Push(std::make_unique<CountingStep>("three", 10, &alive));
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(alive, 2);
    EXPECT_EQ(history.Bytes(), 20u);
    history.Clear();
    EXPECT_EQ(alive, 0);
    EXPECT_EQ(history.Bytes(), 0u);
}

TEST(EditHistory, OldestStepsGoFirstAtTheStepOrByteLimitButTheNewestStays) {
    int alive = 0;
    EditHistory bySteps(3, 1000);
    for (const char* name : {"a", "b", "c", "d"}) {
        bySteps.Push(std::make_unique<CountingStep>(name, 1, &alive));
    }
    EXPECT_EQ(bySteps.StepCount(), 3u);
    EXPECT_EQ(bySteps.UndoCount(), 3u);
    Recorder recorder;
    bySteps.Undo(recorder);
    bySteps.Undo(recorder);
    EXPECT_EQ(bySteps.UndoName(), "b");

    EditHistory byBytes(100, 25);
    byBytes.Push(std::make_unique<CountingStep>("a", 10, &alive));
    byBytes.Push(std::make_unique<CountingStep>("b", 10, &alive));
    byBytes.Push(std::make_unique<CountingStep>("c", 10, &alive));
    EXPECT_EQ(byBytes.StepCount(), 2u);
    EXPECT_EQ(byBytes.Bytes(), 20u);
    byBytes.Push(std::make_unique<CountingStep>("huge", 500, &alive));
    EXPECT_EQ(byBytes.StepCount(), 1u);
    EXPECT_EQ(byBytes.UndoName(), "huge");
    EXPECT_EQ(alive, 4);
}

TEST(EditHistory, TheSavedStateIsFoundAgainUnlessItsPathWasAbandonedOrDropped) {
    int alive = 0;
    Recorder recorder;
    EditHistory history(2, 1000);
    EXPECT_TRUE(history.IsAtSaved());
    history.Push(std::make_unique<CountingStep>("a", 1, &alive));
    EXPECT_FALSE(history.IsAtSaved());
    history.MarkSaved();
    history.Undo(recorder);
    EXPECT_FALSE(history.IsAtSaved());
    history.Redo(recorder);
    EXPECT_TRUE(history.IsAtSaved());
    // Undone and replaced by another edit: no undo reaches the saved state any more.
    history.Undo(recorder);
    history.Push(std::make_unique<CountingStep>("b", 1, &alive));
    history.Undo(recorder);
    EXPECT_FALSE(history.IsAtSaved());
    history.Redo(recorder);
    history.MarkSaved();
    // Saved at the oldest state that is then dropped.
    history.Undo(recorder);
    history.MarkSaved();
    history.Push(std::make_unique<CountingStep>("c", 1, &alive));
    history.Push(std::make_unique<CountingStep>("d", 1, &alive));
    history.Push(std::make_unique<CountingStep>("e", 1, &alive));
    history.Undo(recorder);
    history.Undo(recorder);
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.IsAtSaved());
}

TEST(EntryPlaceStep, AMoveWithinOneParentAndAcrossParentsGoesBackToItsPosition) {
    Tree tree;
    Recorder recorder;
    IndexEntry& a = tree.At(0);
    IndexEntry& a2 = *a.m_children[1];
    // A2 moved to the front of the root, as a drag would.
    std::unique_ptr<IndexEntry> moving = std::move(a.m_children[1]);
    a.m_children.pop_back();
    tree.root.m_children.insert(tree.root.m_children.begin(), std::move(moving));
    EntryPlaceStep step("Move 'A2'", a2, Place{&a, 1}, Place{&tree.root, 0});
    ASSERT_EQ(tree.Shape(), "A2,A(A1),B");
    step.Undo(recorder);
    EXPECT_EQ(tree.Shape(), "A(A1,A2),B");
    step.Redo(recorder);
    EXPECT_EQ(tree.Shape(), "A2,A(A1),B");
    EXPECT_EQ(recorder.m_log, "-A2@R +A2@A1 -A2@A +A2@R0 ");
    // A move keeps nothing alive of its own.
    EXPECT_EQ(step.Bytes(), sizeof(EntryPlaceStep));
}

TEST(EntryPlaceStep, ADeleteOwnsTheSubtreeUntilItIsUndoneAndAnInsertTakesItBackOnUndo) {
    Tree tree;
    Recorder recorder;
    IndexEntry& a = tree.At(0);
    std::unique_ptr<IndexEntry> removed = std::move(tree.root.m_children[0]);
    tree.root.m_children.erase(tree.root.m_children.begin());
    EntryPlaceStep deleted("Delete 'A'", a, Place{&tree.root, 0}, Place{}, std::move(removed));
    EXPECT_GT(deleted.Bytes(), 3 * sizeof(IndexEntry));
    deleted.Undo(recorder);
    EXPECT_EQ(tree.Shape(), "A(A1,A2),B");
    deleted.Redo(recorder);
    EXPECT_EQ(tree.Shape(), "B");

    tree.root.AppendChild(Make("C"));
    IndexEntry& c = *tree.root.m_children.back();
    EntryPlaceStep inserted("Paste 'C'", c, Place{}, Place{&tree.root, 1});
    inserted.Undo(recorder);
    EXPECT_EQ(tree.Shape(), "B");
    inserted.Redo(recorder);
    EXPECT_EQ(tree.Shape(), "B,C");
    // The steps are destroyed here, the delete with the subtree it owns (checked by ASan).
}

TEST(FlattenStep, ChildrenGoBackUnderTheirEntryWithTheirOwnSubtrees) {
    Tree tree;
    Recorder recorder;
    IndexEntry& a = tree.At(0);
    a.m_children[0]->AppendChild(Make("A1a"));
    auto children = std::move(a.m_children);
    a.m_children.clear();
    for (std::size_t i = 0; i < children.size(); ++i) {
        tree.root.m_children.insert(tree.root.m_children.begin() + 1 + static_cast<long>(i),
                                    std::move(children[i]));
    }
    FlattenStep step("Flatten 'A'", tree.root, a, 2);
    ASSERT_EQ(tree.Shape(), "A,A1(A1a),A2,B");
    step.Undo(recorder);
    EXPECT_EQ(tree.Shape(), "A(A1(A1a),A2),B");
    step.Redo(recorder);
    EXPECT_EQ(tree.Shape(), "A,A1(A1a),A2,B");
    EXPECT_EQ(recorder.m_log, "~R ~R ");
}

TEST(EntryFieldsStep, BothVersionsOfTheFieldsAndKeywordsAreRestored) {
    Tree tree;
    Recorder recorder;
    BaseUrl base(1, "docs/", "main", 0);
    IndexEntry& b = tree.At(1);
    auto before = EntryFieldsStep::Fields::Of(b);
    b.m_title = "Bee";
    b.m_baseUrl = &base;
    b.m_pageTip = "tip";
    b.m_keywords.emplace_back(&b, "Bee", "#x", " (x)", "side", 1);
    auto after = EntryFieldsStep::Fields::Of(b);
    EXPECT_FALSE(before == after);
    EntryFieldsStep step("Properties 'B'", b, before, after);
    step.Undo(recorder);
    EXPECT_EQ(b.m_title, "B");
    EXPECT_EQ(b.m_baseUrl, nullptr);
    EXPECT_TRUE(b.m_keywords.empty());
    EXPECT_TRUE(EntryFieldsStep::Fields::Of(b) == before);
    step.Redo(recorder);
    EXPECT_TRUE(EntryFieldsStep::Fields::Of(b) == after);
    // An entry that refers to a base URL keeps it from being deleted.
    EXPECT_EQ(base.m_inUse, 1);
    EXPECT_EQ(b.m_keywords.at(0).m_owner, &b);
    EXPECT_EQ(recorder.m_log, "*B *Bee ");
}

TEST(IndexFileStep, DeletedAndAddedBaseUrlsComeAndGoAsTheSameRecords) {
    IndexFile index;
    index.m_baseUrls.push_back(std::make_unique<BaseUrl>(1, "docs/", "main", 1));
    index.m_baseUrls.push_back(std::make_unique<BaseUrl>(2, "spare/", "", 0));
    BaseUrl* docs = index.m_baseUrls[0].get();
    BaseUrl* spare = index.m_baseUrls[1].get();
    auto before = IndexFileStep::State::Of(index, false);
    // The sheet's OK: spare/ deleted, new/ added, docs/ retargeted, description changed.
    std::vector<std::unique_ptr<BaseUrl>> removed;
    removed.push_back(std::move(index.m_baseUrls[1]));
    index.m_baseUrls.pop_back();
    index.m_baseUrls.push_back(std::make_unique<BaseUrl>(3, "new/", "", 0));
    BaseUrl* added = index.m_baseUrls[1].get();
    docs->m_targetFrame = "top";
    index.m_description = "Renamed";
    IndexFileStep step("Index File", index, before, IndexFileStep::State::Of(index, false),
                       std::move(removed));
    Recorder recorder;
    step.Undo(recorder);
    ASSERT_EQ(index.m_baseUrls.size(), 2u);
    EXPECT_EQ(index.m_baseUrls[0].get(), docs);
    EXPECT_EQ(index.m_baseUrls[1].get(), spare);
    EXPECT_EQ(docs->m_targetFrame, "main");
    EXPECT_EQ(index.m_description, "");
    step.Redo(recorder);
    ASSERT_EQ(index.m_baseUrls.size(), 2u);
    EXPECT_EQ(index.m_baseUrls[1].get(), added);
    EXPECT_EQ(added->m_url, "new/");
    EXPECT_EQ(docs->m_targetFrame, "top");
    EXPECT_EQ(recorder.m_log, "file file ");
}

TEST(IndexFileStep, SetAllIsUndoneForEveryEntryAndKeywordTarget) {
    IndexFile index;
    index.m_baseUrls.push_back(std::make_unique<BaseUrl>(1, "docs/", "main", 1));
    index.m_baseUrls.push_back(std::make_unique<BaseUrl>(2, "new/", "", 0));
    BaseUrl* docs = index.m_baseUrls[0].get();
    BaseUrl* fresh = index.m_baseUrls[1].get();
    auto a = std::make_unique<IndexEntry>(0, docs, "a.htm", "A", "", 0, "", 1);
    a->m_keywords.emplace_back(a.get(), "A", "", "", "", 0);
    a->m_keywords.emplace_back(a.get(), "Alpha", "#x", "", "side", 1);
    auto own = std::make_unique<IndexEntry>(0, nullptr, "o.htm", "O", "own", 1, "", 1);
    a->AppendChild(std::move(own));
    index.m_root.AppendChild(std::move(a));
    auto before = IndexFileStep::State::Of(index, true);
    EXPECT_EQ(index.m_root.SetBaseForAll(fresh), 3);
    fresh->m_inUse = 1;
    auto after = IndexFileStep::State::Of(index, true);
    EXPECT_FALSE(before.SameTargets(after));
    std::string expectBefore = std::to_string(before.targets.size());
    IndexFileStep step("Set all URLs to this Base URL", index, std::move(before), after, {});
    Recorder recorder;
    step.Undo(recorder);
    IndexEntry& entry = *index.m_root.m_children[0];
    EXPECT_EQ(entry.m_baseUrl, docs);
    EXPECT_EQ(entry.m_ownTarget, 0);
    EXPECT_EQ(entry.m_keywords[0].m_ownTarget, 0);
    EXPECT_EQ(entry.m_keywords[1].m_targetFrame, "side");
    EXPECT_EQ(entry.m_children[0]->m_baseUrl, nullptr);
    EXPECT_EQ(entry.m_children[0]->m_targetFrame, "own");
    EXPECT_EQ(fresh->m_inUse, 0);
    step.Redo(recorder);
    EXPECT_TRUE(IndexFileStep::State::Of(index, true).SameTargets(after));
    EXPECT_EQ(expectBefore, "3");
}

// A paste that had to list the base URL its copy names: undone, the entry goes first and the
// record after it, so no entry ever names a record outside the list; redone, the other way.
TEST(StepGroup, APasteThatListedABaseUrlIsUndoneWholeInReverseOrder) {
    IndexFile index;
    index.m_root.m_title = "R";
    index.m_baseUrls.push_back(std::make_unique<BaseUrl>(1, "docs/", "", 1));
    auto before = IndexFileStep::State::Of(index, false);
    index.m_baseUrls.push_back(std::make_unique<BaseUrl>(2, "new/", "", 1));
    BaseUrl* added = index.m_baseUrls.back().get();
    auto pasted = Make("P");
    pasted->m_baseUrl = added;
    IndexEntry& entry = *pasted;
    index.m_root.m_children.push_back(std::move(pasted));
    std::vector<std::unique_ptr<EditStep>> steps;
    steps.push_back(std::make_unique<IndexFileStep>("", index, before,
                                                    IndexFileStep::State::Of(index, false),
                                                    std::vector<std::unique_ptr<BaseUrl>>()));
    steps.push_back(std::make_unique<EntryPlaceStep>("", entry, Place{}, Place{&index.m_root, 0}));
    EditHistory history;
    history.Push(std::make_unique<StepGroup>("Paste 'P'", std::move(steps)));
    EXPECT_EQ(history.UndoName(), "Paste 'P'");
    Recorder recorder;
    history.Undo(recorder);
    EXPECT_EQ(recorder.m_log, "-P@R file ");
    ASSERT_EQ(index.m_baseUrls.size(), 1u);
    EXPECT_TRUE(index.m_root.m_children.empty());
    history.Redo(recorder);
    EXPECT_EQ(recorder.m_log, "-P@R file file +P@R0 ");
    ASSERT_EQ(index.m_baseUrls.size(), 2u);
    EXPECT_EQ(index.m_baseUrls[1].get(), added);
    EXPECT_EQ(index.m_root.m_children[0]->m_baseUrl, added);
}

// Edits that are not to be undone keep no step, but the base URL records their steps took
// out of the list live on (a copy may name them) until the history is cleared.
TEST(EditHistory, DiscardAndDropStepsKeepNoStepButKeepTheirBaseUrls) {
    IndexFile index;
    index.m_baseUrls.push_back(std::make_unique<BaseUrl>(1, "gone/", "", 0));
    auto before = IndexFileStep::State::Of(index, false);
    std::vector<std::unique_ptr<BaseUrl>> removed;
    removed.push_back(std::move(index.m_baseUrls[0]));
    index.m_baseUrls.clear();
    BaseUrl* gone = removed[0].get();
    EditHistory history;
    history.Discard(std::make_unique<IndexFileStep>(
        "Index File", index, before, IndexFileStep::State::Of(index, false), std::move(removed)));
    EXPECT_EQ(history.StepCount(), 0u);
    EXPECT_EQ(gone->m_url, "gone/");
    int alive = 0;
    Recorder recorder;
    history.Push(std::make_unique<CountingStep>("a", 10, &alive));
    history.Push(std::make_unique<CountingStep>("b", 10, &alive));
    history.Undo(recorder);
    history.DropSteps(true);
    EXPECT_EQ(alive, 0);
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.CanRedo());
    EXPECT_TRUE(history.IsAtSaved());
    history.DropSteps(false);
    EXPECT_FALSE(history.IsAtSaved());
    EXPECT_EQ(gone->m_url, "gone/");
}
