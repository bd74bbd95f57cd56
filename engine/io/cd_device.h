#pragma once
// An audio CD as the library reads it: the table of contents, raw audio sectors and the
// CD-Text packs, behind a small interface (the drive's device on Windows, disc images in
// the tests).
#include <cstddef>
#include <cstdint>
#include <vector>

namespace engine {

constexpr size_t kCdSectorBytes = 2352;       // 588 frames of 16-bit stereo
constexpr uint32_t kCdFramesPerSector = 588;
constexpr uint32_t kCdSectorsPerSecond = 75;

struct CdTrack {
    int number = 0;
    uint32_t start = 0;    // first sector (logical block address)
    uint32_t sectors = 0;  // up to the next track or the lead-out
    bool audio = true;     // false for data tracks (control bit 2)
};

enum class CdStatus { kOk, kFailed, kNoDisc };

class CdDevice {
public:
    virtual ~CdDevice() = default;
    // Every track of the disc in order, data tracks included.
    virtual CdStatus ReadToc(std::vector<CdTrack>* tracks) = 0;
    // `count` raw audio sectors from `sector` into out (count * kCdSectorBytes bytes).
    virtual CdStatus ReadAudio(uint32_t sector, uint32_t count, uint8_t* out) = 0;
    // The disc's CD-Text packs (18 bytes each); false when it has none.
    virtual bool ReadCdText(std::vector<uint8_t>* packs) = 0;
};

}  // namespace engine
