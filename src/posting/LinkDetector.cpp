#include "posting/LinkDetector.h"

#include <QLibrary>
#include <QRegularExpression>
#include <QStringList>

#include <libpsl.h>

#include <memory>

namespace {

// Capture groups of linkPattern().
enum LinkGroup { schemeGroup = 1, emailGroup = 2, wwwGroup = 3, hostGroup = 4 };

// Candidates, leftmost first; at one position a scheme wins over an e-mail address,
// which wins over "www." and bare domains. Addresses end at white space, angle
// brackets and quotes; trailing punctuation is removed afterwards. A candidate never
// starts inside a run of the characters it begins with (an earlier start would have
// matched as well), which keeps long runs of letters from costing quadratic time.
const QRegularExpression& linkPattern()
{
    static const QRegularExpression pattern = [] {
        const QString label = QStringLiteral(R"([\p{L}\p{N}](?:[\p{L}\p{N}\-]*[\p{L}\p{N}])?)");
        const QString domain = QStringLiteral("(?:") + label + QStringLiteral(R"(\.)+\p{L}{2,63})");
        const QString body = QStringLiteral(R"([^\s<>"\x{201C}\x{201D}\x{00AB}\x{00BB}])");
        const QStringList alternatives {
            // schemeGroup: "https://…", "ftp://…", any "scheme://…"
            QStringLiteral(R"((?<![a-z])([a-z][a-z0-9+.\-]*://)") + body + QStringLiteral("+)"),
            // emailGroup: "name@domain.tld", with or without "mailto:"
            QStringLiteral(R"((?<![\p{L}\p{N}._%+\-])((?:mailto:)?[\p{L}\p{N}._%+\-]+@)") + domain
                + QStringLiteral(")"),
            // wwwGroup: "www.…"
            QStringLiteral(R"((www\.[\p{L}\p{N}])") + body + QStringLiteral("*)"),
            // hostGroup: a bare domain, then an optional port and path
            QStringLiteral(R"((?<![\p{L}\p{N}])()") + domain + QStringLiteral(R"()(?::\d{1,5})?(?:[/?#])") + body
                + QStringLiteral(R"(*)?(?![\p{L}\p{N}\-@]))"),
        };
        QRegularExpression re(alternatives.join(u'|'),
            QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
        // Compile now, so that concurrent matching only reads the compiled pattern.
        re.optimize();
        return re;
    }();
    return pattern;
}

// libpsl, loaded when a link is first looked at rather than with the program: with
// the libraries it needs (libidn2, libunistring) it would take about 220 KiB at every
// start, most of which reads no posting.
struct PublicSuffixLibrary {
    decltype(&psl_builtin) builtin = nullptr;
    decltype(&psl_latest) latest = nullptr;
    decltype(&psl_free) free = nullptr;
    decltype(&psl_is_public_suffix2) isPublicSuffix = nullptr;
    decltype(&psl_registrable_domain) registrableDomain = nullptr;
};

// Null when the library or one of its functions cannot be found.
const PublicSuffixLibrary* publicSuffixLibrary()
{
    static const std::optional<PublicSuffixLibrary> library = []() -> std::optional<PublicSuffixLibrary> {
        // Kept loaded for the life of the process.
        QLibrary psl(QStringLiteral("psl"), 5);
        const auto find = [&psl]<typename Function>(Function& function, const char* name) {
            function = reinterpret_cast<Function>(psl.resolve(name));
            return function != nullptr;
        };
        PublicSuffixLibrary found;
        if (find(found.builtin, "psl_builtin") && find(found.latest, "psl_latest") && find(found.free, "psl_free")
            && find(found.isPublicSuffix, "psl_is_public_suffix2")
            && find(found.registrableDomain, "psl_registrable_domain"))
            return found;
        return std::nullopt;
    }();
    return library ? &*library : nullptr;
}

// The built-in list is compiled into libpsl; the packaged list file is the fallback.
const psl_ctx_t* publicSuffixes()
{
    static const psl_ctx_t* const suffixes = []() -> const psl_ctx_t* {
        const PublicSuffixLibrary* psl = publicSuffixLibrary();
        if (!psl)
            return nullptr;
        if (const psl_ctx_t* builtin = psl->builtin())
            return builtin;
        const auto release = [](psl_ctx_t* context) { publicSuffixLibrary()->free(context); };
        static const std::unique_ptr<psl_ctx_t, decltype(release)> loaded(psl->latest(nullptr), release);
        return loaded.get();
    }();
    return suffixes;
}

bool isClosingPunctuation(QChar c)
{
    switch (c.unicode()) {
    case u'.':
    case u',':
    case u';':
    case u':':
    case u'!':
    case u'?':
    case u'\'':
    case u'"':
    case u'\u2019': // right single quotation mark
    case u'\u2026': // ellipsis
        return true;
    default: return false;
    }
}

// Removes what ends a sentence or a bracket around the address: "(https://a.com/x)."
// keeps "https://a.com/x", while "https://a.com/wiki/A_(b)" keeps its balanced bracket.
QStringView trimTrailingPunctuation(QStringView text)
{
    auto unbalanced = [&](QChar close, QChar open) { return text.count(close) > text.count(open); };
    while (!text.isEmpty()) {
        const QChar last = text.back();
        const bool strip = isClosingPunctuation(last) || (last == u')' && unbalanced(u')', u'('))
            || (last == u']' && unbalanced(u']', u'[')) || (last == u'}' && unbalanced(u'}', u'{'));
        if (!strip)
            break;
        text.chop(1);
    }
    return text;
}

bool isLabelCharacter(QChar c)
{
    return c.isLetterOrNumber();
}

// Longest stretch of a single word that is searched; keeps pathological input cheap.
constexpr qsizetype longestWord = 2048;

} // namespace

