// Native builds speak plain http only.
#include "net/tls.h"

namespace engine {

bool TlsAvailable() { return false; }

NetStatus StartTls(std::unique_ptr<Connection>&, const std::string&, Clock::time_point, const std::atomic<bool>&) {
    return NetStatus::kFailed;
}

}  // namespace engine
