#include "mail/ForwardedText.h"

#include "posting/TextFolding.h"

#include <QList>
#include <QRegularExpression>

namespace ForwardedText {
namespace {

enum class Label { none, from, date, subject, other };

// The label of a header line ("From:", "Kimden:", "Sent:"…), quote marks aside.
Label labelOf(QStringView line, QStringView* value)
{
    qsizetype start = 0;
    while (start < line.size() && (line.at(start) == u'>' || line.at(start).isSpace()))
        ++start;
    // Outlook writes the labels in bold in its plain-text version: "*From:*".
    while (start < line.size() && line.at(start) == u'*')
        ++start;
    const qsizetype colon = line.indexOf(u':', start);
    if (colon < 0 || colon - start > 16)
        return Label::none;
    const QString name = TextFolding::normalize(line.sliced(start, colon - start));
    QStringView rest = line.sliced(colon + 1);
    while (!rest.isEmpty() && (rest.front() == u'*' || rest.front().isSpace()))
        rest = rest.sliced(1);
    *value = rest.trimmed();
    static const QStringList from {QStringLiteral("from"), QStringLiteral("kimden"), QStringLiteral("gonderen"),
        QStringLiteral("von"), QStringLiteral("de")};
    static const QStringList date {QStringLiteral("date"), QStringLiteral("sent"), QStringLiteral("tarih"),
        QStringLiteral("gonderildi"), QStringLiteral("gonderim"), QStringLiteral("gonderme tarihi"),
        QStringLiteral("datum"), QStringLiteral("gesendet")};
    static const QStringList subject {QStringLiteral("subject"), QStringLiteral("konu"), QStringLiteral("betreff")};
    static const QStringList other {QStringLiteral("to"), QStringLiteral("kime"), QStringLiteral("cc"),
        QStringLiteral("bilgi"), QStringLiteral("reply to"), QStringLiteral("an"), QStringLiteral("yanitla")};
    if (from.contains(name))
        return Label::from;
    if (date.contains(name))
        return Label::date;
    if (subject.contains(name))
        return Label::subject;
    if (other.contains(name))
        return Label::other;
    return Label::none;
}

// A line that announces a forwarded or quoted original.
bool isMarker(QStringView line)
{
    const QString folded = TextFolding::normalize(line);
    if (folded.isEmpty())
        return false;
    static const QStringList phrases {QStringLiteral("forwarded message"), QStringLiteral("original message"),
        QStringLiteral("begin forwarded message"), QStringLiteral("iletilen ileti"), QStringLiteral("iletilmis ileti"),
        QStringLiteral("yonlendirilmis ileti"), QStringLiteral("yonlendirilen ileti"), QStringLiteral("ozgun ileti"),
        QStringLiteral("orijinal ileti"), QStringLiteral("weitergeleitete nachricht")};
    for (const QString& phrase : phrases) {
        if (folded.contains(phrase))
            return true;
    }
    // Outlook's rule before a quoted header block.
    qsizetype rule = 0;
    for (QChar c : folded)
        rule += c == u'_' || c == u'-';
    return rule >= 10 && rule == folded.size();
}

} // namespace

namespace {

// The header block whose From: line is line `first`, and the line after it.
std::pair<Original, qsizetype> blockAt(const QList<QStringView>& lines, qsizetype first, QStringView from)
{
    Original found;
    found.from = from.toString();
    qsizetype j = first + 1;
    for (; j < lines.size(); ++j) {
        QStringView next;
        const Label nextLabel = labelOf(lines.at(j), &next);
        if (nextLabel == Label::none)
            break;
        if (nextLabel == Label::date && found.date.isEmpty())
            found.date = next.toString();
        else if (nextLabel == Label::subject && found.subject.isEmpty())
            found.subject = next.toString();
    }
    return {found, j};
}

// The date and subject of lines `first` to `end`: some mail programs write them above
// the sender's line ("Subject:", "Date:", then "From:").
void takeAbove(const QList<QStringView>& lines, qsizetype first, qsizetype end, Original& found)
{
    for (qsizetype k = first; k < end; ++k) {
        QStringView above;
        const Label aboveLabel = labelOf(lines.at(k), &above);
        if (aboveLabel == Label::date && found.date.isEmpty())
            found.date = above.toString();
        else if (aboveLabel == Label::subject && found.subject.isEmpty())
            found.subject = above.toString();
    }
}

// The lines from `start` on, without the quote marks of a quoted forward.
QString bodyFrom(const QList<QStringView>& lines, qsizetype start)
{
    QString body;
    for (qsizetype k = start; k < lines.size(); ++k) {
        QStringView line = lines.at(k);
        while (!line.isEmpty() && line.front() == u'>') {
            line = line.sliced(1);
            if (!line.isEmpty() && line.front() == u' ')
                line = line.sliced(1);
        }
        body += line;
        body += u'\n';
    }
    return body.trimmed();
}

} // namespace

std::optional<Original> leading(QStringView text)
{
    const QList<QStringView> lines = text.trimmed().split(u'\n');
    // The sender's line may come first or after a date or subject line.
    for (qsizetype i = 0; i < lines.size() && i < 6; ++i) {
        QStringView value;
        const Label label = labelOf(lines.at(i), &value);
        if (label == Label::none)
            return std::nullopt;
        if (label != Label::from)
            continue;
        // The labelled lines above the sender's belong to the block too.
        auto [found, after] = blockAt(lines, i, value);
        takeAbove(lines, 0, i, found);
        found.body = bodyFrom(lines, after);
        return found;
    }
    return std::nullopt;
}

std::optional<Original> find(QStringView text)
{
    const QList<QStringView> lines = text.split(u'\n');
    std::optional<Original> innermost;
    int depth = 0;
    qsizetype bodyStart = 0;
    bool afterMarker = false;
    qsizetype marker = 0;
    qsizetype quoteStart = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringView line = lines.at(i);
        if (isMarker(line)) {
            afterMarker = true;
            marker = i;
            continue;
        }
        QStringView value;
        const Label label = labelOf(line, &value);
        if (label != Label::from || !afterMarker) {
            if (!line.trimmed().isEmpty() && label == Label::none)
                afterMarker = false;
            continue;
        }
        // A header block: From: and the labelled lines next to it.
        auto [found, j] = blockAt(lines, i, value);
        takeAbove(lines, marker + 1, i, found);
        if (quoteStart < 0)
            quoteStart = lines.at(marker).data() - text.data();
        ++depth;
        afterMarker = false;
        bodyStart = j;
        innermost = std::move(found);
        i = j - 1;
    }
    if (innermost) {
        innermost->body = bodyFrom(lines, bodyStart);
        innermost->depth = depth;
        innermost->quoteStart = quoteStart;
    }
    return innermost;
}

} // namespace ForwardedText
