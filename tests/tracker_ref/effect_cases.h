#pragma once
// The modules the reference comparison writes: each effect family in each format that has
// it, and the features of XM and IT instruments.
#include <string>
#include <utility>
#include <vector>

#include "module_writer.h"

namespace trackref {

struct WrittenCase {
    std::string name;  // "mod arpeggio", ...
    SongDesc song;
};

inline const std::pair<Format, const char*> kFormats[] = {{Format::Mod, "mod"}, {Format::S3m, "s3m"}, {Format::Xm, "xm"}, {Format::It, "it"}};

SongDesc BaseSong(Format format);  // one sine sample, one order
std::vector<WrittenCase> WrittenCases();

}  // namespace trackref
