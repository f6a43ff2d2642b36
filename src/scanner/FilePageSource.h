#pragma once

#include "scanner/PageInput.h"

#include <vector>

namespace tamblin {

// Local files, read through a buffer far larger than a block. The buffer is the source's,
// lent to one page at a time: open the next page only after closing the last.
class FilePageSource final : public PageSource {
public:
    std::unique_ptr<PageInput> Open(const std::string& location) override;

private:
    std::vector<char> m_buffer = std::vector<char>(64 * 1024);
};

} // namespace tamblin
