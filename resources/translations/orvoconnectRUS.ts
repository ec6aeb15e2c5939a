<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU" sourcelanguage="en_US">
<context>
    <name>OrvoConnect</name>
    <message id="128">
        <source>OrvoConnect</source>
        <extracomment>IDR_MAINFRAME</extracomment>
        <translation>OrvoConnect</translation>
    </message>
    <message id="129">
        <source>File name</source>
        <extracomment>IDS_COL_FILE_NAME</extracomment>
        <translation>Имя файла</translation>
    </message>
    <message id="130">
        <source>Recorder information:</source>
        <extracomment>IDS_RECORDER_INFORMATION</extracomment>
        <translation>Сведения о регистраторе:</translation>
    </message>
    <message id="131">
        <source>Date</source>
        <extracomment>IDS_COL_DATE</extracomment>
        <translation>Дата</translation>
    </message>
    <message id="132">
        <source>Size</source>
        <extracomment>IDS_COL_SIZE</extracomment>
        <translation>Размер</translation>
    </message>
    <message id="151">
        <source>Download selected files from recorder to your hard driver
Get selected files</source>
        <extracomment>IDS_CMD_GET_FILES</extracomment>
        <translation>Загрузка выбранных файлов с регистратора на жёсткий диск компьютера
Получить выбранные файлы</translation>
    </message>
    <message id="152">
        <source>Uploads a file from your computer to recorder
Upload a file</source>
        <extracomment>IDS_CMD_UPLOAD</extracomment>
        <translation>Отправка файла с компьютера на регистратор
Отправить файл</translation>
    </message>
    <message id="153">
        <source>Deletes selected file(s) from recorder
Delete selected file(s)</source>
        <extracomment>IDS_CMD_DELETE</extracomment>
        <translation>Удаление выбранных файлов с регистратора
Удалить выбранные файлы</translation>
    </message>
    <message id="154">
        <source>Refresh all views
Refresh views</source>
        <extracomment>IDS_CMD_REFRESH</extracomment>
        <translation>Обновление всех представлений
Обновить представления</translation>
    </message>
    <message id="160">
        <source>Recorder is connected</source>
        <extracomment>IDS_RECORDER_CONNECTED</extracomment>
        <translation>Регистратор подключён</translation>
    </message>
    <message id="162">
        <source>Recorder has been disconnected</source>
        <extracomment>IDS_RECORDER_DISCONNECTED</extracomment>
        <translation>Регистратор был отключён</translation>
    </message>
    <message id="163">
        <source>Recorder is not connected</source>
        <extracomment>IDS_RECORDER_NOT_CONNECTED</extracomment>
        <translation>Регистратор не подключён</translation>
    </message>
    <message id="164">
        <source>Error: Notification failed (error code: 102)</source>
        <extracomment>IDS_NOTIFICATION_FAILED</extracomment>
        <translation>Ошибка: сбой уведомления (код ошибки: 102)</translation>
    </message>
    <message id="165">
        <source>Error: Communication failed (error code: 103)</source>
        <extracomment>IDS_COMM_FAILED</extracomment>
        <translation>Ошибка: сбой связи (код ошибки: 103)</translation>
    </message>
    <message id="167">
        <source>Receiving device info...</source>
        <extracomment>IDS_RECEIVING_DEVICE_INFO</extracomment>
        <translation>Получение сведений об устройстве...</translation>
    </message>
    <message id="168">
        <source>No files has been selected on the list. 
You have to check one file at least.</source>
        <extracomment>IDS_NO_FILES_SELECTED</extracomment>
        <translation>В списке не отмечено ни одного файла.
Отметьте хотя бы один файл.</translation>
    </message>
    <message id="169">
        <source>Receiving files list...</source>
        <extracomment>IDS_RECEIVING_FILES_LIST</extracomment>
        <translation>Получение списка файлов...</translation>
    </message>
    <message id="170">
        <source>Receiving CompactFlash information...</source>
        <extracomment>IDS_RECEIVING_CF_INFO</extracomment>
        <translation>Получение сведений о карте CompactFlash...</translation>
    </message>
    <message id="171">
        <source>Close</source>
        <extracomment>IDS_CLOSE</extracomment>
        <translation>Закрыть</translation>
    </message>
    <message id="172">
        <source>Do you really want to delete the selected file(s)? 
Warning: They will be removed permanently from the storage card.</source>
        <extracomment>IDS_CONFIRM_DELETE</extracomment>
        <translation>Вы действительно хотите удалить выбранные файлы?
Внимание: они будут безвозвратно удалены с карты памяти.</translation>
    </message>
    <message id="173">
        <source>Please wait, files deletion in progress...</source>
        <extracomment>IDS_DELETING</extracomment>
        <translation>Подождите, идёт удаление файлов...</translation>
    </message>
    <message id="174">
        <source>File %s NOT deleted</source>
        <extracomment>IDS_FILE_NOT_DELETED</extracomment>
        <translation>Файл %s НЕ удалён</translation>
    </message>
    <message id="175">
        <source>File %s deleted</source>
        <extracomment>IDS_FILE_DELETED</extracomment>
        <translation>Файл %s удалён</translation>
    </message>
    <message id="176">
        <source>Communication aborded</source>
        <extracomment>IDS_COMM_ABORTED</extracomment>
        <translation>Связь прервана</translation>
    </message>
    <message id="177">
        <source>Please select a destination folder:</source>
        <extracomment>IDS_SELECT_DEST_FOLDER</extracomment>
        <translation>Выберите папку назначения:</translation>
    </message>
    <message id="178">
        <source>The specified path does not exist</source>
        <extracomment>IDS_PATH_NOT_EXIST</extracomment>
        <translation>Указанный путь не существует</translation>
    </message>
    <message id="179">
        <source>IO Error on the host (creating/writing file error). 
