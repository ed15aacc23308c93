// A small harness for driving a running quillora.exe from another process: a throw-away
// folder per case, starting the program and finding its window, reading and setting control
// texts, clicks, real key strokes, the clipboard, and checks that report what differed.
#pragma once

#include <windows.h>

#include <cstddef>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

// ---- Checks ---------------------------------------------------------------------------------

// Records a failed check and goes on; the case fails at its end.
void Check(bool ok, const std::string& what);

// Compares two GBK texts byte for byte and reports the first difference.
void CheckBytes(std::string_view what, std::string_view expected, std::string_view actual);

// Stops the case at once (throws); for failures after which nothing else can be checked.
[[noreturn]] void Fail(const std::string& what);

int FailureCount();

// ---- Texts ----------------------------------------------------------------------------------

// The program's texts are GBK (code page 936), whatever the system's ANSI code page is.
std::wstring Wide(std::string_view gbk);
std::string Gbk(std::wstring_view wide);

// A short, printable UTF-8 excerpt of a GBK text for messages.
std::string Show(std::string_view gbk);

// Replaces every `from` by `to`. Meant for CR LF and ASCII tokens, which can never sit inside
// a GBK double-byte character (trail bytes are 0x40 and above).
std::string Replace(std::string_view text, std::string_view from, std::string_view to);

// Cuts at CR LF; a trailing CR LF adds no empty line.
std::vector<std::string> Lines(std::string_view text);

// ---- Files ----------------------------------------------------------------------------------

// A fresh folder under the temporary directory, removed with everything in it at the end.
class TempDir {
 public:
  explicit TempDir(std::string_view label);
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::wstring& path() const { return path_; }
  std::wstring File(std::wstring_view name) const { return path_ + L"\\" + std::wstring(name); }

 private:
  std::wstring path_;
};

// The folder that holds this driver (and, beside it, the executables under test).
std::wstring DriverDirectory();

std::optional<std::string> ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, std::string_view bytes);
bool FileExists(const std::wstring& path);
std::vector<std::wstring> FilesIn(const std::wstring& folder);

// ---- The program under test -----------------------------------------------------------------

// Index of a control in the layout table (its control ID is 100 + index).
std::size_t LayoutIndex(std::string_view control_name);

class App {
 public:
  struct Options {
    std::wstring executable = L"quillora.exe";  // copied from beside the driver
    std::wstring program;  // a full path: this executable is started where it is, not copied
    std::wstring arguments;                     // appended to the command line
    std::wstring current_directory;             // default: the program's folder
  };

  // Copies the executable into `dir` (once), unless `program` names one to start in place,
  // starts it and waits until its main window is visible. Fails the case when no window comes.
  App(const TempDir& dir, const Options& options);
  explicit App(const TempDir& dir) : App(dir, Options()) {}
  ~App();  // ends the process if a check left it running
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  HWND window() const { return window_; }
  HWND Control(std::string_view name) const;
  DWORD thread_id() const { return thread_id_; }

  // Texts through WM_GETTEXT / WM_SETTEXT, as UTF-16 and as GBK.
  std::wstring WideText(HWND h) const;
  std::string Text(std::string_view control) const { return Gbk(WideText(Control(control))); }
  void SetText(std::string_view control, std::string_view gbk) const;

  // Sends a message to one of the program's windows and returns the program's answer; fails
  // the case when the program does not answer within 30 s.
  LRESULT Send(HWND h, UINT msg, WPARAM wparam = 0, LPARAM lparam = 0) const;

  // A click of a button (BM_CLICK), returning once the click has been handled.
  void Click(std::string_view button) const;

  // The control that has the keyboard focus in the program's GUI thread.
  HWND Focus() const;
  std::string FocusName() const;  // its control name, or a description

  // Makes the main window the foreground window, so that key strokes reach it.
  void BringToFront() const;

  // Waits for the process to end; its exit code, or fails the case after `timeout_ms`.
  DWORD WaitForExit(DWORD timeout_ms = 20000);
  bool Running() const;

  // The top-level windows of the process other than the main window (message boxes).
  std::vector<HWND> OtherTopLevelWindows() const;

 private:
  PROCESS_INFORMATION process_ = {};
  DWORD thread_id_ = 0;
  HWND window_ = nullptr;
};

// Waits until `condition` holds, checking every few milliseconds; false after `timeout_ms`.
template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeout_ms = 10000) {
  const ULONGLONG end = GetTickCount64() + timeout_ms;
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() > end) return false;
    Sleep(5);
  }
}

// ---- Input and clipboard --------------------------------------------------------------------

// Real key strokes through SendInput: the modifiers go down, the key is pressed and released,
// the modifiers come up again.
void PressKey(WORD vk, std::initializer_list<WORD> modifiers = {});

void EmptyTheClipboard();
// The bytes of CF_TEXT up to the terminating zero; nothing when the format is missing.
std::optional<std::string> ClipboardText();
std::optional<std::wstring> ClipboardUnicodeText();

}  // namespace e2e
