#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

class QSocketNotifier;

// One copy of Applywright runs per data folder. The running copy listens on a local
// socket named after its data folder (InstanceSocket); a second start asks it to
// bring its window forward, handing over the image files it was started with, and
// then ends, instead of showing a failure window about a database in use.
class RunningInstance : public QObject {
    Q_OBJECT

public:
    // A request is at most this long, one file's line included; anything longer is
    // not one of ours and is dropped unread.
    static constexpr qint64 maximumRequestBytes = 4 * 1024 * 1024;
    static constexpr qint64 maximumLineBytes = 16 * 1024;
    // A caller that has not finished its request by then is dropped.
    static constexpr int requestTimeoutMs = 5000;
    // Callers served at once; later ones wait in the system's queue. However many
    // knock, the window keeps descriptors for its own files.
    static constexpr int maximumConnections = 16;
    // After the system refused a new connection (out of descriptors or memory),
    // listening goes on: the next attempt comes this much later.
    static constexpr int acceptRetryMs = 200;

    // Called with the files a later start was given (absolute paths, often none).
    using Activate = std::function<void(const QStringList& files)>;

    // Listens for later starts on `dataDirectory`; `activate` runs for each one. Only
    // the copy that holds the store's lock may listen.
    RunningInstance(const QString& dataDirectory, Activate activate, QObject* parent = nullptr);
    ~RunningInstance() override;

    bool isListening() const { return m_listener >= 0; }

    // Asks the copy running on `dataDirectory` to show its window and to import
    // `files` (absolute paths); true once it has answered. Waits at most `timeoutMs`.
    static bool activateRunningCopy(const QString& dataDirectory, const QStringList& files = {}, int timeoutMs = 3000);

private:
    class Caller;
    // Takes the callers that are waiting, up to the cap.
    void acceptWaiting();
    void serve(int descriptor);

    QString m_dataDirectory;
    int m_listener = -1;
    QSocketNotifier* m_waiting = nullptr;
    QTimer m_retry;
    int m_connections = 0;
    Activate m_activate;
};
