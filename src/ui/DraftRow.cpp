#include "ui/DraftRow.h"

#include "model/WorkModel.h"
#include "posting/PostingDraft.h"
#include "ui/Accessibility.h"
#include "ui/AlreadyAppliedLine.h"
#include "ui/Badges.h"
#include "ui/ConfidenceBadge.h"
#include "ui/DraftPicture.h"
#include "ui/EvidenceHint.h"
#include "ui/Palette.h"
#include "ui/SuggestionChip.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr qreal excludedOpacity = 0.5;

// Keeps the user's cursor where it is: only a value that differs is written back.
// A value put there from elsewhere shows its start, as a long address is read.
void showText(QLineEdit* field, const QString& text)
{
    if (field->text() == text)
        return;
    field->setText(text);
    if (!field->hasFocus())
        field->setCursorPosition(0);
}

// The segment of a work model: its place in case order.
int segmentIndex(WorkModel model)
{
    const auto& cases = allCases<WorkModel>();
    return int(std::find(cases.begin(), cases.end(), model) - cases.begin());
}

template <typename Value> std::optional<QString> evidenceOf(const StartingField<Value>& field)
{
    return field.value ? std::optional<QString>(field.evidence) : std::nullopt;
}

// A field's word is shown while it still holds the value the review started with.
template <typename Value> bool holdsStart(const StartingField<Value>& field, const Value& current)
{
    return field.value && *field.value == current;
}

// The chip is wanted while the field holds something other than what it offers.
template <typename Value> bool offers(const StartingField<Value>& field, const Value& current)
{
    return field.other && field.other->value != current;
}

} // namespace

QString DraftRow::label(Field field)
{
    switch (field) {
    case Field::company: return tr("Company");
    case Field::position: return tr("Position");
    case Field::postingLink: return tr("Posting Link");
    case Field::workModel: return tr("Work Model");
    }
    return {};
}

QString DraftRow::locationLabel()
{
    return tr("Location");
}

QString DraftRow::notAPostingText()
{
    return tr("This does not look like a job posting.");
}

DraftRow::DraftRow(PostingDraft& draft, QWidget* parent)
    : QWidget(parent)
    , m_draft(&draft)
{
    setObjectName(QStringLiteral("draftRow"));
    // Clicked, the row takes the focus, so that Space shows its picture.
    setFocusPolicy(Qt::ClickFocus);
    setAccessibleName(tr("Detected application: %1").arg(draft.sourceLabel()));
    buildLayout(draft);
    applyStyle();
    showDraft();
    connect(&draft, &PostingDraft::changed, this, &DraftRow::showDraft);
}

QHBoxLayout* DraftRow::buildHeader(const PostingDraft& draft)
{
    const DraftStart& start = draft.start();
    m_source = new QLabel(this);
    m_source->setObjectName(QStringLiteral("sourceLabel"));
    m_source->setTextFormat(Qt::PlainText);
    m_source->setToolTip(draft.sourceLabel());
    m_confidence = new ConfidenceBadge(start.overall(), this);
    if (start.board != JobBoard::unknown) {
        m_board = new MetaChip(QStringLiteral("globe"), title(start.board), NamedColor::secondary, this);
        m_board->setObjectName(QStringLiteral("boardChip"));
    }
    if (start.location.value) {
        m_location = new MetaChip(QString(), *start.location.value, NamedColor::secondary, this);
        m_location->setObjectName(QStringLiteral("locationChip"));
        m_location->setToolTip(locationLabel() + QStringLiteral(": ") + *start.location.value);
        // A long place gives way to the fields when the row is narrow.
        m_location->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        m_location->setMinimumWidth(48);
    }
    auto* header = new QHBoxLayout;
    header->setSpacing(8);
    header->addWidget(m_source, 0);
    header->addWidget(m_confidence, 0, Qt::AlignVCenter);
    for (MetaChip* chip : {m_board, m_location}) {
        if (chip)
            header->addWidget(chip, 0, Qt::AlignVCenter);
    }
    header->addStretch(1);

    m_notAPosting = new QLabel(notAPostingText(), this);
    m_notAPosting->setObjectName(QStringLiteral("notAPostingLine"));
    m_notAPosting->setVisible(start.notAPosting);
    return header;
}

