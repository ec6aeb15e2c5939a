#include "cli/CliCommand.h"

const QList<CliCommand> &CliCommands()
{
    static const QList<CliCommand> commands = {
        {"info", "", "show the recorder's identification and card information",
         "Prints the recorder's identification text, then the card information text, as the recorder sent\n"
         "them (control characters shown as '?').",
         RunInfo},
        {"ls", "[--json | --iso]", "list the files on the card: name, date, size in bytes",
         "One line per file in the recorder's order: name, TAB, date dd/mm/yy (hh:mm:ss), TAB, size.\n"
         "  --iso   the date as YYYY-MM-DDThh:mm:ss instead\n"
         "  --json  an array of {\"name\", \"modified\", \"size\"} objects with the exact names\n"
         "Dates are the recorder's clock as it stands, without a time zone.",
         RunList},
        {"get", "[--to DIR] [--overwrite | --skip-existing] (NAME... | --all)",
         "download files from the card into DIR (default: the current folder)",
         "Every name is checked against the card's list and the destination first; nothing is downloaded\n"
         "when one is not on the card (status 4) or cannot be written (status 5). Each file appears only\n"
         "when complete and takes the card's date.\n"
         "  --to DIR         the destination folder (default: the current folder)\n"
         "  --all            every file on the card\n"
         "  --overwrite      replace files that are already there\n"
         "  --skip-existing  leave files that are already there (and symbolic links) alone",
         RunGet},
        {"archive",
         "[--to DIR] [--dry-run] [--json] [--include GLOB]... [--exclude GLOB]... [--since YYYY-MM-DD] "
         "[--save-first] [--delete-after] [--replace-changed]",
         "download what DIR does not hold yet; a changed file is kept beside the old one",
         "A card file is archived when DIR holds it, or a version \"NAME (n).EXT\", with its size and date\n"
         "(within 2 s). A file of the same size and another date is compared by content: identical, it only\n"
         "takes the card's date. A changed file is kept beside the old one as \"NAME (2).EXT\" (the next "
         "free\n"
         "number). DIR is created when missing; .orvoconnect-archive.log in it records each download,\n"
         "adoption and deletion.\n"
         "  --to DIR            the archive folder (default: the current folder)\n"
         "  --dry-run           list what would be done and change nothing\n"
         "  --json              print that list, or the summary of the run, as one JSON object\n"
         "  --include GLOB      only names matching GLOB (case-insensitive; repeatable)\n"
         "  --exclude GLOB      never names matching GLOB (case-insensitive; repeatable)\n"
         "  --since YYYY-MM-DD  only files the card dates on or after that day\n"
         "  --save-first        make the recorder save its archive data to the card first\n"
         "  --delete-after      delete from the card each file this run downloaded or proved identical\n"
         "  --replace-changed   replace a changed file instead of keeping the new version beside it\n"
         "Exit status 0 when every selected file is archived; a file's own failure is reported and the\n"
         "run goes on; a communication failure ends it.",
         RunArchive},
        {"watch", "--to DIR [--every MINUTES] [--per-recorder] [--no-notify] [archive options]",
         "archive the recorder whenever it is attached, until stopped",
         "Archives the recorder into DIR (as archive does, with the same options) when it arrives - a\n"
         "recorder attached at start counts as arriving - and, with --every, again every MINUTES while it\n"
         "stays. The recorder is held only while it is archived, so the window and the other commands can\n"
         "use it in between; one that is busy is tried again every 10 s while attached. On tcp: and sim:\n"
         "links, which announce nothing, the recorder is looked for every 10 s. Each event is logged with\n"
         "its time on standard error. SIGINT, SIGTERM or SIGHUP abandon the file in flight (no partial\n"
         "file stays) and end the watch with status 0. DIR is created when missing. A pass that archived,\n"
         "deleted or failed files is shown as a desktop notification when a notification service runs on\n"
         "the session bus. Under systemd (Type=notify) the watch reports when it is ready and its last\n"
         "event as the service's status.\n"
         "  --to DIR         the archive folder\n"
         "  --every MINUTES  archive again every MINUTES while the recorder stays attached\n"
         "  --per-recorder   serve every recorder of the configured ids, each into DIR/SERIAL/ (its port\n"
         "                   path BUS-PORT.PORT instead when the serial number is missing, cannot name a\n"
         "                   folder or is shared by two attached recorders)\n"
         "  --no-notify      no desktop notifications\n"
         "Without --per-recorder, --device or the \"Device\" setting chooses the recorder.",
         RunWatch},
        {"sync", "[--to DIR]", "the same as archive without options", "The same as: archive [--to DIR]",
         RunSync},
        {"journal", "DIR [--since YYYY-MM-DD] [--csv]",
         "print the archive journal of DIR: who archived which file from which recorder, and when",
         "One row per line of DIR/.orvoconnect-archive.log, in order: time (UTC), user, recorder, action,\n"
         "file (card name -> local name), size, card date and SHA-256; a run's start and end lines show\n"
         "its command and its summary as the file. Control characters in names are shown as '?'. The\n"
         "recorder is not opened.\n"
         "  --since YYYY-MM-DD  only lines of that day (UTC) or later\n"
         "  --csv               CSV (RFC 4180) with a header row and the texts exact, except that a cell\n"
         "                      beginning with =, +, - or @ gets a leading ' (never a spreadsheet formula)\n"
         "Status 5 when DIR holds no journal.",
         RunJournal},
        {"verify", "DIR [--quick] [--json] [--all]",
         "check the archive folder DIR against its SHA256SUMS and its journal's hash chain",
         "Reads every file SHA256SUMS names and compares its SHA-256, follows the journal's chain from its\n"
         "first line to its head, and lists each difference with a mark: \"* NAME\" changed, \"- NAME\"\n"
         "missing, \"+ NAME\" in the folder but in no line of SHA256SUMS (the journal, the lock, temporary\n"
         "files and subfolders aside), \"! NAME\" cannot be read; then \"journal line N: ...\" for each\n"
         "break of the chain, the counts, the chain's state and \"journal head: HASH\" (note it elsewhere\n"
         "to pin the journal's end). Control characters in names are shown as '?'. The recorder is not\n"
         "opened.\n"
         "  --quick  compare each file's size and date (within 2 s) with the journal's last record of it\n"
         "           instead of reading it; a file the journal does not describe is read\n"
         "  --json   one JSON object: folder, counts, differences, chain and journal_head\n"
         "  --all    list the matching files too, as \"= NAME\"\n"
         "Status 0 when everything matches, 10 when the folder differs from its records or the chain is\n"
         "broken, 5 when the only problems are files (or SHA256SUMS) that cannot be read.",
         RunVerify},
        {"put", "[--overwrite] FILE", "upload a file to the card",
         "Uploads FILE under its own name (the part after the last / or \\).\n"
         "  --overwrite  replace a file of that name on the card (otherwise status 7)",
         RunPut},
        {"rm", "NAME...", "delete files from the card",
         "Prints \"File NAME deleted\" or \"File NAME NOT deleted\" for each name (status 2 when one was "
         "not).",
         RunRemove},
        {"save", "", "make the recorder save its archive data to the card",
         "The recorder may take up to two minutes and cannot be interrupted once asked.", RunSave},
        {"usb-scan", "", "list attached USB devices that may be the recorder, with the ids to configure",
         "Lists every attached device with a vendor-specific interface of one bulk IN and one bulk OUT\n"
         "endpoint: vendor:product, bus, address, port path, serial number and product string.",
         RunUsbScan},
        {"udev-rule", "[--group NAME] [--install] [VVVV:PPPP...]",
         "print the udev rule giving the seat's user (or a group) access to the recorder; "
         "--install applies it (root)",
         "Prints a rule for the given vendor:product pairs, or without pairs for the ids configured for the\n"
         "user who runs it, granting the user at the seat access to the recorder (TAG+=\"uaccess\").\n"
         "  --group NAME  grant the group NAME instead (GROUP=\"NAME\", MODE=\"0660\"), for machines where\n"
         "                watch runs with nobody at the seat\n"
         "  --install     write /etc/udev/rules.d/70-orvoconnect.rules, reload the rules and trigger the\n"
         "                attached devices (as root, with explicit pairs)",
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
