#pragma once

#include <QtGlobal>

// Identifiers of the program's texts. They are the same in every language set; each language
// file carries the text of every identifier listed here.
//
// Scheme: the string table keeps its historical numbers (128 to 59393); the texts of the dialog
// templates are numbered from 1000 in blocks of ten, one block per dialog; the menu from 2000,
// one block of ten per top-level menu; the reasons the recorder link did not open from 3000.
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
inline constexpr quint32 IDS_DOWNLOADS_REFUSED = 240;
inline constexpr quint32 IDS_REASON_UNSAFE_NAME = 241;
inline constexpr quint32 IDS_REASON_NOT_ENCODABLE = 242;
inline constexpr quint32 IDS_REASON_NAME_COLLISION = 243;
inline constexpr quint32 IDS_REASON_NAME_TOO_LONG = 244;
inline constexpr quint32 IDS_REASON_SYMBOLIC_LINK = 245;
inline constexpr quint32 IDS_REASON_NOT_A_FILE = 246;
inline constexpr quint32 IDS_REASON_RESERVED_NAME = 247;
inline constexpr quint32 IDS_REASON_ALREADY_EXISTS = 248;
inline constexpr quint32 IDS_TOOLBAR_FIRST = 339; // 339 to 348: toolbar labels, position = id - 339
inline constexpr quint32 IDS_TOOLBAR_GET_FILES = 339;
inline constexpr quint32 IDS_TOOLBAR_UPLOAD = 340;
inline constexpr quint32 IDS_TOOLBAR_REFRESH = 341;
inline constexpr quint32 IDS_TOOLBAR_DELETE = 342;
inline constexpr quint32 IDS_TOOLBAR_UPDATE_DATA = 343;
inline constexpr quint32 IDS_TOOLBAR_SEPARATOR_1 = 344; // "$Separator", never shown
inline constexpr quint32 IDS_TOOLBAR_SELECT_ALL = 345;
inline constexpr quint32 IDS_TOOLBAR_DESELECT_ALL = 346;
inline constexpr quint32 IDS_TOOLBAR_SEPARATOR_2 = 347; // "$Separator", never shown
inline constexpr quint32 IDS_TOOLBAR_ABOUT = 348;
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

// Connect dialog (CDlgInitDevice, template 103).
inline constexpr quint32 IDS_DLG_INITDEVICE_CAPTION = 1000;     // "Communicating with a device"
inline constexpr quint32 IDS_DLG_INITDEVICE_PLEASE_WAIT = 1001; // control 1003
inline constexpr quint32 IDS_DLG_INITDEVICE_MSG = 1002;         // control 1004, initial text
inline constexpr quint32 IDS_DLG_INITDEVICE_CANCEL = 1003;      // button 1006

// Download dialog (CDlgGetFile, template 146).
inline constexpr quint32 IDS_DLG_GETFILE_CAPTION = 1010;   // "Downloading files from recorder"
inline constexpr quint32 IDS_DLG_GETFILE_RECEIVING = 1011; // control 1015, "Receiving file:"
inline constexpr quint32 IDS_DLG_GETFILE_FILE_NAME = 1012; // control 1014, initial text
inline constexpr quint32 IDS_DLG_GETFILE_CANCEL = 1013;    // button 2

// Upload dialog (CDlgUploadFile, template 148).
inline constexpr quint32 IDS_DLG_UPLOADFILE_CAPTION = 1020;   // "Upload file to recorder"
inline constexpr quint32 IDS_DLG_UPLOADFILE_UPLOADING = 1021; // control 1015, "Uploading file:"
inline constexpr quint32 IDS_DLG_UPLOADFILE_FILE_NAME = 1022; // control 1014, initial text
inline constexpr quint32 IDS_DLG_UPLOADFILE_CANCEL = 1023;    // button 2

// Delete dialog (CDlgDelFiles, template 144).
inline constexpr quint32 IDS_DLG_DELFILES_CAPTION = 1030;     // "File manager"
inline constexpr quint32 IDS_DLG_DELFILES_PLEASE_WAIT = 1031; // control 1003
inline constexpr quint32 IDS_DLG_DELFILES_CANCEL = 1032;      // button 1

