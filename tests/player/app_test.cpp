// The player's plain rules: fault texts, hover images, where the cursor is, wheel steps.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/error_report_text.h"
#include "app/hover_images.h"
#include "app/input_rules.h"

TEST(ErrorReportText, EveryListedFaultHasItsOwnTextAndTheBoxFramesTheClipboardText) {
    const uint32_t codes[] = {0x80000003u, 0x80000004u, 0xC0000005u, 0xC0000008u, 0xC000001Du, 0xC0000025u, 0xC0000026u,
                              0xC000008Du, 0xC000008Eu, 0xC000008Fu, 0xC0000090u, 0xC0000091u, 0xC0000092u, 0xC0000093u,
                              0xC0000094u, 0xC0000096u, 0xC00000FDu, 0xC000013Au, 0xC0000142u};
    std::set<std::string> texts = {"UNKNOWN Error"};
    for (uint32_t code : codes) EXPECT_TRUE(texts.insert(FaultDescription(code)).second) << std::hex << code;
    for (uint32_t unlisted : {0xE06D7363u, 0xC0000006u, 0xFFFFFFFFu})
        EXPECT_STREQ(FaultDescription(unlisted), "UNKNOWN Error") << std::hex << unlisted;
    const std::string clip = ErrorReportClipboardText("Attempted division by zero", 2147483647);
    EXPECT_EQ(clip, "Beschreibung: Attempted division by zero\r\nZeile: 2147483647");
    EXPECT_EQ(ErrorReportBoxText("Attempted division by zero", 2147483647),
              "Es ist ein Fehler aufgetreten!\r\n" + clip + "\r\n\r\nDie Meldung wurde in die Zwischenablage kopiert!");
}

TEST(HoverImages, EveryImageIsNormalOrHoverWithATwinThatMapsBack) {
    for (int i = 0; i < static_cast<int>(ImageId::Count); ++i) {
        const auto image = static_cast<ImageId>(i);
        const ImageId hover = HoverImageOf(image), normal = NormalImageOf(image);
        EXPECT_NE(hover == image, normal == image) << "image " << i;
        EXPECT_EQ(NormalImageOf(hover), hover == image ? normal : image) << "image " << i;
        EXPECT_EQ(HoverImageOf(normal), normal == image ? hover : image) << "image " << i;
    }
    // A click switches play to pause while the cursor is inside: leaving must bring back the
    // normal pause image, not the play image.
    EXPECT_EQ(HoverImageOf(ImageId::PauseNormal), ImageId::PauseHover);
    EXPECT_EQ(NormalImageOf(ImageId::PauseHover), ImageId::PauseNormal);
    EXPECT_EQ(NormalImageOf(ImageId::MiniPlayHover), ImageId::MiniPlayNormal);
}

TEST(InputRules, OutermostPixelsAreOutsideAndHoverChangesOnlyOnEnteringAndLeaving) {
    const ControlRect time{155, 132, 55, 20};
    const struct { int x, y; bool inside; } points[] = {{155, 140, false}, {210, 140, false}, {180, 132, false},
                                                         {180, 152, false}, {156, 133, true},  {209, 151, true}, {-1, -1, false}};
    for (const auto& p : points) EXPECT_EQ(CursorInsideControl(p.x, p.y, time), p.inside) << p.x << "," << p.y;
    EXPECT_FALSE(CursorInsideControl(0, 0, ControlRect{}) || CursorInsideControl(5, 5, ControlRect{5, 5, 1, 1}));
    const struct { bool inside; int flag, newFlag; HoverChange change; } hovers[] = {
        {true, 0, 1, HoverChange::ShowHover}, {true, 1, 1, HoverChange::None},
        {false, 1, 0, HoverChange::ShowNormal}, {false, 0, 0, HoverChange::None}};
    for (const auto& h : hovers) {
        const HoverDecision d = DecideHover(h.inside, h.flag);
        EXPECT_EQ(std::make_pair(d.flag, d.change), std::make_pair(h.newFlag, h.change)) << h.inside << h.flag;
    }
}

TEST(InputRules, OneWheelStepPerEventWhateverTheDeltaOrKeys) {
    // The delta is the signed high word; key bits and (on 64-bit) sign-extended upper bits
    // must not change the direction. A zero delta counts as down.
    const struct { uint64_t wParam; int step; } cases[] = {
        {0x00780000ull, 1},  {0x00F00000ull, 1},  {0x00010000ull, 1}, {0xFF880000ull, -1},
        {0x80000000ull, -1}, {0x00000000ull, -1}, {0x0078FFFFull, 1}, {0xFF880008ull, -1},
        {0xFFFFFFFFFF880000ull, -1}, {0xFFFFFFFF00780000ull, 1}};
    for (const auto& c : cases) EXPECT_EQ(WheelStep(c.wParam), c.step) << std::hex << c.wParam;
}
