// Resource numbers of the desktop program: dialogs, the menu and its items.
#pragma once

namespace geoid {

inline constexpr int kPointDialog = 101;
inline constexpr int kFileDialog = 102;
inline constexpr int kErrorDialog = 103;
inline constexpr int kInputViewerDialog = 104;
inline constexpr int kStartDialog = 105;
inline constexpr int kOutputViewerDialog = 106;
inline constexpr int kInfoDialog = 107;
inline constexpr int kHelpViewerDialog = 109;

inline constexpr int kMenu = 30001;
inline constexpr int kItemModel = 40001;
inline constexpr int kItemInfo = 40002;
inline constexpr int kItemQuit = 40003;
inline constexpr int kItemHelp = 40004;
inline constexpr int kItemPointForm = 40006;
inline constexpr int kItemFileForm = 40009;

inline constexpr int kInputViewerText = 1068;
inline constexpr int kOutputViewerText = 1069;
inline constexpr int kHelpViewerText = 1056;
inline constexpr int kErrorText = 1006;
inline constexpr int kInfoText = 1072;

}  // namespace geoid
