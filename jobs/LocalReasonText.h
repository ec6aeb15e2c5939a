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
// The same box for one name and the text of its reason.
QString RefusedNameText(const QString &strName, const QString &strReason);
