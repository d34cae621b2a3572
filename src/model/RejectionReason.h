#pragma once

#include "model/Vocabulary.h"

enum class RejectionReason {
    otherCandidate,
    experience,
    budget,
    relocation,
    positionClosed,
    other,
};

template <> struct VocabularyTraits<RejectionReason> {
    static constexpr std::array cases {RejectionReason::otherCandidate, RejectionReason::experience,
        RejectionReason::budget, RejectionReason::relocation, RejectionReason::positionClosed, RejectionReason::other};
    static const char* raw(RejectionReason value);
};

QString title(RejectionReason reason);
