#include "app/layout.h"

#include <algorithm>

#include "generator/default_lists.h"

namespace quillora::layout {

const std::string_view kWindowCaption = "Quillorav1.2 headlines@quillora.invalid";

std::string_view KindName(Kind kind) {
  switch (kind) {
    case Kind::kEditSingleLine:
    case Kind::kEditMultiLine: return "编辑框";
    case Kind::kLabel: return "标签";
    case Kind::kButton: return "按钮";
  }
  return {};
}

const std::vector<Control>& Controls() {
  using K = Kind;
  static const std::vector<Control> controls = {
      {"按钮1", K::kButton, 424, 406, 96, 58, "还原默认", true, true},
      {"编辑框1", K::kEditSingleLine, 31, 304, 473, 48, "", false, true},
      {"标签2", K::kLabel, 34, 271, 288, 24, "需放入标题的事件（如果不需要，可留空)", false, false},
      {"标签1", K::kLabel, 25, 416, 47, 24, "标题数：", true, false},
      {"编辑框_前缀", K::kEditMultiLine, 24, 48, 128, 166, kDefaultPrefixList, true, true},
      {"标签9", K::kLabel, 24, 15, 104, 24, "前缀:抓眼球", true, false},
      {"标签13", K::kLabel, 193, 15, 135, 24, "衔接:事件/动作要求", true, false},
      {"编辑框_衔接", K::kEditMultiLine, 192, 48, 136, 166, kDefaultConnectorList, true, true},
      {"标签14", K::kLabel, 376, 15, 152, 24, "后缀：后果", true, false},
      {"编辑框_后缀", K::kEditMultiLine, 374, 49, 152, 165, kDefaultSuffixList, true, true},
      {"编辑框_标题数", K::kEditSingleLine, 84, 410, 72, 40, "10", true, true},
      {"按钮_生成", K::kButton, 184, 407, 224, 55, "生成标题", true, true},
      {"编辑框_结果", K::kEditMultiLine, 23, 233, 505, 159, "", true, true},
  };
  return controls;
}

Point CentredOrigin(int screen_width, int screen_height) {
  // C++ division truncates towards zero, as the placement wants even on a tiny screen.
  return {(screen_width - kWindowWidth) / 2, (screen_height - kWindowHeight) / 2};
}

std::vector<std::size_t> TabRing() {
  std::vector<std::size_t> ring;
  const auto& controls = Controls();
  for (std::size_t i = controls.size(); i-- > 0;) {
    if (controls[i].visible && controls[i].tab_stop) ring.push_back(i);
  }
  return ring;
}

std::size_t NextInTabRing(std::size_t current, bool forward) {
  const std::vector<std::size_t> ring = TabRing();
  const auto it = std::find(ring.begin(), ring.end(), current);
  if (it == ring.end()) return forward ? ring.front() : ring.back();
  const std::size_t at = static_cast<std::size_t>(it - ring.begin());
  return forward ? ring[(at + 1) % ring.size()] : ring[(at + ring.size() - 1) % ring.size()];
}

}  // namespace quillora::layout
