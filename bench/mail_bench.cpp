// Reading mail as the import does: GMime's parse, the text, the reading and the match
// against the corpus store, per message; beside it a plain anchor (the same bytes
// decoded and lower-cased) measured in the same run, and the hostile messages.
#include "backup/BackupTransfer.h"
#include "mail/MailMatcher.h"
#include "mail/MailReader.h"
#include "mail/MailReading.h"
#include "mail/MailWorker.h"
#include "model/Vocabulary.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

const QString mailDirectory = QStringLiteral(APPLYWRIGHT_MAIL_DIR);

QByteArray readFile(const QString& name)
{
    QFile file(mailDirectory + QStringLiteral("/messages/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const MailMatcher& corpusMatcher()
{
    static const MailMatcher matcher = [] {
        QList<MailCandidate> candidates;
        if (const auto contents = readBackup(mailDirectory + QStringLiteral("/store.json"))) {
            for (qsizetype i = 0; i < contents->applications.size(); ++i) {
                candidates.append(MailCandidate::of(i, contents->applications[i]));
            }
        }
        return MailMatcher(candidates);
    }();
    return matcher;
}

// The samples: a tracking system's rejection with an HTML twin, an HTML-only message,
// a Turkish one in base64 and windows-1254, and an inline forward.
const char* const samples[] = {"t01-greenhouse-rejection-acme-backend.eml", "t03-workday-rejection-initech-filled.eml",
    "t16-ozturk-ret-windows1254.eml", "t56-forward-gmail-hooli.eml"};

void BM_Mail_ReadOne(benchmark::State& state)
{
    const QByteArray bytes = readFile(QString::fromLatin1(samples[state.range(0)]));
    if (bytes.isEmpty()) {
        state.SkipWithError("mail corpus not found");
        return;
    }
    for (auto _ : state) {
        const MailReader::Item item = MailReader::readBytes(bytes, QStringLiteral("m.eml"));
        const MailReading reading = MailReading::of(item.result.value());
        benchmark::DoNotOptimize(reading);
        benchmark::DoNotOptimize(corpusMatcher().match(item.result.value()));
    }
    state.SetLabel(samples[state.range(0)]);
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_Mail_ReadOne)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

// The anchor: the same bytes of the first sample decoded and lower-cased.
void BM_Mail_Anchor(benchmark::State& state)
{
    const QByteArray bytes = readFile(QString::fromLatin1(samples[0]));
    for (auto _ : state)
        benchmark::DoNotOptimize(QString::fromUtf8(bytes).toLower());
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_Mail_Anchor)->Unit(benchmark::kMicrosecond);

// The parts alone, on the first sample.
void BM_Mail_Parts(benchmark::State& state)
{
    const QByteArray bytes = readFile(QString::fromLatin1(samples[0]));
    const MailMessage message = MailReader::readBytes(bytes, QStringLiteral("m.eml")).result.value();
    for (auto _ : state) {
        switch (state.range(0)) {
        case 0: benchmark::DoNotOptimize(MailReader::readBytes(bytes, QStringLiteral("m.eml"))); break;
        case 1: benchmark::DoNotOptimize(MailReading::of(message)); break;
        default: benchmark::DoNotOptimize(corpusMatcher().match(message)); break;
        }
    }
    state.SetLabel(state.range(0) == 0 ? "read" : state.range(0) == 1 ? "reading" : "match");
}
BENCHMARK(BM_Mail_Parts)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

// Every corpus message, read, understood and matched.
void BM_Mail_Corpus(benchmark::State& state)
{
    const QStringList files = QDir(mailDirectory + QStringLiteral("/messages")).entryList(QDir::Files, QDir::Name);
    qint64 messages = 0;
    for (auto _ : state) {
        messages = 0;
        for (const QString& file : files) {
            for (const MailReader::Item& item :
                MailReader::readFile(mailDirectory + QStringLiteral("/messages/") + file)) {
                ++messages;
                benchmark::DoNotOptimize(MailReading::of(item.result.value()));
                benchmark::DoNotOptimize(corpusMatcher().match(item.result.value()));
            }
        }
    }
    state.counters["messages"] = double(messages);
}
BENCHMARK(BM_Mail_Corpus)->Unit(benchmark::kMillisecond);

// Hostile mail, each written once to a file: the time to its failure line.
void BM_Mail_Hostile(benchmark::State& state)
{
    static QTemporaryDir folder;
    const QByteArray head = "From: Bad <bad@example.com>\r\nSubject: Hello\r\nMIME-Version: 1.0\r\n";
    const char* const names[] = {"50 MB message", "10,000 parts", "forwards 100 deep", "HTML bomb 11 MB"};
    const QString path = folder.filePath(QString::number(state.range(0)) + QStringLiteral(".eml"));
    if (!QFile::exists(path)) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot write");
            return;
        }
        switch (state.range(0)) {
        case 0:
            file.write(head + "Content-Type: text/plain\r\n\r\n");
            for (int i = 0; i < 50 * 1024 * 1024 / 78 + 1; ++i)
                file.write(QByteArray(76, 'x') + "\r\n");
            break;
        case 1:
            file.write(head + "Content-Type: multipart/mixed; boundary=p\r\n\r\n");
            for (int i = 0; i < 10000; ++i)
                file.write("--p\r\nContent-Type: text/plain\r\n\r\nx\r\n");
            break;
        case 2: {
            QByteArray inner = "From: Deep <d@example.com>\r\nSubject: Innermost\r\n\r\nHello\r\n";
            for (int i = 0; i < 100; ++i)
                inner = "From: F <f@example.com>\r\nMIME-Version: 1.0\r\nContent-Type: message/rfc822\r\n\r\n" + inner;
            file.write(inner);
            break;
        }
        default:
            file.write(head + "Content-Type: text/html\r\n\r\n");
            for (int i = 0; i < 1000000; ++i)
                file.write("<div><span>");
        }
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(MailReader::readFile(path));
    state.SetLabel(names[state.range(0)]);
}
BENCHMARK(BM_Mail_Hostile)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(3);

// One message file as the import reads it: in the worker the import keeps between
// its inputs, in a worker started for it (an import's first input), and beside them
// read in this process.
enum class Reader { here, keptWorker, newWorker };

void BM_Mail_ReadFile(benchmark::State& state, Reader reader)
{
    const QString path = mailDirectory + QStringLiteral("/messages/") + QLatin1String(samples[0]);
    if (reader == Reader::keptWorker)
        (void)MailWorker::readFile(path);
    for (auto _ : state) {
        if (reader == Reader::newWorker)
            MailWorker::stopThisThreadsWorker();
        const QList<MailReader::Item> items
            = reader == Reader::here ? MailReader::readFile(path) : MailWorker::readFile(path);
        if (items.size() != 1 || !items.front().result) {
            state.SkipWithError("the message was not read");
            break;
        }
    }
    MailWorker::stopThisThreadsWorker();
}
BENCHMARK_CAPTURE(BM_Mail_ReadFile, here, Reader::here)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Mail_ReadFile, keptWorker, Reader::keptWorker)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Mail_ReadFile, newWorker, Reader::newWorker)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
