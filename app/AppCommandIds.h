#pragma once

#include "core/StringIds.h"

// Commands of the frame and the application object. The file browser's own commands are in
// ui/browser/CommandIds.h; each command's number is also the identifier of its prompt text.
namespace AppCommandId {

inline constexpr int ID_APP_SETTINGS = 32787;
inline constexpr int ID_APP_ABOUT = 57664;
inline constexpr int ID_APP_EXIT = 57665;
inline constexpr int ID_VIEW_TOOLBAR = 59392;
inline constexpr int ID_VIEW_STATUS_BAR = 59393;
// Checks the archive folder; it needs no recorder.
inline constexpr int ID_VERIFY_ARCHIVE = int(StringId::IDS_CMD_VERIFY_ARCHIVE); // 4110

// Window identifiers of the frame's bars and panes.
inline constexpr int AFX_IDW_TOOLBAR = 59392;
inline constexpr int AFX_IDW_STATUS_BAR = 59393;
inline constexpr int AFX_IDW_REBAR = 59396;
inline constexpr int AFX_IDW_PANE_FIRST = 59648;

} // namespace AppCommandId
