#pragma once

#include "model/NamedColor.h"
#include "model/Vocabulary.h"

// The pipeline an application moves through, in order.
enum class ApplicationStatus {
    applied,
    hrInterview,
    techInterview,
    offer,
    rejected,
};

template <> struct VocabularyTraits<ApplicationStatus> {
    static constexpr std::array cases {ApplicationStatus::applied, ApplicationStatus::hrInterview,
        ApplicationStatus::techInterview, ApplicationStatus::offer, ApplicationStatus::rejected};
    static const char* raw(ApplicationStatus value);
};

QString title(ApplicationStatus status);
QString symbolName(ApplicationStatus status);
NamedColor tint(ApplicationStatus status);
// Still waiting for an answer: applied, HR interview, technical interview.
bool isActive(ApplicationStatus status);
// Ended in an offer or a rejection.
bool isClosed(ApplicationStatus status);
