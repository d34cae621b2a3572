#pragma once

#include "posting/ParsedPosting.h"
#include "ui/Badges.h"

// How sure the parser is of a draft, as a small coloured capsule: "Needs review"
// (red), "Check this" (yellow) or "Confident" (green).
class ConfidenceBadge : public BadgeWidget {
    Q_OBJECT

public:
    explicit ConfidenceBadge(ParseConfidence confidence, QWidget* parent = nullptr);

    ParseConfidence confidence() const { return m_confidence; }
    void setConfidence(ParseConfidence confidence);

    static QString text(ParseConfidence confidence);
    static NamedColor tint(ParseConfidence confidence);

protected:
    BadgePainter makeBadge() override;

private:
    ParseConfidence m_confidence;
};
