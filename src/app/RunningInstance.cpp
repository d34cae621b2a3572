#include "app/RunningInstance.h"

#include "app/InstanceSocket.h"
#include "model/SocketIo.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QSocketNotifier>
#include <QThread>
#include <QUrl>

#include <cerrno>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// A request: one line per file, "open " and the file's URL (percent-encoded, so a
// line break in a name cannot end the line), then "activate". The answer: "ok".
constexpr char openPrefix[] = "open ";
constexpr char activateLine[] = "activate\n";
constexpr char okLine[] = "ok\n";

// Writes the request to the running copy and reads its answer, within `deadline`.
bool handOver(int socket, const QByteArray& request, const QDeadlineTimer& deadline)
{
    if (SocketIo::sendAll(socket, request.constData(), size_t(request.size()), deadline) != SocketIo::Sent::all)
        return false;
    QByteArray answer;
    while (!answer.endsWith('\n')) {
        if (SocketIo::waitFor(socket, POLLIN, deadline) != SocketIo::Wait::ready)
            return false;
        char piece[sizeof okLine];
        const ssize_t n = ::recv(socket, piece, sizeof piece, 0);
        if (n == 0)
            return false;
        if (n < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
                continue;
            return false;
        }
        answer.append(piece, n);
        if (answer.size() > qsizetype(sizeof okLine))
            return false;
    }
    return answer == okLine;
}
} // namespace

// One later start's connection, read as its request arrives: answered and closed
// once it asks for the window, dropped at the first thing that is not one of ours,
// or when it ends or falls silent before asking.
class RunningInstance::Caller : public QObject {
public:
    Caller(int descriptor, RunningInstance& instance)
        : QObject(&instance)
        , m_descriptor(descriptor)
        , m_instance(instance)
        , m_readable(qintptr(descriptor), QSocketNotifier::Read)
    {
        connect(&m_readable, &QSocketNotifier::activated, this, &Caller::readArrived);
        QTimer::singleShot(requestTimeoutMs, this, &Caller::hangUp);
    }

    ~Caller() override
    {
        m_readable.setEnabled(false);
        ::close(m_descriptor);
    }

private:
    void hangUp()
    {
        m_readable.setEnabled(false);
        deleteLater();
    }

    void readArrived()
    {
        char chunk[16 * 1024];
        for (;;) {
            const ssize_t n = ::recv(m_descriptor, chunk, sizeof chunk, 0);
            if (n > 0) {
                m_pending.append(chunk, n);
                if (!takeLines())
                    return;
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                return;
            } else {
                hangUp(); // gone, or broken, before it asked for anything
                return;
            }
        }
    }

    // Takes the whole lines that have arrived; false once the caller is answered or dropped.
    bool takeLines()
    {
        const auto drop = [this] {
            hangUp(); // not one of ours
            return false;
        };
        qsizetype from = 0;
        for (qsizetype end; (end = m_pending.indexOf('\n', from)) >= 0; from = end + 1) {
            const QByteArrayView line(m_pending.constData() + from, end + 1 - from);
            m_received += line.size();
            if (line.size() - 1 > maximumLineBytes || m_received > maximumRequestBytes)
                return drop();
            if (line == activateLine) {
                answer();
                return false;
            }
            if (!line.startsWith(openPrefix))
                return drop();
            const QByteArray encoded = line.sliced(qsizetype(sizeof openPrefix) - 1).chopped(1).toByteArray();
            const QUrl url = QUrl::fromEncoded(encoded, QUrl::StrictMode);
            const QString file = url.isValid() && url.isLocalFile() ? url.toLocalFile() : QString();
            // A NUL ("%00") would end the name early wherever it is handed to the system.
            if (!QDir::isAbsolutePath(file) || file.contains(QChar(0)))
                return drop();
            m_files.append(file);
        }
        m_pending.remove(0, from);
        // A partial line waits for the rest, unless it is already longer than any of ours.
        if (m_pending.size() > maximumLineBytes || m_received + m_pending.size() > maximumRequestBytes)
            return drop();
        return true;
    }

    void answer()
    {
        // Nothing more is read from this caller, even if bringing the window forward
        // runs the event loop.
        m_readable.setEnabled(false);
        m_instance.m_activate(m_files);
        // Three bytes into an empty socket: never a wait on the window's thread.
        SocketIo::sendAll(m_descriptor, okLine, sizeof okLine - 1, QDeadlineTimer(0));
        hangUp();
    }

    const int m_descriptor;
    RunningInstance& m_instance;
    QSocketNotifier m_readable;
    QByteArray m_pending;
    QStringList m_files;
    qint64 m_received = 0;
};

RunningInstance::RunningInstance(const QString& dataDirectory, Activate activate, QObject* parent)
    : QObject(parent)
    , m_dataDirectory(dataDirectory)
    , m_activate(std::move(activate))
{
    // A name that cannot be had (another user took it first) only costs the
    // hand-over: a second start then shows why it cannot open the database.
    m_listener = InstanceSocket::listen(m_dataDirectory);
    if (m_listener < 0)
        return;
    m_waiting = new QSocketNotifier(qintptr(m_listener), QSocketNotifier::Read, this);
    connect(m_waiting, &QSocketNotifier::activated, this, &RunningInstance::acceptWaiting);
    m_retry.setSingleShot(true);
    m_retry.setInterval(acceptRetryMs);
    connect(&m_retry, &QTimer::timeout, this, [this] {
        m_waiting->setEnabled(true);
        acceptWaiting();
    });
}

RunningInstance::~RunningInstance()
{
    delete m_waiting;
    InstanceSocket::close(m_listener, m_dataDirectory);
}

void RunningInstance::acceptWaiting()
{
    while (m_connections < maximumConnections) {
        const int descriptor = InstanceSocket::accept(m_listener);
        if (descriptor < 0) {
            const int error = errno;
            if (error == EINTR || error == ECONNABORTED)
                continue;
            if (error == EAGAIN || error == EWOULDBLOCK)
                return;
            // Out of descriptors or memory: the caller stays queued, and the socket
            // keeps listening. Asked again at once, the system would only refuse again.
            m_waiting->setEnabled(false);
            m_retry.start();
            return;
        }
        // The name is not private on every system: only this user's starts are heard.
        if (!InstanceSocket::peerIsThisUser(descriptor)) {
            ::close(descriptor);
            continue;
        }
        serve(descriptor);
    }
    // At the cap: later callers wait in the queue until one of these is done.
    m_waiting->setEnabled(false);
}

void RunningInstance::serve(int descriptor)
{
    ++m_connections;
    connect(new Caller(descriptor, *this), &QObject::destroyed, this, [this] {
        --m_connections;
        if (!m_retry.isActive())
            m_waiting->setEnabled(true);
    });
}

bool RunningInstance::activateRunningCopy(const QString& dataDirectory, const QStringList& files, int timeoutMs)
{
    QByteArray message;
    for (const QString& file : files)
        message += openPrefix + QUrl::fromLocalFile(file).toEncoded() + '\n';
    message += activateLine;

    const QDeadlineTimer deadline(timeoutMs);
    // The running copy takes the store's lock a moment before it starts listening,
    // and its queue may be full for a moment.
    for (int attempt = 0; attempt < 5 && !deadline.hasExpired(); ++attempt) {
        const int socket = InstanceSocket::connect(dataDirectory);
        if (socket < 0) {
            QThread::msleep(100);
            continue;
        }
        const bool answered = handOver(socket, message, deadline);
        ::close(socket);
        return answered;
    }
    return false;
}
