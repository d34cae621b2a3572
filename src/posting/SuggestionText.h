#pragma once

#include "model/WorkModel.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

// What the import's suggestions ask of a piece of text: is it a name, a place, a
// counter; which work model it states; its sentences.
namespace SuggestionText {

// The normalised text without what is not a letter or digit at either end:
// "For Business ▾" reads "for business", "(Hybrid)" reads "hybrid".
QString bareOf(const QString& normalized);

// Counters, prices and ratings: "4.2", "£65K - £80K", "100+ başvuru".
bool isMostlyNumbers(QStringView text);

// The work model a whole (bare) text names: "Hybrid", "Uzaktan", "In person".
std::optional<WorkModel> workModelNamed(QStringView bare);
// The first work model a normalised text states, hybrid before remote before on-site.
std::optional<WorkModel> workModelIn(QStringView normalized);

// "Barcelona, Catalonia, Spain", "Austin, TX", "USA-Boston-MA": how job pages write
// a place. A name without a comma is not taken for a place here.
bool hasPlaceShape(QStringView text);

// Whether `text` can be an employer's name: short, capitalised, and none of the
// things a header also shows (a role, a place, a counter, a chip, a team).
bool looksLikeName(QStringView text);

// Drops a rating or stars an employer line carries: "Umbrella Labs 3.9", "Acme ★".
QString withoutRating(const QString& text);

// A place as a header shows it, without what the page adds around it:
// "Istanbul, Türkiye (Hybrid)" → "Istanbul, Türkiye", "Remote in Denver, CO" →
// "Denver, CO". `loose` accepts a single name where the layout says it is a place.
std::optional<QString> placeIn(const QString& text, bool loose);

// The sentence of `text` that holds position `at`, at most a few hundred characters
// on either side of it.
QString sentenceAt(QStringView text, qsizetype at);
// The sentences of a paragraph, in order.
QStringList sentencesOf(const QString& text);

// The letters and digits of a text, run together: finds a title in an address
// ("Senior Data Engineer" in ".../Senior-Data-Engineer_R70647").
QString lettersOf(QStringView normalized);

} // namespace SuggestionText
