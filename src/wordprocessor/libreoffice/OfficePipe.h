#pragma once

// The named pipe through which this program reaches the LibreOffice it starts. LibreOffice makes
// such a pipe a socket in the shared temporary folder, where any local user may create a name
// first; so the name is one nobody can guess, and before anything is said over the pipe the
// socket and the process behind it must be the user's own.

#include <QString>

#include <sys/types.h>

namespace Office {

// The pipe name for the offices that this user's Parvenex starts: random, made once per login
// session and kept in the user's private runtime folder, so that a later start of the program
// finds an office an earlier one left open. Without a private runtime folder the name lasts as
// long as the process.
QString sessionPipeName();

// Where LibreOffice puts the socket of the pipe when the user with uid owner makes it.
QString pipeSocketPath(const QString &pipeName, uid_t owner);

// True when a process of owner's listens on the socket at socketPath; false when nothing does
// (no such file, or a socket left behind by an office that has ended). Throws AutomationError,
// naming the path, when the file there is not owner's socket or the listener is another user's.
bool ownPipeListening(const QString &socketPath, uid_t owner);

} // namespace Office
