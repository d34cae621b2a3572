#pragma once

#include "tracking/Insights.h"
#include "ui/Accessibility.h"

#include <QWidget>

// Draws the insights as cards of simple charts in the application's colours and
// text styles: the funnel, the answers, the weeks, why applications ended, and work
// models and job boards. It only draws; the insights window computes what it shows.
// Its height follows its width (narrow windows stack the halves of a card).
// Screen readers meet each card as a group of lines, the weeks as a table.
class InsightsView : public QWidget, public Accessibility::PaintedParts {
    Q_OBJECT

public:
    explicit InsightsView(QWidget* parent = nullptr);

    void setInsights(const Insights& insights);
    const Insights& insights() const { return m_insights; }

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

    // "67%" in English, "%67" in Turkish; none is a dash.
    static QString percentText(std::optional<double> share);
    // The median number of days with at most one decimal.
    static QString daysText(double days);

    QAccessible::Role accessibleRole() const override { return QAccessible::Grouping; }
    QList<Accessibility::Part> accessibleParts() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Lays the cards out for `width` and draws them when a painter is given; returns
    // the height they take. One routine for both, so measuring and drawing agree.
    // With `reading`, collects what the cards say instead.
    int layout(int width, QPainter* painter, QList<Accessibility::Part>* reading = nullptr) const;

    Insights m_insights;
};
