#include "tests/e2e/harness.h"

#include <cstdio>
#include <stdexcept>

#include "app/layout.h"

namespace e2e {

namespace {

constexpr unsigned kGbk = 936;
constexpr int kFirstControlId = 100;
constexpr wchar_t kMainWindowClass[] = L"QuilloraMainWindow";
constexpr UINT kSendTimeoutMs = 30000;

int g_failures = 0;

std::string Utf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

bool IsLeadByte(char c) {
  return static_cast<unsigned char>(c) >= 0x80;
}

std::string LastError() {
  return " (error " + std::to_string(GetLastError()) + ")";
}

LRESULT SendToProgram(HWND h, UINT msg, WPARAM wparam, LPARAM lparam) {
  DWORD_PTR result = 0;
  SetLastError(0);
  // Wine's SendMessageTimeout also returns 0 when the answer is 0, so only a timeout or a
  // window that is gone counts as a failure.
  if (!SendMessageTimeoutW(h, msg, wparam, lparam, SMTO_NORMAL, kSendTimeoutMs, &result) &&
      (GetLastError() == ERROR_TIMEOUT || !IsWindow(h))) {
    Fail("message " + std::to_string(msg) + " to the program was not handled" + LastError());
  }
  return static_cast<LRESULT>(result);
}

bool OpenClipboardRetrying() {
  return WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 5000);
}

}  // namespace

// ---- Checks ---------------------------------------------------------------------------------

void Check(bool ok, const std::string& what) {
  if (ok) return;
  ++g_failures;
  std::printf("FAIL: %s\n", what.c_str());
  std::fflush(stdout);
}

void CheckBytes(std::string_view what, std::string_view expected, std::string_view actual) {
  if (expected == actual) return;
  std::size_t at = 0;
  while (at < expected.size() && at < actual.size() && expected[at] == actual[at]) ++at;
  // Show from a character start some 20 bytes before the difference (both texts agree up to
  // there, so it is a character start in both).
  std::size_t from = 0;
  for (std::size_t p = 0; p + 20 <= at; p += IsLeadByte(expected[p]) ? 2 : 1) from = p;
  Check(false, std::string(what) + ": expected " + std::to_string(expected.size()) +
                   " bytes, got " + std::to_string(actual.size()) + "; first difference at byte " +
                   std::to_string(at) + ": expected ..." + Show(expected.substr(from, 60)) +
                   "... got ..." + Show(actual.substr(std::min(from, actual.size()), 60)) + "...");
}

void Fail(const std::string& what) {
  ++g_failures;
  throw std::runtime_error(what);
}

int FailureCount() {
  return g_failures;
}

// ---- Texts ----------------------------------------------------------------------------------

std::wstring Wide(std::string_view gbk) {
  if (gbk.empty()) return {};
  const int n = MultiByteToWideChar(kGbk, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(kGbk, 0, gbk.data(), static_cast<int>(gbk.size()), out.data(), n);
  return out;
}

std::string Gbk(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(kGbk, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(kGbk, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}

std::string Show(std::string_view gbk) {
  // At most 200 bytes, never ending inside a double-byte character.
  std::size_t end = 0;
  while (end < gbk.size()) {
    const std::size_t next = end + (IsLeadByte(gbk[end]) ? 2 : 1);
    if (next > 200 || next > gbk.size()) break;
    end = next;
  }
  std::string shown = Utf8(Wide(gbk.substr(0, end)));
  std::string out = "\"";
  for (char c : shown) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  out += end < gbk.size() ? "\"..." : "\"";
  return out;
}

std::string Replace(std::string_view text, std::string_view from, std::string_view to) {
  std::string out;
  std::size_t pos = 0;
  for (;;) {
    const std::size_t hit = text.find(from, pos);
    if (hit == std::string_view::npos) break;
    out.append(text, pos, hit - pos);
    out += to;
    pos = hit + from.size();
  }
  out.append(text, pos);
  return out;
}

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = text.find("\r\n", pos);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(pos));
      break;
    }
    lines.emplace_back(text.substr(pos, end - pos));
    pos = end + 2;
  }
  return lines;
}

// ---- Files ----------------------------------------------------------------------------------

