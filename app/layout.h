// The main window's layout as data: the window's frame and the 13 controls in layout order.
// Everything that depends on an order (stacking, the Tab ring, the list of edit boxes) is
// derived from this one table. Plain C++, so the tests can check it on any platform.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace quillora::layout {

enum class Kind { kEditSingleLine, kEditMultiLine, kLabel, kButton };

struct Control {
  std::string_view name;          // control name (GBK)
  Kind kind;
  int left, top, width, height;   // outer rectangle in the client area
  std::string_view initial_text;  // GBK
  bool visible;
  bool tab_stop;
};

// "窗口", "编辑框", "标签" or "按钮".
std::string_view KindName(Kind kind);

inline constexpr int kWindowWidth = 553;   // outer size, frame and caption bar included
inline constexpr int kWindowHeight = 514;
extern const std::string_view kWindowCaption;

// The 13 controls, in layout order: first on top of the stacking, last in the Tab ring.
const std::vector<Control>& Controls();

// Where the centred window starts on a screen of the given size.
struct Point {
  int x, y;
};
Point CentredOrigin(int screen_width, int screen_height);

// Indexes into Controls() of the controls Tab visits, in visiting order: the visible tab stops
// in reverse layout order. The first one gets the focus when nothing had it before.
std::vector<std::size_t> TabRing();

// The control Tab (forward) or Shift+Tab (backward) moves to from `current`; a control that
// is not in the ring moves to the start (or, backward, to the end) of the ring.
std::size_t NextInTabRing(std::size_t current, bool forward);

}  // namespace quillora::layout
