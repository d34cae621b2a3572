#include "ui/ConfidenceBadge.h"

ConfidenceBadge::ConfidenceBadge(ParseConfidence confidence, QWidget* parent)
    : BadgeWidget(parent)
    , m_confidence(confidence)
{
    setObjectName(QStringLiteral("confidenceBadge"));
    rebuild();
}

void ConfidenceBadge::setConfidence(ParseConfidence confidence)
{
    if (confidence == m_confidence)
        return;
    m_confidence = confidence;
    rebuild();
}

QString ConfidenceBadge::text(ParseConfidence confidence)
{
    switch (confidence) {
    case ParseConfidence::low: return tr("Needs review");
    case ParseConfidence::medium: return tr("Check this");
    case ParseConfidence::high: return tr("Confident");
    }
    return {};
}

NamedColor ConfidenceBadge::tint(ParseConfidence confidence)
{
    switch (confidence) {
    case ParseConfidence::low: return NamedColor::red;
    case ParseConfidence::medium: return NamedColor::yellow;
    case ParseConfidence::high: return NamedColor::green;
    }
    return NamedColor::red;
}

BadgePainter ConfidenceBadge::makeBadge()
{
    setAccessibleName(text(m_confidence));
    return BadgePainter::capsule(text(m_confidence), tint(m_confidence), font(), palette());
}