namespace {

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring full = folder + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full);
      } else {
        SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(full.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

}  // namespace

TempDir::TempDir(std::string_view label) {
  wchar_t temp[MAX_PATH + 1];
  const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
  if (n == 0 || n > MAX_PATH) Fail("no temporary directory" + LastError());
  std::wstring base = temp;
  if (!base.empty() && base.back() == L'\\') base.pop_back();
  const std::wstring stem = base + L"\\quillora-e2e-" + Wide(label) + L"-" +
                            std::to_wstring(GetCurrentProcessId()) + L"-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    path_ = stem + std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(attempt);
    if (CreateDirectoryW(path_.c_str(), nullptr)) return;
  }
  Fail("cannot create a temporary folder under " + Utf8(base) + LastError());
}

TempDir::~TempDir() {
  RemoveTree(path_);
}

std::wstring DriverDirectory() {
  std::wstring path(32768, L'\0');
  const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(n);
  return path.substr(0, path.find_last_of(L'\\'));
}

std::optional<std::string> ReadFileBytes(const std::wstring& path) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(f);
  return bytes;
}

void WriteFileBytes(const std::wstring& path, std::string_view bytes) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) Fail("cannot write " + Utf8(path) + LastError());
  DWORD written = 0;
  const BOOL ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(f);
  if (!ok || written != bytes.size()) Fail("short write to " + Utf8(path) + LastError());
}

bool FileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

// ---- The program under test -----------------------------------------------------------------

std::size_t LayoutIndex(std::string_view control_name) {
  const auto& controls = quillora::layout::Controls();
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].name == control_name) return i;
  }
  Fail("no control named " + Show(control_name) + " in the layout");
}

