#pragma once

#include <QPointer>
#include <QWidget>

class JobApplication;
class QLabel;

// The selected application's company and position, read-only, following every
// edit of the record. The detail column shows it for a selected record until a
// richer detail view is installed in the window.
class DetailSummaryView : public QWidget {
    Q_OBJECT

public:
    explicit DetailSummaryView(JobApplication& application, QWidget* parent = nullptr);

    JobApplication* application() const { return m_application; }
    QLabel* companyLabel() const { return m_company; }
    QLabel* positionLabel() const { return m_position; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void refresh();
    void applyStyle();

    QPointer<JobApplication> m_application;
    QLabel* m_company;
    QLabel* m_position;
};
