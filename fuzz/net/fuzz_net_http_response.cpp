// The answer head parser and the body path behind it (chunked framing, then the
// in-band title splitter), on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "net/chunked.h"
#include "net/http_response.h"
#include "net/icy_metadata.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    engine::ResponseHead head;
    size_t used = 0;
    if (engine::ParseResponseHead(reinterpret_cast<const char*>(data), size, head, &used) !=
        engine::HeadParse::kComplete)
        return 0;
    if (used > size) __builtin_trap();
    engine::ChunkedDecoder chunked;
    std::vector<uint8_t> payload, audio;
    std::vector<std::string> blocks;
    // Halves, so that state carried between pieces is exercised.
    const size_t half = (size - used) / 2;
    chunked.Feed(data + used, half, payload);
    chunked.Feed(data + used + half, size - used - half, payload);
    if (payload.size() > size) __builtin_trap();
    engine::MetadataSplitter splitter(engine::ParseMetaInterval(engine::FindHeader(head, "icy-metaint")));
    splitter.Feed(payload.data(), payload.size(), audio, blocks);
    return 0;
}
