#include "ui/dialogs/ProgressPosition.h"

#include <cmath>

int ProgressPosition(quintptr wParam, qintptr lParam)
{
    const quint32 nDone = quint32(wParam);
    // Unsigned: a file of 2 to 4 GB must move the bar too.
    const quint32 nTotal = quint32(lParam);
    if (nTotal == 0)
        return 0;
    const double dPosition = std::trunc(double(nDone) / double(nTotal) * 100.0);
    if (dPosition > 100.0)
        return 100;
    return int(dPosition);
}
