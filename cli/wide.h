// UTF-8 and the UTF-16 of Windows' wide-character functions.
#pragma once

#include <windows.h>

#include <climits>
#include <string>
#include <string_view>

namespace quillora::cli {

inline std::wstring WideFromUtf8(std::string_view utf8) {
  if (utf8.empty() || utf8.size() > INT_MAX) return {};
  const int in = static_cast<int>(utf8.size());
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), in, nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), in, out.data(), n);
  return out;
}

inline std::string Utf8FromWide(std::wstring_view wide) {
  if (wide.empty() || wide.size() > INT_MAX / 4) return {};
  const int in = static_cast<int>(wide.size());
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), in, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, wide.data(), in, out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace quillora::cli
