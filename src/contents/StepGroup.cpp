#include "contents/StepGroup.h"

namespace tamblin {

StepGroup::StepGroup(std::string name, std::vector<std::unique_ptr<EditStep>> steps)
    : EditStep(std::move(name)), m_steps(std::move(steps)) {}

void StepGroup::Undo(EditObserver& observer) {
    for (auto it = m_steps.rbegin(); it != m_steps.rend(); ++it) {
        (*it)->Undo(observer);
    }
}

void StepGroup::Redo(EditObserver& observer) {
    for (auto& step : m_steps) {
        step->Redo(observer);
    }
}

std::size_t StepGroup::Bytes() const {
    std::size_t bytes = sizeof(*this);
    for (const auto& step : m_steps) {
        bytes += step->Bytes();
    }
    return bytes;
}

std::vector<std::unique_ptr<BaseUrl>> StepGroup::TakeBaseUrls() {
    std::vector<std::unique_ptr<BaseUrl>> records;
    for (auto& step : m_steps) {
        for (auto& record : step->TakeBaseUrls()) {
            records.push_back(std::move(record));
        }
    }
    return records;
}

} // namespace tamblin
