// What the windows show: file information rows, the mini window's place, the volume notice,
// the oscilloscope's rows, fades and scrolling, shortened texts and thick lines.
#include <gtest/gtest.h>

#include <limits>
#include <tuple>
#include <vector>

#include "display/file_info_rows.h"
#include "display/mini_window_layout.h"
#include "display/oscilloscope_math.h"
#include "display/status_text.h"
#include "display/thick_line.h"

TEST(FileInfoRows, EveryFieldAsItIsZerosWhenEmptyAndTheGainWidenedToDouble) {
    TrackInfo track;
    track.path = "C:\\Musik\\" + std::string(300, 'x') + ".mp3";
    track.artist = "K\xFCnstler", track.title = "Lied", track.album = "Platte", track.comment = std::string(500, 'c');
    track.date = "1999", track.genre = "Rock", track.trackNumber = 12, track.lengthSeconds = 5400;
    track.bitrateText = "128", track.channels = 2, track.replayGainFactor = 0.5f, track.streamName = "Radio Eins";
    const struct { TrackInfo track; std::vector<std::string> rows; } cases[] = {
        {TrackInfo{}, {"Datei|", "Artist|", "Titel|", "Album|", "Kommentar|", "Datum|", "Genre|", "Tracknummer|0",
                       "L\xE4nge|00:00", "Bitrate|", "Kan\xE4le|0", "Replaygain|1.0000000000", "Streamname|"}},
        {track, {"Datei|" + track.path, "Artist|K\xFCnstler", "Titel|Lied", "Album|Platte", "Kommentar|" + track.comment,
                 "Datum|1999", "Genre|Rock", "Tracknummer|12", "L\xE4nge|90:00", "Bitrate|128", "Kan\xE4le|2",
                 "Replaygain|0.5000000000", "Streamname|Radio Eins"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> rows;
        for (const FileInfoRow& row : FileInfoRows(c.track)) rows.push_back(row.label + "|" + row.value);
        EXPECT_EQ(rows, c.rows);
    }
    track.replayGainFactor = 0.1f;  // float rounding shows in the last digits
    EXPECT_EQ(FileInfoRows(track)[11].value, "0.1000000015");
    EXPECT_EQ(FileInfoClipText(FileInfoRows(track)[1]), "Artist: K\xFCnstler");
}

TEST(MiniWindowLayout, BandGivesUpHundredPixelsAndTheWindowTakesThemPlusOne) {
    const auto tie = [](const PlacedRect& r) { return std::make_tuple(r.x, r.y, r.width, r.height); };
    // The band as read before and after it is moved, where it moves, the mini window and its buttons' top.
    const struct { ScreenRect band, narrowedBand; PlacedRect move, mini; int buttonTop; } cases[] = {
        // task bar along the bottom of a 1024 x 768 screen, band at its top left
        {{0, 738, 1024, 768}, {0, 738, 924, 768}, {0, 0, 924, 30}, {924, 738, 101, 30}, 7},
        // band further in and lower than the task bar's top: only its left edge is kept
        {{150, 2, 850, 29}, {150, 0, 750, 27}, {150, 0, 600, 27}, {750, 0, 101, 27}, 5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(tie(NarrowedBand(c.band)), tie(c.move));
        const PlacedRect mini = MiniWindowBeside(c.narrowedBand);
        EXPECT_EQ(tie(mini), tie(c.mini));
        EXPECT_EQ(MiniButtonTop(mini.height), c.buttonTop);
        EXPECT_NE(TaskbarLayoutKeyOf(c.band), TaskbarLayoutKeyOf(c.narrowedBand)) << "narrowing is a change";
    }
}

TEST(VolumeNotice, FirstRefreshIsQuietAndAChangeShowsForOneSecondInRedAtZero) {
    const struct { int32_t volume; uint32_t now; bool show, hide, draw; } steps[] = {
        {80, 5000, false, false, false},  // the first refresh
        {75, 6000, true, false, true},   {75, 6999, false, false, true},
        {75, 7000, false, false, false},  // one second exactly: over, but not yet "more than"
        {75, 7001, false, true, false},  {75, 7042, false, false, false},
        {0, 0xFFFFFF00u, true, false, true}, {0, 0x100u, false, false, true}, {0, 0x2E9u, false, true, false},  // the wrap
    };
    VolumeNotice notice;
    for (const auto& s : steps) {
        const VolumeNoticeStep step = StepVolumeNotice(notice, s.volume, s.now);
        EXPECT_EQ(std::make_tuple(step.showTextArea, step.hideTextAreaIfHovered, step.drawNotice),
                  std::make_tuple(s.show, s.hide, s.draw)) << s.now;
    }
    EXPECT_EQ(VolumeNoticeText(75), "Volume 75%");
    EXPECT_EQ(VolumeNoticeText(0), "Volume 0%");
    EXPECT_EQ(std::make_pair(VolumeNoticeColours(0).light, VolumeNoticeColours(0).dark), std::make_pair(0x0000FFu, 0x000096u));
    EXPECT_EQ(std::make_pair(VolumeNoticeColours(5).light, VolumeNoticeColours(100).dark), std::make_pair(0x00FF00u, 0x009600u));
}

TEST(Oscilloscope, HalfwayRowsRoundToEvenNothingIsClampedAndOnlyGreensFade) {
    const struct { float sample; int row; } rows[] = {{1.0f, 98}, {0.0f, 50}, {-1.0f, 2}, {0.03125f, 52},
                                                      {0.09375f, 54}, {-0.03125f, 48}, {1.03125f, 100}};
    for (const auto& r : rows) EXPECT_EQ(TraceRow(r.sample), r.row) << r.sample;
    EXPECT_LT(TraceRow(-1.1f), 0);
    const int nan = TraceRow(std::numeric_limits<float>::quiet_NaN());
    EXPECT_TRUE(nan < -1000 || nan > 1000) << "not a number must land far off the surface";
    EXPECT_GT(TraceRow(std::numeric_limits<float>::infinity()), 1000);
    EXPECT_EQ(MiniTraceRow(0.0f, 25), 12);  // integer half of an odd height
    const int fades[][2] = {{50, 45}, {5, 0}, {4, 0}, {1, 0}, {0, -1}, {51, -1}, {255, -1}};
    for (const auto& f : fades) EXPECT_EQ(FadedGreen(f[0]), f[1]) << f[0];
}

TEST(Oscilloscope, WideTextSlidesBetweenTheEndsAndTextThatFitsIsCentred) {
    const struct { int text, frames, area, visible; std::vector<int> drawn; } cases[] = {
        {183, 8, 200, 180, {10, 9, 8, 7, 8, 9, 10, 9}}, {181, 4, 200, 180, {10, 9, 10, 9}},
        {102, 1, 101, 101, {10}},  // the mini window scrolls what is wider
    };
    for (const auto& c : cases) {
        ScrollState s;
        std::vector<int> drawn;
        for (int frame = 0; frame < c.frames; ++frame) StepScroll(s, c.text, c.area, c.visible), drawn.push_back(TextDrawX(s));
        EXPECT_EQ(drawn, c.drawn) << c.text;
    }
    ScrollState s{10, -1};
    StepScroll(s, 180, 200, 180);
    EXPECT_EQ(std::make_pair(s.offset, s.step), std::make_pair(10, -1));
    StepScroll(s, 50, 200, 180);
    EXPECT_EQ(std::make_pair(s.offset, TextDrawX(s)), std::make_pair(75, 76));
    ScrollState mini;
    StepScroll(mini, 101, 101, 101);  // the mini window centres what fits it exactly
    EXPECT_EQ(mini.offset, 0);
}

TEST(StatusText, LongTextsAreShortenedAndStreamTitlesJoinWhatThereIs) {
    const std::string path = "http://radio.example.org/streams/very/long/path\\Sender\\live.mp3";
    const std::string url = "http://radio.example.org:8000/stream/live-high-quality.mp3";
    EXPECT_EQ(ShortenText("Radio Eins", " ", 40, false, "..."), "Radio Eins");
    EXPECT_EQ(ShortenText(std::string(40, 'x'), " ", 40, false, "..."), std::string(40, 'x'));
    EXPECT_EQ(ShortenText(std::string(41, 'a'), " ", 40, false, "..."), std::string(40, 'a') + "...");
    // From the right: the tail from a separator, or the last 40 characters without one.
    EXPECT_EQ(ShortenText(path, "\\", 40, true, "..."), "...\\Sender\\live.mp3");
    EXPECT_EQ(ShortenText(url, "\\", 40, true, "..."), "..." + url.substr(url.size() - 40));
    const StreamTitleTexts t = StreamTitleAnnouncement("Radio Eins", "http://r/", "128", "K\xFCnstler", "Lied");
    EXPECT_EQ(std::tie(t.balloonTitle, t.balloonText, t.tooltip, t.displayText),
              std::make_tuple("Radio Eins (128 kbps)", "K\xFCnstler - Lied", "Radio Eins (128 kbps) - K\xFCnstler - Lied",
                              "Radio Eins - K\xFCnstler - Lied (128 kbps)"));
    const StreamTitleTexts part = StreamTitleAnnouncement("Radio", "", "64", "", "Nachrichten");  // missing parts still join
    EXPECT_EQ(std::tie(part.balloonText, part.displayText), std::make_tuple(" - Nachrichten", "Radio -  - Nachrichten (64 kbps)"));
    EXPECT_EQ(StreamTitleAnnouncement("", url, "192", "A", "B").balloonTitle,  // an unnamed station: its address tail
              "..." + url.substr(url.size() - 40) + " (192 kbps)");
}

namespace {

struct Canvas {
    std::vector<uint32_t> pixels;
    PixelBuffer buffer;
    Canvas(int width, int height) : pixels(static_cast<size_t>(width) * height, 0), buffer{pixels.data(), width, height} {}
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * buffer.width + x]; }
    long Count(uint32_t colour) const { return std::count(pixels.begin(), pixels.end(), colour); }
};

constexpr uint32_t kGreen = 0x0000FF00u;

}  // namespace

TEST(ThickLine, RoundDotsPenThickLinesNoGapsAndNothingOutside) {
    Canvas dot(11, 11);
    const int row[] = {5};
    PaintThickPolyline(dot.buffer, row, 1, 5, kGreen);
    // The dot sits on column 0, so only its right half shows: the 5 x 5 disc without its
    // corners has columns of 5, 5 and 3 pixels from its centre outwards.
    EXPECT_EQ(dot.Count(kGreen), 13);
    EXPECT_EQ(std::make_tuple(dot.At(0, 3), dot.At(2, 6), dot.At(2, 7), dot.At(3, 5)), std::make_tuple(kGreen, kGreen, 0u, 0u));
    const std::vector<int> flat(50, 20);
    for (const auto& [pen, top, bottom] : {std::tuple{5, 18, 22}, std::tuple{2, 19, 20}}) {
        Canvas canvas(50, 40);
        PaintThickPolyline(canvas.buffer, flat.data(), 50, pen, kGreen);
        for (int y = top - 1; y <= bottom + 1; ++y)
            EXPECT_EQ(canvas.At(10, y), y >= top && y <= bottom ? kGreen : 0u) << pen << ": " << y;
    }
    Canvas steep(4, 100);
    const int rows[] = {5, 90};
    PaintThickPolyline(steep.buffer, rows, 2, 2, kGreen);
    for (int y = 5; y <= 90; ++y) EXPECT_TRUE(steep.At(0, y) == kGreen || steep.At(1, y) == kGreen) << y;
    Canvas far(20, 20), untouched(5, 5);
    const int farRows[] = {-1000000, 1000000, 10, -5};
    PaintThickPolyline(far.buffer, farRows, 4, 5, kGreen);  // under the sanitizers: no write outside
    EXPECT_GT(far.Count(kGreen), 0);
    PaintThickPolyline(untouched.buffer, farRows + 2, 0, 5, kGreen);
    PaintThickPolyline(untouched.buffer, farRows + 2, 1, 0, kGreen);
    PixelBuffer empty;
    PaintThickPolyline(empty, farRows + 2, 1, 5, kGreen);
    EXPECT_EQ(untouched.Count(kGreen), 0);
}
