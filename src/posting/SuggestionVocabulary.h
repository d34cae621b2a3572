#pragma once

#include "model/WorkModel.h"
#include "posting/ParsedPosting.h"

#include <QStringView>

#include <span>

// The word and phrase tables behind the import's suggestions: what each job board
// prints around a posting, the words that name a role, a team or a kind of contract,
// and how descriptions state the work model. Entries are in the parser's normalised
// form (see TextFolding::normalize), compared with a line's bare form: normalised,
// with whatever is not a letter or a digit cut off at both ends.
namespace SuggestionVocabulary {

enum class PhraseMatch {
    equals,
    startsWith,
    contains,
    // The whole bare line, "#" standing for a number ("posted # days ago" is
    // "Posted 30+ Days Ago").
    shape,
};

// A piece of a board's page furniture and how much it says about the board: 3 for
// words only that board prints, 1 for words that other boards use too.
struct BoardPhrase {
    JobBoard board;
    PhraseMatch match;
    QStringView phrase;
    int weight;
};
std::span<const BoardPhrase> boardPhrases();
// The indexes (into boardPhrases()) of the phrases a line shows, given its bare and
// its normalised text, in table order.
QList<int> boardPhrasesIn(const QString& bare, const QString& normalized);
// Whether the whole (bare) line is one of the boards' buttons or labels.
bool isBoardLabel(const QString& bare);

// Headings that end a posting's header card and start its description.
bool isSectionHeading(QStringView bare);

// Words that name what a person does ("engineer", "uzmanı"): a line holding one is a
// job title, never an employer.
bool isRoleWord(QStringView word);
// Single-line values that name a team or field ("Engineering", "Mobil").
bool isDepartment(QStringView bare);
// Contract and seniority chips ("Full-time", "Tam zamanlı", "Mid-Senior level").
bool isEmploymentTerm(QStringView bare);
// Words that start a sentence but never a company name ("The", "Our", "Bu").
bool isLeadingStopWord(QStringView word);
// Labels of a field whose value follows on the next line.
bool isLocationLabel(QStringView bare);
bool isWorkModelLabel(QStringView bare);

// Phrases only job postings print: "Apply now", "We are looking for", "İş ilanı",
// "Tam zamanlı". `normalized` is a whole normalised line.
bool mentionsPostingPhrase(QStringView normalized);

// Board names and the hosts of their sites; such a name is never the employer.
bool isBoardName(QStringView word);

// How descriptions and header chips state the work model, beyond the parser's own
// keywords: "office days per week", "100% remote", "in person".
struct WorkModelPhrase {
    WorkModel workModel;
    QStringView phrase;
};
// In the order they are checked: hybrid before remote before on-site, as the parser does.
std::span<const WorkModelPhrase> workModelPhrases();
// Whether a normalised text holds any work-model phrase or any of the parser's
// keywords: one pass that lets most sentences be skipped.
bool mentionsWorkModel(QStringView normalized);

} // namespace SuggestionVocabulary
