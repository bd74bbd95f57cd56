#pragma once
// The modules the reference comparison writes: each effect family in each format that has
// it, and the features of XM and IT instruments, as one table.
#include <string>
#include <vector>

#include "module_writer.h"

namespace trackref {

struct WrittenCase {
    std::string name;  // "mod arpeggio", ...
    SongDesc song;
};

std::vector<WrittenCase> WrittenCases();

}  // namespace trackref
