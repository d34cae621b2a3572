#include "model/WorkerPipes.h"

#include <cerrno>

#include <sys/resource.h>
#include <unistd.h>

namespace WorkerPipes {

Read readFully(char* into, qsizetype size)
{
    for (qsizetype have = 0; have < size;) {
        const ssize_t n = ::read(STDIN_FILENO, into + have, size_t(size - have));
        if (n == 0)
            return have == 0 ? Read::closed : Read::failed;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return Read::failed;
        }
        have += n;
    }
    return Read::complete;
}

bool writeFully(const QByteArray& bytes)
{
    for (qsizetype sent = 0; sent < bytes.size();) {
        const ssize_t n = ::write(STDOUT_FILENO, bytes.constData() + sent, size_t(bytes.size() - sent));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        sent += n;
    }
    return true;
}

void limitDataMemory(unsigned long long bytes)
{
#if defined(__SANITIZE_ADDRESS__)
    (void)bytes;
#else
    const rlimit data {rlim_t(bytes), rlim_t(bytes)};
    ::setrlimit(RLIMIT_DATA, &data);
#endif
}

} // namespace WorkerPipes
