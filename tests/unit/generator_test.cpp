#include <gtest/gtest.h>

#include <climits>

#include "generator/control_names.h"
#include "generator/count.h"
#include "generator/default_lists.h"
#include "generator/headlines.h"
#include "generator/lines.h"
#include "generator/random.h"
#include "tests/unit/fakes.h"

namespace quillora {
namespace {

using testing::FakeClipboard;
using testing::FakeClock;
using testing::FakeForm;

// ---- Cutting lines -------------------------------------------------------------------------

struct SplitCase {
  const char* what;
  std::string text;
  std::vector<std::string> want;
};

TEST(SplitLines, CutsAtCrLfOnly) {
  const SplitCase cases[] = {
      {"empty text has no line", "", {}},
      {"trailing CR LF adds no line", "A\r\nB\r\n", {"A", "B"}},
      {"leading CR LF gives an empty line", "\r\nA", {"", "A"}},
      {"doubled CR LF gives an empty line", "A\r\n\r\nB", {"A", "", "B"}},
      {"only CR LF is one empty line", "\r\n", {""}},
      {"lone CR does not cut", "A\rB", {"A\rB"}},
      {"lone LF does not cut", "A\nB", {"A\nB"}},
      {"blanks are kept", " A \r\nB ", {" A ", "B "}},
      // 0xB0 0x0D is one character, so the CR LF that seems to start at its second byte is no
      // separator; the LF after it stays in the line.
      {"no cut inside a double-byte character", "\xB0\r\nX", {"\xB0\r\nX"}},
      {"lone lead byte at the end", "A\r\n\xB0", {"A", "\xB0"}},
      {"Chinese lines", "震撼\r\n揭秘", {"震撼", "揭秘"}},
  };
  for (const auto& c : cases) {
    const auto lines = SplitLines(c.text);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.end()), c.want) << c.what;
  }
}

// ---- Random numbers ------------------------------------------------------------------------

TEST(RandomGenerator, WorkedExampleOfThreePicksAtOneTick) {
  // Fresh state, tick 1000 at all three picks, lists of 103, 112 and 47 lines.
  RandomGenerator rng;
  FakeClock clock(1000);
  const std::int32_t sizes[] = {103, 112, 47};
  const std::uint32_t seeds[] = {1000, 1332, 1484};
  const std::uint32_t offsets[] = {332, 484, 788};
  const std::uint32_t draws[] = {3304, 4388, 4884};
  const std::int32_t picks[] = {9, 21, 44};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(ReseedGenerator(rng, clock), seeds[i]);
    EXPECT_EQ(rng.reseed_offset, offsets[i]);
    RandomGenerator copy = rng;
    EXPECT_EQ(Draw(copy), draws[i]);
    EXPECT_EQ(RandomBetween(rng, 1, sizes[i]), picks[i]);
  }
}

TEST(RandomGenerator, PickLineFollowsTheWorkedExample) {
  std::vector<std::string> storage[3];
  std::vector<std::string_view> lists[3];
  const int sizes[] = {103, 112, 47};
  for (int l = 0; l < 3; ++l) {
    for (int i = 1; i <= sizes[l]; ++i) storage[l].push_back(std::to_string(i));
    lists[l].assign(storage[l].begin(), storage[l].end());
  }
  RandomGenerator rng;
  FakeClock clock(1000);
  EXPECT_EQ(PickLine(lists[0], rng, clock), "9");
  EXPECT_EQ(PickLine(lists[1], rng, clock), "21");
  EXPECT_EQ(PickLine(lists[2], rng, clock), "44");
}

