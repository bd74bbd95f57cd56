// Feeds arbitrary bytes to the MPEG decoder (whole and in pieces whose size the input picks)
// and to the stream helpers: length, frame scan, seek plans, Xing and VBRI parsing.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "mpeg/mpeg.h"
#include "mpeg/mpeg_stream.h"

namespace {

void DecodeAll(const uint8_t* data, size_t size, size_t chunk) {
    mpeg::DecoderPtr decoder = mpeg::CreateDecoder();
    if (!decoder) return;
    std::vector<float> pcm(mpeg::kMaxFrameFloats);
    std::vector<uint8_t> pending;
    size_t fed = 0;
    // Every call consumes a frame, asks for bytes that are then given, or ends: this bound
    // is far above what any input needs and only guards against a regression.
    for (size_t calls = 0; calls < 4 * size + 64; ++calls) {
        if (fed < size) {
            const size_t n = chunk < size - fed ? chunk : size - fed;
            pending.insert(pending.end(), data + fed, data + fed + n);
            fed += n;
        }
        mpeg::FrameOutput out;
        const mpeg::Result r = mpeg::DecodeFrame(*decoder, pending.data(), pending.size(), fed == size, pcm.data(), out);
        if (out.consumed > pending.size()) __builtin_trap();
        pending.erase(pending.begin(), pending.begin() + static_cast<long>(out.consumed));
        if (r == mpeg::Result::Ok) {
            for (int i = 0; i < out.samples * out.channels; ++i)
                if (!(pcm[i] == pcm[i])) __builtin_trap();  // NaN means garbage arithmetic
        }
        if (r == mpeg::Result::EndOfData) return;
        if (r == mpeg::Result::Ok && calls % 97 == 96) mpeg::ResetDecoder(*decoder);
    }
    __builtin_trap();  // the decoder stopped making progress
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t chunk = size > 0 ? 1 + data[0] % 64 : 1;
    DecodeAll(data, size, size + 1);
    DecodeAll(data, size, chunk);

    mpeg::StreamInfo info;
    const size_t head = size < 4096 ? size : 4096;
    mpeg::ReadStreamInfo(data, head, size, info);
    if (mpeg::ReadStreamInfo(data, size, size, info)) {
        const std::vector<uint64_t> offsets = mpeg::ScanFrames(data, size, info);
        for (uint64_t target : {uint64_t{0}, info.length / 2, info.length, info.length + 5000}) {
            const mpeg::SeekPlan exact = mpeg::PlanSeek(info, &offsets, target);
            const mpeg::SeekPlan estimated = mpeg::PlanSeek(info, nullptr, target);
            if (!offsets.empty() && exact.byteOffset >= size) __builtin_trap();
            (void)estimated;
        }
    }
    mpeg::XingInfo xing;
    mpeg::VbriInfo vbri;
    mpeg::ParseXing(data, size, xing);
    mpeg::ParseVbri(data, size, vbri);
    mpeg::Id3v2Size(data, size);
    return 0;
}
