#include "model/RejectionReason.h"

#include <QCoreApplication>

const char* VocabularyTraits<RejectionReason>::raw(RejectionReason value)
{
    switch (value) {
    case RejectionReason::otherCandidate: return "otherCandidate";
    case RejectionReason::experience: return "experience";
    case RejectionReason::budget: return "budget";
    case RejectionReason::relocation: return "relocation";
    case RejectionReason::positionClosed: return "positionClosed";
    case RejectionReason::other: return "other";
    }
    return "other";
}

QString title(RejectionReason reason)
{
    switch (reason) {
    case RejectionReason::otherCandidate:
        return QCoreApplication::translate(
            "RejectionReason", "Moving forward with another candidate", "Rejection reason");
    case RejectionReason::experience:
        return QCoreApplication::translate("RejectionReason", "Not enough experience", "Rejection reason");
    case RejectionReason::budget:
        return QCoreApplication::translate("RejectionReason", "Budget mismatch", "Rejection reason");
    case RejectionReason::relocation:
        return QCoreApplication::translate("RejectionReason", "No relocation or visa sponsorship", "Rejection reason");
    case RejectionReason::positionClosed:
        return QCoreApplication::translate("RejectionReason", "Position closed", "Rejection reason");
    case RejectionReason::other: return QCoreApplication::translate("RejectionReason", "Other", "Rejection reason");
    }
    return {};
}
