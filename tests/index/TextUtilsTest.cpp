#include "index/TextUtils.h"
#include "index/FieldTokenizer.h"
#include "index/ParseError.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tamblin;

namespace {

std::vector<std::string> Split(const std::string& text, bool trim = true) {
    FieldTokenizer fields(text, ";", trim);
    std::vector<std::string> result;
    while (fields.HasMoreFields()) {
        result.push_back(fields.NextField());
    }
    return result;
}

std::string ThrownBy(auto&& call) {
    try {
        call();
    } catch (const ParseError& error) {
        return error.what();
    }
    return "nothing thrown";
}

} // namespace

TEST(FieldTokenizer, EmptyFieldsBetweenButNotAfterSeparators) {
    EXPECT_EQ(Split("a;;b"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(Split(";"), (std::vector<std::string>{""}));
    EXPECT_EQ(Split("a;"), (std::vector<std::string>{"a"}));
    EXPECT_EQ(Split(";x"), (std::vector<std::string>{"", "x"}));
    EXPECT_TRUE(Split("").empty());
}

TEST(FieldTokenizer, TrimsOnlySpaces) {
    EXPECT_EQ(Split("  a b ; \tc "), (std::vector<std::string>{"a b", "\tc"}));
    EXPECT_EQ(Split(" a ", false), (std::vector<std::string>{" a "}));
}

TEST(FieldTokenizer, ReadingPastTheLastFieldThrows) {
    FieldTokenizer fields("a;b", ";", true);
    fields.NextField();
    fields.NextField();
    EXPECT_EQ(ThrownBy([&] { fields.NextField(); }), "Too many tokens accessed\n");
    FieldTokenizer trailing("a;", ";", true);
    trailing.NextField();
    EXPECT_FALSE(trailing.HasMoreFields());
    EXPECT_EQ(ThrownBy([&] { trailing.NextField(); }), "Too many tokens accessed\n");
}

TEST(FieldTokenizer, AnyOfSeveralSeparatorsEndsAField) {
    FieldTokenizer fields("a,b;c", ",;", false);
    EXPECT_EQ(fields.NextField(), "a");
    EXPECT_EQ(fields.NextField(), "b");
    EXPECT_EQ(fields.NextField(), "c");
}

TEST(ParseInteger, LeadingIntegerLikeTheCLibrary) {
    EXPECT_EQ(ParseInteger("0"), 0);
    EXPECT_EQ(ParseInteger("007"), 7);
    EXPECT_EQ(ParseInteger("12abc"), 12);
    EXPECT_EQ(ParseInteger(" 42"), 42);
    EXPECT_EQ(ParseInteger("-5"), -5);
    EXPECT_EQ(ParseInteger("+3"), 3);
    EXPECT_EQ(ParseInteger("99999999999"), 2147483647);
    EXPECT_EQ(ParseInteger("-99999999999"), -2147483647 - 1);
}

TEST(ParseInteger, ZeroFromATextNotStartingWithZeroFails) {
    for (const char* text : {"abc", "", "-0", "+0", " 0", "x1"}) {
        EXPECT_EQ(ThrownBy([&] { ParseInteger(text); }), "Not an integer\n") << text;
    }
}

TEST(TextUtils, SmallTextOperations) {
    EXPECT_EQ(IntToText(-12), "-12");
    EXPECT_EQ(ReplaceChar("a\\b\\c", '\\', '/'), "a/b/c");
    std::string text = "abc";
    StripPrefix(text, "abcd");
    EXPECT_EQ(text, "abc");
    StripPrefix(text, "");
    EXPECT_EQ(text, "abc");
    StripPrefix(text, "ab");
    EXPECT_EQ(text, "c");
    StripPrefix(text, "C");
    EXPECT_EQ(text, "c");
    EXPECT_EQ(EnsureTrailingSlash(""), "");
    EXPECT_EQ(EnsureTrailingSlash("a"), "a/");
    EXPECT_EQ(EnsureTrailingSlash("a/"), "a/");
}

TEST(FindInText, CaseAndWholeWords) {
    EXPECT_TRUE(FindInText("intro", "The Intro page", false, false));
    EXPECT_FALSE(FindInText("intro", "The Intro page", true, false));
    EXPECT_TRUE(FindInText("page", "pages and page", false, true));
    EXPECT_FALSE(FindInText("page", "pages and apage", false, true));
    EXPECT_TRUE(FindInText("a b", "x a b", true, true));
    EXPECT_TRUE(FindInText("aa", "aaa aa", true, true));
}

TEST(FindInText, LowersLatinLettersInEitherEncoding) {
    EXPECT_TRUE(FindInText(LowerText("\xC9t\xC9"), "un \xC9T\xC9 chaud", false, false));
    EXPECT_TRUE(
        FindInText(LowerText("\xC3\x89t\xC3\xA9"), "un \xC3\x89T\xC3\x89 chaud", false, false));
    EXPECT_EQ(LowerText("\xC3\x97"), "\xC3\x97"); // the multiplication sign has no case
}

TEST(DescriptionProblem, FieldAndRecordBreaksAreRefused) {
    EXPECT_EQ(DescriptionProblem("My site"), "");
    for (const char* text : {"a;b", "a\nb", "a\rb"}) {
        EXPECT_EQ(DescriptionProblem(text),
                  "The description cannot hold ';' or a line break: an index file could not keep "
                  "it.")
            << text;
    }
}

TEST(AsciiLower, LowersOnlyTheAsciiCapitals) {
    EXPECT_EQ(AsciiLower("Content-Type: TEXT/Html; Charset=UTF-8"),
              "content-type: text/html; charset=utf-8");
    // Latin-1 and UTF-8 capitals, the bytes round the ASCII letters and NUL stay as they are.
    const std::string others("\xC9\xC3\x89@[`{\x7F\x80\xFF", 10);
    EXPECT_EQ(AsciiLower(others), others);
    EXPECT_EQ(AsciiLower(std::string("A\0B", 3)), std::string("a\0b", 3));
}

TEST(HexDigitValue, BothCasesAndNothingElse) {
    EXPECT_EQ(HexDigitValue('0'), 0);
    EXPECT_EQ(HexDigitValue('9'), 9);
    EXPECT_EQ(HexDigitValue('a'), 10);
    EXPECT_EQ(HexDigitValue('F'), 15);
    for (char c : {'g', 'G', '/', ':', '@', '`', ' ', '\0', '\xFF'}) {
        EXPECT_EQ(HexDigitValue(c), -1) << static_cast<int>(c);
    }
}
