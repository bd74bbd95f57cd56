// MPEG audio: through the engine (tags at both ends, length, seeking), then the decoder
// itself fed whole and in pieces whose size the input picks, and the stream helpers.
#include <vector>

#include "fuzz_codec_decode.h"
#include "mpeg/mpeg.h"
#include "mpeg/mpeg_stream.h"
#include "simd.h"

namespace {

void DecodeInPieces(const uint8_t* data, size_t size, size_t chunk) {
    mpeg::DecoderPtr decoder = mpeg::CreateDecoder();
    std::vector<float> pcm(mpeg::kMaxFrameFloats);
    std::vector<uint8_t> pending;
    size_t fed = 0;
    // Every call consumes a frame, asks for bytes that are then given, or ends: the bound
    // only guards against a decoder that stops making progress.
    for (size_t calls = 0; calls < 4 * size + 64; ++calls) {
        const size_t n = std::min(chunk, size - fed);
        pending.insert(pending.end(), data + fed, data + fed + n);
        fed += n;
        mpeg::FrameOutput out;
        const mpeg::Result r = mpeg::DecodeFrame(*decoder, pending.data(), pending.size(), fed == size, pcm.data(), out);
        if (out.consumed > pending.size()) __builtin_trap();
        pending.erase(pending.begin(), pending.begin() + static_cast<long>(out.consumed));
        for (int i = 0; r == mpeg::Result::Ok && i < out.samples * out.channels; ++i)
            if (!(pcm[i] == pcm[i])) __builtin_trap();  // NaN means garbage arithmetic
        if (r == mpeg::Result::EndOfData) return;
        if (r == mpeg::Result::Ok && calls % 97 == 96) mpeg::ResetDecoder(*decoder);
    }
    __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzOpenAndDecode(engine::OpenMpeg, data, size);
    DecodeInPieces(data, size, size + 1);
    // The piecewise pass runs the plain kernels, so both kinds meet every input.
    mpeg::SimdAllowed() = false;
    DecodeInPieces(data, size, size > 0 ? 1 + data[0] % 64 : 1);
    mpeg::SimdAllowed() = true;
    mpeg::StreamInfo info;
    mpeg::ReadStreamInfo(data, std::min<size_t>(size, 4096), size, info);
    if (mpeg::ReadStreamInfo(data, size, size, info)) {
        const std::vector<uint64_t> offsets = mpeg::ScanFrames(data, size, info);
        for (uint64_t target : {uint64_t{0}, info.length / 2, info.length, info.length + 5000}) {
            if (!offsets.empty() && mpeg::PlanSeek(info, &offsets, target).byteOffset >= size) __builtin_trap();
            mpeg::PlanSeek(info, nullptr, target);
        }
    }
    if (mpeg::FindFrameRun(data, size, true, size / 2) > size) __builtin_trap();
    mpeg::XingInfo xing;
    mpeg::VbriInfo vbri;
    mpeg::ParseXing(data, size, xing);
    mpeg::ParseVbri(data, size, vbri);
    mpeg::Id3v2Size(data, size);
    return 0;
}
