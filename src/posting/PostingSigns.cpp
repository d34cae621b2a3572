#include "posting/PostingSigns.h"

#include "posting/SuggestionVocabulary.h"
#include "posting/TextFolding.h"

#include <QUrl>

#include <algorithm>
#include <array>

namespace SuggestionReading {

namespace {

// A posting's title stands in its first lines, under at most a bar of navigation.
constexpr int titleNearTop = 20;
// Titles are a few words; a sentence that names a role is something else.
constexpr int longestTitleWords = 8;

bool isTitleLike(const Line& line)
{
    // "Store Manager: John", "We need a developer." are a label's value and a sentence.
    return isTitleCandidate(line) && line.wordCount <= longestTitleWords && !line.text.contains(u": ")
        && !line.text.endsWith(u'.') && !line.text.endsWith(u'!');
}

// Addresses of job pages: ".../jobs/view/…", "careers.example.com", "…/is-ilani/…".
bool isJobAddress(const QUrl& url)
{
    if (!isWebLink(url))
        return false;
    static constexpr std::array words {
        u"job", u"career", u"kariyer", u"ilan", u"vacanc", u"position", u"recruit", u"hiring"};
    const QString address = TextFolding::normalize(url.toString());
    return std::any_of(words.begin(), words.end(), [&](const char16_t* word) { return address.contains(word); });
}

} // namespace

bool showsPostingSigns(const Reading& reading, const std::optional<Suggestion<JobBoard>>& board)
{
    const ParsedPosting& parsed = reading.parsed;
    if (parsed.board != JobBoard::unknown || board)
        return true;
    if (parsed.postingLink && isJobAddress(QUrl(parsed.postingLink->value)))
        return true;
    const int top = std::min(int(reading.lines.size()), titleNearTop);
    for (int i = 0; i < top; ++i) {
        if (isTitleLike(reading.lines[size_t(i)]))
            return true;
    }
    return std::any_of(reading.lines.begin(), reading.lines.end(), [](const Line& line) {
        return (line.link && isJobAddress(*line.link)) || SuggestionVocabulary::mentionsPostingPhrase(line.normalized);
    });
}

} // namespace SuggestionReading
