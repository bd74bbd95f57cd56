#include "call_text.h"

#include <gtest/gtest.h>

TEST(CallText, StringsAreQuotedWithEscapes) {
    EXPECT_EQ(QuotedText("C:\\x\\a.mp3"), "\"C:\\\\x\\\\a.mp3\"");
    EXPECT_EQ(QuotedText("say \"hi\""), "\"say \\\"hi\\\"\"");
    EXPECT_EQ(QuotedText("M\xf6we\x7f\x1f\n~ "), "\"M\\xf6we\\x7f\\x1f\\x0a~ \"");
    EXPECT_EQ(QuotedText(""), "\"\"");
    EXPECT_EQ(QuotedText(nullptr), "null");
}

TEST(CallText, PointersHandlesAndNumbers) {
    int value = 0;
    EXPECT_EQ(PointerText(&value), "&");
    EXPECT_EQ(PointerText(nullptr), "null");
    EXPECT_EQ(HandleText("sound", 12), "sound12");
    EXPECT_EQ(HandleText("channel", 0), "null");
    EXPECT_EQ(HandleText("channel", -1), "bad");
    EXPECT_EQ(HexText(0xC9), "0xc9");
    EXPECT_EQ(HexText(0), "0x0");
    EXPECT_EQ(HexText(0xFFFFFFFFu), "0xffffffff");
    EXPECT_EQ(FloatText(0.75f), "0.75");
    EXPECT_EQ(FloatText(1.0f), "1");
    EXPECT_EQ(FloatText(-0.05f), "-0.05");
}

TEST(CallText, LineJoinsArgumentsAndResult) {
    EXPECT_EQ(CallLine("FMOD_System_SetStreamBufferSize", {"system", "2000", "1"}, "0"),
              "FMOD_System_SetStreamBufferSize(system, 2000, 1) = 0");
    EXPECT_EQ(CallLine("FMOD_Channel_SetVolume", {"channel1", "0.75"}, "crash"),
              "FMOD_Channel_SetVolume(channel1, 0.75) = crash");
    EXPECT_EQ(CallLine("F", {}, "36"), "F() = 36");
}
