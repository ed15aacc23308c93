// PCG32 (O'Neill's PCG-XSH-RR with 64-bit state and a selectable stream) and unbiased bounded
// draws: the command line tool's own generator, so that a seed gives the same headlines with
// every compiler and standard library.
#pragma once

#include <cstdint>

namespace quillora {

class Pcg32 {
 public:
  // As pcg32_srandom_r(initstate, initseq) of the reference implementation.
  Pcg32(std::uint64_t initstate, std::uint64_t initseq) : state_(0), inc_((initseq << 1u) | 1u) {
    Next();
    state_ += initstate;
    Next();
  }

  // The generator a --seed value gives: the seed as initial state, on the tool's own stream.
  static Pcg32 FromSeed(std::uint32_t seed) { return Pcg32(seed, kSeedStream); }

  std::uint32_t Next() {
    const std::uint64_t old = state_;
    state_ = old * 6364136223846793005ULL + inc_;
    const auto xorshifted = static_cast<std::uint32_t>(((old >> 18u) ^ old) >> 27u);
    const auto rot = static_cast<std::uint32_t>(old >> 59u);
    return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
  }

  // A number in [0, bound), every value equally likely; bound >= 1. Lemire's multiply-and-shift
  // with the rejection that removes its bias.
  std::uint32_t Below(std::uint32_t bound) {
    std::uint64_t m = std::uint64_t{Next()} * bound;
    auto low = static_cast<std::uint32_t>(m);
    if (low < bound) {
      const std::uint32_t threshold = (0u - bound) % bound;
      while (low < threshold) {
        m = std::uint64_t{Next()} * bound;
        low = static_cast<std::uint32_t>(m);
      }
    }
    return static_cast<std::uint32_t>(m >> 32u);
  }

  // A number in [0, bound) for 64-bit bounds (bound >= 1): bounds up to 2^32 take Below,
  // larger ones draw 64 bits under the smallest covering mask and reject what is too big.
  std::uint64_t Below64(std::uint64_t bound) {
    if (bound <= 0xFFFFFFFFu) return Below(static_cast<std::uint32_t>(bound));
    std::uint64_t mask = bound - 1;
    mask |= mask >> 1u;
    mask |= mask >> 2u;
    mask |= mask >> 4u;
    mask |= mask >> 8u;
    mask |= mask >> 16u;
    mask |= mask >> 32u;
    for (;;) {
      const std::uint64_t high = Next();
      const std::uint64_t value = ((high << 32u) | Next()) & mask;
      if (value < bound) return value;
    }
  }

 private:
  static constexpr std::uint64_t kSeedStream = 0x51756C6CULL;

  std::uint64_t state_;
  std::uint64_t inc_;
};

}  // namespace quillora
