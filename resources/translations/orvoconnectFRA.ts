<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR" sourcelanguage="en_US">
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
        <translation>Nom du fichier</translation>
    </message>
    <message id="130">
        <source>Recorder information:</source>
        <extracomment>IDS_RECORDER_INFORMATION</extracomment>
        <translation>Informations sur l'enregistreur :</translation>
    </message>
    <message id="131">
        <source>Date</source>
        <extracomment>IDS_COL_DATE</extracomment>
        <translation>Date</translation>
    </message>
    <message id="132">
        <source>Size</source>
        <extracomment>IDS_COL_SIZE</extracomment>
        <translation>Taille</translation>
    </message>
    <message id="151">
        <source>Download selected files from recorder to your hard driver
Get selected files</source>
        <extracomment>IDS_CMD_GET_FILES</extracomment>
        <translation>Récupère les fichiers sélectionnés de l'enregistreur sur votre disque dur
Récupérer les fichiers sélectionnés</translation>
    </message>
    <message id="152">
        <source>Uploads a file from your computer to recorder
Upload a file</source>
        <extracomment>IDS_CMD_UPLOAD</extracomment>
        <translation>Envoie un fichier de votre ordinateur vers l'enregistreur
Envoyer un fichier</translation>
    </message>
    <message id="153">
        <source>Deletes selected file(s) from recorder
Delete selected file(s)</source>
        <extracomment>IDS_CMD_DELETE</extracomment>
        <translation>Supprime de l'enregistreur le ou les fichiers sélectionnés
Supprimer les fichiers sélectionnés</translation>
    </message>
    <message id="154">
        <source>Refresh all views
Refresh views</source>
        <extracomment>IDS_CMD_REFRESH</extracomment>
        <translation>Actualise tous les affichages
