#pragma once
// Opens an http:// (or https://) address as a sound: the answer's headers of
// interest become tags, then, unless only the tags are wanted, the audio is
// prebuffered and handed to the format's decoder behind a NetDecoder.
#include <functional>
#include <memory>

#include "formats/format_open.h"
#include "net/http_response.h"
#include "tags/tag_list.h"

namespace engine {

// What an address opened to; the API makes its sound of it.
struct OpenedUrl {
    OpenedSound opened;  // format; decoder unless only the tags were wanted
    // Container and header tags; the stream sets new titles here while it plays.
    std::shared_ptr<TagList> tags = std::make_shared<TagList>();
    // Stops the connection, so that nothing still waits for it (empty when open-only).
    std::function<void()> cancel;
};

// bufferSize/bufferUnit: the stream buffer size (FMOD_System_SetStreamBufferSize)
// that decides how much is prebuffered before the sound is handed out. `hints` brings the
// system's format rows (AAC radio through the system's decoder).
FMOD_RESULT OpenUrl(const char* url, FMOD_MODE mode, unsigned int bufferSize, FMOD_TIMEUNIT bufferUnit,
                    OpenedUrl& out, const OpenHints& hints = {});

// The header tags of an answer, in the server's order: type SHOUTCAST for
// "ICY 200 OK", ICECAST for HTTP answers.
void AddHeaderTags(const ResponseHead& head, TagList& tags);
// The sound type a Content-Type names, UNKNOWN when it names none we know.
FMOD_SOUND_TYPE SoundTypeForContent(const std::string* contentType);

}  // namespace engine
