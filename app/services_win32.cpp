#include "app/services_win32.h"

#include <cstring>

#include "app/gbk_win32.h"

namespace quillora {

namespace {

// A movable, zero-filled block holding `size` bytes of `data` and a terminating zero of
// `terminator` bytes; null when the memory cannot be had.
HGLOBAL MakeBlock(const void* data, std::size_t size, std::size_t terminator) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size + terminator);
  if (block == nullptr) return nullptr;
  void* p = GlobalLock(block);
  if (p == nullptr) {
    GlobalFree(block);
    return nullptr;
  }
  if (size != 0) std::memcpy(p, data, size);
  GlobalUnlock(block);
  return block;
}

}  // namespace

bool Win32Clipboard::PutText(std::string_view text) {
  // The window owns the clipboard while it is open: after an owner-less open, EmptyClipboard
  // leaves no owner and SetClipboardData would fail.
  if (!OpenClipboard(owner_)) return false;
  EmptyClipboard();
  bool ok = false;
  if (HGLOBAL ansi = MakeBlock(text.data(), text.size(), 1)) {
    if (SetClipboardData(CF_TEXT, ansi) != nullptr) {
      ok = true;
    } else {
      GlobalFree(ansi);
    }
  }
  if (ok) {
    const std::wstring wide = WideFromGbk(text);
    if (HGLOBAL unicode = MakeBlock(wide.data(), wide.size() * sizeof(wchar_t), sizeof(wchar_t))) {
      if (SetClipboardData(CF_UNICODETEXT, unicode) == nullptr) GlobalFree(unicode);
    }
  }
  CloseClipboard();
  return ok;
}

}  // namespace quillora
