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

void SearchFolder::append(QString& folded, QStringView text) const
{
    const char16_t* c = text.utf16();
    const char16_t* const end = c + text.size();
    while (c != end) {
        const char16_t* run = c;
        const bool ascii = *c < 0x80;
        while (c != end && (*c < 0x80) == ascii)
            ++c;
        if (ascii)
            appendAscii(folded, run, c, m_dotlessI);
        else
            appendOther(folded, QStringView(run, c).toString());
    }
}

void SearchFolder::append(QString& folded, QByteArrayView utf8) const
{
    const auto* c = reinterpret_cast<const uchar*>(utf8.data());
    const auto* const end = c + utf8.size();
    while (c != end) {
        const uchar* run = c;
        const bool ascii = *c < 0x80;
        // Every byte of a multi-byte sequence is 0x80 or above, so a run of them
        // holds whole characters.
        while (c != end && (*c < 0x80) == ascii)
            ++c;
        if (ascii)
            appendAscii(folded, run, c, m_dotlessI);
        else
            appendOther(folded, textFromUtf8(QByteArrayView(run, c)));
    }
}
