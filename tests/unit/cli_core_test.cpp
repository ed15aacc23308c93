// The parts of the core that quillora-cli uses: its generator, the lists it reads, the
// distinct headlines and the output formats.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "generator/control_names.h"
#include "generator/default_lists.h"
#include "generator/headline_space.h"
#include "generator/output_format.h"
#include "generator/pcg32.h"
#include "generator/phrase_lists.h"
#include "settings/edit_boxes.h"
#include "settings/ini.h"
#include "text/encoding.h"
#include "text/utf8.h"

namespace quillora {
namespace {

// Upper critical value of chi-square with `df` degrees of freedom at significance 0.001
// (Wilson-Hilferty; z = 3.0902).
double ChiSquareCritical(double df) {
  const double z = 3.0902, a = 2.0 / (9.0 * df);
  return df * std::pow(1.0 - a + z * std::sqrt(a), 3.0);
}

double ChiSquare(const std::vector<double>& observed, double expected_each) {
  double chi = 0;
  for (double o : observed) chi += (o - expected_each) * (o - expected_each) / expected_each;
  return chi;
}

// ---- PCG32 -------------------------------------------------------------------------------

TEST(Pcg32, MatchesTheReferenceSequence) {
  // pcg32-demo of the reference implementation: pcg32_srandom_r(&rng, 42, 54).
  Pcg32 rng(42, 54);
  const std::uint32_t want[] = {0xa15c02b7, 0x7b47f409, 0xba1d3330,
                                0x83d2f293, 0xbfa4784b, 0xcbed606e};
  for (std::uint32_t w : want) EXPECT_EQ(rng.Next(), w);
}

TEST(Pcg32, BoundedDrawsAreUniform) {
  // Small bound: every value. Large bounds: a modulo or a plain multiply would make the lower
  // part of the range a third more likely; count thirds of the range.
  struct Case {
    std::uint64_t bound;
    std::uint64_t bins;
  };
  const Case cases[] = {{37, 37}, {3u << 30, 3}, {std::uint64_t{3} << 33, 3}, {1, 1}};
  Pcg32 rng = Pcg32::FromSeed(2024);
  for (const Case& c : cases) {
    const int draws = 200000;
    std::vector<double> counts(c.bins, 0);
    for (int i = 0; i < draws; ++i) {
      const std::uint64_t v = rng.Below64(c.bound);
      ASSERT_LT(v, c.bound);
      counts[v / (c.bound / c.bins)] += 1;
    }
    if (c.bins < 2) continue;
    EXPECT_LT(ChiSquare(counts, static_cast<double>(draws) / c.bins),
              ChiSquareCritical(static_cast<double>(c.bins - 1)))
        << "bound " << c.bound;
  }
}

// ---- Reading lists -----------------------------------------------------------------------

TEST(ListFiles, CutAtAnyLineBreak) {
  const struct {
    std::string text;
    std::vector<std::string> want;
  } cases[] = {
      {"", {}},
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"a\n", {"a"}},
      {"a\n\nb", {"a", "", "b"}},
      {"\r\n", {""}},
      {"a\r\r\nb", {"a", "", "b"}},
  };
  for (const auto& c : cases) {
    const auto lines = CutListFileLines(c.text);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.end()), c.want) << c.text;
  }
}

TEST(ListFiles, DecodeByMarkValidityOrChoice) {
  const std::string utf8 = u8"震撼\n揭秘";
  const std::string gbk = "\xd5\xf0\xba\xb3\r\n\xbd\xd2\xc3\xd8";  // the same two lines in GBK
  const std::vector<std::string> want = {u8"震撼", u8"揭秘"};
  const struct {
    std::string bytes;
    InputEncoding encoding;
    bool ok;
  } cases[] = {
      {utf8, InputEncoding::kAuto, true},
      {"\xEF\xBB\xBF" + utf8, InputEncoding::kAuto, true},
      {gbk, InputEncoding::kAuto, true},
      {gbk, InputEncoding::kGbk, true},
      {utf8, InputEncoding::kUtf8, true},
      {gbk, InputEncoding::kUtf8, false},
  };
  for (const auto& c : cases) {
    std::string error;
    const auto list = DecodeListFile(c.bytes, c.encoding, "f.txt", error);
    ASSERT_EQ(list.has_value(), c.ok) << c.bytes;
    if (c.ok) {
      EXPECT_EQ(list->lines, want);
    }
  }
  std::string error;
  EXPECT_FALSE(DecodeListFile("ok\nok\n\xff\xff", InputEncoding::kGbk, "f.txt", error));
  EXPECT_EQ(error, "f.txt, line 3: not valid GBK");
  EXPECT_FALSE(DecodeListFile("ok\n\xe4\xb8", InputEncoding::kUtf8, "f.txt", error));
  EXPECT_EQ(error, "f.txt, line 2: not valid UTF-8");
}

