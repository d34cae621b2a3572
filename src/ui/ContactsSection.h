#pragma once

#include "model/ApplicationEdits.h"
#include "model/JobApplication.h"
#include "ui/DetailControls.h"
#include "ui/FormControls.h"

#include <QUrl>

#include <optional>

class QLineEdit;
class QToolButton;

// The HR contact and the technical interviewer.
class ContactsSection : public FormSection {
    Q_OBJECT

public:
    ContactsSection(JobApplication& application, ApplicationEdits& edits, OpenURL openURL, QWidget* parent = nullptr);

    QLineEdit* hrNameField() const { return m_hrName; }
    QLineEdit* hrEmailField() const { return m_hrEmail; }
    QToolButton* mailButton() const { return m_mail; }
    QLineEdit* interviewerNameField() const { return m_interviewerName; }
    QLineEdit* interviewerRoleField() const { return m_interviewerRole; }

    // "mailto:" and the trimmed text, when it holds an "@" that neither starts nor
    // ends it; no address otherwise. Nothing else of the syntax is checked.
    static std::optional<QUrl> mailAddress(const QString& email);

private:
    RecordPointer m_application;
    OpenURL m_openURL;
    QLineEdit* m_hrName;
    QLineEdit* m_hrEmail;
    QToolButton* m_mail;
    QLineEdit* m_interviewerName;
    QLineEdit* m_interviewerRole;
};