TEST(RandomGenerator, BoundsAndOffsetArithmetic) {
  RandomGenerator rng;
  EXPECT_EQ(RandomBetween(rng, 5, 5), 5);
  EXPECT_EQ(rng.state, 0u) << "equal bounds make no draw";
  EXPECT_EQ(RandomBetween(rng, -7, -1), 0) << "negative bounds count as 0";
  for (int i = 0; i < 200; ++i) {
    const auto v = RandomBetween(rng, 9, 3);  // swapped bounds
    ASSERT_GE(v, 3);
    ASSERT_LE(v, 9);
  }
  // The seed and the offset wrap modulo 2^32.
  RandomGenerator wrap;
  wrap.reseed_offset = 0xFFFFFFF0u;
  FakeClock clock(0x20);
  EXPECT_EQ(ReseedGenerator(wrap, clock), 0x10u);
  EXPECT_EQ(wrap.reseed_offset, 0xFFFFFFF0u + 0x10u + 100u);
}

TEST(RandomGenerator, OnlyTheFirst32768LinesCanBePicked) {
  std::vector<std::string> storage;
  for (int i = 0; i < 40000; ++i) storage.push_back(std::to_string(i + 1));
  const std::vector<std::string_view> lines(storage.begin(), storage.end());
  RandomGenerator rng;
  FakeClock clock;
  int highest = 0;
  for (std::uint32_t tick = 0; tick < 20000; ++tick) {
    clock.tick = tick * 7919u;
    highest = std::max(highest, std::stoi(std::string(PickLine(lines, rng, clock))));
  }
  EXPECT_LE(highest, 32768);
  EXPECT_GT(highest, 30000) << "the picks should still spread over the reachable lines";
}

TEST(RandomGenerator, DrawDivisorGivesTheExactRemainderOfEveryDraw) {
  for (std::uint32_t d : {1u, 2u, 3u, 7u, 47u, 103u, 112u, 1000u, 32767u, 32768u, 32769u, 40000u,
                          65535u, 1u << 20, 2147483647u}) {
    const DrawDivisor divisor(d);
    for (std::uint32_t draw = 0; draw < 32768; ++draw) {
      ASSERT_EQ(divisor.Remainder(draw), draw % d) << draw << " mod " << d;
    }
  }
}

TEST(PickRandomLine, EmptyListGivesTheEmptyPhraseAndStillReseeds) {
  RandomGenerator rng;
  FakeClock clock(1000);
  EXPECT_EQ(PickRandomLine("", rng, clock), "");
  EXPECT_EQ(rng.reseed_offset, 332u);
  EXPECT_EQ(PickRandomLine("only", rng, clock), "only");
}

// ---- Reading the count ---------------------------------------------------------------------

TEST(ParseCount, TextsOfTheCountBox) {
  const struct {
    const char* what;
    std::string text;
    std::int32_t want;
  } cases[] = {
      {"initial text", "10", 10},
      {"full-width digits", "１０", 10},
      {"after a blank", " 10", 10},
      {"full-width after an ideographic space", "\xA1\xA1１０", 10},
      {"plus sign", "+7", 7},
      {"full-width plus and digit", "＋７", 7},
      {"zero", "0", 0},
      {"minus three", "-3", -3},
      {"full-width minus three", "－３", -3},
      {"letters", "abc", 0},
      {"empty", "", 0},
      {"Chinese numeral ten", "十", 0},
      {"digits then letters", "12abc", 12},
      {"decimal point", "3.9", 3},
      {"blank between digits", "1 2", 1},
      {"no hex prefix", "0x10", 0},
      {"leading zeros", "007", 7},
      {"eleven nines", "99999999999", INT32_MAX},
      {"minus eleven nines", "-99999999999", INT32_MIN},
      {"white space before sign", "\t\r\n +5", 5},
      {"sign alone", "+", 0},
      {"minus zero", "-0", 0},
      {"two signs", "+-3", 0},
      {"ten thousand digits", std::string(10000, '9'), INT32_MAX},
      {"exactly the top", "2147483647", INT32_MAX},
      {"exactly the bottom", "-2147483648", INT32_MIN},
      {"lone lead byte", "\xB0", 0},
      {"digit then lone lead byte", "4\xB0", 4},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseCount(c.text), c.want) << c.what;
}

