#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// A message forwarded inline: the header block a mail program writes into the body
// ("---------- Forwarded message ---------", "Begin forwarded message:", "-----Original
// Message-----", "---------- İletilen ileti ----------", with From:/Kimden:, Date:/
// Sent:/Tarih:, Subject:/Konu: lines). Of several forwards inside each other, the
// innermost is the original.
namespace ForwardedText {

struct Original {
    // As written: "Acme Talent <talent@acme.com>"; the reader parses it.
    QString from;
    QString date;
    QString subject;
    // The original's text, after its header block.
    QString body;
    // How many forwarded header blocks the text holds.
    int depth = 0;
    // Where the outermost block's marker line starts in the text: what a reply
    // writes above the message it quotes ends there.
    qsizetype quoteStart = 0;
};

// None when the text holds no forwarded header block with a sender.
std::optional<Original> find(QStringView text);

// A header block at the very top of pasted text ("From: …", "Konu: …" copied from a
// mail program's window), or none. Its depth is 0.
std::optional<Original> leading(QStringView text);

} // namespace ForwardedText
