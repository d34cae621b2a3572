#include "app/InstanceSocket.h"

#include "model/SocketIo.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstddef>
#include <cstring>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Enough for a few later starts at once; more wait in the system's queue or retry.
constexpr int queueLength = 16;

bool prepare(int socket)
{
    SocketIo::keepSignalsAway(socket);
    return ::fcntl(socket, F_SETFD, FD_CLOEXEC) == 0 && ::fcntl(socket, F_SETFL, O_NONBLOCK) == 0;
}

// A socket from the system, prepared; -1 with its errno when it could not be.
int prepared(int socket)
{
    if (socket >= 0 && !prepare(socket)) {
        const int error = errno;
        ::close(socket);
        errno = error;
        return -1;
    }
    return socket;
}

// The address for ::bind and ::connect; false when it does not fit.
bool socketAddress(const QString& dataDirectory, sockaddr_un& address, socklen_t& length)
{
    const QByteArray name = InstanceSocket::address(dataDirectory);
    address = {};
    address.sun_family = AF_UNIX;
#if defined(Q_OS_LINUX)
    // An abstract name: a NUL, then the name, counted exactly (no trailing NULs).
    if (name.isEmpty() || size_t(name.size()) + 1 > sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path + 1, name.constData(), size_t(name.size()));
    length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + size_t(name.size()));
#else
    if (name.isEmpty() || size_t(name.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    length = socklen_t(sizeof address);
#endif
    return true;
}

int newSocket()
{
    return prepared(::socket(AF_UNIX, SOCK_STREAM, 0));
}

} // namespace

namespace InstanceSocket {

QByteArray address(const QString& dataDirectory)
{
    // The folder as the file system knows it, so every way of naming it gives one name.
    QString folder = QFileInfo(dataDirectory).canonicalFilePath();
    if (folder.isEmpty())
        folder = QDir::cleanPath(QFileInfo(dataDirectory).absoluteFilePath());
    const QByteArray digest
        = QCryptographicHash::hash(QFile::encodeName(folder), QCryptographicHash::Sha256).toHex().left(32);
    const QByteArray name = "Applywright-" + QByteArray::number(qulonglong(::geteuid())) + '-' + digest;
#if defined(Q_OS_LINUX)
    return name;
#else
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        return {};
    return QFile::encodeName(QDir(runtime).filePath(QString::fromLatin1(name + ".socket")));
#endif
}

int listen(const QString& dataDirectory)
{
    sockaddr_un address {};
    socklen_t length = 0;
    if (!socketAddress(dataDirectory, address, length)) {
        errno = ENAMETOOLONG;
        return -1;
    }
    const int socket = newSocket();
    if (socket < 0)
        return -1;
#if !defined(Q_OS_LINUX)
    // Only the copy that holds the store's lock listens: a socket left by one that
    // died is replaced. Nothing but a socket is ever removed.
    struct stat status { };
    if (::lstat(address.sun_path, &status) == 0 && S_ISSOCK(status.st_mode))
        ::unlink(address.sun_path);
#endif
    if (::bind(socket, reinterpret_cast<const sockaddr*>(&address), length) != 0
        || ::listen(socket, queueLength) != 0) {
        const int error = errno;
        ::close(socket);
        errno = error;
        return -1;
    }
#if !defined(Q_OS_LINUX)
    ::chmod(address.sun_path, S_IRUSR | S_IWUSR);
#endif
    return socket;
}

void close(int listener, const QString& dataDirectory)
{
    if (listener < 0)
        return;
    ::close(listener);
#if !defined(Q_OS_LINUX)
    sockaddr_un address {};
    socklen_t length = 0;
    if (socketAddress(dataDirectory, address, length))
        ::unlink(address.sun_path);
#else
    Q_UNUSED(dataDirectory);
#endif
}

int accept(int listener)
{
    return prepared(::accept(listener, nullptr, nullptr));
}

int connect(const QString& dataDirectory)
{
    sockaddr_un address {};
    socklen_t length = 0;
    if (!socketAddress(dataDirectory, address, length))
        return -1;
    const int socket = newSocket();
    if (socket < 0)
        return -1;
    // Not blocking: a full queue is a failed attempt, not a wait of unknown length.
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&address), length) != 0 || !peerIsThisUser(socket)) {
        ::close(socket);
        return -1;
    }
    return socket;
}

bool peerIsThisUser(int socket)
{
#if defined(Q_OS_LINUX)
    ucred credentials {};
    socklen_t size = sizeof credentials;
    return ::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 && credentials.uid == ::geteuid();
#else
    uid_t user = 0;
    gid_t group = 0;
    return ::getpeereid(socket, &user, &group) == 0 && user == ::geteuid();
#endif
}

} // namespace InstanceSocket
