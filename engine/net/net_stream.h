#pragma once
// One internet radio connection, run by a network thread of its own: it connects,
// reads the answer's head, then keeps a bounded buffer of audio bytes filled,
// undoing chunked encoding and taking out the in-band titles, which it sets as
// tags. Readers on other threads take bytes out (NetReader). The owner's
// destructor cancels and joins; every wait of the thread notices that within
// kCancelSliceMs (a name lookup excepted).
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fmodex.h"
#include "net/http_response.h"
#include "net/icy_metadata.h"
#include "net/url.h"
#include "tags/tag_list.h"

namespace engine {

// Audio bytes held ahead of the decoder at most.
constexpr size_t kNetBufferBytes = 512 * 1024;

class NetStream {
public:
    // streamBody false: the head is all that is wanted; the connection closes after it.
    NetStream(const Url& url, bool streamBody);
    ~NetStream();
    NetStream(const NetStream&) = delete;
    NetStream& operator=(const NetStream&) = delete;

    // Waits for the head (bounded by the open time-out); FMOD_OK with a 200 answer.
    FMOD_RESULT WaitForHead(ResponseHead* head);
    // From now on titles go to tags (with the stream's tag type); a title that
    // arrived earlier is set at once.
    void AttachTags(std::shared_ptr<TagList> tags, FMOD_TAGTYPE type);
    // Waits until at least `bytes` are buffered, the stream ended or the time-out passed.
    void WaitForBuffered(size_t bytes, int timeoutMs);

    // Copies up to count buffered bytes without taking them.
    size_t Peek(void* buffer, size_t count);
    // Up to count bytes; waits at most waitMs for the first. 0: the stream ended,
    // -1: it failed or was cancelled, -2: nothing arrived in time.
    int64_t Take(void* buffer, size_t count, int waitMs);
    // A new title from any thread (in-band metadata, or an Ogg link's comments).
    void ApplyTitle(const StreamTitle& title);
    // Stops the thread's work; waiting readers return at once.
    void Cancel();
    // From now on Take waits for all it asks for (or the end): for decoders that
    // take a short read of whole sample frames as the end of the audio.
    void SetWholeReads() { wholeReads_ = true; }

private:
    // The thread: Fetch behind a barrier, so that a failing allocation ends this stream only.
    void Run(Url url, bool streamBody);
    void Fetch(const Url& url, bool streamBody);
    void Stream(struct HttpAnswer& answer);
    // Appends audio, waiting for room; false when cancelled.
    bool Put(const std::vector<uint8_t>& audio);
    void Finish(bool failed);

    std::mutex lock_;
    std::condition_variable changed_;
    std::atomic<bool> cancel_{false};
    std::atomic<bool> wholeReads_{false};
    bool headDone_ = false;
    FMOD_RESULT headResult_ = FMOD_OK;
    ResponseHead head_;
    std::vector<uint8_t> buffer_;  // ring of kNetBufferBytes
    size_t readAt_ = 0, filled_ = 0;
    bool ended_ = false, failed_ = false;

    std::shared_ptr<TagList> tags_;
    FMOD_TAGTYPE tagType_ = FMOD_TAGTYPE_SHOUTCAST;
    bool havePending_ = false;
    StreamTitle current_;

    std::thread thread_;
};

}  // namespace engine
