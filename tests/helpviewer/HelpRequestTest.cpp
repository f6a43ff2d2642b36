#include "helpviewer/HelpRequest.h"
#include "helpviewer/RequestDecoder.h"

#include <gtest/gtest.h>

using namespace tamblin;

namespace {

std::vector<HelpRequest> DecodeAll(RequestDecoder& decoder, std::string_view bytes) {
    std::vector<HelpRequest> requests;
    while (!bytes.empty() && !decoder.IsBroken()) {
        bytes.remove_prefix(decoder.Feed(bytes));
        if (auto request = decoder.Take()) {
            requests.push_back(*request);
        }
    }
    if (auto request = decoder.Take()) {
        requests.push_back(*request);
    }
    return requests;
}

} // namespace

TEST(HelpRequestTest, FramesCarryTheTextWithItsZeroAndNothingForAnEmptyText) {
    EXPECT_EQ(EncodeRequest(3, "ab"), std::string("\3\0\0\0\3\0\0\0ab\0", 11));
    EXPECT_EQ(EncodeRequest(0, ""), std::string(8, '\0'));
    // A zero inside the text ends it, as the receiver would read it anyway.
    EXPECT_EQ(EncodeRequest(6, std::string_view("a\0b", 3)), EncodeRequest(6, "a"));
}

TEST(HelpRequestTest, AnswersRoundTripSigned) {
    EXPECT_EQ(DecodeAnswer(EncodeAnswer(1).data()), 1);
    EXPECT_EQ(DecodeAnswer(EncodeAnswer(0).data()), 0);
    EXPECT_EQ(DecodeAnswer(EncodeAnswer(-5).data()), -5);
}

TEST(HelpRequestTest, ContextTextUsesSignedSixteenBitPositionsAndSignedIds) {
    EXPECT_EQ(FormatContextText(100, 200, 0x20033), "100,200,131123");
    EXPECT_EQ(FormatContextText(65535, 70000, 0x20032), "-1,4464,131122");
    EXPECT_EQ(FormatContextText(1, 2, 0xFFFFFFFF), "1,2,-1");
}

TEST(HelpRequestTest, ContextTextNeedsThreeIntegers) {
    auto parsed = ParseContextText("12,-34,131122");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->x, 12);
    EXPECT_EQ(parsed->y, -34);
    EXPECT_EQ(parsed->topicId, 0x20032u);
    EXPECT_FALSE(ParseContextText("12,34"));
    EXPECT_FALSE(ParseContextText("12,x,5"));
    EXPECT_FALSE(ParseContextText(""));
    EXPECT_FALSE(ParseContextText("1,2,"));
    EXPECT_TRUE(ParseContextText("0,0,0"));
}

TEST(RequestDecoderTest, DecodesTheStartUpSequenceFedOneByteAtATime) {
    std::string stream = EncodeRequest(1, "Tamblin") + EncodeRequest(2, "/opt/t/Doc/Tamblin/") +
                         EncodeRequest(3, "Contents.htm") + EncodeRequest(9, "IDR_INDEX.htm") +
                         EncodeRequest(4, "/opt/t/tamblin.HM") + EncodeRequest(0, "");
    RequestDecoder decoder;
    std::vector<HelpRequest> requests;
    for (char c : stream) {
        EXPECT_EQ(decoder.Feed(std::string_view(&c, 1)), 1u);
        if (auto request = decoder.Take()) {
            requests.push_back(*request);
        }
    }
    ASSERT_EQ(requests.size(), 6u);
    EXPECT_EQ(requests[0].code, 1u);
    EXPECT_EQ(requests[0].text, "Tamblin");
    EXPECT_EQ(requests[3].text, "IDR_INDEX.htm");
    EXPECT_EQ(requests[5].code, 0u);
    EXPECT_EQ(requests[5].text, "");
    EXPECT_FALSE(decoder.IsBroken());
}

TEST(RequestDecoderTest, StopsAtEachRequestSoTheCallerCanAnswerIt) {
    std::string stream = EncodeRequest(7, "1,2,3") + EncodeRequest(8, "4,5,6");
    RequestDecoder decoder;
    size_t used = decoder.Feed(stream);
    EXPECT_EQ(used, EncodeRequest(7, "1,2,3").size());
    EXPECT_EQ(decoder.Take()->text, "1,2,3");
    EXPECT_FALSE(decoder.Take());
    auto rest = DecodeAll(decoder, std::string_view(stream).substr(used));
    ASSERT_EQ(rest.size(), 1u);
    EXPECT_EQ(rest[0].code, 8u);
}

TEST(RequestDecoderTest, AnOversizedFrameBreaksTheStreamWithoutWaitingForItsBytes) {
    std::string header("\6\0\0\0", 4);
    uint32_t huge = kMaxRequestBytes + 1;
    for (int i = 0; i < 4; ++i) {
        header.push_back(static_cast<char>((huge >> (8 * i)) & 0xFF));
    }
    RequestDecoder decoder;
    decoder.Feed(header + "more");
    EXPECT_TRUE(decoder.IsBroken());
    EXPECT_FALSE(decoder.Take());
    EXPECT_EQ(decoder.Feed("anything"), 0u);
}

TEST(RequestDecoderTest, ATextWithoutItsZeroBreaksTheStream) {
    std::string frame("\6\0\0\0\2\0\0\0ab", 10);
    RequestDecoder decoder;
    DecodeAll(decoder, frame);
    EXPECT_TRUE(decoder.IsBroken());
}

TEST(RequestDecoderTest, AnEmbeddedZeroEndsTheText) {
    std::string frame("\6\0\0\0\4\0\0\0a\0b\0", 12);
    RequestDecoder decoder;
    auto requests = DecodeAll(decoder, frame);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].text, "a");
}
