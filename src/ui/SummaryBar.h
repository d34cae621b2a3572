#pragma once

#include "tracking/SummaryCounts.h"

#include <QWidget>

class QLabel;

// The strip under the list: how many of the applications in view are open, how
// many reached an offer and how many went quiet (only when there are any).
class SummaryBar : public QWidget {
    Q_OBJECT

public:
    static constexpr int itemSpacing = 14;
    static constexpr int numberSpacing = 4;
    static constexpr int horizontalPadding = 14;
    static constexpr int verticalPadding = 8;

    explicit SummaryBar(QWidget* parent = nullptr);

    void setCounts(const SummaryCounts& counts);
    const SummaryCounts& counts() const { return m_counts; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void applyStyle();
    void display(const SummaryCounts& counts);

    SummaryCounts m_counts;
    QLabel* m_activeNumber;
    QLabel* m_activeLabel;
    QLabel* m_offersNumber;
    QLabel* m_offersLabel;
    QLabel* m_staleNumber;
    QLabel* m_staleLabel;
    QWidget* m_staleItem;
};
