// The few file operations the settings code needs. Paths are GBK texts with backslashes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillora {

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The whole content of a file, or nothing when it cannot be read.
  virtual std::optional<std::string> ReadFile(std::string_view path) = 0;

  // Replaces the file's content in one step: the new content is written beside it first and
  // then moved over it, so a failed write leaves the old file as it was. False on failure.
  virtual bool ReplaceFile(std::string_view path, std::string_view content) = 0;

  // Whether anything (a file or a directory) exists under the path.
  virtual bool PathExists(std::string_view path) = 0;

  // Whether the path names an existing directory.
  virtual bool DirectoryExists(std::string_view path) = 0;

  // Creates every missing directory along the path, the last component included.
  // True when all of them exist afterwards.
  virtual bool CreateDirectories(std::string_view path) = 0;
};

}  // namespace quillora
