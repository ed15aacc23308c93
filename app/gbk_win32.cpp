#include "app/gbk_win32.h"

#include <windows.h>

#include <algorithm>
#include <climits>

namespace quillora {

std::wstring WideFromGbk(std::string_view text) {
  if (text.empty()) return {};
  const int in = static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX));
  const int n = MultiByteToWideChar(kGbkCodePage, 0, text.data(), in, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(kGbkCodePage, 0, text.data(), in, out.data(), n);
  return out;
}

std::string GbkFromWide(std::wstring_view text) {
  if (text.empty()) return {};
  const int in = static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX));
  const int n = WideCharToMultiByte(kGbkCodePage, 0, text.data(), in, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(kGbkCodePage, 0, text.data(), in, out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace quillora
