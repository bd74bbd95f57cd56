#include "formats/cd_text.h"

namespace engine {
namespace {

constexpr size_t kPackBytes = 18;
constexpr uint8_t kTitlePack = 0x80;
constexpr uint8_t kPerformerPack = 0x81;

bool PackCrcHolds(const uint8_t* pack) { return CdTextPackCrc(pack) == static_cast<uint16_t>(pack[16] << 8 | pack[17]); }

}  // namespace

uint16_t CdTextPackCrc(const uint8_t* pack) {
    uint16_t crc = 0;  // polynomial 0x1021, start 0
    for (size_t i = 0; i < 16; ++i) {
        crc ^= static_cast<uint16_t>(pack[i] << 8);
        for (int bit = 0; bit < 8; ++bit) crc = static_cast<uint16_t>(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    return static_cast<uint16_t>(~crc);
}

CdText ParseCdText(const std::vector<uint8_t>& packs) {
    CdText text;
    // Strings run on across packs of one type; each ends with a zero byte. A pack names the
    // track of its first character and how many characters of that string came before it
    // (up to 15), so a string whose start was lost with a damaged pack is dropped whole.
    struct Run {
        std::string pending;
        int track = 0;
        bool skipping = false;  // the rest of a string whose start was lost
    } runs[2];
    for (size_t at = 0; at + kPackBytes <= packs.size(); at += kPackBytes) {
        const uint8_t* pack = &packs[at];
        const bool title = pack[0] == kTitlePack;
        if ((!title && pack[0] != kPerformerPack) || (pack[3] & 0xF0) != 0 || !PackCrcHolds(pack)) continue;
        Run& run = runs[title ? 0 : 1];
        std::map<int, std::string>& into = title ? text.titles : text.performers;
        const size_t before = pack[3] & 0x0F;
        const bool joins = before < 15 ? run.pending.size() == before : run.pending.size() >= 15;
        if (!joins || run.skipping) {
            run.pending.clear();
            run.skipping = before > 0;
        }
        if (run.pending.empty() && !run.skipping) run.track = pack[1] & 0x7F;
        for (size_t i = 4; i < 16; ++i) {
            if (pack[i] != 0) {
                if (!run.skipping) run.pending += static_cast<char>(pack[i]);
                continue;
            }
            if (run.skipping) {
                run.skipping = false;
                run.track = (pack[1] & 0x7F) + 1;
                continue;
            }
            // A lone tab repeats the previous track's text.
            const auto previous = into.find(run.track - 1);
            into[run.track] = run.pending == "\t" && previous != into.end() ? previous->second : run.pending;
            run.pending.clear();
            ++run.track;
        }
    }
    return text;
}

}  // namespace engine
