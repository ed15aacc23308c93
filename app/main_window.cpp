#include "app/main_window.h"

#include <commctrl.h>

#include "app/gbk_win32.h"
#include "app/layout.h"
#include "app/resource.h"

namespace quillora {

namespace {

constexpr wchar_t kWindowClass[] = L"QuilloraMainWindow";
constexpr int kFirstControlId = 100;  // control IDs are kFirstControlId + layout index

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
                               WS_CLIPCHILDREN;

struct ControlClass {
  const wchar_t* window_class;
  DWORD style;
  DWORD ex_style;
};

ControlClass ClassOf(layout::Kind kind) {
  switch (kind) {
    case layout::Kind::kEditSingleLine:
      return {L"EDIT", ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case layout::Kind::kEditMultiLine:
      return {L"EDIT", ES_LEFT | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, WS_EX_CLIENTEDGE};
    case layout::Kind::kLabel:
      return {L"STATIC", SS_LEFTNOWORDWRAP | SS_CENTERIMAGE | SS_NOPREFIX, 0};
    case layout::Kind::kButton:
      return {L"BUTTON", BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE, 0};
  }
  return {L"STATIC", 0, 0};
}

bool IsEdit(layout::Kind kind) {
  return kind == layout::Kind::kEditSingleLine || kind == layout::Kind::kEditMultiLine;
}

bool KeyDown(int key) { return (GetKeyState(key) & 0x8000) != 0; }

}  // namespace

bool MainWindow::Create(HINSTANCE instance) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kWindowClass;
  if (!RegisterClassExW(&wc)) return false;

  const layout::Point origin =
      layout::CentredOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  hwnd_ = CreateWindowExW(0, kWindowClass, WideFromGbk(layout::kWindowCaption).c_str(),
                          kWindowStyle, origin.x, origin.y, layout::kWindowWidth,
                          layout::kWindowHeight, nullptr, nullptr, instance, this);
  if (hwnd_ == nullptr) return false;

  RECT outer;
  GetWindowRect(hwnd_, &outer);
  if (outer.right - outer.left != layout::kWindowWidth ||
      outer.bottom - outer.top != layout::kWindowHeight) {
    SetWindowPos(hwnd_, nullptr, origin.x, origin.y, layout::kWindowWidth, layout::kWindowHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }

  HICON icon = static_cast<HICON>(
      LoadImageW(instance, kIconResourceName, IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);

  return CreateControls(instance);
}

bool MainWindow::CreateControls(HINSTANCE instance) {
  const auto& table = layout::Controls();
  const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  controls_.assign(table.size(), nullptr);

  // Created in reverse layout order, hidden, each with its text from the start.
  for (std::size_t i = table.size(); i-- > 0;) {
    const layout::Control& c = table[i];
    const ControlClass cls = ClassOf(c.kind);
    const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | cls.style | (c.tab_stop ? WS_TABSTOP : 0);
    HWND h = CreateWindowExW(cls.ex_style, cls.window_class, WideFromGbk(c.initial_text).c_str(),
                             style, c.left, c.top, c.width, c.height, hwnd_,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + i)),
                             instance, nullptr);
    if (h == nullptr) return false;
    controls_[i] = h;
    SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (IsEdit(c.kind)) {
      SendMessageW(h, EM_LIMITTEXT, 0, 0);  // no limit of the box's own
      SendMessageW(h, EM_SETSEL, 0, 0);
      SendMessageW(h, EM_SCROLLCARET, 0, 0);
    }
  }

  // Stacking from the top follows the layout order: each control goes just below the one
  // before it.
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    SetWindowPos(controls_[i], i == 0 ? HWND_TOP : controls_[i - 1], 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (table[i].visible) ShowWindow(controls_[i], SW_SHOWNA);
  }
  return true;
}

void MainWindow::Show() {
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  UpdateWindow(hwnd_);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lparam);
    auto* self = static_cast<MainWindow*>(cs->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(hwnd, msg, wparam, lparam);
  return self->HandleMessage(msg, wparam, lparam);
}

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_COMMAND:
      OnCommand(wparam, lparam);
      return 0;
    case WM_CTLCOLORSTATIC: {
      // Labels show nothing but their text on the window's own face colour.
      HDC dc = reinterpret_cast<HDC>(wparam);
      SetTextColor(dc, RGB(0, 0, 0));
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_CTLCOLOREDIT: {
      HDC dc = reinterpret_cast<HDC>(wparam);
      SetTextColor(dc, RGB(0, 0, 0));
      SetBkColor(dc, RGB(255, 255, 255));
      return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    }
    case WM_ACTIVATE:
      OnActivate(wparam);
      return 0;
    case WM_SETFOCUS:
      OnSetFocus();
      return 0;
    case WM_HELP:
      return TRUE;  // the window has no help
    case WM_DESTROY:
      // Reaches the window before any control is destroyed, so every text can still be read.
      raise_("", Event::kDestroying);
      return 0;
    case WM_NCDESTROY:
      OnNcDestroy();
      return 0;
    default:
      return DefWindowProcW(hwnd_, msg, wparam, lparam);
  }
}

