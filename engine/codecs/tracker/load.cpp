// Which format a file is, by its signature; a MOD without one only when its whole
// Soundtracker header is plausible.
#include "tracker/load.h"

#include <utility>

#include "bytes.h"
#include "mod_layout.h"

namespace tracker {
namespace {

constexpr int kSignatureScore = 100;
// Below every signature and below the guesses of other formats' probes that look further.
constexpr int kSoundtrackerScore = 30;

enum class Kind { None, Mod, S3m, Xm, It };

Kind KindOf(const uint8_t* data, size_t size, int* score) {
    const Bytes in{data, size};
    *score = kSignatureScore;
    if (in.Matches(0, "Extended Module: ", 17)) return Kind::Xm;
    if (in.Matches(0, "IMPM", 4)) return Kind::It;
    if (in.Matches(0x2C, "SCRM", 4)) return Kind::S3m;
    const ModLayout layout = DetectModLayout(data, size);
    if (layout.channels == 0) return Kind::None;
    if (layout.samples == 15) *score = kSoundtrackerScore;
    return Kind::Mod;
}

// An order naming a pattern that exists: without one there is nothing to play.
bool HasPlayableOrder(const Module& m) {
    for (uint16_t order : m.orders)
        if (order < m.patterns.size()) return true;
    return false;
}

LoadResult LoadKind(Kind kind, const uint8_t* data, size_t size, Module& out) {
    switch (kind) {
        case Kind::Xm: return LoadXm(data, size, out);
        case Kind::It: return LoadIt(data, size, out);
        case Kind::S3m: return LoadS3m(data, size, out);
        case Kind::Mod: return LoadMod(data, size, out);
        case Kind::None: break;
    }
    return LoadResult::NotModule;
}

}  // namespace

int ProbeModule(const uint8_t* head, size_t size) {
    int score = 0;
    return KindOf(head, size, &score) == Kind::None ? 0 : score;
}

LoadResult LoadModule(const uint8_t* data, size_t size, Module& out) {
    if (size > kMaxModuleBytes) return LoadResult::NotModule;
    int score = 0;
    Module m;
    const LoadResult result = LoadKind(KindOf(data, size, &score), data, size, m);
    if (result != LoadResult::Ok) return result;
    if (!HasPlayableOrder(m)) return LoadResult::Damaged;
    out = std::move(m);
    return LoadResult::Ok;
}

}  // namespace tracker
