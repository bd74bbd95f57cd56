#pragma once
// A sound as the API knows it: format facts, tags and, once it streams, the
// decode job. Guarded by its system's API lock.
#include <functional>
#include <memory>

#include "api/platform.h"
#include "formats/format_open.h"
#include "playback/stream_job.h"
#include "tags/tag_list.h"

namespace engine {

struct Sound {
    FMOD_MODE mode = 0;
    StreamFormat format;
    std::shared_ptr<TagList> tags = std::make_shared<TagList>();
    std::unique_ptr<Decoder> idleDecoder;  // opened only: nothing decoded yet
    std::shared_ptr<StreamJob> job;        // decoding ahead on the decode thread
    bool startedOnce = false;              // a second play starts from the beginning again

    // Where it plays: a slot and the play id that the slot must still carry.
    int slot = -1;
    uint64_t playId = 0;

    // The tags that FMOD_Sound_GetTag hands out; kept until the next refresh.
    TagSnapshot apiTags;
    uint64_t tagChangesSeen = 0;

    // Network streams: stops the connection, so that nothing still waits for it.
    std::function<void()> abandon;
};

// Where a stream's buffer is concerned: how much a network stream prebuffers.
struct StreamBufferSize {
    unsigned int size = 1000;
    FMOD_TIMEUNIT unit = FMOD_TIMEUNIT_MS;
};

// Opens a file path by content, an http:// address through the network code, or the audio
// CD in the drive a path such as "D:" names.
FMOD_RESULT OpenSound(const char* path, FMOD_MODE mode, const Platform& platform, StreamBufferSize buffer,
                      Sound& sound);

}  // namespace engine
