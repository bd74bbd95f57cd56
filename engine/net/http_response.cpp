#include "net/http_response.h"

#include <algorithm>
#include <cctype>

namespace engine {
namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

// Three digits after the protocol word and one blank.
bool ParseStatusLine(std::string_view line, ResponseHead& out) {
    std::string_view code;
    if (line.rfind("ICY ", 0) == 0) {
        out.icy = true;
        code = line.substr(4);
    } else if (line.size() >= 9 && line.rfind("HTTP/1.", 0) == 0 && (line[7] == '0' || line[7] == '1') &&
               line[8] == ' ') {
        code = line.substr(9);
    } else {
        return false;
    }
    if (code.size() < 3) return false;
    int status = 0;
    for (int i = 0; i < 3; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(code[i]))) return false;
        status = status * 10 + (code[i] - '0');
    }
    if (code.size() > 3 && code[3] != ' ') return false;
    out.status = status;
    return true;
}

}  // namespace

HeadParse ParseResponseHead(const char* data, size_t size, ResponseHead& out, size_t* headBytes) {
    const std::string_view all(data, std::min(size, kMaxHeadBytes));
    ResponseHead head;
    size_t at = 0;
    bool first = true;
    for (;;) {
        const size_t end = all.find('\n', at);
        if (end == std::string_view::npos) return size >= kMaxHeadBytes ? HeadParse::kBad : HeadParse::kIncomplete;
        std::string_view line = all.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        at = end + 1;
        if (first) {
            if (!ParseStatusLine(line, head)) return HeadParse::kBad;
            first = false;
            continue;
        }
        if (line.empty()) break;
        if (head.headers.size() >= kMaxHeaderLines) return HeadParse::kBad;
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos || colon == 0) continue;  // tolerated: some servers send junk lines
        std::string name(Trim(line.substr(0, colon)));
        for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        head.headers.emplace_back(std::move(name), std::string(Trim(line.substr(colon + 1))));
    }
    out = std::move(head);
    *headBytes = at;
    return HeadParse::kComplete;
}

const std::string* FindHeader(const ResponseHead& head, std::string_view name) {
    for (const auto& [key, value] : head.headers)
        if (key == name) return &value;
    return nullptr;
}

}  // namespace engine
