#pragma once
// The head of a server's answer: "ICY 200 OK" (SHOUTCAST style) or "HTTP/1.x NNN"
// (Icecast style), then header lines up to an empty line. Pure parsing of bytes
// already received; the caller keeps feeding until the head is complete.
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace engine {

struct ResponseHead {
    bool icy = false;  // "ICY 200 OK"
    int status = 0;
    std::vector<std::pair<std::string, std::string>> headers;  // names in lower case, in order
};

enum class HeadParse { kIncomplete, kComplete, kBad };

// A head larger than this is refused: servers answer with a few hundred bytes.
constexpr size_t kMaxHeadBytes = 16 * 1024;
constexpr size_t kMaxHeaderLines = 100;

// Parses data[0..size). kComplete sets *headBytes to the bytes the head took
// (the audio starts right after). kIncomplete: more bytes are needed (never
// once size reaches kMaxHeadBytes: that is kBad).
HeadParse ParseResponseHead(const char* data, size_t size, ResponseHead& out, size_t* headBytes);
// The value of the first header of that (lower-case) name, or null.
const std::string* FindHeader(const ResponseHead& head, std::string_view name);

}  // namespace engine
