// The built-in phrase lists, checked on the compiled GBK bytes: sizes, line counts,
// line lengths, the kinds of characters the lines hold, the quoted lines and the stored size.
#include "generator/default_lists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <limits>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "generator/lines.h"
#include "text/gbk.h"

namespace quillora {
namespace {

struct ListFacts {
  const char* name;
  std::string_view text;
  std::size_t lines;
  std::size_t bytes;
  std::size_t min_chars;
  std::size_t max_chars;
  std::size_t min_line_bytes;
  std::size_t max_line_bytes;
  std::size_t blank_lines;
  std::size_t digit_lines;
  std::size_t latin_lines;
  std::size_t stored_bytes;
};

void PrintTo(const ListFacts& list, std::ostream* os) {
  *os << list.name;
}

const ListFacts kLists[] = {
    {"Prefix", kDefaultPrefixList, 103, 1418, 2, 16, 4, 31, 4, 10, 1, 1826},
    {"Connector", kDefaultConnectorList, 112, 2122, 4, 16, 8, 32, 2, 7, 2, 2566},
    {"Suffix", kDefaultSuffixList, 47, 919, 4, 14, 8, 28, 1, 9, 0, 1103},
};

// Number of GBK characters of `line`, each double-byte character counting once.
std::size_t CountChars(std::string_view line) {
  std::size_t n = 0;
  for (std::size_t pos = 0; pos < line.size(); pos += text::CharLength(line, pos)) ++n;
  return n;
}

// Whether a single-byte character (never the trail byte of a double-byte one) satisfies `pred`.
template <typename Pred>
bool HasSingleByteChar(std::string_view line, Pred pred) {
  for (std::size_t pos = 0; pos < line.size(); pos += text::CharLength(line, pos)) {
    if (!text::IsLeadByte(line[pos]) && pred(line[pos])) return true;
  }
  return false;
}

bool IsBlank(char c) {
  return c == ' ';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsLatin(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::vector<std::string> Lines(std::string_view list) {
  std::vector<std::string> out;
  for (std::string_view line : SplitLines(list)) out.emplace_back(line);
  return out;
}

bool Contains(const std::vector<std::string>& lines, std::string_view line) {
  for (const std::string& l : lines) {
    if (l == line) return true;
  }
  return false;
}

class DefaultListTest : public ::testing::TestWithParam<ListFacts> {};

TEST_P(DefaultListTest, HasTheStatedByteCount) {
  const ListFacts& list = GetParam();
  EXPECT_EQ(list.text.size(), list.bytes);
}

TEST_P(DefaultListTest, IsWellFormedGbkWithCrLfOnlyBetweenLines) {
  const std::string_view t = GetParam().text;
  ASSERT_GE(t.size(), 2u);
  for (std::size_t pos = 0; pos < t.size(); pos += text::CharLength(t, pos)) {
    const unsigned char c = static_cast<unsigned char>(t[pos]);
    if (text::IsLeadByte(t[pos])) {
      ASSERT_LT(pos + 1, t.size()) << "lone lead byte at the end";
      const unsigned char trail = static_cast<unsigned char>(t[pos + 1]);
      EXPECT_TRUE(c >= 0x81 && c <= 0xFE) << "bad lead byte at " << pos;
      EXPECT_TRUE(trail >= 0x40 && trail <= 0xFE && trail != 0x7F) << "bad trail at " << pos;
    } else if (c == '\r') {
      EXPECT_TRUE(pos + 1 < t.size() && t[pos + 1] == '\n') << "lone CR at " << pos;
    } else if (c == '\n') {
      EXPECT_TRUE(pos > 0 && t[pos - 1] == '\r') << "lone LF at " << pos;
    } else {
      EXPECT_TRUE(c >= 0x20 && c < 0x7F) << "control byte at " << pos;
    }
  }
  EXPECT_NE(t.substr(0, 2), "\r\n");
  EXPECT_NE(t.substr(t.size() - 2), "\r\n") << "CR LF after the last line";
}

TEST_P(DefaultListTest, SplitsIntoTheStatedNumberOfDistinctNonEmptyLines) {
  const ListFacts& list = GetParam();
  const std::vector<std::string_view> lines = SplitLines(list.text);
  EXPECT_EQ(lines.size(), list.lines);
  std::set<std::string_view> seen;
  std::string joined;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_FALSE(lines[i].empty()) << "line " << i;
    EXPECT_TRUE(seen.insert(lines[i]).second) << "line " << i << " occurs twice";
    if (i > 0) joined += "\r\n";
    joined += lines[i];
  }
  EXPECT_EQ(joined, list.text);  // nothing lost or added by the cut
}

TEST_P(DefaultListTest, LineLengthsSpanTheStatedRanges) {
  const ListFacts& list = GetParam();
  const std::vector<std::string_view> lines = SplitLines(list.text);
  ASSERT_FALSE(lines.empty());
  constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();
  std::size_t min_chars = kNone, max_chars = 0, min_bytes = kNone, max_bytes = 0;
  for (std::string_view line : lines) {
    const std::size_t chars = CountChars(line);
    min_chars = std::min(min_chars, chars);
    max_chars = std::max(max_chars, chars);
    min_bytes = std::min(min_bytes, line.size());
    max_bytes = std::max(max_bytes, line.size());
  }
  EXPECT_EQ(min_chars, list.min_chars);
  EXPECT_EQ(max_chars, list.max_chars);
  EXPECT_EQ(min_bytes, list.min_line_bytes);
  EXPECT_EQ(max_bytes, list.max_line_bytes);
}

TEST_P(DefaultListTest, BlankDigitAndLatinLinesHaveTheStatedCounts) {
  const ListFacts& list = GetParam();
  std::size_t blank = 0, digit = 0, latin = 0;
  for (std::string_view line : SplitLines(list.text)) {
    ASSERT_FALSE(line.empty());
    EXPECT_NE(line.front(), ' ') << "blank at the start of a line";
    EXPECT_NE(line.back(), ' ') << "blank at the end of a line";
    if (HasSingleByteChar(line, IsBlank)) ++blank;
    if (HasSingleByteChar(line, IsDigit)) ++digit;
    if (HasSingleByteChar(line, IsLatin)) ++latin;
  }
  EXPECT_EQ(blank, list.blank_lines);
  EXPECT_EQ(digit, list.digit_lines);
  EXPECT_EQ(latin, list.latin_lines);
}

TEST_P(DefaultListTest, StoredSizeWithBrTokens) {
  const ListFacts& list = GetParam();
  const std::string stored = text::ReplaceAll(list.text, "\r\n", "><br><");
  EXPECT_EQ(stored.size(), list.stored_bytes);
  EXPECT_EQ(stored.size(), list.bytes + 4 * (list.lines - 1));
  EXPECT_EQ(text::FindLastCharAtCharStart(stored, '\r'), std::string_view::npos);
  EXPECT_EQ(text::FindLastCharAtCharStart(stored, '\n'), std::string_view::npos);
  EXPECT_EQ(text::ReplaceAll(stored, "><br><", "\r\n"), list.text);
}

INSTANTIATE_TEST_SUITE_P(AllLists, DefaultListTest, ::testing::ValuesIn(kLists),
                         [](const ::testing::TestParamInfo<ListFacts>& info) {
                           return std::string(info.param.name);
                         });

TEST(DefaultListContent, LiteralsAreCompiledAsGbk) {
  EXPECT_EQ(std::string_view("震撼").size(), 4u);
  EXPECT_EQ(std::string_view("！").size(), 2u);
  EXPECT_EQ(std::string_view("…").size(), 2u);
  EXPECT_EQ(std::string_view("震撼"), "\xD5\xF0\xBA\xB3");
}

TEST(DefaultListContent, PrefixListOpensWithTheQuotedLinesAndHoldsTheOthers) {
  const std::vector<std::string> lines = Lines(kDefaultPrefixList);
  const std::vector<std::string> first = {"震撼",     "太震撼了", "越读越震撼", "警惕",
                                          "揭秘",     "天呐",     "出大事了",   "出事了",
                                          "紧急通知", "惊呆了",   "笑死我了",   "这都敢说"};
  ASSERT_GE(lines.size(), first.size());
  for (std::size_t i = 0; i < first.size(); ++i) EXPECT_EQ(lines[i], first[i]) << "line " << i;
  for (const char* line : {"刚刚发生 传疯了", "删前速看", "看后秒懂", "全世界80万人疯传",
                           "会让你大喊WOW", "胆小的人别看", "30岁以前要懂"}) {
    const std::vector<std::string> rest(lines.begin() + first.size(), lines.end());
    EXPECT_TRUE(Contains(rest, line)) << "missing a quoted prefix line";
  }
}

TEST(DefaultListContent, ConnectorListHoldsTheQuotedLines) {
  const std::vector<std::string> lines = Lines(kDefaultConnectorList);
  for (const char* line :
       {"女人勿入", "家里有小孩的注意了", "喜欢吃鱼的一定要看", "公园里刚刚发生的一幕",
        "不看后悔五百年", "不可思议的事实", "劲爆的惊险画面", "值得收藏一辈子的秘密", "星座小秘密",
        "致癌的日常食品", "2017最严新交规", "当醋遇上葡萄干", "馒头的最新吃法"}) {
    EXPECT_TRUE(Contains(lines, line)) << "missing a quoted connector line";
  }
}

TEST(DefaultListContent, SuffixListOpensAndEndsWithTheQuotedLinesAndHoldsTheOthers) {
  const std::vector<std::string> lines = Lines(kDefaultSuffixList);
  const std::vector<std::string> first = {"狗尿对轮胎的危害是非常大的", "看到这种虫子千万别打",
                                          "一家人患癌 罪魁祸首竟是", "吃一口就成植物人",
                                          "这些东西一定不要吃"};
  ASSERT_GT(lines.size(), first.size());
  for (std::size_t i = 0; i < first.size(); ++i) EXPECT_EQ(lines[i], first[i]) << "line " << i;
  for (const char* line :
       {"没想到错了这么多年", "看完后我惊呆了！", "尤其是第7个！", "特别是最后一个！",
        "他是怎么做到的？", "这真的让我看不下去了…", "你一定要看到最后！"}) {
    EXPECT_TRUE(Contains(lines, line)) << "missing a quoted suffix line";
  }
  EXPECT_EQ(lines.back(), "我忍不住一直看下去...");
  EXPECT_EQ(kDefaultSuffixList.substr(kDefaultSuffixList.size() - 3), "...");
}

TEST(DefaultListContent, FullWidthPunctuationAppears) {
  std::string all = std::string(kDefaultPrefixList) + "\r\n" + std::string(kDefaultConnectorList) +
                    "\r\n" + std::string(kDefaultSuffixList);
  for (const char* mark : {"！", "？", "…"}) {
    EXPECT_TRUE(text::ContainsAtCharStart(all, mark)) << "missing a full-width mark";
  }
}

}  // namespace
}  // namespace quillora
