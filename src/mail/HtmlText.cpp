#include "mail/HtmlText.h"

#include <QHash>
#include <QSet>

namespace HtmlText {
namespace {

// Elements whose content is never text a reader sees.
bool isHiddenElement(QStringView name)
{
    static const QSet<QString> hidden {QStringLiteral("script"), QStringLiteral("style"), QStringLiteral("head"),
        QStringLiteral("noscript"), QStringLiteral("template"), QStringLiteral("svg"), QStringLiteral("object"),
        QStringLiteral("iframe")};
    return hidden.contains(name.toString());
}

// Elements that start a new line.
bool isBlockElement(QStringView name)
{
    static const QSet<QString> blocks {QStringLiteral("p"), QStringLiteral("div"), QStringLiteral("br"),
        QStringLiteral("tr"), QStringLiteral("li"), QStringLiteral("h1"), QStringLiteral("h2"), QStringLiteral("h3"),
        QStringLiteral("h4"), QStringLiteral("h5"), QStringLiteral("h6"), QStringLiteral("table"), QStringLiteral("ul"),
        QStringLiteral("ol"), QStringLiteral("blockquote"), QStringLiteral("hr"), QStringLiteral("section"),
        QStringLiteral("article"), QStringLiteral("header"), QStringLiteral("footer"), QStringLiteral("pre"),
        QStringLiteral("address"), QStringLiteral("center"), QStringLiteral("title"), QStringLiteral("tbody"),
        QStringLiteral("thead")};
    return blocks.contains(name.toString());
}

const QHash<QString, char32_t>& namedReferences()
{
    static const QHash<QString, char32_t> names {
        {QStringLiteral("amp"), U'&'},
        {QStringLiteral("lt"), U'<'},
        {QStringLiteral("gt"), U'>'},
        {QStringLiteral("quot"), U'"'},
        {QStringLiteral("apos"), U'\''},
        {QStringLiteral("nbsp"), U' '},
        {QStringLiteral("ccedil"), U'ç'},
        {QStringLiteral("Ccedil"), U'Ç'},
        {QStringLiteral("ouml"), U'ö'},
        {QStringLiteral("Ouml"), U'Ö'},
        {QStringLiteral("uuml"), U'ü'},
        {QStringLiteral("Uuml"), U'Ü'},
        {QStringLiteral("auml"), U'ä'},
        {QStringLiteral("Auml"), U'Ä'},
        {QStringLiteral("szlig"), U'ß'},
        {QStringLiteral("eacute"), U'é'},
        {QStringLiteral("Eacute"), U'É'},
        {QStringLiteral("scedil"), U'ş'},
        {QStringLiteral("Scedil"), U'Ş'},
        {QStringLiteral("gbreve"), U'ğ'},
        {QStringLiteral("Gbreve"), U'Ğ'},
        {QStringLiteral("inodot"), U'ı'},
        {QStringLiteral("imath"), U'ı'},
        {QStringLiteral("Idot"), U'İ'},
        {QStringLiteral("rsquo"), U'\u2019'},
        {QStringLiteral("lsquo"), U'\u2018'},
        {QStringLiteral("rdquo"), U'\u201D'},
        {QStringLiteral("ldquo"), U'\u201C'},
        {QStringLiteral("ndash"), U'\u2013'},
        {QStringLiteral("mdash"), U'\u2014'},
        {QStringLiteral("hellip"), U'\u2026'},
        {QStringLiteral("middot"), U'\u00B7'},
        {QStringLiteral("bull"), U'\u2022'},
        {QStringLiteral("copy"), U'\u00A9'},
        {QStringLiteral("reg"), U'\u00AE'},
        {QStringLiteral("trade"), U'\u2122'},
        {QStringLiteral("euro"), U'\u20AC'},
        {QStringLiteral("zwnj"), U'\u200C'},
        {QStringLiteral("shy"), U'\u00AD'},
    };
    return names;
}

class Converter {
public:
    Converter(QStringView html, const QDeadlineTimer& deadline)
        : m_html(html)
        , m_deadline(deadline)
    {
        m_text.reserve(std::min<qsizetype>(html.size(), 1 << 20));
    }

