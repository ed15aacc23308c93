// Names of the main window's controls that the commands address, and the kind names.
// The edit boxes' names are also the keys of the settings file, so they never change.
#pragma once

namespace quillora::names {

inline constexpr char kEvent[] = "编辑框1";
inline constexpr char kPrefixList[] = "编辑框_前缀";
inline constexpr char kConnectorList[] = "编辑框_衔接";
inline constexpr char kSuffixList[] = "编辑框_后缀";
inline constexpr char kCount[] = "编辑框_标题数";
inline constexpr char kResult[] = "编辑框_结果";
inline constexpr char kGenerateButton[] = "按钮_生成";
inline constexpr char kRestoreButton[] = "按钮1";

inline constexpr char kKindWindow[] = "窗口";
inline constexpr char kKindEditBox[] = "编辑框";
inline constexpr char kKindLabel[] = "标签";
inline constexpr char kKindButton[] = "按钮";

}  // namespace quillora::names
