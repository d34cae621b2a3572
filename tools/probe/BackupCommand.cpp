#include "backup/BackupDocument.h"
#include "backup/BackupTransfer.h"
#include "probe/Subcommand.h"

#include <QTextStream>

#include <cstdio>

// applywright-probe backup FILE: reads FILE the way the import does. A backup is
// written back out by the application's own encoder on standard output; anything
// else gets the text the import alert would show, on standard error.
int runBackup(const QStringList& arguments)
{
    if (arguments.size() != 1)
        return exitUsage;

    QTextStream err(stderr);
    const auto contents = readBackup(arguments.at(0));
    if (!contents) {
        err << contents.error().description() << '\n';
        return 1;
    }
    const auto encoded = encodeBackup(*contents);
    if (!encoded) {
        err << encoded.error().description() << '\n';
        return 1;
    }
    const QByteArray& bytes = *encoded;
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size())
        || std::fflush(stdout) != 0)
        return 1;
    return 0;
}
