#pragma once

#include "model/ApplicationEdits.h"
#include "model/JobApplication.h"
#include "ui/FormControls.h"

class DecimalField;
class QComboBox;
class QLabel;

// An amount with the record's one currency beside it.
class SalaryRow : public QWidget {
    Q_OBJECT

public:
    SalaryRow(const QString& title, JobApplication& application, ApplicationEdits& edits, JobApplication::Field amount,
        QWidget* parent = nullptr);
    DecimalField* amountField() const { return m_amount; }
    QComboBox* currencyPicker() const { return m_currency; }

private:
    DecimalField* m_amount;
    QComboBox* m_currency;
};

// Expected and offered salary, and their difference once both are known.
class SalarySection : public FormSection {
    Q_OBJECT

public:
    SalarySection(JobApplication& application, ApplicationEdits& edits, QWidget* parent = nullptr);

    SalaryRow* expectedRow() const { return m_expected; }
    SalaryRow* offeredRow() const { return m_offered; }
    QWidget* differenceRow() const { return m_differenceRow; }
    QLabel* differenceLabel() const { return m_difference; }

private:
    void showDifference();
    void applyStyle();

    RecordPointer m_application;
    SalaryRow* m_expected;
    SalaryRow* m_offered;
    QWidget* m_differenceRow;
    QLabel* m_difference;
    bool m_differenceNegative = false;
};
