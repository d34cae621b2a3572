#pragma once

#include "model/Utf8Text.h"

#include <QByteArray>
#include <QString>

// A text that may be very long (a record's notes), kept as its UTF-8 bytes: half
// the memory of UTF-16 for most writing, and the form the store and backups take
// it in, so a long note is never held twice over on its way in or out. Converted
// to a QString only where it is shown, edited or searched.
class LongText {
public:
    LongText() = default;
    // Any text is a long text, filled in as a text.
    LongText(const QString& text)
        : m_utf8(text.toUtf8())
    {
    }
    // `utf8` must be valid UTF-8.
    static LongText fromUtf8(QByteArray utf8)
    {
        LongText text;
        text.m_utf8 = std::move(utf8);
        return text;
    }

    QString toString() const { return textFromUtf8(m_utf8); }
    const QByteArray& utf8() const { return m_utf8; }
    bool isEmpty() const { return m_utf8.isEmpty(); }
    void clear() { m_utf8.clear(); }

    friend bool operator==(const LongText&, const LongText&) = default;

private:
    QByteArray m_utf8;
};
