#pragma once

#include "model/ApplicationEdits.h"
#include "model/JobApplication.h"

#include <QWidget>

#include <functional>

class ElidedLabel;
class MetaChip;
class QToolButton;
class StatusBadge;
class TodayProvider;
class WaitingBadge;

// The bar pinned above the detail form: the company with the star and delete
// buttons, the position, and a meta line of the status, how long the application
// has waited (or how long it took when closed) and when it was sent. It follows
// the record and the day clock.
class DetailHeader : public QWidget {
    Q_OBJECT

public:
    DetailHeader(JobApplication& application, ApplicationEdits& edits, TodayProvider& today,
        std::function<void()> onDelete, QWidget* parent = nullptr);

    ElidedLabel* companyLabel() const { return m_company; }
    ElidedLabel* positionLabel() const { return m_position; }
    QToolButton* starButton() const { return m_star; }
    QToolButton* deleteButton() const { return m_delete; }
    StatusBadge* statusBadge() const { return m_status; }
    // Exactly one of these two shows: the waiting badge while the application is
    // active, the closed chip once it has ended.
    WaitingBadge* waitingBadge() const { return m_waiting; }
    MetaChip* closedChip() const { return m_closed; }
    MetaChip* dateChip() const { return m_date; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void showRecord();
    void showStar();
    void showDays();
    void applyStyle();

    RecordPointer m_application;
    TodayProvider& m_today;
    std::function<void()> m_onDelete;

    ElidedLabel* m_company;
    QToolButton* m_star;
    QToolButton* m_delete;
    ElidedLabel* m_position;
    StatusBadge* m_status;
    WaitingBadge* m_waiting;
    MetaChip* m_closed;
    MetaChip* m_date;
};
