#include "link/UsbSettingsProvider.h"

#include <mutex>

namespace {

std::mutex g_mutex;
UsbSettingsProvider::Provider g_provider;

} // namespace

void UsbSettingsProvider::Set(Provider provider)
{
    std::lock_guard lock(g_mutex);
    g_provider = std::move(provider);
}

UsbSettings UsbSettingsProvider::Current()
{
    Provider provider;
    {
        std::lock_guard lock(g_mutex);
        provider = g_provider;
    }
    return provider ? provider() : UsbSettings();
}
