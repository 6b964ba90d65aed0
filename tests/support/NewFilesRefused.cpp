#include "NewFilesRefused.h"

#include <QFile>

#include <cerrno>
#include <cstdarg>
#include <mutex>
#include <string>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

std::mutex guard;
std::string refusingFolder;
int refusal = EACCES;

bool refused(const char *path, int flags)
{
    const std::lock_guard lock(guard);
    if (refusingFolder.empty() || !path)
        return false;
    const std::string name(path);
    // An unnamed file made in the folder itself, as Qt's temporary files are where they can be.
    if ((flags & O_TMPFILE) == O_TMPFILE)
        return name == refusingFolder;
    struct stat existing
    {
    };
    return (flags & O_CREAT) && name.rfind(refusingFolder + '/', 0) == 0 &&
           ::stat(path, &existing) != 0;
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
    if (refused(path, flags)) {
        const std::lock_guard lock(guard);
        errno = refusal;
        return -1;
    }
    using Open = int (*)(const char *, int, ...);
    static const auto next = reinterpret_cast<Open>(dlsym(RTLD_NEXT, "open64"));
    return next(path, flags, mode);
}
