// A failing allocation on a stream's network thread or decoding worker ends that stream
// only, after what it had buffered; the process and a stream beside it go on.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "net/net_decoder.h"
#include "net/net_stream.h"

using namespace engine;

namespace {

// Armed, the next allocation of a network stream's byte buffer fails (on its thread).
std::atomic<bool> gFailNextStreamBuffer{false};

}  // namespace

void* operator new(size_t size) {
    if (size == kNetBufferBytes && gFailNextStreamBuffer.exchange(false)) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

namespace {

constexpr size_t kBodyBytes = 64 * 1024;

// A loopback radio: every connection gets a head and kBodyBytes, then is closed.
struct Radio {
    int listener = socket(AF_INET, SOCK_STREAM, 0);
    Url url;
    std::thread thread;
    Radio() {
        sockaddr_in a{};
        a.sin_family = AF_INET, a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof a;
        bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(listener, 4);
        getsockname(listener, reinterpret_cast<sockaddr*>(&a), &length);
        ParseUrl("http://127.0.0.1:" + std::to_string(ntohs(a.sin_port)) + "/", url);
        thread = std::thread([this] {
            const std::string answer = "ICY 200 OK\r\n\r\n" + std::string(kBodyBytes, 'x');
            for (int client; (client = accept(listener, nullptr, nullptr)) >= 0; close(client)) {
                char request[1024];
                if (recv(client, request, sizeof request, 0) > 0) send(client, answer.data(), answer.size(), MSG_NOSIGNAL);
            }
        });
    }
    ~Radio() {
        shutdown(listener, SHUT_RDWR);  // ends accept
        thread.join();
        close(listener);
    }
};

// All bytes of a stream until it ends; the last Take's answer in *end.
size_t Drain(NetStream& stream, int64_t* end) {
    size_t total = 0;
    char buffer[4096];
    while ((*end = stream.Take(buffer, sizeof buffer, 2000)) > 0) total += static_cast<size_t>(*end);
    return total;
}

// Endless quiet stereo; with failAfter, its reads after that many throw.
struct Tone : Decoder {
    explicit Tone(int failAfter) : failAfter(failAfter) {
        format.channels = 2;
        format.sampleRate = 44100;
    }
    const StreamFormat& Format() const override { return format; }
    int64_t ReadFrames(float* out, size_t frames) override {
        if (failAfter >= 0 && reads++ >= failAfter) throw std::bad_alloc();
        std::fill(out, out + frames * 2, 0.25f);
        given += frames;
        return static_cast<int64_t>(frames);
    }
    bool SeekToFrame(uint64_t) override { return false; }
    StreamFormat format;
    int failAfter, reads = 0;
    uint64_t given = 0;
};

// Frames a decoder gives until it ends, at most `limit`.
uint64_t FramesUntilEnd(Decoder& decoder, uint64_t limit) {
    std::vector<float> out(2 * 512);
    uint64_t total = 0;
    for (int64_t got; total < limit && (got = decoder.ReadFrames(out.data(), 512)) > 0;)
        if (got > 1 || out[0] != 0.0f) total += static_cast<uint64_t>(got);  // not an underrun's silent frame
    return total;
}

}  // namespace

TEST(NetThreadBarrier, AFailingAllocationOnTheNetworkThreadEndsItsOwnStreamOnly) {
    Radio radio;
    NetStream healthy(radio.url, true);
    ASSERT_EQ(healthy.WaitForHead(nullptr), FMOD_OK);  // its buffer is in place
    gFailNextStreamBuffer = true;
    NetStream failing(radio.url, true);
    EXPECT_EQ(failing.WaitForHead(nullptr), FMOD_OK);  // the buffer comes after the head
    EXPECT_FALSE(gFailNextStreamBuffer);
    int64_t end = 0;
    EXPECT_EQ(Drain(failing, &end), 0u);
    EXPECT_EQ(end, -1);  // failed, not a clean end
    EXPECT_EQ(Drain(healthy, &end), kBodyBytes);
    EXPECT_EQ(end, 0);
}

TEST(NetThreadBarrier, ADecoderThatThrowsOnTheWorkerEndsAfterItsDecodedFrames) {
    Radio radio;
    auto stream = std::make_shared<NetStream>(radio.url, false);
    auto tone = std::make_unique<Tone>(2);
    const Tone& failingTone = *tone;
    NetDecoder failing(std::move(tone), stream), healthy(std::make_unique<Tone>(-1), stream);
    const uint64_t heard = FramesUntilEnd(failing, 44100);
    EXPECT_GT(heard, 0u);
    EXPECT_EQ(heard, failingTone.given);  // every frame decoded before the throw, then the end
    EXPECT_GE(FramesUntilEnd(healthy, 44100), 44100u);  // and on
}
