#pragma once
// The library's decode thread: keeps every registered stream's ring filled
// ahead of the mixer, up to the ring's capacity (the stream buffer size), and
// performs the seeks that API calls request. Reading and decoding happen outside
// every lock an API call waits for: the audio lock covers the copy into the ring,
// the jobs lock only the list of streams. A decoder that throws (an allocation
// failing) ends its own stream; the others go on.
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "playback/stream_job.h"

namespace engine {

class DecodeThread {
public:
    explicit DecodeThread(std::mutex& audioLock);
    ~DecodeThread();
    DecodeThread(const DecodeThread&) = delete;
    DecodeThread& operator=(const DecodeThread&) = delete;

    void Add(std::shared_ptr<StreamJob> job);
    // After this returns the thread no longer reads or decodes for the job. Waits at most
    // for the job's own chunk in progress, never for other streams.
    void Remove(const std::shared_ptr<StreamJob>& job);
    // A seek or a new stream wants attention now rather than at the next poll.
    void Wake();

private:
    void Run();
    bool ServiceOrEnd(StreamJob& job);
    bool Service(StreamJob& job);

    std::mutex& audioLock_;
    std::mutex jobsLock_;  // guards jobs_, stop_ and pokes_; never held while decoding
    std::condition_variable wake_;
    std::vector<std::shared_ptr<StreamJob>> jobs_;
    std::vector<std::shared_ptr<StreamJob>> pass_;  // decode thread only: the jobs of this pass
    bool stop_ = false;
    bool pokes_ = false;
    std::thread thread_;
};

}  // namespace engine
