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

#include <QtEndian>

#include <cerrno>
#include <csignal>
#include <new>

#include <sys/resource.h>
#include <unistd.h>

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

enum class Read { complete, closed, broken };

// A pipe hands data over in pieces: all `size` bytes, or why not.
Read readFully(char* data, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t got = ::read(STDIN_FILENO, data + done, size_t(size - done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return done == 0 && got == 0 ? Read::closed : Read::broken;
        done += got;
    }
    return Read::complete;
}

bool writeFully(const QByteArray& bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(STDOUT_FILENO, bytes.constData() + done, size_t(bytes.size() - done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        done += put;
    }
    return true;
}

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
    limitMemory();
#if defined(__linux__)
    // Ends with the application even when it is killed mid-read.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
    // A write to an application that went away is an error to return, not a signal.
    ::signal(SIGPIPE, SIG_IGN);
    for (;;) {
        char header[4];
        switch (readFully(header, sizeof header)) {
        case Read::closed: return 0;
        case Read::broken: return 1;
        case Read::complete: break;
        }
        const quint32 length = qFromBigEndian<quint32>(header);
        if (length > MailWorker::maximumRequestBytes)
            return 1;
        try {
            QByteArray body(qsizetype(length), Qt::Uninitialized);
            if (readFully(body.data(), body.size()) != Read::complete)
                return 1;
            const std::optional<MailWorker::Request> request = MailWorker::decodeRequest(body);
            body.clear();
            if (!request)
                return 1;
            if (!writeFully(MailWorker::framed(MailWorker::encodeAnswer(answer(*request)))))
                return 1;
        } catch (const std::bad_alloc&) {
            return 3; // over the memory limit: the application says the input could not be read
        }
    }
}
