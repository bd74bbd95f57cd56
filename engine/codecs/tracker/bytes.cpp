#include "bytes.h"

#include <cstring>

namespace tracker {

bool Bytes::Matches(size_t at, const char* text, size_t count) const {
    return Has(at, count) && std::memcmp(data + at, text, count) == 0;
}

std::string TextField(const Bytes& in, size_t at, size_t count, bool zerosAsSpaces) {
    std::string text;
    for (size_t i = 0; i < count && in.Has(at + i, 1); ++i) {
        const uint8_t c = in.U8(at + i);
        if (c == 0 && !zerosAsSpaces) break;
        text.push_back(c < 0x20 ? ' ' : static_cast<char>(c));
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

}  // namespace tracker
