// AAC in MP4/M4A and ADTS through Media Foundation (not yet: refused).
#include "formats/system_decoders.h"

namespace engine {

FMOD_RESULT OpenMediaFoundation(std::unique_ptr<Reader>&, TagList&, OpenedSound&) { return FMOD_ERR_FORMAT; }

}  // namespace engine
