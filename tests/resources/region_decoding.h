#pragma once
#include <cstdint>
#include <vector>

// Reads region data the way ExtCreateRgn does, independently of the code that writes it.
struct DecodedRect {
    int32_t left, top, right, bottom;
    bool operator==(const DecodedRect&) const = default;
};

struct DecodedRegion {
    uint32_t headerSize = 0;
    uint32_t type = 0;
    uint32_t count = 0;
    uint32_t rectBytes = 0;
    DecodedRect bound{};
    std::vector<DecodedRect> rects;
};

inline int32_t ReadLittleEndian32(const std::vector<uint8_t>& bytes, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | bytes.at(at + static_cast<size_t>(i));
    return static_cast<int32_t>(value);
}

inline DecodedRect ReadRect(const std::vector<uint8_t>& bytes, size_t at) {
    return {ReadLittleEndian32(bytes, at), ReadLittleEndian32(bytes, at + 4), ReadLittleEndian32(bytes, at + 8),
            ReadLittleEndian32(bytes, at + 12)};
}

// Reads as many rectangles as the bytes hold after the 32-byte header.
inline DecodedRegion DecodeRegion(const std::vector<uint8_t>& bytes) {
    DecodedRegion region;
    if (bytes.size() < 32)
        return region;
    region.headerSize = static_cast<uint32_t>(ReadLittleEndian32(bytes, 0));
    region.type = static_cast<uint32_t>(ReadLittleEndian32(bytes, 4));
    region.count = static_cast<uint32_t>(ReadLittleEndian32(bytes, 8));
    region.rectBytes = static_cast<uint32_t>(ReadLittleEndian32(bytes, 12));
    region.bound = ReadRect(bytes, 16);
    for (size_t at = 32; at + 16 <= bytes.size(); at += 16)
        region.rects.push_back(ReadRect(bytes, at));
    return region;
}

inline bool RegionCovers(const DecodedRegion& region, int x, int y) {
    for (const DecodedRect& r : region.rects)
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
            return true;
    return false;
}