TEST(FoldFullWidth, FoldsOnlyTheListedCharacters) {
  EXPECT_EQ(FoldFullWidth("\xA3\xA1\xA3\xFE"), "!~");             // first and last ASCII form
  EXPECT_EQ(FoldFullWidth("\xA1\xA1\xA1\xAB\xA1\xEE\xA1\xEF"), " ~**");
  EXPECT_EQ(FoldFullWidth("震\xA3\xA0x"), "震\xA3\xA0x");           // unlisted pairs stay
  EXPECT_EQ(FoldFullWidth("ab\xA3"), "ab");                        // lone lead byte dropped
}

// ---- The generate command ------------------------------------------------------------------

class GenerateCommand : public ::testing::Test {
 protected:
  GenerateCommand() {
    form.Add(names::kRestoreButton, names::kKindButton, "还原默认")
        .Add(names::kEvent, names::kKindEditBox)
        .Add(names::kPrefixList, names::kKindEditBox, "P1\r\nP2\r\nP3")
        .Add(names::kConnectorList, names::kKindEditBox, "C1\r\nC2")
        .Add(names::kSuffixList, names::kKindEditBox, "S1\r\nS2\r\nS3\r\nS4")
        .Add(names::kCount, names::kKindEditBox, "10")
        .Add(names::kResult, names::kKindEditBox, "old result the user typed");
  }

  void Generate(const std::string& count) {
    form.SetText(names::kCount, count);
    GenerateHeadlines(form, clock, clipboard, rng);
  }

  // The result cut into headlines, each cut at its two commas.
  std::vector<std::vector<std::string>> Headlines() {
    std::vector<std::vector<std::string>> out;
    const std::string result = form.Text(names::kResult);
    for (auto line : SplitLines(result)) {
      std::vector<std::string> fields;
      std::size_t start = 0, comma;
      while ((comma = line.find(',', start)) != std::string_view::npos) {
        fields.emplace_back(line.substr(start, comma - start));
        start = comma + 1;
      }
      fields.emplace_back(line.substr(start));
      out.push_back(fields);
    }
    return out;
  }

  FakeForm form;
  FakeClock clock{12345};
  FakeClipboard clipboard;
  RandomGenerator rng;
};

TEST_F(GenerateCommand, MakesTheCountedHeadlinesAndCopiesThem) {
  Generate("2");
  const std::string result = form.Text(names::kResult);
  ASSERT_EQ(result.substr(result.size() - 2), "\r\n");
  const auto headlines = Headlines();
  ASSERT_EQ(headlines.size(), 2u);
  for (const auto& h : headlines) {
    ASSERT_EQ(h.size(), 3u);
    EXPECT_TRUE(h[0] == "P1" || h[0] == "P2" || h[0] == "P3") << h[0];
    EXPECT_TRUE(h[1] == "C1" || h[1] == "C2") << h[1];
    EXPECT_EQ(h[2].size(), 2u);
    EXPECT_EQ(h[2][0], 'S');
  }
  EXPECT_EQ(clipboard.content, result);
  EXPECT_EQ(form.Text(names::kConnectorList), "C1\r\nC2");
}

TEST_F(GenerateCommand, SameClockAndStateGiveTheSameHeadlinesAsSinglePicks) {
  // The command must draw exactly as three picks per headline would, in prefix, connector,
  // suffix order.
  Generate("3");
  RandomGenerator replay;
  FakeClock same_clock(12345);
  std::string want;
  for (int i = 0; i < 3; ++i) {
    want += PickRandomLine("P1\r\nP2\r\nP3", replay, same_clock) + ",";
    want += PickRandomLine("C1\r\nC2", replay, same_clock) + ",";
    want += PickRandomLine("S1\r\nS2\r\nS3\r\nS4", replay, same_clock) + "\r\n";
  }
  EXPECT_EQ(form.Text(names::kResult), want);
  EXPECT_EQ(rng.reseed_offset, replay.reseed_offset);
}

