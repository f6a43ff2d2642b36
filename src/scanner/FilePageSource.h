#pragma once

#include "scanner/PageInput.h"

namespace tamblin {

// Local files, read through a buffer far larger than a block.
class FilePageSource final : public PageSource {
public:
    std::unique_ptr<PageInput> Open(const std::string& location) override;
};

} // namespace tamblin
