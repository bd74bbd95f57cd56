#pragma once
// Each format's effect numbers and volume column bytes in the module's terms.
#include <cstdint>

#include "tracker/module.h"

namespace tracker {

// MOD and XM effect 0..F (0 with a zero parameter is no effect; the caller checks).
Effect ModEffect(int command);
// XM effect 0..35 (0-9, then A-Z), with the parameter: extra fine portamento keeps only
// its X1x and X2x forms.
Effect XmEffect(int command, uint8_t param);
// S3M and IT command letters, 1 = A .. 26 = Z.
Effect LetterEffect(int letter);

struct VolumeColumn {
    VolumeCommand command = VolumeCommand::None;
    uint8_t param = 0;
};
VolumeColumn XmVolumeColumn(uint8_t value);
VolumeColumn ItVolumeColumn(uint8_t value);

}  // namespace tracker
