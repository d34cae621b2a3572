// The posting parser on real pasted postings: one page of about 60 lines, each step
// that touches every line, and the whole sample set.
#include "posting/LinkDetector.h"
#include "posting/PostingParser.h"
#include "posting/TextFolding.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>

namespace {

QString corpusDirectory()
{
    return QStringLiteral(APPLYWRIGHT_CORPUS_DIR "/postings");
}

QString readText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// A LinkedIn page of 66 non-blank lines: title, metadata line, furniture, description.
const QString& sixtyLinePosting()
{
    static const QString text = readText(corpusDirectory() + QStringLiteral("/pub-010.txt"));
    return text;
}

const QStringList& allPostings()
{
    static const QStringList texts = [] {
        QStringList result;
        const QDir directory(corpusDirectory());
        for (const QString& name : directory.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name))
            result << readText(directory.filePath(name));
        return result;
    }();
    return texts;
}

QStringList nonBlankLines(const QString& text)
{
    QStringList lines;
    for (const QString& piece : text.split(u'\n')) {
        if (!piece.trimmed().isEmpty())
            lines << piece.trimmed();
    }
    return lines;
}

void BM_PostingParser_ParseText(benchmark::State& state)
{
    const QString& text = sixtyLinePosting();
    if (text.isEmpty()) {
        state.SkipWithError("posting corpus not found");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(PostingParser::parse(text));
    state.counters["lines"] = double(nonBlankLines(text).size());
    state.SetBytesProcessed(state.iterations() * text.size() * qsizetype(sizeof(QChar)));
}
BENCHMARK(BM_PostingParser_ParseText);

// The screenshot path: recognised lines with heights, no raw text.
void BM_PostingParser_ParseLines(benchmark::State& state)
{
    const QStringList texts = nonBlankLines(sixtyLinePosting());
    if (texts.isEmpty()) {
        state.SkipWithError("posting corpus not found");
        return;
    }
    QList<PostingLine> lines;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        const double height = i == 0 ? 1.0 : (i < 4 ? 0.7 : 0.5);
        lines.append(PostingLine {texts[i], int(i), height, 0.9});
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(PostingParser::parse(lines));
}
BENCHMARK(BM_PostingParser_ParseLines);

void BM_PostingParser_ParseCorpus(benchmark::State& state)
{
    const QStringList& texts = allPostings();
    if (texts.isEmpty()) {
        state.SkipWithError("posting corpus not found");
        return;
    }
    for (auto _ : state) {
        for (const QString& text : texts)
            benchmark::DoNotOptimize(PostingParser::parse(text));
    }
    state.SetItemsProcessed(state.iterations() * texts.size());
}
BENCHMARK(BM_PostingParser_ParseCorpus);

void BM_TextFolding_NormalizeLines(benchmark::State& state)
{
    const QStringList lines = nonBlankLines(sixtyLinePosting());
    for (auto _ : state) {
        for (const QString& line : lines)
            benchmark::DoNotOptimize(TextFolding::normalize(line));
    }
}
BENCHMARK(BM_TextFolding_NormalizeLines);

void BM_LinkDetector_ScanLines(benchmark::State& state)
{
    const QStringList lines = nonBlankLines(sixtyLinePosting());
    const LinkDetector detector;
    for (auto _ : state) {
        for (const QString& line : lines)
            benchmark::DoNotOptimize(detector.firstLink(line));
    }
}
BENCHMARK(BM_LinkDetector_ScanLines);

} // namespace
