// The main window: built from the layout table, it dispatches its few messages to small
// handlers, handles the window-level keys, and gives the core its controls through Form.
#pragma once

#include <windows.h>

#include <functional>
#include <string_view>
#include <vector>

#include "app/shell.h"
#include "platform/form.h"

namespace quillora {

class MainWindow : public Form {
 public:
  using EventSink = std::function<void(std::string_view source, Event event)>;

  explicit MainWindow(EventSink raise) : raise_(std::move(raise)) {}
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window and its controls from the layout, all still invisible but for the
  // visible controls inside the hidden window. False when any of them cannot be created.
  bool Create(HINSTANCE instance);

  // Shows the window at its place and gives the focus to the first control of the Tab ring.
  void Show();

  HWND hwnd() const { return hwnd_; }

  // Handles Tab, Shift+Tab, Esc, Enter and F1 for the whole window before the focused
  // control sees them. True when the message has been dealt with.
  bool PreTranslate(const MSG& msg);

  // Form
  std::string Text(std::string_view control) override;
  void SetText(std::string_view control, std::string_view text) override;
  void AppendText(std::string_view control, std::string_view text) override;
  std::vector<ControlInfo> Controls() override;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam);
  bool CreateControls(HINSTANCE instance);
  void OnCommand(WPARAM wparam, LPARAM lparam);
  void OnActivate(WPARAM wparam);
  void OnSetFocus();
  void OnNcDestroy();
  void MoveFocus(bool forward);
  HWND ControlByName(std::string_view name) const;
  int LayoutIndexOf(HWND control) const;

  EventSink raise_;
  HWND hwnd_ = nullptr;
  std::vector<HWND> controls_;  // in layout order
  HWND focus_when_deactivated_ = nullptr;
};

}  // namespace quillora
