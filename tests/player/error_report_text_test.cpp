#include "app/error_report_text.h"

#include <gtest/gtest.h>

#include <string>

TEST(FaultDescription, EveryListedCodeHasItsOwnTextAndOthersAreUnknown) {
    const uint32_t codes[] = {0x80000003u, 0x80000004u, 0xC0000005u, 0xC0000008u, 0xC000001Du, 0xC0000025u,
                              0xC0000026u, 0xC000008Du, 0xC000008Eu, 0xC000008Fu, 0xC0000090u, 0xC0000091u,
                              0xC0000092u, 0xC0000093u, 0xC0000094u, 0xC0000096u, 0xC00000FDu, 0xC000013Au,
                              0xC0000142u};
    for (uint32_t a : codes) {
        EXPECT_STRNE(FaultDescription(a), "UNKNOWN Error") << std::hex << a;
        for (uint32_t b : codes) {
            if (a == b) continue;
            EXPECT_STRNE(FaultDescription(a), FaultDescription(b)) << std::hex << a << " " << b;
        }
    }
    for (uint32_t unlisted : {0xE06D7363u, 0xC0000006u, 0xFFFFFFFFu})
        EXPECT_STREQ(FaultDescription(unlisted), "UNKNOWN Error") << std::hex << unlisted;
}

TEST(ErrorReportText, BoxTextFramesTheClipboardText) {
    const std::string clip = ErrorReportClipboardText("Attempted division by zero", 2147483647);
    EXPECT_EQ(clip, "Beschreibung: Attempted division by zero\r\nZeile: 2147483647");
    EXPECT_EQ(ErrorReportBoxText("Attempted division by zero", 2147483647),
              "Es ist ein Fehler aufgetreten!\r\n" + clip + "\r\n\r\nDie Meldung wurde in die Zwischenablage kopiert!");
}
