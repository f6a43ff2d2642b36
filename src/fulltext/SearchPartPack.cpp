#include "fulltext/SearchPartPack.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

namespace tamblin {

namespace {

constexpr int kMostHashBits = 15;
// Earlier places with the same four bytes tried for each copy: a few more than one find
// longer copies in text that repeats whole phrases.
constexpr int kTries = 8;

void PutNumber(std::uint64_t value, std::string& out) {
    while (value >= 0x80) {
        out += static_cast<char>((value & 0x7F) | 0x80);
        value >>= 7;
    }
    out += static_cast<char>(value);
}

std::optional<std::uint64_t> GetNumber(std::string_view in, size_t& at) {
    std::uint64_t value = 0;
    for (int shift = 0; shift < 35 && at < in.size(); shift += 7) {
        auto b = static_cast<unsigned char>(in[at++]);
        value |= std::uint64_t{b & 0x7Fu} << shift;
        if (b < 0x80) {
            return value;
        }
    }
    return std::nullopt;
}

std::uint32_t HashAt(std::string_view bytes, size_t at, int bits) {
    std::uint32_t v = 0;
    std::memcpy(&v, bytes.data() + at, 4);
    return (v * 2654435761u) >> (32 - bits);
}

// How many bytes from `from` match those from `at` (from < at), eight at a time: text that
// repeats whole lines makes long copies, and a byte at a time was most of the packing.
size_t MatchLength(std::string_view bytes, size_t from, size_t at) {
    size_t length = 0;
    while (at + length + 8 <= bytes.size()) {
        std::uint64_t a = 0;
        std::uint64_t b = 0;
        std::memcpy(&a, bytes.data() + from + length, 8);
        std::memcpy(&b, bytes.data() + at + length, 8);
        if (a != b) {
            // The first byte that differs is the lowest on a little-endian machine.
            std::uint64_t diff = a ^ b;
            if constexpr (std::endian::native == std::endian::little) {
                return length + static_cast<size_t>(std::countr_zero(diff)) / 8;
            }
            break;
        }
        length += 8;
    }
    while (at + length < bytes.size() && bytes[from + length] == bytes[at + length]) {
        ++length;
    }
    return length;
}

// About one slot for each place of a small part: a table made for every part costs more
// to clear than the packing of a few kilobytes does.
int HashBits(size_t size) {
    int bits = 8;
    while (bits < kMostHashBits && (size_t{1} << bits) < size) {
        ++bits;
    }
    return bits;
}

// Places before `at` that start with the same four bytes, the latest first.
class Chains {
public:
    explicit Chains(size_t size)
        : m_bits(HashBits(size)), m_head(size_t{1} << m_bits, -1), m_before(size, -1) {}

    void Add(std::string_view bytes, size_t at) {
        if (at + SearchPartPack::kMinCopy <= bytes.size()) {
            std::uint32_t h = HashAt(bytes, at, m_bits);
            m_before[at] = m_head[h];
            m_head[h] = static_cast<std::int32_t>(at);
        }
    }
    // {distance, length} of the longest copy for `at`; length 0 when there is none.
    std::pair<size_t, size_t> Longest(std::string_view bytes, size_t at) const {
        size_t bestLength = 0;
        size_t bestFrom = 0;
        std::int32_t from = m_head[HashAt(bytes, at, m_bits)];
        for (int tries = 0; from >= 0 && tries < kTries; ++tries) {
            auto f = static_cast<size_t>(from);
            // Only a copy longer than the best so far counts: the byte after the best must match.
            bool longer =
                at + bestLength < bytes.size() && bytes[f + bestLength] == bytes[at + bestLength];
            size_t length = longer ? MatchLength(bytes, f, at) : 0;
            if (length > bestLength) {
                bestLength = length;
                bestFrom = f;
            }
            from = m_before[f];
        }
        return bestLength >= SearchPartPack::kMinCopy ? std::pair{at - bestFrom, bestLength}
                                                      : std::pair<size_t, size_t>{0, 0};
    }

private:
    int m_bits;
    // Places fit: no part is larger than kMaxBytes.
    std::vector<std::int32_t> m_head;
    std::vector<std::int32_t> m_before;
};

} // namespace

std::string SearchPartPack::Pack(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() / 2 + 16);
    PutNumber(bytes.size(), out);
    Chains chains(bytes.size());
    size_t literals = 0;
    size_t at = 0;
    while (at < bytes.size()) {
        auto [distance, length] = at + kMinCopy <= bytes.size() ? chains.Longest(bytes, at)
                                                                : std::pair<size_t, size_t>{0, 0};
        if (length == 0) {
            chains.Add(bytes, at++);
            continue;
        }
        PutNumber(at - literals, out);
        out.append(bytes.substr(literals, at - literals));
        PutNumber(length - kMinCopy, out);
        PutNumber(distance, out);
        for (size_t end = at + length; at < end; ++at) {
            chains.Add(bytes, at);
        }
        literals = at;
    }
    if (literals < bytes.size()) {
        PutNumber(bytes.size() - literals, out);
        out.append(bytes.substr(literals));
    }
    return out;
}

std::string SearchPartPack::Store(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + 10);
    PutNumber(bytes.size(), out);
    if (!bytes.empty()) {
        PutNumber(bytes.size(), out);
        out.append(bytes);
    }
    return out;
}

std::optional<std::string> SearchPartPack::Unpack(std::string_view packed) {
    size_t at = 0;
    auto size = GetNumber(packed, at);
    if (!size || *size > kMaxBytes) {
        return std::nullopt;
    }
    std::string out;
    out.reserve(static_cast<size_t>(*size));
    while (out.size() < *size) {
        auto literals = GetNumber(packed, at);
        if (!literals || *literals > packed.size() - at || *literals > *size - out.size()) {
            return std::nullopt;
        }
        out.append(packed.substr(at, static_cast<size_t>(*literals)));
        at += static_cast<size_t>(*literals);
        if (out.size() == *size) {
            break;
        }
        auto length = GetNumber(packed, at);
        auto distance = GetNumber(packed, at);
        if (!length || !distance || *distance == 0 || *distance > out.size() ||
            *length + kMinCopy > *size - out.size()) {
            return std::nullopt;
        }
        size_t from = out.size() - static_cast<size_t>(*distance);
        for (size_t n = 0; n < *length + kMinCopy; ++n) {
            out += out[from + n];
        }
    }
    if (at != packed.size()) {
        return std::nullopt;
    }
    return out;
}

} // namespace tamblin
