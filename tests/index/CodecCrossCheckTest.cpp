// The export, the scanner and the editor each convert between UTF-8 and Windows-1252. These
// tests pin what every one of them gives for broken and borderline bytes, so that sharing
// their code cannot change a single result. The digests were taken from the conversions as
// they stood when each had its own code.
#include "app/TextEncoding.h"
#include "index/ByteDecoding.h"
#include "scanner/CharacterSet.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

using namespace tamblin;

namespace {

using Conversion = std::function<std::string(std::string_view)>;

std::string Flag(bool value) {
    return value ? "1" : "0";
}

std::string ToWindows1252(std::string_view utf8) {
    bool exact = true;
    std::string bytes = Utf8ToWindows1252(utf8, &exact);
    return bytes + (exact ? "|exact" : "|inexact");
}

const std::map<std::string, Conversion>& Conversions() {
    using C = CharacterSet;
    static const std::map<std::string, Conversion> conversions = {
        {"DecodeToUtf8 Detect", [](auto b) { return DecodeToUtf8(b, ByteEncoding::Detect); }},
        {"DecodeToUtf8 Utf8", [](auto b) { return DecodeToUtf8(b, ByteEncoding::Utf8); }},
        {"DecodeToUtf8 Windows1252",
         [](auto b) { return DecodeToUtf8(b, ByteEncoding::Windows1252); }},
        {"DecodeToUtf8 Utf16", [](auto b) { return DecodeToUtf8(b, ByteEncoding::Utf16); }},
        {"IsValidUtf8 Strict", [](auto b) { return Flag(IsValidUtf8(b, Utf8Rule::Strict)); }},
        {"IsValidUtf8 Shape", [](auto b) { return Flag(IsValidUtf8(b, Utf8Rule::Shape)); }},
        {"CharacterSet IsUtf8", [](auto b) { return Flag(C::IsUtf8(b)); }},
        {"CharacterSet ToUtf8 Utf8", [](auto b) { return C::ToUtf8(b, C::kUtf8); }},
        {"CharacterSet ToUtf8 Windows1252", [](auto b) { return C::ToUtf8(b, C::kWindows1252); }},
        {"CharacterSet ToUtf8 Latin9", [](auto b) { return C::ToUtf8(b, C::kLatin9); }},
        {"CharacterSet ToUtf8 Unknown", [](auto b) { return C::ToUtf8(b, C::kUnknown); }},
        {"CharacterSet FromUtf8 Utf8", [](auto b) { return C::FromUtf8(b, C::kUtf8); }},
        {"CharacterSet FromUtf8 Windows1252",
         [](auto b) { return C::FromUtf8(b, C::kWindows1252); }},
        {"CharacterSet FromUtf8 Latin9", [](auto b) { return C::FromUtf8(b, C::kLatin9); }},
        {"CharacterSet Utf16ToUtf8 big", [](auto b) { return C::Utf16ToUtf8(b, true); }},
        {"CharacterSet Utf16ToUtf8 little", [](auto b) { return C::Utf16ToUtf8(b, false); }},
        {"Windows1252ToUtf8", [](auto b) { return Windows1252ToUtf8(b); }},
        {"Utf8ToWindows1252", [](auto b) { return ToWindows1252(b); }},
    };
    return conversions;
}

// Bytes that sit on the borders of UTF-8's ranges and of the Windows-1252 table.
const std::vector<unsigned char>& BorderBytes() {
    static const std::vector<unsigned char> bytes = {0x00, 0x41, 0x7F, 0x80, 0x81, 0x8D, 0x8F, 0x90,
                                                     0x9D, 0x9F, 0xA0, 0xBF, 0xC0, 0xC2, 0xDF, 0xE0,
                                                     0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xFF};
    return bytes;
}

// Every string of one and two bytes, every lead byte and second byte with a border third
// byte, and four-byte strings over the border bytes: each set is fed whole to every
// conversion, so no input of the sets can change its result unnoticed.
std::map<std::string, std::vector<std::string>> InputSets() {
    std::map<std::string, std::vector<std::string>> sets;
    for (int a = 0; a < 256; ++a) {
        sets["one byte"].push_back(std::string(1, static_cast<char>(a)));
        for (int b = 0; b < 256; ++b) {
            sets["two bytes"].push_back({static_cast<char>(a), static_cast<char>(b)});
            if (a < 0x80) {
                continue;
            }
            for (unsigned char c : BorderBytes()) {
                sets["three bytes"].push_back(
                    {static_cast<char>(a), static_cast<char>(b), static_cast<char>(c)});
            }
        }
    }
    for (unsigned char a : BorderBytes()) {
        for (unsigned char b : BorderBytes()) {
            for (unsigned char c : BorderBytes()) {
                for (unsigned char d : BorderBytes()) {
                    sets["four bytes"].push_back({static_cast<char>(a), static_cast<char>(b),
                                                  static_cast<char>(c), static_cast<char>(d)});
                }
            }
        }
    }
    return sets;
}

// FNV-1a over each result and its length, so that results cannot run into each other.
void Mix(uint64_t& hash, std::string_view bytes) {
    std::string sized =
        bytes.size() < 256 ? std::string(1, static_cast<char>(bytes.size())) : std::string("\xFF");
    for (std::string_view part : {std::string_view(sized), bytes}) {
        for (char c : part) {
            hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ULL;
        }
    }
}

// Taken from the separate conversions before they shared any code.
const std::map<std::string, uint64_t> kRecorded = {
    {"CharacterSet FromUtf8 Latin9 / four bytes", 0x66279505F012657DULL},
    {"CharacterSet FromUtf8 Latin9 / one byte", 0x7895AA745026E5A5ULL},
    {"CharacterSet FromUtf8 Latin9 / three bytes", 0x0C5B9A324194BD57ULL},
    {"CharacterSet FromUtf8 Latin9 / two bytes", 0xA3B73EDE740BB25CULL},
    {"CharacterSet FromUtf8 Utf8 / four bytes", 0x9DB691F5F4B59115ULL},
    {"CharacterSet FromUtf8 Utf8 / one byte", 0x8EB76421EB763225ULL},
    {"CharacterSet FromUtf8 Utf8 / three bytes", 0xB736E54A12BDEB25ULL},
    {"CharacterSet FromUtf8 Utf8 / two bytes", 0x5407B0B56326FB25ULL},
    {"CharacterSet FromUtf8 Windows1252 / four bytes", 0xE3547A7ACEFEDC33ULL},
    {"CharacterSet FromUtf8 Windows1252 / one byte", 0x7895AA745026E5A5ULL},
    {"CharacterSet FromUtf8 Windows1252 / three bytes", 0x89F22AE2B030BDF5ULL},
    {"CharacterSet FromUtf8 Windows1252 / two bytes", 0x4512244EF6DF369EULL},
    {"CharacterSet IsUtf8 / four bytes", 0x0ACA6DF48835796DULL},
    {"CharacterSet IsUtf8 / one byte", 0x4961683CE0092225ULL},
    {"CharacterSet IsUtf8 / three bytes", 0x8C44581E91239F25ULL},
    {"CharacterSet IsUtf8 / two bytes", 0x6CC9132204D46825ULL},
    {"CharacterSet ToUtf8 Latin9 / four bytes", 0x32D9621CDCFCA98DULL},
    {"CharacterSet ToUtf8 Latin9 / one byte", 0xB698820287D07BCBULL},
    {"CharacterSet ToUtf8 Latin9 / three bytes", 0x9BBF97551C39F5A9ULL},
    {"CharacterSet ToUtf8 Latin9 / two bytes", 0x873B19B6820DF6BBULL},
    {"CharacterSet ToUtf8 Unknown / four bytes", 0x79707172BBA60ECDULL},
    {"CharacterSet ToUtf8 Unknown / one byte", 0x4F000EEB5348D915ULL},
    {"CharacterSet ToUtf8 Unknown / three bytes", 0xE63B9EE2BC710EA9ULL},
    {"CharacterSet ToUtf8 Unknown / two bytes", 0xC39BB81BDB9D73A3ULL},
    {"CharacterSet ToUtf8 Utf8 / four bytes", 0xA4040907FBA2DAA5ULL},
    {"CharacterSet ToUtf8 Utf8 / one byte", 0xE3E3CED2D6D5B9A5ULL},
    {"CharacterSet ToUtf8 Utf8 / three bytes", 0x58BDA14F664EF885ULL},
    {"CharacterSet ToUtf8 Utf8 / two bytes", 0x400522D6FAC336A5ULL},
    {"CharacterSet ToUtf8 Windows1252 / four bytes", 0x79707172BBA60ECDULL},
    {"CharacterSet ToUtf8 Windows1252 / one byte", 0x4F000EEB5348D915ULL},
    {"CharacterSet ToUtf8 Windows1252 / three bytes", 0xE63B9EE2BC710EA9ULL},
    {"CharacterSet ToUtf8 Windows1252 / two bytes", 0xC39BB81BDB9D73A3ULL},
    {"CharacterSet Utf16ToUtf8 big / four bytes", 0xA3B8FC1A67054A4FULL},
    {"CharacterSet Utf16ToUtf8 big / one byte", 0xD80AC658736BB725ULL},
    {"CharacterSet Utf16ToUtf8 big / three bytes", 0x7A38D37C52E53625ULL},
    {"CharacterSet Utf16ToUtf8 big / two bytes", 0xEA977FD6C98A4B25ULL},
    {"CharacterSet Utf16ToUtf8 little / four bytes", 0x61617A600CAB5EABULL},
    {"CharacterSet Utf16ToUtf8 little / one byte", 0xD80AC658736BB725ULL},
    {"CharacterSet Utf16ToUtf8 little / three bytes", 0x6B4DF12C356D89A5ULL},
    {"CharacterSet Utf16ToUtf8 little / two bytes", 0x49514FA8A19CB765ULL},
    {"DecodeToUtf8 Detect / four bytes", 0x69CC13B5BD3C1AC7ULL},
    {"DecodeToUtf8 Detect / one byte", 0x4F000EEB5348D915ULL},
    {"DecodeToUtf8 Detect / three bytes", 0x0DD17831C0DB7A49ULL},
    {"DecodeToUtf8 Detect / two bytes", 0xFF75414435065BD9ULL},
    {"DecodeToUtf8 Utf16 / four bytes", 0xA3B8FC1A67054A4FULL},
    {"DecodeToUtf8 Utf16 / one byte", 0x2AE3FA9CA90DBB25ULL},
    {"DecodeToUtf8 Utf16 / three bytes", 0x1FD7EFBCE63474EBULL},
    {"DecodeToUtf8 Utf16 / two bytes", 0x49D9525F82050580ULL},
    {"DecodeToUtf8 Utf8 / four bytes", 0x8049EAECD475BF1FULL},
    {"DecodeToUtf8 Utf8 / one byte", 0xE3E3CED2D6D5B9A5ULL},
    {"DecodeToUtf8 Utf8 / three bytes", 0x2CC590994F6C959DULL},
    {"DecodeToUtf8 Utf8 / two bytes", 0xB215B7D3014DDC25ULL},
    {"DecodeToUtf8 Windows1252 / four bytes", 0x79707172BBA60ECDULL},
    {"DecodeToUtf8 Windows1252 / one byte", 0x4F000EEB5348D915ULL},
    {"DecodeToUtf8 Windows1252 / three bytes", 0xE63B9EE2BC710EA9ULL},
    {"DecodeToUtf8 Windows1252 / two bytes", 0xC39BB81BDB9D73A3ULL},
    // The editor's shape check, from its own function before the two checks became one.
    {"IsValidUtf8 Shape / four bytes", 0xA41B2EF73C239582ULL},
    {"IsValidUtf8 Shape / one byte", 0x4961683CE0092225ULL},
    {"IsValidUtf8 Shape / three bytes", 0x86C9100A304E6B25ULL},
    {"IsValidUtf8 Shape / two bytes", 0x6CC9132204D46825ULL},
    {"IsValidUtf8 Strict / four bytes", 0x0ACA6DF48835796DULL},
    {"IsValidUtf8 Strict / one byte", 0x4961683CE0092225ULL},
    {"IsValidUtf8 Strict / three bytes", 0x8C44581E91239F25ULL},
    {"IsValidUtf8 Strict / two bytes", 0x6CC9132204D46825ULL},
    {"Utf8ToWindows1252 / four bytes", 0x7851132D6049A2A4ULL},
    {"Utf8ToWindows1252 / one byte", 0xF5D1795901B2B695ULL},
    {"Utf8ToWindows1252 / three bytes", 0x054146E132938491ULL},
    {"Utf8ToWindows1252 / two bytes", 0x7366AAF5D4A56198ULL},
    {"Windows1252ToUtf8 / four bytes", 0x79707172BBA60ECDULL},
    {"Windows1252ToUtf8 / one byte", 0x4F000EEB5348D915ULL},
    {"Windows1252ToUtf8 / three bytes", 0xE63B9EE2BC710EA9ULL},
    {"Windows1252ToUtf8 / two bytes", 0xC39BB81BDB9D73A3ULL},
};

} // namespace

