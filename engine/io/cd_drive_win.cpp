// A CD-ROM drive's device (\\.\D:): the table of contents (IOCTL_CDROM_READ_TOC_EX, else
// IOCTL_CDROM_READ_TOC), raw audio sectors (IOCTL_CDROM_RAW_READ) and CD-Text.
#include <windows.h>
#include <winioctl.h>
#include <ntddcdrm.h>

#include <cstring>
#include <vector>

#include "io/cd_drive.h"

namespace engine {
namespace {

// The requests as the drivers expect them on 64-bit Windows.
static_assert(sizeof(CDROM_READ_TOC_EX) == 4, "CDROM_READ_TOC_EX is four bytes");
static_assert(sizeof(TRACK_DATA) == 8 && offsetof(TRACK_DATA, Address) == 4, "TRACK_DATA layout");
static_assert(sizeof(CDROM_TOC) == 4 + 8 * MAXIMUM_NUMBER_TRACKS, "CDROM_TOC layout");
static_assert(sizeof(RAW_READ_INFO) == 16 && offsetof(RAW_READ_INFO, SectorCount) == 8 &&
                  offsetof(RAW_READ_INFO, TrackMode) == 12,
              "RAW_READ_INFO layout");
static_assert(sizeof(CDROM_TOC_CD_TEXT_DATA_BLOCK) == 18, "CD-Text packs are 18 bytes");

constexpr DWORD kCdTextBytes = 64 * 1024;
constexpr uint32_t kLeadOutTrack = 0xAA;

CdStatus StatusOf(DWORD error) {
    switch (error) {
    case ERROR_NOT_READY:
    case ERROR_MEDIA_CHANGED:
    case ERROR_NO_MEDIA_IN_DRIVE:
    case ERROR_UNRECOGNIZED_MEDIA: return CdStatus::kNoDisc;
    default: return CdStatus::kFailed;
    }
}

uint32_t SectorOf(const TRACK_DATA& track, bool msf) {
    const UCHAR* a = track.Address;
    if (!msf) return uint32_t(a[0]) << 24 | uint32_t(a[1]) << 16 | uint32_t(a[2]) << 8 | a[3];
    const uint32_t frames = (uint32_t(a[1]) * 60 + a[2]) * 75 + a[3];
    return frames >= 150 ? frames - 150 : 0;  // MSF counts the two-second lead-in
}

class CdDrive : public CdDevice {
public:
    explicit CdDrive(HANDLE device) : device_(device) {}
    ~CdDrive() override { CloseHandle(device_); }

    CdStatus ReadToc(std::vector<CdTrack>* tracks) override {
        CDROM_TOC toc{};
        bool msf = false;
        CDROM_READ_TOC_EX request{};
        request.Format = CDROM_READ_TOC_EX_FORMAT_TOC;
        request.SessionTrack = 1;
        if (!Ask(IOCTL_CDROM_READ_TOC_EX, &request, sizeof request, &toc, sizeof toc)) {
            const DWORD error = GetLastError();
            if (StatusOf(error) == CdStatus::kNoDisc) return CdStatus::kNoDisc;
            msf = true;  // older drivers: the plain request, with minute/second/frame addresses
            if (!Ask(IOCTL_CDROM_READ_TOC, nullptr, 0, &toc, sizeof toc)) return StatusOf(GetLastError());
        }
        if (toc.FirstTrack == 0 || toc.LastTrack < toc.FirstTrack || toc.LastTrack - toc.FirstTrack + 1 >= MAXIMUM_NUMBER_TRACKS)
            return CdStatus::kFailed;
        tracks->clear();
        const int count = toc.LastTrack - toc.FirstTrack + 1;
        for (int i = 0; i < count; ++i) {
            const TRACK_DATA& track = toc.TrackData[i];
            const TRACK_DATA& next = toc.TrackData[i + 1];  // the lead-out after the last
            const uint32_t start = SectorOf(track, msf), end = SectorOf(next, msf);
            if (i + 1 == count && next.TrackNumber != kLeadOutTrack) return CdStatus::kFailed;
            tracks->push_back({track.TrackNumber, start, end > start ? end - start : 0, (track.Control & 0x4) == 0});
        }
        return CdStatus::kOk;
    }

    CdStatus ReadAudio(uint32_t sector, uint32_t count, uint8_t* out) override {
        RAW_READ_INFO request{};
        request.DiskOffset.QuadPart = static_cast<LONGLONG>(sector) * 2048;  // in cooked sectors, as the driver counts
        request.SectorCount = count;
        request.TrackMode = CDDA;
        const DWORD bytes = static_cast<DWORD>(count * kCdSectorBytes);
        DWORD got = 0;
        if (!DeviceIoControl(device_, IOCTL_CDROM_RAW_READ, &request, sizeof request, out, bytes, &got, nullptr))
            return StatusOf(GetLastError());
        return got == bytes ? CdStatus::kOk : CdStatus::kFailed;
    }

    bool ReadCdText(std::vector<uint8_t>* packs) override {
        std::vector<uint8_t> answer(kCdTextBytes);
        CDROM_READ_TOC_EX request{};
        request.Format = CDROM_READ_TOC_EX_FORMAT_CDTEXT;
        if (!Ask(IOCTL_CDROM_READ_TOC_EX, &request, sizeof request, answer.data(), kCdTextBytes)) return false;
        const size_t length = size_t(answer[0]) << 8 | answer[1];  // after the length field itself
        if (length < 2 + 18 || length + 2 > answer.size()) return false;
        packs->assign(answer.begin() + 4, answer.begin() + 2 + long(length));
        return true;
    }

private:
    bool Ask(DWORD code, void* in, DWORD inBytes, void* out, DWORD outBytes) {
        DWORD got = 0;
        return DeviceIoControl(device_, code, in, inBytes, out, outBytes, &got, nullptr) != 0;
    }

    HANDLE device_;
};

}  // namespace

std::unique_ptr<CdDevice> OpenCdDrive(const char* path, FMOD_RESULT* result) {
    *result = FMOD_OK;
    if (!IsDriveName(path)) return nullptr;
    const char root[] = {path[0], ':', '\\', '\0'};
    if (GetDriveTypeA(root) != DRIVE_CDROM) return nullptr;
    const char name[] = {'\\', '\\', '.', '\\', path[0], ':', '\0'};
    // No box about a missing disc: the open fails quietly instead.
    const UINT errorMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    HANDLE device = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    SetErrorMode(errorMode);
    if (device == INVALID_HANDLE_VALUE) {
        *result = FMOD_ERR_CDDA_READ;
        return nullptr;
    }
    return std::make_unique<CdDrive>(device);
}

}  // namespace engine
