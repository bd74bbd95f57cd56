#include "reference_decoder.h"

#include <mpg123.h>
#include <sys/types.h>

#include <cstdio>
#include <cstring>

namespace {

struct MemoryFile {
    const std::vector<uint8_t>* data;
    size_t position;
};

mpg123_ssize_t ReadMemory(void* handle, void* buffer, size_t bytes) {
    auto* file = static_cast<MemoryFile*>(handle);
    const size_t left = file->data->size() - file->position;
    const size_t n = bytes < left ? bytes : left;
    std::memcpy(buffer, file->data->data() + file->position, n);
    file->position += n;
    return static_cast<mpg123_ssize_t>(n);
}

off_t SeekMemory(void* handle, off_t offset, int whence) {
    auto* file = static_cast<MemoryFile*>(handle);
    off_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? static_cast<off_t>(file->position)
                                                             : static_cast<off_t>(file->data->size());
    const off_t target = base + offset;
    if (target < 0 || target > static_cast<off_t>(file->data->size())) return -1;
    file->position = static_cast<size_t>(target);
    return target;
}

}  // namespace

ReferencePcm DecodeWithReference(const std::vector<uint8_t>& data, bool gapless) {
    ReferencePcm pcm;
    mpg123_init();
    int error = 0;
    mpg123_handle* mh = mpg123_new(nullptr, &error);
    if (mh == nullptr) return pcm;
    long flags = MPG123_FORCE_FLOAT | MPG123_QUIET;
    if (gapless) flags |= MPG123_GAPLESS;
    mpg123_param(mh, MPG123_FLAGS, flags, 0);
    mpg123_format_none(mh);
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i) mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);

    MemoryFile file{&data, 0};
    mpg123_replace_reader_handle(mh, ReadMemory, SeekMemory, nullptr);
    if (mpg123_open_handle(mh, &file) != MPG123_OK) {
        mpg123_delete(mh);
        return pcm;
    }
    std::vector<unsigned char> buffer(1 << 16);
    for (;;) {
        size_t done = 0;
        const int result = mpg123_read(mh, buffer.data(), buffer.size(), &done);
        const size_t floats = done / sizeof(float);
        const float* f = reinterpret_cast<const float*>(buffer.data());
        pcm.samples.insert(pcm.samples.end(), f, f + floats);
        if (result == MPG123_NEW_FORMAT) {
            long rate = 0;
            int channels = 0, encoding = 0;
            mpg123_getformat(mh, &rate, &channels, &encoding);
            pcm.sampleRate = static_cast<int>(rate);
            pcm.channels = channels;
            continue;
        }
        if (result == MPG123_DONE) break;
        if (result != MPG123_OK) break;
    }
    pcm.ok = pcm.channels > 0;
    mpg123_close(mh);
    mpg123_delete(mh);
    return pcm;
}
