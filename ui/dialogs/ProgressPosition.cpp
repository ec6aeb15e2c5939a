#include "ui/dialogs/ProgressPosition.h"

#include <cmath>

int ProgressPosition(quint32 nSoFar, quint32 nTotal)
{
    if (nTotal == 0)
        return 0;
    const double dPosition = std::trunc(double(nSoFar) / double(nTotal) * 100.0);
    if (dPosition > 100.0)
        return 100;
    return int(dPosition);
}
