#include "posting/OcrWorkerClient.h"

#include "model/ProgramBeside.h"
#include "model/SocketIo.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace OcrWorkerClient {
namespace {

RecognizerError failure(const char* text)
{
    return RecognizerError::engineFailure(QCoreApplication::translate("RecognizerError", text));
}

// How a request went; `ready` only between the steps of one.
enum class Exchange { ready, answered, workerGone, timedOut, cancelled, broken };

// Workers running in this process, whoever holds them.
std::atomic<int> runningWorkers {0};

class Worker;
bool adoptSpare(Worker& worker, const QString& program, qint64 memoryLimit);

class Worker {
public:
    Worker() = default;
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;
    ~Worker() { stop(); }

    bool isRunning(const QString& program, qint64 memoryLimit)
    {
        reapIfGone();
        return m_pid > 0 && m_program == program && m_memoryLimit == memoryLimit;
    }

    // Takes over `other`'s process, which this one's thread will use from now on.
    void adopt(Worker& other)
    {
        stop();
        m_pid = std::exchange(other.m_pid, -1);
        m_fd = std::exchange(other.m_fd, -1);
        m_program = other.m_program;
        m_memoryLimit = other.m_memoryLimit;
    }

    // Returns 0, or the errno that kept the worker from starting.
    int start(const QString& program, qint64 memoryLimit);

    Expected<OcrProtocol::Response, RecognizerError> run(
        const OcrProtocol::Request& request, const RecognitionSettings& settings)
    {
        const QString program = settings.workerProgram.isEmpty() ? defaultProgram() : settings.workerProgram;
        const QByteArray frame = OcrProtocol::frame(request);
        const QDeadlineTimer deadline(settings.deadlineMs);
        const std::atomic<bool>* cancelled = settings.cancelled.get();
        // Twice at most: a worker may end itself for idleness just as a request arrives.
        for (int attempt = 0; attempt < 2; ++attempt) {
            reapIfGone();
            if (m_pid > 0 && (m_program != program || m_memoryLimit != settings.memoryLimitBytes))
                stop();
            if (m_pid <= 0 && !adoptSpare(*this, program, settings.memoryLimitBytes)) {
                if (const int error = start(program, settings.memoryLimitBytes); error != 0)
                    return RecognizerError::engineFailure(QCoreApplication::translate("RecognizerError",
                        "Text recognition could not start: its helper program “%1” could not be run (%2).")
                                                              .arg(program, qt_error_string(error)));
            }
            QByteArray body;
            bool receivedAnything = false;
            switch (exchange(frame, deadline, cancelled, &body, &receivedAnything)) {
            case Exchange::answered:
                if (auto response = OcrProtocol::readResponse(body))
                    return *response;
                stop();
                return failure(QT_TRANSLATE_NOOP(
                    "RecognizerError", "Text recognition stopped unexpectedly while reading this image."));
            case Exchange::timedOut:
                stop();
                return failure(
                    QT_TRANSLATE_NOOP("RecognizerError", "Reading this image took too long, so it was stopped."));
            case Exchange::cancelled:
                stop();
                return failure(QT_TRANSLATE_NOOP("RecognizerError", "Text recognition was stopped."));
            case Exchange::broken:
                stop();
                return failure(QT_TRANSLATE_NOOP(
                    "RecognizerError", "Text recognition stopped unexpectedly while reading this image."));
            case Exchange::ready:
            case Exchange::workerGone: {
                const int status = stop();
                const bool leftWhenIdle = WIFEXITED(status) && WEXITSTATUS(status) == 0;
                if (leftWhenIdle && !receivedAnything)
                    continue;
                return failure(QT_TRANSLATE_NOOP(
                    "RecognizerError", "Text recognition stopped unexpectedly while reading this image."));
            }
            }
        }
        return failure(
            QT_TRANSLATE_NOOP("RecognizerError", "Text recognition stopped unexpectedly while reading this image."));
    }

    // Ends the worker (killed: it holds nothing worth a clean ending) and returns
    // its wait status.
    int stop()
    {
        int status = 0;
        if (m_fd >= 0) {
            ::close(m_fd);
            m_fd = -1;
        }
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) { }
            m_pid = -1;
            --runningWorkers;
        }
        return status;
    }

