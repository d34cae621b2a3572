#pragma once

#include "posting/PostingSuggestions.h"
#include "posting/SuggestionReading.h"

#include <vector>

// What the second reading holds against the parser's values: which of them cannot
// be their field, the way a person reading the page would rule them out.
namespace SuggestionReading {

// Lines of a list of other jobs beside the posting ("Jobs you may like", "Similar
// jobs", a search's results): cards of a title followed by an employer, a place or a
// chip, one after another. Two such cards make a list; the posting's own title card
// is never one of them.
std::vector<bool> jobListLines(const Reading& reading);

// Whether the parser's title `line` is a card of the job list beside the posting: a
// smaller title with an employer or a place under it, while a title far larger (the
// posting's own) stands elsewhere on the page.
bool isListedTitle(const Reading& reading, const Line& line);

// Rules out the parser's company, location and work model. Needs the title and the
// header card found (findHeader).
void ruleOutValues(Reading& reading);

} // namespace SuggestionReading
