#pragma once

#include "posting/PostingSuggestions.h"
#include "posting/SuggestionReading.h"

#include <QString>

#include <optional>

// The readings of each field behind PostingSuggestions, and the weights they share.
namespace SuggestionFields {

// Weights of what speaks for a value. A value where the board's layout puts it
// outweighs one sentence; two sources agreeing outweigh either.
inline constexpr int layoutWeight = 3;
inline constexpr int careerHeaderWeight = 3;
inline constexpr int hostWeight = 3;
inline constexpr int legalFormWeight = 2;
inline constexpr int mentionWeight = 2;
inline constexpr int mentionsCounted = 2;
inline constexpr int looseLayoutWeight = 1;
inline constexpr int parserMediumWeight = 1;
inline constexpr int titleMentionWeight = 3;
inline constexpr int breadcrumbWeight = 3;
inline constexpr int addressTitleWeight = 3;
inline constexpr int aboveMetadataWeight = 3;
inline constexpr int tallestLineWeight = 2;
inline constexpr int lowestCompanyScore = 2;
inline constexpr int lowestTitleScore = 3;
inline constexpr int boardFurnitureScore = 3;
inline constexpr int boardFurnitureMargin = 2;

// The points a candidate value has gathered, and the strongest of the texts that gave them.
struct Scored {
    int score = 0;
    int weight = 0;
    QString evidence;
    SuggestionSource source = SuggestionSource::header;

    void add(int points, const QString& text, SuggestionSource from)
    {
        score += points;
        if (points > weight) {
            weight = points;
            evidence = text;
            source = from;
        }
    }
};

std::optional<Suggestion<QString>> suggestPosition(SuggestionReading::Reading& reading);
std::optional<Suggestion<QString>> suggestCompany(const SuggestionReading::Reading& reading);
std::optional<Suggestion<QString>> suggestLocation(const SuggestionReading::Reading& reading, const QString& company);
std::optional<Suggestion<WorkModel>> suggestWorkModel(const SuggestionReading::Reading& reading);

} // namespace SuggestionFields
