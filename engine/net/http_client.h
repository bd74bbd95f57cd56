#pragma once
// One GET request with "Icy-MetaData: 1", following redirects, up to the end of
// the answer's head. Runs on the network thread.
#include <atomic>
#include <memory>
#include <vector>

#include "fmodex.h"
#include "net/http_response.h"
#include "net/socket.h"
#include "net/url.h"

namespace engine {

struct HttpAnswer {
    std::unique_ptr<Connection> connection;
    ResponseHead head;
    std::vector<uint8_t> bodyStart;  // bytes that came with the head
};

// The request text for url (HTTP/1.1, or 1.0 for servers that refuse 1.1; Connection:
// close; Basic authorisation from the user info).
std::string BuildRequest(const Url& url, bool http10 = false);
// Connects, asks and reads the head of a 200 answer, all before the deadline.
FMOD_RESULT RequestStream(const Url& url, Clock::time_point deadline, const std::atomic<bool>& cancel,
                          HttpAnswer& out);

}  // namespace engine
