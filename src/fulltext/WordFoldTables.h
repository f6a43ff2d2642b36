#pragma once

#include <cstddef>
#include <cstdint>

// The numbers scripts/gen_word_fold.js writes; WordFold reads them. The viewer's Search tab
// reads the same numbers from navora-web-search-fold.js.
namespace tamblin::wordfold {

// Pairs (distance from the previous pair's first code point, kind): the kind of every code
// point from there on; 0 separator, 1 word character, 2 searched by pairs of characters.
extern const std::int32_t kKinds[];
extern const std::size_t kKindsSize;
// Quadruples (distance from the previous run's first code point, count, step, distance to
// the folded character; 0 when the characters are dropped).
extern const std::int32_t kRuns[];
extern const std::size_t kRunsSize;
// (distance from the previous one's code point, length, the folded code points...).
extern const std::int32_t kMulti[];
extern const std::size_t kMultiSize;

} // namespace tamblin::wordfold
