#pragma once

#include <QString>

// The remembered destination folder of downloads, in the per-user settings store. The
// application's settings store lives above this layer, so the dialogs reach the one value
// they need directly, under the same organisation, application and key.
namespace SaveToSetting {

inline constexpr char SETTINGS_ORGANIZATION[] = "Haldrin";
inline constexpr char SETTINGS_APPLICATION[] = "OrvoConnect";
inline constexpr char KEY_PATH_SAVE_TO[] = "PathSaveTo";

QString Read(const QString &strDefault);
void Write(const QString &strPath);

} // namespace SaveToSetting
