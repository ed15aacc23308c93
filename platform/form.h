// What the core needs of the main window: its controls by name, their texts, and the list of
// controls in layout order. The Win32 window implements it; the unit tests use a fake.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillora {

struct ControlInfo {
  std::string name;       // control name, unique in the window (GBK)
  std::string kind_name;  // "窗口", "编辑框", "标签" or "按钮" (GBK)
  bool exists = true;     // the control's window has been created and not yet destroyed
  bool inside = true;     // the control lies inside the window that was asked
};

class Form {
 public:
  virtual ~Form() = default;

  // The whole text of a control; the empty text when it holds nothing or is not found.
  virtual std::string Text(std::string_view control) = 0;

  // Replaces the whole text of a control.
  virtual void SetText(std::string_view control, std::string_view text) = 0;

  // Inserts `text` after the last character of an edit box, whatever the user had selected;
  // the caret ends up after it and is scrolled into view, and the change is not undoable.
  virtual void AppendText(std::string_view control, std::string_view text) = 0;

  // The window's controls in layout order (the window itself is not among them).
  virtual std::vector<ControlInfo> Controls() = 0;
};

}  // namespace quillora
