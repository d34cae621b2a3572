#include "ui/DetailSections.h"

#include "model/ApplicationEdits.h"
#include "model/ApplicationFields.h"
#include "model/Clock.h"
#include "ui/Badges.h"
#include "ui/DecimalField.h"
#include "ui/Formats.h"
#include "ui/Palette.h"
#include "ui/RecordBinding.h"
#include "ui/Symbols.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>

#include <algorithm>
#include <cmath>

using Field = JobApplication::Field;

namespace {

constexpr int rejectionDetailsRevealMs = 200;
constexpr int symbolButtonSize = 18;

QLineEdit* makeLineEdit(const QString& prompt, const char* name, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setPlaceholderText(prompt);
    edit->setClearButtonEnabled(false);
    return edit;
}

QToolButton* makeSymbolButton(const QString& symbol, const char* name, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoRaise(true);
    button->setIconSize(QSize(symbolButtonSize, symbolButtonSize));
    button->setIcon(Symbols::icon(symbol, parent->palette().color(QPalette::Active, QPalette::Highlight)));
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

// A text field with a button after it, as one row control.
QWidget* fieldWithButton(QLineEdit* field, QToolButton* button)
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(field, 1);
    layout->addWidget(button);
    field->setParent(row);
    button->setParent(row);
    return row;
}

// A date-only field with a calendar. The record keeps a moment; picking a day
// keeps the moment's time of day, as the desktop's date pickers do.
QDateEdit* makeDateEdit(const char* name)
{
    auto* edit = new QDateEdit;
    edit->setObjectName(QLatin1String(name));
    edit->setCalendarPopup(true);
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    edit->setDisplayFormat(format);
    edit->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    return edit;
}

QDateTime onDay(const QDate& day, const QDateTime& keepTimeOf)
{
    return QDateTime(day, keepTimeOf.toLocalTime().time(), Qt::LocalTime);
}

} // namespace

// ---------------------------------------------------------------------------
// ApplicationSection