Please, make sure there is enough free space in the destination folder.</source>
        <extracomment>IDS_HOST_IO_ERROR</extracomment>
        <translation>Ошибка ввода-вывода на компьютере (ошибка создания или записи файла).
Убедитесь, что в папке назначения достаточно свободного места.</translation>
    </message>
    <message id="180">
        <source>The device stopped transmission</source>
        <extracomment>IDS_DEVICE_STOPPED</extracomment>
        <translation>Устройство прекратило передачу данных</translation>
    </message>
    <message id="181">
        <source>User aborded operation</source>
        <extracomment>IDS_USER_ABORTED</extracomment>
        <translation>Операция прервана пользователем</translation>
    </message>
    <message id="182">
        <source>Operation completed</source>
        <extracomment>IDS_OPERATION_COMPLETED</extracomment>
        <translation>Операция завершена</translation>
    </message>
    <message id="183">
        <source>The file exist on the device. Do you want to overwrite it?</source>
        <extracomment>IDS_OVERWRITE_ON_DEVICE</extracomment>
        <translation>Файл уже существует на устройстве. Перезаписать его?</translation>
    </message>
    <message id="184">
        <source>All</source>
        <extracomment>IDS_FILTER_ALL</extracomment>
        <translation>Все файлы</translation>
    </message>
    <message id="185">
        <source>System images</source>
        <extracomment>IDS_FILTER_SYSTEM_IMAGES</extracomment>
        <translation>Образы системы</translation>
    </message>
    <message id="186">
        <source>General error (code: 987)</source>
        <extracomment>IDS_GENERAL_ERROR</extracomment>
        <translation>Общая ошибка (код: 987)</translation>
    </message>
    <message id="187">
        <source>Device error: no enough free space on the storage card</source>
        <extracomment>IDS_CARD_FULL</extracomment>
        <translation>Ошибка устройства: недостаточно свободного места на карте памяти</translation>
    </message>
    <message id="188">
        <source>Device error: no CompactFlash card in the recorder!</source>
        <extracomment>IDS_NO_CARD</extracomment>
        <translation>Ошибка устройства: в регистраторе нет карты CompactFlash!</translation>
    </message>
    <message id="190">
        <source>Operation (delete files) was not completed successful</source>
        <extracomment>IDS_DELETE_NOT_COMPLETED</extracomment>
        <translation>Операция (удаление файлов) не была успешно завершена</translation>
    </message>
    <message id="191">
        <source>Default</source>
        <extracomment>IDS_LANGUAGE_DEFAULT</extracomment>
        <translation>По умолчанию</translation>
    </message>
    <message id="240">
        <source>These files cannot be downloaded into this folder:</source>
        <extracomment>IDS_DOWNLOADS_REFUSED</extracomment>
        <translation>Эти файлы нельзя загрузить в эту папку:</translation>
    </message>
    <message id="241">
        <source>its name could lead outside the folder</source>
        <extracomment>IDS_REASON_UNSAFE_NAME</extracomment>
        <translation>его имя может указывать за пределы папки</translation>
    </message>
    <message id="242">
        <source>its name cannot be written on this computer</source>
        <extracomment>IDS_REASON_NOT_ENCODABLE</extracomment>
        <translation>его имя невозможно записать на этом компьютере</translation>
    </message>
    <message id="243">
        <source>another file of this download has the same name</source>
        <extracomment>IDS_REASON_NAME_COLLISION</extracomment>
        <translation>другой файл этой загрузки имеет то же имя</translation>
    </message>
    <message id="244">
        <source>its name is too long for this folder</source>
        <extracomment>IDS_REASON_NAME_TOO_LONG</extracomment>
        <translation>его имя слишком длинное для этой папки</translation>
    </message>
    <message id="245">
        <source>the folder holds a symbolic link of that name</source>
        <extracomment>IDS_REASON_SYMBOLIC_LINK</extracomment>
        <translation>в папке есть символическая ссылка с этим именем</translation>
    </message>
    <message id="246">
        <source>the folder holds a folder or a special file of that name</source>
        <extracomment>IDS_REASON_NOT_A_FILE</extracomment>
        <translation>в папке есть папка или специальный файл с этим именем</translation>
    </message>
    <message id="247">
        <source>its name is kept for this program's own files</source>
        <extracomment>IDS_REASON_RESERVED_NAME</extracomment>
        <translation>его имя зарезервировано для файлов этой программы</translation>
    </message>
    <message id="248">
        <source>a file of that name is already in the folder</source>
        <extracomment>IDS_REASON_ALREADY_EXISTS</extracomment>
        <translation>файл с этим именем уже есть в папке</translation>
    </message>
    <message id="339">
        <source>Get files</source>
        <extracomment>IDS_TOOLBAR_GET_FILES</extracomment>
        <translation>Получить файлы</translation>
    </message>
    <message id="340">
        <source>Upload</source>
        <extracomment>IDS_TOOLBAR_UPLOAD</extracomment>
        <translation>Отправить</translation>
    </message>
    <message id="341">
        <source>Refresh</source>
        <extracomment>IDS_TOOLBAR_REFRESH</extracomment>
        <translation>Обновить</translation>
    </message>
    <message id="342">
        <source>Delete</source>
        <extracomment>IDS_TOOLBAR_DELETE</extracomment>
        <translation>Удалить</translation>
    </message>
    <message id="343">
        <source>Update data</source>
        <extracomment>IDS_TOOLBAR_UPDATE_DATA</extracomment>
        <translation>Обновить данные</translation>
    </message>
    <message id="344">
        <source>$Separator</source>
        <extracomment>IDS_TOOLBAR_SEPARATOR_1</extracomment>
        <translation>$Separator</translation>
    </message>
    <message id="345">
        <source>Select all</source>
        <extracomment>IDS_TOOLBAR_SELECT_ALL</extracomment>
        <translation>Выделить все</translation>
    </message>
    <message id="346">
        <source>Deselect all</source>
        <extracomment>IDS_TOOLBAR_DESELECT_ALL</extracomment>
        <translation>Снять выделение</translation>
    </message>
    <message id="347">
        <source>$Separator</source>
        <extracomment>IDS_TOOLBAR_SEPARATOR_2</extracomment>
        <translation>$Separator</translation>
    </message>
    <message id="348">
        <source>About</source>
        <extracomment>IDS_TOOLBAR_ABOUT</extracomment>
        <translation>О программе</translation>
    </message>
    <message id="1000">
        <source>Communicating with a device</source>
        <extracomment>IDS_DLG_INITDEVICE_CAPTION</extracomment>
        <translation>Обмен данными с устройством</translation>
    </message>
    <message id="1001">
        <source>Please wait...</source>
        <extracomment>IDS_DLG_INITDEVICE_PLEASE_WAIT</extracomment>
        <translation>Подождите...</translation>
    </message>
    <message id="1002">
        <source>msg</source>
        <extracomment>IDS_DLG_INITDEVICE_MSG</extracomment>
        <translation>msg</translation>
    </message>
    <message id="1003">
        <source>Cancel</source>
        <extracomment>IDS_DLG_INITDEVICE_CANCEL</extracomment>
        <translation>Отмена</translation>
    </message>
    <message id="1010">
        <source>Downloading files from recorder</source>
        <extracomment>IDS_DLG_GETFILE_CAPTION</extracomment>
        <translation>Загрузка файлов с регистратора</translation>
    </message>
    <message id="1011">
        <source>Receiving file:</source>
        <extracomment>IDS_DLG_GETFILE_RECEIVING</extracomment>
        <translation>Получение файла:</translation>
    </message>
    <message id="1012">
        <source>file_name</source>
        <extracomment>IDS_DLG_GETFILE_FILE_NAME</extracomment>
        <translation>file_name</translation>
    </message>
    <message id="1013">
        <source>Cancel</source>
        <extracomment>IDS_DLG_GETFILE_CANCEL</extracomment>
        <translation>Отмена</translation>
    </message>
    <message id="1020">
        <source>Upload file to recorder</source>
        <extracomment>IDS_DLG_UPLOADFILE_CAPTION</extracomment>
        <translation>Отправка файла на регистратор</translation>
    </message>
    <message id="1021">
        <source>Uploading file:</source>
        <extracomment>IDS_DLG_UPLOADFILE_UPLOADING</extracomment>
        <translation>Отправка файла:</translation>
    </message>
    <message id="1022">
        <source>file_name</source>
        <extracomment>IDS_DLG_UPLOADFILE_FILE_NAME</extracomment>
        <translation>file_name</translation>
    </message>
    <message id="1023">
        <source>Cancel</source>
        <extracomment>IDS_DLG_UPLOADFILE_CANCEL</extracomment>
        <translation>Отмена</translation>
    </message>
    <message id="1030">
        <source>File manager</source>
        <extracomment>IDS_DLG_DELFILES_CAPTION</extracomment>
        <translation>Диспетчер файлов</translation>
    </message>
    <message id="1031">
        <source>Please wait...</source>
        <extracomment>IDS_DLG_DELFILES_PLEASE_WAIT</extracomment>
        <translation>Подождите...</translation>
    </message>
    <message id="1032">
        <source>Cancel</source>
        <extracomment>IDS_DLG_DELFILES_CANCEL</extracomment>
        <translation>Отмена</translation>
    </message>
    <message id="1040">
        <source>Carrying out the command</source>
        <extracomment>IDS_DLG_UPDATECF_CAPTION</extracomment>
        <translation>Выполнение команды</translation>
    </message>
    <message id="1041">
        <source>Please wait...</source>
        <extracomment>IDS_DLG_UPDATECF_PLEASE_WAIT</extracomment>
        <translation>Подождите...</translation>
    </message>
    <message id="1050">
        <source>Save files to...</source>
        <extracomment>IDS_DLG_SAVETO_CAPTION</extracomment>
        <translation>Сохранить файлы в...</translation>
    </message>
    <message id="1051">
        <source>Save to:</source>
        <extracomment>IDS_DLG_SAVETO_LABEL</extracomment>
        <translation>Сохранить в:</translation>
    </message>
    <message id="1052">
        <source>Browse...</source>
        <extracomment>IDS_DLG_SAVETO_BROWSE</extracomment>
        <translation>Обзор...</translation>
    </message>
    <message id="1053">
        <source>OK</source>
        <extracomment>IDS_DLG_SAVETO_OK</extracomment>
        <translation>ОК</translation>
    </message>
    <message id="1054">
        <source>Cancel</source>
        <extracomment>IDS_DLG_SAVETO_CANCEL</extracomment>
        <translation>Отмена</translation>
    </message>
    <message id="1060">
        <source>Question</source>
        <extracomment>IDS_DLG_OVERWRITE_CAPTION</extracomment>
        <translation>Вопрос</translation>
    </message>
    <message id="1061">
        <source>The following files exist in the destination path. Do you want to overwrite them?</source>
        <extracomment>IDS_DLG_OVERWRITE_TEXT</extracomment>
        <translation>Следующие файлы уже существуют в папке назначения. Перезаписать их?</translation>
    </message>
    <message id="1062">
        <source>OK</source>
        <extracomment>IDS_DLG_OVERWRITE_OK</extracomment>
        <translation>ОК</translation>
    </message>
    <message id="1063">
        <source>Cancel</source>
        <extracomment>IDS_DLG_OVERWRITE_CANCEL</extracomment>
        <translation>Отмена</translation>
    </message>
    <message id="1070">
        <source>Options</source>
        <extracomment>IDS_DLG_OPTIONS_CAPTION</extracomment>
        <translation>Параметры</translation>
    </message>
    <message id="1071">
        <source>Language:</source>
        <extracomment>IDS_DLG_OPTIONS_LANGUAGE</extracomment>
        <translation>Язык:</translation>
    </message>
    <message id="1072">
        <source>Attention: Change of language version will be accepted after the restart of program.</source>
        <extracomment>IDS_DLG_OPTIONS_NOTE</extracomment>
        <translation>Внимание: новый язык интерфейса будет применён после перезапуска программы.</translation>
    </message>
    <message id="1073">
        <source>OK</source>
        <extracomment>IDS_DLG_OPTIONS_OK</extracomment>
        <translation>ОК</translation>
    </message>
    <message id="1074">
        <source>Cancel</source>
        <extracomment>IDS_DLG_OPTIONS_CANCEL</extracomment>
        <translation>Отмена</translation>
    </message>
    <message id="1080">
        <source>About OrvoConnect</source>
        <extracomment>IDS_DLG_ABOUT_CAPTION</extracomment>
        <translation>О программе OrvoConnect</translation>
    </message>
    <message id="1081">
        <source>Orvo Connect Version 2.2</source>
        <extracomment>IDS_DLG_ABOUT_VERSION</extracomment>
        <translation>Orvo Connect версия 2.2</translation>
    </message>
    <message id="1082">
        <source>Copyright © Haldrin</source>
        <extracomment>IDS_DLG_ABOUT_MAKER</extracomment>
        <translation>Copyright © Haldrin</translation>
    </message>
    <message id="1083">
        <source>OK</source>
        <extracomment>IDS_DLG_ABOUT_OK</extracomment>
        <translation>ОК</translation>
    </message>
    <message id="1090">
        <source>OK</source>
        <extracomment>IDS_MSGBOX_OK</extracomment>
        <translation>ОК</translation>
    </message>
    <message id="1091">
        <source>Cancel</source>
        <extracomment>IDS_MSGBOX_CANCEL</extracomment>
        <translation>Отмена</translation>
    </message>
    <message id="2000">
        <source>&amp;File</source>
        <extracomment>IDS_MENU_FILE</extracomment>
        <translation>&amp;Файл</translation>
    </message>
    <message id="2001">
        <source>Get selected files...</source>
        <extracomment>IDS_MENU_FILE_GET_FILES</extracomment>
        <translation>Получить выбранные файлы...</translation>
    </message>
    <message id="2002">
        <source>Upload file...</source>
        <extracomment>IDS_MENU_FILE_UPLOAD</extracomment>
        <translation>Отправить файл...</translation>
    </message>
    <message id="2003">
        <source>Delete selected files</source>
        <extracomment>IDS_MENU_FILE_DELETE</extracomment>
        <translation>Удалить выбранные файлы</translation>
    </message>
    <message id="2004">
        <source>Refresh view</source>
        <extracomment>IDS_MENU_FILE_REFRESH</extracomment>
        <translation>Обновить представление</translation>
    </message>
    <message id="2005">
        <source>Update data</source>
        <extracomment>IDS_MENU_FILE_UPDATE_DATA</extracomment>
        <translation>Обновить данные</translation>
    </message>
    <message id="2006">
        <source>E&amp;xit</source>
        <extracomment>IDS_MENU_FILE_EXIT</extracomment>
        <translation>В&amp;ыход</translation>
    </message>
    <message id="2010">
        <source>&amp;View</source>
        <extracomment>IDS_MENU_VIEW</extracomment>
        <translation>&amp;Вид</translation>
    </message>
    <message id="2011">
        <source>&amp;Toolbar</source>
        <extracomment>IDS_MENU_VIEW_TOOLBAR</extracomment>
        <translation>&amp;Панель инструментов</translation>
    </message>
    <message id="2012">
        <source>&amp;Status Bar</source>
        <extracomment>IDS_MENU_VIEW_STATUS_BAR</extracomment>
        <translation>&amp;Строка состояния</translation>
    </message>
    <message id="2013">
        <source>S&amp;elect all</source>
        <extracomment>IDS_MENU_VIEW_SELECT_ALL</extracomment>
        <translation>&amp;Выделить все</translation>
    </message>
    <message id="2014">
        <source>&amp;Deselect all</source>
        <extracomment>IDS_MENU_VIEW_DESELECT_ALL</extracomment>
        <translation>Сн&amp;ять выделение</translation>
    </message>
    <message id="2020">
        <source>Options</source>
        <extracomment>IDS_MENU_OPTIONS</extracomment>
        <translation>Параметры</translation>
    </message>
    <message id="2021">
        <source>Settings...</source>
        <extracomment>IDS_MENU_OPTIONS_SETTINGS</extracomment>
        <translation>Настройки...</translation>
    </message>
    <message id="2030">
        <source>&amp;Help</source>
        <extracomment>IDS_MENU_HELP</extracomment>
        <translation>&amp;Справка</translation>
    </message>
    <message id="2031">
        <source>&amp;About OrvoConnect...</source>
        <extracomment>IDS_MENU_HELP_ABOUT</extracomment>
        <translation>&amp;О программе OrvoConnect...</translation>
    </message>
    <message id="3000">
        <source>USB is not available on this system: %1.</source>
        <extracomment>IDS_LINK_USB_UNAVAILABLE</extracomment>
        <translation>USB недоступен в этой системе: %1.</translation>
    </message>
    <message id="3001">
        <source>No USB ids are configured for the recorder. Set ORVOCONNECT_USB_IDS=VVVV:PPPP in the environment or UsbIds=VVVV:PPPP in %1. The command "orvoconnect-cli usb-scan" lists the devices that may be the recorder, and "orvoconnect-cli udev-rule --install" grants you access to it.</source>
        <extracomment>IDS_LINK_NO_USB_IDS</extracomment>
        <translation>Идентификаторы USB регистратора не настроены. Задайте ORVOCONNECT_USB_IDS=VVVV:PPPP в окружении или UsbIds=VVVV:PPPP в %1. Команда «orvoconnect-cli usb-scan» показывает устройства, которые могут быть регистратором, а «orvoconnect-cli udev-rule --install» открывает к нему доступ.</translation>
    </message>
    <message id="3002">
        <source>The USB ids in %1 cannot be read: "%2" is not a vendor:product pair (hexadecimal, for example 1234:5678).</source>
        <extracomment>IDS_LINK_UNREADABLE_USB_IDS</extracomment>
        <translation>Не удаётся прочитать идентификаторы USB в %1: «%2» не является парой производитель:изделие (шестнадцатеричной, например 1234:5678).</translation>
    </message>
    <message id="3003">
        <source>Permission denied on the USB device %1: the udev rule that grants access is missing. Install it with the command "orvoconnect-cli udev-rule --install", then plug the recorder in again.</source>
        <extracomment>IDS_LINK_ACCESS_DENIED</extracomment>
        <translation>Нет доступа к USB-устройству %1: отсутствует правило udev, дающее доступ. Установите его командой «orvoconnect-cli udev-rule --install» и снова подключите регистратор.</translation>
    </message>
    <message id="3004">
        <source>The USB device %1 is busy: another program holds its interface %2. Close that program and try again.</source>
        <extracomment>IDS_LINK_DEVICE_BUSY</extracomment>
        <translation>USB-устройство %1 занято: другая программа удерживает его интерфейс %2. Закройте эту программу и повторите попытку.</translation>
    </message>
    <message id="3005">
        <source>The USB device %1 went away while it was being opened.</source>
        <extracomment>IDS_LINK_DEVICE_GONE</extracomment>
        <translation>USB-устройство %1 исчезло во время открытия.</translation>
    </message>
    <message id="3006">
        <source>Cannot open the USB device %1: %2.</source>
        <extracomment>IDS_LINK_OPEN_FAILED</extracomment>
        <translation>Не удаётся открыть USB-устройство %1: %2.</translation>
    </message>
    <message id="3007">
        <source>The USB device %1 has no interface with one bulk IN and one bulk OUT endpoint.</source>
        <extracomment>IDS_LINK_NO_BULK_INTERFACE</extracomment>
        <translation>У USB-устройства %1 нет интерфейса с одной конечной точкой bulk IN и одной bulk OUT.</translation>
    </message>
    <message id="3008">
        <source>The recorder chosen in the Device setting (%1) is not attached. Attached recorders (port and serial number): %2.</source>
        <extracomment>IDS_LINK_CHOSEN_DEVICE_ABSENT</extracomment>
        <translation>Регистратор, выбранный в параметре Device (%1), не подключён. Подключённые регистраторы (порт и серийный номер): %2.</translation>
    </message>
    <message id="3009">
        <source>The recorder chosen in the Device setting (%1) is not attached, nor is any other.</source>
        <extracomment>IDS_LINK_CHOSEN_DEVICE_ALONE_ABSENT</extracomment>
        <translation>Регистратор, выбранный в параметре Device (%1), не подключён, как и любой другой.</translation>
    </message>
    <message id="4000">
        <source>Archive the card's new files into the archive folder
