#include "probe/JsonOutput.h"

#include <QJsonDocument>
#include <QJsonValue>

#include <cstdio>

namespace ProbeJson {

namespace {

QJsonValue optionalNumber(const std::optional<double>& value)
{
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

// QJsonDocument decodes each string on its own and drops a byte-order mark that
// opens one, taking it for a signature. A recognised line may open with the mark,
// so every mark but one opening the document is written as its escape, which the
// parser keeps. Outside a string a mark is an error either way.
QByteArray withMarksEscaped(const QByteArray& json)
{
    static constexpr QByteArrayView mark("\xEF\xBB\xBF");
    const qsizetype signature = json.startsWith(mark) ? mark.size() : 0;
    if (json.indexOf(mark, signature) < 0)
        return json;
    return json.first(signature) + json.sliced(signature).replace(mark, QByteArrayView("\\ufeff"));
}

} // namespace

QJsonObject line(const PostingLine& line)
{
    return QJsonObject {
        {QStringLiteral("text"), line.text},
        {QStringLiteral("order"), line.order},
        {QStringLiteral("relativeHeight"), optionalNumber(line.relativeHeight)},
        {QStringLiteral("confidence"), optionalNumber(line.confidence)},
    };
}

QJsonArray lines(const QList<PostingLine>& lines)
{
    QJsonArray array;
    for (const PostingLine& each : lines)
        array.append(line(each));
    return array;
}

bool readLines(const QByteArray& json, QList<PostingLine>* lines)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(withMarksEscaped(json), &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return false;
    lines->clear();
    const QJsonArray array = document.array();
    for (qsizetype i = 0; i < array.size(); ++i) {
        const QJsonValue value = array.at(i);
        if (!value.isObject())
            return false;
        const QJsonObject object = value.toObject();
        if (!object.value(QStringLiteral("text")).isString())
            return false;
        PostingLine line;
        line.text = object.value(QStringLiteral("text")).toString();
        line.order = object.value(QStringLiteral("order")).toInt(int(i));
        const QJsonValue height = object.value(QStringLiteral("relativeHeight"));
        if (height.isDouble())
            line.relativeHeight = height.toDouble();
        const QJsonValue confidence = object.value(QStringLiteral("confidence"));
        if (confidence.isDouble())
            line.confidence = confidence.toDouble();
        lines->append(line);
    }
    return true;
}

void print(const QJsonObject& object)
{
    const QByteArray bytes = QJsonDocument(object).toJson(QJsonDocument::Compact);
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace ProbeJson
