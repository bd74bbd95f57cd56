#pragma once
// Helpers of the crafted-stream tests: signals to encode and the two-decoder check.
#include <cstddef>
#include <cstdint>
#include <vector>

// A sweep plus noise, full scale for `bits` times `level`, clamped to the signed range.
std::vector<int64_t> Signal(size_t n, unsigned bits, unsigned seed, double level = 0.7);
std::vector<int64_t> Interleave(const std::vector<std::vector<int64_t>>& channels);
// libFLAC and our decoder (whole and in small pieces) both give exactly `expected`.
void ExpectBothDecodeTo(const std::vector<uint8_t>& stream, const std::vector<int64_t>& expected);
