#pragma once

#include "model/ApplicationStatus.h"
#include "model/NamedColor.h"

#include <QColor>
#include <QFont>
#include <QMargins>
#include <QPalette>
#include <QSize>
#include <QString>
#include <QWidget>

class QPainter;

// The three looks of a waiting badge, in this order.
enum class WaitingBadgeStyle { full, compact, dot };

// "Waiting %lld days" with the number filled in: the text of the full badge, the
// help text of the compact one and the accessibility text of the dot and the row.
QString waitingDaysText(qint64 days);
// Replaces the "%lld" of a translated text with the plain integer (no grouping).
QString substituteCount(QString format, qint64 count);

// Measures and draws one badge: an optional symbol, an optional text, padding and
// an optional capsule behind them, or a plain dot. The list rows paint badges with
// it directly (no widget per row); the badge widgets below wrap the same routine.
class BadgePainter {
public:
    static BadgePainter statusBadge(ApplicationStatus status, bool compact, const QFont& base, const QPalette& palette);
    static BadgePainter waitingBadge(qint64 days, WaitingBadgeStyle style, const QFont& base, const QPalette& palette);
    static BadgePainter metaChip(
        const QString& symbol, const QString& text, NamedColor tint, const QFont& base, const QPalette& palette);
    // A short text in `tint` on a capsule of that colour (caption 2, semibold).
    static BadgePainter capsule(const QString& text, NamedColor tint, const QFont& base, const QPalette& palette);

    QSize sizeHint() const { return m_size; }
    // Draws on a selected row: the foreground is pushed away from the selection's tint.
    // On a selected row painted `behind`: the text pushed off the selection until it
    // reads at least 4.5:1 on the badge's capsule.
    void setOnSelection(const QPalette& palette, const QColor& behind);
    // Draws the badge at the left edge of `rect`, centred vertically in it.
    void paint(QPainter* painter, const QRect& rect) const;
    // The same, clipped to `width` pixels: a text that does not fit is elided.
    void paint(QPainter* painter, const QRect& rect, int width) const;

    const QString& text() const { return m_text; }
    const QString& symbol() const { return m_symbol; }
    const QFont& font() const { return m_font; }
    const QColor& foreground() const { return m_foreground; }
    // Invalid when the badge has no capsule behind it.
    const QColor& background() const { return m_background; }
    const QMargins& padding() const { return m_padding; }
    int symbolSize() const { return m_symbolSize; }

private:
    BadgePainter() = default;
    void measure();

    QString m_symbol;
    QString m_text;
    QFont m_font;
    QColor m_foreground;
    QColor m_background;
    QMargins m_padding;
    int m_symbolSize = 0;
    int m_spacing = 0;
    int m_textWidth = 0;
    bool m_dot = false;
    QSize m_size;
};

// The widget form of a badge, for the detail header and the review sheet. It
// rebuilds its painter when the palette or the font changes.
class BadgeWidget : public QWidget {
    Q_OBJECT

public:
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    const BadgePainter& badge() const { return m_badge; }

protected:
    explicit BadgeWidget(QWidget* parent);
    // Measures the badge again (and sets the help and accessibility texts).
    virtual BadgePainter makeBadge() = 0;
    void rebuild();
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    BadgePainter m_badge = BadgePainter::metaChip(QString(), QString(), NamedColor::secondary, QFont(), QPalette());
};

// The status title and symbol in the status colour on a capsule of that colour.
class StatusBadge : public BadgeWidget {
    Q_OBJECT

public:
    explicit StatusBadge(ApplicationStatus status, bool compact = false, QWidget* parent = nullptr);
    ApplicationStatus status() const { return m_status; }
    void setStatus(ApplicationStatus status);

protected:
    BadgePainter makeBadge() override;

private:
    ApplicationStatus m_status;
    bool m_compact;
};

// How long an application has waited, coloured by its waiting level.
class WaitingBadge : public BadgeWidget {
    Q_OBJECT

public:
    using Style = WaitingBadgeStyle;

    explicit WaitingBadge(qint64 days, Style style = Style::full, QWidget* parent = nullptr);
    qint64 days() const { return m_days; }
    void setDays(qint64 days);
    Style style() const { return m_style; }

    // The help text of the style: the level's hint (full), "Waiting %lld days"
    // (compact), none (dot).
    static QString toolTipFor(qint64 days, Style style);

protected:
    BadgePainter makeBadge() override;

private:
    qint64 m_days;
    Style m_style;
};

// A symbol and a short text in one tint: work model, follow-up, dates.
class MetaChip : public BadgeWidget {
    Q_OBJECT

public:
    MetaChip(QString symbol, QString text, NamedColor tint, QWidget* parent = nullptr);
    void setText(const QString& text);
    const QString& text() const { return m_text; }
    const QString& symbol() const { return m_symbol; }
    NamedColor tint() const { return m_tint; }

protected:
    BadgePainter makeBadge() override;

private:
    QString m_symbol;
    QString m_text;
    NamedColor m_tint;
};