    std::optional<Result> run()
    {
        const qsizetype size = m_html.size();
        qsizetype i = 0;
        qsizetype nextCheck = checkInterval;
        while (i < size) {
            if (i >= nextCheck) {
                if (m_deadline.hasExpired())
                    return std::nullopt;
                nextCheck = i + checkInterval;
            }
            const QChar c = m_html.at(i);
            if (c == u'<') {
                i = tag(i);
            } else if (c == u'&') {
                i = reference(i);
            } else {
                putText(c);
                ++i;
            }
        }
        return Result {finishText(), m_links};
    }

private:
    static constexpr qsizetype checkInterval = 1 << 14;

    void putText(QChar c)
    {
        if (c.isSpace()) {
            m_pendingSpace = true;
            return;
        }
        if (m_pendingSpace && !m_text.isEmpty() && !m_text.endsWith(u'\n'))
            m_text += u' ';
        m_pendingSpace = false;
        m_text += c;
    }

    void putCodePoint(char32_t c)
    {
        if (QChar::requiresSurrogates(c)) {
            putText(QChar(QChar::highSurrogate(c)));
            m_text += QChar(QChar::lowSurrogate(c));
        } else {
            putText(QChar(char16_t(c)));
        }
    }

    void putBreak()
    {
        m_pendingSpace = false;
        // At most one blank line in a row.
        if (m_text.isEmpty() || m_text.endsWith(QLatin1String("\n\n")))
            return;
        m_text += u'\n';
    }

    QString finishText()
    {
        QString result;
        result.reserve(m_text.size());
        for (QStringView line : QStringView(m_text).split(u'\n')) {
            result += line.trimmed();
            result += u'\n';
        }
        return result.trimmed();
    }

    // "&amp;", "&#39;", "&#x130;"; anything else is an ampersand in the text.
    qsizetype reference(qsizetype at)
    {
        const qsizetype size = m_html.size();
        qsizetype end = at + 1;
        while (end < size && end - at <= 10 && m_html.at(end) != u';' && !m_html.at(end).isSpace()
            && m_html.at(end) != u'<' && m_html.at(end) != u'&')
            ++end;
        if (end >= size || m_html.at(end) != u';') {
            putText(u'&');
            return at + 1;
        }
        const QStringView name = m_html.sliced(at + 1, end - at - 1);
        char32_t decoded = 0;
        if (name.startsWith(u'#')) {
            bool ok = false;
            const uint value = name.size() > 1 && (name.at(1) == u'x' || name.at(1) == u'X')
                ? name.sliced(2).toUInt(&ok, 16)
                : name.sliced(1).toUInt(&ok, 10);
            // Surrogates, noncharacters and controls are not text; they read as a blank.
            decoded = ok && value > 0x1F && value <= 0x10FFFF && !(value >= 0xD800 && value <= 0xDFFF) ? value : U' ';
        } else {
            decoded = namedReferences().value(name.toString(), 0);
            if (decoded == 0) {
                putText(u'&');
                return at + 1;
            }
        }
        if (decoded == U'\u00AD' || decoded == U'\u200C')
            return end + 1; // invisible
        putCodePoint(decoded);
        return end + 1;
    }

