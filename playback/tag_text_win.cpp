#include "playback/tag_text_win.h"

#include <windows.h>

#include "playback/tag_text.h"

namespace {

bool EncodeAnsiCodePage(const std::u32string& characters, std::string* narrow) {
    // A system whose code page is UTF-8 reads the bytes as they are.
    if (GetACP() == CP_UTF8) return false;
    std::wstring wide;
    for (char32_t c : characters) {
        if (c < 0x10000) {
            wide.push_back(static_cast<wchar_t>(c));
        } else {
            wide.push_back(static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10)));
            wide.push_back(static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        }
    }
    narrow->clear();
    if (wide.empty()) return true;
    BOOL defaultUsed = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, &defaultUsed);
    if (size <= 0 || defaultUsed) return false;
    narrow->resize(static_cast<size_t>(size));
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), &(*narrow)[0], size,
                        nullptr, &defaultUsed);
    return !defaultUsed;
}

} // namespace

std::string SystemTagText(const void* data, unsigned length) {
    return TagText(data, length, EncodeAnsiCodePage);
}