// Update-data dialog (CDlgUpdateCF, template 150).
inline constexpr quint32 IDS_DLG_UPDATECF_CAPTION = 1040;     // "Carrying out the command"
inline constexpr quint32 IDS_DLG_UPDATECF_PLEASE_WAIT = 1041; // control 1003

// Destination folder dialog (CDlgSaveTo, template 145).
inline constexpr quint32 IDS_DLG_SAVETO_CAPTION = 1050; // "Save files to..."
inline constexpr quint32 IDS_DLG_SAVETO_LABEL = 1051;   // "Save to:"
inline constexpr quint32 IDS_DLG_SAVETO_BROWSE = 1052;  // button 1012
inline constexpr quint32 IDS_DLG_SAVETO_OK = 1053;
inline constexpr quint32 IDS_DLG_SAVETO_CANCEL = 1054;

// Overwrite prompt (CDlgOverwriteFiles, template 147).
inline constexpr quint32 IDS_DLG_OVERWRITE_CAPTION = 1060; // "Question"
inline constexpr quint32 IDS_DLG_OVERWRITE_TEXT = 1061;    // control 1016
inline constexpr quint32 IDS_DLG_OVERWRITE_OK = 1062;
inline constexpr quint32 IDS_DLG_OVERWRITE_CANCEL = 1063;

// Options dialog (CDlgOptions, template 149). The language names are written literally.
inline constexpr quint32 IDS_DLG_OPTIONS_CAPTION = 1070;  // "Options"
inline constexpr quint32 IDS_DLG_OPTIONS_LANGUAGE = 1071; // "Language:"
inline constexpr quint32 IDS_DLG_OPTIONS_NOTE = 1072;     // restart notice under the combo box
inline constexpr quint32 IDS_DLG_OPTIONS_OK = 1073;
inline constexpr quint32 IDS_DLG_OPTIONS_CANCEL = 1074;

// About box (CDlgAbout, template 100).
inline constexpr quint32 IDS_DLG_ABOUT_CAPTION = 1080; // "About OrvoConnect"
inline constexpr quint32 IDS_DLG_ABOUT_VERSION = 1081; // "Orvo Connect Version 2.2"
inline constexpr quint32 IDS_DLG_ABOUT_MAKER = 1082;   // second line, naming the maker
inline constexpr quint32 IDS_DLG_ABOUT_OK = 1083;

// Buttons of message boxes (the platform's own texts there, part of the set here).
inline constexpr quint32 IDS_MSGBOX_OK = 1090;
inline constexpr quint32 IDS_MSGBOX_CANCEL = 1091;

// Menu (resource 128).
inline constexpr quint32 IDS_MENU_FILE = 2000; // "&File"
inline constexpr quint32 IDS_MENU_FILE_GET_FILES = 2001;
inline constexpr quint32 IDS_MENU_FILE_UPLOAD = 2002;
inline constexpr quint32 IDS_MENU_FILE_DELETE = 2003;
inline constexpr quint32 IDS_MENU_FILE_REFRESH = 2004;
inline constexpr quint32 IDS_MENU_FILE_UPDATE_DATA = 2005;
inline constexpr quint32 IDS_MENU_FILE_EXIT = 2006;
inline constexpr quint32 IDS_MENU_VIEW = 2010; // "&View"
inline constexpr quint32 IDS_MENU_VIEW_TOOLBAR = 2011;
inline constexpr quint32 IDS_MENU_VIEW_STATUS_BAR = 2012;
inline constexpr quint32 IDS_MENU_VIEW_SELECT_ALL = 2013;
inline constexpr quint32 IDS_MENU_VIEW_DESELECT_ALL = 2014;
inline constexpr quint32 IDS_MENU_OPTIONS = 2020; // "Options"
inline constexpr quint32 IDS_MENU_OPTIONS_SETTINGS = 2021;
inline constexpr quint32 IDS_MENU_HELP = 2030; // "&Help"
inline constexpr quint32 IDS_MENU_HELP_ABOUT = 2031;

