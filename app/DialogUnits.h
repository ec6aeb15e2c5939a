#pragma once

#include <QFontMetrics>
#include <QSize>
#include <QWidget>

// Dialog sizes are given in dialog units: a quarter of the dialog font's average character
// width across, an eighth of its line height down.
namespace DialogUnits {

inline QSize ToPixels(const QWidget *pDialog, QSize units)
{
    const QFontMetrics metrics(pDialog->font());
    const int nCharWidth = metrics.averageCharWidth();
    const int nLineHeight = metrics.height();
    return QSize((units.width() * nCharWidth + 2) / 4, (units.height() * nLineHeight + 4) / 8);
}

} // namespace DialogUnits
