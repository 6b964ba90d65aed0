#include "wordprocessor/libreoffice/OfficePipe.h"

#include "wordprocessor/Automation.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

#include <rtl/bootstrap.hxx>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

using namespace Qt::StringLiterals;

namespace Office {
namespace {

[[noreturn]] void refuse(const QString &socketPath, const QString &why)
{
    throw AutomationError(
        QStringLiteral("Parvenex will not connect to LibreOffice through %1: %2 Another user of "
                       "this computer may be trying to read the texts. Ask whoever looks after "
                       "this computer to check that file.")
            .arg(QDir::toNativeSeparators(socketPath), why)
            .toStdString());
}

bool isPipeName(const QString &name)
{
    static const QRegularExpression form(u"\\Aparvenex_[0-9a-f]{32}\\z"_s);
    return form.match(name).hasMatch();
}

QString randomPipeName()
{
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    return u"parvenex_"_s +
           QString::fromLatin1(
               QByteArray(reinterpret_cast<const char *>(words), sizeof words).toHex());
}

// The runtime folder, only when it is the user's alone: Qt checks this too, but the name kept
// there is what keeps other users off the pipe.
QString privateRuntimeFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    struct stat status;
    if (folder.isEmpty() || ::lstat(QFile::encodeName(folder).constData(), &status) != 0 ||
        !S_ISDIR(status.st_mode) || status.st_uid != ::getuid() || (status.st_mode & 077) != 0)
        return {};
    return folder;
}

} // namespace

QString sessionPipeName()
{
    static const QString name = [] {
        const QString folder = privateRuntimeFolder();
        if (folder.isEmpty())
            return randomPipeName();
        const QString path = folder + u"/parvenex-office-pipe"_s;
        if (QFile stored(path); stored.open(QIODevice::ReadOnly)) {
            const QString kept = QString::fromLatin1(stored.read(64));
            if (isPipeName(kept))
                return kept;
        }
        const QString fresh = randomPipeName();
        QSaveFile file(path);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(fresh.toLatin1());
            file.commit(); // if it fails, a later start makes a name of its own
        }
        return fresh;
    }();
    return name;
}

QString pipeSocketPath(const QString &pipeName, uid_t owner)
{
    // The folder LibreOffice chooses: the first of these it may write to.
    QString folder;
    if (::access("/tmp", W_OK) == 0) {
        folder = u"/tmp"_s;
    } else if (::access("/var/tmp", W_OK) == 0) {
        folder = u"/var/tmp"_s;
    } else {
        rtl::OUString configured;
        rtl::Bootstrap::get("OSL_SOCKET_PATH", configured);
        folder =
            QString(reinterpret_cast<const QChar *>(configured.getStr()), configured.getLength());
    }
    return folder + u"/OSL_PIPE_"_s + QString::number(owner) + u'_' + pipeName;
}

std::optional<PipeFile> ownPipeListening(const QString &socketPath, uid_t owner)
{
    const QByteArray path = QFile::encodeName(socketPath);
    struct stat status;
    if (::lstat(path.constData(), &status) != 0)
        return {};
    if (!S_ISSOCK(status.st_mode))
        refuse(socketPath, QStringLiteral("it is not a socket."));
    if (status.st_uid != owner)
        refuse(socketPath, QStringLiteral("it belongs to another account."));

    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (std::size_t(path.size()) >= sizeof address.sun_path)
        return {}; // LibreOffice cannot make a pipe there either
    std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
    const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (probe < 0)
        return {};
    const bool listening =
        ::connect(probe, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    // The file is the user's, but whoever listens behind it is what would answer.
    std::optional<uid_t> peer;
#ifdef SO_PEERCRED
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (listening && ::getsockopt(probe, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0)
        peer = credentials.uid;
#else
    uid_t user = 0;
    gid_t group = 0;
    if (listening && ::getpeereid(probe, &user, &group) == 0)
        peer = user;
#endif
    ::close(probe);
    if (!listening)
        return {};
    if (peer != owner)
        refuse(socketPath,
               QStringLiteral("the program listening there runs under another account."));
    return PipeFile{status.st_dev, status.st_ino, status.st_uid};
}

bool stillSamePipe(const QString &socketPath, const PipeFile &found)
{
    struct stat status;
    if (::lstat(QFile::encodeName(socketPath).constData(), &status) != 0)
        return false;
    if (status.st_dev != found.device || status.st_ino != found.inode ||
        status.st_uid != found.owner || !S_ISSOCK(status.st_mode))
        refuse(socketPath, QStringLiteral("it was replaced while Parvenex connected."));
    return true;
}

} // namespace Office
