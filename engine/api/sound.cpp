#include "api/sound.h"

#include <cstring>

#include "formats/cdda_decoder.h"
#include "io/cd_drive.h"
#include "net/open_url.h"
#include "net/url.h"

namespace engine {
namespace {

FMOD_RESULT OpenNetworkSound(const char* url, FMOD_MODE mode, const Platform& platform, StreamBufferSize buffer,
                             Sound& sound) {
    OpenedUrl opened;
    OpenHints hints;
    hints.systemFormats = platform.systemFormats;
    hints.systemFormatCount = platform.systemFormatCount;
    const FMOD_RESULT result = OpenUrl(url, mode, buffer.size, buffer.unit, opened, hints);
    if (result != FMOD_OK) return result;
    sound.mode = mode;
    sound.format = opened.opened.format;
    sound.idleDecoder = std::move(opened.opened.decoder);
    sound.tags = std::move(opened.tags);
    sound.abandon = std::move(opened.cancel);
    return FMOD_OK;
}

FMOD_RESULT Adopt(FMOD_RESULT result, FMOD_MODE mode, OpenedSound& opened, Sound& sound) {
    if (result != FMOD_OK) return result;
    sound.mode = mode;
    sound.format = opened.format;
    sound.idleDecoder = std::move(opened.decoder);
    return FMOD_OK;
}

}  // namespace

FMOD_RESULT OpenSound(const char* path, FMOD_MODE mode, const Platform& platform, StreamBufferSize buffer,
                      Sound& sound) {
    if (IsNetworkUrl(path)) return OpenNetworkSound(path, mode, platform, buffer, sound);
    if (std::strstr(path, "://") && std::strncmp(path, "file://", 7) != 0) return FMOD_ERR_NET_URL;
    FMOD_RESULT result = FMOD_OK;
    OpenedSound opened;
    if (platform.openCdDrive && IsDriveName(path)) {
        // Reads the table of contents only; sectors are read by the decode thread.
        if (std::unique_ptr<CdDevice> drive = platform.openCdDrive(path, &result))
            result = OpenCdda(std::move(drive), sound.tags, opened);
        if (result != FMOD_OK || opened.decoder) return Adopt(result, mode, opened, sound);
    }
    std::unique_ptr<Reader> reader = platform.openFile(path, &result);
    if (!reader) return result != FMOD_OK ? result : FMOD_ERR_FILE_NOTFOUND;
    OpenHints hints;
    hints.headerlessRaw = NamesRawFile(path);
    hints.systemFormats = platform.systemFormats;
    hints.systemFormatCount = platform.systemFormatCount;
    result = OpenByContent(std::move(reader), *sound.tags, opened, hints);
    return Adopt(result, mode, opened, sound);
}

}  // namespace engine
