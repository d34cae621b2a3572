// The second reading of a posting beside the parser: one long page, the screenshot
// path's recognised lines, and the whole sample set.
#include "posting/PostingParser.h"
#include "posting/PostingSuggestions.h"

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

QStringList corpusTexts()
{
    QStringList texts;
    const QDir directory(corpusDirectory());
    for (const QString& name : directory.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name))
        texts << readText(directory.filePath(name));
    return texts;
}

QList<PostingLine> linesOf(const QString& text)
{
    QList<PostingLine> lines;
    for (const QString& piece : text.split(u'\n')) {
        const QString trimmed = piece.trimmed();
        if (trimmed.isEmpty())
            continue;
        const int order = int(lines.size());
        lines.append(PostingLine {trimmed, order, order == 0 ? 1.0 : (order < 4 ? 0.7 : 0.5), 0.9});
    }
    return lines;
}

// pub-010: a whole LinkedIn page of 66 lines, with a side column and a long description.
void BM_PostingSuggestions_Text(benchmark::State& state)
{
    const QString text = readText(corpusDirectory() + QStringLiteral("/pub-010.txt"));
    if (text.isEmpty()) {
        state.SkipWithError("posting corpus not found");
        return;
    }
    const ParsedPosting parsed = PostingParser::parse(text);
    for (auto _ : state)
        benchmark::DoNotOptimize(PostingSuggestions::suggest(text, parsed));
}
BENCHMARK(BM_PostingSuggestions_Text)->Unit(benchmark::kMicrosecond);

void BM_PostingSuggestions_Lines(benchmark::State& state)
{
    const QList<PostingLine> lines = linesOf(readText(corpusDirectory() + QStringLiteral("/pub-010.txt")));
    if (lines.isEmpty()) {
        state.SkipWithError("posting corpus not found");
        return;
    }
    const ParsedPosting parsed = PostingParser::parse(lines);
    for (auto _ : state)
        benchmark::DoNotOptimize(PostingSuggestions::suggest(lines, parsed));
}
BENCHMARK(BM_PostingSuggestions_Lines)->Unit(benchmark::kMicrosecond);

// Each of the 40 copied postings, parsed beforehand; the time is per posting.
void BM_PostingSuggestions_Corpus(benchmark::State& state)
{
    const QStringList texts = corpusTexts();
    if (texts.isEmpty()) {
        state.SkipWithError("posting corpus not found");
        return;
    }
    std::vector<ParsedPosting> parsed;
    for (const QString& text : texts)
        parsed.push_back(PostingParser::parse(text));
    for (auto _ : state) {
        for (qsizetype i = 0; i < texts.size(); ++i)
            benchmark::DoNotOptimize(PostingSuggestions::suggest(texts[i], parsed[size_t(i)]));
    }
    state.SetItemsProcessed(state.iterations() * texts.size());
}
BENCHMARK(BM_PostingSuggestions_Corpus)->Unit(benchmark::kMillisecond);

// What a pasted posting costs the window now: the parse and the second reading.
void BM_ParseAndSuggest_Corpus(benchmark::State& state)
{
    const QStringList texts = corpusTexts();
    if (texts.isEmpty()) {
        state.SkipWithError("posting corpus not found");
        return;
    }
    for (auto _ : state) {
        for (const QString& text : texts) {
            const ParsedPosting parsed = PostingParser::parse(text);
            benchmark::DoNotOptimize(PostingSuggestions::suggest(text, parsed));
        }
    }
    state.SetItemsProcessed(state.iterations() * texts.size());
}
BENCHMARK(BM_ParseAndSuggest_Corpus)->Unit(benchmark::kMillisecond);

// The worst pasted text found so far: the clipboard's 200,000 characters of one line of
// capitalised names after "Founded in 2004," with apostrophes, which every sentence
// pattern takes up. Pasted text is read on the window's thread.
void BM_PostingSuggestions_HostileText(benchmark::State& state)
{
    QString text = QStringLiteral("Backend Engineer\n");
    while (text.size() < 200'000)
        text += QStringLiteral("Founded in 2004, Aaaa Bbbb Cccc Dddd Eeee's ");
    const ParsedPosting parsed = PostingParser::parse(text);
    for (auto _ : state)
        benchmark::DoNotOptimize(PostingSuggestions::suggest(text, parsed));
}
BENCHMARK(BM_PostingSuggestions_HostileText)->Unit(benchmark::kMillisecond);

} // namespace
