// The settings code's file operations on the wide Win32 file functions. Paths arrive as GBK
// and are converted with code page 936, so they work whatever the system's ANSI code page is.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace quillora {

class Win32FileSystem : public FileSystem {
 public:
  // The whole file, however large; nothing when it is missing, a directory or unreadable.
  std::optional<std::string> ReadFile(std::string_view path) override;

  // Writes "<path>.tmp", flushes it to disk and moves it over `path` in one step. On any
  // failure the temporary file is removed and the old file stays as it was.
  bool ReplaceFile(std::string_view path, std::string_view content) override;

  bool PathExists(std::string_view path) override;
  bool DirectoryExists(std::string_view path) override;

  // Creates each missing directory along the path, from the root down. A trailing backslash
  // is allowed. True when the whole path is a directory afterwards.
  bool CreateDirectories(std::string_view path) override;
};

}  // namespace quillora
