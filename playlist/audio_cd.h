#pragma once
#include <cstddef>
#include <string>

// A row of the CD dialog: the drive's root, " - ", then the disc's label without the blanks
// around it, or "Leer" when there is no label (no disc, or one without a name). `label` is
// read up to its first zero byte, at most `size` bytes.
std::string CdDriveRowText(char letter, const char* label, size_t size);
