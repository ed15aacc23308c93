#include "text/gbk.h"

#include <gtest/gtest.h>

namespace quillora::text {
namespace {

struct ReplaceCase {
  const char* what;
  std::string text, from, to, want;
};

TEST(GbkReplaceAll, MatchesOnlyAtCharacterStarts) {
  const ReplaceCase cases[] = {
      {"every occurrence", "a\r\nb\r\nc", "\r\n", "><br><", "a><br><b><br><c"},
      {"no overlap, left to right", "aaa", "aa", "b", "ba"},
      {"shorter rest is copied", "ab\r", "\r\n", "X", "ab\r"},
      // 0xB0 0x3E is one character; the '>' byte inside it must not start a match.
      {"not inside a double-byte character", "\xB0><br><", "><br><", "\r\n", "\xB0><br><"},
      {"lone lead byte at the end", "x\xB0", "\xB0", "Y", "xY"},
      {"empty pattern leaves the text", "abc", "", "X", "abc"},
      {"reverse of the escape", "a><br><><br><b", "><br><", "\r\n", "a\r\n\r\nb"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReplaceAll(c.text, c.from, c.to), c.want) << c.what;
  }
}

TEST(GbkFind, SecondByteOfACharacterIsNeverAMatch) {
  // "\xB1\x5C" is one double-byte character whose second byte is the backslash byte.
  const std::string path = "C:\\\xB1\x5C\\x.exe";
  EXPECT_EQ(FindLastCharAtCharStart(path, '\\'), 5u);
  EXPECT_EQ(FindLastCharAtCharStart("C:\\\xB1\x5C", '\\'), 2u);
  EXPECT_EQ(FindAtCharStart("\xB1\x5C", "\\"), std::string_view::npos);
  EXPECT_TRUE(ContainsAtCharStart("编辑框1|编辑框_结果", "_结果"));
}

}  // namespace
}  // namespace quillora::text
