#include "resources/BuiltInEnglish.h"

#include "core/StringIds.h"

using namespace StringId;

namespace {

// clang-format off
constexpr BuiltInText kEnglish[] = {
    {IDR_MAINFRAME, "OrvoConnect"},
    {IDS_COL_FILE_NAME, "File name"},
    {IDS_RECORDER_INFORMATION, "Recorder information:"},
    {IDS_COL_DATE, "Date"},
    {IDS_COL_SIZE, "Size"},
    {IDS_CMD_GET_FILES, "Download selected files from recorder to your hard driver\nGet selected files"},
    {IDS_CMD_UPLOAD, "Uploads a file from your computer to recorder\nUpload a file"},
    {IDS_CMD_DELETE, "Deletes selected file(s) from recorder\nDelete selected file(s)"},
    {IDS_CMD_REFRESH, "Refresh all views\nRefresh views"},
    {IDS_RECORDER_CONNECTED, "Recorder is connected"},
    {IDS_RECORDER_DISCONNECTED, "Recorder has been disconnected"},
    {IDS_RECORDER_NOT_CONNECTED, "Recorder is not connected"},
    {IDS_NOTIFICATION_FAILED, "Error: Notification failed (error code: 102)"},
    {IDS_COMM_FAILED, "Error: Communication failed (error code: 103)"},
    {IDS_RECEIVING_DEVICE_INFO, "Receiving device info..."},
    {IDS_NO_FILES_SELECTED, "No files has been selected on the list. \nYou have to check one file at least."},
    {IDS_RECEIVING_FILES_LIST, "Receiving files list..."},
    {IDS_RECEIVING_CF_INFO, "Receiving CompactFlash information..."},
    {IDS_CLOSE, "Close"},
    {IDS_CONFIRM_DELETE, "Do you really want to delete the selected file(s)? \nWarning: They will be removed "
                         "permanently from the storage card."},
    {IDS_DELETING, "Please wait, files deletion in progress..."},
    {IDS_FILE_NOT_DELETED, "File %s NOT deleted"},
    {IDS_FILE_DELETED, "File %s deleted"},
    {IDS_COMM_ABORTED, "Communication aborded"},
    {IDS_SELECT_DEST_FOLDER, "Please select a destination folder:"},
    {IDS_PATH_NOT_EXIST, "The specified path does not exist"},
    {IDS_HOST_IO_ERROR, "IO Error on the host (creating/writing file error). \nPlease, make sure there is enough "
                        "free space in the destination folder."},
    {IDS_DEVICE_STOPPED, "The device stopped transmission"},
    {IDS_USER_ABORTED, "User aborded operation"},
    {IDS_OPERATION_COMPLETED, "Operation completed"},
    {IDS_OVERWRITE_ON_DEVICE, "The file exist on the device. Do you want to overwrite it?"},
    {IDS_FILTER_ALL, "All"},
    {IDS_FILTER_SYSTEM_IMAGES, "System images"},
    {IDS_GENERAL_ERROR, "General error (code: 987)"},
    {IDS_CARD_FULL, "Device error: no enough free space on the storage card"},
    {IDS_NO_CARD, "Device error: no CompactFlash card in the recorder!"},
    {IDS_DELETE_NOT_COMPLETED, "Operation (delete files) was not completed successful"},
    {IDS_LANGUAGE_DEFAULT, "Default"},
    {IDS_DOWNLOADS_REFUSED, "These files cannot be downloaded into this folder:"},
    {IDS_REASON_UNSAFE_NAME, "its name could lead outside the folder"},
    {IDS_REASON_NOT_ENCODABLE, "its name cannot be written on this computer"},
    {IDS_REASON_NAME_COLLISION, "another file of this download has the same name"},
    {IDS_REASON_NAME_TOO_LONG, "its name is too long for this folder"},
    {IDS_REASON_SYMBOLIC_LINK, "the folder holds a symbolic link of that name"},
    {IDS_REASON_NOT_A_FILE, "the folder holds a folder or a special file of that name"},
    {IDS_REASON_RESERVED_NAME, "its name is kept for this program's own files"},
    {IDS_REASON_ALREADY_EXISTS, "a file of that name is already in the folder"},
    {IDS_TOOLBAR_GET_FILES, "Get files"},
    {IDS_TOOLBAR_UPLOAD, "Upload"},
    {IDS_TOOLBAR_REFRESH, "Refresh"},
    {IDS_TOOLBAR_DELETE, "Delete"},
    {IDS_TOOLBAR_UPDATE_DATA, "Update data"},
    {IDS_TOOLBAR_SEPARATOR_1, "$Separator"},
    {IDS_TOOLBAR_SELECT_ALL, "Select all"},
    {IDS_TOOLBAR_DESELECT_ALL, "Deselect all"},
    {IDS_TOOLBAR_SEPARATOR_2, "$Separator"},
    {IDS_TOOLBAR_ABOUT, "About"},
    {IDS_DLG_INITDEVICE_CAPTION, "Communicating with a device"},
    {IDS_DLG_INITDEVICE_PLEASE_WAIT, "Please wait..."},
    {IDS_DLG_INITDEVICE_MSG, "msg"},
    {IDS_DLG_INITDEVICE_CANCEL, "Cancel"},
    {IDS_DLG_GETFILE_CAPTION, "Downloading files from recorder"},
    {IDS_DLG_GETFILE_RECEIVING, "Receiving file:"},
    {IDS_DLG_GETFILE_FILE_NAME, "file_name"},
    {IDS_DLG_GETFILE_CANCEL, "Cancel"},
    {IDS_DLG_UPLOADFILE_CAPTION, "Upload file to recorder"},
    {IDS_DLG_UPLOADFILE_UPLOADING, "Uploading file:"},
    {IDS_DLG_UPLOADFILE_FILE_NAME, "file_name"},
    {IDS_DLG_UPLOADFILE_CANCEL, "Cancel"},
    {IDS_DLG_DELFILES_CAPTION, "File manager"},
    {IDS_DLG_DELFILES_PLEASE_WAIT, "Please wait..."},
    {IDS_DLG_DELFILES_CANCEL, "Cancel"},
    {IDS_DLG_UPDATECF_CAPTION, "Carrying out the command"},
    {IDS_DLG_UPDATECF_PLEASE_WAIT, "Please wait..."},
    {IDS_DLG_SAVETO_CAPTION, "Save files to..."},
    {IDS_DLG_SAVETO_LABEL, "Save to:"},
    {IDS_DLG_SAVETO_BROWSE, "Browse..."},
    {IDS_DLG_SAVETO_OK, "OK"},
    {IDS_DLG_SAVETO_CANCEL, "Cancel"},
    {IDS_DLG_OVERWRITE_CAPTION, "Question"},
    {IDS_DLG_OVERWRITE_TEXT, "The following files exist in the destination path. Do you want to overwrite them?"},
    {IDS_DLG_OVERWRITE_OK, "OK"},
    {IDS_DLG_OVERWRITE_CANCEL, "Cancel"},
    {IDS_DLG_OPTIONS_CAPTION, "Options"},
    {IDS_DLG_OPTIONS_LANGUAGE, "Language:"},
    {IDS_DLG_OPTIONS_NOTE, "Attention: Change of language version will be accepted after the restart of program."},
    {IDS_DLG_OPTIONS_OK, "OK"},
    {IDS_DLG_OPTIONS_CANCEL, "Cancel"},
    {IDS_DLG_ABOUT_CAPTION, "About OrvoConnect"},
    {IDS_DLG_ABOUT_VERSION, "Orvo Connect Version 2.2"},
    {IDS_DLG_ABOUT_MAKER, "Copyright \u00a9 Haldrin"},
    {IDS_DLG_ABOUT_OK, "OK"},
    {IDS_MSGBOX_OK, "OK"},
    {IDS_MSGBOX_CANCEL, "Cancel"},
    {IDS_MENU_FILE, "&File"},
    {IDS_MENU_FILE_GET_FILES, "Get selected files..."},
    {IDS_MENU_FILE_UPLOAD, "Upload file..."},
    {IDS_MENU_FILE_DELETE, "Delete selected files"},
    {IDS_MENU_FILE_REFRESH, "Refresh view"},
    {IDS_MENU_FILE_UPDATE_DATA, "Update data"},
    {IDS_MENU_FILE_EXIT, "E&xit"},
    {IDS_MENU_VIEW, "&View"},
    {IDS_MENU_VIEW_TOOLBAR, "&Toolbar"},
    {IDS_MENU_VIEW_STATUS_BAR, "&Status Bar"},
    {IDS_MENU_VIEW_SELECT_ALL, "S&elect all"},
    {IDS_MENU_VIEW_DESELECT_ALL, "&Deselect all"},
    {IDS_MENU_OPTIONS, "Options"},
    {IDS_MENU_OPTIONS_SETTINGS, "Settings..."},
    {IDS_MENU_HELP, "&Help"},
    {IDS_MENU_HELP_ABOUT, "&About OrvoConnect..."},
    {IDS_LINK_USB_UNAVAILABLE, "USB is not available on this system: %1."},
    {IDS_LINK_NO_USB_IDS, "No USB ids are configured for the recorder. Set ORVOCONNECT_USB_IDS=VVVV:PPPP in the environment or UsbIds=VVVV:PPPP in %1. The command \"orvoconnect-cli usb-scan\" lists the devices that may be the recorder, and \"orvoconnect-cli udev-rule --install\" grants you access to it."},
    {IDS_LINK_UNREADABLE_USB_IDS, "The USB ids in %1 cannot be read: \"%2\" is not a vendor:product pair (hexadecimal, for example 1234:5678)."},
    {IDS_LINK_ACCESS_DENIED, "Permission denied on the USB device %1: the udev rule that grants access is missing. Install it with the command \"orvoconnect-cli udev-rule --install\", then plug the recorder in again."},
    {IDS_LINK_DEVICE_BUSY, "The USB device %1 is busy: another program holds its interface %2. Close that program and try again."},
    {IDS_LINK_DEVICE_GONE, "The USB device %1 went away while it was being opened."},
    {IDS_LINK_OPEN_FAILED, "Cannot open the USB device %1: %2."},
    {IDS_LINK_NO_BULK_INTERFACE, "The USB device %1 has no interface with one bulk IN and one bulk OUT endpoint."},
    {IDS_LINK_CHOSEN_DEVICE_ABSENT, "The recorder chosen in the Device setting (%1) is not attached. Attached recorders (port and serial number): %2."},
    {IDS_LINK_CHOSEN_DEVICE_ALONE_ABSENT, "The recorder chosen in the Device setting (%1) is not attached, nor is any other."},
    {IDS_CMD_SELECT_ALL, "Selects all elements on the list\nSelects all elements on the list"},
    {IDS_CMD_DESELECT_ALL, "Deselects all the elements on the list\nDeselects all the elements on the list"},
    {IDS_CMD_UPDATE_DATA, "Forces a recorder to save archive data from internal memory to a storage card\n"
                          "Forces a recorder to save archive data from internal memory to a storage card"},
    {IDS_APP_TITLE, "OrvoConnect"},
    {IDS_READY, "Ready"},
    {IDS_CMD_ABOUT, "Display program information, version number and copyright\nAbout"},
    {IDS_CMD_EXIT, "Quit the application; prompts to save documents\nExit"},
    {IDS_CMD_TOGGLE_TOOLBAR, "Show or hide the toolbar\nToggle ToolBar"},
    {IDS_CMD_TOGGLE_STATUSBAR, "Show or hide the status bar\nToggle StatusBar"},
};
// clang-format on

constexpr bool IsStrictlyAscending()
{
    for (std::size_t i = 1; i < std::size(kEnglish); ++i) {
        if (kEnglish[i - 1].nId >= kEnglish[i].nId)
            return false;
    }
    return true;
}
static_assert(IsStrictlyAscending(), "identifiers of the built-in set must be unique and ascending");

} // namespace

std::span<const BuiltInText> BuiltInEnglishTexts()
{
    return kEnglish;
}
