#pragma once

#include "model/ApplicationEdits.h"
#include "model/JobApplication.h"
#include "ui/DetailControls.h"
#include "ui/FormControls.h"

class QComboBox;
class QDateEdit;
class QLineEdit;
class QToolButton;
class SegmentedControl;
class ToggleSwitch;

// "Application": company, position, posting link, work model, dates, status and
// the follow-up reminder, each written into the record through the edit layer.
class ApplicationSection : public FormSection {
    Q_OBJECT

public:
    ApplicationSection(
        JobApplication& application, ApplicationEdits& edits, OpenURL openURL, QWidget* parent = nullptr);

    QLineEdit* companyField() const { return m_company; }
    QLineEdit* positionField() const { return m_position; }
    QLineEdit* linkField() const { return m_link; }
    QToolButton* openLinkButton() const { return m_openLink; }
    SegmentedControl* workModelPicker() const { return m_workModel; }
    QDateEdit* applicationDateField() const { return m_applicationDate; }
    QComboBox* statusPicker() const { return m_status; }
    ToggleSwitch* followUpSwitch() const { return m_followUp; }
    QDateEdit* followUpDateField() const { return m_followUpDate; }
    QWidget* followUpDateRow() const { return m_followUpDateRow; }

private:
    void buildRows();
    void bindLink();
    void bindPickers();
    void bindDates();
    void showLink();
    void showFollowUp();

    RecordPointer m_application;
    ApplicationEdits& m_edits;
    OpenURL m_openURL;
    QLineEdit* m_company;
    QLineEdit* m_position;
    QLineEdit* m_link;
    QToolButton* m_openLink;
    SegmentedControl* m_workModel;
    QDateEdit* m_applicationDate;
    QComboBox* m_status;
    ToggleSwitch* m_followUp;
    QDateEdit* m_followUpDate;
    QWidget* m_followUpDateRow = nullptr;
};