Actualiser l'affichage</translation>
    </message>
    <message id="160">
        <source>Recorder is connected</source>
        <extracomment>IDS_RECORDER_CONNECTED</extracomment>
        <translation>L'enregistreur est connecté</translation>
    </message>
    <message id="162">
        <source>Recorder has been disconnected</source>
        <extracomment>IDS_RECORDER_DISCONNECTED</extracomment>
        <translation>L'enregistreur a été déconnecté</translation>
    </message>
    <message id="163">
        <source>Recorder is not connected</source>
        <extracomment>IDS_RECORDER_NOT_CONNECTED</extracomment>
        <translation>L'enregistreur n'est pas connecté</translation>
    </message>
    <message id="164">
        <source>Error: Notification failed (error code: 102)</source>
        <extracomment>IDS_NOTIFICATION_FAILED</extracomment>
        <translation>Erreur : échec de la notification (code d'erreur : 102)</translation>
    </message>
    <message id="165">
        <source>Error: Communication failed (error code: 103)</source>
        <extracomment>IDS_COMM_FAILED</extracomment>
        <translation>Erreur : échec de la communication (code d'erreur : 103)</translation>
    </message>
    <message id="167">
        <source>Receiving device info...</source>
        <extracomment>IDS_RECEIVING_DEVICE_INFO</extracomment>
        <translation>Réception des informations sur l'appareil...</translation>
    </message>
    <message id="168">
        <source>No files has been selected on the list. 
You have to check one file at least.</source>
        <extracomment>IDS_NO_FILES_SELECTED</extracomment>
        <translation>Aucun fichier n'est sélectionné dans la liste.
Vous devez cocher au moins un fichier.</translation>
    </message>
    <message id="169">
        <source>Receiving files list...</source>
        <extracomment>IDS_RECEIVING_FILES_LIST</extracomment>
        <translation>Réception de la liste des fichiers...</translation>
    </message>
    <message id="170">
        <source>Receiving CompactFlash information...</source>
        <extracomment>IDS_RECEIVING_CF_INFO</extracomment>
        <translation>Réception des informations sur la carte CompactFlash...</translation>
    </message>
    <message id="171">
        <source>Close</source>
        <extracomment>IDS_CLOSE</extracomment>
        <translation>Fermer</translation>
    </message>
    <message id="172">
        <source>Do you really want to delete the selected file(s)? 
Warning: They will be removed permanently from the storage card.</source>
        <extracomment>IDS_CONFIRM_DELETE</extracomment>
        <translation>Voulez-vous vraiment supprimer le ou les fichiers sélectionnés ?
Attention : ils seront définitivement effacés de la carte mémoire.</translation>
    </message>
    <message id="173">
        <source>Please wait, files deletion in progress...</source>
        <extracomment>IDS_DELETING</extracomment>
        <translation>Veuillez patienter, suppression des fichiers en cours...</translation>
    </message>
    <message id="174">
        <source>File %s NOT deleted</source>
        <extracomment>IDS_FILE_NOT_DELETED</extracomment>
        <translation>Fichier %s NON supprimé</translation>
    </message>
    <message id="175">
        <source>File %s deleted</source>
        <extracomment>IDS_FILE_DELETED</extracomment>
        <translation>Fichier %s supprimé</translation>
    </message>
    <message id="176">
        <source>Communication aborded</source>
        <extracomment>IDS_COMM_ABORTED</extracomment>
        <translation>Communication interrompue</translation>
    </message>
    <message id="177">
        <source>Please select a destination folder:</source>
        <extracomment>IDS_SELECT_DEST_FOLDER</extracomment>
        <translation>Sélectionnez un dossier de destination :</translation>
    </message>
    <message id="178">
        <source>The specified path does not exist</source>
        <extracomment>IDS_PATH_NOT_EXIST</extracomment>
        <translation>Le chemin spécifié n'existe pas</translation>
    </message>
    <message id="179">
        <source>IO Error on the host (creating/writing file error). 
Please, make sure there is enough free space in the destination folder.</source>
        <extracomment>IDS_HOST_IO_ERROR</extracomment>
        <translation>Erreur d'E/S sur l'ordinateur (erreur de création ou d'écriture du fichier).
Vérifiez que le dossier de destination dispose de suffisamment d'espace libre.</translation>
    </message>
    <message id="180">
        <source>The device stopped transmission</source>
        <extracomment>IDS_DEVICE_STOPPED</extracomment>
        <translation>L'appareil a interrompu la transmission</translation>
    </message>
    <message id="181">
        <source>User aborded operation</source>
        <extracomment>IDS_USER_ABORTED</extracomment>
        <translation>Opération annulée par l'utilisateur</translation>
    </message>
    <message id="182">
        <source>Operation completed</source>
        <extracomment>IDS_OPERATION_COMPLETED</extracomment>
        <translation>Opération terminée</translation>
    </message>
    <message id="183">
        <source>The file exist on the device. Do you want to overwrite it?</source>
        <extracomment>IDS_OVERWRITE_ON_DEVICE</extracomment>
        <translation>Le fichier existe déjà sur l'appareil. Voulez-vous le remplacer ?</translation>
    </message>
    <message id="184">
        <source>All</source>
        <extracomment>IDS_FILTER_ALL</extracomment>
        <translation>Tous les fichiers</translation>
    </message>
    <message id="185">
        <source>System images</source>
        <extracomment>IDS_FILTER_SYSTEM_IMAGES</extracomment>
        <translation>Images système</translation>
    </message>
    <message id="186">
        <source>General error (code: 987)</source>
        <extracomment>IDS_GENERAL_ERROR</extracomment>
        <translation>Erreur générale (code : 987)</translation>
    </message>
    <message id="187">
        <source>Device error: no enough free space on the storage card</source>
        <extracomment>IDS_CARD_FULL</extracomment>
        <translation>Erreur de l'appareil : espace libre insuffisant sur la carte mémoire</translation>
    </message>
    <message id="188">
        <source>Device error: no CompactFlash card in the recorder!</source>
        <extracomment>IDS_NO_CARD</extracomment>
        <translation>Erreur de l'appareil : aucune carte CompactFlash dans l'enregistreur !</translation>
    </message>
    <message id="190">
        <source>Operation (delete files) was not completed successful</source>
        <extracomment>IDS_DELETE_NOT_COMPLETED</extracomment>
        <translation>L'opération (suppression de fichiers) ne s'est pas terminée correctement</translation>
    </message>
    <message id="191">
        <source>Default</source>
        <extracomment>IDS_LANGUAGE_DEFAULT</extracomment>
        <translation>Par défaut</translation>
    </message>
    <message id="240">
        <source>These files cannot be downloaded into this folder:</source>
        <extracomment>IDS_DOWNLOADS_REFUSED</extracomment>
        <translation>Ces fichiers ne peuvent pas être téléchargés dans ce dossier :</translation>
    </message>
    <message id="241">
        <source>its name could lead outside the folder</source>
        <extracomment>IDS_REASON_UNSAFE_NAME</extracomment>
        <translation>son nom pourrait mener hors du dossier</translation>
    </message>
    <message id="242">
        <source>its name cannot be written on this computer</source>
        <extracomment>IDS_REASON_NOT_ENCODABLE</extracomment>
        <translation>son nom ne peut pas être écrit sur cet ordinateur</translation>
    </message>
    <message id="243">
        <source>another file of this download has the same name</source>
        <extracomment>IDS_REASON_NAME_COLLISION</extracomment>
        <translation>un autre fichier de ce téléchargement porte le même nom</translation>
    </message>
    <message id="244">
        <source>its name is too long for this folder</source>
        <extracomment>IDS_REASON_NAME_TOO_LONG</extracomment>
        <translation>son nom est trop long pour ce dossier</translation>
    </message>
    <message id="245">
        <source>the folder holds a symbolic link of that name</source>
        <extracomment>IDS_REASON_SYMBOLIC_LINK</extracomment>
        <translation>le dossier contient un lien symbolique de ce nom</translation>
    </message>
    <message id="246">
        <source>the folder holds a folder or a special file of that name</source>
        <extracomment>IDS_REASON_NOT_A_FILE</extracomment>
        <translation>le dossier contient un dossier ou un fichier spécial de ce nom</translation>
    </message>
    <message id="247">
        <source>its name is kept for this program's own files</source>
        <extracomment>IDS_REASON_RESERVED_NAME</extracomment>
        <translation>son nom est réservé aux fichiers de ce programme</translation>
    </message>
    <message id="248">
        <source>a file of that name is already in the folder</source>
        <extracomment>IDS_REASON_ALREADY_EXISTS</extracomment>
        <translation>un fichier de ce nom se trouve déjà dans le dossier</translation>
    </message>
    <message id="339">
        <source>Get files</source>
        <extracomment>IDS_TOOLBAR_GET_FILES</extracomment>
        <translation>Récupérer</translation>
    </message>
    <message id="340">
        <source>Upload</source>
        <extracomment>IDS_TOOLBAR_UPLOAD</extracomment>
        <translation>Envoyer</translation>
    </message>
    <message id="341">
        <source>Refresh</source>
        <extracomment>IDS_TOOLBAR_REFRESH</extracomment>
        <translation>Actualiser</translation>
    </message>
    <message id="342">
        <source>Delete</source>
        <extracomment>IDS_TOOLBAR_DELETE</extracomment>
        <translation>Supprimer</translation>
    </message>
    <message id="343">
        <source>Update data</source>
        <extracomment>IDS_TOOLBAR_UPDATE_DATA</extracomment>
        <translation>Mettre à jour</translation>
    </message>
    <message id="344">
        <source>$Separator</source>
        <extracomment>IDS_TOOLBAR_SEPARATOR_1</extracomment>
        <translation>$Separator</translation>
    </message>
    <message id="345">
        <source>Select all</source>
        <extracomment>IDS_TOOLBAR_SELECT_ALL</extracomment>
        <translation>Tout sélectionner</translation>
    </message>
    <message id="346">
        <source>Deselect all</source>
        <extracomment>IDS_TOOLBAR_DESELECT_ALL</extracomment>
        <translation>Tout désélectionner</translation>
    </message>
    <message id="347">
        <source>$Separator</source>
        <extracomment>IDS_TOOLBAR_SEPARATOR_2</extracomment>
        <translation>$Separator</translation>
    </message>
    <message id="348">
        <source>About</source>
        <extracomment>IDS_TOOLBAR_ABOUT</extracomment>
        <translation>À propos</translation>
    </message>
    <message id="1000">
        <source>Communicating with a device</source>
        <extracomment>IDS_DLG_INITDEVICE_CAPTION</extracomment>
        <translation>Communication avec l'appareil</translation>
    </message>
    <message id="1001">
        <source>Please wait...</source>
        <extracomment>IDS_DLG_INITDEVICE_PLEASE_WAIT</extracomment>
        <translation>Veuillez patienter...</translation>
    </message>
    <message id="1002">
        <source>msg</source>
        <extracomment>IDS_DLG_INITDEVICE_MSG</extracomment>
        <translation>msg</translation>
    </message>
    <message id="1003">
        <source>Cancel</source>
        <extracomment>IDS_DLG_INITDEVICE_CANCEL</extracomment>
        <translation>Annuler</translation>
    </message>
    <message id="1010">
        <source>Downloading files from recorder</source>
        <extracomment>IDS_DLG_GETFILE_CAPTION</extracomment>
        <translation>Récupération des fichiers de l'enregistreur</translation>
    </message>
    <message id="1011">
        <source>Receiving file:</source>
        <extracomment>IDS_DLG_GETFILE_RECEIVING</extracomment>
        <translation>Réception du fichier :</translation>
    </message>
    <message id="1012">
        <source>file_name</source>
        <extracomment>IDS_DLG_GETFILE_FILE_NAME</extracomment>
        <translation>file_name</translation>
    </message>
    <message id="1013">
        <source>Cancel</source>
        <extracomment>IDS_DLG_GETFILE_CANCEL</extracomment>
        <translation>Annuler</translation>
    </message>
    <message id="1020">
        <source>Upload file to recorder</source>
        <extracomment>IDS_DLG_UPLOADFILE_CAPTION</extracomment>
        <translation>Envoi d'un fichier vers l'enregistreur</translation>
    </message>
    <message id="1021">
        <source>Uploading file:</source>
        <extracomment>IDS_DLG_UPLOADFILE_UPLOADING</extracomment>
        <translation>Envoi du fichier :</translation>
    </message>
    <message id="1022">
        <source>file_name</source>
        <extracomment>IDS_DLG_UPLOADFILE_FILE_NAME</extracomment>
        <translation>file_name</translation>
    </message>
    <message id="1023">
        <source>Cancel</source>
        <extracomment>IDS_DLG_UPLOADFILE_CANCEL</extracomment>
        <translation>Annuler</translation>
    </message>
    <message id="1030">
        <source>File manager</source>
        <extracomment>IDS_DLG_DELFILES_CAPTION</extracomment>
        <translation>Gestionnaire de fichiers</translation>
    </message>
    <message id="1031">
        <source>Please wait...</source>
        <extracomment>IDS_DLG_DELFILES_PLEASE_WAIT</extracomment>
        <translation>Veuillez patienter...</translation>
    </message>
    <message id="1032">
        <source>Cancel</source>
        <extracomment>IDS_DLG_DELFILES_CANCEL</extracomment>
        <translation>Annuler</translation>
    </message>
    <message id="1040">
        <source>Carrying out the command</source>
        <extracomment>IDS_DLG_UPDATECF_CAPTION</extracomment>
        <translation>Exécution de la commande</translation>
    </message>
    <message id="1041">
        <source>Please wait...</source>
        <extracomment>IDS_DLG_UPDATECF_PLEASE_WAIT</extracomment>
        <translation>Veuillez patienter...</translation>
    </message>
    <message id="1050">
        <source>Save files to...</source>
        <extracomment>IDS_DLG_SAVETO_CAPTION</extracomment>
        <translation>Enregistrer les fichiers dans...</translation>
    </message>
    <message id="1051">
        <source>Save to:</source>
        <extracomment>IDS_DLG_SAVETO_LABEL</extracomment>
        <translation>Enregistrer dans :</translation>
    </message>
    <message id="1052">
        <source>Browse...</source>
        <extracomment>IDS_DLG_SAVETO_BROWSE</extracomment>
        <translation>Parcourir...</translation>
    </message>
    <message id="1053">
        <source>OK</source>
        <extracomment>IDS_DLG_SAVETO_OK</extracomment>
        <translation>OK</translation>
    </message>
    <message id="1054">
        <source>Cancel</source>
        <extracomment>IDS_DLG_SAVETO_CANCEL</extracomment>
        <translation>Annuler</translation>
    </message>
    <message id="1060">
        <source>Question</source>
        <extracomment>IDS_DLG_OVERWRITE_CAPTION</extracomment>
        <translation>Question</translation>
    </message>
    <message id="1061">
        <source>The following files exist in the destination path. Do you want to overwrite them?</source>
        <extracomment>IDS_DLG_OVERWRITE_TEXT</extracomment>
        <translation>Les fichiers suivants existent déjà dans le dossier de destination. Voulez-vous les remplacer ?</translation>
    </message>
    <message id="1062">
        <source>OK</source>
        <extracomment>IDS_DLG_OVERWRITE_OK</extracomment>
        <translation>OK</translation>
    </message>
    <message id="1063">
        <source>Cancel</source>
        <extracomment>IDS_DLG_OVERWRITE_CANCEL</extracomment>
        <translation>Annuler</translation>
    </message>
    <message id="1070">
        <source>Options</source>
        <extracomment>IDS_DLG_OPTIONS_CAPTION</extracomment>
        <translation>Options</translation>
    </message>
    <message id="1071">
        <source>Language:</source>
        <extracomment>IDS_DLG_OPTIONS_LANGUAGE</extracomment>
        <translation>Langue :</translation>
    </message>
    <message id="1072">
        <source>Attention: Change of language version will be accepted after the restart of program.</source>
        <extracomment>IDS_DLG_OPTIONS_NOTE</extracomment>
        <translation>Attention : le changement de langue prendra effet au prochain démarrage du programme.</translation>
    </message>
    <message id="1073">
        <source>OK</source>
        <extracomment>IDS_DLG_OPTIONS_OK</extracomment>
        <translation>OK</translation>
    </message>
    <message id="1074">
        <source>Cancel</source>
        <extracomment>IDS_DLG_OPTIONS_CANCEL</extracomment>
        <translation>Annuler</translation>
    </message>
    <message id="1080">
        <source>About OrvoConnect</source>
        <extracomment>IDS_DLG_ABOUT_CAPTION</extracomment>
        <translation>À propos d'OrvoConnect</translation>
    </message>
    <message id="1081">
        <source>Orvo Connect Version 2.2</source>
        <extracomment>IDS_DLG_ABOUT_VERSION</extracomment>
        <translation>Orvo Connect version 2.2</translation>
    </message>
    <message id="1082">
        <source>Copyright © Haldrin</source>
        <extracomment>IDS_DLG_ABOUT_MAKER</extracomment>
        <translation>Copyright © Haldrin</translation>
    </message>
    <message id="1083">
        <source>OK</source>
        <extracomment>IDS_DLG_ABOUT_OK</extracomment>
        <translation>OK</translation>
    </message>
    <message id="1090">
        <source>OK</source>
        <extracomment>IDS_MSGBOX_OK</extracomment>
        <translation>OK</translation>
    </message>
    <message id="1091">
        <source>Cancel</source>
        <extracomment>IDS_MSGBOX_CANCEL</extracomment>
        <translation>Annuler</translation>
    </message>
    <message id="2000">
        <source>&amp;File</source>
        <extracomment>IDS_MENU_FILE</extracomment>
        <translation>&amp;Fichier</translation>
    </message>
    <message id="2001">
        <source>Get selected files...</source>
        <extracomment>IDS_MENU_FILE_GET_FILES</extracomment>
        <translation>Récupérer les fichiers sélectionnés...</translation>
    </message>
    <message id="2002">
        <source>Upload file...</source>
        <extracomment>IDS_MENU_FILE_UPLOAD</extracomment>
        <translation>Envoyer un fichier...</translation>
    </message>
    <message id="2003">
        <source>Delete selected files</source>
        <extracomment>IDS_MENU_FILE_DELETE</extracomment>
        <translation>Supprimer les fichiers sélectionnés</translation>
    </message>
    <message id="2004">
        <source>Refresh view</source>
        <extracomment>IDS_MENU_FILE_REFRESH</extracomment>
        <translation>Actualiser l'affichage</translation>
    </message>
    <message id="2005">
        <source>Update data</source>
        <extracomment>IDS_MENU_FILE_UPDATE_DATA</extracomment>
        <translation>Mettre à jour les données</translation>
    </message>
    <message id="2006">
        <source>E&amp;xit</source>
        <extracomment>IDS_MENU_FILE_EXIT</extracomment>
        <translation>&amp;Quitter</translation>
    </message>
    <message id="2010">
        <source>&amp;View</source>
        <extracomment>IDS_MENU_VIEW</extracomment>
        <translation>&amp;Affichage</translation>
    </message>
    <message id="2011">
        <source>&amp;Toolbar</source>
        <extracomment>IDS_MENU_VIEW_TOOLBAR</extracomment>
        <translation>&amp;Barre d'outils</translation>
    </message>
    <message id="2012">
        <source>&amp;Status Bar</source>
        <extracomment>IDS_MENU_VIEW_STATUS_BAR</extracomment>
        <translation>Barre d'&amp;état</translation>
    </message>
    <message id="2013">
        <source>S&amp;elect all</source>
        <extracomment>IDS_MENU_VIEW_SELECT_ALL</extracomment>
        <translation>&amp;Tout sélectionner</translation>
    </message>
    <message id="2014">
        <source>&amp;Deselect all</source>
        <extracomment>IDS_MENU_VIEW_DESELECT_ALL</extracomment>
        <translation>Tout &amp;désélectionner</translation>
    </message>
    <message id="2020">
        <source>Options</source>
        <extracomment>IDS_MENU_OPTIONS</extracomment>
        <translation>Options</translation>
    </message>
    <message id="2021">
        <source>Settings...</source>
        <extracomment>IDS_MENU_OPTIONS_SETTINGS</extracomment>
        <translation>Paramètres...</translation>
    </message>
    <message id="2030">
        <source>&amp;Help</source>
        <extracomment>IDS_MENU_HELP</extracomment>
        <translation>A&amp;ide</translation>
    </message>
    <message id="2031">
        <source>&amp;About OrvoConnect...</source>
        <extracomment>IDS_MENU_HELP_ABOUT</extracomment>
        <translation>À &amp;propos d'OrvoConnect...</translation>
    </message>
    <message id="3000">
        <source>USB is not available on this system: %1.</source>
        <extracomment>IDS_LINK_USB_UNAVAILABLE</extracomment>
        <translation>USB n'est pas disponible sur ce système : %1.</translation>
    </message>
    <message id="3001">
        <source>No USB ids are configured for the recorder. Set ORVOCONNECT_USB_IDS=VVVV:PPPP in the environment or UsbIds=VVVV:PPPP in %1. The command "orvoconnect-cli usb-scan" lists the devices that may be the recorder, and "orvoconnect-cli udev-rule --install" grants you access to it.</source>
        <extracomment>IDS_LINK_NO_USB_IDS</extracomment>
        <translation>Aucun identifiant USB n'est configuré pour l'enregistreur. Définissez ORVOCONNECT_USB_IDS=VVVV:PPPP dans l'environnement ou UsbIds=VVVV:PPPP dans %1. La commande « orvoconnect-cli usb-scan » liste les périphériques qui peuvent être l'enregistreur, et « orvoconnect-cli udev-rule --install » vous en donne l'accès.</translation>
    </message>
    <message id="3002">
        <source>The USB ids in %1 cannot be read: "%2" is not a vendor:product pair (hexadecimal, for example 1234:5678).</source>
        <extracomment>IDS_LINK_UNREADABLE_USB_IDS</extracomment>
        <translation>Les identifiants USB de %1 sont illisibles : « %2 » n'est pas une paire fabricant:produit (hexadécimale, par exemple 1234:5678).</translation>
    </message>
    <message id="3003">
        <source>Permission denied on the USB device %1: the udev rule that grants access is missing. Install it with the command "orvoconnect-cli udev-rule --install", then plug the recorder in again.</source>
        <extracomment>IDS_LINK_ACCESS_DENIED</extracomment>
        <translation>Accès refusé au périphérique USB %1 : la règle udev qui en donne l'accès est absente. Installez-la avec la commande « orvoconnect-cli udev-rule --install », puis rebranchez l'enregistreur.</translation>
    </message>
    <message id="3004">
        <source>The USB device %1 is busy: another program holds its interface %2. Close that program and try again.</source>
        <extracomment>IDS_LINK_DEVICE_BUSY</extracomment>
        <translation>Le périphérique USB %1 est occupé : un autre programme tient son interface %2. Fermez ce programme et réessayez.</translation>
    </message>
    <message id="3005">
        <source>The USB device %1 went away while it was being opened.</source>
        <extracomment>IDS_LINK_DEVICE_GONE</extracomment>
        <translation>Le périphérique USB %1 a disparu pendant son ouverture.</translation>
    </message>
    <message id="3006">
        <source>Cannot open the USB device %1: %2.</source>
        <extracomment>IDS_LINK_OPEN_FAILED</extracomment>
        <translation>Impossible d'ouvrir le périphérique USB %1 : %2.</translation>
    </message>
    <message id="3007">
        <source>The USB device %1 has no interface with one bulk IN and one bulk OUT endpoint.</source>
        <extracomment>IDS_LINK_NO_BULK_INTERFACE</extracomment>
        <translation>Le périphérique USB %1 n'a pas d'interface avec un point de terminaison bulk IN et un bulk OUT.</translation>
    </message>
    <message id="3008">
        <source>The recorder chosen in the Device setting (%1) is not attached. Attached recorders (port and serial number): %2.</source>
        <extracomment>IDS_LINK_CHOSEN_DEVICE_ABSENT</extracomment>
        <translation>L'enregistreur choisi dans le réglage Device (%1) n'est pas branché. Enregistreurs branchés (port et numéro de série) : %2.</translation>
    </message>
    <message id="3009">
        <source>The recorder chosen in the Device setting (%1) is not attached, nor is any other.</source>
        <extracomment>IDS_LINK_CHOSEN_DEVICE_ALONE_ABSENT</extracomment>
        <translation>L'enregistreur choisi dans le réglage Device (%1) n'est pas branché, ni aucun autre.</translation>
    </message>
    <message id="4000">
        <source>Archive the card's new files into the archive folder
Archive new files</source>
        <extracomment>IDS_CMD_ARCHIVE</extracomment>
        <translation>Archive les nouveaux fichiers de la carte dans le dossier d'archive
Archiver les nouveaux fichiers</translation>
    </message>
    <message id="4001">
        <source>Archive new files...</source>
        <extracomment>IDS_MENU_FILE_ARCHIVE</extracomment>
        <translation>Archiver les nouveaux fichiers...</translation>
    </message>
    <message id="4002">
        <source>Archive new files</source>
        <extracomment>IDS_DLG_ARCHIVESTART_CAPTION</extracomment>
        <translation>Archiver les nouveaux fichiers</translation>
    </message>
    <message id="4003">
        <source>Archive folder:</source>
        <extracomment>IDS_DLG_ARCHIVESTART_FOLDER</extracomment>
        <translation>Dossier d'archive :</translation>
    </message>
    <message id="4004">
        <source>Browse...</source>
        <extracomment>IDS_DLG_ARCHIVESTART_BROWSE</extracomment>
        <translation>Parcourir...</translation>
    </message>
    <message id="4005">
        <source>Delete the archived files from the card</source>
        <extracomment>IDS_DLG_ARCHIVESTART_DELETE</extracomment>
        <translation>Supprimer de la carte les fichiers archivés</translation>
    </message>
    <message id="4006">
        <source>Start</source>
        <extracomment>IDS_DLG_ARCHIVESTART_START</extracomment>
        <translation>Démarrer</translation>
    </message>
    <message id="4007">
        <source>Cancel</source>
        <extracomment>IDS_DLG_ARCHIVESTART_CANCEL</extracomment>
        <translation>Annuler</translation>
    </message>
    <message id="4008">
        <source>Select the archive folder</source>
        <extracomment>IDS_ARCHIVE_SELECT_FOLDER</extracomment>
        <translation>Choisissez le dossier d'archive</translation>
    </message>
    <message id="4009">
        <source>Each file this run archives will be deleted from the card once its copy in the archive folder has been read back.
Archive and delete?</source>
        <extracomment>IDS_ARCHIVE_CONFIRM_DELETE</extracomment>
        <translation>Chaque fichier archivé par cette opération sera supprimé de la carte dès que sa copie dans le dossier d'archive aura été relue.
Archiver et supprimer ?</translation>
    </message>
    <message id="4010">
        <source>Yes</source>
        <extracomment>IDS_MSGBOX_YES</extracomment>
        <translation>Oui</translation>
    </message>
    <message id="4011">
        <source>No</source>
        <extracomment>IDS_MSGBOX_NO</extracomment>
        <translation>Non</translation>
    </message>
    <message id="4012">
        <source>Please enter the archive folder.</source>
        <extracomment>IDS_ARCHIVE_FOLDER_EMPTY</extracomment>
        <translation>Veuillez indiquer le dossier d'archive.</translation>
    </message>
    <message id="4013">
        <source>Archiving new files</source>
        <extracomment>IDS_DLG_ARCHIVE_CAPTION</extracomment>
        <translation>Archivage des nouveaux fichiers</translation>
    </message>
    <message id="4014">
        <source>Archiving file:</source>
        <extracomment>IDS_DLG_ARCHIVE_RECEIVING</extracomment>
        <translation>Archivage du fichier :</translation>
    </message>
    <message id="4015">
        <source>Reading the card...</source>
        <extracomment>IDS_DLG_ARCHIVE_READING</extracomment>
        <translation>Lecture de la carte...</translation>
    </message>
    <message id="4016">
        <source>Cancel</source>
        <extracomment>IDS_DLG_ARCHIVE_CANCEL</extracomment>
        <translation>Annuler</translation>
    </message>
    <message id="4017">
        <source>%1 MB/s</source>
        <extracomment>IDS_ARCHIVE_SPEED</extracomment>
        <translation>%1 Mo/s</translation>
    </message>
    <message id="4018">
        <source>Waiting for another archive run into this folder to end...</source>
        <extracomment>IDS_ARCHIVE_WAITING</extracomment>
        <translation>En attente de la fin d'un autre archivage dans ce dossier...</translation>
    </message>
    <message id="4019">
        <source>The archive run has finished.</source>
        <extracomment>IDS_ARCHIVE_DONE</extracomment>
        <translation>L'archivage est terminé.</translation>
    </message>
    <message id="4020">
        <source>The archive run was cancelled.</source>
        <extracomment>IDS_ARCHIVE_CANCELLED</extracomment>
        <translation>L'archivage a été annulé.</translation>
    </message>
    <message id="4021">
        <source>The archive run ended before it was complete.</source>
        <extracomment>IDS_ARCHIVE_INCOMPLETE</extracomment>
        <translation>L'archivage s'est arrêté avant la fin.</translation>
    </message>
    <message id="4022">
        <source>Archive folder: %1</source>
        <extracomment>IDS_ARCHIVE_SUMMARY_FOLDER</extracomment>
        <translation>Dossier d'archive : %1</translation>
    </message>
    <message id="4023">
        <source>Downloaded: %1</source>
        <extracomment>IDS_ARCHIVE_SUMMARY_DOWNLOADED</extracomment>
        <translation>Téléchargés : %1</translation>
    </message>
    <message id="4024">
        <source>Kept beside an older version: %1</source>
        <extracomment>IDS_ARCHIVE_SUMMARY_KEPT_BESIDE</extracomment>
        <translation>Conservés à côté d'une version antérieure : %1</translation>
    </message>
    <message id="4025">
        <source>Already archived: %1</source>
        <extracomment>IDS_ARCHIVE_SUMMARY_ALREADY</extracomment>
        <translation>Déjà archivés : %1</translation>
    </message>
    <message id="4026">
        <source>Failed: %1</source>
        <extracomment>IDS_ARCHIVE_SUMMARY_FAILED</extracomment>
        <translation>En échec : %1</translation>
    </message>
    <message id="4027">
        <source>Deleted from the card: %1</source>
        <extracomment>IDS_ARCHIVE_SUMMARY_DELETED</extracomment>
        <translation>Supprimés de la carte : %1</translation>
    </message>
    <message id="4028">
        <source>These files were not archived:</source>
        <extracomment>IDS_ARCHIVE_SUMMARY_FAILURES</extracomment>
        <translation>Ces fichiers n'ont pas été archivés :</translation>
    </message>
    <message id="4029">
        <source>%1: %2</source>
        <extracomment>IDS_ARCHIVE_FAILURE_LINE</extracomment>
        <translation>%1 : %2</translation>
    </message>
    <message id="4030">
        <source>could not be archived</source>
        <extracomment>IDS_ARCHIVE_FILE_FAILED</extracomment>
        <translation>n'a pas pu être archivé</translation>
    </message>
    <message id="4031">
        <source>Open folder</source>
        <extracomment>IDS_ARCHIVE_OPEN_FOLDER</extracomment>
        <translation>Ouvrir le dossier</translation>
    </message>
    <message id="4032">
        <source>Archived as %1 on %2</source>
        <extracomment>IDS_ARCHIVE_MARK_TIP</extracomment>
        <translation>Archivé sous %1 le %2</translation>
    </message>
    <message id="4033">
        <source>The archive folder cannot be created or locked.</source>
        <extracomment>IDS_ARCHIVE_FOLDER_FAILED</extracomment>
        <translation>Le dossier d'archive ne peut être ni créé ni verrouillé.</translation>
    </message>
    <message id="4034">
        <source>The recorder did not answer.</source>
        <extracomment>IDS_ARCHIVE_CONNECTION_LOST</extracomment>
        <translation>L'enregistreur n'a pas répondu.</translation>
    </message>
    <message id="4035">
        <source>could not be written to the archive folder</source>
        <extracomment>IDS_ARCHIVE_FILE_NOT_WRITTEN</extracomment>
        <translation>n'a pas pu être écrit dans le dossier d'archive</translation>
    </message>
    <message id="4036">
        <source>the recorder refused to send it</source>
        <extracomment>IDS_ARCHIVE_FILE_NOT_SENT</extracomment>
        <translation>l'enregistreur a refusé de l'envoyer</translation>
    </message>
    <message id="4037">
        <source>the recorder stopped answering</source>
        <extracomment>IDS_ARCHIVE_FILE_NO_ANSWER</extracomment>
        <translation>l'enregistreur a cessé de répondre</translation>
    </message>
    <message id="4038">
        <source>cancelled while it was being archived</source>
        <extracomment>IDS_ARCHIVE_FILE_CANCELLED</extracomment>
        <translation>annulé pendant son archivage</translation>
    </message>
    <message id="4100">
        <source>File %1 of %2</source>
        <extracomment>IDS_RUN_FILE_OF</extracomment>
        <translation>Fichier %1 sur %2</translation>
    </message>
    <message id="4101">
        <source>%1 of %2 kB</source>
        <extracomment>IDS_RUN_KB_OF</extracomment>
        <translation>%1 sur %2 ko</translation>
    </message>
    <message id="4102">
        <source>%1 of %2 MB</source>
        <extracomment>IDS_RUN_MB_OF</extracomment>
        <translation>%1 sur %2 Mo</translation>
    </message>
    <message id="4103">
        <source>%1 s left</source>
        <extracomment>IDS_RUN_SECONDS_LEFT</extracomment>
        <translation>reste %1 s</translation>
    </message>
    <message id="4104">
        <source>%1 min left</source>
        <extracomment>IDS_RUN_MINUTES_LEFT</extracomment>
        <translation>reste %1 min</translation>
    </message>
    <message id="4105">
        <source>%1 of %2 GB</source>
        <extracomment>IDS_RUN_GB_OF</extracomment>
        <translation>%1 sur %2 Go</translation>
    </message>
    <message id="4110">
        <source>Checks every file of the archive folder against its manifest, and the journal's chain
Verify archive</source>
        <extracomment>IDS_CMD_VERIFY_ARCHIVE</extracomment>
        <translation>Contrôle chaque fichier du dossier d'archive d'après son manifeste, et la chaîne du journal
Vérifier l'archive</translation>
    </message>
    <message id="4111">
        <source>&amp;Verify archive...</source>
        <extracomment>IDS_MENU_FILE_VERIFY_ARCHIVE</extracomment>
        <translation>&amp;Vérifier l'archive...</translation>
    </message>
    <message id="4120">
        <source>Verifying archive</source>
        <extracomment>IDS_DLG_VERIFY_CAPTION</extracomment>
        <translation>Vérification de l'archive</translation>
    </message>
    <message id="4121">
        <source>Reading file:</source>
        <extracomment>IDS_DLG_VERIFY_READING</extracomment>
        <translation>Lecture du fichier :</translation>
    </message>
    <message id="4122">
        <source>Reading the manifest...</source>
        <extracomment>IDS_DLG_VERIFY_FILE_NAME</extracomment>
        <translation>Lecture du manifeste...</translation>
    </message>
    <message id="4123">
        <source>Cancel</source>
        <extracomment>IDS_DLG_VERIFY_CANCEL</extracomment>
        <translation>Annuler</translation>
    </message>
    <message id="4130">
        <source>Archive check</source>
        <extracomment>IDS_VERIFY_RESULT_CAPTION</extracomment>
        <translation>Contrôle de l'archive</translation>
    </message>
    <message id="4131">
        <source>Folder: %1</source>
        <extracomment>IDS_VERIFY_FOLDER</extracomment>
        <translation>Dossier : %1</translation>
    </message>
    <message id="4132">
        <source>All %1 files match the manifest.</source>
        <extracomment>IDS_VERIFY_ALL_MATCH</extracomment>
        <translation>Les %1 fichiers correspondent tous au manifeste.</translation>
    </message>
    <message id="4133">
        <source>%1 of %2 files match the manifest. Differences:</source>
        <extracomment>IDS_VERIFY_SOME_DIFFER</extracomment>
        <translation>%1 fichiers sur %2 correspondent au manifeste. Différences :</translation>
    </message>
    <message id="4134">
        <source>changed</source>
        <extracomment>IDS_VERIFY_CHANGED</extracomment>
        <translation>modifié</translation>
    </message>
    <message id="4135">
        <source>missing</source>
        <extracomment>IDS_VERIFY_MISSING</extracomment>
        <translation>manquant</translation>
    </message>
    <message id="4136">
        <source>added, not in the manifest</source>
        <extracomment>IDS_VERIFY_ADDED</extracomment>
        <translation>ajouté, absent du manifeste</translation>
    </message>
    <message id="4137">
        <source>cannot be read</source>
        <extracomment>IDS_VERIFY_UNREADABLE</extracomment>
        <translation>illisible</translation>
    </message>
    <message id="4138">
        <source>Journal chain: intact (%1 lines)</source>
        <extracomment>IDS_VERIFY_CHAIN_INTACT</extracomment>
        <translation>Chaîne du journal : intacte (%1 lignes)</translation>
    </message>
    <message id="4139">
        <source>Journal chain: broken at line %1</source>
        <extracomment>IDS_VERIFY_CHAIN_BROKEN</extracomment>
        <translation>Chaîne du journal : rompue à la ligne %1</translation>
    </message>
    <message id="4140">
        <source>Journal: missing</source>
        <extracomment>IDS_VERIFY_JOURNAL_MISSING</extracomment>
        <translation>Journal : manquant</translation>
    </message>
    <message id="4141">
        <source>Journal: cannot be read</source>
        <extracomment>IDS_VERIFY_JOURNAL_UNREADABLE</extracomment>
        <translation>Journal : illisible</translation>
    </message>
    <message id="4142">
        <source>Journal head (SHA-256):</source>
        <extracomment>IDS_VERIFY_HEAD</extracomment>
        <translation>Tête du journal (SHA-256) :</translation>
    </message>
    <message id="4143">
        <source>The manifest SHA256SUMS cannot be read: no file was checked.</source>
        <extracomment>IDS_VERIFY_MANIFEST_UNREADABLE</extracomment>
        <translation>Le manifeste SHA256SUMS est illisible : aucun fichier n'a été contrôlé.</translation>
    </message>
    <message id="4144">
        <source>Malformed lines in the manifest: %1</source>
        <extracomment>IDS_VERIFY_MANIFEST_BAD_LINES</extracomment>
        <translation>Lignes mal formées dans le manifeste : %1</translation>
    </message>
    <message id="4145">
        <source>Close</source>
        <extracomment>IDS_VERIFY_CLOSE</extracomment>
        <translation>Fermer</translation>
    </message>
    <message id="4146">
        <source>The archive folder does not exist: nothing was checked.</source>
        <extracomment>IDS_VERIFY_NO_FOLDER</extracomment>
        <translation>Le dossier d'archive n'existe pas : rien n'a été contrôlé.</translation>
    </message>
    <message id="32783">
        <source>Selects all elements on the list
Selects all elements on the list</source>
        <extracomment>IDS_CMD_SELECT_ALL</extracomment>
        <translation>Sélectionne tous les éléments de la liste
Sélectionner tous les éléments de la liste</translation>
    </message>
    <message id="32784">
        <source>Deselects all the elements on the list
Deselects all the elements on the list</source>
        <extracomment>IDS_CMD_DESELECT_ALL</extracomment>
        <translation>Désélectionne tous les éléments de la liste
Désélectionner tous les éléments de la liste</translation>
    </message>
    <message id="32789">
        <source>Forces a recorder to save archive data from internal memory to a storage card
Forces a recorder to save archive data from internal memory to a storage card</source>
        <extracomment>IDS_CMD_UPDATE_DATA</extracomment>
        <translation>Force l'enregistreur à enregistrer sur la carte mémoire les données d'archive de sa mémoire interne
Forcer l'enregistreur à enregistrer sur la carte mémoire les données d'archive de sa mémoire interne</translation>
    </message>
    <message id="57344">
        <source>OrvoConnect</source>
        <extracomment>IDS_APP_TITLE</extracomment>
        <translation>OrvoConnect</translation>
    </message>
    <message id="57345">
        <source>Ready</source>
        <extracomment>IDS_READY</extracomment>
        <translation>Prêt</translation>
    </message>
    <message id="57664">
        <source>Display program information, version number and copyright
About</source>
        <extracomment>IDS_CMD_ABOUT</extracomment>
        <translation>Affiche des informations sur le programme, le numéro de version et le copyright
À propos</translation>
    </message>
    <message id="57665">
        <source>Quit the application; prompts to save documents
Exit</source>
        <extracomment>IDS_CMD_EXIT</extracomment>
        <translation>Quitte l'application ; invite à enregistrer les documents
Quitter</translation>
    </message>
    <message id="59392">
        <source>Show or hide the toolbar
Toggle ToolBar</source>
        <extracomment>IDS_CMD_TOGGLE_TOOLBAR</extracomment>
        <translation>Affiche ou masque la barre d'outils
Afficher/Masquer la barre d'outils</translation>
    </message>
    <message id="59393">
        <source>Show or hide the status bar
Toggle StatusBar</source>
        <extracomment>IDS_CMD_TOGGLE_STATUSBAR</extracomment>
        <translation>Affiche ou masque la barre d'état
Afficher/Masquer la barre d'état</translation>
    </message>
</context>
</TS>
