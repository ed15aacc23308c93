// The GBK converter on Linux: glibc's iconv, code set CP936.
#include <errno.h>
#include <iconv.h>

#include "text/encoding.h"
#include "text/utf8.h"

namespace quillora::text {

namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts all of `in`; false with the offset of the first byte that did not convert.
  bool Run(std::string_view in, std::string& out, std::size_t* bad_offset) {
    out.clear();
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      if (bad_offset) *bad_offset = 0;
      return false;
    }
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    std::size_t src_left = in.size();
    char chunk[4096];
    while (src_left > 0) {
      char* dst = chunk;
      std::size_t dst_left = sizeof chunk;
      const std::size_t r = iconv(cd_, &src, &src_left, &dst, &dst_left);
      out.append(chunk, static_cast<std::size_t>(dst - chunk));
      if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
        if (bad_offset) *bad_offset = static_cast<std::size_t>(src - in.data());
        return false;
      }
      // iconv counts irreversible conversions in r: those would be silent substitutions.
      if (r != static_cast<std::size_t>(-1) && r > 0) {
        if (bad_offset) *bad_offset = 0;
        return false;
      }
    }
    return true;
  }

 private:
  iconv_t cd_;
};

}  // namespace

bool GbkToUtf8(std::string_view gbk, std::string& utf8, std::size_t* bad_offset) {
  thread_local Converter converter("UTF-8", "CP936");
  return converter.Run(gbk, utf8, bad_offset);
}

bool Utf8ToGbk(std::string_view utf8, std::string& gbk, std::size_t* bad_offset) {
  thread_local Converter converter("CP936", "UTF-8");
  return converter.Run(utf8, gbk, bad_offset);
}

}  // namespace quillora::text
