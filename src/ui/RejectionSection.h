#pragma once

#include "model/ApplicationEdits.h"
#include "model/JobApplication.h"
#include "ui/FormControls.h"

class QCheckBox;
class QComboBox;
class QPlainTextEdit;

// The rejection's channel, reason and, for "Other", the user's own words.
class RejectionSection : public FormSection {
    Q_OBJECT

public:
    RejectionSection(JobApplication& application, ApplicationEdits& edits, QWidget* parent = nullptr);

    QCheckBox* byEmailBox() const { return m_byEmail; }
    QCheckBox* byPhoneBox() const { return m_byPhone; }
    QComboBox* reasonPicker() const { return m_reason; }
    QPlainTextEdit* detailsField() const { return m_details; }
    // Present only while the reason is "Other" (the note is kept either way).
    QWidget* detailsRow() const { return m_detailsRow; }

private:
    void buildRows();
    void showReason(bool animated);

    RecordPointer m_application;
    ApplicationEdits& m_edits;
    QCheckBox* m_byEmail;
    QCheckBox* m_byPhone;
    QComboBox* m_reason;
    QPlainTextEdit* m_details;
    QWidget* m_detailsRow = nullptr;
};
