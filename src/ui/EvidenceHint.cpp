#include "ui/EvidenceHint.h"

#include "ui/Palette.h"
#include "ui/Symbols.h"

#include <QEvent>
#include <QFontInfo>

EvidenceHint::EvidenceHint(std::optional<QString> evidence, QWidget* parent)
    : QLabel(parent)
    , m_evidence(std::move(evidence))
    , m_symbol(m_evidence ? QStringLiteral("text.magnifyingglass") : QStringLiteral("questionmark.circle"))
{
    setObjectName(QStringLiteral("evidenceHint"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    refresh();
}

QString EvidenceHint::toolTipFor(const std::optional<QString>& evidence)
{
    if (evidence)
        return tr("Detected from: ") + *evidence;
    return tr("Not detected — fill this in yourself");
}

void EvidenceHint::refresh()
{
    setToolTip(toolTipFor(m_evidence));
    setAccessibleName(toolTip());
    // Tertiary: a step fainter than secondary text, so the hints stay in the background.
    const QColor tertiary = Palette::withAlpha(Palette::secondaryText(palette()), 0.7);
    const int size = QFontInfo(font()).pixelSize() + 2;
    setPixmap(Symbols::pixmap(m_symbol, tertiary, size, devicePixelRatioF()));
    setFixedSize(size, size);
}

void EvidenceHint::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange
        || event->type() == QEvent::LanguageChange)
        refresh();
    QLabel::changeEvent(event);
}
