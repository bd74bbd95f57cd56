#include "net/net_stream.h"

#include <algorithm>
#include <cstring>

#include "net/chunked.h"
#include "net/http_client.h"
#include "net/timeouts.h"

namespace engine {

NetStream::NetStream(const Url& url, bool streamBody)
    : thread_([this, url, streamBody] { Run(url, streamBody); }) {}

NetStream::~NetStream() {
    Cancel();
    thread_.join();
}

void NetStream::Cancel() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        cancel_ = true;
    }
    changed_.notify_all();
}

FMOD_RESULT NetStream::WaitForHead(ResponseHead* head) {
    std::unique_lock<std::mutex> hold(lock_);
    // The thread keeps to the same deadline; the margin covers its last slice.
    const auto bound = std::chrono::milliseconds(kOpenTimeoutMs + 4 * kCancelSliceMs);
    if (!changed_.wait_for(hold, bound, [this] { return headDone_; })) return FMOD_ERR_HTTP_TIMEOUT;
    if (headResult_ == FMOD_OK && head) *head = head_;
    return headResult_;
}

void NetStream::AttachTags(std::shared_ptr<TagList> tags, FMOD_TAGTYPE type) {
    std::lock_guard<std::mutex> hold(lock_);
    tags_ = std::move(tags);
    tagType_ = type;
    if (havePending_) {
        tags_->Set(tagType_, "ARTIST", current_.artist);
        tags_->Set(tagType_, "TITLE", current_.title);
    }
}

void NetStream::WaitForBuffered(size_t bytes, int timeoutMs) {
    bytes = std::min(bytes, kNetBufferBytes);
    std::unique_lock<std::mutex> hold(lock_);
    changed_.wait_for(hold, std::chrono::milliseconds(timeoutMs),
                      [&] { return filled_ >= bytes || ended_ || cancel_; });
}

size_t NetStream::Peek(void* out, size_t count) {
    std::lock_guard<std::mutex> hold(lock_);
    const size_t n = std::min(count, filled_);
    for (size_t i = 0; i < n; ++i) static_cast<uint8_t*>(out)[i] = buffer_[(readAt_ + i) % kNetBufferBytes];
    return n;
}

int64_t NetStream::Take(void* out, size_t count, int waitMs) {
    std::unique_lock<std::mutex> hold(lock_);
    const size_t wanted = wholeReads_ ? std::min(count, kNetBufferBytes) : 1;
    changed_.wait_for(hold, std::chrono::milliseconds(waitMs),
                      [&] { return filled_ >= wanted || ended_ || cancel_; });
    if (cancel_) return -1;
    if (filled_ == 0) return ended_ ? (failed_ ? -1 : 0) : -2;
    size_t done = 0;
    auto* bytes = static_cast<uint8_t*>(out);
    while (done < count && filled_ > 0) {
        const size_t run = std::min({count - done, filled_, kNetBufferBytes - readAt_});
        std::memcpy(bytes + done, &buffer_[readAt_], run);
        readAt_ = (readAt_ + run) % kNetBufferBytes;
        filled_ -= run;
        done += run;
    }
    hold.unlock();
    changed_.notify_all();  // room for the network thread
    return static_cast<int64_t>(done);
}

void NetStream::Run(Url url, bool streamBody) {
    try {
        Fetch(url, streamBody);
    } catch (...) {
        // Out of memory on this thread: the stream ends like one whose server went away
        // (readers get what is buffered, then the end); an open still waiting for the
        // head fails at once.
        {
            std::lock_guard<std::mutex> hold(lock_);
            if (!headDone_) headResult_ = FMOD_ERR_MEMORY;
            headDone_ = true;
        }
        Finish(true);
    }
}

