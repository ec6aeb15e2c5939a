#include "core/TextSource.h"

#include <atomic>

namespace {

// Written once at start-up, read from the user-interface thread and from worker threads.
std::atomic<const ITextSource *> g_pActiveTextSource{nullptr};

} // namespace

void SetActiveTextSource(const ITextSource *pSource)
{
    g_pActiveTextSource.store(pSource, std::memory_order_release);
}

const ITextSource *ActiveTextSource()
{
    return g_pActiveTextSource.load(std::memory_order_acquire);
}

QString LoadText(quint32 nId)
{
    const ITextSource *pSource = ActiveTextSource();
    return pSource ? pSource->Text(nId) : QString();
}

QString FillTextPlaceholder(QString strTemplate, const QString &strValue)
{
    return strTemplate.replace(QStringLiteral("%s"), strValue);
}
