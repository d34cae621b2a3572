#include "ui/MailUpdateRow.h"

#include "model/RejectionReason.h"
#include "ui/Badges.h"
#include "ui/ConfidenceBadge.h"
#include "ui/Formats.h"
#include "ui/Palette.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr qreal excludedOpacity = 0.5;

// A picker that lists every application only when it opens: a review of many
// messages against a long list stays quick to show.
class ApplicationPicker : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void()> beforePopup;

protected:
    void showPopup() override
    {
        if (beforePopup)
            beforePopup();
        QComboBox::showPopup();
    }
};

QString symbolOf(MailKind kind)
{
    switch (kind) {
    case MailKind::rejection: return QStringLiteral("xmark.circle.fill");
    case MailKind::interview: return QStringLiteral("person.wave.2.fill");
    case MailKind::offer: return QStringLiteral("checkmark.seal.fill");
    case MailKind::received: return QStringLiteral("tray");
    case MailKind::other: return QStringLiteral("envelope");
    }
    return {};
}

NamedColor tintOf(MailKind kind)
{
    switch (kind) {
    case MailKind::rejection: return NamedColor::red;
    case MailKind::interview: return NamedColor::purple;
    case MailKind::offer: return NamedColor::green;
    case MailKind::received: return NamedColor::blue;
    case MailKind::other: return NamedColor::secondary;
    }
    return NamedColor::secondary;
}

// Neither an application of the list nor a choice among some.
bool matchesNothing(const MailUpdate& update)
{
    return !update.match().key && update.match().alternatives.isEmpty();
}

// Mail about no application of the reader's has nothing to pick.
bool isAboutNothing(const MailUpdate& update)
{
    return update.reading().kind == MailKind::other;
}

} // namespace

MailUpdateRow::MailUpdateRow(MailUpdate& update, QWidget* parent)
    : QWidget(parent)
    , m_update(&update)
{
    setObjectName(QStringLiteral("mailUpdateRow"));
    buildLayout();
    applyStyle();
    showUpdate();
    connect(&update, &MailUpdate::changed, this, &MailUpdateRow::showUpdate);
}

QString MailUpdateRow::kindTitle(MailKind kind)
{
    switch (kind) {
    case MailKind::rejection: return tr("Rejection");
    case MailKind::interview: return tr("Interview invitation");
    case MailKind::offer: return tr("Offer");
    case MailKind::received: return tr("Application received");
    case MailKind::other: return tr("Not about an application");
    }
    return {};
}

QString MailUpdateRow::applicationTitle(const MailCandidate& application)
{
    const QString company = application.company.trimmed().isEmpty()
        ? QCoreApplication::translate("JobApplication", "New Application")
        : application.company.trimmed();
    const QString position = application.position.trimmed();
    return position.isEmpty() ? company : tr("%1 — %2", "Company — position").arg(company, position);
}

void MailUpdateRow::buildLayout()
{
    const MailUpdate& update = *m_update;
    m_include = new QCheckBox(this);
    m_include->setObjectName(QStringLiteral("includeBox"));
    m_include->setAccessibleName(tr("Include this change"));
    connect(m_include, &QCheckBox::toggled, this, [this](bool on) {
        if (MailUpdate* target = m_update.data())
            target->setInclude(on);
    });

    QHBoxLayout* header = buildHeader();
    const MailMessage& message = update.message();
    m_subject = new QLabel(message.subject.isEmpty() ? tr("(no subject)") : message.subject, this);
    m_subject->setObjectName(QStringLiteral("subjectLabel"));
    m_subject->setTextFormat(Qt::PlainText);
    m_subject->setWordWrap(true);

    QHBoxLayout* application = buildApplicationLine();
    QHBoxLayout* change = buildChangeLine();
    QVBoxLayout* evidence = buildEvidence(update.reading().evidence);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    grid->setColumnStretch(1, 1);
    const QString labels[] = {tr("Application"), tr("Change"), tr("Read from")};
    for (int row = 0; row < 3; ++row) {
        auto* label = new QLabel(labels[row], this);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_fieldLabels.append(label);
        grid->addWidget(label, row, 0, row == 2 ? Qt::AlignTop | Qt::AlignRight : Qt::AlignRight);
    }
    m_fieldLabels.front()->setBuddy(m_picker);
    grid->addLayout(application, 0, 1);
    grid->addLayout(change, 1, 1);
    grid->addLayout(evidence, 2, 1);

    auto* column = new QVBoxLayout;
    column->setSpacing(8);
    column->addLayout(header);
    column->addWidget(m_subject);
    column->addLayout(grid);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(12);
    layout->addWidget(m_include, 0, Qt::AlignTop);
    layout->addLayout(column, 1);

    m_opacity = new QGraphicsOpacityEffect(this);
    setGraphicsEffect(m_opacity);
    fillPicker(false);
}

