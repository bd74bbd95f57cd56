#pragma once
#include <string>

// Reads a whole file (up to `limit` bytes); false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string* bytes, size_t limit);

// Writes a file whole or not at all: the bytes go to a temporary file beside it, which
// then replaces the old file. False (and the old file untouched) when that fails.
bool WriteWholeFile(const std::string& path, const std::string& bytes);
