#pragma once
// Opens an http:// (or https://) address as a sound: the answer's headers of
// interest become tags, then, unless only the tags are wanted, the audio is
// prebuffered and handed to the format's decoder behind a NetDecoder.
#include "api/sound.h"
#include "net/http_response.h"

namespace engine {

// bufferSize/bufferUnit: the stream buffer size (FMOD_System_SetStreamBufferSize)
// that decides how much is prebuffered before the sound is handed out.
FMOD_RESULT OpenUrl(const char* url, FMOD_MODE mode, unsigned int bufferSize, FMOD_TIMEUNIT bufferUnit,
                    Sound& sound);

// The header tags of an answer, in the server's order: type SHOUTCAST for
// "ICY 200 OK", ICECAST for HTTP answers.
void AddHeaderTags(const ResponseHead& head, TagList& tags);
// The sound type a Content-Type names, UNKNOWN when it names none we know.
FMOD_SOUND_TYPE SoundTypeForContent(const std::string* contentType);

}  // namespace engine
