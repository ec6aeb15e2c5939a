#include "ui/dialogs/DialogUnits.h"

#include <QFont>
#include <QFontMetricsF>

#include <cmath>

DialogUnits::DialogUnits(const QFont &font)
{
    const QFontMetricsF metrics(font);
    m_dBaseX = metrics.averageCharWidth() / 4.0;
    m_dBaseY = metrics.height() / 8.0;
}

int DialogUnits::X(int nUnits) const
{
    return int(std::lround(nUnits * m_dBaseX));
}

int DialogUnits::Y(int nUnits) const
{
    return int(std::lround(nUnits * m_dBaseY));
}

QRect DialogUnits::Rect(int x, int y, int cx, int cy) const
{
    // Right and bottom edges are converted too, so neighbouring controls do not drift apart.
    const int nLeft = X(x);
    const int nTop = Y(y);
    return QRect(nLeft, nTop, X(x + cx) - nLeft, Y(y + cy) - nTop);
}

QSize DialogUnits::Size(int cx, int cy) const
{
    return QSize(X(cx), Y(cy));
}