    // A tag, comment or declaration starting at `at`; returns where the text goes on.
    qsizetype tag(qsizetype at)
    {
        const qsizetype size = m_html.size();
        if (m_html.sliced(at).startsWith(QLatin1String("<!--"))) {
            const qsizetype end = m_html.indexOf(QLatin1String("-->"), at + 4);
            return end < 0 ? size : end + 3;
        }
        qsizetype i = at + 1;
        const bool closing = i < size && m_html.at(i) == u'/';
        if (closing)
            ++i;
        const qsizetype nameStart = i;
        while (i < size && (m_html.at(i).isLetterOrNumber() || m_html.at(i) == u'-' || m_html.at(i) == u':'))
            ++i;
        if (i == nameStart && !(i < size && (m_html.at(i) == u'!' || m_html.at(i) == u'?'))) {
            // "a < b": a lone angle bracket is text.
            putText(u'<');
            return at + 1;
        }
        const QString name = m_html.sliced(nameStart, i - nameStart).toString().toLower();
        const qsizetype end = tagEnd(i);
        const QStringView attributes = m_html.sliced(i, std::max<qsizetype>(0, end - i));
        const qsizetype after = end < size ? end + 1 : size;
        if (closing) {
            if (isBlockElement(name))
                putBreak();
            else if (name == u"td" || name == u"th")
                putText(u' ');
            return after;
        }
        if (isHiddenElement(name)) {
            // Its whole content goes, up to the matching end tag (or the end).
            const qsizetype close
                = m_html.indexOf(QStringView(QString(QLatin1String("</") + name)), after, Qt::CaseInsensitive);
            if (close < 0)
                return size;
            return std::min(size, tagEnd(close + 2) + 1);
        }
        if (isBlockElement(name))
            putBreak();
        else if (name == u"td" || name == u"th")
            putText(u' ');
        else if (name == u"a")
            link(attributes);
        else if (name == u"img")
            altText(attributes);
        return after;
    }

    // The '>' that closes a tag whose attributes start at `from` (the end when there
    // is none). Tags are met from left to right, so the search never goes back: a
    // text full of unclosed '<' costs one pass, not one pass per bracket. A '>'
    // inside a quoted attribute ends the tag early; mail rarely has one.
    qsizetype tagEnd(qsizetype from)
    {
        const qsizetype size = m_html.size();
        if (m_nextClose < from) {
            m_nextClose = m_html.indexOf(u'>', from);
            if (m_nextClose < 0)
                m_nextClose = size;
        }
        return m_nextClose;
    }

    static QString attribute(QStringView attributes, QLatin1String name)
    {
        qsizetype at = 0;
        while ((at = attributes.indexOf(name, at, Qt::CaseInsensitive)) >= 0) {
            const bool startsWord = at == 0 || attributes.at(at - 1).isSpace();
            qsizetype i = at + name.size();
            while (i < attributes.size() && attributes.at(i).isSpace())
                ++i;
            if (!startsWord || i >= attributes.size() || attributes.at(i) != u'=') {
                at += name.size();
                continue;
            }
            ++i;
            while (i < attributes.size() && attributes.at(i).isSpace())
                ++i;
            if (i >= attributes.size())
                return {};
            const QChar quote = attributes.at(i);
            if (quote == u'"' || quote == u'\'') {
                const qsizetype close = attributes.indexOf(quote, i + 1);
                return attributes.sliced(i + 1, (close < 0 ? attributes.size() : close) - i - 1).toString();
            }
            qsizetype end = i;
            while (end < attributes.size() && !attributes.at(end).isSpace() && attributes.at(end) != u'/')
                ++end;
            return attributes.sliced(i, end - i).toString();
        }
        return {};
    }

    void link(QStringView attributes)
    {
        const QString href = attribute(attributes, QLatin1String("href"))
                                 .trimmed()
                                 .replace(QLatin1String("&amp;"), QLatin1String("&"));
        if ((href.startsWith(QLatin1String("https://"), Qt::CaseInsensitive)
                || href.startsWith(QLatin1String("http://"), Qt::CaseInsensitive))
            && href.size() < 2048 && !m_links.contains(href) && m_links.size() < maximumLinks)
            m_links.append(href);
    }

    // An image that stands for words ("Acme logo") reads as them.
    void altText(QStringView attributes)
    {
        const QString alt = attribute(attributes, QLatin1String("alt")).simplified();
        if (alt.isEmpty() || alt.size() > 200)
            return;
        putText(u' ');
        for (QChar c : alt)
            putText(c);
        putText(u' ');
    }

    static constexpr qsizetype maximumLinks = 200;

    QStringView m_html;
    QDeadlineTimer m_deadline;
    QString m_text;
    QStringList m_links;
    bool m_pendingSpace = false;
    qsizetype m_nextClose = -1;
};

} // namespace

std::optional<Result> toText(QStringView html, const QDeadlineTimer& deadline)
{
    return Converter(html, deadline).run();
}

} // namespace HtmlText
