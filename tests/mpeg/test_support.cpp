#include "test_support.h"

#include <algorithm>

OurPcm DecodeWithOurs(const std::vector<uint8_t>& data, size_t chunk) {
    OurPcm pcm;
    mpeg::DecoderPtr decoder = mpeg::CreateDecoder();
    std::vector<uint8_t> pending;
    size_t fed = 0;
    std::vector<float> frame(mpeg::kMaxFrameFloats);
    for (;;) {
        if (pending.empty() || fed < data.size()) {
            const size_t n = chunk == 0 ? data.size() - fed : std::min(chunk, data.size() - fed);
            pending.insert(pending.end(), data.begin() + static_cast<long>(fed), data.begin() + static_cast<long>(fed + n));
            fed += n;
        }
        const bool end = fed == data.size();
        mpeg::FrameOutput out;
        const mpeg::Result result = mpeg::DecodeFrame(*decoder, pending.data(), pending.size(), end, frame.data(), out);
        pending.erase(pending.begin(), pending.begin() + static_cast<long>(out.consumed));
        if (result == mpeg::Result::EndOfData) break;
        if (result == mpeg::Result::NeedMoreData) {
            if (end) break;  // cannot happen: the decoder ends with EndOfData
            continue;
        }
        if (result == mpeg::Result::InfoFrame) {
            ++pcm.infoFrames;
            continue;
        }
        pcm.channels = out.channels;
        pcm.sampleRate = out.sampleRate;
        ++pcm.frames;
        if (out.damaged) pcm.damaged.push_back(pcm.frames - 1);
        pcm.samples.insert(pcm.samples.end(), frame.begin(), frame.begin() + out.samples * out.channels);
    }
    return pcm;
}