namespace {

// The texts of a window and of its children, for messages about unexpected windows.
std::wstring WindowTextOfTree(HWND h) {
  std::wstring all;
  auto add = [&all](HWND w) {
    wchar_t text[512] = {};
    DWORD_PTR got = 0;
    SendMessageTimeoutW(w, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 2000,
                        &got);
    if (text[0] != L'\0') all += (all.empty() ? L"" : L" | ") + std::wstring(text);
  };
  add(h);
  for (HWND c = GetWindow(h, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) add(c);
  return all;
}

struct WindowSearch {
  DWORD process_id;
  HWND found;
};

BOOL CALLBACK FindMainWindow(HWND h, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  wchar_t cls[64] = {};
  GetClassNameW(h, cls, 64);
  if (pid == search->process_id && std::wstring_view(cls) == kMainWindowClass) {
    search->found = h;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

App::App(const TempDir& dir, const Options& options) {
  const std::wstring exe = options.program.empty() ? dir.File(options.executable) : options.program;
  if (options.program.empty() && !FileExists(exe)) {
    const std::wstring source = DriverDirectory() + L"\\" + options.executable;
    if (!CopyFileW(source.c_str(), exe.c_str(), TRUE)) {
      Fail("cannot copy " + Utf8(source) + LastError());
    }
  }
  std::wstring command_line = L"\"" + exe + L"\"";
  if (!options.arguments.empty()) command_line += L" " + options.arguments;
  const std::wstring cwd =
      options.current_directory.empty() ? dir.path() : options.current_directory;

  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  if (!CreateProcessW(exe.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      cwd.c_str(), &startup, &process_)) {
    Fail("cannot start " + Utf8(exe) + LastError());
  }
  WindowSearch search = {process_.dwProcessId, nullptr};
  const bool shown = WaitUntil(
      [&] {
        if (search.found == nullptr) EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr && IsWindowVisible(search.found);
      },
      30000);
  if (!shown) {
    // Say what the program shows instead (a message box, say), then end it: no destructor
    // runs for a half-built App.
    std::string instead;
    for (HWND h : OtherTopLevelWindows()) instead += " " + Show(Gbk(WindowTextOfTree(h)));
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 10000);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
    Fail("the program's main window did not appear" +
         (instead.empty() ? std::string() : "; it shows instead:" + instead));
  }
  window_ = search.found;
  thread_id_ = GetWindowThreadProcessId(window_, nullptr);
}

App::~App() {
  if (process_.hProcess == nullptr) return;
  if (Running()) {
    // Only when a failed check left it running: our own child, by its handle.
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 10000);
  }
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

HWND App::Control(std::string_view name) const {
  const int id = kFirstControlId + static_cast<int>(LayoutIndex(name));
  HWND h = GetDlgItem(window_, id);
  if (h == nullptr)
    Fail("the window has no control with ID " + std::to_string(id) + " (" + Show(name) + ")");
  return h;
}

std::wstring App::WideText(HWND h) const {
  const auto length = static_cast<std::size_t>(Send(h, WM_GETTEXTLENGTH));
  std::wstring text(length + 1, L'\0');
  const auto got = static_cast<std::size_t>(
      Send(h, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(text.data())));
  text.resize(std::min(got, length));
  return text;
}

void App::SetText(std::string_view control, std::string_view gbk) const {
  const std::wstring wide = Wide(gbk);
  Send(Control(control), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

LRESULT App::Send(HWND h, UINT msg, WPARAM wparam, LPARAM lparam) const {
  return SendToProgram(h, msg, wparam, lparam);
}

void App::Click(std::string_view button) const {
  Send(Control(button), BM_CLICK);
}

HWND App::Focus() const {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(thread_id_, &info)) return nullptr;
  return info.hwndFocus;
}

std::string App::FocusName() const {
  HWND focus = Focus();
  if (focus == nullptr) return "(nothing)";
  if (focus == window_) return "(the main window)";
  const int id = GetDlgCtrlID(focus);
  const auto& controls = quillora::layout::Controls();
  if (GetParent(focus) == window_ && id >= kFirstControlId &&
      id < kFirstControlId + static_cast<int>(controls.size())) {
    return Show(controls[static_cast<std::size_t>(id - kFirstControlId)].name);
  }
  return "(window with ID " + std::to_string(id) + ")";
}

void App::BringToFront() const {
  const bool front = WaitUntil(
      [&] {
        if (GetForegroundWindow() == window_) return true;
        SetForegroundWindow(window_);
        return false;
      },
      10000);
  if (!front) Fail("the main window did not become the foreground window");
}

DWORD App::WaitForExit(DWORD timeout_ms) {
  if (WaitForSingleObject(process_.hProcess, timeout_ms) != WAIT_OBJECT_0) {
    Fail("the program did not end within " + std::to_string(timeout_ms) + " ms");
  }
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  return code;
}

bool App::Running() const {
  return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

namespace {

struct TopLevelSearch {
  DWORD process_id;
  HWND except;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND h, LPARAM param) {
  auto* search = reinterpret_cast<TopLevelSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid == search->process_id && h != search->except && IsWindowVisible(h)) {
    search->found.push_back(h);
  }
  return TRUE;
}

}  // namespace

std::vector<HWND> App::OtherTopLevelWindows() const {
  TopLevelSearch search = {process_.dwProcessId, window_, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// ---- Input and clipboard --------------------------------------------------------------------

void PressKey(WORD vk, std::initializer_list<WORD> modifiers) {
  std::vector<INPUT> inputs;
  auto key = [&](WORD code, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = code;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(code, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(in);
  };
  for (WORD m : modifiers) key(m, false);
  key(vk, false);
  key(vk, true);
  for (auto it = modifiers.end(); it != modifiers.begin();) key(*--it, true);
  const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
  if (sent != inputs.size())
    Fail("SendInput sent " + std::to_string(sent) + " of " + std::to_string(inputs.size()) +
         " events" + LastError());
}

void EmptyTheClipboard() {
  if (!OpenClipboardRetrying()) Fail("cannot open the clipboard" + LastError());
  EmptyClipboard();
  CloseClipboard();
}

std::optional<std::string> ClipboardText() {
  if (!OpenClipboardRetrying()) Fail("cannot open the clipboard" + LastError());
  std::optional<std::string> text;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    if (const char* p = static_cast<const char*>(GlobalLock(data))) {
      const std::size_t size = GlobalSize(data);
      std::size_t n = 0;
      while (n < size && p[n] != '\0') ++n;
      text.emplace(p, n);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

std::optional<std::wstring> ClipboardUnicodeText() {
  if (!OpenClipboardRetrying()) Fail("cannot open the clipboard" + LastError());
  std::optional<std::wstring> text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const wchar_t* p = static_cast<const wchar_t*>(GlobalLock(data))) {
      const std::size_t size = GlobalSize(data) / sizeof(wchar_t);
      std::size_t n = 0;
      while (n < size && p[n] != L'\0') ++n;
      text.emplace(p, n);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

}  // namespace e2e
