#pragma once

#include "contents/EditStep.h"

#include <memory>
#include <vector>

namespace tamblin {

// Several steps that one edit made, undone and redone as one: undone last first.
class StepGroup final : public EditStep {
public:
    StepGroup(std::string name, std::vector<std::unique_ptr<EditStep>> steps);

    void Undo(EditObserver& observer) override;
    void Redo(EditObserver& observer) override;
    std::size_t Bytes() const override;
    std::vector<std::unique_ptr<BaseUrl>> TakeBaseUrls() override;

private:
    std::vector<std::unique_ptr<EditStep>> m_steps;
};

} // namespace tamblin
