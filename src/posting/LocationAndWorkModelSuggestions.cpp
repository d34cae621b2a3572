#include "posting/SuggestionFields.h"

#include "posting/CompanyNames.h"
#include "posting/LinkDetector.h"
#include "posting/PostingVocabulary.h"
#include "posting/SuggestionReading.h"
#include "posting/SuggestionText.h"
#include "posting/SuggestionVocabulary.h"
#include "posting/TextFolding.h"

#include <QRegularExpression>
#include <QUrl>

#include <algorithm>
#include <vector>

using namespace SuggestionFields;
using namespace SuggestionReading;
using namespace SuggestionText;
using namespace SuggestionVocabulary;

namespace {

// The value under a field's label; a side column's job titles may come between.
const Line* fieldValue(const Reading& reading, int label)
{
    const int end = std::min(int(reading.lines.size()), label + 3);
    for (int i = label + 1; i < end; ++i) {
        const Line& line = reading.lines[size_t(i)];
        if (!line.hasRoleWord && !line.matches(PostingVocabulary::metadataWord))
            return &line;
    }
    return nullptr;
}

// Work model ----------------------------------------------------------------------

// A labelled field: "remote type" above "Hybrid Remote".
std::optional<Suggestion<WorkModel>> labelledWorkModel(const Reading& reading)
{
    const int count = int(reading.lines.size());
    for (int i = reading.headerStart; i + 1 < count && i <= reading.title + headerBelowTitle; ++i) {
        if (!isWorkModelLabel(reading.lines[size_t(i)].bare))
            continue;
        if (const Line* value = fieldValue(reading, i)) {
            if (const std::optional<WorkModel> model = workModelIn(value->normalized))
                return Suggestion<WorkModel> {*model, value->text, SuggestionSource::field};
        }
        break;
    }
    return std::nullopt;
}

// The work model a header line shows: a chip, a part of the metadata line, a
// bracket beside the place, "Remote in Denver, CO".
std::optional<WorkModel> workModelShownBy(const Line& line)
{
    std::optional<WorkModel> model = workModelNamed(line.bare);
    for (const QString& part : TextFolding::segments(line.text)) {
        if (model)
            return model;
        model = workModelNamed(bareOf(TextFolding::normalize(part)));
    }
    if (!model && line.wordCount <= 8) {
        static const QRegularExpression bracket(QStringLiteral(R"(\(([^()]+)\))"));
        const QRegularExpressionMatch match = bracket.match(line.normalized);
        if (match.hasMatch())
            model = workModelNamed(match.captured(1).trimmed());
    }
    if (!model && line.wordCount <= 8) {
        static const QRegularExpression leading(
            QStringLiteral(R"(^(?:hybrid|remote|on-site|in person|hibrit|uzaktan)\s+(?:work\s+)?in\s)"));
        if (leading.match(line.normalized).hasMatch())
            model = workModelIn(line.normalized);
    }
    return model;
}

std::optional<Suggestion<WorkModel>> headerWorkModel(const Reading& reading)
{
    // Boards put the chips below the title; above it a recognised screenshot may show
    // a side column.
    std::vector<int> order;
    for (int i = reading.title; i < reading.headerEnd; ++i)
        order.push_back(i);
    for (int i = reading.title - 1; i >= reading.headerStart; --i)
        order.push_back(i);
    for (int i : order) {
        const Line& line = reading.lines[size_t(i)];
        if (line.prose)
            continue;
        if (const std::optional<WorkModel> model = workModelShownBy(line))
            return Suggestion<WorkModel> {*model, line.text, SuggestionSource::header};
    }
    return std::nullopt;
}

// The description: "We work in a hybrid model…", "Çalışma şekli iş yerinde…".
std::optional<Suggestion<WorkModel>> descriptionWorkModel(const Reading& reading)
{
    for (const Paragraph& paragraph : reading.paragraphs) {
        for (const QString& sentence : sentencesOf(paragraph.text)) {
            if (const std::optional<WorkModel> model = workModelIn(TextFolding::normalize(sentence)))
                return Suggestion<WorkModel> {*model, sentence, SuggestionSource::sentence};
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<Suggestion<QString>> SuggestionFields::suggestLocation(const Reading& reading, const QString& company)
{
    const ParsedPosting& parsed = reading.parsed;
    if (!reading.hasHeader())
        return std::nullopt;
    if (parsed.location && parsed.location->confidence == ParseConfidence::high && !reading.ruledOut.location)
        return std::nullopt;

    std::optional<Suggestion<QString>> found;
    const QString companyKey = CompanyNames::nameKey(company);
    const int count = int(reading.lines.size());
    // A labelled field: "locations" above "USA-Boston-MA".
    for (int i = reading.headerStart; i + 1 < count && !found; ++i) {
        if (i >= reading.headerEnd && i > reading.title + headerBelowTitle)
            break;
        if (!isLocationLabel(reading.lines[size_t(i)].bare))
            continue;
        if (const Line* value = fieldValue(reading, i)) {
            if (const std::optional<QString> place = placeIn(value->text, true))
                found = Suggestion<QString> {*place, value->text, SuggestionSource::field};
        }
        break;
    }
    // "Company · Place (Hybrid) · 3 weeks ago": the first part that is a place.
    for (int i = reading.headerStart; i < reading.headerEnd && !found; ++i) {
        const Line& line = reading.lines[size_t(i)];
        const QStringList parts = TextFolding::segments(line.text);
        for (const QString& part : parts) {
            if (!companyKey.isEmpty() && CompanyNames::nameKey(part) == companyKey)
                continue;
            if (const std::optional<QString> place = placeIn(part, false)) {
                found = Suggestion<QString> {*place, line.text, SuggestionSource::header};
                break;
            }
        }
    }
    // Boards that put the place on a line of its own, below the employer or the title.
    if (!found) {
        int from = reading.title + 1;
        for (int i = reading.title + 1; i < std::min(count, reading.title + 3); ++i) {
            const Line& line = reading.lines[size_t(i)];
            if (!companyKey.isEmpty() && CompanyNames::nameKey(withoutRating(line.text)) == companyKey) {
                from = i + 1;
                break;
            }
        }
        for (int i = from; i < std::min(reading.headerEnd, from + 2); ++i) {
            const Line& line = reading.lines[size_t(i)];
            if (isRatingLine(line))
                continue;
            if (line.hasSeparators || line.furniture)
                break;
            if (const std::optional<QString> place = placeIn(line.text, true))
                found = Suggestion<QString> {*place, line.text, SuggestionSource::header};
            break;
        }
    }
    // Where the parser's line holds more than the place ("Bursa, Türkiye · 18 saat
    // önce"), the place alone is worth showing.
    if (!found
        || (parsed.location && TextFolding::normalize(parsed.location->value) == TextFolding::normalize(found->value)))
        return std::nullopt;
    return found;
}

std::optional<Suggestion<WorkModel>> SuggestionFields::suggestWorkModel(const Reading& reading)
{
    const ParsedPosting& parsed = reading.parsed;
    if (!reading.hasHeader())
        return std::nullopt;
    std::optional<Suggestion<WorkModel>> found;
    // A header the parser is sure of is only questioned by a description that says
    // otherwise ("(Hybrid)" above "This is a 100% remote role").
    if (parsed.workModel && parsed.workModel->confidence == ParseConfidence::high && !reading.ruledOut.workModel)
        found = descriptionWorkModel(reading);
    else if (!(found = labelledWorkModel(reading)) && !(found = headerWorkModel(reading)))
        found = descriptionWorkModel(reading);
    if (!found || (parsed.workModel && parsed.workModel->value == found->value))
        return std::nullopt;
    return found;
}
