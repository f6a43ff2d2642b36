#pragma once

#include "index/BaseUrl.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace tamblin {

class EditObserver;

// One undoable edit. A step is done when it is pushed; Undo and Redo alternate from then on,
// always in stack order, so a step may rely on the model being exactly as it left it.
class EditStep {
public:
    explicit EditStep(std::string name) : m_name(std::move(name)) {}
    virtual ~EditStep() = default;
    EditStep(const EditStep&) = delete;
    EditStep& operator=(const EditStep&) = delete;

    virtual void Undo(EditObserver& observer) = 0;
    virtual void Redo(EditObserver& observer) = 0;
    // Roughly what the step keeps alive, for the history's memory limit.
    virtual std::size_t Bytes() const = 0;
    // What the menu says after "Undo " or "Redo ": "Delete 'Intro'".
    const std::string& Name() const { return m_name; }
    // When the step is dropped: the base URL records it keeps out of the index, which a copy
    // on the clipboard may still name.
    virtual std::vector<std::unique_ptr<BaseUrl>> TakeBaseUrls() { return {}; }

private:
    std::string m_name;
};

} // namespace tamblin