void DraftRow::buildEditors()
{
    const auto makeField = [this](Field field, const QString& objectName, void (PostingDraft::*set)(const QString&)) {
        auto* editor = new QLineEdit(this);
        editor->setObjectName(objectName);
        editor->setAccessibleName(label(field));
        connect(editor, &QLineEdit::textEdited, this, [this, set](const QString& text) {
            if (PostingDraft* target = m_draft.data())
                (target->*set)(text);
        });
        return editor;
    };
    m_company = makeField(Field::company, QStringLiteral("companyField"), &PostingDraft::setCompany);
    m_position = makeField(Field::position, QStringLiteral("positionField"), &PostingDraft::setPosition);
    m_link = makeField(Field::postingLink, QStringLiteral("linkField"), &PostingDraft::setPostingLink);
}

QWidget* DraftRow::buildWorkModelPicker()
{
    // The segmented picker: one exclusive button per work model.
    auto* segments = new QWidget(this);
    segments->setObjectName(QStringLiteral("workModelPicker"));
    segments->setAccessibleName(label(Field::workModel));
    auto* segmentLayout = new QHBoxLayout(segments);
    segmentLayout->setContentsMargins(0, 0, 0, 0);
    segmentLayout->setSpacing(0);
    m_workModel = new QButtonGroup(this);
    m_workModel->setExclusive(true);
    for (WorkModel model : allCases<WorkModel>()) {
        auto* segment = new QToolButton(segments);
        Accessibility::presentAsRadioButton(segment);
        segment->setText(title(model));
        segment->setCheckable(true);
        segment->setAutoRaise(false);
        segment->setToolButtonStyle(Qt::ToolButtonTextOnly);
        segment->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        m_workModel->addButton(segment, segmentIndex(model));
        segmentLayout->addWidget(segment);
    }
    segmentLayout->addStretch(1);
    connect(m_workModel, &QButtonGroup::idClicked, this, [this](int id) {
        if (PostingDraft* target = m_draft.data())
            target->setWorkModel(allCases<WorkModel>()[size_t(id)]);
    });
    return segments;
}

void DraftRow::buildChips(const DraftStart& start)
{
    // A click writes the field through the draft, exactly as typing there does.
    const auto makeChip = [this](Field field, const auto& starting, auto shown, auto set) {
        if (!starting.other)
            return;
        auto* chip = new SuggestionChip(this);
        chip->setSuggestion(shown(starting.other->value), starting.other->evidence);
        connect(chip, &QAbstractButton::clicked, this, [this, set, value = starting.other->value] {
            if (PostingDraft* target = m_draft.data())
                (target->*set)(value);
        });
        m_chips[size_t(field)] = chip;
    };
    const auto same = [](const QString& value) { return value; };
    makeChip(Field::company, start.company, same, &PostingDraft::setCompany);
    makeChip(Field::position, start.position, same, &PostingDraft::setPosition);
    makeChip(
        Field::workModel, start.workModel, [](WorkModel value) { return title(value); }, &PostingDraft::setWorkModel);
}

