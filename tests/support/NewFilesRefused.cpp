#include "NewFilesRefused.h"

#include <QFile>

#include <cerrno>
#include <cstdarg>
#include <mutex>
#include <string>

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

std::mutex guard;
std::string refusingFolder;
int refusal = EACCES;

// The error for a file that does not exist yet, made in the folder: named, or unnamed in the
// folder itself as Qt's temporary files are where they can be. 0 for any other.
int refusalOf(const char *path, int flags)
{
    const std::lock_guard lock(guard);
    if (refusingFolder.empty() || !path)
        return 0;
    const std::string name(path);
    const bool refused = (flags & O_TMPFILE) == O_TMPFILE
                             ? name == refusingFolder
                             : (flags & O_CREAT) && name.starts_with(refusingFolder + '/') &&
                                   ::access(path, F_OK) != 0;
    return refused ? refusal : 0;
}

} // namespace

void refuseNewFilesIn(const QString &folder, int error)
{
    const std::lock_guard lock(guard);
    refusingFolder = QFile::encodeName(folder).toStdString();
    refusal = error;
}

extern "C" int open64(const char *path, int flags, ...)
{
    mode_t mode = 0;
    if ((flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE) {
        va_list arguments;
        va_start(arguments, flags);
        mode = va_arg(arguments, mode_t);
        va_end(arguments);
    }
    if (const int error = refusalOf(path, flags)) {
        errno = error;
        return -1;
    }
    using Open = int (*)(const char *, int, ...);
    static const auto next = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "open64"));
    return next(path, flags, mode);
}
