#pragma once

#include "core/UsbSettings.h"

#include <functional>

// Where the USB link asks for the configured ids and device, at each open and each notice. The
// program gives it at start-up (the window and the command line read the settings store); until
// then nothing is configured, so the link itself never reads the store.
namespace UsbSettingsProvider {

using Provider = std::function<UsbSettings()>;

void Set(Provider provider);
// What the provider says now; empty settings when none was given.
UsbSettings Current();

} // namespace UsbSettingsProvider