Archive new files</source>
        <extracomment>IDS_CMD_ARCHIVE</extracomment>
        <translation>Архивирует новые файлы карты в папку архива
Архивировать новые файлы</translation>
    </message>
    <message id="4001">
        <source>Archive new files...</source>
        <extracomment>IDS_MENU_FILE_ARCHIVE</extracomment>
        <translation>Архивировать новые файлы...</translation>
    </message>
    <message id="4002">
        <source>Archive new files</source>
        <extracomment>IDS_DLG_ARCHIVESTART_CAPTION</extracomment>
        <translation>Архивировать новые файлы</translation>
    </message>
    <message id="4003">
        <source>Archive folder:</source>
        <extracomment>IDS_DLG_ARCHIVESTART_FOLDER</extracomment>
        <translation>Папка архива:</translation>
    </message>
    <message id="4004">
        <source>Browse...</source>
        <extracomment>IDS_DLG_ARCHIVESTART_BROWSE</extracomment>
        <translation>Обзор...</translation>
    </message>
    <message id="4005">
        <source>Delete the archived files from the card</source>
        <extracomment>IDS_DLG_ARCHIVESTART_DELETE</extracomment>
        <translation>Удалить заархивированные файлы с карты</translation>
    </message>
    <message id="4006">
        <source>Start</source>
        <extracomment>IDS_DLG_ARCHIVESTART_START</extracomment>
        <translation>Начать</translation>
    </message>
    <message id="4007">
        <source>Cancel</source>
        <extracomment>IDS_DLG_ARCHIVESTART_CANCEL</extracomment>
        <translation>Отмена</translation>
    </message>
    <message id="4008">
        <source>Select the archive folder</source>
        <extracomment>IDS_ARCHIVE_SELECT_FOLDER</extracomment>
        <translation>Выберите папку архива</translation>
    </message>
    <message id="4009">
        <source>Each file this run archives will be deleted from the card once its copy in the archive folder has been read back.
