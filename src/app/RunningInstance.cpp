#include "app/RunningInstance.h"

#include "app/InstanceSocket.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <QThread>
#include <QUrl>

#include <cerrno>

#include <sys/socket.h>
#include <unistd.h>

namespace {
// A request: one line per file, "open " and the file's URL (percent-encoded, so a
// line break in a name cannot end the line), then "activate". The answer: "ok".
constexpr char openPrefix[] = "open ";
constexpr char activateLine[] = "activate\n";
constexpr char okLine[] = "ok\n";

int remainingMs(const QDeadlineTimer& deadline)
{
    return int(std::max<qint64>(1, deadline.remainingTime()));
}

std::unique_ptr<QLocalSocket> adopt(int descriptor, QObject* parent = nullptr)
{
    auto socket = std::make_unique<QLocalSocket>(parent);
    if (!socket->setSocketDescriptor(descriptor)) {
        ::close(descriptor);
        return nullptr;
    }
    return socket;
}
} // namespace

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
        const int descriptor = ::accept(m_listener, nullptr, nullptr);
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
        if (std::unique_ptr<QLocalSocket> socket = adopt(descriptor, this))
            serve(socket.release());
    }
    // At the cap: later callers wait in the queue until one of these is done.
    m_waiting->setEnabled(false);
}

void RunningInstance::serve(QLocalSocket* socket)
{
    ++m_connections;
    connect(socket, &QObject::destroyed, this, [this] {
        --m_connections;
        if (!m_retry.isActive())
            m_waiting->setEnabled(true);
    });
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(requestTimeoutMs, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
    auto request = std::make_shared<Request>();
    connect(socket, &QLocalSocket::readyRead, this, [this, socket, request] {
        if (!readRequest(*socket, *request))
            socket->disconnect(this);
    });
}

bool RunningInstance::readRequest(QLocalSocket& socket, Request& request)
{
    const auto drop = [&socket] {
        socket.abort(); // not one of ours
        return false;
    };
    while (socket.canReadLine()) {
        const QByteArray line = socket.readLine(maximumLineBytes + 1);
        request.received += line.size();
        if (!line.endsWith('\n') || request.received > maximumRequestBytes)
            return drop();
        if (line == activateLine) {
            m_activate(request.files);
            socket.write(okLine);
            socket.flush();
            socket.disconnectFromServer();
            return false;
        }
        if (!line.startsWith(openPrefix))
            return drop();
        const QUrl url = QUrl::fromEncoded(line.sliced(qsizetype(sizeof openPrefix) - 1).chopped(1), QUrl::StrictMode);
        const QString file = url.isValid() && url.isLocalFile() ? url.toLocalFile() : QString();
        // A NUL ("%00") would end the name early wherever it is handed to the system.
        if (!QDir::isAbsolutePath(file) || file.contains(QChar(0)))
            return drop();
        request.files.append(file);
    }
    // A partial line waits for the rest, unless it is already longer than any of ours.
    const qint64 pending = socket.bytesAvailable();
    if (pending > maximumLineBytes || request.received + pending > maximumRequestBytes)
        return drop();
    return true;
}

std::unique_ptr<QLocalSocket> RunningInstance::connectToRunningCopy(const QString& dataDirectory)
{
    const int descriptor = InstanceSocket::connect(dataDirectory);
    return descriptor < 0 ? nullptr : adopt(descriptor);
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
        const std::unique_ptr<QLocalSocket> socket = connectToRunningCopy(dataDirectory);
        if (!socket) {
            QThread::msleep(100);
            continue;
        }
        socket->write(message);
        while (socket->bytesToWrite() > 0) {
            if (!socket->waitForBytesWritten(remainingMs(deadline)))
                return false;
        }
        while (!socket->canReadLine()) {
            if (!socket->waitForReadyRead(remainingMs(deadline)))
                return false;
        }
        return socket->readLine(64) == okLine;
    }
    return false;
}
