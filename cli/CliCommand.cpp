#include "CliCommand.h"

const QList<CliCommand> &CliCommands()
{
    static const QList<CliCommand> commands = {
        {"info", "", "show the recorder's identification and card information", RunInfo},
        {"ls", "[--json]", "list the files on the card: name, date, size in bytes", RunList},
        {"get", "[--to DIR] [--overwrite | --skip-existing] (NAME... | --all)",
         "download files from the card into DIR (default: the current folder)", RunGet},
        {"sync", "[--to DIR]", "download the files missing from DIR or differing in size", RunSync},
        {"put", "[--overwrite] FILE", "upload a file to the card", RunPut},
        {"rm", "NAME...", "delete files from the card", RunRemove},
        {"save", "", "make the recorder save its archive data to the card", RunSave},
        {"usb-scan", "", "list attached USB devices that may be the recorder, with the ids to configure",
         RunUsbScan},
        {"udev-rule", "[--group NAME] [--install] [VVVV:PPPP...]",
         "print the udev rule giving the seat's user (or a group) access to the recorder; "
         "--install applies it (root)",
         RunUdevRule},
    };
    return commands;
}

const CliCommand *FindCliCommand(const QString &strName)
{
    for (const CliCommand &command : CliCommands()) {
        if (strName == QLatin1String(command.pszName))
            return &command;
    }
    return nullptr;
}
