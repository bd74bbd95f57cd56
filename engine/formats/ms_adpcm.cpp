// Microsoft ADPCM: per block and channel a predictor number, a step and the first two
// samples; then one nibble per sample, high nibble first, channels in turn.
#include <algorithm>
#include <climits>

#include "containers/endian.h"
#include "formats/decoder.h"
#include "formats/wav_block_codecs.h"

namespace engine {
namespace {

const int kStepAdaptation[16] = {230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230};
// A hostile step would grow without end: this keeps step * 768 within an int.
constexpr int kMaxStep = INT_MAX / 768;

struct MsState {
    int coef1, coef2;
    int step;
    int sample1, sample2;  // the newest and the one before

    int16_t Next(int nibble) {
        // Wide products: coefficients come from the file and may be anything.
        const int64_t predicted = (int64_t{sample1} * coef1 + int64_t{sample2} * coef2) >> 8;
        const int signedNibble = nibble & 8 ? nibble - 16 : nibble;
        const int value = static_cast<int>(std::clamp<int64_t>(predicted + int64_t{signedNibble} * step, -32768, 32767));
        step = std::clamp(kStepAdaptation[nibble] * step >> 8, 16, kMaxStep);
        sample2 = sample1;
        sample1 = value;
        return static_cast<int16_t>(value);
    }
};

}  // namespace

void DecodeMsAdpcmBlock(const WavBlockCodec& codec, const uint8_t* in, int frames, int16_t* out) {
    const int channels = codec.channels;
    MsState states[kMaxChannels];
    for (int c = 0; c < channels; ++c) {
        int predictor = in[c];
        if (predictor >= codec.numCoefs) predictor = 0;  // as other decoders do
        MsState& s = states[c];
        s.coef1 = codec.coefs[2 * predictor];
        s.coef2 = codec.coefs[2 * predictor + 1];
        s.step = std::clamp<int>(static_cast<int16_t>(container::Le16(in + channels + 2 * c)), 16, kMaxStep);
        s.sample1 = static_cast<int16_t>(container::Le16(in + 3 * channels + 2 * c));
        s.sample2 = static_cast<int16_t>(container::Le16(in + 5 * channels + 2 * c));
        out[c] = static_cast<int16_t>(s.sample2);
        if (frames > 1) out[channels + c] = static_cast<int16_t>(s.sample1);
    }
    const uint8_t* data = in + 7 * channels;
    const int samples = (frames - 2) * channels;
    for (int i = 0; i < samples; ++i) {
        const uint8_t byte = data[i / 2];
        out[2 * channels + i] = states[i % channels].Next(i & 1 ? byte & 15 : byte >> 4);
    }
}

}  // namespace engine
