#pragma once

// End codes of the program's modal dialogs, as their callers read them.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
