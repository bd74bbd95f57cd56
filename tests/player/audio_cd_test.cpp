#include "playlist/audio_cd.h"

#include <gtest/gtest.h>

TEST(AudioCd, RowShowsTheRootAndTheTrimmedLabelOrLeer) {
    const std::string blanks(255, ' '); // what a failed label read leaves: no zero byte at all
    struct Case {
        std::string label;
        const char* expected;
    } cases[] = {
        {"MEINE CD", "D:\\ - MEINE CD"},
        {"  MEINE CD   ", "D:\\ - MEINE CD"},
        {std::string("AUDIO\0old label", 15), "D:\\ - AUDIO"}, // the label ends at its zero byte
        {"", "D:\\ - Leer"},
        {"    ", "D:\\ - Leer"},
        {blanks, "D:\\ - Leer"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CdDriveRowText('D', c.label.data(), c.label.size()), c.expected) << "[" << c.label << "]";
}
