// applywright-mail: the mail worker. The application starts it once per input, a
// file or pasted text, and it prints every message it read, or why not, for the
// application to read back (MailWorker::decode). Everything hostile mail can do to
// the MIME parser happens here, under a memory limit, and the application kills
// this process when it runs past its deadline.
//
//   applywright-mail [--now MSECS] FILE
//   applywright-mail [--now MSECS] --text LABEL        (the text on standard input)
//
// --now is the application's clock, which dates what the text leaves without a zone.

#include "mail/MailReader.h"
#include "mail/MailWorker.h"
#include "model/Clock.h"

#include <QCoreApplication>
#include <QFile>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <new>

#include <sys/resource.h>

#if defined(__linux__)
#include <sys/prctl.h>
#endif

namespace {

// Room for the largest message the reader takes, parsed and decoded, many times over.
constexpr rlim_t memoryLimitBytes = rlim_t(1) << 30;

void limitMemory()
{
#if !defined(__SANITIZE_ADDRESS__) // its shadow memory would not fit under any limit
    const rlimit data {memoryLimitBytes, memoryLimitBytes};
    ::setrlimit(RLIMIT_DATA, &data);
#endif
}

QList<MailReader::Item> readInput(const QStringList& arguments)
{
    if (arguments.size() == 1)
        return MailReader::readFile(arguments.front());
    const QString label = arguments.at(1);
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly))
        return {{label, MailReadError(MailReadError::Kind::readerFailed)}};
    // Pasted text is at most one message. A pipe hands it over in pieces, so up to
    // its end, or one byte past the largest message.
    QByteArray text;
    while (text.size() <= MailReadError::maximumMessageBytes) {
        const QByteArray piece = input.read(MailReadError::maximumMessageBytes + 1 - text.size());
        if (piece.isEmpty())
            break;
        text += piece;
    }
    if (text.size() > MailReadError::maximumMessageBytes)
        return {{label, MailReadError(MailReadError::Kind::tooLarge)}};
    return {MailReader::readText(QString::fromUtf8(text), label)};
}

} // namespace

int main(int argc, char* argv[])
{
    limitMemory();
#if defined(__linux__)
    // Ends with the application even when it is killed mid-read.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
    ::signal(SIGPIPE, SIG_IGN);
    QCoreApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.size() >= 2 && arguments.front() == QLatin1String("--now")) {
        bool number = false;
        const qint64 now = arguments.at(1).toLongLong(&number);
        if (!number)
            return 2;
        Clock::setFixed(QDateTime::fromMSecsSinceEpoch(now, Qt::UTC));
        arguments.remove(0, 2);
    }
    if (!(arguments.size() == 1 || (arguments.size() == 2 && arguments.front() == QLatin1String("--text")))) {
        std::fputs("usage: applywright-mail [--now MSECS] FILE | --text LABEL\n", stderr);
        return 2;
    }
    try {
        const QByteArray output = MailWorker::encode(readInput(arguments));
        if (std::fwrite(output.constData(), 1, size_t(output.size()), stdout) != size_t(output.size()))
            return 1;
        return std::fflush(stdout) == 0 ? 0 : 1;
    } catch (const std::bad_alloc&) {
        return 3; // over the memory limit: the application says the input could not be read
    }
}
