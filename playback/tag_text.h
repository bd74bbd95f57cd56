#pragma once
#include <cstdint>
#include <string>

// A tag's bytes as the player shows them: up to `length` bytes or the first zero byte;
// when they are UTF-8 of characters up to U+00FF, the Latin-1 text they spell, otherwise
// the bytes themselves.
std::string TagText(const void* data, unsigned length);

// A tag's bytes up to `length` or the first zero byte, taken as they are.
std::string RawTagBytes(const void* data, unsigned length);

// The replay gain of a text such as "-6.54 dB" as a linear factor, in single precision;
// a text without a number, or beyond +-60 dB (no real track is that far off), gives a
// factor of 1.
float ReplayGainFactor(const std::string& text);

// A track number such as " 3/12": blanks and tabs skipped, optional sign, digits up to the
// first other character; no digits give 0.
int32_t ParseTrackNumber(const std::string& text);
