#include "generator/random.h"

#include <algorithm>

namespace quillora {

RandomGenerator& ProcessRandomGenerator() {
  static RandomGenerator rng;
  return rng;
}

std::uint32_t ReseedGenerator(RandomGenerator& rng, Clock& clock) {
  const std::uint32_t seed = clock.TickCount() + rng.reseed_offset;  // wraps modulo 2^32
  rng.reseed_offset += (seed % 256u) + 100u;
  rng.state = seed;
  return seed;
}

DrawDivisor::DrawDivisor(std::uint32_t divisor) : divisor_(divisor) {
  unsigned l = 0;
  while ((std::uint64_t{1} << l) < divisor) ++l;
  shift_ = 15 + l;
  const std::uint64_t power = std::uint64_t{1} << shift_;
  multiplier_ = (power + divisor - 1) / divisor;
}

std::int32_t RandomBetween(RandomGenerator& rng, std::int32_t a, std::int32_t b) {
  const auto low = static_cast<std::uint32_t>(std::max<std::int32_t>(std::min(a, b), 0));
  const auto high = static_cast<std::uint32_t>(std::max<std::int32_t>(std::max(a, b), 0));
  if (low == high) return static_cast<std::int32_t>(low);
  const std::uint32_t span = high - low + 1;  // at most 2^31, so it fits in 32 bits
  return static_cast<std::int32_t>(low + Draw(rng) % span);
}

}  // namespace quillora
