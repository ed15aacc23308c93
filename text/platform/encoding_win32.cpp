// The GBK converter on Windows: code page 936 through the system's own tables.
#include <windows.h>

#include <climits>
#include <vector>

#include "text/encoding.h"
#include "text/utf8.h"

namespace quillora::text {

namespace {

constexpr UINT kGbkCodePage = 936;

// UTF-8 to UTF-16, one code point at a time, remembering where each UTF-16 unit came from.
std::wstring WideFromUtf8(std::string_view utf8, std::vector<std::size_t>* origins) {
  std::wstring wide;
  wide.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const CodePoint cp = DecodeUtf8At(utf8, pos);
    if (cp.value >= 0x10000) {
      wide += static_cast<wchar_t>(0xD800 + ((cp.value - 0x10000) >> 10));
      wide += static_cast<wchar_t>(0xDC00 + ((cp.value - 0x10000) & 0x3FF));
      if (origins) origins->insert(origins->end(), 2, pos);
    } else {
      wide += static_cast<wchar_t>(cp.value);
      if (origins) origins->push_back(pos);
    }
    pos += cp.length;
  }
  return wide;
}

}  // namespace

bool GbkToUtf8(std::string_view gbk, std::string& utf8, std::size_t* bad_offset) {
  utf8.clear();
  if (gbk.empty()) return true;
  if (gbk.size() > INT_MAX) return false;
  const int in = static_cast<int>(gbk.size());
  const int n = MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, gbk.data(), in, nullptr, 0);
  if (n <= 0) {
    // Find the first character that does not convert on its own.
    if (bad_offset) {
      std::size_t pos = 0;
      while (pos < gbk.size()) {
        const int len = (static_cast<unsigned char>(gbk[pos]) >= 0x81 && pos + 1 < gbk.size()) ? 2 : 1;
        if (MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, gbk.data() + pos, len, nullptr,
                                0) <= 0) {
          break;
        }
        pos += static_cast<std::size_t>(len);
      }
      *bad_offset = pos;
    }
    return false;
  }
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, gbk.data(), in, wide.data(), n);
  for (std::size_t i = 0; i < wide.size(); ++i) {
    std::uint32_t cp = static_cast<std::uint16_t>(wide[i]);
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < wide.size()) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<std::uint16_t>(wide[i + 1]) - 0xDC00);
      ++i;
    }
    AppendUtf8(cp, utf8);
  }
  return true;
}

bool Utf8ToGbk(std::string_view utf8, std::string& gbk, std::size_t* bad_offset) {
  gbk.clear();
  if (utf8.empty()) return true;
  std::vector<std::size_t> origins;
  const std::wstring wide = WideFromUtf8(utf8, &origins);
  if (wide.size() > INT_MAX / 2) return false;
  // One character at a time would be slow for long lists; convert the whole text and, only
  // when something has no GBK form, look for the first such character.
  const int in = static_cast<int>(wide.size());
  BOOL used_default = FALSE;
  const int n = WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), in, nullptr, 0,
                                    nullptr, &used_default);
  if (n > 0 && !used_default) {
    gbk.assign(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), in, gbk.data(), n, nullptr,
                        nullptr);
    return true;
  }
  for (std::size_t i = 0; i < wide.size(); ++i) {
    const int len = (wide[i] >= 0xD800 && wide[i] < 0xDC00 && i + 1 < wide.size()) ? 2 : 1;
    BOOL bad = FALSE;
    const int m = WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, wide.data() + i, len,
                                      nullptr, 0, nullptr, &bad);
    if (m <= 0 || bad) {
      if (bad_offset) *bad_offset = origins[i];
      break;
    }
    i += static_cast<std::size_t>(len - 1);
  }
  gbk.clear();
  return false;
}

}  // namespace quillora::text
