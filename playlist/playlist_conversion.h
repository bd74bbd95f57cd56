#pragma once
#include <string>

// The copy of a playlist file that the sound library reads: every line in UTF-8, ended by
// CR LF. A line ends at CR, LF, CR LF or a zero byte. Lines that are valid UTF-8 already
// pass unchanged (a leading byte-order mark is dropped); any other line is taken as
// Latin-1 and converted, so an .m3u8 is not encoded twice.
std::string ConvertPlaylistText(const std::string& source);

// The bytes up to and including the last line end (CR, LF or a zero byte): a list read
// only in part must not end in a cut path.
std::string CompleteLines(const std::string& bytes);

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or values past
// U+10FFFF).
bool IsValidUtf8(const std::string& text);

// Latin-1 bytes as UTF-8.
std::string Latin1ToUtf8(const std::string& text);
