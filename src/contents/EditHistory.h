#pragma once

#include "contents/EditStep.h"

#include <cstddef>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace tamblin {

class BaseUrl;
class EditObserver;

// The undo and redo stacks of one open index. Bounded by a number of steps and by the bytes
// the steps keep alive: the oldest steps are dropped first, and a step that removed entries
// releases them when it goes.
class EditHistory {
public:
    static constexpr std::size_t kDefaultMaxSteps = 100000;
    static constexpr std::size_t kDefaultMaxBytes = 64u * 1024u * 1024u;

    explicit EditHistory(std::size_t maxSteps = kDefaultMaxSteps,
                         std::size_t maxBytes = kDefaultMaxBytes);
    ~EditHistory();
    EditHistory(const EditHistory&) = delete;
    EditHistory& operator=(const EditHistory&) = delete;

    // Records a step that has just been done; whatever could be redone is dropped.
    void Push(std::unique_ptr<EditStep> step);
    bool CanUndo() const { return m_done > 0; }
    bool CanRedo() const { return m_done < m_steps.size(); }
    // Empty when there is nothing to undo (redo).
    std::string UndoName() const;
    std::string RedoName() const;
    void Undo(EditObserver& observer);
    void Redo(EditObserver& observer);
    void Clear();
    // For edits that are not to be undone: the step is not kept, but its base URL records
    // are, like those of a dropped step.
    void Discard(std::unique_ptr<EditStep> step);
    // Forgets every step but keeps their base URL records, which copies may still name.
    // `atSaved`: the model is as the file holds it.
    void DropSteps(bool atSaved);

    // The model as it is now is the one in the file.
    void MarkSaved();
    // No state of the history is the saved one.
    void MarkUnsaved() { m_savedKnown = false; }
    // The model is back where it was when it was last saved.
    bool IsAtSaved() const { return m_savedKnown && m_saved == m_done; }

    std::size_t StepCount() const { return m_steps.size(); }
    std::size_t UndoCount() const { return m_done; }
    std::size_t Bytes() const { return m_bytes; }

private:
    void DropRedo();
    void DropOldest();
    void Release(std::unique_ptr<EditStep> step);

    std::size_t m_maxSteps;
    std::size_t m_maxBytes;
    // Steps [0, m_done) are done and can be undone; the rest can be redone.
    std::deque<std::unique_ptr<EditStep>> m_steps;
    std::size_t m_done = 0;
    std::size_t m_bytes = 0;
    std::size_t m_saved = 0;
    bool m_savedKnown = true;
    // Base URL records of dropped steps: kept until the index goes (Clear), since a copied
    // entry may still refer to them.
    std::vector<std::unique_ptr<BaseUrl>> m_retired;
};

} // namespace tamblin
