#include "contents/EditHistory.h"

#include "index/BaseUrl.h"

namespace tamblin {

EditHistory::EditHistory(std::size_t maxSteps, std::size_t maxBytes)
    : m_maxSteps(maxSteps < 1 ? 1 : maxSteps), m_maxBytes(maxBytes) {}

EditHistory::~EditHistory() {
    Clear();
}

void EditHistory::Release(std::unique_ptr<EditStep> step) {
    m_bytes -= step->Bytes();
    for (auto& record : step->TakeBaseUrls()) {
        m_retired.push_back(std::move(record));
    }
}

void EditHistory::Push(std::unique_ptr<EditStep> step) {
    if (!step) {
        return;
    }
    DropRedo();
    m_bytes += step->Bytes();
    m_steps.push_back(std::move(step));
    ++m_done;
    // The newest step always stays, even when it alone is over the byte limit.
    while (m_steps.size() > 1 && (m_steps.size() > m_maxSteps || m_bytes > m_maxBytes)) {
        DropOldest();
    }
}

void EditHistory::DropRedo() {
    if (m_savedKnown && m_saved > m_done) {
        // The saved state lay ahead on the path being abandoned: no undo reaches it again.
        m_savedKnown = false;
    }
    // Newest first: a later step may refer to entries that an earlier one owns.
    while (m_steps.size() > m_done) {
        Release(std::move(m_steps.back()));
        m_steps.pop_back();
    }
}

void EditHistory::DropOldest() {
    Release(std::move(m_steps.front()));
    m_steps.pop_front();
    --m_done;
    if (m_savedKnown) {
        if (m_saved == 0) {
            m_savedKnown = false;
        } else {
            --m_saved;
        }
    }
}

std::string EditHistory::UndoName() const {
    return CanUndo() ? m_steps[m_done - 1]->Name() : std::string();
}

std::string EditHistory::RedoName() const {
    return CanRedo() ? m_steps[m_done]->Name() : std::string();
}

void EditHistory::Undo(EditObserver& observer) {
    if (CanUndo()) {
        --m_done;
        m_steps[m_done]->Undo(observer);
    }
}

void EditHistory::Redo(EditObserver& observer) {
    if (CanRedo()) {
        m_steps[m_done]->Redo(observer);
        ++m_done;
    }
}

void EditHistory::Clear() {
    m_done = 0;
    DropRedo();
    m_retired.clear();
    m_saved = 0;
    m_savedKnown = true;
}

void EditHistory::Discard(std::unique_ptr<EditStep> step) {
    if (!step) {
        return;
    }
    for (auto& record : step->TakeBaseUrls()) {
        m_retired.push_back(std::move(record));
    }
}

void EditHistory::DropSteps(bool atSaved) {
    m_done = 0;
    DropRedo();
    m_saved = 0;
    m_savedKnown = atSaved;
}

void EditHistory::MarkSaved() {
    m_saved = m_done;
    m_savedKnown = true;
}

} // namespace tamblin