// Sender and date, what the message is, how sure the reading is.
QHBoxLayout* MailUpdateRow::buildHeader()
{
    const MailUpdate& update = *m_update;
    const MailMessage& message = update.message();
    m_sender = new QLabel(this);
    m_sender->setObjectName(QStringLiteral("senderLabel"));
    m_sender->setTextFormat(Qt::PlainText);
    QString sender = message.senderName.isEmpty() ? message.senderAddress : message.senderName;
    if (sender.isEmpty())
        sender = message.sourceLabel;
    QStringList parts {sender};
    if (message.date)
        parts.append(Formats::abbreviatedDateTime(message.date->toLocalTime()));
    else
        parts.append(tr("No date"));
    m_sender->setText(parts.join(QStringLiteral(" · ")));
    m_sender->setToolTip(
        message.senderAddress.isEmpty() ? message.sourceLabel : message.senderAddress + u'\n' + message.sourceLabel);
    m_kind = new MetaChip(
        symbolOf(update.reading().kind), kindTitle(update.reading().kind), tintOf(update.reading().kind), this);
    m_kind->setObjectName(QStringLiteral("kindChip"));
    m_confidence = new ConfidenceBadge(ParseConfidence::low, this);
    m_confidence->setObjectName(QStringLiteral("confidenceBadge"));
    auto* header = new QHBoxLayout;
    header->setSpacing(8);
    header->addWidget(m_sender, 1);
    header->addWidget(m_kind);
    header->addWidget(m_confidence);
    return header;
}

// The application: the picker, or "Not in your list" and a new one.
QHBoxLayout* MailUpdateRow::buildApplicationLine()
{
    auto* picker = new ApplicationPicker(this);
    picker->beforePopup = [this] { fillPicker(true); };
    m_picker = picker;
    m_picker->setObjectName(QStringLiteral("applicationPicker"));
    m_picker->setAccessibleName(tr("Application"));
    m_picker->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_picker->setMinimumContentsLength(28);
    connect(m_picker, &QComboBox::activated, this, [this](int index) {
        MailUpdate* target = m_update.data();
        if (!target)
            return;
        const QVariant key = m_picker->itemData(index);
        target->setApplicationKey(key.isValid() ? std::optional<qint64>(key.toLongLong()) : std::nullopt);
    });
    m_notInList = new QLabel(tr("Not in your list"), this);
    m_notInList->setObjectName(QStringLiteral("notInListLabel"));
    m_create = new QPushButton(tr("Create Application"), this);
    m_create->setObjectName(QStringLiteral("createApplicationButton"));
    m_create->setAutoDefault(false);
    connect(m_create, &QPushButton::clicked, this, [this] {
        if (MailUpdate* target = m_update.data())
            target->setCreatesApplication(!target->createsApplication());
    });
    m_newCompany = new QLineEdit(this);
    m_newCompany->setObjectName(QStringLiteral("newCompanyField"));
    m_newCompany->setPlaceholderText(tr("Company"));
    m_newCompany->setAccessibleName(tr("Company of the new application"));
    connect(m_newCompany, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (MailUpdate* target = m_update.data())
            target->setNewCompany(text);
    });
    auto* application = new QHBoxLayout;
    application->setSpacing(8);
    application->addWidget(m_picker, 1);
    application->addWidget(m_notInList);
    application->addWidget(m_newCompany, 1);
    application->addWidget(m_create);
    return application;
}

// The change: "Applied → Rejected", or the change in words, and the reason.
QHBoxLayout* MailUpdateRow::buildChangeLine()
{
    m_move = new QWidget(this);
    auto* move = new QHBoxLayout(m_move);
    move->setContentsMargins(0, 0, 0, 0);
    move->setSpacing(6);
    m_from = new StatusBadge(ApplicationStatus::applied, false, m_move);
    m_from->setObjectName(QStringLiteral("fromBadge"));
    m_arrow = new QLabel(QStringLiteral("→"), m_move);
    m_to = new StatusBadge(ApplicationStatus::applied, false, m_move);
    m_to->setObjectName(QStringLiteral("toBadge"));
    move->addWidget(m_from);
    move->addWidget(m_arrow);
    move->addWidget(m_to);
    move->addStretch(1);
    m_changeText = new QLabel(this);
    m_changeText->setObjectName(QStringLiteral("changeLabel"));
    m_changeText->setWordWrap(true);
    m_reason = new QLabel(this);
    m_reason->setObjectName(QStringLiteral("reasonLabel"));
    m_reason->setWordWrap(true);
    auto* change = new QHBoxLayout;
    change->setSpacing(10);
    change->addWidget(m_move);
    change->addWidget(m_changeText, 1);
    change->addWidget(m_reason, 1);
    return change;
}

