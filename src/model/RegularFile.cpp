#include "model/RegularFile.h"

#include <QFile>

#include <cerrno>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace RegularFile {

Expected<Done, Error> openForReading(const QString& path, QFile& file)
{
#if defined(Q_OS_UNIX)
    const QByteArray name = QFile::encodeName(path);
    struct stat status { };
    if (::stat(name.constData(), &status) != 0)
        return Error {Failure::cannotOpen, qt_error_string(errno)};
    if (!S_ISREG(status.st_mode))
        return Error {Failure::notARegularFile, {}};
    // Non-blocking, in case the path was swapped for a pipe since the look above.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return Error {Failure::cannotOpen, qt_error_string(errno)};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return Error {Failure::notARegularFile, {}};
    }
    // Reads of a regular file never wait anyway; plain blocking reads from here on.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return Error {Failure::cannotOpen, file.errorString()};
    }
    return Done {};
#else
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return Error {Failure::cannotOpen, file.errorString()};
    return Done {};
#endif
}

} // namespace RegularFile
