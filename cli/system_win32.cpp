// The operating system on Windows: wide-character file functions, the console written in wide
// characters, and the system's random source through ADVAPI32's RtlGenRandom.
#include <windows.h>

#include <algorithm>
#include <climits>

#include "cli/system.h"
#include "cli/wide.h"
#include "text/encoding.h"

// RtlGenRandom, exported by ADVAPI32 under this name.
extern "C" BOOLEAN WINAPI SystemFunction036(PVOID buffer, ULONG length);

namespace quillora::cli {

namespace {

std::string SystemMessage(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = n > 0 && text ? std::wstring(text, n) : std::wstring();
  if (text) LocalFree(text);
  while (!message.empty() &&
         (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' ' ||
          message.back() == L'.')) {
    message.pop_back();
  }
  if (message.empty()) return "error " + std::to_string(error);
  return Utf8FromWide(message);
}

bool WriteAll(HANDLE handle, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(handle, bytes.data(), chunk, &written, nullptr)) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode);
}

// A console shows wide characters right whatever its code page.
bool WriteConsoleText(HANDLE handle, std::string_view bytes, bool gbk) {
  std::string utf8;
  if (gbk) {
    text::GbkToUtf8(bytes, utf8);
    bytes = utf8;
  }
  const std::wstring wide = WideFromUtf8(bytes);
  std::size_t done = 0;
  while (done < wide.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 8192));
    DWORD written = 0;
    if (!WriteConsoleW(handle, wide.data() + done, chunk, &written, nullptr) || written == 0) {
      return false;
    }
    done += written;
  }
  return true;
}

class StandardOutput : public Output {
 public:
  StandardOutput() : handle_(GetStdHandle(STD_OUTPUT_HANDLE)), console_(IsConsole(handle_)) {}
  Status Write(std::string_view bytes, bool gbk) override {
    const bool ok = console_ ? WriteConsoleText(handle_, bytes, gbk) : WriteAll(handle_, bytes);
    if (ok) return Status::kOk;
    const DWORD error = GetLastError();
    if (error == ERROR_BROKEN_PIPE || error == ERROR_NO_DATA) return Status::kClosed;
    failure_ = "cannot write to standard output: " + SystemMessage(error);
    return Status::kFailed;
  }
  Status Commit() override { return Status::kOk; }
  std::string Failure() const override { return failure_; }

 private:
  HANDLE handle_;
  bool console_;
  std::string failure_;
};

// A file marked for deletion goes when its last handle closes, also when the process is
// ended by Ctrl+C, a closed console or the task manager: the temporary file is marked so until
// everything is written.
bool MarkForDeletion(HANDLE handle, bool marked) {
  FILE_DISPOSITION_INFO info{};
  info.DeleteFile = marked ? TRUE : FALSE;
  return SetFileInformationByHandle(handle, FileDispositionInfo, &info, sizeof info) != 0;
}

class FileOutput : public Output {
 public:
  FileOutput(std::string path, std::wstring temp, HANDLE handle)
      : path_(std::move(path)), temp_(std::move(temp)), handle_(handle) {}
  ~FileOutput() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    if (!committed_) DeleteFileW(temp_.c_str());
  }
  Status Write(std::string_view bytes, bool) override {
    return WriteAll(handle_, bytes) ? Status::kOk : Fail();
  }
  Status Commit() override {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    if (!MarkForDeletion(handle, false)) {
      CloseHandle(handle);
      return Fail();
    }
    if (!CloseHandle(handle)) return Fail();
    if (!MoveFileExW(temp_.c_str(), WideFromUtf8(path_).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return Fail();
    }
    committed_ = true;
    return Status::kOk;
  }
  std::string Failure() const override { return failure_; }

 private:
  Status Fail() {
    failure_ = "cannot write " + path_ + ": " + SystemMessage(GetLastError());
    return Status::kFailed;
  }
  std::string path_;
  std::wstring temp_;
  HANDLE handle_;
  bool committed_ = false;
  std::string failure_;
};

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path, std::string& reason) {
  const HANDLE file = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    reason = SystemMessage(GetLastError());
    return std::nullopt;
  }
  std::string content;
  char buffer[1 << 16];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
      reason = SystemMessage(GetLastError());
      CloseHandle(file);
      return std::nullopt;
    }
    if (got == 0) break;
    content.append(buffer, got);
  }
  CloseHandle(file);
  return content;
}

bool PathExists(const std::string& path) {
  return GetFileAttributesW(WideFromUtf8(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ExecutableDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  const std::size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::string() : Utf8FromWide(path.substr(0, slash + 1));
}

bool SystemRandom(std::uint64_t& value) {
  return SystemFunction036(&value, sizeof value) != FALSE;
}

void WriteError(std::string_view utf8) {
  const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
  if (IsConsole(handle)) {
    WriteConsoleText(handle, utf8, false);
  } else {
    WriteAll(handle, utf8);
  }
}

std::unique_ptr<Output> OpenStandardOutput() { return std::make_unique<StandardOutput>(); }

std::unique_ptr<Output> OpenFileOutput(const std::string& path, std::string& reason) {
  std::uint64_t tag = 0;
  SystemRandom(tag);
  const std::wstring temp = WideFromUtf8(path) + L".tmp-" +
                            std::to_wstring(GetCurrentProcessId()) + L"-" +
                            std::to_wstring(tag & 0xFFFFFFu);
  const HANDLE handle = CreateFileW(temp.c_str(), GENERIC_WRITE | DELETE, 0, nullptr,
                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    reason = "cannot write " + path + ": " + SystemMessage(GetLastError());
    return nullptr;
  }
  // Where the file system cannot mark it, the destructor still removes it on every failure
  // that the program sees.
  MarkForDeletion(handle, true);
  return std::make_unique<FileOutput>(path, temp, handle);
}

}  // namespace quillora::cli
