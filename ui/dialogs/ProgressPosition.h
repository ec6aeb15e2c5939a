#pragma once

#include <QtGlobal>

// Position (0 to 100) of a transfer's progress bar for a WM_JOB_PROGRESS post: bytes so far
// over the total (both unsigned 32-bit, so a file of 2 to 4 GB moves the bar too), truncated
// towards zero and clamped to the bar's range. A total of 0, the first post of every transfer,
// gives 0.
int ProgressPosition(quint32 nSoFar, quint32 nTotal);
