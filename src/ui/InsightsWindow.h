#pragma once

#include "tracking/Insights.h"

#include <QTimer>
#include <QWidget>

class ContentUnavailableView;
class InsightsView;
class QCheckBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class WindowState;

// The "Insights" window beside the main window: what the whole search, or only what
// the list shows, looks like. It follows the records, the list's filter and search
// and the day while it is open, and says what it counted. With too few applications
// it says so instead of drawing charts.
class InsightsWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr int defaultWidth = 760;
    static constexpr int defaultHeight = 820;

    explicit InsightsWindow(WindowState& state, QWidget* parent = nullptr);

    // Only the records the list shows (its filter and search), or every record.
    bool onlyVisible() const;
    void setOnlyVisible(bool only);

    const Insights& insights() const;
    // "of 42 applications", with what the figures cover.
    QString countedText() const;

    // Computes the figures again now.
    void recompute();

    QCheckBox* onlyVisibleBox() const { return m_onlyVisible; }
    QLabel* countedLabel() const { return m_counted; }
    QPushButton* closeButton() const { return m_close; }
    InsightsView* view() const { return m_view; }
    ContentUnavailableView* notEnoughView() const { return m_notEnough; }
    // The page on show: the charts or the "not enough yet" panel.
    QWidget* currentPage() const;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void scheduleRecompute();
    void applyStyle();

    WindowState& m_state;
    QWidget* m_header = nullptr;
    QLabel* m_title;
    QCheckBox* m_onlyVisible;
    QLabel* m_counted;
    QPushButton* m_close = nullptr;
    QStackedWidget* m_pages;
    QScrollArea* m_scroll;
    InsightsView* m_view;
    ContentUnavailableView* m_notEnough;
    QTimer m_recompute;
};
