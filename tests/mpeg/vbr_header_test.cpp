// The Xing/Info frame with the LAME tag, and the VBRI header with its seek table.
#include <gtest/gtest.h>

#include "mpeg/mpeg_stream.h"
#include "test_support.h"

namespace {

// (Delay, padding and the TOC show in the exact lengths and the TOC seeks.)
TEST(XingHeader, InfoFramesAreNoAudioAndCutOffTagsGiveWhatIsThere) {
    const struct { const char* file; bool xing, info; } cases[] = {
        {"l3_cbr128.mp3", true, true}, {"l3_vbr.mp3", true, false}, {"l3_notag.mp3", false, false}};
    for (const auto& c : cases) {
        const std::vector<uint8_t> data = LoadFixture(c.file);
        mpeg::XingInfo xing;
        EXPECT_EQ(mpeg::ParseXing(data.data(), 417, xing), c.xing) << c.file;
        EXPECT_EQ(xing.isInfo, c.info) << c.file;
        EXPECT_EQ(mpeg::IsVbrInfoFrame(data.data(), 417), c.xing) << c.file;
        EXPECT_EQ(DecodeWithOurs(data).infoFrames, c.xing ? 1 : 0) << c.file;
    }
    const std::vector<uint8_t> data = LoadFixture("l3_vbr.mp3");
    for (size_t size : {4, 40, 44, 60, 140, 160}) {
        mpeg::XingInfo xing;
        EXPECT_EQ(mpeg::ParseXing(data.data(), size, xing), size >= 44) << size;
        EXPECT_FALSE(xing.hasLameTag) << size;
    }
}

// A VBRI frame in front of real CBR frames, its table holding the true sizes of each run
// of frames: a seek planned from the table lands on the frame it names.
struct VbriStream {
    std::vector<uint8_t> data;
    std::vector<uint64_t> offsets;
};

VbriStream MakeVbriStream() {
    const std::vector<uint8_t> frames = LoadFixture("l3_notag.mp3");
    mpeg::StreamInfo plainInfo;
    EXPECT_TRUE(mpeg::ReadStreamInfo(frames.data(), frames.size(), frames.size(), plainInfo));
    const std::vector<uint64_t> plainOffsets = mpeg::ScanFrames(frames.data(), frames.size(), plainInfo);
    constexpr uint32_t kPerEntry = 10;
    const uint32_t entries = static_cast<uint32_t>(plainOffsets.size() / kPerEntry);

    std::vector<uint8_t> vbri(frames.begin(), frames.begin() + 4);  // a 128 kbit/s header
    vbri.resize(417, 0);
    auto put = [&](size_t at, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) vbri[at + i] = static_cast<uint8_t>(value >> (8 * (bytes - 1 - i)));
    };
    std::copy_n("VBRI", 4, vbri.begin() + 36);
    put(40, 1, 2);  // version
    put(46, static_cast<uint32_t>(frames.size()), 4);
    put(50, entries * kPerEntry, 4);
    put(54, entries, 2);
    put(56, 1, 2);  // scale
    put(58, 2, 2);  // bytes per entry
    put(60, kPerEntry, 2);
    for (uint32_t i = 0; i < entries; ++i)
        put(62 + 2 * i, static_cast<uint32_t>(plainOffsets[(i + 1) * kPerEntry] - plainOffsets[i * kPerEntry]), 2);

    VbriStream s;
    s.data = vbri;
    s.data.insert(s.data.end(), frames.begin(), frames.begin() + static_cast<long>(plainOffsets[entries * kPerEntry]));
    for (uint32_t i = 0; i < entries * kPerEntry; ++i) s.offsets.push_back(plainOffsets[i] + vbri.size());
    return s;
}

TEST(VbriHeader, TableLeadsSeeksToTheNamedFrame) {
    const VbriStream s = MakeVbriStream();
    mpeg::StreamInfo info;
    ASSERT_TRUE(mpeg::ReadStreamInfo(s.data.data(), s.data.size(), s.data.size(), info));
    EXPECT_TRUE(info.vbri.present);
    EXPECT_TRUE(info.exact);
    EXPECT_EQ(info.frames, s.offsets.size());
    EXPECT_EQ(info.audioOffset, 417u);
    EXPECT_EQ(DecodeWithOurs(s.data).infoFrames, 1);
    for (uint64_t frame : {0u, 10u, 55u, 200u, 370u}) {
        const mpeg::SeekPlan plan = mpeg::PlanSeek(info, nullptr, frame * 1152);
        ASSERT_LT(plan.frame, s.offsets.size());
        const int64_t error = static_cast<int64_t>(plan.byteOffset) - static_cast<int64_t>(s.offsets[plan.frame]);
        EXPECT_LE(std::llabs(error), 1) << "frame " << frame;
    }
}

TEST(VbriHeader, TableRunningPastTheFrameIsIgnored) {
    VbriStream s = MakeVbriStream();
    s.data[36 + 18] = 0xFF;  // far more entries than the frame holds
    mpeg::VbriInfo vbri;
    ASSERT_TRUE(mpeg::ParseVbri(s.data.data(), 417, vbri));
    EXPECT_TRUE(vbri.entryBytes.empty());
}

}  // namespace
