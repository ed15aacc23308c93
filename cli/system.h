// What the command line tool needs of the operating system: files, the executable's folder,
// the system's random source and the two output streams. Paths and messages are UTF-8; the
// twins system_posix.cpp and system_win32.cpp turn them into what the system takes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quillora::cli {

// Lines of text output end like the platform's text files.
#ifdef _WIN32
inline constexpr std::string_view kLineEnd = "\r\n";
#else
inline constexpr std::string_view kLineEnd = "\n";
#endif

// The whole file, or nothing and the system's reason.
std::optional<std::string> ReadWholeFile(const std::string& path, std::string& reason);

bool PathExists(const std::string& path);

// The folder that holds the running executable, with a trailing separator; empty if unknown.
std::string ExecutableDirectory();

// 64 bits from the system's random source; false when it gives none.
bool SystemRandom(std::uint64_t& value);

// A message on standard error (shown right on a Windows console whatever its code page).
void WriteError(std::string_view utf8);

// Where the headlines go: standard output, or a temporary file beside the file asked for that
// is moved over it by Commit only when everything was written.
class Output {
 public:
  enum class Status { kOk, kClosed, kFailed };  // kClosed: the reader went away

  virtual ~Output() = default;
  // `gbk`: the bytes are GBK rather than UTF-8 (a Windows console needs to know).
  virtual Status Write(std::string_view bytes, bool gbk) = 0;
  virtual Status Commit() = 0;
  // The system's reason for the last kFailed, with the name that failed.
  virtual std::string Failure() const = 0;
};

std::unique_ptr<Output> OpenStandardOutput();
// Nothing and the reason when the temporary file cannot be made.
std::unique_ptr<Output> OpenFileOutput(const std::string& path, std::string& reason);

}  // namespace quillora::cli
