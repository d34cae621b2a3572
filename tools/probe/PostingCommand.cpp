// posting: what the posting import detects in each file, the way the import sheet
// would get it: recognised lines for images, the parser's fields for every file.

#include "model/RegularFile.h"
#include "model/Vocabulary.h"
#include "posting/DraftStart.h"
#include "posting/PostingParser.h"
#include "posting/PostingSuggestions.h"
#include "posting/ScreenshotTextRecognizer.h"
#include "probe/JsonOutput.h"
#include "probe/Subcommand.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QJsonValue>

namespace {

QString confidenceName(ParseConfidence confidence)
{
    static const char* const names[] = {"low", "medium", "high"};
    return QString::fromLatin1(names[rawValue(confidence)]);
}

template <typename Value, typename ToJson>
QJsonValue field(const std::optional<ParsedField<Value>>& parsed, ToJson toJson)
{
    if (!parsed)
        return QJsonValue(QJsonValue::Null);
    return QJsonObject {
        {QStringLiteral("value"), toJson(parsed->value)},
        {QStringLiteral("confidence"), confidenceName(parsed->confidence)},
        {QStringLiteral("evidence"), parsed->evidence},
    };
}

QJsonObject posting(const ParsedPosting& parsed)
{
    const auto text = [](const QString& value) { return QJsonValue(value); };
    return QJsonObject {
        {QStringLiteral("company"), field(parsed.company, text)},
        {QStringLiteral("position"), field(parsed.position, text)},
        {QStringLiteral("workModel"),
            field(parsed.workModel, [](WorkModel value) { return QJsonValue(rawValue(value)); })},
        {QStringLiteral("location"), field(parsed.location, text)},
        {QStringLiteral("postingLink"), field(parsed.postingLink, text)},
        {QStringLiteral("board"), rawValue(parsed.board)},
        {QStringLiteral("rawText"), parsed.rawText},
    };
}

template <typename Value, typename ToJson>
void addSuggestion(
    QJsonObject& object, const char* name, const std::optional<Suggestion<Value>>& suggestion, ToJson toJson)
{
    if (!suggestion)
        return;
    object.insert(QLatin1String(name),
        QJsonObject {
            {QStringLiteral("value"), toJson(suggestion->value)},
            {QStringLiteral("evidence"), suggestion->evidence},
            {QStringLiteral("source"), QString::fromLatin1(rawValue(suggestion->source))},
        });
}

// Only the fields that have a suggestion.
QJsonObject suggestions(const PostingSuggestions& suggested)
{
    const auto text = [](const QString& value) { return QJsonValue(value); };
    QJsonObject object;
    addSuggestion(object, "company", suggested.company, text);
    addSuggestion(object, "position", suggested.position, text);
    addSuggestion(
        object, "workModel", suggested.workModel, [](WorkModel value) { return QJsonValue(rawValue(value)); });
    addSuggestion(object, "location", suggested.location, text);
    addSuggestion(object, "board", suggested.board, [](JobBoard value) { return QJsonValue(rawValue(value)); });
    return object;
}

// A field as the review sheet first shows it, with the other reading's value when
// it found a different one.
template <typename Value, typename ToJson> QJsonValue startingField(const StartingField<Value>& start, ToJson toJson)
{
    if (!start.value)
        return QJsonValue(QJsonValue::Null);
    QJsonObject object {
        {QStringLiteral("value"), toJson(*start.value)},
        {QStringLiteral("confidence"), confidenceName(start.confidence)},
        {QStringLiteral("source"), QString::fromLatin1(rawValue(start.source))},
    };
    if (start.other)
        object.insert(QStringLiteral("other"), toJson(start.other->value));
    return object;
}

QJsonObject draft(const DraftStart& start)
{
    const auto text = [](const QString& value) { return QJsonValue(value); };
    return QJsonObject {
        {QStringLiteral("company"), startingField(start.company, text)},
        {QStringLiteral("position"), startingField(start.position, text)},
        {QStringLiteral("workModel"),
            startingField(start.workModel, [](WorkModel value) { return QJsonValue(rawValue(value)); })},
        {QStringLiteral("location"), startingField(start.location, text)},
        {QStringLiteral("postingLink"), startingField(start.postingLink, text)},
        {QStringLiteral("board"), rawValue(start.board)},
        {QStringLiteral("overall"), confidenceName(start.overall())},
        {QStringLiteral("notAPosting"), start.notAPosting},
    };
}

QJsonObject failure(const QString& source, const QString& description)
{
    return QJsonObject {{QStringLiteral("source"), source}, {QStringLiteral("error"), description}};
}

QJsonObject probeFile(const QString& path, const ScreenshotTextRecognizer& recognizer)
{
    const QString source = QFileInfo(path).fileName();
    const bool isText = path.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive);
    const bool isLines = path.endsWith(QLatin1String(".lines.json"), Qt::CaseInsensitive);
    QList<PostingLine> lines;
    ParsedPosting parsed;
    if (isText || isLines) {
        QFile file;
        if (auto opened = RegularFile::openForReading(path, file); !opened)
            return failure(source,
                opened.error().failure == RegularFile::Failure::notARegularFile ? QStringLiteral("not a regular file")
                                                                                : opened.error().reason);
        const QByteArray bytes = file.readAll();
        if (isText) {
            parsed = PostingParser::parse(QString::fromUtf8(bytes));
        } else {
            if (!ProbeJson::readLines(bytes, &lines))
                return failure(source, QStringLiteral("not a JSON array of line objects"));
            parsed = PostingParser::parse(lines);
        }
    } else {
        const RecognitionResult recognized = recognizer.recognize(path);
        if (!recognized)
            return failure(source, recognized.error().description());
        lines = recognized.value();
        parsed = PostingParser::parse(lines);
    }
    PostingSuggestions suggested;
    if (isText)
        suggested = PostingSuggestions::suggest(parsed.rawText, parsed);
    else
        suggested = PostingSuggestions::suggest(lines, parsed);
    if (isText) {
        // Pasted text reaches the parser as its lines without heights or confidences.
        const QStringList pieces = parsed.rawText.split(QLatin1Char('\n'));
        for (const QString& piece : pieces) {
            const QString trimmed = piece.trimmed();
            if (!trimmed.isEmpty())
                lines.append(PostingLine {trimmed, int(lines.size()), std::nullopt, std::nullopt});
        }
    }
    return QJsonObject {
        {QStringLiteral("source"), source},
        {QStringLiteral("lines"), ProbeJson::lines(lines)},
        {QStringLiteral("posting"), posting(parsed)},
        {QStringLiteral("suggestions"), suggestions(suggested)},
        {QStringLiteral("draft"), draft(DraftStart::decide(lines, parsed, suggested))},
    };
}

} // namespace

int runPosting(const QStringList& arguments)
{
    if (arguments.isEmpty())
        return exitUsage;
    for (const QString& argument : arguments) {
        if (argument.startsWith(QLatin1String("--")))
            return exitUsage;
    }
    const ScreenshotTextRecognizer recognizer;
    for (const QString& path : arguments)
        ProbeJson::print(probeFile(path, recognizer));
    return 0;
}
