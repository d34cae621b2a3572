#pragma once

#include "model/Expected.h"

#include <QString>

#include <memory>

// One running Applywright per data folder. The lock is the operating system's lock
// on an open file, which ends with the process that holds it: a lock file left by a
// process that died, on this computer or on another one sharing the folder, is never
// taken for a live one, and a live one is never taken for a stale one.
class StoreLock {
public:
    enum class Failure {
        // Another running process holds the lock.
        held,
        // The lock file could not be made (permissions, a full disk); `error` says why.
        cannotCreate,
    };
    struct Error {
        Failure failure;
        int error = 0; // errno for cannotCreate
    };

    // Takes the lock at `path`, creating the file (mode 0600, whatever the umask).
    // Whatever sits at the path and cannot be a live lock (a link, a pipe, an empty
    // folder) is cleared away first.
    static Expected<std::unique_ptr<StoreLock>, Error> acquire(const QString& path);

    // Releases the lock and removes the file.
    ~StoreLock();
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

private:
    StoreLock(QString path, int fd, bool ownsFile)
        : m_path(std::move(path))
        , m_fd(fd)
        , m_ownsFile(ownsFile)
    {
    }
    QString m_path;
    int m_fd;
    bool m_ownsFile;
};
