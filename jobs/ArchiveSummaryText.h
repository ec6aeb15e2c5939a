#pragma once

#include "archive/ArchiveRecord.h"

#include <QString>

// The closing words of the window's archive run, in the active language: how it ended, the
// folder, what became of the card's files and, one a line, the files that were not archived.
// nStatus is the run's RESULT_* status; the figures are written as the active language writes
// numbers.
QString ArchiveSummaryText(const Archive::Summary &summary, int nStatus, const QString &strDir);
