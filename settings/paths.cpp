#include "settings/paths.h"

#include "text/gbk.h"

namespace quillora {

std::string ExecutableDirectoryFromModulePath(std::string_view module_path) {
  const std::size_t cut = text::FindLastCharAtCharStart(module_path, '\\');
  if (cut == std::string_view::npos) return {};
  return std::string(module_path.substr(0, cut));
}

std::string SettingsFilePath(std::string_view exe_dir) {
  std::string path(exe_dir);
  path += "\\config.ini";
  return path;
}

bool DirectoryExists(FileSystem& fs, std::string_view path) { return fs.DirectoryExists(path); }

bool CreateDirectoryPath(FileSystem& fs, std::string_view path) {
  return fs.CreateDirectories(path);
}

std::string DefaultSettingsPath(FileSystem& fs, std::string_view exe_dir) {
  std::string data_dir(exe_dir);
  data_dir += "\\data";
  if (!DirectoryExists(fs, data_dir)) CreateDirectoryPath(fs, data_dir);  // a failure is not reported
  return data_dir + "\\setsoft.ini";
}

}  // namespace quillora
