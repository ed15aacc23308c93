#include "app/shell.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>

#include "app/file_system_win32.h"
#include "app/gbk_win32.h"
#include "app/main_window.h"
#include "app/module_path_win32.h"
#include "app/services_win32.h"
#include "generator/headlines.h"
#include "generator/random.h"
#include "settings/edit_boxes.h"
#include "settings/paths.h"

namespace quillora {

namespace {

// One count for the process. The fatal error stop raises it for good.
int g_event_hold = 0;

// What the handlers work with, for the whole run.
class Program {
 public:
  explicit Program(std::string executable_directory)
      : executable_directory_(std::move(executable_directory)),
        window_([this](std::string_view source, Event event) { RaiseEvent(source, event); }) {}

  bool LoadWindow(HINSTANCE instance);
  int RunMessageLoop();

  // The four handlers, bound to their events in kBindings.
  void OnMainWindowCreated() {
    std::string path = SettingsFilePath(executable_directory_);
    RestoreEditBoxes(window_, path, files_, executable_directory_);
  }
  void OnMainWindowDestroying() {
    std::string path = SettingsFilePath(executable_directory_);
    SaveEditBoxes(window_, path, kUnsavedBoxes, files_, executable_directory_);
  }
  void OnGenerateClicked() {
    GenerateHeadlines(window_, clock_, *clipboard_, ProcessRandomGenerator());
  }
  void OnRestoreDefaultsClicked() { RestoreDefaultLists(window_); }

 private:
  // Runs the handler bound to the source (a control name, or the empty name for the main
  // window) and event, unless events are held or nothing is bound.
  void RaiseEvent(std::string_view source, Event event);

  std::string executable_directory_;
  MainWindow window_;
  Win32Clock clock_;
  std::unique_ptr<Win32Clipboard> clipboard_;
  Win32FileSystem files_;
};

struct Binding {
  std::string_view source;  // a control name; empty for the main window
  Event event;
  void (Program::*handler)();
};

// The only events that run anything.
const Binding kBindings[] = {
    {"", Event::kCreated, &Program::OnMainWindowCreated},
    {"", Event::kDestroying, &Program::OnMainWindowDestroying},
    {"按钮_生成", Event::kClicked, &Program::OnGenerateClicked},
    {"按钮1", Event::kClicked, &Program::OnRestoreDefaultsClicked},
};

void Program::RaiseEvent(std::string_view source, Event event) {
  if (g_event_hold > 0) return;
  for (const Binding& b : kBindings) {
    if (b.source == source && b.event == event) {
      (this->*b.handler)();
      return;
    }
  }
}

void DispatchWaitingMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

bool Program::LoadWindow(HINSTANCE instance) {
  DispatchWaitingMessages();
  HoldEvents();
  const bool created = window_.Create(instance);
  DispatchWaitingMessages();
  ReleaseEvents();
  if (!created) return false;
  clipboard_ = std::make_unique<Win32Clipboard>(window_.hwnd());
  RaiseEvent("", Event::kCreated);
  if (window_.hwnd() != nullptr) window_.Show();
  return true;
}

int Program::RunMessageLoop() {
  MSG msg;
  BOOL got;
  while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
    if (got == -1) FatalErrorStop("消息循环出错");
    if (window_.PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace

void HoldEvents() { ++g_event_hold; }
void ReleaseEvents() { --g_event_hold; }

void FatalErrorStop(std::string_view message) {
  ++g_event_hold;  // never lowered again
  // The message may be about memory, so the text is built on the stack without allocating.
  wchar_t text[1024] = L"运行时错误，程序已终止。\r\n\r\n";
  const int used = lstrlenW(text);
  const int room = static_cast<int>(sizeof text / sizeof text[0]) - used - 1;
  const int length = static_cast<int>(std::min<std::size_t>(message.size(), 512));
  const int written =
      MultiByteToWideChar(kGbkCodePage, 0, message.data(), length, text + used, room);
  text[used + (written > 0 ? written : 0)] = L'\0';
  MessageBoxW(nullptr, text, L"Quillora", MB_OK | MB_ICONERROR);
  ExitProcess(static_cast<UINT>(-1));
}

int StartProgram() {
  const std::string directory = ExecutableDirectoryFromModulePath(ModuleFileNameGbk());
  // "C:" alone would name the drive's current directory, not its root.
  std::string current = directory;
  if (!current.empty() && current.back() == ':') current += '\\';
  SetCurrentDirectoryW(WideFromGbk(current).c_str());

  Program program(directory);
  if (!program.LoadWindow(GetModuleHandleW(nullptr))) FatalErrorStop("无法创建主窗口或其控件");
  return program.RunMessageLoop();
}

}  // namespace quillora
