#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QLocalServer;
class QLocalSocket;

// One copy of Applywright runs per data folder. The running copy listens on a local
// socket in its data folder; a second start asks it to bring its window forward,
// handing over the image files it was started with, and then ends, instead of
// showing a failure window about a database in use.
class RunningInstance : public QObject {
    Q_OBJECT

public:
    static constexpr const char* socketName = "Applywright.socket";

    // A request is at most this long, one file's line included; anything longer is
    // not one of ours and is dropped unread.
    static constexpr qint64 maximumRequestBytes = 4 * 1024 * 1024;
    static constexpr qint64 maximumLineBytes = 16 * 1024;
    // A caller that has not finished its request by then is dropped.
    static constexpr int requestTimeoutMs = 5000;

    // Called with the files a later start was given (absolute paths, often none).
    using Activate = std::function<void(const QStringList& files)>;

    // Listens for later starts on `dataDirectory`; `activate` runs for each one. Only
    // the copy that holds the store's lock may listen: a socket file left by a copy
    // that died is replaced.
    RunningInstance(const QString& dataDirectory, Activate activate, QObject* parent = nullptr);
    ~RunningInstance() override;

    bool isListening() const;

    // Asks the copy running on `dataDirectory` to show its window and to import
    // `files` (absolute paths); true once it has answered. Waits at most `timeoutMs`.
    static bool activateRunningCopy(const QString& dataDirectory, const QStringList& files = {}, int timeoutMs = 3000);

    static QString socketPath(const QString& dataDirectory);

private:
    void answer();
    struct Request {
        QStringList files;
        qint64 received = 0;
    };
    // Reads what has arrived of one caller's request; false once the caller is
    // answered or dropped.
    bool readRequest(QLocalSocket& socket, Request& request);

    QLocalServer* m_server;
    Activate m_activate;
};
