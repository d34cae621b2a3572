#pragma once

#include "mail/MailVocabulary.h"

#include <QStringView>

#include <optional>

// The shapes of a recruiter's sentence, where the phrase lists hold only the common
// wordings: who does what to whose application. Read on a sentence folded as the
// vocabulary folds it.
//
// A refusal is a verb of moving on (move, proceed, progress, continue, take further,
// consider; Turkish "ilerle", "devam et", "sürdür", "değerlendir", "davet et"…) in
// its negative (English "not", "won't", "unable to"; Turkish -me/-ma, -eme/-ama in
// their tenses: "sürdüremiyoruz", "devam etmeme", "ilerletilmeyecek"), or the writer
// going on with another candidate, or not filling the role. It is aimed when its
// object is the reader ("your candidacy", "sizinle", "başvurunuzu"): a "no" on its
// own; unaimed ("we won't be moving forward at this time") it needs mail that speaks
// of the reader's application. A sentence whose clause is the reader's own doing
// ("if you do not move forward…") refuses nothing.
//
// An invitation is the writer wanting to set up, schedule or arrange a call, a chat,
// an interview or a round ("I'd love to set up an initial phone call", "we would like
// to move you on to the technical round"), or the reader's meeting being scheduled,
// confirmed or moved.
namespace MailGrammar {

// An offer is the writer wanting the reader to join them as something ("we'd love for
// you to join … as our Product Designer", "sizi … olarak aramızda görmek").
//
// Where the sentence holds the shape read for `cue` (rejection: an aimed refusal;
// softRejection: an unaimed one; interview: an invitation; offer: a welcome;
// otherCandidate: someone else chosen), none for other cues.
std::optional<MailVocabulary::Span> find(MailVocabulary::Cue cue, QStringView folded);

// Whether the news starting at `start` stands in a clause that is the reader's own
// doing, a condition or a concession ("if you do not move forward with your
// application", "you will not be moving on", "although we didn't move forward with
// you then, …"): no news, whatever its wording.
bool isReadersOwnOrConditional(QStringView folded, qsizetype start);

} // namespace MailGrammar
