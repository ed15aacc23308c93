// Names shared by the resource script and the code.
#pragma once

#define QUILLORA_ICON DEFAULT_ICON

#ifndef RC_INVOKED
namespace quillora {
inline constexpr wchar_t kIconResourceName[] = L"DEFAULT_ICON";
}  // namespace quillora
#endif
