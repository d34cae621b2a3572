#pragma once

#include "model/NamedColor.h"
#include "ui/Accessibility.h"

#include <QAbstractButton>
#include <QLabel>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <optional>

class QGridLayout;
class QScrollArea;
class QVariantAnimation;

// The building blocks of the detail form: grouped sections, an on/off switch, a
// segmented picker, labels that elide, and the guard that keeps the wheel for
// scrolling.

// One group of the form: an optional header above a rounded card of rows (a
// label beside its control, or above it when the row is too narrow for both;
// hairlines between rows) and an optional footer.
class FormSection : public QWidget {
    Q_OBJECT

public:
    explicit FormSection(const QString& title = QString(), QWidget* parent = nullptr);

    // Replaces the plain title with a symbol and text in `color` (the rejection
    // section's red header).
    void setHeader(const QString& symbol, const QString& title, NamedColor color);
    void setFooter(const QString& text);

    // A row with `label` on the leading side and `control` filling the rest; an
    // empty label gives the control the whole row. A click on the label puts the
    // focus in `field` (the control itself when not given: a row of several
    // controls names the one to start at). Returns the row for showing and hiding
    // it as a whole.
    QWidget* addRow(const QString& label, QWidget* control, QWidget* field = nullptr);
    // The same, placed before the row now at `index` (at the end when past it).
    QWidget* insertRow(qsizetype index, const QString& label, QWidget* control, QWidget* field = nullptr);
    void setRowVisible(QWidget* row, bool visible);
    void removeRow(QWidget* row);
    // The label of a row, for retranslation and tests.
    static QLabel* rowLabel(QWidget* row);

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyStyle();
    // Label beside the control when the row has room for both, above it otherwise.
    void arrangeRow(QWidget* row);

    QWidget* m_header;
    QLabel* m_headerIcon;
    QLabel* m_headerText;
    QLabel* m_footer;
    QWidget* m_card;
    class Card;
    QList<QWidget*> m_rows;
    QString m_headerSymbol;
    std::optional<NamedColor> m_headerColor;
};

// Shows or hides `widget` by sliding its height open or shut while it fades in
// or out; it is hidden once the slide has closed. A duration of 0 shows or
// hides at once.
void reveal(QWidget* widget, bool visible, int durationMs);

// The desktop's on/off switch.
class ToggleSwitch : public QAbstractButton {
    Q_OBJECT

public:
    explicit ToggleSwitch(QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void checkStateSet() override;
    void nextCheckState() override;

private:
    QVariantAnimation* m_knob;
    qreal m_position = 0; // 0 off, 1 on
};

// A row of mutually exclusive segments, each a symbol and a title. Left and right
// arrows move the choice; clicking a segment picks it. Screen readers meet a group
// of radio buttons.
class SegmentedControl : public QWidget, public Accessibility::PaintedParts {
    Q_OBJECT

public:
    explicit SegmentedControl(QWidget* parent = nullptr);

    void addSegment(const QString& symbol, const QString& title);
    int count() const { return int(m_segments.size()); }
    int currentIndex() const { return m_current; }
    // Shows `index` as chosen without announcing it.
    void setCurrentIndex(int index);
    QRect segmentRect(int index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    QAccessible::Role accessibleRole() const override { return QAccessible::Grouping; }
    QList<Accessibility::Part> accessibleParts() const override;

Q_SIGNALS:
    // The user chose a segment.
    void activated(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    struct Segment {
        QString symbol;
        QString title;
    };
    int segmentWidth(const Segment& segment) const;
    void choose(int index);
    void announceCurrent();

    QList<Segment> m_segments;
    int m_current = -1;
};

// A one-line label that elides its text at the end and shows the whole text as
// its tooltip when it does not fit.
class ElidedLabel : public QLabel {
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget* parent = nullptr);
    void setFullText(const QString& text);
    const QString& fullText() const { return m_text; }
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void elide();
    void measure();
    QString m_text;
    // The whole text's width in the current font: measuring shapes the text, and
    // the header's label is measured on each keystroke in the company field.
    qreal m_textWidth = 0;
};

// Sends the wheel over a closed picker or date field to the scrolling form: the
// wheel scrolls, it never changes a value the user did not mean to change.
class WheelGuard : public QObject {
    Q_OBJECT

public:
    explicit WheelGuard(QScrollArea* area);
    void guard(QWidget* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QScrollArea> m_area;
};
