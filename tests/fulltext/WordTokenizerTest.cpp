#include "fulltext/WordTokenizer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using tamblin::WordToken;
using tamblin::WordTokenizer;

namespace {

std::vector<std::string> WordsOf(const std::string& text) {
    std::vector<std::string> words;
    for (const WordToken& token : WordTokenizer::Words(text)) {
        words.push_back(token.word);
    }
    return words;
}

using Words = std::vector<std::string>;

} // namespace

TEST(WordTokenizerTest, LettersAndDigitsMakeWordsCaseFolded) {
    EXPECT_EQ(WordsOf("Hello, World! Python 3.11: os.path"),
              (Words{"hello", "world", "python", "3", "11", "os", "path"}));
    EXPECT_EQ(WordsOf("  ...  "), Words{});
    EXPECT_EQ(WordsOf("snake_case-word"), (Words{"snake", "case", "word"}));
}

TEST(WordTokenizerTest, AccentsCompatibilityFormsAndCaseFoldAway) {
    EXPECT_EQ(WordsOf("Résumé NAÏVE Ångström"), (Words{"resume", "naive", "angstrom"}));
    // Full-width letters, a ligature, the long s and final sigma fold to the plain ones.
    EXPECT_EQ(WordsOf("ＡＢＣ１２ ﬁle ſun ΟΔΟΣ οδος"),
              (Words{"abc12", "file", "sun", "οδοσ", "οδοσ"}));
    // A combining mark and a soft hyphen inside a word keep it whole.
    EXPECT_EQ(WordsOf("cafe\xCC\x81 hy\xC2\xADphen"), (Words{"cafe", "hyphen"}));
    EXPECT_EQ(WordsOf("Straße"), Words{"straße"});
}

TEST(WordTokenizerTest, ChineseAndJapaneseGiveEveryPairOfNeighbours) {
    EXPECT_EQ(WordsOf("東京都"), (Words{"東京", "京都"}));
    EXPECT_EQ(WordsOf("中 文"), (Words{"中", "文"}));
    // Kana and kanji run together; Latin letters break the run.
    EXPECT_EQ(WordsOf("日本語のAPI説明"), (Words{"日本", "本語", "語の", "api", "説明"}));
    // Korean is written with spaces: its words stay whole, in their letters' parts.
    EXPECT_EQ(WordsOf("한국").size(), 1u);
}

TEST(WordTokenizerTest, PositionsCountUtf16UnitsOfTheText) {
    std::vector<WordToken> words = WordTokenizer::Words("é 😀 ab 𝐀𝐁 x");
    ASSERT_EQ(words.size(), 4u);
    EXPECT_EQ(words[0].word, "e");
    EXPECT_EQ(words[0].start, 0u);
    EXPECT_EQ(words[1].word, "ab");
    EXPECT_EQ(words[1].start, 5u);
    EXPECT_EQ(words[1].end, 7u);
    EXPECT_EQ(words[2].word, "ab"); // mathematical bold letters
    EXPECT_EQ(words[2].start, 8u);
    EXPECT_EQ(words[2].end, 12u);
    EXPECT_EQ(words[3].start, 13u);
}

TEST(WordTokenizerTest, LongWordsAreCutAndBadBytesSeparate) {
    std::vector<std::string> words = WordsOf(std::string(100, 'a') + " b");
    ASSERT_EQ(words.size(), 2u);
    EXPECT_EQ(words[0].size(), WordTokenizer::kMaxWordLength);
    EXPECT_EQ(WordsOf("ab\xFF"
                      "cd\xC3"),
              (Words{"ab", "cd"}));
    EXPECT_EQ(WordsOf("x\xED\xA0\x80y"), (Words{"x", "y"})); // an encoded surrogate
}
