#pragma once

#include "model/ApplicationEdits.h"

#include <QDialog>

#include <optional>

class QDateTimeEdit;

// "Change Date…" of a history entry: a date and time within the entry's bounds
// (no earlier than the entry before it, no later than the one after it or now).
class HistoryDateDialog : public QDialog {
    Q_OBJECT

public:
    HistoryDateDialog(const QDateTime& date, const ApplicationEdits::DateBounds& bounds, QWidget* parent = nullptr);

    // The moment chosen, in the bounds.
    QDateTime date() const;

    // Shows the dialog; the moment chosen, or none when cancelled.
    static std::optional<QDateTime> ask(
        const QDateTime& date, const ApplicationEdits::DateBounds& bounds, QWidget* parent);

private:
    QDateTimeEdit* m_date;
};
