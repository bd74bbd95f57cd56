// Connecting: the attempt order of a host's addresses, and the open's time bound with a
// name lookup that hangs and with a first address that never answers.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <thread>

#include <gtest/gtest.h>

#include "net/address_order.h"
#include "net/open_url.h"
#include "net/resolver.h"

using namespace engine;
using namespace std::chrono_literals;

TEST(AddressOrder, FamiliesTakeTurnsAfterTheResolversFirstChoice) {
    // The families in the resolver's order, and the order tried (indexes into them).
    const struct { std::vector<int> families, order; } cases[] = {
        {{}, {}}, {{6, 6, 4, 4}, {0, 2, 1, 3}}, {{4, 6, 6, 6}, {0, 1, 2, 3}}, {{6, 4, 4, 4, 6}, {0, 1, 4, 2, 3}},
        {{4, 4, 4}, {0, 1, 2}},
    };
    for (const auto& c : cases) {
        std::vector<os::Address> addresses;
        for (size_t i = 0; i < c.families.size(); ++i) addresses.push_back({c.families[i], 0, 0, {static_cast<unsigned char>(i)}});
        std::vector<int> tried;
        for (const os::Address& a : InterleaveFamilies(addresses)) tried.push_back(a.bytes[0]);
        EXPECT_EQ(tried, c.order) << ::testing::PrintToString(c.families);
    }
}

namespace {

uint16_t gDeadPort = 0, gGoodPort = 0;
std::promise<void> gHangEnds;

sockaddr_in Loopback(uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET, a.sin_port = htons(port), a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

os::Address AddressOf(uint16_t port) {
    const sockaddr_in a = Loopback(port);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&a);
    return {AF_INET, SOCK_STREAM, IPPROTO_TCP, {bytes, bytes + sizeof a}};
}

// A loopback listener on a port of its own.
int Listen(int backlog, uint16_t* port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a = Loopback(0);
    socklen_t length = sizeof a;
    EXPECT_TRUE(bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 && listen(fd, backlog) == 0);
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length);
    *port = ntohs(a.sin_port);
    return fd;
}

class OpenBound : public ::testing::Test {
protected:
    void TearDown() override { SetResolveFunction(nullptr); }
    // Opens with the given lookup; the result, and the open must not take long.
    FMOD_RESULT TimedOpen(ResolveFunction resolve) {
        SetResolveFunction(resolve);
        const auto before = std::chrono::steady_clock::now();
        const FMOD_RESULT r = OpenUrl("http://radio.example:8000/", FMOD_OPENONLY, 0, FMOD_TIMEUNIT_MS, opened);
        EXPECT_LT(std::chrono::steady_clock::now() - before, 6s);
        return r;
    }
    OpenedUrl opened;
};

}  // namespace

TEST_F(OpenBound, AHangingNameLookupIsLeftBehindAtTheDeadline) {
    EXPECT_EQ(TimedOpen([](const std::string&, uint16_t) {
                  gHangEnds.get_future().wait();
                  return std::vector<os::Address>{};
              }),
              FMOD_ERR_HTTP_TIMEOUT);
    gHangEnds.set_value();  // the abandoned lookup ends late; its answer goes nowhere
}

TEST_F(OpenBound, AFirstAddressThatNeverAnswersLeavesTimeForTheNext) {
    // A full backlog of 0: the listener drops every further connect request unanswered.
    const int dead = Listen(0, &gDeadPort), filler = socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in deadAddress = Loopback(gDeadPort);
    ASSERT_EQ(connect(filler, reinterpret_cast<const sockaddr*>(&deadAddress), sizeof deadAddress), 0);
    const int good = Listen(4, &gGoodPort);
    std::thread server([good] {
        const int client = accept(good, nullptr, nullptr);
        char request[1024];
        if (client < 0 || recv(client, request, sizeof request, 0) <= 0) return;
        const char answer[] = "ICY 200 OK\r\nicy-name: Reached\r\n\r\n";
        send(client, answer, sizeof answer - 1, MSG_NOSIGNAL);
        close(client);
    });
    EXPECT_EQ(TimedOpen([](const std::string&, uint16_t) { return std::vector<os::Address>{AddressOf(gDeadPort), AddressOf(gGoodPort)}; }),
              FMOD_OK);
    const auto tags = opened.tags->Snapshot();
    EXPECT_TRUE(!tags->empty() && tags->front().data == "Reached");
    shutdown(good, SHUT_RDWR);  // ends accept if the open never came
    server.join();
    for (int fd : {filler, dead, good}) close(fd);
}
