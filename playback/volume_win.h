#pragma once
#include <cstdint>

// Steps the volume (0 apply only, 1 up, -1 down, 2 mute toggle), pushes it to the channel
// and shows it in the time display ("75%") until the next status update.
void ChangeVolume(int32_t step);

// The slider's seek: the channel position becomes `seconds` x 1000 ms.
void SeekSeconds(int32_t seconds);
