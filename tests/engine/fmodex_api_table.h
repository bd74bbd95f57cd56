#pragma once
// The 24 entry points as a table, so the same behaviour tests run against the
// native library (linked) and against fmodex.dll under Wine (LoadLibraryA and
// GetProcAddress only, as the player does).
#include "fmodex.h"

namespace enginetest {

struct FmodexApi {
#define QUENDRA_ENTRY(name) decltype(&::name) name = nullptr;
#include "fmodex_entries.inc"
#undef QUENDRA_ENTRY
};

// Loaded once per test program; null entries when loading failed.
const FmodexApi& Api();
// Whether every entry point was found.
bool ApiComplete();

}  // namespace enginetest
