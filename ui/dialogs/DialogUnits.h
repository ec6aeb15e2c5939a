#pragma once

#include <QRect>
#include <QSize>

class QFont;

// Converts the dialog-unit geometry of the dialog layouts into pixels for the dialog's font:
// one horizontal unit is a quarter of the font's average character width, one vertical unit
// an eighth of its line height.
class DialogUnits final
{
public:
    explicit DialogUnits(const QFont &font);

    int X(int nUnits) const;
    int Y(int nUnits) const;
    QRect Rect(int x, int y, int cx, int cy) const;
    QSize Size(int cx, int cy) const;

private:
    double m_dBaseX;
    double m_dBaseY;
};
