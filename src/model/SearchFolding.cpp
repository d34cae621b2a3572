#include "model/SearchFolding.h"

#include "model/Utf8Text.h"

namespace {

bool keepsDottedAndDotlessI(const QLocale& locale)
{
    return locale.language() == QLocale::Turkish || locale.language() == QLocale::Azerbaijani;
}

void foldDottedAndDotlessI(QString& text)
{
    for (QChar& c : text) {
        if (c == QLatin1Char('I'))
            c = QChar(0x0131);
        else if (c == QChar(0x0130))
            c = QLatin1Char('i');
    }
}

// Appends a run of ASCII characters (char or char16_t), folded.
template <typename Char> void appendAscii(QString& folded, const Char* begin, const Char* end, bool dotlessI)
{
    const qsizetype at = folded.size();
    folded.resize(at + (end - begin));
    QChar* out = folded.data() + at;
    for (const Char* c = begin; c != end; ++c, ++out) {
        const auto code = char16_t(*c);
        if (code >= u'A' && code <= u'Z')
            *out = (code == u'I' && dotlessI) ? QChar(0x0131) : QChar(char16_t(code + 0x20));
        else
            *out = QChar(code);
    }
}

} // namespace

QString foldForSearch(QString text, const QLocale& locale)
{
    if (keepsDottedAndDotlessI(locale))
        foldDottedAndDotlessI(text);
    return text.toCaseFolded();
}

SearchFolder::SearchFolder(const QLocale& locale)
    : m_dotlessI(keepsDottedAndDotlessI(locale))
{
}

// Qt folds one code point at a time, without context, so a run of non-ASCII
// characters folds alone as it would inside the whole text.
void SearchFolder::appendOther(QString& folded, QString run) const
{
    if (m_dotlessI)
        foldDottedAndDotlessI(run);
    folded += run.toCaseFolded();
}

// Splits [c, end) into runs of ASCII and of other characters (char16_t or UTF-8
// bytes: every byte of a multi-byte sequence is 0x80 or above, so a run of them
// holds whole characters); ASCII is folded here, `other` decodes the rest.
template <typename Char, typename Decode>
void SearchFolder::appendRuns(QString& folded, const Char* c, const Char* end, Decode other) const
{
    while (c != end) {
        const Char* run = c;
        const bool ascii = *c < 0x80;
        while (c != end && (*c < 0x80) == ascii)
            ++c;
        if (ascii)
            appendAscii(folded, run, c, m_dotlessI);
        else
            appendOther(folded, other(run, c));
    }
}

void SearchFolder::append(QString& folded, QStringView text) const
{
    appendRuns(folded, text.utf16(), text.utf16() + text.size(),
        [](const char16_t* begin, const char16_t* end) { return QStringView(begin, end).toString(); });
}

void SearchFolder::append(QString& folded, QByteArrayView utf8) const
{
    const auto* bytes = reinterpret_cast<const uchar*>(utf8.data());
    appendRuns(folded, bytes, bytes + utf8.size(),
        [](const uchar* begin, const uchar* end) { return textFromUtf8(QByteArrayView(begin, end)); });
}
