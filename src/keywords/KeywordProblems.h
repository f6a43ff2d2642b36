#pragma once

#include "keywords/KeywordIndex.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tamblin {

// Phrases a reader would take for one: equal once lowered as the viewer lowers them and with
// each run of white space read as one space, leading and trailing space dropped. Each set
// lists places in `index.Groups()`, in reader order; sets come in the order of their first.
std::vector<std::vector<std::size_t>> FindPhraseVariants(const KeywordIndex& index);

// The text two variants share.
std::u16string VariantKey(std::u16string_view phrase);

} // namespace tamblin
