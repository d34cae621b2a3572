// applywright-mail: the mail worker. The application starts it when an import reads
// its first input, sends it one request at a time (a file, or pasted text) and
// reads back every message it read, or why not (MailWorker). Everything hostile mail
// can do to the MIME parser happens here, under a memory limit, and the application
// kills this process when a request runs past its deadline.
//
// It ends when its input closes: the import is done, or the application went away.

#include "mail/MailReader.h"
#include "mail/MailWorker.h"
#include "model/Clock.h"
#include "model/WorkerPipes.h"

#include <QtEndian>

#include <csignal>
#include <new>

#if defined(__linux__)
#include <sys/prctl.h>
#endif

namespace {

// Room for the largest message the reader takes, parsed and decoded, many times over.
constexpr unsigned long long memoryLimitBytes = 1ull << 30;

QList<MailReader::Item> answer(const MailWorker::Request& request)
{
    Clock::setFixed(request.now);
    if (request.isText)
        return {MailReader::readText(request.pathOrText, request.label)};
    return MailReader::readFile(request.pathOrText);
}

} // namespace

int main()
{
    WorkerPipes::limitDataMemory(memoryLimitBytes);
#if defined(__linux__)
    // Ends with the application even when it is killed mid-read.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
    // A write to an application that went away is an error to return, not a signal.
    ::signal(SIGPIPE, SIG_IGN);
    for (;;) {
        char header[4];
        switch (WorkerPipes::readFully(header, sizeof header)) {
        case WorkerPipes::Read::closed: return 0;
        case WorkerPipes::Read::failed: return 1;
        case WorkerPipes::Read::complete: break;
        }
        const quint32 length = qFromBigEndian<quint32>(header);
        if (length > MailWorker::maximumRequestBytes)
            return 1;
        try {
            QByteArray body(qsizetype(length), Qt::Uninitialized);
            if (WorkerPipes::readFully(body.data(), body.size()) != WorkerPipes::Read::complete)
                return 1;
            const std::optional<MailWorker::Request> request = MailWorker::decodeRequest(body);
            body.clear();
            if (!request)
                return 1;
            if (!WorkerPipes::writeFully(MailWorker::framed(MailWorker::encodeAnswer(answer(*request)))))
                return 1;
        } catch (const std::bad_alloc&) {
            return 3; // over the memory limit: the application says the input could not be read
        }
    }
}
