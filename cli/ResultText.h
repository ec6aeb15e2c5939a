#pragma once

#include "core/ResultText.h"

// Exit statuses of orvoconnect-cli beside the operation results (0 to 9), which it returns as
// they are. Scripts rely on these numbers.
// verify: the archive folder is not as it was written (a file changed, missing or added, or
// the journal's chain broken).
inline constexpr int EXIT_DIFFERENCES = 10;
inline constexpr int EXIT_USAGE = 64;       // bad command line or link name
inline constexpr int EXIT_UNREACHABLE = 69; // the recorder could not be opened