Archive and delete?</source>
        <extracomment>IDS_ARCHIVE_CONFIRM_DELETE</extracomment>
        <translation>Каждый файл, заархивированный в этом запуске, будет удалён с карты, как только его копия в папке архива будет прочитана заново.
Архивировать и удалить?</translation>
    </message>
    <message id="4010">
        <source>Yes</source>
        <extracomment>IDS_MSGBOX_YES</extracomment>
        <translation>Да</translation>
    </message>
    <message id="4011">
        <source>No</source>
        <extracomment>IDS_MSGBOX_NO</extracomment>
        <translation>Нет</translation>
    </message>
    <message id="4012">
        <source>Please enter the archive folder.</source>
        <extracomment>IDS_ARCHIVE_FOLDER_EMPTY</extracomment>
        <translation>Укажите папку архива.</translation>
    </message>
    <message id="4013">
        <source>Archiving new files</source>
        <extracomment>IDS_DLG_ARCHIVE_CAPTION</extracomment>
        <translation>Архивирование новых файлов</translation>
    </message>
    <message id="4014">
        <source>Archiving file:</source>
        <extracomment>IDS_DLG_ARCHIVE_RECEIVING</extracomment>
        <translation>Архивируется файл:</translation>
    </message>
    <message id="4015">
        <source>Reading the card...</source>
        <extracomment>IDS_DLG_ARCHIVE_READING</extracomment>
        <translation>Чтение карты...</translation>
    </message>
    <message id="4016">
        <source>Cancel</source>
        <extracomment>IDS_DLG_ARCHIVE_CANCEL</extracomment>
        <translation>Отмена</translation>
    </message>
    <message id="4017">
        <source>%1 MB/s</source>
        <extracomment>IDS_ARCHIVE_SPEED</extracomment>
        <translation>%1 МБ/с</translation>
    </message>
    <message id="4018">
        <source>Waiting for another archive run into this folder to end...</source>
        <extracomment>IDS_ARCHIVE_WAITING</extracomment>
        <translation>Ожидание окончания другого архивирования в эту папку...</translation>
    </message>
    <message id="4019">
        <source>The archive run has finished.</source>
        <extracomment>IDS_ARCHIVE_DONE</extracomment>
        <translation>Архивирование завершено.</translation>
    </message>
    <message id="4020">
        <source>The archive run was cancelled.</source>
        <extracomment>IDS_ARCHIVE_CANCELLED</extracomment>
        <translation>Архивирование отменено.</translation>
    </message>
    <message id="4021">
        <source>The archive run ended before it was complete.</source>
        <extracomment>IDS_ARCHIVE_INCOMPLETE</extracomment>
        <translation>Архивирование прервалось, не завершившись.</translation>
    </message>
    <message id="4022">
        <source>Archive folder: %1</source>
        <extracomment>IDS_ARCHIVE_SUMMARY_FOLDER</extracomment>
        <translation>Папка архива: %1</translation>
    </message>
    <message id="4023">
        <source>Downloaded: %1</source>
        <extracomment>IDS_ARCHIVE_SUMMARY_DOWNLOADED</extracomment>
        <translation>Загружено: %1</translation>
    </message>
    <message id="4024">
        <source>Kept beside an older version: %1</source>
        <extracomment>IDS_ARCHIVE_SUMMARY_KEPT_BESIDE</extracomment>
        <translation>Сохранено рядом с прежней версией: %1</translation>
    </message>
    <message id="4025">
        <source>Already archived: %1</source>
        <extracomment>IDS_ARCHIVE_SUMMARY_ALREADY</extracomment>
        <translation>Уже в архиве: %1</translation>
    </message>
    <message id="4026">
        <source>Failed: %1</source>
        <extracomment>IDS_ARCHIVE_SUMMARY_FAILED</extracomment>
        <translation>С ошибкой: %1</translation>
    </message>
    <message id="4027">
        <source>Deleted from the card: %1</source>
        <extracomment>IDS_ARCHIVE_SUMMARY_DELETED</extracomment>
        <translation>Удалено с карты: %1</translation>
    </message>
    <message id="4028">
        <source>These files were not archived:</source>
        <extracomment>IDS_ARCHIVE_SUMMARY_FAILURES</extracomment>
        <translation>Эти файлы не заархивированы:</translation>
    </message>
    <message id="4029">
        <source>%1: %2</source>
        <extracomment>IDS_ARCHIVE_FAILURE_LINE</extracomment>
        <translation>%1: %2</translation>
    </message>
    <message id="4030">
        <source>could not be archived</source>
        <extracomment>IDS_ARCHIVE_FILE_FAILED</extracomment>
        <translation>не удалось заархивировать</translation>
    </message>
    <message id="4031">
        <source>Open folder</source>
        <extracomment>IDS_ARCHIVE_OPEN_FOLDER</extracomment>
        <translation>Открыть папку</translation>
    </message>
    <message id="4032">
        <source>Archived as %1 on %2</source>
        <extracomment>IDS_ARCHIVE_MARK_TIP</extracomment>
        <translation>Заархивирован как %1, %2</translation>
    </message>
    <message id="4033">
        <source>The archive folder cannot be created or locked.</source>
        <extracomment>IDS_ARCHIVE_FOLDER_FAILED</extracomment>
        <translation>Не удаётся создать или заблокировать папку архива.</translation>
    </message>
    <message id="4034">
        <source>The recorder did not answer.</source>
        <extracomment>IDS_ARCHIVE_CONNECTION_LOST</extracomment>
        <translation>Регистратор не ответил.</translation>
    </message>
    <message id="4035">
        <source>could not be written to the archive folder</source>
        <extracomment>IDS_ARCHIVE_FILE_NOT_WRITTEN</extracomment>
        <translation>не удалось записать в папку архива</translation>
    </message>
    <message id="4036">
        <source>the recorder refused to send it</source>
        <extracomment>IDS_ARCHIVE_FILE_NOT_SENT</extracomment>
        <translation>регистратор отказался его передать</translation>
    </message>
    <message id="4037">
        <source>the recorder stopped answering</source>
        <extracomment>IDS_ARCHIVE_FILE_NO_ANSWER</extracomment>
        <translation>регистратор перестал отвечать</translation>
    </message>
    <message id="4038">
        <source>cancelled while it was being archived</source>
        <extracomment>IDS_ARCHIVE_FILE_CANCELLED</extracomment>
        <translation>отменено во время архивирования</translation>
    </message>
    <message id="4100">
        <source>File %1 of %2</source>
        <extracomment>IDS_RUN_FILE_OF</extracomment>
        <translation>Файл %1 из %2</translation>
    </message>
    <message id="4101">
        <source>%1 of %2 kB</source>
        <extracomment>IDS_RUN_KB_OF</extracomment>
        <translation>%1 из %2 КБ</translation>
    </message>
    <message id="4102">
        <source>%1 of %2 MB</source>
        <extracomment>IDS_RUN_MB_OF</extracomment>
        <translation>%1 из %2 МБ</translation>
    </message>
    <message id="4103">
        <source>%1 s left</source>
        <extracomment>IDS_RUN_SECONDS_LEFT</extracomment>
        <translation>осталось %1 с</translation>
    </message>
    <message id="4104">
        <source>%1 min left</source>
        <extracomment>IDS_RUN_MINUTES_LEFT</extracomment>
        <translation>осталось %1 мин</translation>
    </message>
    <message id="4105">
        <source>%1 of %2 GB</source>
        <extracomment>IDS_RUN_GB_OF</extracomment>
        <translation>%1 из %2 ГБ</translation>
    </message>
    <message id="4110">
        <source>Checks every file of the archive folder against its manifest, and the journal's chain
