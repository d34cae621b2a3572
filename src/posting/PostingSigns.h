#pragma once

#include "posting/PostingSuggestions.h"
#include "posting/SuggestionReading.h"

#include <optional>

namespace SuggestionReading {

// Whether the page shows any sign of a job posting: a job board (by the parser's
// name and address tests or by its furniture), an address of a job page, a line
// near the top that reads like a job title, or words only postings use ("Apply
// now", "Responsibilities", "İş tanımı"). A chat, a receipt or a news paragraph
// that names companies shows none.
bool showsPostingSigns(const Reading& reading, const std::optional<Suggestion<JobBoard>>& board);

} // namespace SuggestionReading
