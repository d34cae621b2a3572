#pragma once

#include <QDeadlineTimer>

#include <atomic>
#include <cstddef>

// Waiting on and writing to a non-blocking local socket, for the two places that
// talk over one from a thread they may block: the recognition worker's client and
// a second start handing over to the running copy.
namespace SocketIo {

enum class Wait { ready, timedOut, cancelled, failed };

// Waits until `socket` is ready for `events` (poll's POLLIN, POLLOUT), the deadline
// passes, or `cancelled` is set; the flag is looked at every few dozen milliseconds.
Wait waitFor(int socket, short events, const QDeadlineTimer& deadline, const std::atomic<bool>* cancelled = nullptr);

// `closed`: the other end is gone (it would have been SIGPIPE; that is never raised).
enum class Sent { all, timedOut, cancelled, closed, failed };

// All of `size` bytes, in as many pieces as the socket takes; waits for room only
// when the socket is full, so an expired deadline means "only what fits now".
Sent sendAll(int socket, const char* data, std::size_t size, const QDeadlineTimer& deadline,
    const std::atomic<bool>* cancelled = nullptr);

// For systems where send() cannot be told per call not to raise SIGPIPE: marks the
// socket once, before anything is sent on it.
void keepSignalsAway(int socket);

} // namespace SocketIo
