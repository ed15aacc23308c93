// The system clipboard, as far as the generate command needs it.
#pragma once

#include <string_view>

namespace quillora {

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Replaces the clipboard's content with `text` (GBK). False when the clipboard could not be
  // opened or the memory for the text could not be had.
  virtual bool PutText(std::string_view text) = 0;
};

}  // namespace quillora
