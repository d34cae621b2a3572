#include "app/RunningInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <memory>

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
} // namespace

QString RunningInstance::socketPath(const QString& dataDirectory)
{
    return QDir(dataDirectory).filePath(QLatin1String(socketName));
}

RunningInstance::RunningInstance(const QString& dataDirectory, Activate activate, QObject* parent)
    : QObject(parent)
    , m_server(new QLocalServer(this))
    , m_activate(std::move(activate))
{
    const QString path = socketPath(dataDirectory);
    // Only the owner may knock (the folder is the owner's alone as well).
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(path);
    // A path too long for a socket only costs the hand-over: a second start then
    // shows why it cannot open the database.
    if (!m_server->listen(path))
        return;
    connect(m_server, &QLocalServer::newConnection, this, &RunningInstance::answer);
}

RunningInstance::~RunningInstance()
{
    m_server->close();
}

bool RunningInstance::isListening() const
{
    return m_server->isListening();
}

void RunningInstance::answer()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(requestTimeoutMs, socket, [socket] { socket->abort(); });
        auto request = std::make_shared<Request>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, request] {
            if (!readRequest(*socket, *request))
                socket->disconnect(this);
        });
    }
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
        if (!QDir::isAbsolutePath(file))
            return drop();
        request.files.append(file);
    }
    // A partial line waits for the rest, unless it is already longer than any of ours.
    const qint64 pending = socket.bytesAvailable();
    if (pending > maximumLineBytes || request.received + pending > maximumRequestBytes)
        return drop();
    return true;
}

bool RunningInstance::activateRunningCopy(const QString& dataDirectory, const QStringList& files, int timeoutMs)
{
    QByteArray message;
    for (const QString& file : files)
        message += openPrefix + QUrl::fromLocalFile(file).toEncoded() + '\n';
    message += activateLine;

    const QString path = socketPath(dataDirectory);
    const QDeadlineTimer deadline(timeoutMs);
    // The running copy takes the store's lock a moment before it starts listening.
    for (int attempt = 0; attempt < 5 && !deadline.hasExpired(); ++attempt) {
        QLocalSocket socket;
        socket.connectToServer(path);
        if (!socket.waitForConnected(remainingMs(deadline))) {
            QThread::msleep(100);
            continue;
        }
        socket.write(message);
        while (socket.bytesToWrite() > 0) {
            if (!socket.waitForBytesWritten(remainingMs(deadline)))
                return false;
        }
        while (!socket.canReadLine()) {
            if (!socket.waitForReadyRead(remainingMs(deadline)))
                return false;
        }
        return socket.readLine(64) == okLine;
    }
    return false;
}
