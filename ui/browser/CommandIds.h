#pragma once

#include "core/StringIds.h"

#include <QtGlobal>

// The file browser's commands, as the menu and the toolbar send them. Each command's number is
// also the identifier of its prompt text.
namespace CommandId {

inline constexpr int ID_GET_FILES = int(StringId::IDS_CMD_GET_FILES);       // 151
inline constexpr int ID_UPLOAD_FILE = int(StringId::IDS_CMD_UPLOAD);        // 152
inline constexpr int ID_DELETE_FILES = int(StringId::IDS_CMD_DELETE);       // 153
inline constexpr int ID_REFRESH_VIEW = int(StringId::IDS_CMD_REFRESH);      // 154
inline constexpr int ID_SELECT_ALL = int(StringId::IDS_CMD_SELECT_ALL);     // 32783
inline constexpr int ID_DESELECT_ALL = int(StringId::IDS_CMD_DESELECT_ALL); // 32784
inline constexpr int ID_UPDATE_DATA = int(StringId::IDS_CMD_UPDATE_DATA);   // 32789
inline constexpr int ID_ARCHIVE = int(StringId::IDS_CMD_ARCHIVE);           // 4000

} // namespace CommandId
