#include "app/RunningInstance.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

namespace {
constexpr char request[] = "activate\n";
constexpr char reply[] = "ok\n";
} // namespace

QString RunningInstance::socketPath(const QString& dataDirectory)
{
    return QDir(dataDirectory).filePath(QLatin1String(socketName));
}

RunningInstance::RunningInstance(const QString& dataDirectory, std::function<void()> activate, QObject* parent)
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
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > 64)
                    socket->abort(); // not one of ours
                return;
            }
            if (socket->readLine(64) == request) {
                m_activate();
                socket->write(reply);
                socket->flush();
            }
            socket->disconnectFromServer();
        });
    }
}

bool RunningInstance::activateRunningCopy(const QString& dataDirectory, int timeoutMs)
{
    const QString path = socketPath(dataDirectory);
    const QDeadlineTimer deadline(timeoutMs);
    // The running copy takes the store's lock a moment before it starts listening.
    for (int attempt = 0; attempt < 5 && !deadline.hasExpired(); ++attempt) {
        QLocalSocket socket;
        socket.connectToServer(path);
        if (!socket.waitForConnected(int(std::max<qint64>(1, deadline.remainingTime())))) {
            QThread::msleep(100);
            continue;
        }
        socket.write(request);
        if (!socket.waitForBytesWritten(int(std::max<qint64>(1, deadline.remainingTime()))))
            return false;
        while (!socket.canReadLine()) {
            if (!socket.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime()))))
                return false;
        }
        return socket.readLine(64) == reply;
    }
    return false;
}
