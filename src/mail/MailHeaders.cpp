#include "mail/MailReader.h"

#include <QRegularExpression>

// Apart from the reader itself: the window asks it of pasted text, and the window's
// process does not load the MIME library.
namespace MailReader {

bool startsWithHeaders(const QString& text)
{
    // "From: …", "Subject: …", "Return-Path: …": a header name at the very start, and a
    // sender, subject or date line among the first ones.
    static const QRegularExpression header(QStringLiteral(R"(^[A-Za-z][A-Za-z0-9-]{1,40}:[ \t])"));
    static const QRegularExpression known(
        QStringLiteral(R"((?:^|\n)(?:From|Subject|Date|Message-ID):[ \t])"), QRegularExpression::CaseInsensitiveOption);
    const QString head = text.left(4096).trimmed();
    return header.match(head).hasMatch() && known.match(head).hasMatch();
}

} // namespace MailReader
