#pragma once
// Recognising and loading modules from the whole file in memory. Loaders never trust a
// size or offset in the file: anything pointing past the end is cut to what is there
// (a sample short of its length keeps what it has; a pattern that runs out ends
// there) and only a file with nothing playable is refused.
#include <cstddef>
#include <cstdint>

#include "tracker/module.h"

namespace tracker {

enum class LoadResult {
    Ok,
    NotModule,   // no format's signature or layout fits
    Damaged,     // the format fits but nothing playable could be read
};

// Files larger than this are refused before reading (no module comes near it).
constexpr size_t kMaxModuleBytes = 64u << 20;

// How sure the first bytes (at least 1084 of them when the file has that many) make us
// of a module: 0 not one, 100 a signature ("SCRM" at 44, "Extended Module: ", "IMPM",
// a MOD tag at 1080), less for a 15-sample Soundtracker file, which has no signature and
// is only taken when its header is plausible throughout.
int ProbeModule(const uint8_t* head, size_t size);

LoadResult LoadModule(const uint8_t* data, size_t size, Module& out);

// Each format alone (LoadModule picks one by signature).
LoadResult LoadMod(const uint8_t* data, size_t size, Module& out);
LoadResult LoadS3m(const uint8_t* data, size_t size, Module& out);
LoadResult LoadXm(const uint8_t* data, size_t size, Module& out);
LoadResult LoadIt(const uint8_t* data, size_t size, Module& out);

}  // namespace tracker