// Why the recorder link did not open: the second line of "Recorder is not connected".
inline constexpr quint32 IDS_LINK_USB_UNAVAILABLE = 3000;
inline constexpr quint32 IDS_LINK_NO_USB_IDS = 3001;
inline constexpr quint32 IDS_LINK_UNREADABLE_USB_IDS = 3002;
inline constexpr quint32 IDS_LINK_ACCESS_DENIED = 3003;
inline constexpr quint32 IDS_LINK_DEVICE_BUSY = 3004;
inline constexpr quint32 IDS_LINK_DEVICE_GONE = 3005;
inline constexpr quint32 IDS_LINK_OPEN_FAILED = 3006;
inline constexpr quint32 IDS_LINK_NO_BULK_INTERFACE = 3007;
inline constexpr quint32 IDS_LINK_CHOSEN_DEVICE_ABSENT = 3008;       // %1 choice, %2 what is attached
inline constexpr quint32 IDS_LINK_CHOSEN_DEVICE_ALONE_ABSENT = 3009; // %1 choice; nothing attached

// Archive dialogs (4000...): the archive command, its start dialog, its run and summary, the
// list's archive marks.
inline constexpr quint32 IDS_CMD_ARCHIVE = 4000;
inline constexpr quint32 IDS_MENU_FILE_ARCHIVE = 4001;
inline constexpr quint32 IDS_DLG_ARCHIVESTART_CAPTION = 4002;
inline constexpr quint32 IDS_DLG_ARCHIVESTART_FOLDER = 4003;
inline constexpr quint32 IDS_DLG_ARCHIVESTART_BROWSE = 4004;
inline constexpr quint32 IDS_DLG_ARCHIVESTART_DELETE = 4005;
inline constexpr quint32 IDS_DLG_ARCHIVESTART_START = 4006;
inline constexpr quint32 IDS_DLG_ARCHIVESTART_CANCEL = 4007;
inline constexpr quint32 IDS_ARCHIVE_SELECT_FOLDER = 4008;
inline constexpr quint32 IDS_ARCHIVE_CONFIRM_DELETE = 4009;
inline constexpr quint32 IDS_MSGBOX_YES = 4010;
inline constexpr quint32 IDS_MSGBOX_NO = 4011;
inline constexpr quint32 IDS_ARCHIVE_FOLDER_EMPTY = 4012;
inline constexpr quint32 IDS_DLG_ARCHIVE_CAPTION = 4013;
inline constexpr quint32 IDS_DLG_ARCHIVE_RECEIVING = 4014;
inline constexpr quint32 IDS_DLG_ARCHIVE_READING = 4015;
inline constexpr quint32 IDS_DLG_ARCHIVE_CANCEL = 4016;
inline constexpr quint32 IDS_ARCHIVE_SPEED = 4017; // %1 megabytes a second
inline constexpr quint32 IDS_ARCHIVE_WAITING = 4018;
inline constexpr quint32 IDS_ARCHIVE_DONE = 4019;
inline constexpr quint32 IDS_ARCHIVE_CANCELLED = 4020;
inline constexpr quint32 IDS_ARCHIVE_INCOMPLETE = 4021;
inline constexpr quint32 IDS_ARCHIVE_SUMMARY_FOLDER = 4022;
inline constexpr quint32 IDS_ARCHIVE_SUMMARY_DOWNLOADED = 4023;
inline constexpr quint32 IDS_ARCHIVE_SUMMARY_KEPT_BESIDE = 4024;
inline constexpr quint32 IDS_ARCHIVE_SUMMARY_ALREADY = 4025;
inline constexpr quint32 IDS_ARCHIVE_SUMMARY_FAILED = 4026;
inline constexpr quint32 IDS_ARCHIVE_SUMMARY_DELETED = 4027;
inline constexpr quint32 IDS_ARCHIVE_SUMMARY_FAILURES = 4028;
inline constexpr quint32 IDS_ARCHIVE_FAILURE_LINE = 4029;
inline constexpr quint32 IDS_ARCHIVE_FILE_FAILED = 4030;
inline constexpr quint32 IDS_ARCHIVE_OPEN_FOLDER = 4031;
inline constexpr quint32 IDS_ARCHIVE_MARK_TIP = 4032;
inline constexpr quint32 IDS_ARCHIVE_FOLDER_FAILED = 4033;
inline constexpr quint32 IDS_ARCHIVE_CONNECTION_LOST = 4034;
inline constexpr quint32 IDS_ARCHIVE_FILE_NOT_WRITTEN = 4035;
inline constexpr quint32 IDS_ARCHIVE_FILE_NOT_SENT = 4036;
inline constexpr quint32 IDS_ARCHIVE_FILE_NO_ANSWER = 4037;
inline constexpr quint32 IDS_ARCHIVE_FILE_CANCELLED = 4038;

