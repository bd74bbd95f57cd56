#include "formats/system_decoders.h"

#include "formats/asf_header.h"

namespace engine {

const FormatEntry kSystemFormats[] = {
    {"asf", ProbeAsf, OpenWindowsMedia},
    {"mp4", ProbeMp4, OpenMediaFoundation},
    {"adts", ProbeAdts, OpenMediaFoundation},
};
const size_t kSystemFormatCount = std::size(kSystemFormats);

}  // namespace engine