TEST(ListFiles, SettingsFileAsTheWindowWritesIt) {
  // Written the window's way: escaped line breaks, GBK keys and values.
  IniDocument doc;
  doc.Set(kSettingsSection, names::kPrefixList, EscapeBoxText("震撼\r\n揭秘, 原来"));
  doc.Set(kSettingsSection, names::kConnectorList, "");
  const SettingsLists lists = ReadSettingsLists(doc.Serialize());
  ASSERT_TRUE(lists.prefixes.has_value());
  EXPECT_FALSE(lists.connectors.has_value());  // empty: the window keeps its built-in list
  EXPECT_FALSE(lists.suffixes.has_value());
  std::string error;
  const auto prefixes = DecodeWindowList(*lists.prefixes, "config.ini", error);
  ASSERT_TRUE(prefixes.has_value()) << error;
  EXPECT_EQ(prefixes->lines, (std::vector<std::string>{u8"震撼", u8"揭秘, 原来"}));
}

// ---- Converting --------------------------------------------------------------------------

TEST(Encoding, GbkAndUtf8BothWays) {
  std::string out;
  ASSERT_TRUE(text::GbkToUtf8("\xd5\xf0\xba\xb3 A", out));
  EXPECT_EQ(out, u8"震撼 A");
  ASSERT_TRUE(text::Utf8ToGbk(u8"震撼 A", out));
  EXPECT_EQ(out, "\xd5\xf0\xba\xb3 A");
  std::size_t bad = 99;
  EXPECT_FALSE(text::Utf8ToGbk(u8"看\U0001F600", out, &bad));  // an emoji has no GBK form
  EXPECT_EQ(bad, 3u);
  EXPECT_FALSE(text::GbkToUtf8("A\xff", out, &bad));
}

TEST(Utf8, ValidityAndDecoding) {
  const struct {
    std::string bytes;
    bool valid;
  } cases[] = {{"", true},          {u8"中\U0001F600", true}, {"\xc0\xaf", false},
               {"\xed\xa0\x80", false}, {"\xf4\x90\x80\x80", false}, {"\xe4\xb8", false}};
  for (const auto& c : cases) EXPECT_EQ(text::IsValidUtf8(c.bytes), c.valid) << c.bytes;
  const text::CodePoint cp = text::DecodeUtf8At(u8"a\U0001F600", 1);
  EXPECT_EQ(cp.value, 0x1F600u);
  EXPECT_EQ(cp.length, 4u);
  EXPECT_EQ(text::CodePointName(cp.value), "U+1F600");
}

// ---- Output formats ----------------------------------------------------------------------

