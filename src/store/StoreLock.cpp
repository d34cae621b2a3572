#include "store/StoreLock.h"

#include <QCoreApplication>
#include <QFile>
#include <QSysInfo>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Who holds the lock, for a person looking at the folder: process, program, host
// (the order QLockFile uses, so older versions of the program read it too).
void describeHolder(int fd)
{
    const QByteArray info = QByteArray::number(qint64(::getpid())) + '\n' + QCoreApplication::applicationName().toUtf8()
        + '\n' + QSysInfo::machineHostName().toUtf8() + '\n';
    if (::ftruncate(fd, 0) != 0)
        return;
    // Only informative: the lock holds whether or not this reaches the disk.
    [[maybe_unused]] const auto written = ::pwrite(fd, info.constData(), size_t(info.size()), 0);
}

} // namespace

Expected<std::unique_ptr<StoreLock>, StoreLock::Error> StoreLock::acquire(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    // A few rounds: the previous holder may remove its file between our steps.
    for (int attempt = 0; attempt < 5; ++attempt) {
        struct stat found { };
        bool lockingFolder = false;
        if (::lstat(name.constData(), &found) == 0) {
            if (S_ISDIR(found.st_mode)) {
                // An empty folder is cleared away; one with something in it is left
                // alone and locked as it is (a folder can carry the lock as well).
                if (::rmdir(name.constData()) == 0)
                    continue;
                lockingFolder = true;
            } else if (!S_ISREG(found.st_mode)) {
                // A link, a pipe or a socket was never written by a running copy.
                if (::unlink(name.constData()) != 0 && errno != ENOENT)
                    return Error {Failure::cannotCreate, errno};
                continue;
            }
        } else if (errno != ENOENT) {
            return Error {Failure::cannotCreate, errno};
        }

        const int fd = lockingFolder
            ? ::open(name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)
            : ::open(name.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == ELOOP || errno == ENOENT)
                continue; // replaced meanwhile
            return Error {Failure::cannotCreate, errno};
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            if (error == EWOULDBLOCK)
                return Error {Failure::held};
            return Error {Failure::cannotCreate, error};
        }
        // Locked, but perhaps a file its holder removed just before letting go.
        struct stat opened { };
        struct stat current { };
        if (::fstat(fd, &opened) != 0 || ::lstat(name.constData(), &current) != 0 || !sameFile(opened, current)) {
            ::close(fd);
            continue;
        }
        if (!lockingFolder) {
            // O_CREAT's mode passes through the umask; the file says who runs, so only we read it.
            ::fchmod(fd, S_IRUSR | S_IWUSR);
            describeHolder(fd);
        }
        return std::unique_ptr<StoreLock>(new StoreLock(path, fd, !lockingFolder));
    }
    return Error {Failure::cannotCreate, EAGAIN};
}

StoreLock::~StoreLock()
{
    // Removed while still held, so no one can lock the old file after we let go and
    // believe it current (acquire() checks that the file it locked is still there).
    if (m_ownsFile)
        ::unlink(QFile::encodeName(m_path).constData());
    ::close(m_fd);
}
