#pragma once

#include "model/Decimal.h"
#include "model/JobApplication.h"
#include "ui/FormControls.h"

#include <QPointer>
#include <QUrl>

#include <functional>
#include <optional>

class DecimalField;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;
class SegmentedControl;
class ToggleSwitch;

// The sections of the detail form, each bound to one record and editing it in
// place: every change goes straight into the record, there is nothing to save.

using OpenURL = std::function<void(const QUrl&)>;

// "Application": company, position, posting link, work model, dates, status and
// the follow-up reminder.
class ApplicationSection : public FormSection {
    Q_OBJECT

public:
    ApplicationSection(JobApplication& application, OpenURL openURL, QWidget* parent = nullptr);

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
    void showLink();
    void showFollowUp();

    QPointer<JobApplication> m_application;
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
    QWidget* m_followUpDateRow;
};

// The rejection's channel, reason and, for "Other", the user's own words.
class RejectionSection : public FormSection {
    Q_OBJECT

public:
    explicit RejectionSection(JobApplication& application, QWidget* parent = nullptr);

    QCheckBox* byEmailBox() const { return m_byEmail; }
    QCheckBox* byPhoneBox() const { return m_byPhone; }
    QComboBox* reasonPicker() const { return m_reason; }
    QPlainTextEdit* detailsField() const { return m_details; }
    // Present only while the reason is "Other" (the note is kept either way).
    QWidget* detailsRow() const { return m_detailsRow; }

private:
    void showReason(bool animated);

    QPointer<JobApplication> m_application;
    QCheckBox* m_byEmail;
    QCheckBox* m_byPhone;
    QComboBox* m_reason;
    QPlainTextEdit* m_details;
    QWidget* m_detailsRow;
};

// The HR contact and the technical interviewer.
class ContactsSection : public FormSection {
    Q_OBJECT

public:
    ContactsSection(JobApplication& application, OpenURL openURL, QWidget* parent = nullptr);

    QLineEdit* hrNameField() const { return m_hrName; }
    QLineEdit* hrEmailField() const { return m_hrEmail; }
    QToolButton* mailButton() const { return m_mail; }
    QLineEdit* interviewerNameField() const { return m_interviewerName; }
    QLineEdit* interviewerRoleField() const { return m_interviewerRole; }

    // "mailto:" and the trimmed text, when it holds an "@" that neither starts nor
    // ends it; no address otherwise. Nothing else of the syntax is checked.
    static std::optional<QUrl> mailAddress(const QString& email);

private:
    QPointer<JobApplication> m_application;
    OpenURL m_openURL;
    QLineEdit* m_hrName;
    QLineEdit* m_hrEmail;
    QToolButton* m_mail;
    QLineEdit* m_interviewerName;
    QLineEdit* m_interviewerRole;
};

// An amount with the record's one currency beside it.
class SalaryRow : public QWidget {
    Q_OBJECT

public:
    SalaryRow(
        const QString& title, JobApplication& application, JobApplication::Field amount, QWidget* parent = nullptr);
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
    explicit SalarySection(JobApplication& application, QWidget* parent = nullptr);

    SalaryRow* expectedRow() const { return m_expected; }
    SalaryRow* offeredRow() const { return m_offered; }
    QWidget* differenceRow() const { return m_differenceRow; }
    QLabel* differenceLabel() const { return m_difference; }

private:
    void showDifference();
    void applyStyle();

    QPointer<JobApplication> m_application;
    SalaryRow* m_expected;
    SalaryRow* m_offered;
    QWidget* m_differenceRow;
    QLabel* m_difference;
    bool m_differenceNegative = false;
};

// Free notes.
class NotesSection : public FormSection {
    Q_OBJECT

public:
    explicit NotesSection(JobApplication& application, QWidget* parent = nullptr);
    QPlainTextEdit* editor() const { return m_editor; }

private:
    QPlainTextEdit* m_editor;
};

// The status history, newest first, and how long the current stage has lasted.
class TimelineSection : public FormSection {
    Q_OBJECT

public:
    explicit TimelineSection(JobApplication& application, QWidget* parent = nullptr);

    // The history as listed: newest first; of two changes at the same moment the
    // one that reached the later stage first.
    static QList<StatusChange*> ordered(const QList<StatusChange*>& history);

    QWidget* stageRow() const { return m_stageRow; }
    QLabel* stageLabel() const { return m_stage; }
    // The rows below "In this stage": one per change, or the empty note.
    QList<QWidget*> entryRows() const { return m_entries; }
    // Recomputes the day count (the day clock moved on).
    void refresh();

private:
    void rebuild();

    QPointer<JobApplication> m_application;
    QWidget* m_stageRow;
    QLabel* m_stage;
    QList<QWidget*> m_entries;
};
