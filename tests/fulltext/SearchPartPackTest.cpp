#include "fulltext/SearchPartPack.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace tamblin;

namespace {

std::string PutNumbers(std::initializer_list<unsigned> numbers) {
    std::string out;
    for (unsigned n : numbers) {
        for (; n >= 0x80; n >>= 7) {
            out += static_cast<char>((n & 0x7F) | 0x80);
        }
        out += static_cast<char>(n);
    }
    return out;
}

} // namespace

// What parts hold comes back to the byte: nothing, less than a copy, text that repeats
// (copies that overlap what they write), bytes that never repeat, and all of them at once.
TEST(SearchPartPackTest, RoundTripsWhatPartsHold) {
    std::mt19937 random(7);
    std::string noise(5000, '\0');
    for (char& c : noise) {
        c = static_cast<char>(random());
    }
    std::string phrase;
    for (int i = 0; i < 400; ++i) {
        phrase += "lorem ipsum dolor " + std::to_string(i % 7) + ' ';
    }
    const std::string run(20000, '\x18');
    for (const std::string& bytes : {std::string(), std::string("abc"), std::string("abcd"), phrase,
                                     run, noise, noise + run + phrase + noise}) {
        // Bytes stored without copies read back as packed ones do.
        ASSERT_EQ(SearchPartPack::Unpack(SearchPartPack::Store(bytes)), bytes);
        std::string packed = SearchPartPack::Pack(bytes);
        EXPECT_EQ(SearchPartPack::Unpack(packed), bytes) << bytes.size();
    }
    // Repeats are what the packing is for.
    EXPECT_LT(SearchPartPack::Pack(phrase).size(), phrase.size() / 10);
    EXPECT_LT(SearchPartPack::Pack(run).size(), 16u);
    EXPECT_LT(SearchPartPack::Pack(noise).size(), noise.size() + 16);
}

// Bytes that are not a packing are refused, never read or written past their ends.
TEST(SearchPartPackTest, RefusesBadPackings) {
    std::string good = SearchPartPack::Pack("abcdabcdabcd");
    ASSERT_TRUE(SearchPartPack::Unpack(good));
    for (size_t cut = 0; cut < good.size(); ++cut) {
        EXPECT_FALSE(SearchPartPack::Unpack(good.substr(0, cut))) << cut;
    }
    EXPECT_FALSE(SearchPartPack::Unpack(good + "x"));
    // A copy from before the start, from nowhere, or past the length said.
    EXPECT_FALSE(SearchPartPack::Unpack(PutNumbers({8, 2}) + "ab" + PutNumbers({0, 3})));
    EXPECT_FALSE(SearchPartPack::Unpack(PutNumbers({8, 2}) + "ab" + PutNumbers({0, 0})));
    EXPECT_FALSE(SearchPartPack::Unpack(PutNumbers({5, 2}) + "ab" + PutNumbers({0, 2})));
    EXPECT_EQ(SearchPartPack::Unpack(PutNumbers({6, 2}) + "ab" + PutNumbers({0, 2})), "ababab");
    // More literals than the length or the input; a length no part has.
    EXPECT_FALSE(SearchPartPack::Unpack(PutNumbers({1, 2}) + "ab"));
    EXPECT_FALSE(SearchPartPack::Unpack(PutNumbers({4, 9}) + "abcd"));
    EXPECT_FALSE(SearchPartPack::Unpack(PutNumbers({1u << 30, 1}) + "a"));
}
