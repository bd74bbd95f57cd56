#include "mod_layout.h"

#include <algorithm>
#include <cstring>

#include "bytes.h"

namespace tracker {
namespace {

constexpr size_t kTagAt = 1080;
constexpr int kMaxChannels = 64;

bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

// Channels for a tag, 0 for none we know.
ModLayout FromTag(const Bytes& in) {
    ModLayout layout;
    const auto tag = [&](const char* t) { return in.Matches(kTagAt, t, 4); };
    const uint8_t t0 = in.U8(kTagAt), t1 = in.U8(kTagAt + 1);
    if (tag("M.K.") || tag("M!K!") || tag("M&K!") || tag("N.T.") || tag("FLT4") || tag("4CHN"))
        layout.channels = 4;
    else if (tag("FLT8")) {
        layout.channels = 8;
        layout.splitEightChannels = true;
    } else if (tag("CD81") || tag("OKTA") || tag("OCTA"))
        layout.channels = 8;
    else if (IsDigit(t0) && in.Matches(kTagAt + 1, "CHN", 3))
        layout.channels = t0 - '0';
    else if (IsDigit(t0) && IsDigit(t1) && (in.Matches(kTagAt + 2, "CH", 2) || in.Matches(kTagAt + 2, "CN", 2)))
        layout.channels = (t0 - '0') * 10 + (t1 - '0');
    else if (in.Matches(kTagAt, "TDZ", 3) && IsDigit(in.U8(kTagAt + 3)))
        layout.channels = in.U8(kTagAt + 3) - '0';
    if (layout.channels > kMaxChannels) layout.channels = 0;
    return layout;
}

bool PlausibleText(const Bytes& in, size_t at, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const uint8_t c = in.U8(at + i);
        if (c != 0 && (c < 0x20 || c > 0x7E)) return false;
    }
    return true;
}

// No signature: every field must look like a Soundtracker header (the loader also wants
// the patterns the order list names in the file; a probe sees only the head).
ModLayout FromSoundtrackerHeader(const Bytes& in) {
    ModLayout none;
    if (in.size < 600 || !PlausibleText(in, 0, 20)) return none;
    uint32_t sampleBytes = 0;
    for (int i = 0; i < 15; ++i) {
        const size_t at = 20 + size_t(i) * 30;
        if (!PlausibleText(in, at, 22) || in.U8(at + 24) != 0 || in.U8(at + 25) > 64) return none;
        if (in.U16be(at + 22) > 32768) return none;
        sampleBytes += uint32_t(in.U16be(at + 22)) * 2;
    }
    const int songLength = in.U8(470);
    if (songLength == 0 || songLength > 128 || sampleBytes == 0) return none;
    for (int i = 0; i < 128; ++i)
        if (in.U8(472 + i) > 63) return none;
    ModLayout layout;
    layout.channels = 4;
    layout.samples = 15;
    return layout;
}

}  // namespace

ModLayout DetectModLayout(const uint8_t* data, size_t size) {
    const Bytes in{data, size};
    const ModLayout tagged = FromTag(in);
    if (tagged.channels > 0) return tagged;
    return FromSoundtrackerHeader(in);
}

}  // namespace tracker
