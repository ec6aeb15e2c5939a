#pragma once

#include "core/DownloadPlan.h"
#include "core/RecorderResult.h"

#include <QList>
#include <QString>

// The window's words, from the active resource set, for why a local file was refused.

// The text of a refusal reason; empty for a reason that is a failure of the disk rather than a
// refusal of the name.
QString LocalReasonText(LocalReason reason);
// One box for the names a download plan refused: a heading, then "NAME: reason" a line each.
QString RefusedDownloadsText(const QList<DownloadPlan::Item> &refused);
// What a download that failed on this computer shows: the refusal of its name, or the host
// input/output text for a failing disk.
QString LocalFailureText(const QString &strName, LocalReason reason);
