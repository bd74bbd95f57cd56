#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "playback/tag_text_win.h"

// UTF-8 list entries become the system's narrow text where every character has a place
// there; the rest keep their UTF-8 bytes, which the sound library opens with wide names.
TEST(SystemTagText, TheAnsiCodePageTakesWhatItCanHold) {
    if (GetACP() != 1252) GTEST_SKIP() << "written for code page 1252, the system has " << GetACP();
    const std::string cases[][2] = {
        {"M\xC3\xB6we.mp3", "M\xF6we.mp3"},                                    // Latin-1
        {"\xE2\x80\x99 \xE2\x80\x93 \xE2\x82\xAC \xE2\x80\x9C \xE2\x80\xA6", "\x92 \x96 \x80 \x93 \x85"}, // 1252 only
        {"\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1.wav", "\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1.wav"}, // Greek
        {"\xE6\x97\xA5\xE6\x9C\xAC.wav", "\xE6\x97\xA5\xE6\x9C\xAC.wav"},     // Japanese
        {"\xC3\xB6 \xCE\xB1", "\xC3\xB6 \xCE\xB1"},                           // one misfit keeps all bytes
    };
    for (const auto& c : cases)
        EXPECT_EQ(SystemTagText(c[0].data(), static_cast<unsigned>(c[0].size())), c[1]) << c[0];
}
