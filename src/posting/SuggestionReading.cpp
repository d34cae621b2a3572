#include "posting/SuggestionReading.h"

#include "posting/LinkDetector.h"
#include "posting/SuggestionText.h"
#include "posting/SuggestionVocabulary.h"
#include "posting/TextFolding.h"

#include <QRegularExpression>

#include <algorithm>

using namespace SuggestionText;
using namespace SuggestionVocabulary;

namespace SuggestionReading {

std::vector<Line> prepare(const QList<PostingLine>& input, const LinkDetector& detector)
{
    std::vector<Line> lines;
    lines.reserve(size_t(input.size()));
    for (const PostingLine& source : input) {
        Line line;
        line.index = int(lines.size());
        line.text = source.text.trimmed();
        if (line.text.isEmpty())
            continue;
        line.normalized = TextFolding::normalize(line.text);
        line.bare = bareOf(line.normalized);
        line.length = TextFolding::characterCount(line.text);
        line.height = source.relativeHeight;
        line.hasSeparators = std::any_of(
            line.text.cbegin(), line.text.cend(), [](QChar c) { return TextFolding::isSeparator(c.unicode()); });
        // Roles are only asked of short lines; the description's words are the bulk.
        const bool mayBeProse = line.length >= shortestProse;
        TextFolding::forEachWord(line.normalized, [&](QStringView word, bool ascii) {
            ++line.wordCount;
            if (ascii) {
                line.kinds |= PostingVocabulary::kindsOf(word);
                line.hasRoleWord = line.hasRoleWord || (!mayBeProse && isRoleWord(word));
            }
        });
        // Running text, not a "Company · Place · 2 days ago" line however long.
        line.prose = mayBeProse && line.wordCount >= proseWords && !line.hasSeparators;
        if (mayBeProse && !line.prose) {
            TextFolding::forEachWord(line.normalized, [&](QStringView word, bool ascii) {
                line.hasRoleWord = line.hasRoleWord || (ascii && isRoleWord(word));
            });
        }
        line.furniture = !line.prose
            && (PostingVocabulary::isNoisePhrase(line.normalized) || isSectionHeading(line.bare)
                || isEmploymentTerm(line.bare) || isBoardLabel(line.bare));
        if (line.normalized.contains(u'.'))
            line.link = detector.firstLink(line.text);
        if (line.link && line.wordCount < 2 * proseWords)
            line.prose = false;
        lines.push_back(std::move(line));
    }
    return lines;
}

bool isWebLink(const std::optional<QUrl>& link)
{
    if (!link)
        return false;
    const QString scheme = link->scheme().toLower();
    return scheme == u"http" || scheme == u"https";
}

bool isRatingLine(const Line& line)
{
    static const QRegularExpression rating(QStringLiteral(R"(^\d[.,]\d\s*[★☆]*$)"));
    return rating.match(line.text).hasMatch();
}

bool isMetadataLine(const Line& line)
{
    if (!line.hasSeparators)
        return false;
    return line.matches(PostingVocabulary::metadataWord) || line.normalized.contains(u"applicant")
        || line.normalized.contains(u"basvuru");
}

std::vector<Paragraph> paragraphsOf(const std::vector<Line>& lines)
{
    std::vector<Paragraph> paragraphs;
    qsizetype budget = proseRead;
    bool open = false;
    for (const Line& line : lines) {
        if (!line.prose) {
            open = false;
            continue;
        }
        if (open && paragraphs.back().text.size() + 1 + line.text.size() <= paragraphLength) {
            paragraphs.back().text += u' ';
            paragraphs.back().text += line.text;
        } else {
            paragraphs.push_back({line.text.left(paragraphLength)});
            open = true;
        }
        budget -= paragraphs.back().text.size();
        if (budget <= 0)
            break;
    }
    return paragraphs;
}

bool isTitleCandidate(const Line& line)
{
    if (line.prose || line.furniture || line.length > PostingVocabulary::longestTitle || line.wordCount == 0)
        return false;
    if (!line.hasRoleWord && !line.matches(PostingVocabulary::titleWord))
        return false;
    if (line.matches(PostingVocabulary::metadataWord) || line.hasSeparators)
        return false;
    if (line.text.front().isLower() || line.link || line.text.endsWith(u'?') || line.text.endsWith(u':'))
        return false;
    // "Head of Talent at Nimbus Retail": a person's headline, not the job.
    static const QRegularExpression headline(
        QStringLiteral(R"(\s(?:at|@)\s+\p{Lu})"), QRegularExpression::UseUnicodePropertiesOption);
    return !headline.match(line.text).hasMatch();
}

void findHeader(Reading& reading)
{
    if (!reading.hasHeader())
        return;
    const int count = int(reading.lines.size());
    reading.headerStart = std::max(0, reading.title - headerAboveTitle);
    reading.headerEnd = std::min(count, reading.title + 1 + headerBelowTitle);
    for (int i = reading.title + 1; i < reading.headerEnd; ++i) {
        const Line& line = reading.lines[size_t(i)];
        if (line.prose || isSectionHeading(line.bare)) {
            reading.headerEnd = i;
            break;
        }
    }
}

} // namespace SuggestionReading