TEST(CodecCrossCheck, EveryConversionGivesTheResultsItGaveBefore) {
    std::map<std::string, std::vector<std::string>> sets = InputSets();
    std::string record;
    for (const auto& [name, convert] : Conversions()) {
        for (const auto& [setName, inputs] : sets) {
            uint64_t hash = 0xCBF29CE484222325ULL;
            for (const std::string& input : inputs) {
                Mix(hash, convert(input));
            }
            std::string key = name + " / " + setName;
            char line[200];
            std::snprintf(line, sizeof line, "    {\"%s\", 0x%016llXULL},\n", key.c_str(),
                          static_cast<unsigned long long>(hash));
            record += line;
            auto recorded = kRecorded.find(key);
            EXPECT_TRUE(recorded != kRecorded.end() && recorded->second == hash) << key;
        }
    }
    if (HasFailure()) {
        std::printf("%s", record.c_str());
    }
}

// Where the three read broken bytes differently. Each keeps its own way: the export reads as
// browsers do, the scanner replaces each bad byte, and the editor re-encodes whatever shape
// it finds.
TEST(CodecCrossCheck, BrokenUtf8IsReadEachCallersOwnWay) {
    const std::string fffd = "\xEF\xBF\xBD";
    std::string_view truncated = "\xE2\x82"
                                 "A";
    EXPECT_EQ(DecodeToUtf8(truncated, ByteEncoding::Utf8), fffd + "A");
    EXPECT_EQ(CharacterSet::ToUtf8(truncated, CharacterSet::kUtf8), fffd + fffd + "A");
    EXPECT_EQ(CharacterSet::FromUtf8(truncated, CharacterSet::kWindows1252), "??A");
    EXPECT_EQ(Utf8ToWindows1252(truncated), "?");

    EXPECT_EQ(DecodeToUtf8("\xEF\xBB\xBF"
                           "a",
                           ByteEncoding::Utf8),
              "a");
    EXPECT_EQ(CharacterSet::ToUtf8("\xEF\xBB\xBF"
                                   "a",
                                   CharacterSet::kUtf8),
              "\xEF\xBB\xBF"
              "a");

    bool exact = false;
    EXPECT_EQ(Utf8ToWindows1252("\xC0\xAF", &exact), "/");
    EXPECT_TRUE(exact);
    EXPECT_EQ(Utf8ToWindows1252("\x81\x8D\x8F\x90\x9D", &exact), "\x81\x8D\x8F\x90\x9D");
    EXPECT_TRUE(exact);
    EXPECT_EQ(Utf8ToWindows1252("\xFF"), "\x07");
    EXPECT_EQ(Utf8ToWindows1252("\xC3"), "\x03");
    EXPECT_EQ(CharacterSet::FromUtf8("\xC0\xAF\x81", CharacterSet::kWindows1252), "???");
}

