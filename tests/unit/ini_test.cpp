#include "settings/ini.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace quillora {
namespace {

std::optional<std::string> GetFrom(std::string_view file, std::string_view section,
                                   std::string_view key) {
  return IniDocument::Parse(file).Get(section, key);
}

TEST(IniDocument, FreshFileHoldsKeysInTheOrderTheyWereSet) {
  IniDocument doc;
  EXPECT_EQ(doc.Serialize(), "");
  doc.Set("编辑框", "编辑框_前缀", "A");
  doc.Set("编辑框", "编辑框_衔接", "B");
  doc.Set("编辑框", "编辑框_后缀", "");
  doc.Set("编辑框", "编辑框_标题数", "10");
  EXPECT_EQ(doc.Serialize(),
            "[编辑框]\r\n"
            "编辑框_前缀=A\r\n"
            "编辑框_衔接=B\r\n"
            "编辑框_后缀=\r\n"
            "编辑框_标题数=10\r\n");
  EXPECT_EQ(doc.Get("编辑框", "编辑框_后缀"), "");  // an empty value is still a key
  EXPECT_EQ(doc.Get("编辑框", "编辑框1"), std::nullopt);
  EXPECT_EQ(doc.Get("其他", "编辑框_前缀"), std::nullopt);
}

TEST(IniDocument, SetChangesOnlyItsOwnLine) {
  // LF-only line ends and no final line break: both are read, and written back with CR LF.
  const std::string file =
      "; written by hand\n"
      "[窗口]\n"
      "编辑框_前缀=other section\n"
      "\n"
      "[编辑框]\n"
      "  ; a comment inside\n"
      "未知=keep me\n"
      "编辑框_前缀 = old\n"
      "not a key line\n"
      "\n"
      "[after]\n"
      "x=1";
  IniDocument doc = IniDocument::Parse(file);
  doc.Set("编辑框", "编辑框_前缀", "new");
  doc.Set("编辑框", "编辑框_后缀", "added");
  doc.Set("after", "y", "2");
  doc.Set("新节", "k", "v");
  EXPECT_EQ(doc.Serialize(),
            "; written by hand\r\n"
            "[窗口]\r\n"
            "编辑框_前缀=other section\r\n"
            "\r\n"
            "[编辑框]\r\n"
            "  ; a comment inside\r\n"
            "未知=keep me\r\n"
            "编辑框_前缀 = new\r\n"
            "not a key line\r\n"
            "编辑框_后缀=added\r\n"
            "\r\n"
            "[after]\r\n"
            "x=1\r\n"
            "y=2\r\n"
            "\r\n"
            "[新节]\r\n"
            "k=v\r\n");
}

struct ReadCase {
  const char* what;
  std::string file, section, key;
  std::optional<std::string> want;
};

TEST(IniDocument, ReadsAsThePlatformReaderDoes) {
  const ReadCase cases[] = {
      {"blanks and tabs around names and value", " \t[ s ]\t\r\n \tk \t=\t v w \t\r\n", "s",
       "k", "v w"},
      {"double quotes stripped", "[s]\r\nk=\" v \"", "s", "k", " v "},
      {"single quotes stripped", "[s]\r\nk=' v '", "s", "k", " v "},
      {"only one pair stripped", "[s]\r\nk=\"\"v\"\"", "s", "k", "\"v\""},
      {"a lone quote stays", "[s]\r\nk=\"", "s", "k", "\""},
      {"mismatched quotes stay", "[s]\r\nk='v\"", "s", "k", "'v\""},
      {"quote inside a double-byte char is no closing quote", "[s]\r\nk=\"\x81\"", "s", "k",
       "\"\x81\""},
      {"ASCII letters in either case", "[Edit Box]\r\nMyKey=1", "eDIT bOX", "mykey", "1"},
      // 0x81 0x41 and 0x81 0x61 are two different characters: no case folding inside them.
      {"second byte of a character is not a letter", "[s]\r\n\x81\x41=1", "s", "\x81\x61",
       std::nullopt},
      {"GBK names match exactly", "[编辑框]\r\n编辑框_前缀=x", "编辑框", "编辑框_前缀", "x"},
      {"comment is no key", "[s]\r\n;k=1", "s", ";k", std::nullopt},
      {"line without '=' is no key", "[s]\r\nk", "s", "k", std::nullopt},
      {"key before any section is in none", "k=1\r\n[s]\r\n", "s", "k", std::nullopt},
      {"first matching key wins", "[s]\r\nk=1\r\nK=2", "s", "k", "1"},
      {"only the first matching section counts", "[s]\r\na=1\r\n[t]\r\n[S]\r\nk=2", "s", "k",
       std::nullopt},
      {"text after ']' is ignored", "[s] trailing\r\nk=1", "s", "k", "1"},
      {"']' as a second byte closes nothing", "[\x81]\r\nk=1", "\x81", "k", std::nullopt},
      {"value keeps '=' and ';'", "[s]\r\nk=a=b;c", "s", "k", "a=b;c"},
      {"lone CR ends a line", "[s]\rk=1\ry=2", "s", "y", "2"},
      {"missing key", "[s]\r\nk=1", "s", "x", std::nullopt},
      {"empty file", "", "s", "k", std::nullopt},
      {"NUL bytes are plain bytes", std::string("[s]\r\nk=a\0b", 10), "s", "k",
       std::string("a\0b", 3)},
      {"lone lead byte at the very end", "[s]\r\nk=\x81", "s", "k", "\x81"},
      {"lone lead byte after '['", "[\x81", "\x81", "k", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GetFrom(c.file, c.section, c.key), c.want) << c.what;
  }
}

TEST(IniDocument, ValuesComeBackExactlyAfterAWrite) {
  const struct {
    std::string value;
    std::string line;  // how it stands in the file
  } cases[] = {
      {"plain", "k=plain"},
      {"", "k="},
      {" leading blank", "k=\" leading blank\""},
      {"trailing tab\t", "k=\"trailing tab\t\""},
      {"\"quoted\"", "k=\"\"quoted\"\""},
      {"'single'", "k=\"'single'\""},
      {"\"", "k=\""},
      {"'mixed\"", "k='mixed\""},
      {"  ", "k=\"  \""},
      {"a ; b = c", "k=a ; b = c"},
      {"前缀 后缀", "k=前缀 后缀"},
  };
  for (const auto& c : cases) {
    IniDocument doc;
    doc.Set("s", "k", c.value);
    const std::string file = doc.Serialize();
    EXPECT_EQ(file, "[s]\r\n" + c.line + "\r\n") << c.value;
    EXPECT_EQ(GetFrom(file, "s", "k"), c.value) << c.value;
  }
}

TEST(IniDocument, UpdateFindsNamesInEitherCaseAndKeepsTheirSpelling) {
  IniDocument doc = IniDocument::Parse("[Edit]\r\nKey=1\r\n");
  doc.Set("EDIT", "key", " 2");
  EXPECT_EQ(doc.Serialize(), "[Edit]\r\nKey=\" 2\"\r\n");
  EXPECT_EQ(doc.Get("edit", "KEY"), " 2");
}

TEST(IniDocument, LongValuesAreNeverCut) {
  // 20 000 bytes of double-byte characters: a cut at any fixed length would lose phrases.
  std::string value;
  while (value.size() < 20000) value += "标题";
  IniDocument doc;
  doc.Set("编辑框", "编辑框_前缀", value);
  doc.Set("编辑框", "编辑框_后缀", "tail");
  const IniDocument reread = IniDocument::Parse(doc.Serialize());
  EXPECT_EQ(reread.Get("编辑框", "编辑框_前缀"), value);
  EXPECT_EQ(reread.Get("编辑框", "编辑框_后缀"), "tail");
}

TEST(IniDocument, JunkIsReadWithoutFault) {
  // Every byte value, lone lead bytes at line ends and a NUL in a name: the reader keeps to
  // the buffer (checked under the sanitizers) and still finds the well-formed key after it.
  std::string junk;
  for (int b = 0; b < 256; ++b) junk += static_cast<char>(b);
  junk += "\x81\r\n[\x81\r\n\x81=\x81\n";
  junk += std::string("[a\0b]\r\n", 7);
  junk += "[s]\r\nk=ok\r\n\x81";
  IniDocument doc = IniDocument::Parse(junk);
  EXPECT_EQ(doc.Get("s", "k"), "ok");
  doc.Set("s", "k", "again");
  EXPECT_EQ(IniDocument::Parse(doc.Serialize()).Get("s", "k"), "again");
}

}  // namespace
}  // namespace quillora
