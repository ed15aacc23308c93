// The Win32 tick count and clipboard behind the core's interfaces.
#pragma once

#include <windows.h>

#include "platform/clipboard.h"
#include "platform/clock.h"

namespace quillora {

class Win32Clock : public Clock {
 public:
  std::uint32_t TickCount() override { return GetTickCount(); }
};

// Puts GBK text on the clipboard as CF_TEXT and, so that programs on systems with another
// ANSI code page read it right, the same text as CF_UNICODETEXT.
class Win32Clipboard : public Clipboard {
 public:
  explicit Win32Clipboard(HWND owner) : owner_(owner) {}
  bool PutText(std::string_view text) override;

 private:
  HWND owner_;
};

}  // namespace quillora
