// Seeking in Ogg FLAC: bisection over the pages' granule positions (the sample count at the
// end of the last packet completed on the page).
#include <algorithm>

#include "containers/ogg_page.h"
#include "flac/ogg_flac.h"

namespace flac {
namespace {

constexpr size_t kScanBytes = 64 * 1024;
constexpr uint64_t kLinearBytes = 64 * 1024;

struct PageSpot {
    uint64_t offset = 0;
    uint64_t bytes = 0;
    uint64_t granule = 0;
};

// The first page of `serial` with a granule position that starts in [from, limit).
bool FindPage(ByteSource& source, uint32_t serial, uint64_t from, uint64_t limit, std::vector<uint8_t>& window,
              PageSpot& out) {
    window.resize(kScanBytes + container::kOggMaxPageBytes);  // any page that starts in the scanned part fits
    uint64_t pos = from;
    while (pos < limit) {
        size_t n = source.ReadAt(pos, window.data(), window.size());
        if (n < 27)
            return false;
        size_t scan = std::min(n, kScanBytes);
        size_t i = 0;
        while (i < scan && pos + i < limit) {
            container::OggPage page;
            if (container::ParseOggPage(&window[i], n - i, page) == container::OggParse::kOk) {
                if (page.serial == serial && page.granule != container::kOggNoGranule) {
                    out = {pos + i, page.totalBytes, page.granule};
                    return true;
                }
                i += page.totalBytes;
            } else {
                i += container::NextOggCapture(&window[i], n - i);
            }
        }
        if (n < window.size() && i >= scan)
            return false;
        pos += std::max<size_t>(i, 1);
    }
    return false;
}

}  // namespace

Result OggFlacDecoder::FindSeekTarget(ByteSource& source, uint64_t targetSample, SeekTarget& out) const {
    if (!haveMetadata_)
        return Result::NotFound;
    const uint64_t end = source.Size();
    if (meta_.info.totalSamples && targetSample >= meta_.info.totalSamples) {
        out = {end, meta_.info.totalSamples};
        return Result::Ok;
    }
    std::vector<uint8_t> window;
    uint64_t lo = meta_.audioOffset, hi = end, best = meta_.audioOffset;
    PageSpot page;
    while (hi > lo && hi - lo > kLinearBytes) {
        uint64_t mid = lo + (hi - lo) / 2;
        if (FindPage(source, serial_, mid, hi, window, page) && page.granule <= targetSample) {
            best = page.offset;
            lo = page.offset + page.bytes;
        } else {
            hi = mid;
        }
    }
    for (uint64_t pos = lo; FindPage(source, serial_, pos, end, window, page) && page.granule <= targetSample;
         pos = page.offset + page.bytes)
        best = page.offset;

    // Every frame from the chosen page on starts at or after its granule position, so the
    // one holding the target is among them; the first of them says where dropping starts.
    for (uint64_t start : {best, meta_.audioOffset}) {
        OggFlacDecoder probe;
        probe.haveSerial_ = true;
        probe.serial_ = serial_;
        probe.haveMetadata_ = true;
        probe.meta_ = meta_;
        probe.Restart(start);
        uint64_t pos = start;
        window.resize(kScanBytes);
        Result r;
        while ((r = probe.NextFrame()) == Result::NeedMoreData) {
            size_t n = source.ReadAt(pos, window.data(), window.size());
            probe.Feed(window.data(), n);
            pos += n;
            if (n < window.size())
                probe.FinishInput();
        }
        if (r == Result::Ok && probe.frame_.header.firstSample <= targetSample) {
            out = {start, probe.frame_.header.firstSample};
            return Result::Ok;
        }
    }
    return Result::NotFound;
}

}  // namespace flac
