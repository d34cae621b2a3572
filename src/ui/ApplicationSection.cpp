#include "ui/ApplicationSection.h"

#include "model/Clock.h"
#include "ui/ChoicePicker.h"
#include "ui/Palette.h"
#include "ui/RecordBinding.h"
#include "ui/Symbols.h"

#include <QDateEdit>
#include <QLayout>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QToolButton>

#include <algorithm>

using Field = JobApplication::Field;

ApplicationSection::ApplicationSection(
    JobApplication& application, ApplicationEdits& edits, OpenURL openURL, QWidget* parent)
    : FormSection(tr("Application"), parent)
    , m_application(&application)
    , m_edits(edits)
    , m_openURL(std::move(openURL))
    , m_company(DetailControls::lineEdit(tr("e.g. Acme Technology"), "companyField", this))
    , m_position(DetailControls::lineEdit(tr("e.g. iOS Developer"), "positionField", this))
    , m_link(DetailControls::lineEdit(tr("https://…"), "linkField", this))
    , m_openLink(DetailControls::symbolButton(QStringLiteral("arrow.up.right.square"), "openLinkButton", this))
    , m_workModel(new SegmentedControl(this))
    , m_applicationDate(DetailControls::dateEdit("applicationDateField"))
    , m_status(new ChoicePicker(this))
    , m_followUp(new ToggleSwitch(this))
    , m_followUpDate(DetailControls::dateEdit("followUpDateField"))
{
    setObjectName(QStringLiteral("applicationSection"));
    buildRows();
    RecordBinding::bindText(m_company, application, edits, Field::companyName);
    RecordBinding::bindText(m_position, application, edits, Field::position);
    bindLink();
    bindPickers();
    bindDates();
}

void ApplicationSection::buildRows()
{
    m_company->setAccessibleName(tr("Company"));
    m_position->setAccessibleName(tr("Position"));
    m_link->setAccessibleName(tr("Posting Link"));
    m_link->setInputMethodHints(Qt::ImhUrlCharactersOnly | Qt::ImhNoAutoUppercase);
    m_workModel->setObjectName(QStringLiteral("workModelPicker"));
    m_workModel->setAccessibleName(tr("Work Model"));
    m_status->setObjectName(QStringLiteral("statusPicker"));
    m_status->setAccessibleName(tr("Status"));
    m_status->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_followUp->setObjectName(QStringLiteral("followUpSwitch"));
    m_followUp->setAccessibleName(tr("Follow-up Reminder"));

    addRow(tr("Company"), m_company);
    addRow(tr("Position"), m_position);
    addRow(tr("Posting Link"), DetailControls::fieldWithButton(m_link, m_openLink), m_link);
    addRow(tr("Work Model"), m_workModel);
    addRow(tr("Application Date"), m_applicationDate);
    addRow(tr("Status"), m_status);
    addRow(tr("Follow-up Reminder"), m_followUp);
    m_followUpDateRow = addRow(tr("Follow-up Date"), m_followUpDate);
    // Pickers and switches keep their natural width, leading-aligned.
    for (QWidget* control :
        {static_cast<QWidget*>(m_applicationDate), static_cast<QWidget*>(m_status), static_cast<QWidget*>(m_followUp),
            static_cast<QWidget*>(m_followUpDate), static_cast<QWidget*>(m_workModel)})
        control->parentWidget()->layout()->setAlignment(control, Qt::AlignLeft | Qt::AlignVCenter);
}

void ApplicationSection::bindLink()
{
    RecordBinding::bindText(m_link, *m_application, m_edits, Field::postingLink);
    RecordBinding::follow(this, *m_application, {Field::postingLink}, [this] { showLink(); });
    connect(m_openLink, &QToolButton::clicked, this, [this] {
        // Read again: the link is what the field says now.
        if (!m_application)
            return;
        if (const auto url = m_application->postingURL(); url && m_openURL)
            m_openURL(*url);
    });
}

void ApplicationSection::bindPickers()
{
    for (WorkModel model : allCases<WorkModel>())
        m_workModel->addSegment(symbolName(model), title(model));
    RecordBinding::follow(this, *m_application, {Field::workModelRaw}, [this] {
        if (m_application)
            m_workModel->setCurrentIndex(int(m_application->workModel()));
    });
    connect(m_workModel, &SegmentedControl::activated, this, [this](int index) {
        if (m_application)
            m_edits.setWorkModel(*m_application, allCases<WorkModel>()[size_t(index)]);
    });

    for (ApplicationStatus status : allCases<ApplicationStatus>())
        m_status->addItem(
            Symbols::icon(symbolName(status), Palette::textColor(tint(status), palette())), title(status));
    RecordBinding::follow(this, *m_application, {Field::statusRaw}, [this] {
        if (!m_application)
            return;
        const QSignalBlocker quiet(m_status);
        m_status->setCurrentIndex(int(m_application->status()));
    });
    connect(m_status, &QComboBox::activated, this, [this](int index) {
        if (m_application && index >= 0)
            m_edits.changeStatus(*m_application, allCases<ApplicationStatus>()[size_t(index)]);
    });
}

void ApplicationSection::bindDates()
{
    // The form's date range ends at the moment it is drawn: no application is sent in the future.
    const QDateTime drawnAt = Clock::now();
    m_applicationDate->setCalendarWidget(new PastCalendar(m_applicationDate));
    m_applicationDate->setMaximumDate(drawnAt.toLocalTime().date());
    RecordBinding::follow(this, *m_application, {Field::applicationDate}, [this] {
        if (!m_application)
            return;
        const QSignalBlocker quiet(m_applicationDate);
        m_applicationDate->setDate(m_application->applicationDate().toLocalTime().date());
    });
    connect(m_applicationDate, &QDateEdit::dateChanged, this, [this, drawnAt](const QDate& day) {
        if (!m_application || !day.isValid())
            return;
        const QDateTime moment = std::min(DetailControls::onDay(day, m_application->applicationDate()), drawnAt);
        m_edits.edit(*m_application, Field::applicationDate, moment);
    });

    RecordBinding::follow(this, *m_application, {Field::followUpDate}, [this] { showFollowUp(); });
    connect(m_followUp, &ToggleSwitch::clicked, this, [this](bool on) {
        if (m_application)
            m_edits.setFollowUpEnabled(*m_application, on);
    });
    connect(m_followUpDate, &QDateEdit::dateChanged, this, [this](const QDate& day) {
        JobApplication* record = m_application.data();
        if (!record || !day.isValid())
            return;
        const std::optional<QDateTime>& current = record->followUpDate();
        const QDateTime keep = current ? *current : Clock::now();
        m_edits.edit(*record, Field::followUpDate, std::optional<QDateTime>(DetailControls::onDay(day, keep)));
    });
}

void ApplicationSection::showLink()
{
    const bool valid = m_application && m_application->postingURL().has_value();
    m_openLink->setEnabled(valid);
    m_openLink->setToolTip(valid ? tr("Open posting in browser") : tr("Enter a valid http(s) address"));
    m_openLink->setAccessibleName(tr("Open posting in browser"));
}

void ApplicationSection::showFollowUp()
{
    const JobApplication* record = m_application.data();
    if (!record)
        return;
    const std::optional<QDateTime>& date = record->followUpDate();
    m_followUp->setChecked(date.has_value());
    setRowVisible(m_followUpDateRow, date.has_value());
    const QSignalBlocker quiet(m_followUpDate);
    m_followUpDate->setDate((date ? *date : Clock::now()).toLocalTime().date());
}
