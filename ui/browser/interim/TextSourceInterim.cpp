#include "TextSource.h"

#include <atomic>

// Stand-in for the jobs layer's active text source until that layer is in the tree.
namespace {
std::atomic<const ITextSource *> g_pActiveSource{nullptr};
} // namespace

void SetActiveTextSource(const ITextSource *pSource)
{
    g_pActiveSource = pSource;
}

const ITextSource *ActiveTextSource()
{
    return g_pActiveSource;
}

QString LoadText(quint32 nId)
{
    const ITextSource *pSource = g_pActiveSource;
    return pSource ? pSource->Text(nId) : QString();
}
