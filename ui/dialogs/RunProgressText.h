#pragma once

#include <QString>
#include <QtGlobal>

struct RunProgressPost;

// The line under a transfer that tells where the whole run stands, short enough for the width of
// the dialog: "File 2 of 3 · 1.4 of 4.2 MB · 20 s left", its figures in the default locale (the
// interface's language). The bytes are left out when the run's sizes are unknown, the time until
// the run has gone on long enough to tell.
class RunProgressText final
{
public:
    // How long a run goes on before the time left is estimated.
    static constexpr qint64 ESTIMATE_AFTER_MS = 2000;

    // nDoneBytes: of the whole run, the current file's part included; nElapsedMs since it began.
    static QString Line(const RunProgressPost &run, quint64 nDoneBytes, qint64 nElapsedMs);
    // "File 2 of 3".
    static QString FileOf(quint32 nFile, quint32 nFiles);
    // "1.4 of 4.2 MB", "312 of 600 kB", "0.9 of 1.5 GB": in the unit of the total.
    static QString BytesOf(quint64 nDone, quint64 nTotal);
    // "20 s left", "3 min left"; empty while it cannot be told.
    static QString TimeLeft(quint64 nDone, quint64 nTotal, qint64 nElapsedMs);
};
