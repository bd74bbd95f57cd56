#include "playlist/audio_cd.h"

#include <cstring>

std::string CdDriveRowText(char letter, const char* label, size_t size) {
    std::string name(label, strnlen(label, size));
    const size_t first = name.find_first_not_of(' ');
    name = first == std::string::npos ? "" : name.substr(first, name.find_last_not_of(' ') - first + 1);
    return std::string(1, letter) + ":\\ - " + (name.empty() ? "Leer" : name);
}
