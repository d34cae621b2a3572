#include "model/SocketIo.h"

#include <algorithm>
#include <cerrno>

#include <poll.h>
#include <sys/socket.h>

namespace SocketIo {

namespace {
// How often a wait looks at the cancel flag.
constexpr int sliceMs = 50;
} // namespace

Wait waitFor(int socket, short events, const QDeadlineTimer& deadline, const std::atomic<bool>* cancelled)
{
    for (;;) {
        if (cancelled && cancelled->load())
            return Wait::cancelled;
        if (deadline.hasExpired())
            return Wait::timedOut;
        pollfd watched {socket, events, 0};
        const qint64 left = deadline.remainingTime();
        const int rc = ::poll(&watched, 1, int(left < 0 ? sliceMs : std::min<qint64>(left, sliceMs)));
        if (rc > 0)
            return Wait::ready;
        if (rc < 0 && errno != EINTR)
            return Wait::failed;
    }
}

Sent sendAll(
    int socket, const char* data, std::size_t size, const QDeadlineTimer& deadline, const std::atomic<bool>* cancelled)
{
    for (std::size_t sent = 0; sent < size;) {
        if (cancelled && cancelled->load())
            return Sent::cancelled;
#if defined(MSG_NOSIGNAL)
        const ssize_t n = ::send(socket, data + sent, size - sent, MSG_NOSIGNAL);
#else
        const ssize_t n = ::send(socket, data + sent, size - sent, 0);
#endif
        if (n > 0) {
            sent += std::size_t(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return errno == EPIPE || errno == ECONNRESET ? Sent::closed : Sent::failed;
        // Full: wait for room.
        switch (waitFor(socket, POLLOUT, deadline, cancelled)) {
        case Wait::ready: break;
        case Wait::timedOut: return Sent::timedOut;
        case Wait::cancelled: return Sent::cancelled;
        case Wait::failed: return Sent::failed;
        }
    }
    return Sent::all;
}

void keepSignalsAway(int socket)
{
#if defined(SO_NOSIGPIPE)
    const int on = 1;
    ::setsockopt(socket, SOL_SOCKET, SO_NOSIGPIPE, &on, sizeof on);
#else
    (void)socket;
#endif
}

} // namespace SocketIo
