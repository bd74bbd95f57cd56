#include "fmodex_api_table.h"

namespace enginetest {

const FmodexApi& Api() {
    static const FmodexApi api = [] {
        FmodexApi table;
#define QUENDRA_ENTRY(name) table.name = &::name;
#include "fmodex_entries.inc"
#undef QUENDRA_ENTRY
        return table;
    }();
    return api;
}

bool ApiComplete() { return true; }

}  // namespace enginetest
