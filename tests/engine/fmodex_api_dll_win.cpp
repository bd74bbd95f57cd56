#include <windows.h>

#include "fmodex_api_table.h"

namespace enginetest {
namespace {

struct Loaded {
    FmodexApi table;
    bool complete = false;
    Loaded() {
        HMODULE library = LoadLibraryA("fmodex.dll");  // stays loaded for the whole test program
        if (!library) return;
        complete = true;
#define QUENDRA_ENTRY(name)                                                                                   \
    table.name = reinterpret_cast<decltype(&::name)>(reinterpret_cast<void*>(GetProcAddress(library, #name))); \
    complete = complete && table.name != nullptr;
#include "fmodex_entries.inc"
#undef QUENDRA_ENTRY
    }
};

const Loaded& Library() {
    static const Loaded loaded;
    return loaded;
}

}  // namespace

const FmodexApi& Api() { return Library().table; }
bool ApiComplete() { return Library().complete; }

}  // namespace enginetest