TEST(OutputFormat, FieldsAreEscapedForTheirFormat) {
  const struct {
    std::string phrase;
    OutputFormat format;
    std::string want;
  } cases[] = {
      {"a,b", OutputFormat::kText, "a,b"},
      {"plain", OutputFormat::kCsv, "plain"},
      {"a,b", OutputFormat::kCsv, "\"a,b\""},
      {"say \"hi\"", OutputFormat::kCsv, "\"say \"\"hi\"\"\""},
      {"two\nlines", OutputFormat::kCsv, "\"two\nlines\""},
      {"q\"b\\", OutputFormat::kJsonl, "q\\\"b\\\\"},
      {std::string("t\t\x01\n", 4), OutputFormat::kJsonl, "t\\t\\u0001\\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(EscapePhrase(c.phrase, c.format), c.want) << c.phrase;
  std::string line;
  AppendHeadline(line, OutputFormat::kJsonl, "a", "b\\\"", "c", "\n");
  EXPECT_EQ(line,
            "{\"prefix\":\"a\",\"connector\":\"b\\\"\",\"suffix\":\"c\",\"headline\":\"a,b\\\",c\"}\n");
  EXPECT_EQ(OutputHeader(OutputFormat::kCsv, "\r\n"), "prefix,connector,suffix\r\n");
}

// ---- Distinct headlines ------------------------------------------------------------------

using Lines = std::vector<std::string>;

std::string Join(const Lines& p, const Lines& c, const Lines& s, const LineTriple& t) {
  return p[t.prefix] + "," + c[t.connector] + "," + s[t.suffix];
}

std::set<std::string> AllTexts(const Lines& p, const Lines& c, const Lines& s) {
  std::set<std::string> texts;
  for (const auto& a : p)
    for (const auto& b : c)
      for (const auto& d : s) texts.insert(a + "," + b + "," + d);
  return texts;
}

struct SpaceCase {
  const char* what;
  Lines p, c, s;
};

const SpaceCase kSpaceCases[] = {
    {"plain phrases", {"a", "b", "c"}, {"x", "y"}, {"1", "2", "3", "4"}},
    {"repeated and empty lines", {"a", "a", "", "b", ""}, {"x", "x"}, {"1", ""}},
    {"commas make one text from several triples", {"a", "a,b", ""}, {"b", "", "b,c"}, {"c", "b,c", ""}},
    {"only commas", {"", ",", ",,"}, {"", ",", ",,"}, {"", ",", ",,"}},
    {"one list of commas", {"p", "q"}, {"x", "x,y"}, {"y", "z"}},
};

TEST(HeadlineSpace, CountsDistinctTexts) {
  for (const auto& c : kSpaceCases) {
    const HeadlineSpace space(c.p, c.c, c.s);
    EXPECT_EQ(space.DistinctHeadlines(), AllTexts(c.p, c.c, c.s).size()) << c.what;
  }
  const Lines one = {"x"};
  const HeadlineSpace space(one, one, one);
  EXPECT_EQ(space.DistinctHeadlines(/*walk_limit=*/0), 1u);  // no comma phrase: no walk needed
  const Lines comma = {"x,y"};
  EXPECT_FALSE(HeadlineSpace(comma, one, one).DistinctHeadlines(/*walk_limit=*/0).has_value());
}

TEST(HeadlineSpace, PicksEveryDistinctTextOnceAndNoMore) {
  for (const auto& c : kSpaceCases) {
    const HeadlineSpace space(c.p, c.c, c.s);
    const std::set<std::string> all = AllTexts(c.p, c.c, c.s);
    for (std::uint64_t count : {std::uint64_t{1}, std::uint64_t{2}, std::uint64_t{all.size()},
                                std::uint64_t{all.size() + 5}}) {
      Pcg32 rng = Pcg32::FromSeed(7);
      std::vector<std::string> got;
      const auto distinct =
          space.PickDistinct(count, rng, [&](const LineTriple& t) { got.push_back(Join(c.p, c.c, c.s, t)); });
      EXPECT_EQ(distinct, all.size()) << c.what;
      EXPECT_EQ(got.size(), std::min<std::uint64_t>(count, all.size())) << c.what;
      const std::set<std::string> unique(got.begin(), got.end());
      EXPECT_EQ(unique.size(), got.size()) << c.what << ": a text came twice";
      for (const auto& text : got) EXPECT_TRUE(all.count(text)) << text;
    }
  }
}

TEST(HeadlineSpace, EachDistinctTextIsEquallyLikelyInEachPlace) {
  // "a" + "b,c" and "a,b" + "c" make one text; "a,b,c" must not be twice as likely.
  const Lines p = {"a", "a,b"}, c = {"b,c", "c", "d"}, s = {"e"};
  const std::set<std::string> all = AllTexts(p, c, s);
  const HeadlineSpace space(p, c, s);
  std::map<std::string, double> first, second;
  const int runs = 30000;
  Pcg32 rng = Pcg32::FromSeed(99);
  for (int i = 0; i < runs; ++i) {
    std::vector<std::string> got;
    space.PickDistinct(2, rng, [&](const LineTriple& t) { got.push_back(Join(p, c, s, t)); });
    ASSERT_EQ(got.size(), 2u);
    first[got[0]] += 1;
    second[got[1]] += 1;
  }
  for (const auto* counts : {&first, &second}) {
    std::vector<double> observed;
    for (const auto& text : all) observed.push_back(counts->count(text) ? counts->at(text) : 0);
    EXPECT_LT(ChiSquare(observed, static_cast<double>(runs) / all.size()),
              ChiSquareCritical(static_cast<double>(all.size() - 1)));
  }
}

TEST(HeadlineSpace, FallsBackToDrawingWhenTooManyToCount) {
  const Lines p = {"a", "a,b", "c"}, c = {"b", "x", "y"}, s = {"1", "2", "3"};
  const HeadlineSpace space(p, c, s);
  Pcg32 rng = Pcg32::FromSeed(1);
  std::set<std::string> got;
  std::size_t emitted = 0;
  const auto distinct = space.PickDistinct(
      10, rng, [&](const LineTriple& t) { got.insert(Join(p, c, s, t)); ++emitted; },
      /*walk_limit=*/0);
  EXPECT_FALSE(distinct.has_value());
  EXPECT_EQ(emitted, 10u);
  EXPECT_EQ(got.size(), 10u);
}

TEST(HeadlineSpace, ExpectedRepeatsFollowTheChanceOfEachText) {
  for (const auto& c : kSpaceCases) {
    // Brute force: the chance of each text is the share of line triples that make it.
    std::map<std::string, double> chance;
    const double all = static_cast<double>(c.p.size() * c.c.size() * c.s.size());
    for (const auto& a : c.p)
      for (const auto& b : c.c)
        for (const auto& d : c.s) chance[a + "," + b + "," + d] += 1 / all;
    for (double n : {1.0, 10.0, 1000.0}) {
      double distinct = 0;
      for (const auto& [text, q] : chance) distinct += 1 - std::pow(1 - q, n);
      const auto repeats = HeadlineSpace(c.p, c.c, c.s).ExpectedRepeats(static_cast<std::uint64_t>(n));
      ASSERT_TRUE(repeats.has_value());
      EXPECT_NEAR(*repeats, n - distinct, 1e-6 * n) << c.what << " n=" << n;
    }
  }
}

// The built-in lists, as the command line tool reads them.
std::vector<std::string> BuiltIn(std::string_view gbk) {
  std::string error;
  return DecodeWindowList(gbk, "built-in", error)->lines;
}

TEST(HeadlineSpace, BuiltInListsRepeatAsUniformPickingShould) {
  const Lines p = BuiltIn(kDefaultPrefixList), c = BuiltIn(kDefaultConnectorList),
              s = BuiltIn(kDefaultSuffixList);
  const double total = static_cast<double>(p.size() * c.size() * s.size());
  const HeadlineSpace space(p, c, s);
  ASSERT_EQ(space.DistinctHeadlines(), static_cast<std::uint64_t>(total));
  const double n = 10000;
  const double want = n - total * (1 - std::pow(1 - 1 / total, n));  // about 92
  EXPECT_NEAR(*space.ExpectedRepeats(10000), want, 1e-6);
  // A batch picked line by line, as quillora-cli picks: its repeats are near that, far from
  // the window's thousands.
  Pcg32 rng = Pcg32::FromSeed(12345);
  std::set<std::string> texts;
  for (int i = 0; i < 10000; ++i) {
    const auto a = rng.Below(static_cast<std::uint32_t>(p.size()));
    const auto b = rng.Below(static_cast<std::uint32_t>(c.size()));
    const auto d = rng.Below(static_cast<std::uint32_t>(s.size()));
    texts.insert(p[a] + "," + c[b] + "," + s[d]);
  }
  const double repeats = n - static_cast<double>(texts.size());
  EXPECT_NEAR(repeats, want, 4 * std::sqrt(want)) << "repeats " << repeats;
}

}  // namespace
}  // namespace quillora
