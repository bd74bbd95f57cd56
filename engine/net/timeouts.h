#pragma once
// How long the library waits for a network stream. Documented in README.md.
namespace engine {

// Connecting and receiving the whole answer head, redirects included.
constexpr int kOpenTimeoutMs = 5000;
// A playing stream whose server sends nothing for this long has ended.
constexpr int kStallTimeoutMs = 6000;
// A playing stream that has had no decodable audio for this long has ended
// (a server sending a trickle keeps the connection alive but never plays).
constexpr int kStarvedTimeoutMs = 12000;
// At most this many redirects are followed.
constexpr int kMaxRedirects = 5;

}  // namespace engine
