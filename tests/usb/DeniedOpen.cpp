#include "DeniedOpen.h"

#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <mutex>
#include <string>

namespace {

std::mutex g_mutex;
std::string g_denied;

bool IsDenied(const char *pPath)
{
    std::lock_guard lock(g_mutex);
    return pPath && !g_denied.empty() && g_denied == pPath;
}

using OpenFn = int (*)(const char *, int, ...);

int Forward(const char *pName, const char *pPath, int nFlags, mode_t nMode)
{
    static OpenFn open = reinterpret_cast<OpenFn>(dlsym(RTLD_NEXT, "open"));
    static OpenFn open64 = reinterpret_cast<OpenFn>(dlsym(RTLD_NEXT, "open64"));
    if (IsDenied(pPath)) {
        errno = EACCES;
        return -1;
    }
    return (std::strcmp(pName, "open64") == 0 ? open64 : open)(pPath, nFlags, nMode);
}

mode_t ModeArgument(int nFlags, va_list args)
{
    return (nFlags & O_CREAT) || (nFlags & __O_TMPFILE) == __O_TMPFILE ? mode_t(va_arg(args, int)) : 0;
}

} // namespace

namespace DeniedOpen {

void Deny(const QString &strPath)
{
    std::lock_guard lock(g_mutex);
    g_denied = strPath.toStdString();
}

} // namespace DeniedOpen

extern "C" int open(const char *pPath, int nFlags, ...)
{
    va_list args;
    va_start(args, nFlags);
    const mode_t nMode = ModeArgument(nFlags, args);
    va_end(args);
    return Forward("open", pPath, nFlags, nMode);
}

extern "C" int open64(const char *pPath, int nFlags, ...)
{
    va_list args;
    va_start(args, nFlags);
    const mode_t nMode = ModeArgument(nFlags, args);
    va_end(args);
    return Forward("open64", pPath, nFlags, nMode);
}

// The fortified forms that libraries built with _FORTIFY_SOURCE call.
extern "C" int __open_2(const char *pPath, int nFlags)
{
    return Forward("open", pPath, nFlags, 0);
}

extern "C" int __open64_2(const char *pPath, int nFlags)
{
    return Forward("open64", pPath, nFlags, 0);
}
