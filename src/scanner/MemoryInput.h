#pragma once

#include "scanner/PageInput.h"

#include <algorithm>
#include <string>
#include <utility>

namespace tamblin {

// A page already in memory (a response body, a help file, a test's page), read as a file
// would be.
class MemoryInput final : public PageInput {
public:
    explicit MemoryInput(std::string bytes) : m_bytes(std::move(bytes)) {}
    size_t Read(char* buffer, size_t size) override {
        size_t count = std::min(size, m_bytes.size() - m_position);
        m_bytes.copy(buffer, count, m_position);
        m_position += count;
        return count;
    }

private:
    std::string m_bytes;
    size_t m_position = 0;
};

} // namespace tamblin
