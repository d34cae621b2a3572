#pragma once

#include <QByteArray>
#include <QString>

// Where the copy running on a data folder listens for later starts: a name made
// from the folder's path but kept outside the folder, so neither a long path nor
// anything lying in the folder stands in the way. On Linux it is an abstract
// socket (no file at all); elsewhere a socket in the user's own runtime folder.
// Both ends make sure the other runs as the same user before trusting it.
namespace InstanceSocket {

// The socket's address: on Linux the abstract name (without its leading NUL),
// elsewhere the socket file's path. Empty when no address can be made.
QByteArray address(const QString& dataDirectory);

// A listening, non-blocking socket, or -1 with errno set.
int listen(const QString& dataDirectory);
// Stops listening on a socket listen() gave.
void close(int listener, const QString& dataDirectory);

// The next caller waiting on `listener`, as a non-blocking socket, or -1 with errno
// set (EAGAIN when none is waiting).
int accept(int listener);

// A connected socket to the copy listening on `dataDirectory`, or -1 when there is
// none, its queue is full, or it runs as another user.
int connect(const QString& dataDirectory);

// Whether the other end of a connected socket runs as this user.
bool peerIsThisUser(int socket);

} // namespace InstanceSocket
