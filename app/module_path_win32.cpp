#include "app/module_path_win32.h"

#include <windows.h>

#include "app/gbk_win32.h"

namespace quillora {

std::string ModuleFileNameGbk() {
  // Long paths ("\\?\" form) are at most 32 767 characters; stop growing well past that.
  constexpr DWORD kLimit = 1 << 16;
  for (DWORD size = MAX_PATH; size <= kLimit; size *= 2) {
    std::wstring buffer(size, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), size);
    if (n == 0) return {};
    if (n < size) {  // n == size means the name was cut to fit
      buffer.resize(n);
      return GbkFromWide(buffer);
    }
  }
  return {};
}

}  // namespace quillora
