#include "fmodex_api.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace enginetest {
namespace {

struct Loaded {
    FmodexApi table;
    bool complete = true;
    Loaded() {
#ifdef _WIN32
        HMODULE library = LoadLibraryA("fmodex.dll");  // stays loaded for the whole test program
#define QUENDRA_ENTRY(name)                                                                                       \
    table.name = library ? reinterpret_cast<decltype(&::name)>(reinterpret_cast<void*>(GetProcAddress(library, #name))) \
                         : nullptr;                                                                               \
    complete = complete && table.name != nullptr;
#else
#define QUENDRA_ENTRY(name) table.name = &::name;
#endif
        QUENDRA_FMODEX_ENTRIES(QUENDRA_ENTRY)
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