void MainWindow::OnCommand(WPARAM wparam, LPARAM lparam) {
  if (HIWORD(wparam) != BN_CLICKED || lparam == 0) return;
  const int index = LayoutIndexOf(reinterpret_cast<HWND>(lparam));
  if (index < 0) return;
  const auto& control = layout::Controls()[static_cast<std::size_t>(index)];
  if (control.kind == layout::Kind::kButton) raise_(control.name, Event::kClicked);
}

void MainWindow::OnActivate(WPARAM wparam) {
  if (LOWORD(wparam) == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus != nullptr && IsChild(hwnd_, focus)) focus_when_deactivated_ = focus;
  }
  DefWindowProcW(hwnd_, WM_ACTIVATE, wparam, 0);
}

void MainWindow::OnSetFocus() {
  HWND target = focus_when_deactivated_;
  if (target == nullptr || !IsWindow(target) || !IsWindowVisible(target)) {
    target = controls_.empty() ? nullptr : controls_[layout::TabRing().front()];
  }
  if (target != nullptr) SetFocus(target);
}

void MainWindow::OnNcDestroy() {
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
  controls_.clear();
  focus_when_deactivated_ = nullptr;
  // No window of the program is left: end the message loop.
  PostQuitMessage(0);
}

bool MainWindow::PreTranslate(const MSG& msg) {
  if (hwnd_ == nullptr || msg.message != WM_KEYDOWN) return false;
  if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
  const bool shift = KeyDown(VK_SHIFT), ctrl = KeyDown(VK_CONTROL), alt = KeyDown(VK_MENU);
  switch (msg.wParam) {
    case VK_TAB:
      if (ctrl || alt) return false;
      MoveFocus(!shift);
      return true;
    case VK_ESCAPE:
      if (shift || ctrl || alt) return false;
      SendMessageW(hwnd_, WM_CLOSE, 0, 0);
      return true;
    case VK_RETURN: {
      if (shift || ctrl || alt) return false;
      // A multi-line box takes Enter as a line break; anywhere else it does nothing.
      const int index = LayoutIndexOf(GetFocus());
      return index < 0 ||
             layout::Controls()[static_cast<std::size_t>(index)].kind != layout::Kind::kEditMultiLine;
    }
    case VK_F1:
      return true;
    default:
      return false;
  }
}

void MainWindow::MoveFocus(bool forward) {
  const int current = LayoutIndexOf(GetFocus());
  const std::size_t next = layout::NextInTabRing(
      current < 0 ? layout::Controls().size() : static_cast<std::size_t>(current), forward);
  SetFocus(controls_[next]);
}

int MainWindow::LayoutIndexOf(HWND control) const {
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (controls_[i] == control) return static_cast<int>(i);
  }
  return -1;
}

HWND MainWindow::ControlByName(std::string_view name) const {
  const auto& table = layout::Controls();
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (table[i].name == name) return controls_[i];
  }
  return nullptr;
}

std::string MainWindow::Text(std::string_view control) {
  HWND h = ControlByName(control);
  if (h == nullptr) return {};
  const int length = GetWindowTextLengthW(h);
  if (length <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(h, wide.data(), length + 1);
  wide.resize(static_cast<std::size_t>(got > 0 ? got : 0));
  return GbkFromWide(wide);
}

void MainWindow::SetText(std::string_view control, std::string_view text) {
  if (HWND h = ControlByName(control)) SetWindowTextW(h, WideFromGbk(text).c_str());
}

void MainWindow::AppendText(std::string_view control, std::string_view text) {
  HWND h = ControlByName(control);
  if (h == nullptr) return;
  const int end = GetWindowTextLengthW(h);
  SendMessageW(h, EM_SETSEL, static_cast<WPARAM>(end), static_cast<LPARAM>(end));
  SendMessageW(h, EM_SCROLLCARET, 0, 0);
  SendMessageW(h, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(WideFromGbk(text).c_str()));
}

std::vector<ControlInfo> MainWindow::Controls() {
  std::vector<ControlInfo> out;
  const auto& table = layout::Controls();
  for (std::size_t i = 0; i < table.size(); ++i) {
    HWND h = i < controls_.size() ? controls_[i] : nullptr;
    out.push_back({std::string(table[i].name), std::string(layout::KindName(table[i].kind)),
                   h != nullptr && IsWindow(h) != FALSE,
                   h != nullptr && hwnd_ != nullptr && IsChild(hwnd_, h) != FALSE});
  }
  return out;
}

}  // namespace quillora
