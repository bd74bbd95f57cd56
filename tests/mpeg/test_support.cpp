#include "test_support.h"

#include <algorithm>

OurPcm DecodeWithOurs(const std::vector<uint8_t>& data, size_t chunk) {
    OurPcm pcm;
    mpeg::DecoderPtr decoder = mpeg::CreateDecoder();
    std::vector<uint8_t> pending;
    std::vector<float> frame(mpeg::kMaxFrameFloats);
    for (size_t fed = 0;;) {
        if (pending.empty() || fed < data.size()) {
            const size_t n = chunk == 0 ? data.size() - fed : std::min(chunk, data.size() - fed);
            pending.insert(pending.end(), data.begin() + static_cast<long>(fed), data.begin() + static_cast<long>(fed + n));
            fed += n;
        }
        mpeg::FrameOutput out;
        const mpeg::Result result = mpeg::DecodeFrame(*decoder, pending.data(), pending.size(), fed == data.size(), frame.data(), out);
        pending.erase(pending.begin(), pending.begin() + static_cast<long>(out.consumed));
        // The decoder ends with EndOfData; NeedMoreData with everything fed would be a fault.
        if (result == mpeg::Result::EndOfData || (result == mpeg::Result::NeedMoreData && fed == data.size())) break;
        if (result == mpeg::Result::NeedMoreData || result == mpeg::Result::InfoFrame) continue;
        pcm.channels = out.channels;
        pcm.sampleRate = out.sampleRate;
        if (out.damaged) pcm.damaged.push_back(pcm.frames);
        ++pcm.frames;
        pcm.samples.insert(pcm.samples.end(), frame.begin(), frame.begin() + out.samples * out.channels);
    }
    return pcm;
}

std::vector<uint8_t> Rewritten(std::vector<uint8_t> stream, Rewrite how) {
    mpeg::FrameHeader h;
    for (size_t pos = 0; pos + 4 <= stream.size() && mpeg::ParseFrameHeader(&stream[pos], h) && h.frameBytes > 0;
         pos += static_cast<size_t>(h.frameBytes)) {
        if (how == Rewrite::FreeFormat) stream[pos + 2] &= 0x0F;
        else if (h.mode == mpeg::ChannelMode::JointStereo) stream[pos + 3] |= 0x10;
    }
    return stream;
}