QGridLayout* DraftRow::buildGrid(QWidget* picker)
{
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    QWidget* editors[] = {m_company, m_position, m_link, picker};
    int gridRow = 0;
    for (int field = 0; field < fieldCount; ++field) {
        auto* name = new QLabel(label(Field(field)), this);
        name->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        name->setBuddy(editors[field]);
        m_fieldLabels.append(name);
        grid->addWidget(name, gridRow, 0, Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(editors[field], gridRow, 1);
        grid->addWidget(m_fieldBadges[size_t(field)], gridRow, 2, Qt::AlignLeft | Qt::AlignVCenter);
        grid->addWidget(m_hints[size_t(field)], gridRow, 3, Qt::AlignVCenter);
        ++gridRow;
        // The chip sits right under the editor it fills.
        if (SuggestionChip* chip = m_chips[size_t(field)]) {
            grid->addWidget(chip, gridRow, 1, Qt::AlignLeft | Qt::AlignTop);
            ++gridRow;
        }
    }
    grid->setColumnStretch(1, 1);
    return grid;
}

void DraftRow::buildLayout(const PostingDraft& draft)
{
    const DraftStart& start = draft.start();
    m_include = new QCheckBox(this);
    m_include->setObjectName(QStringLiteral("includeBox"));
    // No visible text: the row itself says what is included.
    m_include->setAccessibleName(tr("Include this application"));
    connect(m_include, &QCheckBox::toggled, this, [this](bool on) {
        if (PostingDraft* target = m_draft.data())
            target->setInclude(on);
    });
    QHBoxLayout* header = buildHeader(draft);
    buildEditors();
    QWidget* picker = buildWorkModelPicker();
    m_hints = {new EvidenceHint(evidenceOf(start.company), this), new EvidenceHint(evidenceOf(start.position), this),
        new EvidenceHint(evidenceOf(start.postingLink), this), new EvidenceHint(evidenceOf(start.workModel), this)};
    const ParseConfidence words[] = {
        start.company.confidence, start.position.confidence, start.postingLink.confidence, start.workModel.confidence};
    for (int field = 0; field < fieldCount; ++field)
        m_fieldBadges[size_t(field)] = new ConfidenceBadge(words[field], this);
    buildChips(start);
    m_applied = new AlreadyAppliedLine(this);
    connect(m_applied, &QAbstractButton::clicked, this, [this] {
        if (JobApplication* record = m_applied->record())
            Q_EMIT existingRecordRequested(record);
    });
    m_thumbnail = new DraftThumbnail(draft.source().isImage(), this);
    connect(m_thumbnail, &QAbstractButton::clicked, this, &DraftRow::pictureRequested);

    auto* column = new QVBoxLayout;
    column->setSpacing(8);
    column->addLayout(header);
    column->addWidget(m_notAPosting);
    column->addWidget(m_applied);
    column->addLayout(buildGrid(picker));
    auto* boxColumn = new QVBoxLayout;
    boxColumn->setContentsMargins(0, 4, 0, 0);
    boxColumn->addWidget(m_include);
    boxColumn->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(12);
    layout->addLayout(boxColumn);
    layout->addLayout(column, 1);
    layout->addWidget(m_thumbnail, 0, Qt::AlignTop);
    setTabOrders();

    m_opacity = new QGraphicsOpacityEffect(this);
    m_opacity->setOpacity(1.0);
    setGraphicsEffect(m_opacity);
}

void DraftRow::setTabOrders()
{
    // Tab goes from each editor to the chip under it, then on to the next editor.
    QWidget* previous = m_include;
    for (QWidget* next : {static_cast<QWidget*>(m_thumbnail), static_cast<QWidget*>(m_applied),
             static_cast<QWidget*>(m_company), static_cast<QWidget*>(m_chips[0]), static_cast<QWidget*>(m_position),
             static_cast<QWidget*>(m_chips[1]), static_cast<QWidget*>(m_link)}) {
        if (!next)
            continue;
        setTabOrder(previous, next);
        previous = next;
    }
    for (QAbstractButton* segment : m_workModel->buttons()) {
        setTabOrder(previous, segment);
        previous = segment;
    }
    if (m_chips[3])
        setTabOrder(previous, m_chips[3]);
}

void DraftRow::setExistingRecord(JobApplication* record)
{
    m_applied->setRecord(record);
}

QList<QAbstractButton*> DraftRow::workModelSegments() const
{
    return m_workModel->buttons();
}

qreal DraftRow::rowOpacity() const
{
    return m_opacity->opacity();
}

void DraftRow::showDraft()
{
    const PostingDraft* shown = m_draft.data();
    if (!shown)
        return;
    const PostingDraft& draft = *shown;
    if (m_include->isChecked() != draft.include())
        m_include->setChecked(draft.include());
    showText(m_company, draft.company());
    showText(m_position, draft.position());
    showText(m_link, draft.postingLink());
    if (QAbstractButton* segment = m_workModel->button(segmentIndex(draft.workModel())))
        segment->setChecked(true);
    const DraftStart& start = draft.start();
    const bool holds[] = {holdsStart(start.company, draft.company()), holdsStart(start.position, draft.position()),
        holdsStart(start.postingLink, draft.postingLink()), holdsStart(start.workModel, draft.workModel())};
    for (int field = 0; field < fieldCount; ++field)
        m_fieldBadges[size_t(field)]->setVisible(holds[field]);
    const bool wanted[] = {offers(start.company, draft.company()), offers(start.position, draft.position()), false,
        offers(start.workModel, draft.workModel())};
    for (int field = 0; field < fieldCount; ++field) {
        if (SuggestionChip* chip = m_chips[size_t(field)])
            chip->setVisible(wanted[field]);
    }
    m_opacity->setOpacity(draft.include() ? 1.0 : excludedOpacity);
    // The effect is only worth its off-screen pass while it changes something.
    m_opacity->setEnabled(!draft.include());
}

void DraftRow::applyStyle()
{
    const QPalette& pal = palette();
    m_source->setFont(Palette::font(Palette::TextStyle::caption, font()));
    elideSource();
    Palette::setForeground(m_source, Palette::secondaryText(pal));
    m_notAPosting->setFont(Palette::font(Palette::TextStyle::callout, font()));
    Palette::setForeground(m_notAPosting, Palette::textColor(NamedColor::red, pal));
    // The segmented picker: joined segments, the chosen one in the accent colour.
    if (QWidget* segments = findChild<QWidget*>(QStringLiteral("workModelPicker"))) {
        const QString border = Palette::separator(pal).name();
        segments->setStyleSheet(
            QStringLiteral("QToolButton { border: 1px solid %1; border-left-width: 0; padding: 3px 12px;"
                           " background: %2; color: %3; }"
                           "QToolButton:first { border-left-width: 1px; border-top-left-radius: 5px;"
                           " border-bottom-left-radius: 5px; }"
                           "QToolButton:last { border-top-right-radius: 5px; border-bottom-right-radius: 5px; }"
                           "QToolButton:checked { background: %4; color: %5; border-color: %4; }"
                           // The keyboard's place is a ring, never a fill: a focused option
                           // must not pass for the chosen one. On the chosen one the ring is
                           // drawn in the text colour, which stands out from the accent.
                           "QToolButton:focus { border: 2px solid %6; padding: 2px 11px; }"
                           "QToolButton:checked:focus { border-color: %3; }")
                .arg(border, pal.color(QPalette::Base).name(), pal.color(QPalette::Text).name(),
                    pal.color(QPalette::Highlight).name(), pal.color(QPalette::HighlightedText).name(),
                    Palette::focusRing(pal).name()));
    }
    const QFont callout = Palette::font(Palette::TextStyle::callout, font());
    for (QLabel* name : std::as_const(m_fieldLabels)) {
        name->setFont(callout);
        Palette::setForeground(name, Palette::secondaryText(pal));
    }
    update();
}

void DraftRow::elideSource()
{
    // One line: a long file name gives up its middle, keeping its start and extension;
    // a third of the row at most, so the badges beside it keep their room.
    if (const PostingDraft* shown = m_draft.data()) {
        const int room = std::clamp(width() / 3, 80, 360);
        m_source->setText(QFontMetrics(m_source->font()).elidedText(shown->sourceLabel(), Qt::ElideMiddle, room));
    }
}

void DraftRow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    elideSource();
}

void DraftRow::keyPressEvent(QKeyEvent* event)
{
    // Space on the row itself (its background was clicked) shows the picture; in an
    // editor or on the tick it does what it does there.
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier) {
        Q_EMIT pictureRequested();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void DraftRow::focusInEvent(QFocusEvent* event)
{
    update();
    QWidget::focusInEvent(event);
}

void DraftRow::focusOutEvent(QFocusEvent* event)
{
    update();
    QWidget::focusOutEvent(event);
}

void DraftRow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    // The quaternary fill as the desktop draws it behind grouped content: a faint
    // wash of the text colour, light enough for the text fields on top.
    const QColor fill = Palette::quaternaryFill(palette());
    painter.setBrush(Palette::withAlpha(fill, fill.alphaF() * 0.35));
    painter.drawRoundedRect(QRectF(rect()), 8, 8);
    if (hasFocus()) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Palette::focusRing(palette()), 2));
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 8, 8);
    }
}

void DraftRow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        applyStyle();
    QWidget::changeEvent(event);
}
