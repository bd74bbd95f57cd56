#pragma once
#include <string>

// Reads a whole file (up to `limit` bytes); false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string* bytes, size_t limit);

// Writes a file whole or not at all. The bytes go to a temporary file beside it, which then
// takes the old file's place keeping its attributes and links. Where no new file can be made
// (a folder that allows writing files but not creating them), the old file is written in
// place and put back as it was if that fails. False, with the old file as it was, on failure.
bool WriteWholeFile(const std::string& path, const std::string& bytes);
