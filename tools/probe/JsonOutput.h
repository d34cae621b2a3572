#pragma once

#include "posting/PostingLine.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>

namespace ProbeJson {

QJsonObject line(const PostingLine& line);
QJsonArray lines(const QList<PostingLine>& lines);
// Reads lines written by lines(); missing heights and confidences stay absent.
// Returns false when the document is not an array of line objects.
bool readLines(const QByteArray& json, QList<PostingLine>* lines);
// One compact JSON object and a line feed on standard output.
void print(const QJsonObject& object);

} // namespace ProbeJson
