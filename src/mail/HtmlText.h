#pragma once

#include <QDeadlineTimer>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// The text a person reads in an HTML message, without a browser: tags dropped,
// block elements as line breaks, character references decoded, scripts, styles
// and comments left out, the addresses of links kept aside. Nothing the HTML
// refers to is ever loaded. One pass over the text, so time and memory grow with
// its length alone, however deeply its elements nest.
namespace HtmlText {

struct Result {
    QString text;
    // The http(s) addresses of links, in order, without repeats.
    QStringList links;
};

// None when the deadline passes first.
std::optional<Result> toText(QStringView html, const QDeadlineTimer& deadline = QDeadlineTimer::Forever);

} // namespace HtmlText
