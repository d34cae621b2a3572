#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

// One copy of Applywright runs per data folder. The running copy listens on a local
// socket in its data folder; a second start asks it to bring its window forward and
// then ends, instead of showing a failure window about a database in use.
class RunningInstance : public QObject {
    Q_OBJECT

public:
    static constexpr const char* socketName = "Applywright.socket";

    // Listens for later starts on `dataDirectory`; `activate` runs for each one. Only
    // the copy that holds the store's lock may listen: a socket file left by a copy
    // that died is replaced.
    RunningInstance(const QString& dataDirectory, std::function<void()> activate, QObject* parent = nullptr);
    ~RunningInstance() override;

    bool isListening() const;

    // Asks the copy running on `dataDirectory` to show its window; true once it has
    // answered. Waits at most `timeoutMs`.
    static bool activateRunningCopy(const QString& dataDirectory, int timeoutMs = 3000);

    static QString socketPath(const QString& dataDirectory);

private:
    void answer();

    QLocalServer* m_server;
    std::function<void()> m_activate;
};