bool LinkDetector::isValid() const
{
    return publicSuffixes() != nullptr;
}

std::optional<QUrl> LinkDetector::firstLink(QStringView text) const
{
    if (!isValid())
        return std::nullopt;
    // Every address holds a "://" or a dot between two label characters, and none
    // spans white space; so only the words around such places reach the regular
    // expression, in reading order.
    const qsizetype size = text.size();
    for (qsizetype i = 1; i + 1 < size; ++i) {
        const QChar c = text.at(i);
        const bool candidate = (c == u'.' && isLabelCharacter(text.at(i - 1)) && isLabelCharacter(text.at(i + 1)))
            || (c == u':' && i + 2 < size && text.at(i + 1) == u'/' && text.at(i + 2) == u'/');
        if (!candidate)
            continue;
        qsizetype start = i;
        while (start > 0 && !text.at(start - 1).isSpace())
            --start;
        qsizetype end = i;
        while (end < size && !text.at(end).isSpace())
            ++end;
        if (std::optional<QUrl> link = firstLinkInWord(text.sliced(start, std::min(end - start, longestWord))))
            return link;
        i = end;
    }
    return std::nullopt;
}

std::optional<QUrl> LinkDetector::firstLinkInWord(QStringView word) const
{
    QRegularExpressionMatchIterator matches = linkPattern().globalMatch(word);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        const QStringView found = trimTrailingPunctuation(match.capturedView(0));
        if (match.capturedLength(schemeGroup) > 0) {
            const QUrl url(found.toString(), QUrl::TolerantMode);
            if (url.isValid() && !url.host().isEmpty())
                return url;
        } else if (match.capturedLength(emailGroup) > 0) {
            QStringView address = found;
            if (address.startsWith(u"mailto:", Qt::CaseInsensitive))
                address = address.sliced(7);
            const QUrl url(QStringLiteral("mailto:") + address, QUrl::TolerantMode);
            if (url.isValid())
                return url;
        } else if (match.capturedLength(wwwGroup) > 0
            || (match.capturedLength(hostGroup) > 0 && isUnderPublicSuffix(match.capturedView(hostGroup)))) {
            const QUrl url(QStringLiteral("http://") + found, QUrl::TolerantMode);
            if (url.isValid() && !url.host().isEmpty())
                return url;
        }
    }
    return std::nullopt;
}

bool LinkDetector::isUnderPublicSuffix(QStringView host) const
{
    const QByteArray lowered = host.toString().toLower().toUtf8();
    const qsizetype lastDot = lowered.lastIndexOf('.');
    if (lastDot < 0)
        return false;
    const QByteArray topLevel = lowered.mid(lastDot + 1);
    constexpr int listedOnly = PSL_TYPE_ANY | PSL_TYPE_NO_STAR_RULE;
    // The last label must be a listed suffix, and the whole host must be more than a
    // suffix ("com.tr" alone names no site).
    const auto isPublicSuffix = publicSuffixLibrary()->isPublicSuffix;
    return isPublicSuffix(publicSuffixes(), topLevel.constData(), listedOnly) != 0
        && isPublicSuffix(publicSuffixes(), lowered.constData(), listedOnly) == 0;
}

QString LinkDetector::registrableDomain(const QString& host) const
{
    if (!isValid())
        return {};
    const QByteArray lowered = host.toLower().toUtf8();
    const char* domain = publicSuffixLibrary()->registrableDomain(publicSuffixes(), lowered.constData());
    return domain ? QString::fromUtf8(domain) : QString();
}
