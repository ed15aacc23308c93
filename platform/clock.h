// The system's millisecond tick count, behind an interface so that tests can fix it.
#pragma once

#include <cstdint>

namespace quillora {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since the system started, 32 bits, wrapping.
  virtual std::uint32_t TickCount() = 0;
};

}  // namespace quillora
