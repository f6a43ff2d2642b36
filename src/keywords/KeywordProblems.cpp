#include "keywords/KeywordProblems.h"

#include "keywords/JsLowerCase.h"

#include <unordered_map>

namespace tamblin {

namespace {

bool IsSpace(char16_t unit) {
    return unit == u' ' || unit == u'\t' || unit == 0xA0 || unit == 0x3000 ||
           (unit >= 0x2000 && unit <= 0x200A);
}

} // namespace

std::u16string VariantKey(std::u16string_view phrase) {
    std::u16string lowered = JsToLowerCase(phrase);
    std::u16string key;
    key.reserve(lowered.size());
    bool space = false;
    for (char16_t unit : lowered) {
        if (IsSpace(unit)) {
            space = true;
            continue;
        }
        if (space && !key.empty()) {
            key.push_back(u' ');
        }
        space = false;
        key.push_back(unit);
    }
    return key;
}

std::vector<std::vector<std::size_t>> FindPhraseVariants(const KeywordIndex& index) {
    std::vector<std::vector<std::size_t>> sets;
    std::unordered_map<std::u16string, std::size_t> setOf;
    const auto& groups = index.Groups();
    for (std::size_t i = 0; i < groups.size(); ++i) {
        auto [at, added] = setOf.try_emplace(VariantKey(groups[i].phrase), sets.size());
        if (added) {
            sets.emplace_back();
        }
        sets[at->second].push_back(i);
    }
    std::vector<std::vector<std::size_t>> variants;
    for (auto& set : sets) {
        if (set.size() > 1) {
            variants.push_back(std::move(set));
        }
    }
    return variants;
}

} // namespace tamblin