// What it was read from: the sentence, and what named the application.
QVBoxLayout* MailUpdateRow::buildEvidence(const QString& read)
{
    m_evidence = new QLabel(this);
    m_evidence->setObjectName(QStringLiteral("evidenceLabel"));
    m_evidence->setTextFormat(Qt::PlainText);
    m_evidence->setWordWrap(true);
    m_evidence->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_evidence->setText(read.isEmpty() ? QString() : tr("“%1”", "Quoted sentence of a message").arg(read));
    m_evidence->setVisible(!read.isEmpty());
    m_matchEvidence = new QLabel(this);
    m_matchEvidence->setObjectName(QStringLiteral("matchEvidenceLabel"));
    m_matchEvidence->setTextFormat(Qt::PlainText);
    m_matchEvidence->setWordWrap(true);
    auto* evidence = new QVBoxLayout;
    evidence->setSpacing(2);
    evidence->addWidget(m_evidence);
    evidence->addWidget(m_matchEvidence);
    return evidence;
}

void MailUpdateRow::fillPicker(bool everyApplication)
{
    const MailUpdate* update = m_update.data();
    if (!update || (m_pickerComplete && everyApplication))
        return;
    const QSignalBlocker blocker(m_picker);
    m_picker->clear();
    m_picker->addItem(tr("Choose an application…"));
    // The company's applications first (those the message may be about), then the rest.
    QList<const MailCandidate*> first;
    QList<const MailCandidate*> rest;
    const QList<qint64>& alternatives = update->match().alternatives;
    for (const MailCandidate& candidate : update->candidates()) {
        const bool likely = alternatives.contains(candidate.key) || update->applicationKey() == candidate.key;
        if (likely)
            first.append(&candidate);
        else if (everyApplication)
            rest.append(&candidate);
    }
    std::stable_sort(rest.begin(), rest.end(), [](const MailCandidate* a, const MailCandidate* b) {
        return QString::localeAwareCompare(a->company, b->company) < 0;
    });
    for (const QList<const MailCandidate*>* group : {&first, &rest}) {
        if (group == &rest && !rest.isEmpty() && !first.isEmpty())
            m_picker->insertSeparator(m_picker->count());
        for (const MailCandidate* candidate : *group)
            m_picker->addItem(applicationTitle(*candidate), QVariant::fromValue(candidate->key));
    }
    m_pickerComplete = everyApplication;
    const int current
        = update->applicationKey() ? m_picker->findData(QVariant::fromValue(*update->applicationKey())) : 0;
    m_picker->setCurrentIndex(std::max(0, current));
}

qreal MailUpdateRow::rowOpacity() const
{
    return m_opacity->opacity();
}

void MailUpdateRow::showUpdate()
{
    const MailUpdate* update = m_update.data();
    if (!update)
        return;
    {
        const QSignalBlocker blocker(m_include);
        m_include->setChecked(update->include());
    }
    m_include->setEnabled(update->isApplicable());
    m_opacity->setOpacity(update->include() ? 1.0 : excludedOpacity);
    showApplication(*update);
    showChange(*update);
    showConfidence(*update);
    showEvidence(*update);
}

void MailUpdateRow::showApplication(const MailUpdate& update)
{
    const bool creates = update.createsApplication();
    const int current = update.applicationKey() ? m_picker->findData(QVariant::fromValue(*update.applicationKey())) : 0;
    if (update.applicationKey() && current < 0)
        fillPicker(true);
    else if (m_picker->currentIndex() != std::max(0, current))
        m_picker->setCurrentIndex(std::max(0, current));
    const bool noMatch = matchesNothing(update);
    const bool changesSomething = update.reading().status.has_value() || update.reading().kind == MailKind::received;
    const bool aboutNothing = isAboutNothing(update);
    m_notInList->setVisible(noMatch && !update.applicationKey() && !creates && !aboutNothing);
    m_create->setVisible(changesSomething && !update.applicationKey());
    m_create->setText(creates ? tr("Cancel New Application") : tr("Create Application"));
    m_picker->setVisible(
        !creates && !aboutNothing && !(noMatch && !update.applicationKey() && update.candidates().isEmpty()));
    m_newCompany->setVisible(creates);
    if (creates && m_newCompany->text() != update.newCompany())
        m_newCompany->setText(update.newCompany());
}