ApplicationSection::ApplicationSection(JobApplication& application, OpenURL openURL, QWidget* parent)
    : FormSection(tr("Application"), parent)
    , m_application(&application)
    , m_openURL(std::move(openURL))
    , m_company(makeLineEdit(tr("e.g. Acme Technology"), "companyField", this))
    , m_position(makeLineEdit(tr("e.g. iOS Developer"), "positionField", this))
    , m_link(makeLineEdit(tr("https://…"), "linkField", this))
    , m_openLink(makeSymbolButton(QStringLiteral("arrow.up.right.square"), "openLinkButton", this))
    , m_workModel(new SegmentedControl(this))
    , m_applicationDate(makeDateEdit("applicationDateField"))
    , m_status(new QComboBox(this))
    , m_followUp(new ToggleSwitch(this))
    , m_followUpDate(makeDateEdit("followUpDateField"))
{
    setObjectName(QStringLiteral("applicationSection"));
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
    addRow(tr("Posting Link"), fieldWithButton(m_link, m_openLink));
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

    RecordBinding::bindText(m_company, application, Field::companyName);
    RecordBinding::bindText(m_position, application, Field::position);
    RecordBinding::bindText(m_link, application, Field::postingLink);
    RecordBinding::follow(this, application, {Field::postingLink}, [this] { showLink(); });
    connect(m_openLink, &QToolButton::clicked, this, [this] {
        // Read again: the link is what the field says now.
        if (!m_application)
            return;
        if (const auto url = m_application->postingURL(); url && m_openURL)
            m_openURL(*url);
    });

    for (WorkModel model : allCases<WorkModel>())
        m_workModel->addSegment(symbolName(model), title(model));
    RecordBinding::follow(this, application, {Field::workModelRaw}, [this] {
        if (m_application)
            m_workModel->setCurrentIndex(int(m_application->workModel()));
    });
    connect(m_workModel, &SegmentedControl::activated, this, [this](int index) {
        if (m_application)
            m_application->setWorkModel(allCases<WorkModel>()[size_t(index)]);
    });

    // The form's date range ends at the moment it is drawn: no application is sent in the future.
    const QDateTime drawnAt = Clock::now();
    m_applicationDate->setMaximumDate(drawnAt.toLocalTime().date());
    RecordBinding::follow(this, application, {Field::applicationDate}, [this] {
        if (!m_application)
            return;
        const QSignalBlocker quiet(m_applicationDate);
        m_applicationDate->setDate(m_application->applicationDate().toLocalTime().date());
    });
    connect(m_applicationDate, &QDateEdit::dateChanged, this, [this, drawnAt](const QDate& day) {
        if (!m_application || !day.isValid())
            return;
        const QDateTime moment = std::min(onDay(day, m_application->applicationDate()), drawnAt);
        ApplicationEdits::edit(*m_application, Field::applicationDate, moment);
    });

    for (ApplicationStatus status : allCases<ApplicationStatus>())
        m_status->addItem(
            Symbols::icon(symbolName(status), Palette::textColor(tint(status), palette())), title(status));
    RecordBinding::follow(this, application, {Field::statusRaw}, [this] {
        if (!m_application)
            return;
        const QSignalBlocker quiet(m_status);
        m_status->setCurrentIndex(int(m_application->status()));
    });
    connect(m_status, &QComboBox::activated, this, [this](int index) {
        if (m_application && index >= 0)
            m_application->changeStatus(allCases<ApplicationStatus>()[size_t(index)]);
    });

    RecordBinding::follow(this, application, {Field::followUpDate}, [this] { showFollowUp(); });
    connect(m_followUp, &ToggleSwitch::clicked, this, [this](bool on) {
        if (m_application)
            ApplicationEdits::setFollowUpEnabled(*m_application, on);
    });
    connect(m_followUpDate, &QDateEdit::dateChanged, this, [this](const QDate& day) {
        JobApplication* record = m_application.data();
        if (!record || !day.isValid())
            return;
        const std::optional<QDateTime>& current = record->followUpDate();
        const QDateTime keep = current ? *current : Clock::now();
        ApplicationEdits::edit(*record, Field::followUpDate, std::optional<QDateTime>(onDay(day, keep)));
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

// ---------------------------------------------------------------------------
// RejectionSection

namespace {

// A plain-text editor that grows with its text between a least and a most
// number of lines, then scrolls.
class GrowingTextEdit : public QPlainTextEdit {
public:
    GrowingTextEdit(int minimumLines, int maximumLines, QWidget* parent = nullptr)
        : QPlainTextEdit(parent)
        , m_minimumLines(minimumLines)
        , m_maximumLines(maximumLines)
    {
        setTabChangesFocus(true);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        verticalScrollBar()->setStyleSheet(Palette::slimScrollBarStyleSheet(palette()));
        connect(
            document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this, [this] { fit(); });
        fit();
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QPlainTextEdit::resizeEvent(event);
        fit();
    }

private:
    void fit()
    {
        // A plain-text document measures its height in visual lines, wrapped ones included.
        const int lines
            = std::clamp(int(document()->documentLayout()->documentSize().height()), m_minimumLines, m_maximumLines);
        const QMargins margins = contentsMargins();
        const int frame = margins.top() + margins.bottom() + int(std::ceil(2 * document()->documentMargin())) + 2;
        const int height = lines * fontMetrics().lineSpacing() + frame;
        if (height != this->height())
            setFixedHeight(height);
    }

    int m_minimumLines;
    int m_maximumLines;
};

} // namespace

RejectionSection::RejectionSection(JobApplication& application, QWidget* parent)
    : FormSection(QString(), parent)
    , m_application(&application)
    , m_byEmail(new QCheckBox(tr("By email"), this))
    , m_byPhone(new QCheckBox(tr("By phone"), this))
    , m_reason(new QComboBox(this))
    , m_details(new GrowingTextEdit(2, 5, this))
{
    setObjectName(QStringLiteral("rejectionSection"));
    setHeader(QStringLiteral("xmark.circle.fill"), tr("Rejection Details"), NamedColor::red);
    setFooter(tr("Useful later — recurring rejection reasons become easy to spot."));
    m_byEmail->setObjectName(QStringLiteral("rejectedByEmailBox"));
    m_byPhone->setObjectName(QStringLiteral("rejectedByPhoneBox"));
    m_reason->setObjectName(QStringLiteral("rejectionReasonPicker"));
    m_reason->setAccessibleName(tr("Rejection Reason"));
    m_reason->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_details->setObjectName(QStringLiteral("rejectionDetailsField"));
    m_details->setPlaceholderText(tr("Describe the rejection in your own words"));
    m_details->setAccessibleName(tr("Details"));

    auto* channels = new QWidget;
    auto* channelsLayout = new QHBoxLayout(channels);
    channelsLayout->setContentsMargins(0, 0, 0, 0);
    channelsLayout->setSpacing(16);
    channelsLayout->addWidget(m_byEmail);
    channelsLayout->addWidget(m_byPhone);
    channelsLayout->addStretch(1);
    addRow(tr("Rejection Channel"), channels);
    addRow(tr("Rejection Reason"), m_reason);
    m_reason->parentWidget()->layout()->setAlignment(m_reason, Qt::AlignLeft | Qt::AlignVCenter);
    m_detailsRow = addRow(tr("Details"), m_details);

    RecordBinding::bindFlag(m_byEmail, application, Field::rejectedByEmail);
    RecordBinding::bindFlag(m_byPhone, application, Field::rejectedByPhone);
    RecordBinding::bindPlainText(m_details, application, Field::rejectionNote);

    m_reason->addItem(tr("Not specified"));
    m_reason->insertSeparator(1);
    for (RejectionReason reason : allCases<RejectionReason>())
        m_reason->addItem(title(reason), int(reason));
    // The first showing happens before the section is on screen, so it is never animated.
    RecordBinding::follow(this, application, {Field::rejectionReasonRaw}, [this] { showReason(true); });
    connect(m_reason, &QComboBox::activated, this, [this](int index) {
        if (!m_application)
            return;
        const QVariant reason = m_reason->itemData(index);
        m_application->setRejectionReason(
            reason.isValid() ? std::optional<RejectionReason>(RejectionReason(reason.toInt())) : std::nullopt);
    });
}

void RejectionSection::showReason(bool animated)
{
    if (!m_application)
        return;
    const std::optional<RejectionReason> reason = m_application->rejectionReason();
    {
        const QSignalBlocker quiet(m_reason);
        m_reason->setCurrentIndex(reason ? m_reason->findData(int(*reason)) : 0);
    }
    const bool other = reason == RejectionReason::other;
    reveal(m_detailsRow, other, animated && isVisible() ? rejectionDetailsRevealMs : 0);
    update();
}

// ---------------------------------------------------------------------------
// ContactsSection

ContactsSection::ContactsSection(JobApplication& application, OpenURL openURL, QWidget* parent)
    : FormSection(tr("Contacts"), parent)
    , m_application(&application)
    , m_openURL(std::move(openURL))
    , m_hrName(makeLineEdit(tr("Full name"), "hrNameField", this))
    , m_hrEmail(makeLineEdit(tr("jane.doe@acme.com", "An example e-mail address"), "hrEmailField", this))
    , m_mail(makeSymbolButton(QStringLiteral("envelope"), "mailButton", this))
    , m_interviewerName(makeLineEdit(tr("Full name"), "interviewerNameField", this))
    , m_interviewerRole(makeLineEdit(tr("e.g. Engineering Manager"), "interviewerRoleField", this))
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
    addRow(tr("HR Email"), fieldWithButton(m_hrEmail, m_mail));
    addRow(tr("Tech Interviewer"), m_interviewerName);
    addRow(tr("Role"), m_interviewerRole);

    RecordBinding::bindText(m_hrName, application, Field::hrContactName);
    RecordBinding::bindText(m_hrEmail, application, Field::hrContactEmail);
    RecordBinding::bindText(m_interviewerName, application, Field::techInterviewerName);
    RecordBinding::bindText(m_interviewerRole, application, Field::techInterviewerRole);
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

// ---------------------------------------------------------------------------
// SalarySection

SalaryRow::SalaryRow(const QString& title, JobApplication& application, Field amount, QWidget* parent)
    : QWidget(parent)
    , m_amount(new DecimalField(title, tr("—"), this))
    , m_currency(new QComboBox(this))
{
    m_amount->setObjectName(QStringLiteral("amountField"));
    m_amount->setFixedWidth(130);
    m_currency->setObjectName(QStringLiteral("currencyPicker"));
    m_currency->setAccessibleName(tr("Currency"));
    m_currency->setFixedWidth(90);
    for (Currency currency : allCases<Currency>())
        m_currency->addItem(::title(currency));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(m_amount);
    layout->addWidget(m_currency);
    layout->addStretch(1);

    const QPointer<JobApplication> record(&application);
    RecordBinding::follow(this, application, {amount}, [this, record, amount] {
        if (record)
            m_amount->setValue(std::get<std::optional<Decimal>>(record->value(amount)));
    });
    connect(m_amount, &DecimalField::valueEdited, this, [record, amount](const std::optional<Decimal>& value) {
        if (record)
            ApplicationEdits::edit(*record, amount, value);
    });
    RecordBinding::follow(this, application, {Field::currencyRaw}, [this, record] {
        if (!record)
            return;
        const QSignalBlocker quiet(m_currency);
        m_currency->setCurrentIndex(int(record->currency()));
    });
    connect(m_currency, &QComboBox::activated, this, [record](int index) {
        if (record && index >= 0)
            record->setCurrency(allCases<Currency>()[size_t(index)]);
    });
}

SalarySection::SalarySection(JobApplication& application, QWidget* parent)
    : FormSection(tr("Salary"), parent)
    , m_application(&application)
    , m_expected(new SalaryRow(tr("Expected Salary"), application, Field::expectedSalary, this))
    , m_offered(new SalaryRow(tr("Offered Salary"), application, Field::offeredSalary, this))
    , m_difference(new QLabel(this))
{
    setObjectName(QStringLiteral("salarySection"));
    m_expected->setObjectName(QStringLiteral("expectedSalaryRow"));
    m_offered->setObjectName(QStringLiteral("offeredSalaryRow"));
    m_difference->setObjectName(QStringLiteral("differenceLabel"));
    m_difference->setTextInteractionFlags(Qt::TextSelectableByMouse);
#ifdef Q_OS_MACOS
    setFooter(tr("Figures stay on this Mac, in a local database."));
#else
    setFooter(tr("Figures stay on this computer, in a local database."));
#endif
    addRow(tr("Expected Salary"), m_expected);
    addRow(tr("Offered Salary"), m_offered);
    m_differenceRow = addRow(tr("Difference"), m_difference);
    applyStyle();
    RecordBinding::follow(this, application, {Field::expectedSalary, Field::offeredSalary, Field::currencyRaw},
        [this] { showDifference(); });
}

void SalarySection::showDifference()
{
    const JobApplication* record = m_application.data();
    if (!record)
        return;
    const auto& expected = record->expectedSalary();
    const auto& offered = record->offeredSalary();
    setRowVisible(m_differenceRow, expected && offered);
    if (!expected || !offered)
        return;
    const Decimal difference = *offered - *expected;
    m_differenceNegative = difference.isNegative();
    m_difference->setText(Formats::salaryDifference(difference, record->currency()));
    applyStyle();
}

void SalarySection::applyStyle()
{
    QFont callout = Palette::font(Palette::TextStyle::callout, font());
    callout.setWeight(QFont::Medium);
    m_difference->setFont(callout);
    Palette::setForeground(
        m_difference, Palette::textColor(m_differenceNegative ? NamedColor::red : NamedColor::green, palette()));
}

// ---------------------------------------------------------------------------
// NotesSection

namespace {

// The notes editor on its own rounded, faintly filled background.
class NotesEditor : public QPlainTextEdit {
public:
    explicit NotesEditor(QWidget* parent)
        : QPlainTextEdit(parent)
    {
        setFrameShape(QFrame::NoFrame);
        viewport()->setAutoFillBackground(false);
        setBackgroundVisible(false);
        // The padding inside the rounded background is the document's margin.
        document()->setDocumentMargin(9);
        setMinimumHeight(140);
        setTabChangesFocus(true);
        verticalScrollBar()->setStyleSheet(Palette::slimScrollBarStyleSheet(palette()));
        setAutoFillBackground(false);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        {
            QPainter painter(viewport());
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            const QColor fill = Palette::quaternaryFill(palette());
            painter.setBrush(Palette::withAlpha(fill, fill.alphaF() * 0.35));
            painter.drawRoundedRect(QRectF(viewport()->rect()), 6, 6);
        }
        QPlainTextEdit::paintEvent(event);
    }
};

} // namespace

NotesSection::NotesSection(JobApplication& application, QWidget* parent)
    : FormSection(tr("Notes"), parent)
    , m_editor(new NotesEditor(this))
{
    setObjectName(QStringLiteral("notesSection"));
    m_editor->setObjectName(QStringLiteral("notesEditor"));
    m_editor->setAccessibleName(tr("Notes"));
    // The editor shows its placeholder exactly while the note is empty: a note of
    // only spaces hides it.
    m_editor->setPlaceholderText(tr("Interview prep, questions asked, impressions…"));
    addRow(QString(), m_editor);
    RecordBinding::bindPlainText(m_editor, application, Field::notes);
}

// ---------------------------------------------------------------------------
// TimelineSection

QList<StatusChange*> TimelineSection::ordered(const QList<StatusChange*>& history)
{
    QList<StatusChange*> entries = history;
    std::stable_sort(entries.begin(), entries.end(), [](const StatusChange* a, const StatusChange* b) {
        if (a->date() == b->date())
            return int(a->to()) > int(b->to());
        return a->date() > b->date();
    });
    return entries;
}

TimelineSection::TimelineSection(JobApplication& application, QWidget* parent)
    : FormSection(tr("History"), parent)
    , m_application(&application)
    , m_stage(new QLabel(this))
{
    setObjectName(QStringLiteral("timelineSection"));
    m_stage->setObjectName(QStringLiteral("stageLabel"));
    m_stageRow = addRow(tr("In this stage"), m_stage);
    RecordBinding::follow(
        this, application, {Field::statusRaw, Field::statusChangedAt, Field::closedAt}, [this] { rebuild(); });
    connect(&application, &JobApplication::historyAppended, this, &TimelineSection::rebuild);
}

void TimelineSection::refresh()
{
    if (!m_application)
        return;
    m_stage->setText(
        substituteCount(tr("%lld days", "Days in the current stage"), m_application->daysInCurrentStatus()));
}

void TimelineSection::rebuild()
{
    if (!m_application)
        return;
    const QPalette& pal = palette();
    setRowVisible(m_stageRow, isActive(m_application->status()));
    Palette::setForeground(m_stage, Palette::secondaryText(pal));
    refresh();

    for (QWidget* row : std::as_const(m_entries))
        removeRow(row);
    m_entries.clear();

    const QList<StatusChange*> entries = ordered(m_application->history());
    if (entries.isEmpty()) {
        auto* empty = new QLabel(tr("No status changes yet."));
        empty->setObjectName(QStringLiteral("emptyHistory"));
        Palette::setForeground(empty, Palette::secondaryText(pal));
        m_entries.append(addRow(QString(), empty));
        return;
    }
    const QFont caption = Palette::font(Palette::TextStyle::caption, font());
    for (const StatusChange* entry : entries) {
        auto* line = new QWidget;
        line->setObjectName(QStringLiteral("historyEntry"));
        auto* layout = new QHBoxLayout(line);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(10);
        auto* symbol = new QLabel(line);
        symbol->setFixedWidth(18);
        symbol->setAlignment(Qt::AlignCenter);
        const int size = fontMetrics().height() - 2;
        symbol->setPixmap(Symbols::pixmap(
            symbolName(entry->to()), Palette::textColor(tint(entry->to()), pal), size, devicePixelRatioF()));
        QString text = title(entry->to());
        if (const auto from = entry->from())
            text = title(*from) + QStringLiteral(" → ") + text;
        auto* change = new QLabel(text, line);
        change->setObjectName(QStringLiteral("historyText"));
        auto* date = new QLabel(Formats::abbreviatedDateTime(entry->date()), line);
        date->setObjectName(QStringLiteral("historyDate"));
        date->setFont(caption);
        Palette::setForeground(date, Palette::secondaryText(pal));
        layout->addWidget(symbol);
        layout->addWidget(change, 1);
        layout->addWidget(date);
        m_entries.append(addRow(QString(), line));
    }
}