void NetStream::Fetch(const Url& url, bool streamBody) {
    HttpAnswer answer;
    const auto deadline = Clock::now() + std::chrono::milliseconds(kOpenTimeoutMs);
    const FMOD_RESULT result = RequestStream(url, deadline, cancel_, answer);
    {
        std::lock_guard<std::mutex> hold(lock_);
        headDone_ = true;
        headResult_ = result;
        head_ = answer.head;
        if (result == FMOD_OK && streamBody) buffer_.resize(kNetBufferBytes);
    }
    changed_.notify_all();
    if (result != FMOD_OK || !streamBody) {
        Finish(result != FMOD_OK);
        return;
    }
    Stream(answer);
}

void NetStream::Stream(HttpAnswer& answer) {
    const std::string* encoding = FindHeader(answer.head, "transfer-encoding");
    const bool chunked = encoding && encoding->find("chunked") != std::string::npos;
    ChunkedDecoder dechunk;
    MetadataSplitter splitter(ParseMetaInterval(FindHeader(answer.head, "icy-metaint")));
    std::vector<uint8_t> received = std::move(answer.bodyStart), payload, audio;
    std::vector<std::string> blocks;
    std::vector<uint8_t> scratch(16 * 1024);
    auto lastBytes = Clock::now();
    for (;;) {
        payload.clear();
        audio.clear();
        blocks.clear();
        if (chunked) {
            if (!dechunk.Feed(received.data(), received.size(), payload)) return Finish(true);
        } else {
            payload.swap(received);
        }
        splitter.Feed(payload.data(), payload.size(), audio, blocks);
        for (const std::string& block : blocks) {
            StreamTitle title;
            if (ParseStreamTitle(block, title)) ApplyTitle(title);
        }
        if (!Put(audio)) return Finish(true);
        if (chunked && dechunk.Finished()) return Finish(false);
        received.clear();

        // Never take more from the socket than the buffer can hold: the server waits meanwhile.
        size_t room = 0;
        {
            std::unique_lock<std::mutex> hold(lock_);
            changed_.wait_for(hold, std::chrono::milliseconds(kCancelSliceMs),
                              [this] { return cancel_ || filled_ < kNetBufferBytes; });
            if (!cancel_) room = std::min(scratch.size(), kNetBufferBytes - filled_);
        }
        if (cancel_) return Finish(true);
        if (room == 0) {
            lastBytes = Clock::now();  // a full buffer is the listener's pause, not a stall
            continue;
        }
        size_t got = 0;
        const NetStatus status = answer.connection->Receive(scratch.data(), room, kCancelSliceMs, &got);
        if (status == NetStatus::kClosed) return Finish(false);
        if (status == NetStatus::kFailed) return Finish(true);
        if (status == NetStatus::kTimedOut) {
            if (Clock::now() - lastBytes > std::chrono::milliseconds(kStallTimeoutMs)) return Finish(true);
            continue;
        }
        lastBytes = Clock::now();
        received.assign(scratch.begin(), scratch.begin() + static_cast<long>(got));
    }
}

bool NetStream::Put(const std::vector<uint8_t>& audio) {
    size_t done = 0;
    std::unique_lock<std::mutex> hold(lock_);
    while (done < audio.size()) {
        changed_.wait(hold, [this] { return cancel_ || filled_ < kNetBufferBytes; });
        if (cancel_) return false;
        const size_t writeAt = (readAt_ + filled_) % kNetBufferBytes;
        const size_t run = std::min({audio.size() - done, kNetBufferBytes - filled_, kNetBufferBytes - writeAt});
        std::memcpy(&buffer_[writeAt], audio.data() + done, run);
        filled_ += run;
        done += run;
        changed_.notify_all();
    }
    return true;
}

void NetStream::ApplyTitle(const StreamTitle& title) {
    std::lock_guard<std::mutex> hold(lock_);
    if (havePending_ && title.artist == current_.artist && title.title == current_.title) return;
    current_ = title;
    havePending_ = true;
    if (!tags_) return;
    tags_->Set(tagType_, "ARTIST", current_.artist);
    tags_->Set(tagType_, "TITLE", current_.title);
}

void NetStream::Finish(bool failed) {
    {
        std::lock_guard<std::mutex> hold(lock_);
        ended_ = true;
        failed_ = failed;
    }
    changed_.notify_all();
}

}  // namespace engine
