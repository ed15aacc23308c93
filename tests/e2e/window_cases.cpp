// The window, its controls, both commands, the keys and the ways of closing.
#include <cstdio>
#include <cwchar>

#include "app/layout.h"
#include "generator/default_lists.h"
#include "tests/e2e/cases.h"
#include "tests/e2e/program_checks.h"

namespace e2e {

namespace {

namespace layout = quillora::layout;

std::string Hex(DWORD value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
  return text;
}

std::string RectText(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ") " +
         std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

// Style bits a control must have and must not have, by kind.
struct StyleRule {
  const wchar_t* window_class;
  DWORD required;
  DWORD forbidden;
  DWORD ex_required;
  DWORD ex_forbidden;
};

StyleRule RuleFor(layout::Kind kind) {
  constexpr DWORD kEditForbidden = WS_VSCROLL | WS_HSCROLL | WS_BORDER | WS_DISABLED | ES_READONLY |
                                   ES_PASSWORD | ES_UPPERCASE | ES_LOWERCASE | ES_NUMBER |
                                   ES_CENTER | ES_RIGHT | ES_NOHIDESEL;
  switch (kind) {
    case layout::Kind::kEditMultiLine:
      return {L"Edit", WS_CHILD | WS_CLIPSIBLINGS | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
              kEditForbidden | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 0};
    case layout::Kind::kEditSingleLine:
      return {L"Edit", WS_CHILD | WS_CLIPSIBLINGS | ES_AUTOHSCROLL,
              kEditForbidden | ES_MULTILINE | ES_WANTRETURN, WS_EX_CLIENTEDGE, 0};
    case layout::Kind::kLabel:
      return {L"Static", WS_CHILD | WS_CLIPSIBLINGS | SS_CENTERIMAGE,
              WS_BORDER | WS_DISABLED | SS_SUNKEN, 0, WS_EX_CLIENTEDGE | WS_EX_STATICEDGE};
    case layout::Kind::kButton:
      return {L"Button", WS_CHILD | WS_CLIPSIBLINGS | BS_CENTER | BS_VCENTER | BS_MULTILINE,
              WS_DISABLED | BS_BITMAP | BS_ICON, 0, 0};
  }
  return {L"", 0, 0, 0, 0};
}

void CheckControl(const App& app, HWND h, std::size_t index) {
  const layout::Control& expected = layout::Controls()[index];
  const std::string name = Show(expected.name);
  const int id = GetDlgCtrlID(h);
  if (id != 100 + static_cast<int>(index)) {
    Check(false, "stacking place " + std::to_string(index + 1) + ": expected " + name + " (ID " +
                     std::to_string(100 + index) + "), found ID " + std::to_string(id));
    return;  // another control: its details would only repeat the same fault
  }

  const StyleRule rule = RuleFor(expected.kind);
  wchar_t cls[64] = {};
  GetClassNameW(h, cls, 64);
  Check(_wcsicmp(cls, rule.window_class) == 0,
        name + ": class " + Gbk(cls) + ", expected " + Gbk(rule.window_class));

  const DWORD style = static_cast<DWORD>(GetWindowLongW(h, GWL_STYLE));
  const DWORD ex_style = static_cast<DWORD>(GetWindowLongW(h, GWL_EXSTYLE));
  Check((style & rule.required) == rule.required,
        name + ": style " + Hex(style) + " lacks " + Hex(rule.required & ~style));
  Check((style & rule.forbidden) == 0,
        name + ": style " + Hex(style) + " has unwanted " + Hex(style & rule.forbidden));
  Check((ex_style & rule.ex_required) == rule.ex_required && (ex_style & rule.ex_forbidden) == 0,
        name + ": extended style " + Hex(ex_style));
  if (expected.kind == layout::Kind::kLabel) {
    // One line, flush left, never wrapped.
    const DWORD type = style & SS_TYPEMASK;
    Check(type == SS_LEFTNOWORDWRAP || type == SS_LEFT,
          name + ": label type " + Hex(type) + " is not a left-aligned text label");
  }
  if (expected.kind == layout::Kind::kButton) {
    Check((style & BS_TYPEMASK) == BS_PUSHBUTTON,
          name + ": button type " + Hex(style & BS_TYPEMASK) + " is not a plain push button");
  }
  Check(((style & WS_TABSTOP) != 0) == expected.tab_stop,
        name + ": WS_TABSTOP is " + ((style & WS_TABSTOP) ? "set" : "clear"));
  Check((IsWindowVisible(h) != FALSE) == expected.visible,
        name + (expected.visible ? ": hidden, expected visible" : ": visible, expected hidden"));

  RECT r;
  GetWindowRect(h, &r);
  MapWindowPoints(nullptr, app.window(), reinterpret_cast<POINT*>(&r), 2);
  const RECT want = {expected.left, expected.top, expected.left + expected.width,
                     expected.top + expected.height};
  Check(EqualRect(&r, &want) != FALSE,
        name + ": rectangle " + RectText(r) + ", expected " + RectText(want));

  CheckBytes(name + " text", expected.initial_text, Gbk(app.WideText(h)));
}

}  // namespace

void WindowAndControls(const Args&) {
  TempDir dir("window");
  App app(dir);
  const HWND w = app.window();

  const std::string caption = Gbk(app.WideText(w));
  Check(caption.rfind("Quillorav1.2 ", 0) == 0 && caption.size() > 13,
        "caption " + Show(caption) + " is not \"Quillorav1.2 \" and a tag");

  const int screen_w = GetSystemMetrics(SM_CXSCREEN), screen_h = GetSystemMetrics(SM_CYSCREEN);
  Check(screen_w == 1024 && screen_h == 768, "the test screen is " + std::to_string(screen_w) +
                                                 "x" + std::to_string(screen_h) +
                                                 ", the session should give 1024x768");
  RECT r;
  GetWindowRect(w, &r);
  const RECT want = {(screen_w - 553) / 2, (screen_h - 514) / 2, (screen_w - 553) / 2 + 553,
                     (screen_h - 514) / 2 + 514};
  Check(EqualRect(&r, &want) != FALSE,
        "window rectangle " + RectText(r) + ", expected " + RectText(want));

  const DWORD style = static_cast<DWORD>(GetWindowLongW(w, GWL_STYLE));
  constexpr DWORD kRequired = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  constexpr DWORD kForbidden = WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CHILD | WS_POPUP;
  Check((style & kRequired) == kRequired,
        "window style " + Hex(style) + " lacks " + Hex(kRequired & ~style));
  Check((style & kForbidden) == 0,
        "window style " + Hex(style) + " has " + Hex(style & kForbidden));
  const DWORD ex_style = static_cast<DWORD>(GetWindowLongW(w, GWL_EXSTYLE));
  Check((ex_style & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW)) == 0, "window is topmost or a tool window");
  Check(GetWindow(w, GW_OWNER) == nullptr, "window has an owner");
  Check(GetMenu(w) == nullptr, "window has a menu bar");
  // Icons and fonts are not checked: Wine answers WM_GETICON and WM_GETFONT from another
  // process with nothing.