private:
    // A worker that ended itself (idle, or after running out of memory) is gone
    // before the next request is written to it.
    void reapIfGone()
    {
        int status = 0;
        if (m_pid > 0 && ::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            ::close(m_fd);
            m_fd = -1;
            --runningWorkers;
        }
    }

    Exchange await(short events, const QDeadlineTimer& deadline, const std::atomic<bool>* cancelled)
    {
        switch (SocketIo::waitFor(m_fd, events, deadline, cancelled)) {
        case SocketIo::Wait::ready: return Exchange::ready;
        case SocketIo::Wait::timedOut: return Exchange::timedOut;
        case SocketIo::Wait::cancelled: return Exchange::cancelled;
        case SocketIo::Wait::failed: break;
        }
        return Exchange::broken;
    }

    Exchange exchange(const QByteArray& frame, const QDeadlineTimer& deadline, const std::atomic<bool>* cancelled,
        QByteArray* body, bool* receivedAnything)
    {
        switch (SocketIo::sendAll(m_fd, frame.constData(), size_t(frame.size()), deadline, cancelled)) {
        case SocketIo::Sent::all: break;
        case SocketIo::Sent::timedOut: return Exchange::timedOut;
        case SocketIo::Sent::cancelled: return Exchange::cancelled;
        case SocketIo::Sent::closed: return Exchange::workerGone;
        case SocketIo::Sent::failed: return Exchange::broken;
        }

        char header[OcrProtocol::headerSize];
        qsizetype have = 0;
        std::optional<quint32> length;
        while (!length || have < *length) {
            if (const Exchange state = await(POLLIN, deadline, cancelled); state != Exchange::ready)
                return state;
            char* into = length ? body->data() + have : header + have;
            const qsizetype want = length ? qsizetype(*length) - have : OcrProtocol::headerSize - have;
            const ssize_t n = ::recv(m_fd, into, size_t(want), 0);
            if (n == 0)
                return *receivedAnything ? Exchange::broken : Exchange::workerGone;
            if (n < 0) {
                if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
                    continue;
                return errno == ECONNRESET && !*receivedAnything ? Exchange::workerGone : Exchange::broken;
            }
            *receivedAnything = true;
            have += n;
            if (!length && have == OcrProtocol::headerSize) {
                length = OcrProtocol::bodyLength(header, OcrProtocol::responseMark, OcrProtocol::maximumResponseBody);
                if (!length)
                    return Exchange::broken;
                body->resize(qsizetype(*length));
                have = 0;
            }
        }
        return Exchange::answered;
    }

    pid_t m_pid = -1;
    int m_fd = -1;
    QString m_program;
    qint64 m_memoryLimit = 0;
};

int Worker::start(const QString& program, qint64 memoryLimit)
{
    int sockets[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, sockets) != 0)
        return errno;
    for (int fd : sockets)
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    SocketIo::keepSignalsAway(sockets[0]);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The worker's standard input and output are its end of the socket; its
    // errors go where the application's go.
    posix_spawn_file_actions_adddup2(&actions, sockets[1], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, sockets[1], STDOUT_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
#if defined(__GLIBC__)
    // Nothing else of the application's: not its database, not its lock.
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
#elif defined(POSIX_SPAWN_CLOEXEC_DEFAULT)
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_CLOEXEC_DEFAULT);
#endif

    const QByteArray path = QFile::encodeName(program);
    const QByteArray limit = QByteArray::number(memoryLimit);
    char* arguments[] = {const_cast<char*>(path.constData()), const_cast<char*>("--memory-limit"),
        const_cast<char*>(limit.constData()), nullptr};
    // Tesseract's OpenMP threads spin against each other on few cores; libgomp
    // reads the limit once, when it loads, so it goes into the environment.
    static const char threadLimit[] = "OMP_THREAD_LIMIT=1";
    std::vector<char*> environment;
    for (char** entry = environ; entry && *entry; ++entry) {
        if (std::strncmp(*entry, "OMP_THREAD_LIMIT=", 17) != 0)
            environment.push_back(*entry);
    }
    environment.push_back(const_cast<char*>(threadLimit));
    environment.push_back(nullptr);

    pid_t pid = -1;
    const int error = ::posix_spawn(&pid, path.constData(), &actions, &attributes, arguments, environment.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(sockets[1]);
    if (error != 0) {
        ::close(sockets[0]);
        return error;
    }
    ::fcntl(sockets[0], F_SETFL, ::fcntl(sockets[0], F_GETFL) | O_NONBLOCK);
    m_pid = pid;
    m_fd = sockets[0];
    ++runningWorkers;
    m_program = program;
    m_memoryLimit = memoryLimit;
    return 0;
}

// A worker started ahead of time, for the first thread that needs one.
struct Spare {
    std::mutex mutex;
    Worker worker;
};

Spare& spare()
{
    static Spare instance;
    return instance;
}

bool adoptSpare(Worker& worker, const QString& program, qint64 memoryLimit)
{
    Spare& waiting = spare();
    const std::lock_guard lock(waiting.mutex);
    if (!waiting.worker.isRunning(program, memoryLimit))
        return false;
    worker.adopt(waiting.worker);
    return true;
}

Worker& thisThreadsWorker()
{
    thread_local Worker worker;
    return worker;
}

} // namespace

Expected<OcrProtocol::Response, RecognizerError> run(
    const OcrProtocol::Request& request, const RecognitionSettings& settings)
{
    return thisThreadsWorker().run(request, settings);
}

void stopThisThreadsWorker()
{
    thisThreadsWorker().stop();
}

void prepareWorker(const RecognitionSettings& settings)
{
    // A running worker has its language data loaded, or soon will.
    if (runningWorkers.load() > 0)
        return;
    const QString program = settings.workerProgram.isEmpty() ? defaultProgram() : settings.workerProgram;
    Spare& waiting = spare();
    const std::lock_guard lock(waiting.mutex);
    if (!waiting.worker.isRunning(program, settings.memoryLimitBytes))
        waiting.worker.start(program, settings.memoryLimitBytes);
}

QString defaultProgram()
{
    return programBeside(QStringLiteral("applywright-ocr"));
}

} // namespace OcrWorkerClient
