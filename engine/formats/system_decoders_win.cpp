#include "formats/system_decoders.h"

#include "formats/asf_header.h"

namespace engine {

const FormatEntry kSystemFormats[] = {
    {"asf", ProbeAsf, OpenWindowsMedia},
};
const size_t kSystemFormatCount = std::size(kSystemFormats);

}  // namespace engine
