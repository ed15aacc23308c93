// The headline generator's own random numbers: a linear congruential generator that is
// re-seeded from the tick count before every pick, with an offset that keeps picks made
// within one millisecond apart.
#pragma once

#include <cstdint>

#include "platform/clock.h"

namespace quillora {

struct RandomGenerator {
  std::uint32_t state = 0;
  std::uint32_t reseed_offset = 0;  // grows by 100..355 at every re-seeding, never reset
};

// The generator the running program draws from; it lives as long as the process.
RandomGenerator& ProcessRandomGenerator();

// Sets the state from the clock and moves the re-seed offset on. Returns the seed.
std::uint32_t ReseedGenerator(RandomGenerator& rng, Clock& clock);

// Advances the state and yields bits 16 to 30 of the new state: 0 to 32767.
inline std::uint32_t Draw(RandomGenerator& rng) {
  rng.state = rng.state * 214013u + 2531011u;
  return (rng.state >> 16) & 0x7FFFu;
}

// Takes draws modulo a fixed divisor without a division instruction, for picking from the
// same list many times. A draw is below 2^15, so one multiplication and one shift give the
// exact remainder (Granlund and Montgomery: m = ceil(2^(15+l) / d) with l = ceil(log2 d)).
class DrawDivisor {
 public:
  explicit DrawDivisor(std::uint32_t divisor);  // divisor >= 1
  std::uint32_t Remainder(std::uint32_t draw) const {
    const auto quotient = static_cast<std::uint32_t>((std::uint64_t{draw} * multiplier_) >> shift_);
    return draw - quotient * divisor_;
  }

 private:
  std::uint32_t divisor_;
  std::uint64_t multiplier_;
  unsigned shift_;
};

// A number between the bounds, both included; a negative bound counts as 0. Equal bounds
// give that bound without a draw.
std::int32_t RandomBetween(RandomGenerator& rng, std::int32_t a, std::int32_t b);

}  // namespace quillora
