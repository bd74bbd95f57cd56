#include "net/resolver.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace engine {
namespace {

std::atomic<ResolveFunction> gResolve{nullptr};

// Shared by the waiting caller and the worker: whichever lets go last frees it.
struct Lookup {
    std::mutex lock;
    std::condition_variable done;
    bool finished = false;
    std::vector<os::Address> addresses;
};

}  // namespace

void SetResolveFunction(ResolveFunction resolve) { gResolve = resolve; }

NetStatus ResolveWithin(const std::string& host, uint16_t port, Clock::time_point deadline,
                        const std::atomic<bool>& cancel, std::vector<os::Address>* out) {
    ResolveFunction resolve = gResolve.load();
    if (!resolve) resolve = os::Resolve;
    auto lookup = std::make_shared<Lookup>();
    os::KeepLibraryLoaded();  // the lookup's thread runs our code after a hanging call returns
    try {
        std::thread([lookup, resolve, host, port] {
            std::vector<os::Address> addresses;
            try {
                addresses = resolve(host, port);
            } catch (...) {
                addresses.clear();  // out of memory: an unknown name, the caller goes on
            }
            std::lock_guard<std::mutex> hold(lookup->lock);
            lookup->addresses = std::move(addresses);
            lookup->finished = true;
            lookup->done.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        return NetStatus::kFailed;  // no thread to be had
    }
    std::unique_lock<std::mutex> hold(lookup->lock);
    while (!lookup->finished) {
        if (cancel) return NetStatus::kCancelled;
        const auto now = Clock::now();
        if (now >= deadline) return NetStatus::kTimedOut;
        lookup->done.wait_until(hold, std::min(deadline, now + std::chrono::milliseconds(kCancelSliceMs)));
    }
    *out = std::move(lookup->addresses);
    return out->empty() ? NetStatus::kFailed : NetStatus::kOk;
}

}  // namespace engine
