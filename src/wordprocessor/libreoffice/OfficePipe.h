#pragma once

// The named pipe through which this program reaches the LibreOffice it starts. LibreOffice makes
// such a pipe a socket in the shared temporary folder, where any local user may create a name
// first; so the name is one nobody can guess, and before anything is said over the pipe the
// socket and the process behind it must be the user's own.

#include <QString>

#include <optional>

#include <sys/types.h>

namespace Office {

// The pipe name for the offices that this user's Parvenex starts: random, made once per login
// session and kept in the user's private runtime folder, so that a later start of the program
// finds an office an earlier one left open. Without a private runtime folder the name lasts as
// long as the process.
QString sessionPipeName();

// Where LibreOffice puts the socket of the pipe when the user with uid owner makes it.
QString pipeSocketPath(const QString &pipeName, uid_t owner);

// Which socket file a pipe was found as.
struct PipeFile
{
    dev_t device = 0;
    ino_t inode = 0;
    uid_t owner = 0;
};

// The socket at socketPath when a process of owner's listens on it; nothing when nothing does
// (no such file, or a socket left behind by an office that has ended). Throws AutomationError,
// naming the path, when the file there is not owner's socket or the listener is another user's.
std::optional<PipeFile> ownPipeListening(const QString &socketPath, uid_t owner);

// Whether socketPath is still the socket found before: false once nothing is there (the office
// has ended meanwhile). Throws AutomationError when another file has taken its place, as another
// account could after the office ended.
bool stillSamePipe(const QString &socketPath, const PipeFile &found);

} // namespace Office
