#include "app/error_report_text.h"

#include <gtest/gtest.h>

#include <string>

TEST(FaultDescription, CommonFaultsAreNamed) {
    EXPECT_STREQ(FaultDescription(0xC0000005u),
                 "An attemped read or write to/from an address to which that process isn't allowed");
    EXPECT_STREQ(FaultDescription(0xC0000094u), "Attempted division by zero");
    EXPECT_STREQ(FaultDescription(0xC000001Du),
                 "Try to execute an invalid instruction -such as MMX opcodes on a non MMX system");
    EXPECT_STREQ(FaultDescription(0x80000003u), "BREAKPOINT A breakpoint was encountered.");
    EXPECT_STREQ(FaultDescription(0), "No Error");
}

TEST(FaultDescription, ControlCTextKeepsItsTrailingBlank) {
    const std::string text = FaultDescription(0xC000013Au);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), ' ');
}

TEST(FaultDescription, UnlistedCodesAreUnknown) {
    EXPECT_STREQ(FaultDescription(0xE06D7363u), "UNKNOWN Error");
    EXPECT_STREQ(FaultDescription(0xC0000006u), "UNKNOWN Error");
    EXPECT_STREQ(FaultDescription(0xFFFFFFFFu), "UNKNOWN Error");
}

TEST(FaultDescription, EveryListedCodeHasItsOwnText) {
    const uint32_t codes[] = {0x80000003u, 0x80000004u, 0xC0000005u, 0xC0000008u, 0xC000001Du, 0xC0000025u,
                              0xC0000026u, 0xC000008Du, 0xC000008Eu, 0xC000008Fu, 0xC0000090u, 0xC0000091u,
                              0xC0000092u, 0xC0000093u, 0xC0000094u, 0xC0000096u, 0xC00000FDu, 0xC000013Au,
                              0xC0000142u};
    for (uint32_t a : codes) {
        EXPECT_STRNE(FaultDescription(a), "UNKNOWN Error") << std::hex << a;
        for (uint32_t b : codes) {
            if (a != b) {
                EXPECT_STRNE(FaultDescription(a), FaultDescription(b)) << std::hex << a << " " << b;
            }
        }
    }
}

TEST(ErrorReportText, BoxTextFramesTheClipboardText) {
    const std::string box = ErrorReportBoxText("Attempted division by zero", 30412);
    const std::string clip = ErrorReportClipboardText("Attempted division by zero", 30412);
    EXPECT_EQ(clip, "Beschreibung: Attempted division by zero\r\nZeile: 30412");
    EXPECT_EQ(box, "Es ist ein Fehler aufgetreten!\r\n" + clip +
                       "\r\n\r\nDie Meldung wurde in die Zwischenablage kopiert!");
}

TEST(ErrorReportText, LineIsPlainDecimal) {
    EXPECT_EQ(ErrorReportClipboardText("x", 0), "Beschreibung: x\r\nZeile: 0");
    EXPECT_EQ(ErrorReportClipboardText("x", 2147483647), "Beschreibung: x\r\nZeile: 2147483647");
}
