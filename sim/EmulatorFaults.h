#pragma once

#include "protocol/ProtocolCodes.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Ways the emulated recorder can misbehave, and who it says it is, for tests and demos.
struct EmulatorFaults
{
    bool bNoCard = false;               // no card: empty list, transfers and saves refused
    bool bCardFull = false;             // uploads answer RSP_CARD_FULL
    QStringList refuseDelete;           // names whose deletion is refused; "*" refuses all
    bool bRefuseUpload = false;         // uploads answer RSP_REFUSED
    int nStopDownloadAfter = -1;        // after N blocks of a download, send nStopDownloadCode
    quint16 nStopDownloadCode = RSP_OK; // RSP_OK or CMD_ABORT in place of the next block
    int nAbortUploadAfter = -1;         // after N upload blocks, answer the next with CMD_ABORT
    bool bSilent = false;               // read requests, answer nothing
    bool bGarbageBeforeReply = false;   // a block with a bad magic and one with a foreign code first
    bool bSplitReplies = false;         // deliver replies in reads of 300, then 724 bytes
    int nSaveArchiveDelayMs = 0;        // answer an archive save after this long
    int nLateReplyMs = 0;               // answer the next request after this long (once); the
                                        // answers to the requests that follow queue behind it
    QString strGrow;                    // a file the recorder writes to while it is downloaded

    // Who the recorder says it is, in its identification text; empty: the defaults.
    QString strSerial;
    QString strModel;
    QString strFirmware;

    bool RefusesDeletionOf(const QString &strName) const;

    // Sets one fault by its option name ("no-card", "stop-download-after", ...), as the
    // emulator's command line and the "sim:DIR?OPTIONS" link name spell them. False with
    // *pError set for an unknown name or a bad value.
    bool SetOption(const QString &strName, const QString &strValue, QString *pError);
    static bool OptionTakesValue(const QString &strName);
    // One line per option, for usage texts.
    static QString OptionsHelp();
};
