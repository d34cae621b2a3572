#pragma once

#include "model/JobApplication.h"

#include <QAbstractButton>

// The warning a draft's row shows when the list already holds its application:
// "Already in your list — applied Mar 14, 2025, HR Interview". Clicking it shows
// that record in the window; the draft itself is left as it is.
class AlreadyAppliedLine : public QAbstractButton {
    Q_OBJECT

public:
    explicit AlreadyAppliedLine(QWidget* parent = nullptr);

    // None hides the line.
    void setRecord(JobApplication* record);
    JobApplication* record() const;

    static QString textFor(const JobApplication& record);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void refresh();
    QFont lineFont() const;

    RecordPointer m_record;
};
