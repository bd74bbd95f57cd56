// The IT loader and the player behind it.
#include "fuzz_tracker.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzModule(tracker::LoadIt, data, size);
    return 0;
}
