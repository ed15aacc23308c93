// Remembering the texts of a window's edit boxes in the settings file: one key per edit box,
// named like the box, in section "编辑框".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"
#include "platform/form.h"

namespace quillora {

inline constexpr char kSettingsSection[] = "编辑框";

// The boxes the main window never writes: the event box and the result box.
inline constexpr char kUnsavedBoxes[] = "编辑框1|编辑框_结果";

// A box's text as one line of the settings file: CR LF becomes "><br><", a lone CR "><cr><"
// and a lone LF "><lf><", so that nothing of the text can end the line.
std::string EscapeBoxText(std::string_view text);

// The reverse, in one left-to-right pass: each of the three tokens, where it begins at a
// character start, becomes its line break again (also when the user typed the token).
std::string UnescapeBoxText(std::string_view stored);

// Whether a box is left out by the exclusion list: its name occurs in the list at a character
// start of the list, byte for byte. A plain substring test, so any piece of the list that
// begins at a character start counts (with "编辑框1|编辑框_结果", also "结果" or "1").
bool IsExcluded(std::string_view box_name, std::string_view exclusions);

// Names of the window's edit boxes in layout order: controls of kind "编辑框" that exist and
// lie inside the window.
std::vector<std::string> FindEditBoxes(Form& form);

// Fills each edit box that has a non-empty value in the settings file; the others keep their
// text. An empty `settings_path` is first replaced by DefaultSettingsPath. Returns the number
// of edit boxes found, whatever the file holds.
int RestoreEditBoxes(Form& form, std::string& settings_path, FileSystem& fs,
                     std::string_view exe_dir);

// Writes the text of each edit box that the exclusion list does not name (an empty text as an
// empty value); other sections, keys and comments of the file stay as they were, and no key
// is removed. The file is replaced in one step; if that fails, the old file stays and nothing
// is reported. An empty `settings_path` is first replaced by DefaultSettingsPath. Returns the
// number of edit boxes found, excluded ones included.
int SaveEditBoxes(Form& form, std::string& settings_path, std::string_view exclusions,
                  FileSystem& fs, std::string_view exe_dir);

}  // namespace quillora
