#pragma once
// What every network wait answers, and the clock its deadlines are on.
#include <chrono>

namespace engine {

using Clock = std::chrono::steady_clock;
// Waits are cut into slices of this length so that a cancel request is noticed quickly.
constexpr int kCancelSliceMs = 50;

enum class NetStatus { kOk, kClosed, kTimedOut, kCancelled, kFailed };

}  // namespace engine
