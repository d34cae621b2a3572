#include "posting/RuledOutValues.h"

#include "posting/SuggestionText.h"
#include "posting/SuggestionVocabulary.h"
#include "posting/TextFolding.h"

#include <algorithm>

using namespace SuggestionText;

namespace SuggestionReading {

namespace {

// A card holds at most its employer, its place and a chip or two under the title.
constexpr int cardDetailLines = 3;
// A page's own title is set larger than anything else on it; the cards of a job list
// beside it are set well below that.
constexpr double pageTitleHeight = 0.95;
constexpr double cardTitleMargin = 0.25;

// What stands under a title on a job card: "Northwind", "Northwind · Ankara",
// "Boston, MA (On-site)", "(Hybrid)", "Chicago, IL · Posted 2 Days Ago".
bool isCardDetail(const Line& line)
{
    if (line.prose || line.furniture || line.link || isTitleCandidate(line))
        return false;
    if (workModelNamed(line.bare) || looksLikeName(withoutRating(line.text)) || placeIn(line.text, false))
        return true;
    const QStringList parts = TextFolding::segments(line.text);
    return !parts.isEmpty() && (looksLikeName(withoutRating(parts.front())) || placeIn(parts.front(), false));
}

const Line* evidenceLine(const Reading& reading, const QString& evidence)
{
    return reading.lineWithText(evidence);
}

// Read far below the header card of a title the reading is sure of.
bool isFarFromHeader(const Reading& reading, const Line* line)
{
    return reading.titleTrusted && line && !reading.inHeader(line->index);
}

bool inList(const std::vector<bool>& list, const Line* line)
{
    return line && list[size_t(line->index)];
}

// Capitals are a matter of how the page writes a name ("fjordline" in an address).
bool canBeName(const QString& value)
{
    return looksLikeName(QString(value.left(1).toUpper() + value.mid(1)));
}

} // namespace

std::vector<bool> jobListLines(const Reading& reading)
{
    const int count = int(reading.lines.size());
    std::vector<bool> listed(size_t(count), false);
    std::vector<std::pair<int, int>> cards;
    for (int i = 0; i < count; ++i) {
        if (i == reading.title || !isTitleCandidate(reading.lines[size_t(i)]))
            continue;
        int end = i + 1;
        while (end < count && end <= i + cardDetailLines && isCardDetail(reading.lines[size_t(end)]))
            ++end;
        if (end > i + 1)
            cards.emplace_back(i, end);
    }
    if (cards.size() < 2)
        return listed;
    for (const auto& [first, end] : cards) {
        for (int i = first; i < end; ++i)
            listed[size_t(i)] = true;
    }
    return listed;
}

bool isListedTitle(const Reading& reading, const Line& line)
{
    const int next = line.index + 1;
    if (!line.height || next >= int(reading.lines.size()) || !isCardDetail(reading.lines[size_t(next)]))
        return false;
    return std::any_of(reading.lines.begin(), reading.lines.end(), [&](const Line& other) {
        return &other != &line && other.height && *other.height >= pageTitleHeight
            && *other.height - *line.height >= cardTitleMargin && isTitleCandidate(other);
    });
}

void ruleOutValues(Reading& reading)
{
    const ParsedPosting& parsed = reading.parsed;
    const std::vector<bool> list = jobListLines(reading);
    PostingSuggestions::RuledOut& out = reading.ruledOut;
    if (parsed.company) {
        const Line* line = evidenceLine(reading, parsed.company->evidence);
        out.company = !canBeName(parsed.company->value) || isFarFromHeader(reading, line) || inList(list, line);
    }
    if (parsed.location) {
        const Line* line = evidenceLine(reading, parsed.location->evidence);
        out.location = !placeIn(parsed.location->value, true) || isFarFromHeader(reading, line) || inList(list, line);
    }
    if (parsed.workModel) {
        const Line* line = evidenceLine(reading, parsed.workModel->evidence);
        // The description may state it anywhere; a chip far below belongs to another job.
        out.workModel = (isFarFromHeader(reading, line) && !line->prose) || inList(list, line);
    }
}

} // namespace SuggestionReading
