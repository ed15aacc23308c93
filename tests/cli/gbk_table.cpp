// Writes what the platform's GBK converter makes of every GBK character, both ways, and of
// every Unicode character of the Basic Multilingual Plane and a few beyond, so that the table
// of the Linux build (iconv) can be compared with the table of the Windows build (code page
// 936). Usage: quillora_gbk_table <output file>
#include <cstdio>
#include <string>

#include "text/encoding.h"
#include "text/utf8.h"

namespace {

std::string Hex(const std::string& bytes) {
  std::string out;
  char b[4];
  for (unsigned char c : bytes) {
    std::snprintf(b, sizeof b, "%02X", c);
    out += b;
  }
  return out;
}

// "<gbk hex> <utf-8 hex> <back to gbk hex>", with "-" for what does not convert.
void GbkRow(std::FILE* f, const std::string& gbk) {
  std::string utf8, back;
  std::string row = Hex(gbk) + " ";
  if (quillora::text::GbkToUtf8(gbk, utf8)) {
    row += Hex(utf8) + " ";
    row += quillora::text::Utf8ToGbk(utf8, back) ? Hex(back) : "-";
  } else {
    row += "- -";
  }
  std::fprintf(f, "%s\n", row.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: quillora_gbk_table <output file>\n");
    return 2;
  }
  std::FILE* f = std::fopen(argv[1], "wb");
  if (!f) return 1;
  for (int b = 0; b < 0x100; ++b) GbkRow(f, std::string(1, static_cast<char>(b)));
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      GbkRow(f, std::string{static_cast<char>(lead), static_cast<char>(trail)});
    }
  }
  for (std::uint32_t cp = 0; cp <= 0x10FFFF; cp = cp < 0xFFFF ? cp + 1 : cp + 0x1111) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    std::string utf8, gbk;
    quillora::text::AppendUtf8(cp, utf8);
    std::fprintf(f, "%s %s\n", quillora::text::CodePointName(cp).c_str(),
                 quillora::text::Utf8ToGbk(utf8, gbk) ? Hex(gbk).c_str() : "-");
  }
  return std::fclose(f) == 0 ? 0 : 1;
}