TEST_F(GenerateCommand, NoHeadlineForACountOfZeroOrLess) {
  form.SetText(names::kEvent, "EVENT");
  for (const char* count : {"0", "-3", "abc", "", "十"}) {
    Generate(count);
    EXPECT_EQ(form.Text(names::kResult), "") << count;
    EXPECT_EQ(clipboard.content, std::string()) << count;
    EXPECT_EQ(form.Text(names::kConnectorList), "C1\r\nC2") << count;
  }
}

TEST_F(GenerateCommand, EventBecomesEveryMiddleFieldAndStaysInTheConnectorBox) {
  form.SetText(names::kEvent, "E");
  Generate("3");
  for (const auto& h : Headlines()) EXPECT_EQ(h[1], "E");
  EXPECT_EQ(Headlines().size(), 3u);
  EXPECT_EQ(form.Text(names::kConnectorList), "E");
  form.SetText(names::kEvent, "");
  Generate("1");
  EXPECT_EQ(form.Text(names::kConnectorList), "E") << "clearing the event brings no list back";

  form.SetText(names::kEvent, " ");
  Generate("2");
  for (const auto& h : Headlines()) EXPECT_EQ(h[1], " ") << "a blank event is not empty";
}

TEST_F(GenerateCommand, EmptyLinesAndEmptyBoxesGiveEmptyFields) {
  form.SetText(names::kPrefixList, "");
  form.SetText(names::kConnectorList, "\r\n");
  form.SetText(names::kSuffixList, " x ");
  Generate("4");
  EXPECT_EQ(form.Text(names::kResult), std::string(",, x \r\n") + ",, x \r\n" + ",, x \r\n" +
                                           ",, x \r\n");
}

TEST_F(GenerateCommand, CountIsBoundedPerClick) {
  Generate("99999999999");
  EXPECT_EQ(Headlines().size(), static_cast<std::size_t>(kMaxHeadlinesPerClick));
  Generate("100001");
  EXPECT_EQ(Headlines().size(), static_cast<std::size_t>(kMaxHeadlinesPerClick));
}

TEST(MakeHeadlines, StopsBeforePassingTheSizeLimit) {
  const std::string big(1000, 'x');
  const std::vector<std::string_view> one = {big}, empty = {};
  RandomGenerator rng;
  FakeClock clock;
  // Each headline is 1000 + 4 bytes; 10 of them fit into 10 100 bytes, the 11th would not.
  const std::string out = MakeHeadlines(one, empty, empty, 50, rng, clock, 10100);
  EXPECT_EQ(out.size(), 10u * 1004u);
  EXPECT_EQ(MakeHeadlines(one, empty, empty, 50, rng, clock, 10040).size(), 10040u);
  EXPECT_EQ(MakeHeadlines(one, empty, empty, 3, rng, clock, 1003).size(), 0u);
}

TEST(RestoreCommand, PutsTheBuiltInListsBackAndLeavesTheRest) {
  FakeForm form;
  form.Add(names::kEvent, names::kKindEditBox, "E")
      .Add(names::kPrefixList, names::kKindEditBox, "x")
      .Add(names::kConnectorList, names::kKindEditBox, "E")
      .Add(names::kSuffixList, names::kKindEditBox, "")
      .Add(names::kCount, names::kKindEditBox, "5")
      .Add(names::kResult, names::kKindEditBox, "R\r\n");
  RestoreDefaultLists(form);
  EXPECT_EQ(form.Text(names::kPrefixList), kDefaultPrefixList);
  EXPECT_EQ(form.Text(names::kConnectorList), kDefaultConnectorList);
  EXPECT_EQ(form.Text(names::kSuffixList), kDefaultSuffixList);
  EXPECT_EQ(form.Text(names::kEvent), "E");
  EXPECT_EQ(form.Text(names::kCount), "5");
  EXPECT_EQ(form.Text(names::kResult), "R\r\n");
}

}  // namespace
}  // namespace quillora
