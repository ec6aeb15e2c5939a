// Loaded with LD_PRELOAD into a program under test: unnamed temporary files (O_TMPFILE) fail as
// they do on FAT, exFAT and many network shares, so the program takes its named path.
#include <cerrno>
#include <cstdarg>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/types.h>

namespace {

using OpenAt = int (*)(int, const char *, int, ...);

int Forward(const char *pszName, int nDir, const char *pszPath, int nFlags, mode_t mode)
{
    if ((nFlags & O_TMPFILE) == O_TMPFILE) {
        errno = EOPNOTSUPP;
        return -1;
    }
    const auto real = reinterpret_cast<OpenAt>(dlsym(RTLD_NEXT, pszName));
    return real(nDir, pszPath, nFlags, mode);
}

mode_t ModeOf(int nFlags, va_list args)
{
    return (nFlags & O_CREAT) || (nFlags & O_TMPFILE) == O_TMPFILE ? va_arg(args, mode_t) : 0;
}

} // namespace

extern "C" int openat(int nDir, const char *pszPath, int nFlags, ...)
{
    va_list args;
    va_start(args, nFlags);
    const mode_t mode = ModeOf(nFlags, args);
    va_end(args);
    return Forward("openat", nDir, pszPath, nFlags, mode);
}

extern "C" int openat64(int nDir, const char *pszPath, int nFlags, ...)
{
    va_list args;
    va_start(args, nFlags);
    const mode_t mode = ModeOf(nFlags, args);
    va_end(args);
    return Forward("openat64", nDir, pszPath, nFlags, mode);
}
