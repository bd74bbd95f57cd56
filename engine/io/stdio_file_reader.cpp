#include <sys/stat.h>

#include <cstdio>

#include "io/file_reader.h"

namespace engine {
namespace {

#if defined(_WIN32)
int SeekFile(FILE* f, uint64_t offset) { return _fseeki64(f, static_cast<__int64>(offset), SEEK_SET); }
#else
int SeekFile(FILE* f, uint64_t offset) { return fseeko(f, static_cast<off_t>(offset), SEEK_SET); }
#endif

class StdioFileReader : public Reader {
public:
    StdioFileReader(FILE* file, uint64_t size) : file_(file), size_(size) {}
    ~StdioFileReader() override { std::fclose(file_); }
    StdioFileReader(const StdioFileReader&) = delete;
    StdioFileReader& operator=(const StdioFileReader&) = delete;

    int64_t Read(void* buffer, size_t count) override {
        size_t n = std::fread(buffer, 1, count, file_);
        if (n == 0 && std::ferror(file_)) return -1;
        position_ += n;
        return static_cast<int64_t>(n);
    }
    bool Seek(uint64_t offset) override {
        if (offset > size_ || SeekFile(file_, offset) != 0) return false;
        position_ = offset;
        return true;
    }
    uint64_t Tell() const override { return position_; }
    int64_t Size() const override { return static_cast<int64_t>(size_); }
    bool CanSeek() const override { return true; }

private:
    FILE* file_;
    uint64_t size_;
    uint64_t position_ = 0;
};

}  // namespace

std::unique_ptr<Reader> OpenStdioFile(const char* path, FMOD_RESULT* result) {
    *result = FMOD_ERR_FILE_NOTFOUND;
    if (!path || !*path) return nullptr;
    struct stat info {};
    if (stat(path, &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
    FILE* f = std::fopen(path, "rb");
    if (!f) return nullptr;
    *result = FMOD_OK;
    return std::make_unique<StdioFileReader>(f, static_cast<uint64_t>(info.st_size));
}

}  // namespace engine
