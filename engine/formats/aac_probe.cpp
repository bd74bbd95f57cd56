// Recognising AAC for the system's decoders: MP4/M4A by their "ftyp" box, ADTS by frame
// headers that lead from one to the next (adts_frames.h).
#include <cstring>

#include "formats/adts_frames.h"
#include "formats/system_decoders.h"

namespace engine {

int ProbeMp4(const uint8_t* head, size_t size) {
    return size >= 8 && std::memcmp(head + 4, "ftyp", 4) == 0 ? 100 : 0;
}

int ProbeAdts(const uint8_t* head, size_t size) {
    // Two frames from the first byte: below the MPEG frame search's guess at offset 0, which
    // layer 0 never is. A radio stream joined mid-frame needs three in a row somewhere; then
    // above the MPEG guess further in.
    if (FindAdtsRun(head, size, 2) == 0) return 60;
    return FindAdtsRun(head, size, 3) >= 0 ? 45 : 0;
}

}  // namespace engine