// Verify and run progress (4100 to 4199): the run line of the download dialog, the "Verify
// archive" command, its progress dialog and its result.
inline constexpr quint32 IDS_RUN_FILE_OF = 4100;              // %1 the file, %2 how many
inline constexpr quint32 IDS_RUN_KB_OF = 4101;                // %1 done, %2 in all
inline constexpr quint32 IDS_RUN_MB_OF = 4102;                // %1 done, %2 in all
inline constexpr quint32 IDS_RUN_SECONDS_LEFT = 4103;         // %1 seconds
inline constexpr quint32 IDS_RUN_MINUTES_LEFT = 4104;         // %1 minutes
inline constexpr quint32 IDS_RUN_GB_OF = 4105;                // %1 done, %2 in all
inline constexpr quint32 IDS_CMD_VERIFY_ARCHIVE = 4110;       // prompt of the command, then its tip
inline constexpr quint32 IDS_MENU_FILE_VERIFY_ARCHIVE = 4111; // menu item
inline constexpr quint32 IDS_DLG_VERIFY_CAPTION = 4120;       // progress dialog caption
inline constexpr quint32 IDS_DLG_VERIFY_READING = 4121;       // label above the name
inline constexpr quint32 IDS_DLG_VERIFY_FILE_NAME = 4122;     // name before the first file
inline constexpr quint32 IDS_DLG_VERIFY_CANCEL = 4123;        // button
inline constexpr quint32 IDS_VERIFY_RESULT_CAPTION = 4130;    // result dialog caption
inline constexpr quint32 IDS_VERIFY_FOLDER = 4131;            // %1 the folder
inline constexpr quint32 IDS_VERIFY_ALL_MATCH = 4132;         // %1 how many files
inline constexpr quint32 IDS_VERIFY_SOME_DIFFER = 4133;       // %1 matching files, %2 files in the manifest
inline constexpr quint32 IDS_VERIFY_CHANGED = 4134;           // reason beside *
inline constexpr quint32 IDS_VERIFY_MISSING = 4135;           // reason beside -
inline constexpr quint32 IDS_VERIFY_ADDED = 4136;             // reason beside +
inline constexpr quint32 IDS_VERIFY_UNREADABLE = 4137;        // reason beside !
inline constexpr quint32 IDS_VERIFY_CHAIN_INTACT = 4138;      // %1 how many lines
inline constexpr quint32 IDS_VERIFY_CHAIN_BROKEN = 4139;      // %1 the line numbers
inline constexpr quint32 IDS_VERIFY_JOURNAL_MISSING = 4140;
inline constexpr quint32 IDS_VERIFY_JOURNAL_UNREADABLE = 4141;
inline constexpr quint32 IDS_VERIFY_HEAD = 4142; // label before the hash
inline constexpr quint32 IDS_VERIFY_MANIFEST_UNREADABLE = 4143;
inline constexpr quint32 IDS_VERIFY_MANIFEST_BAD_LINES = 4144; // %1 how many lines
inline constexpr quint32 IDS_VERIFY_CLOSE = 4145;              // button
inline constexpr quint32 IDS_VERIFY_NO_FOLDER = 4146;

} // namespace StringId
