#include <gtest/gtest.h>

#include "text/utf8.h"

using namespace engine;

TEST(Utf8, AcceptsWellFormedTextAndRejectsBrokenSequences) {
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("plain ascii"));
    EXPECT_TRUE(IsValidUtf8("Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC \xF0\x9F\x8E\xB5"));
    EXPECT_FALSE(IsValidUtf8("\xF6"));                 // Latin-1 o with diaeresis
    EXPECT_FALSE(IsValidUtf8("ab\xC3"));               // cut in the middle of a sequence
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));             // overlong slash
    EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF"));         // overlong, three bytes
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));         // a surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));     // above U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xC3\x28"));             // continuation byte missing
}

TEST(Utf8, Latin1BytesBecomeTwoByteSequences) {
    EXPECT_EQ(Latin1ToUtf8("Gr\xF6\xDF" "e"), "Gr\xC3\xB6\xC3\x9F" "e");
    EXPECT_EQ(Latin1ToUtf8("\xFF"), "\xC3\xBF");
    EXPECT_EQ(AnyTextToUtf8("M\xC3\xBCller"), "M\xC3\xBCller");  // already UTF-8: unchanged
    EXPECT_EQ(AnyTextToUtf8("M\xFCller"), "M\xC3\xBCller");
}

TEST(Utf8, Utf16DecodesPairsBothByteOrdersAndStopsAtZero) {
    const uint8_t le[] = {'A', 0, 0x3C, 0xD8, 0xB5, 0xDF, 0xFC, 0x00, 0, 0, 'x', 0};
    EXPECT_EQ(Utf16ToUtf8(le, sizeof le, false), "A\xF0\x9F\x8E\xB5\xC3\xBC");
    const uint8_t be[] = {0, 'O', 0, 'K'};
    EXPECT_EQ(Utf16ToUtf8(be, sizeof be, true), "OK");
    const uint8_t loneSurrogate[] = {0x00, 0xD8, 'a', 0};
    EXPECT_EQ(Utf16ToUtf8(loneSurrogate, sizeof loneSurrogate, false), "\xEF\xBF\xBD" "a");
    const uint8_t oddLength[] = {'a', 0, 'b'};
    EXPECT_EQ(Utf16ToUtf8(oddLength, sizeof oddLength, false), "a");
}

TEST(Utf8, FixedFieldsEndAtZeroAndLoseTrailingBlanks) {
    EXPECT_EQ(TrimFixedField(std::string_view("Title  \0garbage", 15)), "Title");
    EXPECT_EQ(TrimFixedField("   "), "");
    EXPECT_EQ(TrimFixedField(" lead"), " lead");
}
