#include "app/layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quillora::layout {
namespace {

std::vector<std::string> Names(const std::vector<std::size_t>& indexes) {
  std::vector<std::string> out;
  for (std::size_t i : indexes) out.emplace_back(Controls()[i].name);
  return out;
}

TEST(Layout, TabRingRunsInReverseLayoutOrderOverVisibleTabStops) {
  const std::vector<std::string> want = {"编辑框_结果", "按钮_生成", "编辑框_标题数", "编辑框_后缀",
                                         "编辑框_衔接", "编辑框_前缀", "按钮1"};
  const std::vector<std::size_t> ring = TabRing();
  EXPECT_EQ(Names(ring), want);

  // Forward from each member reaches the next and wraps; backward walks the other way.
  for (std::size_t i = 0; i < ring.size(); ++i) {
    EXPECT_EQ(NextInTabRing(ring[i], true), ring[(i + 1) % ring.size()]);
    EXPECT_EQ(NextInTabRing(ring[(i + 1) % ring.size()], false), ring[i]);
  }
  // From outside the ring (a label, the hidden event box) Tab starts at the ring's start.
  EXPECT_EQ(Names({NextInTabRing(1, true)}), std::vector<std::string>{"编辑框_结果"});
  EXPECT_EQ(Names({NextInTabRing(3, false)}), std::vector<std::string>{"按钮1"});
}

TEST(Layout, EditBoxesInLayoutOrder) {
  std::vector<std::string> boxes;
  for (const Control& c : Controls()) {
    if (KindName(c.kind) == "编辑框") boxes.emplace_back(c.name);
  }
  EXPECT_EQ(boxes, (std::vector<std::string>{"编辑框1", "编辑框_前缀", "编辑框_衔接", "编辑框_后缀",
                                             "编辑框_标题数", "编辑框_结果"}));
}

TEST(Layout, WindowIsCentredWithTruncation) {
  const Point on_xga = CentredOrigin(1024, 768);
  EXPECT_EQ(on_xga.x, 235);  // 471 / 2 = 235.5
  EXPECT_EQ(on_xga.y, 127);
  const Point on_tiny = CentredOrigin(500, 400);
  EXPECT_EQ(on_tiny.x, -26);  // -53 / 2 = -26.5, truncated towards zero
  EXPECT_EQ(on_tiny.y, -57);
}

}  // namespace
}  // namespace quillora::layout
