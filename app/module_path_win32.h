// The full file name of the running executable, as GBK.
#pragma once

#include <string>

namespace quillora {

// Asks with a buffer that grows until the whole name fits, so names longer than MAX_PATH come
// back whole. Empty if the system cannot tell.
std::string ModuleFileNameGbk();

}  // namespace quillora