void MailUpdateRow::showChange(const MailUpdate& update)
{
    const MailReading& reading = update.reading();
    const MailProposal proposal = update.proposal();
    const bool creates = update.createsApplication();
    const bool moves = proposal.outcome == MailProposal::Outcome::change && proposal.from && proposal.to;
    m_move->setVisible(moves || (creates && reading.status));
    if (moves) {
        m_from->setStatus(*proposal.from);
        m_to->setStatus(*proposal.to);
    } else if (creates && reading.status) {
        m_from->setStatus(ApplicationStatus::applied);
        m_to->setStatus(*reading.status);
    }
    m_from->setVisible(!(creates && reading.status == ApplicationStatus::applied));
    const QString text = changeText(update, proposal);
    m_changeText->setText(text);
    m_changeText->setVisible(!text.isEmpty());
    const bool showsReason = reading.kind == MailKind::rejection && (moves || creates);
    m_reason->setText(reading.reason ? tr("Reason: %1").arg(title(*reading.reason)) : tr("No reason given"));
    m_reason->setVisible(showsReason);
}

// The change in words, where the badges do not say it all.
QString MailUpdateRow::changeText(const MailUpdate& update, const MailProposal& proposal)
{
    if (update.createsApplication()) {
        return update.reading().status ? tr("A new application, with this change")
                                       : tr("A new application, dated when the message was sent");
    }
    switch (proposal.outcome) {
    case MailProposal::Outcome::change:
        return proposal.isUnusual ? tr("An unusual step back: tick it if it is right") : QString();
    case MailProposal::Outcome::nothing:
        return update.reading().kind == MailKind::received ? tr("No change: the application was received")
                                                           : tr("Nothing to change");
    case MailProposal::Outcome::alreadyThere: return tr("Already %1: nothing to change").arg(title(*proposal.to));
    case MailProposal::Outcome::outdated: return tr("Nothing to change: the application moved on after this message");
    case MailProposal::Outcome::laterStage:
        return tr("Nothing to change: the application is already at %1").arg(title(*proposal.from));
    case MailProposal::Outcome::noApplication:
        return matchesNothing(update) ? tr("Create the application to record this message")
                                      : tr("Choose the application this message is about");
    }
    return {};
}

// How sure: the match (or the person's own pick) and the reading together.
void MailUpdateRow::showConfidence(const MailUpdate& update)
{
    const MailReading& reading = update.reading();
    const MailCandidate* application = update.application();
    ParseConfidence confidence = ParseConfidence::low;
    if (application) {
        const bool sureMatch = update.applicationKey() != update.match().key
            || update.match().confidence == MailMatch::Confidence::confident;
        confidence = sureMatch && reading.isClear ? ParseConfidence::high
            : sureMatch || reading.isClear        ? ParseConfidence::medium
                                                  : ParseConfidence::low;
    }
    m_confidence->setConfidence(confidence);
    m_confidence->setVisible(
        reading.status.has_value() && !update.createsApplication() && !(matchesNothing(update) && !application));
}

void MailUpdateRow::showEvidence(const MailUpdate& update)
{
    const bool creates = update.createsApplication();
    const bool aboutNothing = isAboutNothing(update);
    QStringList matched = update.match().evidence;
    m_matchEvidence->setText(matched.join(QStringLiteral(" · ")));
    m_matchEvidence->setVisible(!matched.isEmpty() && !creates && !aboutNothing);
    // Rows with nothing in them are left out.
    m_fieldLabels[0]->setVisible(!aboutNothing || creates);
    m_fieldLabels[2]->setVisible(m_evidence->isVisibleTo(this) || m_matchEvidence->isVisibleTo(this));
}

void MailUpdateRow::applyStyle()
{
    const QPalette& pal = palette();
    const QColor secondary = Palette::secondaryText(pal);
    m_sender->setFont(Palette::font(Palette::TextStyle::caption, font()));
    Palette::setForeground(m_sender, secondary);
    QFont subject = Palette::font(Palette::TextStyle::body, font());
    subject.setWeight(QFont::DemiBold);
    m_subject->setFont(subject);
    const QFont callout = Palette::font(Palette::TextStyle::callout, font());
    for (QLabel* label : std::as_const(m_fieldLabels)) {
        label->setFont(callout);
        Palette::setForeground(label, secondary);
    }
    for (QLabel* label : {m_changeText, m_reason, m_arrow, m_notInList})
        label->setFont(callout);
    Palette::setForeground(m_changeText, secondary);
    Palette::setForeground(m_arrow, secondary);
    Palette::setForeground(m_notInList, Palette::textColor(NamedColor::orange, pal));
    QFont quoted = callout;
    quoted.setItalic(true);
    m_evidence->setFont(quoted);
    m_matchEvidence->setFont(Palette::font(Palette::TextStyle::caption, font()));
    Palette::setForeground(m_matchEvidence, secondary);
}

void MailUpdateRow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    // The posting review's card: a faint wash of the quaternary fill.
    const QColor fill = Palette::quaternaryFill(palette());
    painter.setBrush(Palette::withAlpha(fill, fill.alphaF() * 0.35));
    painter.drawRoundedRect(QRectF(rect()), 8, 8);
}

void MailUpdateRow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        applyStyle();
    QWidget::changeEvent(event);
}
