// ASX and WAX: XML-like text; every <ref href="..."> is one entry. Element and
// attribute names match in any letter case; values may be quoted with ' or "
// or not at all; character entities are decoded.
#include "playlists/playlist_readers.h"
#include "text/utf8.h"

namespace engine {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string DecodeEntities(std::string_view value) {
    std::string out;
    size_t i = 0;
    while (i < value.size()) {
        if (value[i] != '&') { out += value[i++]; continue; }
        size_t semi = value.find(';', i);
        if (semi == std::string_view::npos || semi - i > 10) { out += value[i++]; continue; }
        std::string_view name = value.substr(i + 1, semi - i - 1);
        if (name == "amp") out += '&';
        else if (name == "lt") out += '<';
        else if (name == "gt") out += '>';
        else if (name == "quot") out += '"';
        else if (name == "apos") out += '\'';
        else if (name.size() > 1 && name[0] == '#') {
            bool hex = name[1] == 'x' || name[1] == 'X';
            uint32_t cp = 0;
            bool ok = name.size() > (hex ? 2u : 1u);
            for (size_t k = hex ? 2 : 1; k < name.size() && ok; ++k) {
                char c = name[k];
                int digit = c >= '0' && c <= '9' ? c - '0'
                          : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
                if (digit < 0 || cp > 0x10FFFF) ok = false;
                else cp = cp * (hex ? 16 : 10) + digit;
            }
            if (!ok || cp == 0) { out += value[i++]; continue; }
            AppendUtf8(out, cp);
        } else {
            out += value[i++];
            continue;
        }
        i = semi + 1;
    }
    return out;
}

// Reads the attributes of one tag starting after its name; returns the href value if any.
bool FindHref(std::string_view tag, std::string& href) {
    size_t i = 0;
    while (i < tag.size()) {
        while (i < tag.size() && (IsSpace(tag[i]) || tag[i] == '/')) ++i;
        size_t nameStart = i;
        while (i < tag.size() && !IsSpace(tag[i]) && tag[i] != '=' && tag[i] != '/') ++i;
        std::string_view name = tag.substr(nameStart, i - nameStart);
        while (i < tag.size() && IsSpace(tag[i])) ++i;
        if (i >= tag.size() || tag[i] != '=') {
            if (name.empty()) ++i;
            continue;
        }
        ++i;
        while (i < tag.size() && IsSpace(tag[i])) ++i;
        std::string_view value;
        if (i < tag.size() && (tag[i] == '"' || tag[i] == '\'')) {
            char quote = tag[i++];
            size_t end = tag.find(quote, i);
            if (end == std::string_view::npos) end = tag.size();
            value = tag.substr(i, end - i);
            i = end + 1;
        } else {
            size_t start = i;
            while (i < tag.size() && !IsSpace(tag[i])) ++i;
            value = tag.substr(start, i - start);
        }
        if (name.size() == 4 && StartsWithNoCase(name, "href")) {
            href = DecodeEntities(TrimBlanks(value));
            return true;
        }
    }
    return false;
}

}  // namespace

std::vector<std::string> ReadAsx(std::string_view text) {
    std::vector<std::string> entries;
    size_t i = 0;
    while (entries.size() < kMaxPlaylistEntries) {
        i = text.find('<', i);
        if (i == std::string_view::npos) break;
        if (text.substr(i, 4) == "<!--") {
            size_t end = text.find("-->", i + 4);
            if (end == std::string_view::npos) break;
            i = end + 3;
            continue;
        }
        size_t end = text.find('>', i + 1);
        if (end == std::string_view::npos) break;
        std::string_view tag = text.substr(i + 1, end - i - 1);
        i = end + 1;
        if (!StartsWithNoCase(tag, "ref") || (tag.size() > 3 && !IsSpace(tag[3]) && tag[3] != '/')) continue;
        std::string href;
        if (FindHref(tag.substr(3), href) && !href.empty()) entries.push_back(std::move(href));
    }
    return entries;
}

}  // namespace engine
