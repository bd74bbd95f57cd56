// Connecting: the attempt order of a host's addresses, and the open's time bound with a
// name lookup that hangs and with a first address that never answers.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

#include "net/address_order.h"
#include "net/open_url.h"
#include "net/resolver.h"

using namespace engine;
using namespace std::chrono_literals;

TEST(AddressOrder, FamiliesTakeTurnsAfterTheResolversFirstChoice) {
    struct Case {
        std::vector<int> families;  // in the resolver's order
        std::vector<int> order;     // indexes into it, as tried
    } const cases[] = {
        {{}, {}},
        {{6, 6, 4, 4}, {0, 2, 1, 3}},
        {{4, 6, 6, 6}, {0, 1, 2, 3}},
        {{6, 4, 4, 4, 6}, {0, 1, 4, 2, 3}},
        {{4, 4, 4}, {0, 1, 2}},
    };
    for (const Case& c : cases) {
        std::vector<os::Address> addresses;
        for (size_t i = 0; i < c.families.size(); ++i)
            addresses.push_back({c.families[i], 0, 0, {static_cast<unsigned char>(i)}});
        std::vector<int> tried;
        for (const os::Address& a : InterleaveFamilies(addresses)) tried.push_back(a.bytes[0]);
        EXPECT_EQ(tried, c.order) << ::testing::PrintToString(c.families);
    }
}

namespace {

uint16_t gDeadPort = 0, gGoodPort = 0;
std::mutex gHangLock;
std::condition_variable gHangEnded;
bool gHanging = false;

os::Address Loopback(uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&a);
    return {AF_INET, SOCK_STREAM, IPPROTO_TCP, {bytes, bytes + sizeof a}};
}

std::vector<os::Address> DeadThenGood(const std::string&, uint16_t) {
    return {Loopback(gDeadPort), Loopback(gGoodPort)};
}

std::vector<os::Address> Hang(const std::string&, uint16_t) {
    std::unique_lock<std::mutex> hold(gHangLock);
    gHangEnded.wait(hold, [] { return !gHanging; });
    return {};
}

// A loopback listener; its port.
int Listen(int backlog, uint16_t* port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    EXPECT_EQ(listen(fd, backlog), 0);
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length);
    *port = ntohs(a.sin_port);
    return fd;
}

class OpenBound : public ::testing::Test {
protected:
    void TearDown() override { SetResolveFunction(nullptr); }
    FMOD_RESULT TimedOpen(std::chrono::steady_clock::duration* took) {
        const auto before = std::chrono::steady_clock::now();
        const FMOD_RESULT r = OpenUrl("http://radio.example:8000/", FMOD_OPENONLY, 0, FMOD_TIMEUNIT_MS, opened);
        *took = std::chrono::steady_clock::now() - before;
        return r;
    }
    OpenedUrl opened;
};

}  // namespace

TEST_F(OpenBound, AHangingNameLookupIsLeftBehindAtTheDeadline) {
    gHanging = true;
    SetResolveFunction(Hang);
    std::chrono::steady_clock::duration took{};
    EXPECT_EQ(TimedOpen(&took), FMOD_ERR_HTTP_TIMEOUT);
    EXPECT_LT(took, 6s);
    {
        std::lock_guard<std::mutex> hold(gHangLock);
        gHanging = false;
    }
    gHangEnded.notify_all();  // the abandoned lookup ends late; its answer goes nowhere
}

TEST_F(OpenBound, AFirstAddressThatNeverAnswersLeavesTimeForTheNext) {
    // A full backlog of 0: the listener drops every further connect request unanswered.
    const int dead = Listen(0, &gDeadPort);
    const int filler = socket(AF_INET, SOCK_STREAM, 0);
    const os::Address deadAddress = Loopback(gDeadPort);
    ASSERT_EQ(connect(filler, reinterpret_cast<const sockaddr*>(deadAddress.bytes.data()), deadAddress.bytes.size()), 0);
    const int good = Listen(4, &gGoodPort);
    std::thread server([good] {
        const int client = accept(good, nullptr, nullptr);
        char request[1024];
        if (client < 0 || recv(client, request, sizeof request, 0) <= 0) return;
        const char answer[] = "ICY 200 OK\r\nicy-name: Reached\r\n\r\n";
        send(client, answer, sizeof answer - 1, MSG_NOSIGNAL);
        close(client);
    });
    SetResolveFunction(DeadThenGood);
    std::chrono::steady_clock::duration took{};
    EXPECT_EQ(TimedOpen(&took), FMOD_OK);
    EXPECT_LT(took, 6s);
    const auto tags = opened.tags->Snapshot();
    ASSERT_FALSE(tags->empty());
    EXPECT_EQ(tags->front().data, "Reached");
    shutdown(good, SHUT_RDWR);  // ends accept if the open never came
    server.join();
    for (int fd : {filler, dead, good}) close(fd);
}