Verify archive</source>
        <extracomment>IDS_CMD_VERIFY_ARCHIVE</extracomment>
        <translation>Проверяет каждый файл папки архива по манифесту, а также цепочку журнала
Проверить архив</translation>
    </message>
    <message id="4111">
        <source>&amp;Verify archive...</source>
        <extracomment>IDS_MENU_FILE_VERIFY_ARCHIVE</extracomment>
        <translation>&amp;Проверить архив...</translation>
    </message>
    <message id="4120">
        <source>Verifying archive</source>
        <extracomment>IDS_DLG_VERIFY_CAPTION</extracomment>
        <translation>Проверка архива</translation>
    </message>
    <message id="4121">
        <source>Reading file:</source>
        <extracomment>IDS_DLG_VERIFY_READING</extracomment>
        <translation>Чтение файла:</translation>
    </message>
    <message id="4122">
        <source>Reading the manifest...</source>
        <extracomment>IDS_DLG_VERIFY_FILE_NAME</extracomment>
        <translation>Чтение манифеста...</translation>
    </message>
    <message id="4123">
        <source>Cancel</source>
        <extracomment>IDS_DLG_VERIFY_CANCEL</extracomment>
        <translation>Отмена</translation>
    </message>
    <message id="4130">
        <source>Archive check</source>
        <extracomment>IDS_VERIFY_RESULT_CAPTION</extracomment>
        <translation>Проверка архива</translation>
    </message>
    <message id="4131">
        <source>Folder: %1</source>
        <extracomment>IDS_VERIFY_FOLDER</extracomment>
        <translation>Папка: %1</translation>
    </message>
    <message id="4132">
        <source>All %1 files match the manifest.</source>
        <extracomment>IDS_VERIFY_ALL_MATCH</extracomment>
        <translation>Все файлы (%1) совпадают с манифестом.</translation>
    </message>
    <message id="4133">
        <source>%1 of %2 files match the manifest. Differences:</source>
        <extracomment>IDS_VERIFY_SOME_DIFFER</extracomment>
        <translation>С манифестом совпадают %1 из %2 файлов. Различия:</translation>
    </message>
    <message id="4134">
        <source>changed</source>
        <extracomment>IDS_VERIFY_CHANGED</extracomment>
        <translation>изменён</translation>
    </message>
    <message id="4135">
        <source>missing</source>
        <extracomment>IDS_VERIFY_MISSING</extracomment>
        <translation>отсутствует</translation>
    </message>
    <message id="4136">
        <source>added, not in the manifest</source>
        <extracomment>IDS_VERIFY_ADDED</extracomment>
        <translation>добавлен, нет в манифесте</translation>
    </message>
    <message id="4137">
        <source>cannot be read</source>
        <extracomment>IDS_VERIFY_UNREADABLE</extracomment>
        <translation>не читается</translation>
    </message>
    <message id="4138">
        <source>Journal chain: intact (%1 lines)</source>
        <extracomment>IDS_VERIFY_CHAIN_INTACT</extracomment>
        <translation>Цепочка журнала: цела (строк: %1)</translation>
    </message>
    <message id="4139">
        <source>Journal chain: broken at line %1</source>
        <extracomment>IDS_VERIFY_CHAIN_BROKEN</extracomment>
        <translation>Цепочка журнала: нарушена в строке %1</translation>
    </message>
    <message id="4140">
        <source>Journal: missing</source>
        <extracomment>IDS_VERIFY_JOURNAL_MISSING</extracomment>
        <translation>Журнал: отсутствует</translation>
    </message>
    <message id="4141">
        <source>Journal: cannot be read</source>
        <extracomment>IDS_VERIFY_JOURNAL_UNREADABLE</extracomment>
        <translation>Журнал: не читается</translation>
    </message>
    <message id="4142">
        <source>Journal head (SHA-256):</source>
        <extracomment>IDS_VERIFY_HEAD</extracomment>
        <translation>Последняя запись журнала (SHA-256):</translation>
    </message>
    <message id="4143">
        <source>The manifest SHA256SUMS cannot be read: no file was checked.</source>
        <extracomment>IDS_VERIFY_MANIFEST_UNREADABLE</extracomment>
        <translation>Манифест SHA256SUMS не читается: ни один файл не проверен.</translation>
    </message>
    <message id="4144">
        <source>Malformed lines in the manifest: %1</source>
        <extracomment>IDS_VERIFY_MANIFEST_BAD_LINES</extracomment>
        <translation>Ошибочных строк в манифесте: %1</translation>
    </message>
    <message id="4145">
        <source>Close</source>
        <extracomment>IDS_VERIFY_CLOSE</extracomment>
        <translation>Закрыть</translation>
    </message>
    <message id="4146">
        <source>The archive folder does not exist: nothing was checked.</source>
        <extracomment>IDS_VERIFY_NO_FOLDER</extracomment>
        <translation>Папка архива не существует: ничего не проверено.</translation>
    </message>
    <message id="32783">
        <source>Selects all elements on the list