  // The children from the top of the stacking down follow the layout table.
  std::size_t index = 0;
  for (HWND h = GetWindow(w, GW_CHILD); h != nullptr; h = GetWindow(h, GW_HWNDNEXT), ++index) {
    if (index < layout::Controls().size()) CheckControl(app, h, index);
  }
  Check(index == layout::Controls().size(),
        "the window has " + std::to_string(index) + " child windows, expected 13");

  CloseAndCheckExitCode(app);
}

void Generate(const Args&) {
  TempDir dir("generate");
  App app(dir);

  EmptyTheClipboard();
  app.SetText(kCountBox, "5");
  app.Click(kGenerateButton);
  std::string result = app.Text(kResultBox);
  CheckHeadlines("count 5, built-in lists", result, 5, quillora::kDefaultPrefixList,
                 quillora::kDefaultConnectorList, quillora::kDefaultSuffixList);
  CheckClipboardHolds("count 5", result);

  // Full-width digits, and lists the user typed: the fields come from the boxes as they stand.
  const std::string prefixes = "甲一\r\n乙二\r\n丙三 带空格";
  const std::string connectors = "赵钱\r\n孙李\r\nWOW 2024";
  const std::string suffixes = "！结尾一\r\n…结尾二";
  app.SetText(kPrefixBox, prefixes);
  app.SetText(kConnectorBox, connectors);
  app.SetText(kSuffixBox, suffixes);
  app.SetText(kCountBox, "１０");
  app.Click(kGenerateButton);
  result = app.Text(kResultBox);
  CheckHeadlines("count \"１０\", typed lists", result, 10, prefixes, connectors, suffixes);
  CheckClipboardHolds("count \"１０\"", result);
  CheckBytes("count box after generating", "１０", app.Text(kCountBox));

  CloseAndCheckExitCode(app);
}

void EventAndRestoreDefaults(const Args&) {
  TempDir dir("event");
  App app(dir);

  const std::string event = "小区门口刚刚发生的一幕";
  app.SetText(kEventBox, event);
  app.SetText(kCountBox, "6");
  app.Click(kGenerateButton);
  const std::string result = app.Text(kResultBox);
  CheckHeadlines("with an event", result, 6, quillora::kDefaultPrefixList, event,
                 quillora::kDefaultSuffixList);
  CheckBytes("connector box after generating with an event", event, app.Text(kConnectorBox));

  // The user's edits of the other two lists go as well.
  app.SetText(kPrefixBox, "用户改过的前缀");
  app.SetText(kSuffixBox, "用户改过的后缀\r\n第二行");
  app.Click(kRestoreButton);
  CheckBytes("prefix box after restore", quillora::kDefaultPrefixList, app.Text(kPrefixBox));
  CheckBytes("connector box after restore", quillora::kDefaultConnectorList,
             app.Text(kConnectorBox));
  CheckBytes("suffix box after restore", quillora::kDefaultSuffixList, app.Text(kSuffixBox));
  CheckBytes("event box after restore", event, app.Text(kEventBox));
  CheckBytes("result box after restore", result, app.Text(kResultBox));
  CheckBytes("count box after restore", "6", app.Text(kCountBox));
  CheckClipboardHolds("clipboard after restore", result);

  // The event is still there, so the next command puts it into the connector box again.
  app.Click(kGenerateButton);
  CheckBytes("connector box after the next command", event, app.Text(kConnectorBox));
  CheckHeadlines("next command", app.Text(kResultBox), 6, quillora::kDefaultPrefixList, event,
                 quillora::kDefaultSuffixList);

  CloseAndCheckExitCode(app);
}

namespace {

// Presses a key and waits until the focus has left `from`; the control it went to.
void PressAndWaitForFocusChange(const App& app, WORD vk, std::initializer_list<WORD> modifiers) {
  const HWND before = app.Focus();
  PressKey(vk, modifiers);
  WaitUntil([&] { return app.Focus() != before; }, 3000);
}

}  // namespace

void Keys(const Args&) {
  TempDir dir("keys");
  App app(dir);
  app.BringToFront();

  const HWND result = app.Control(kResultBox);
  Check(WaitUntil([&] { return app.Focus() == result; }, 5000),
        "first focus: expected the result box, got " + app.FocusName());

  // Enter in a multi-line box is a line break.
  PressKey(VK_RETURN);
  Check(WaitUntil([&] { return app.Text(kResultBox) == "\r\n"; }, 5000),
        "Enter in the result box gave " + Show(app.Text(kResultBox)) + ", expected CR LF");

  const char* const ring[] = {kResultBox,    kGenerateButton, kCountBox,      kSuffixBox,
                              kConnectorBox, kPrefixBox,      kRestoreButton, kResultBox};
  const std::size_t steps = sizeof ring / sizeof ring[0] - 1;
  for (std::size_t i = 1; i <= steps; ++i) {
    PressAndWaitForFocusChange(app, VK_TAB, {});
    Check(app.Focus() == app.Control(ring[i]), "Tab from " + Show(ring[i - 1]) + ": expected " +
                                                   Show(ring[i]) + ", got " + app.FocusName());
  }
  for (std::size_t i = steps; i >= 1; --i) {
    PressAndWaitForFocusChange(app, VK_TAB, {VK_SHIFT});
    Check(app.Focus() == app.Control(ring[i - 1]), "Shift+Tab from " + Show(ring[i]) +
                                                       ": expected " + Show(ring[i - 1]) +
                                                       ", got " + app.FocusName());
  }
  CheckBytes("result box after the Tab ring (no Tab typed)", "\r\n", app.Text(kResultBox));

  // Enter on the generate button and in the count box: nothing happens. The Tab after each
  // Enter shows that the Enter has been handled by then (input is handled in order).
  PressAndWaitForFocusChange(app, VK_TAB, {});  // to the generate button
  PressKey(VK_RETURN);
  PressAndWaitForFocusChange(app, VK_TAB, {});  // to the count box
  Check(app.Focus() == app.Control(kCountBox), "Enter on the generate button moved the focus");
  PressKey(VK_RETURN);
  PressAndWaitForFocusChange(app, VK_TAB, {});
  Check(app.Focus() == app.Control(kSuffixBox),
        "after Enter and Tab in the count box: expected the suffix box, got " + app.FocusName());
  CheckBytes("count box after Enter", "10", app.Text(kCountBox));
  CheckBytes("result box after Enter on the button and in the count box (no command ran)", "\r\n",
             app.Text(kResultBox));

  CloseAndCheckExitCode(app);
}

void CloseWays(const Args&) {
  struct Way {
    const char* name;
    void (*close)(App& app);
  };
  const Way ways[] = {
      {"the system menu's Close command",
       [](App& app) { PostMessageW(app.window(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
      {"Alt+F4",
       [](App& app) {
         app.BringToFront();
         PressKey(VK_F4, {VK_MENU});
       }},
      {"Esc in the prefix box with a selection",
       [](App& app) {
         app.BringToFront();
         const HWND prefix = app.Control(kPrefixBox);
         for (int i = 0; i < 2 && app.Focus() != prefix; ++i) {
           PressAndWaitForFocusChange(app, VK_TAB, {VK_SHIFT});
         }
         Check(app.Focus() == prefix, "could not move the focus to the prefix box");
         app.Send(prefix, EM_SETSEL, 0, 6);
         PressKey(VK_ESCAPE);
       }},
      {"Esc in the count box",
       [](App& app) {
         app.BringToFront();
         const HWND count = app.Control(kCountBox);
         for (int i = 0; i < 2 && app.Focus() != count; ++i) {
           PressAndWaitForFocusChange(app, VK_TAB, {});
         }
         Check(app.Focus() == count, "could not move the focus to the count box");
         PressKey(VK_ESCAPE);
       }},
  };
  int count = 3;
  for (const Way& way : ways) {
    TempDir dir("close");
    App app(dir);
    const std::string count_text = std::to_string(count++);
    app.SetText(kCountBox, count_text);
    way.close(app);
    const DWORD code = app.WaitForExit();
    Check(code == 0, std::string(way.name) + ": exit code " + std::to_string(code));
    const auto lines = ConfigLines(dir);
    Check(lines.has_value(), std::string(way.name) + ": no config.ini written");
    if (!lines) continue;
    Check(RawValue(*lines, kCountBox) == count_text,
          std::string(way.name) + ": count not saved as " + count_text);
    Check(RawValue(*lines, kPrefixBox) == Stored(quillora::kDefaultPrefixList),
          std::string(way.name) + ": prefix list not saved unchanged");
  }
}

void CommandLineAndCurrentDirectory(const Args&) {
  TempDir dir("cmdline");
  TempDir elsewhere("cwd");
  App::Options options;
  options.arguments = L"/reset --config other.ini 编辑框_前缀=x";
  options.current_directory = elsewhere.path();
  App app(dir, options);

  for (const std::string& box : EditBoxes()) {
    CheckBytes(Show(box) + " with arguments", LayoutText(box), app.Text(box));
  }
  app.SetText(kCountBox, "8");
  CloseAndCheckExitCode(app);

  const auto lines = ConfigLines(dir);
  Check(lines && RawValue(*lines, kCountBox) == "8",
        "config.ini beside the program lacks the count 8");
  Check(FilesIn(elsewhere.path()).empty(),
        "the program wrote into the directory it was started from");
  Check(!FileExists(dir.File(L"other.ini")), "the program used a file named on its command line");
}

void UnicodeTexts(const Args& args) {
  const UINT expected_acp = args.empty() ? 936 : static_cast<UINT>(std::stoul(args[0]));
  Check(GetACP() == expected_acp, "ANSI code page under Wine is " + std::to_string(GetACP()) +
                                      ", this run is meant for " + std::to_string(expected_acp));

  TempDir dir("unicode");
  const std::string prefixes = "恢复的前缀甲\r\n恢复的前缀乙";
  WriteFileBytes(dir.File(L"config.ini"),
                 "[编辑框]\r\n编辑框_前缀=" + Stored(prefixes) + "\r\n编辑框_结果=上次的结果\r\n");
  App app(dir);

  // Every text reaches the window as the right Unicode, whatever the ANSI code page.
  Check(app.WideText(app.window()).rfind(L"Quillorav1.2 ", 0) == 0, "caption");
  Check(app.WideText(app.Control("标签1")) == L"标题数：", "label 标签1 is not 标题数：");
  Check(app.WideText(app.Control(kGenerateButton)) == L"生成标题", "generate button caption");
  for (const auto& control : layout::Controls()) {
    std::string expected(control.initial_text);
    if (control.name == kPrefixBox) expected = prefixes;
    if (control.name == kResultBox) expected = "上次的结果";
    const std::wstring shown = app.WideText(app.Control(control.name));
    Check(shown == Wide(expected),
          Show(control.name) + " shows " + Show(Gbk(shown)) + ", expected " + Show(expected));
  }

  EmptyTheClipboard();
  app.SetText(kCountBox, "5");
  app.Click(kGenerateButton);
  const std::string result = app.Text(kResultBox);
  CheckHeadlines("generate", result, 5, prefixes, quillora::kDefaultConnectorList,
                 quillora::kDefaultSuffixList);
  CheckClipboardHolds("generate", result);

  app.SetText(kSuffixBox, "改过的后缀");
  CloseAndCheckExitCode(app);
  const auto lines = ConfigLines(dir);
  Check(lines && RawValue(*lines, kPrefixBox) == Stored(prefixes), "prefix list not saved as GBK");
  Check(lines && RawValue(*lines, kSuffixBox) == "改过的后缀", "suffix not saved as GBK");
}

}  // namespace e2e
