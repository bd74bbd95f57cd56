// The S3M loader and the player behind it.
#include "fuzz_tracker.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzModule(tracker::LoadS3m, data, size);
    return 0;
}
