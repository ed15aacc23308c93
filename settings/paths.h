// Where the settings file lives: beside the executable ("config.ini"), or, for a caller that
// hands over no path, in a "data" directory beside it ("data\setsoft.ini"). Paths are GBK
// texts with backslashes and no trailing backslash.
#pragma once

#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace quillora {

// The directory part of the executable's full file name: everything before its last backslash
// character (a double-byte character whose second byte is 0x5C is no backslash). Empty when
// the name holds no backslash. "C:\tool.exe" gives "C:".
std::string ExecutableDirectoryFromModulePath(std::string_view module_path);

// exe_dir + "\config.ini".
std::string SettingsFilePath(std::string_view exe_dir);

// Whether the path names an existing directory (a plain file of that name does not count).
bool DirectoryExists(FileSystem& fs, std::string_view path);

// Creates the directory together with every missing parent. True when it exists afterwards.
bool CreateDirectoryPath(FileSystem& fs, std::string_view path);

// exe_dir + "\data\setsoft.ini". Creates the "data" directory first when it is missing; if
// that fails, the path is returned all the same (reads then find nothing, writes fail).
std::string DefaultSettingsPath(FileSystem& fs, std::string_view exe_dir);

}  // namespace quillora
