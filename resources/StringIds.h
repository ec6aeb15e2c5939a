#pragma once

#include <QtGlobal>

// Identifiers of the program's texts. They are the same in every language set; each language
// file carries the text of every identifier listed here.
namespace StringId {

// String table.
inline constexpr quint32 IDR_MAINFRAME = 128; // frame title
inline constexpr quint32 IDS_COL_FILE_NAME = 129;
inline constexpr quint32 IDS_RECORDER_INFORMATION = 130;
inline constexpr quint32 IDS_COL_DATE = 131;
inline constexpr quint32 IDS_COL_SIZE = 132;
inline constexpr quint32 IDS_CMD_GET_FILES = 151;
inline constexpr quint32 IDS_CMD_UPLOAD = 152;
inline constexpr quint32 IDS_CMD_DELETE = 153;
inline constexpr quint32 IDS_CMD_REFRESH = 154;
inline constexpr quint32 IDS_RECORDER_CONNECTED = 160;
inline constexpr quint32 IDS_RECORDER_DISCONNECTED = 162;
inline constexpr quint32 IDS_RECORDER_NOT_CONNECTED = 163;
inline constexpr quint32 IDS_NOTIFICATION_FAILED = 164;
inline constexpr quint32 IDS_COMM_FAILED = 165;
inline constexpr quint32 IDS_RECEIVING_DEVICE_INFO = 167;
inline constexpr quint32 IDS_NO_FILES_SELECTED = 168;
inline constexpr quint32 IDS_RECEIVING_FILES_LIST = 169;
inline constexpr quint32 IDS_RECEIVING_CF_INFO = 170;
inline constexpr quint32 IDS_CLOSE = 171;
inline constexpr quint32 IDS_CONFIRM_DELETE = 172;
inline constexpr quint32 IDS_DELETING = 173;
inline constexpr quint32 IDS_FILE_NOT_DELETED = 174;
inline constexpr quint32 IDS_FILE_DELETED = 175;
inline constexpr quint32 IDS_COMM_ABORTED = 176;
inline constexpr quint32 IDS_SELECT_DEST_FOLDER = 177;
inline constexpr quint32 IDS_PATH_NOT_EXIST = 178;
inline constexpr quint32 IDS_HOST_IO_ERROR = 179;
inline constexpr quint32 IDS_DEVICE_STOPPED = 180;
inline constexpr quint32 IDS_USER_ABORTED = 181;
inline constexpr quint32 IDS_OPERATION_COMPLETED = 182;
inline constexpr quint32 IDS_OVERWRITE_ON_DEVICE = 183;
inline constexpr quint32 IDS_FILTER_ALL = 184;
inline constexpr quint32 IDS_FILTER_SYSTEM_IMAGES = 185;
inline constexpr quint32 IDS_GENERAL_ERROR = 186;
inline constexpr quint32 IDS_CARD_FULL = 187;
inline constexpr quint32 IDS_NO_CARD = 188;
inline constexpr quint32 IDS_DELETE_NOT_COMPLETED = 190;
inline constexpr quint32 IDS_LANGUAGE_DEFAULT = 191;
inline constexpr quint32 IDS_TOOLBAR_FIRST = 339; // 339 to 348: toolbar labels
inline constexpr quint32 IDS_TOOLBAR_LAST = 348;
inline constexpr quint32 IDS_CMD_SELECT_ALL = 32783;
inline constexpr quint32 IDS_CMD_DESELECT_ALL = 32784;
inline constexpr quint32 IDS_CMD_UPDATE_DATA = 32789;
inline constexpr quint32 IDS_APP_TITLE = 57344;
inline constexpr quint32 IDS_READY = 57345;
inline constexpr quint32 IDS_CMD_ABOUT = 57664;
inline constexpr quint32 IDS_CMD_EXIT = 57665;
inline constexpr quint32 IDS_CMD_TOGGLE_TOOLBAR = 59392;
inline constexpr quint32 IDS_CMD_TOGGLE_STATUSBAR = 59393;

} // namespace StringId
