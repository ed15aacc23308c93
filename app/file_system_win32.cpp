#include "app/file_system_win32.h"

#include <windows.h>
// <windows.h> maps ReplaceFile to ReplaceFileA/W; here the name is our interface's method.
#undef ReplaceFile

#include <algorithm>

#include "app/gbk_win32.h"

namespace quillora {
namespace {

constexpr DWORD kChunk = 1 << 20;      // most bytes one write call is handed
constexpr DWORD kReadChunk = 1 << 16;  // room made for each read call

bool IsDirectory(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Writes all of `content` to a freshly created file and flushes it. False on any failure.
bool WriteWholeFile(const std::wstring& path, std::string_view content) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  std::size_t done = 0;
  while (ok && done < content.size()) {
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(content.size() - done, kChunk));
    DWORD written = 0;
    ok = ::WriteFile(file, content.data() + done, want, &written, nullptr) && written == want;
    done += written;
  }
  ok = ok && FlushFileBuffers(file);
  ok = CloseHandle(file) && ok;
  return ok;
}

}  // namespace

std::optional<std::string> Win32FileSystem::ReadFile(std::string_view path) {
  // Without FILE_FLAG_BACKUP_SEMANTICS a directory cannot be opened, so it reads as nothing.
  HANDLE file = CreateFileW(WideFromGbk(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string content;
  LARGE_INTEGER size;
  if (GetFileSizeEx(file, &size) && size.QuadPart > 0) {
    // One read's room beyond the size, so the last read finds space without regrowing.
    content.reserve(static_cast<std::size_t>(size.QuadPart) + kReadChunk);
  }
  // Read until the end rather than trusting the size: the file may change meanwhile.
  bool ok = true;
  for (;;) {
    const std::size_t used = content.size();
    content.resize(used + kReadChunk);
    DWORD got = 0;
    ok = ::ReadFile(file, content.data() + used, kReadChunk, &got, nullptr) != FALSE;
    content.resize(used + got);
    if (!ok || got == 0) break;
  }
  CloseHandle(file);
  if (!ok) return std::nullopt;
  return content;
}

bool Win32FileSystem::ReplaceFile(std::string_view path, std::string_view content) {
  const std::wstring target = WideFromGbk(path);
  // A read-only file is the user's way of saying "leave it": moving a new file over it would
  // succeed on some file systems (and under Wine), so it is refused here for all of them.
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    return false;
  }
  const std::wstring temp = target + L".tmp";
  if (!WriteWholeFile(temp, content) ||
      !MoveFileExW(temp.c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temp.c_str());
    return false;
  }
  return true;
}

bool Win32FileSystem::PathExists(std::string_view path) {
  return GetFileAttributesW(WideFromGbk(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32FileSystem::DirectoryExists(std::string_view path) {
  return IsDirectory(WideFromGbk(path));
}

bool Win32FileSystem::CreateDirectories(std::string_view path) {
  std::wstring full = WideFromGbk(path);
  while (full.size() > 1 && full.back() == L'\\') full.pop_back();
  if (full.empty()) return false;
  // Every prefix that ends before a backslash names a directory along the way. Prefixes that
  // are no directory one can create ("C:", "\\server") simply fail and are passed over; only
  // the final test decides.
  for (std::size_t i = 1; i < full.size(); ++i) {
    if (full[i] != L'\\' || full[i - 1] == L'\\') continue;
    const std::wstring prefix = full.substr(0, i);
    if (!IsDirectory(prefix)) CreateDirectoryW(prefix.c_str(), nullptr);
  }
  if (!IsDirectory(full)) CreateDirectoryW(full.c_str(), nullptr);
  return IsDirectory(full);
}

}  // namespace quillora