Selects all elements on the list</source>
        <extracomment>IDS_CMD_SELECT_ALL</extracomment>
        <translation>Выделение всех элементов списка
Выделить все элементы списка</translation>
    </message>
    <message id="32784">
        <source>Deselects all the elements on the list
Deselects all the elements on the list</source>
        <extracomment>IDS_CMD_DESELECT_ALL</extracomment>
        <translation>Снятие выделения со всех элементов списка
Снять выделение со всех элементов списка</translation>
    </message>
    <message id="32789">
        <source>Forces a recorder to save archive data from internal memory to a storage card
Forces a recorder to save archive data from internal memory to a storage card</source>
        <extracomment>IDS_CMD_UPDATE_DATA</extracomment>
        <translation>Принудительное сохранение архивных данных из внутренней памяти регистратора на карту памяти
Принудительно сохранить архивные данные из внутренней памяти регистратора на карту памяти</translation>
    </message>
    <message id="57344">
        <source>OrvoConnect</source>
        <extracomment>IDS_APP_TITLE</extracomment>
        <translation>OrvoConnect</translation>
    </message>
    <message id="57345">
        <source>Ready</source>
        <extracomment>IDS_READY</extracomment>
        <translation>Готово</translation>
    </message>
    <message id="57664">
        <source>Display program information, version number and copyright
About</source>
        <extracomment>IDS_CMD_ABOUT</extracomment>
        <translation>Вывод сведений о программе, номере версии и авторских правах
О программе</translation>
    </message>
    <message id="57665">
        <source>Quit the application; prompts to save documents
Exit</source>
        <extracomment>IDS_CMD_EXIT</extracomment>
        <translation>Завершение работы приложения с запросом на сохранение документов
Выход</translation>
    </message>
    <message id="59392">
        <source>Show or hide the toolbar
Toggle ToolBar</source>
        <extracomment>IDS_CMD_TOGGLE_TOOLBAR</extracomment>
        <translation>Показ или скрытие панели инструментов
Показать или скрыть панель инструментов</translation>
    </message>
    <message id="59393">
        <source>Show or hide the status bar
Toggle StatusBar</source>
        <extracomment>IDS_CMD_TOGGLE_STATUSBAR</extracomment>
        <translation>Показ или скрытие строки состояния
Показать или скрыть строку состояния</translation>
    </message>
</context>
</TS>
