#pragma once
// Every tag text and playlist location leaves the library as UTF-8, whatever
// encoding the container used.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace engine {

bool IsValidUtf8(std::string_view text);
std::string Latin1ToUtf8(std::string_view text);
// Text of unknown encoding: kept when it is valid UTF-8, else read as Latin-1.
std::string AnyTextToUtf8(std::string_view text);
// UTF-16 code units; unpaired surrogates become U+FFFD. Stops at a zero unit.
std::string Utf16ToUtf8(const uint8_t* data, size_t byteCount, bool bigEndian);
void AppendUtf8(std::string& out, uint32_t codePoint);
// Up to the first zero byte, without trailing blanks; the usual shape of fixed text fields.
std::string_view TrimFixedField(std::string_view text);

}  // namespace engine
