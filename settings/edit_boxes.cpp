#include "settings/edit_boxes.h"

#include <optional>

#include "generator/control_names.h"
#include "settings/ini.h"
#include "settings/paths.h"
#include "text/gbk.h"

namespace quillora {
namespace {

constexpr std::string_view kCrLfToken = "><br><";
constexpr std::string_view kCrToken = "><cr><";
constexpr std::string_view kLfToken = "><lf><";

void UseFallbackPathIfEmpty(std::string& settings_path, FileSystem& fs,
                            std::string_view exe_dir) {
  if (settings_path.empty()) settings_path = DefaultSettingsPath(fs, exe_dir);
}

}  // namespace

std::string EscapeBoxText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const char c = text[pos];
    if (c == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') {
      out += kCrLfToken;
      pos += 2;
    } else if (c == '\r') {
      out += kCrToken;
      ++pos;
    } else if (c == '\n') {
      out += kLfToken;
      ++pos;
    } else {
      std::size_t len = text::CharLength(text, pos);
      // CR and LF are never the second byte of a character; a stray lead byte in front of
      // one must not smuggle a line break into the file.
      if (len == 2 && (text[pos + 1] == '\r' || text[pos + 1] == '\n')) len = 1;
      out.append(text, pos, len);
      pos += len;
    }
  }
  return out;
}

std::string UnescapeBoxText(std::string_view stored) {
  std::string out;
  out.reserve(stored.size());
  for (std::size_t pos = 0; pos < stored.size();) {
    if (stored.compare(pos, kCrLfToken.size(), kCrLfToken) == 0) {
      out += "\r\n";
      pos += kCrLfToken.size();
    } else if (stored.compare(pos, kCrToken.size(), kCrToken) == 0) {
      out += '\r';
      pos += kCrToken.size();
    } else if (stored.compare(pos, kLfToken.size(), kLfToken) == 0) {
      out += '\n';
      pos += kLfToken.size();
    } else {
      const std::size_t len = text::CharLength(stored, pos);
      out.append(stored, pos, len);
      pos += len;
    }
  }
  return out;
}

bool IsExcluded(std::string_view box_name, std::string_view exclusions) {
  return text::ContainsAtCharStart(exclusions, box_name);
}

std::vector<std::string> FindEditBoxes(Form& form) {
  std::vector<std::string> boxes;
  for (const ControlInfo& control : form.Controls()) {
    if (control.kind_name == names::kKindEditBox && control.exists && control.inside) {
      boxes.push_back(control.name);
    }
  }
  return boxes;
}

int RestoreEditBoxes(Form& form, std::string& settings_path, FileSystem& fs,
                     std::string_view exe_dir) {
  UseFallbackPathIfEmpty(settings_path, fs, exe_dir);
  const std::vector<std::string> boxes = FindEditBoxes(form);
  const IniDocument doc = IniDocument::Parse(fs.ReadFile(settings_path).value_or(std::string()));
  for (const std::string& box : boxes) {
    const std::optional<std::string> value = doc.Get(kSettingsSection, box);
    if (!value || value->empty()) continue;  // the box keeps its text
    form.SetText(box, UnescapeBoxText(*value));
  }
  return static_cast<int>(boxes.size());
}

int SaveEditBoxes(Form& form, std::string& settings_path, std::string_view exclusions,
                  FileSystem& fs, std::string_view exe_dir) {
  UseFallbackPathIfEmpty(settings_path, fs, exe_dir);
  const std::vector<std::string> boxes = FindEditBoxes(form);
  const std::optional<std::string> old_content = fs.ReadFile(settings_path);
  // A file that is there but cannot be read (locked, a directory) is left alone: writing our
  // section alone over it would throw away whatever else it holds.
  if (!old_content && fs.PathExists(settings_path)) return static_cast<int>(boxes.size());
  IniDocument doc = IniDocument::Parse(old_content.value_or(std::string()));
  bool changed = false;
  for (const std::string& box : boxes) {
    if (IsExcluded(box, exclusions)) continue;
    doc.Set(kSettingsSection, box, EscapeBoxText(form.Text(box)));
    changed = true;
  }
  if (changed) fs.ReplaceFile(settings_path, doc.Serialize());  // a failure leaves the old file
  return static_cast<int>(boxes.size());
}

}  // namespace quillora
