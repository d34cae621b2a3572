#pragma once

#include "model/WorkModel.h"

#include <QStringView>

#include <span>

// The fixed word lists of the posting parser. Every entry is in normalised form
// (see TextFolding::normalize), so lines are compared after normalising them.
namespace PostingVocabulary {

// How long an employer's name and a job title run, in characters. Both readings
// of a posting hold a longer line to be something else: a sentence, a list.
inline constexpr qsizetype longestCompanyName = 60;
inline constexpr qsizetype longestTitle = 70;

// The word lists a single word can belong to, as bits.
enum WordKind : quint8 {
    locationWord = 0x01,
    titleWord = 0x02,
    techWord = 0x04,
    metadataWord = 0x08,
    companySuffix = 0x10,
};
using WordKinds = quint8;

std::span<const QStringView> locationWords();
std::span<const QStringView> titleWords();
std::span<const QStringView> techWords();
std::span<const QStringView> metadataWords();
std::span<const QStringView> companySuffixes();
// Whole-line page furniture: buttons, section headings, counters.
std::span<const QStringView> noisePhrases();

struct WorkModelKeywords {
    WorkModel workModel;
    std::span<const QStringView> keywords;
};
// Checked in this order: a line that mentions "hybrid" and "remote" is hybrid.
std::span<const WorkModelKeywords> workModelKeywords();

// The lists `word` belongs to (0 when none). `word` must be normalised.
WordKinds kindsOf(QStringView word);
// Whether the whole normalised line is one of the noise phrases.
bool isNoisePhrase(QStringView normalizedLine);

} // namespace PostingVocabulary