TEST(CodecCrossCheck, UndefinedWindows1252BytesAreTheirC1ControlsEverywhere) {
    std::string_view undefined = "\x81\x8D\x8F\x90\x9D";
    const std::string controls = "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D";
    EXPECT_EQ(DecodeToUtf8(undefined, ByteEncoding::Windows1252), controls);
    EXPECT_EQ(DecodeToUtf8(undefined, ByteEncoding::Detect), controls);
    EXPECT_EQ(CharacterSet::ToUtf8(undefined, CharacterSet::kWindows1252), controls);
    EXPECT_EQ(Windows1252ToUtf8(undefined), controls);
    EXPECT_EQ(CharacterSet::FromUtf8(controls, CharacterSet::kWindows1252), undefined);
    bool exact = false;
    EXPECT_EQ(Utf8ToWindows1252(controls, &exact), undefined);
    EXPECT_TRUE(exact);
}

TEST(CodecCrossCheck, Utf16ByteOrderMarkAndOddLastByte) {
    std::string odd("\xFE\xFF\x00"
                    "A\x42",
                    5);
    EXPECT_EQ(DecodeToUtf8(odd, ByteEncoding::Utf16), "A\xEF\xBF\xBD");
    EXPECT_EQ(CharacterSet::Utf16ToUtf8(odd, true), "\xEF\xBB\xBF"
                                                    "A");
    std::string lone("\xD8\x00\x00"
                     "A",
                     4);
    EXPECT_EQ(DecodeToUtf8(lone, ByteEncoding::Utf16), "\xEF\xBF\xBD"
                                                       "A");
    EXPECT_EQ(CharacterSet::Utf16ToUtf8(lone, true), "\xEF\xBF\xBD"
                                                     "A");
}

TEST(CodecCrossCheck, CodePointsOutsideUnicodeAreWrittenAsReplacement) {
    std::string out;
    for (char32_t point : {char32_t(0x7F), char32_t(0x80), char32_t(0x7FF), char32_t(0x800),
                           char32_t(0xD7FF), char32_t(0xD800), char32_t(0xDFFF), char32_t(0xFFFF),
                           char32_t(0x10000), char32_t(0x10FFFF), char32_t(0x110000)}) {
        CharacterSet::AppendUtf8(out, point);
    }
    EXPECT_EQ(out, "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xEF\xBF\xBD\xEF\xBF\xBD"
                   "\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF\xEF\xBF\xBD");
}
