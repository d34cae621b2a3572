#include "ui/ContactsSection.h"

#include "ui/RecordBinding.h"

#include <QLineEdit>
#include <QToolButton>

using Field = JobApplication::Field;

ContactsSection::ContactsSection(JobApplication& application, ApplicationEdits& edits, OpenURL openURL, QWidget* parent)
    : FormSection(tr("Contacts"), parent)
    , m_application(&application)
    , m_openURL(std::move(openURL))
    , m_hrName(DetailControls::lineEdit(tr("Full name"), "hrNameField", this))
    , m_hrEmail(DetailControls::lineEdit(tr("jane.doe@acme.com", "An example e-mail address"), "hrEmailField", this))
    , m_mail(DetailControls::symbolButton(QStringLiteral("envelope"), "mailButton", this))
    , m_interviewerName(DetailControls::lineEdit(tr("Full name"), "interviewerNameField", this))
    , m_interviewerRole(DetailControls::lineEdit(tr("e.g. Engineering Manager"), "interviewerRoleField", this))
{
    setObjectName(QStringLiteral("contactsSection"));
    m_hrName->setAccessibleName(tr("HR Contact"));
    m_hrEmail->setAccessibleName(tr("HR Email"));
    m_hrEmail->setInputMethodHints(Qt::ImhEmailCharactersOnly | Qt::ImhNoAutoUppercase);
    m_interviewerName->setAccessibleName(tr("Tech Interviewer"));
    m_interviewerRole->setAccessibleName(tr("Role"));
    m_mail->setToolTip(tr("Open in Mail"));
    m_mail->setAccessibleName(tr("Open in Mail"));

    addRow(tr("HR Contact"), m_hrName);
    addRow(tr("HR Email"), DetailControls::fieldWithButton(m_hrEmail, m_mail), m_hrEmail);
    addRow(tr("Tech Interviewer"), m_interviewerName);
    addRow(tr("Role"), m_interviewerRole);

    RecordBinding::bindText(m_hrName, application, edits, Field::hrContactName);
    RecordBinding::bindText(m_hrEmail, application, edits, Field::hrContactEmail);
    RecordBinding::bindText(m_interviewerName, application, edits, Field::techInterviewerName);
    RecordBinding::bindText(m_interviewerRole, application, edits, Field::techInterviewerRole);
    RecordBinding::follow(this, application, {Field::hrContactEmail},
        [this] { m_mail->setEnabled(m_application && mailAddress(m_application->hrContactEmail()).has_value()); });
    connect(m_mail, &QToolButton::clicked, this, [this] {
        if (!m_application)
            return;
        if (const auto address = mailAddress(m_application->hrContactEmail()); address && m_openURL)
            m_openURL(*address);
    });
}

std::optional<QUrl> ContactsSection::mailAddress(const QString& email)
{
    const QString trimmed = email.trimmed();
    if (!trimmed.contains(QLatin1Char('@')) || trimmed.startsWith(QLatin1Char('@'))
        || trimmed.endsWith(QLatin1Char('@')))
        return std::nullopt;
    const QUrl url(QStringLiteral("mailto:") + trimmed, QUrl::StrictMode);
    if (!url.isValid())
        return std::nullopt;
    return url;
}
