#pragma once

#include "model/Expected.h"

#include <QString>

class QFile;

// Opening a file that the user chose, or that stands where a file of ours should be,
// for reading. A named pipe blocks open() until something writes into it, and a pipe
// or a device can stream without end, so anything but a regular file is refused
// before it is opened, and checked once more on the open handle.
namespace RegularFile {

enum class Failure {
    cannotOpen, // missing, unreadable, ...: `reason` says what the system said
    notARegularFile,
};

struct Error {
    Failure failure;
    QString reason;
};

// Opens `path` (links followed) for reading into `file`, which must not be open.
Expected<Done, Error> openForReading(const QString& path, QFile& file);

} // namespace RegularFile
