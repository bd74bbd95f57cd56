#include "reference_decoder.h"

#include <mpg123.h>
#include <sys/types.h>

#include <cstring>

namespace {

struct MemoryFile {
    const std::vector<uint8_t>& data;
    size_t position;
};

mpg123_ssize_t ReadMemory(void* handle, void* buffer, size_t bytes) {
    auto* file = static_cast<MemoryFile*>(handle);
    const size_t n = std::min(bytes, file->data.size() - file->position);
    std::memcpy(buffer, file->data.data() + file->position, n);
    file->position += n;
    return static_cast<mpg123_ssize_t>(n);
}

}  // namespace

ReferencePcm DecodeWithReference(const std::vector<uint8_t>& data, bool gapless) {
    ReferencePcm pcm;
    mpg123_init();
    mpg123_handle* mh = mpg123_new(nullptr, nullptr);
    if (mh == nullptr) return pcm;
    mpg123_param(mh, MPG123_FLAGS, MPG123_FORCE_FLOAT | MPG123_QUIET | (gapless ? MPG123_GAPLESS : 0), 0);
    mpg123_format_none(mh);
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i) mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);
    MemoryFile file{data, 0};
    mpg123_replace_reader_handle(mh, ReadMemory, nullptr, nullptr);  // not seekable: read straight through
    for (int result = mpg123_open_handle(mh, &file); result == MPG123_OK || result == MPG123_NEW_FORMAT;) {
        std::vector<float> buffer(1 << 14);
        size_t done = 0;
        result = mpg123_read(mh, buffer.data(), buffer.size() * sizeof(float), &done);
        pcm.samples.insert(pcm.samples.end(), buffer.begin(), buffer.begin() + static_cast<long>(done / sizeof(float)));
        long rate = 0;
        int encoding = 0;
        if (result == MPG123_NEW_FORMAT) mpg123_getformat(mh, &rate, &pcm.channels, &encoding), pcm.sampleRate = static_cast<int>(rate);
    }
    pcm.ok = pcm.channels > 0;
    mpg123_close(mh);
    mpg123_delete(mh);
    return pcm;
}
