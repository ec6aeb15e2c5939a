#pragma once

#include <QString>

// The English sentence for an operation result, for the command line and the archive's log
// (which are not localised; the window has its own texts).
QString ResultText(int nResult);
