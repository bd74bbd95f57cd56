#pragma once
#include <cstdint>
#include <string>

// Puts characters (Unicode code points) into the program's narrow text; false when one of
// them has no place there.
using NarrowEncoder = bool (*)(const std::u32string& characters, std::string* narrow);

// Latin-1: each character up to U+00FF is its own byte.
bool EncodeLatin1(const std::u32string& characters, std::string* narrow);

// A tag's bytes as the player shows them: up to `length` bytes or the first zero byte;
// when they are UTF-8 whose every character `encode` can place, the text it gives;
// otherwise the bytes themselves (a UTF-8 path, which the sound library opens as such).
std::string TagText(const void* data, unsigned length, NarrowEncoder encode = EncodeLatin1);

// A tag's bytes up to `length` or the first zero byte, taken as they are.
std::string RawTagBytes(const void* data, unsigned length);

// The replay gain of a text such as "-6.54 dB" as a linear factor, in single precision;
// a text without a number, or beyond +-60 dB (no real track is that far off), gives a
// factor of 1.
float ReplayGainFactor(const std::string& text);

// A track number such as " 3/12": blanks and tabs skipped, optional sign, digits up to the
// first other character; no digits give 0.
int32_t ParseTrackNumber(const std::string& text);
