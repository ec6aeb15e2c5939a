#pragma once

#include "core/ITextSource.h"

// The process-wide active resource set. Installed once at start-up, before any window or job
// exists; safe to read from any thread afterwards.
void SetActiveTextSource(const ITextSource *pSource);
const ITextSource *ActiveTextSource();

// The text of an identifier in the active set; empty when none is installed or the set lacks it.
QString LoadText(quint32 nId);

// strTemplate with every "%s" replaced by strValue, literally: the text is never a printf format,
// so a name or a translation holding "%" or "%n" cannot do harm.
QString FillTextPlaceholder(QString strTemplate, const QString &strValue);
