#pragma once

#include "posting/ParsedPosting.h"
#include "posting/PostingLine.h"

#include <QList>
#include <QString>

#include <optional>

// Turns the text of one job posting into company, position, work model, location,
// link and board, each with a confidence and the line it came from. A set of fixed
// heuristics for English and Turkish job-board pages; it never fails, it only leaves
// out what it cannot find. Stateless and safe to call from any thread.
class PostingParser {
public:
    PostingParser() = delete;

    // `lines` in reading order (recognised or pasted). Without `rawText` the lines'
    // texts joined with line feeds stand for the raw text.
    static ParsedPosting parse(const QList<PostingLine>& lines, std::optional<QString> rawText = std::nullopt);

    // Pasted text: one line per non-blank line of `text`, which is kept as the raw text.
    static ParsedPosting parse(const QString& text);
};
