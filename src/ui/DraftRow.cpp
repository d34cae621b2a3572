#include "ui/DraftRow.h"

#include "model/WorkModel.h"
#include "posting/PostingDraft.h"
#include "ui/AlreadyAppliedLine.h"
#include "ui/Badges.h"
#include "ui/ConfidenceBadge.h"
#include "ui/EvidenceHint.h"
#include "ui/Palette.h"
#include "ui/SuggestionChip.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr qreal excludedOpacity = 0.5;

// Keeps the user's cursor where it is: only a value that differs is written back.
void showText(QLineEdit* field, const QString& text)
{
    if (field->text() != text)
        field->setText(text);
}

// The segment of a work model: its place in case order.
int segmentIndex(WorkModel model)
{
    const auto& cases = allCases<WorkModel>();
    return int(std::find(cases.begin(), cases.end(), model) - cases.begin());
}

} // namespace

DraftRow::DraftRow(PostingDraft& draft, QWidget* parent)
    : QWidget(parent)
    , m_draft(&draft)
{
    setObjectName(QStringLiteral("draftRow"));
    buildLayout(draft);
    applyStyle();
    showDraft();
    connect(&draft, &PostingDraft::changed, this, &DraftRow::showDraft);
}

ParseConfidence DraftRow::overallConfidence(const ParsedPosting& parsed)
{
    if (!parsed.company || !parsed.position)
        return ParseConfidence::low;
    return std::min(parsed.company->confidence, parsed.position->confidence);
}

void DraftRow::buildLayout(const PostingDraft& draft)
{
    const ParsedPosting& parsed = draft.parsed();

    m_include = new QCheckBox(this);
    m_include->setObjectName(QStringLiteral("includeBox"));
    // No visible text: the row itself says what is included.
    m_include->setAccessibleName(tr("Include this application"));
    connect(m_include, &QCheckBox::toggled, this, [this](bool on) {
        if (PostingDraft* target = m_draft.data())
            target->setInclude(on);
    });

    m_source = new QLabel(this);
    m_source->setObjectName(QStringLiteral("sourceLabel"));
    m_source->setTextFormat(Qt::PlainText);
    m_source->setToolTip(draft.sourceLabel());
    m_confidence = new ConfidenceBadge(overallConfidence(parsed), this);
    if (parsed.board != JobBoard::unknown) {
        m_board = new MetaChip(QStringLiteral("globe"), title(parsed.board), NamedColor::secondary, this);
        m_board->setObjectName(QStringLiteral("boardChip"));
    }
    auto* header = new QHBoxLayout;
    header->setSpacing(8);
    header->addWidget(m_source, 0);
    header->addWidget(m_confidence, 0, Qt::AlignVCenter);
    if (m_board)
        header->addWidget(m_board, 0, Qt::AlignVCenter);
    header->addStretch(1);

    const auto makeField = [this](const QString& name, const QString& objectName) {
        auto* field = new QLineEdit(this);
        field->setObjectName(objectName);
        field->setAccessibleName(name);
        return field;
    };
    m_company = makeField(tr("Company"), QStringLiteral("companyField"));
    m_position = makeField(tr("Position"), QStringLiteral("positionField"));
    m_link = makeField(tr("Posting Link"), QStringLiteral("linkField"));
    connect(m_company, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (PostingDraft* target = m_draft.data())
            target->setCompany(text);
    });
    connect(m_position, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (PostingDraft* target = m_draft.data())
            target->setPosition(text);
    });
    connect(m_link, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (PostingDraft* target = m_draft.data())
            target->setPostingLink(text);
    });

    // The segmented picker: one exclusive button per work model.
    auto* segments = new QWidget(this);
    segments->setObjectName(QStringLiteral("workModelPicker"));
    segments->setAccessibleName(tr("Work Model"));
    auto* segmentLayout = new QHBoxLayout(segments);
    segmentLayout->setContentsMargins(0, 0, 0, 0);
    segmentLayout->setSpacing(0);
    m_workModel = new QButtonGroup(this);
    m_workModel->setExclusive(true);
    for (WorkModel model : allCases<WorkModel>()) {
        auto* segment = new QToolButton(segments);
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

    m_hints = {EvidenceHint::of(parsed.company, this), EvidenceHint::of(parsed.position, this),
        EvidenceHint::of(parsed.postingLink, this), EvidenceHint::of(parsed.workModel, this)};
    buildSuggestions(draft.suggestions());

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    const QString labels[] = {tr("Company"), tr("Position"), tr("Posting Link"), tr("Work Model")};
    QWidget* editors[] = {m_company, m_position, m_link, segments};
    SuggestionChip* chips[] = {m_companyChip, m_positionChip, nullptr, m_workModelChip};
    int gridRow = 0;
    for (int field = 0; field < 4; ++field) {
        auto* label = new QLabel(labels[field], this);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setBuddy(editors[field]);
        m_fieldLabels.append(label);
        grid->addWidget(label, gridRow, 0, Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(editors[field], gridRow, 1);
        grid->addWidget(m_hints[size_t(field)], gridRow, 2, Qt::AlignVCenter);
        ++gridRow;
        // The chip sits right under the editor it fills.
        if (chips[field]) {
            grid->addWidget(chips[field], gridRow, 1, Qt::AlignLeft | Qt::AlignTop);
            ++gridRow;
        }
    }
    grid->setColumnStretch(1, 1);

    m_applied = new AlreadyAppliedLine(this);
    connect(m_applied, &QAbstractButton::clicked, this, [this] {
        if (JobApplication* record = m_applied->record())
            Q_EMIT existingRecordRequested(record);
    });

    auto* column = new QVBoxLayout;
    column->setSpacing(8);
    column->addLayout(header);
    column->addWidget(m_applied);
    column->addLayout(grid);

    // Tab goes from each editor to the chip under it, then on to the next editor.
    QWidget* previous = m_include;
    for (QWidget* next :
        {static_cast<QWidget*>(m_applied), static_cast<QWidget*>(m_company), static_cast<QWidget*>(m_companyChip),
            static_cast<QWidget*>(m_position), static_cast<QWidget*>(m_positionChip), static_cast<QWidget*>(m_link)}) {
        if (!next)
            continue;
        setTabOrder(previous, next);
        previous = next;
    }
    for (QAbstractButton* segment : m_workModel->buttons()) {
        setTabOrder(previous, segment);
        previous = segment;
    }
    if (m_workModelChip)
        setTabOrder(previous, m_workModelChip);

    auto* boxColumn = new QVBoxLayout;
    boxColumn->setContentsMargins(0, 4, 0, 0);
    boxColumn->addWidget(m_include);
    boxColumn->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(12);
    layout->addLayout(boxColumn);
    layout->addLayout(column, 1);

    m_opacity = new QGraphicsOpacityEffect(this);
    m_opacity->setOpacity(1.0);
    setGraphicsEffect(m_opacity);
}

void DraftRow::buildSuggestions(const PostingSuggestions& suggestions)
{
    // A click writes the field through the draft, exactly as typing there does.
    if (suggestions.company) {
        m_companyChip = new SuggestionChip(this);
        m_companyChip->setSuggestion(suggestions.company->value, suggestions.company->evidence);
        connect(m_companyChip, &QAbstractButton::clicked, this, [this, value = suggestions.company->value] {
            if (PostingDraft* target = m_draft.data())
                target->setCompany(value);
        });
    }
    if (suggestions.position) {
        m_positionChip = new SuggestionChip(this);
        m_positionChip->setSuggestion(suggestions.position->value, suggestions.position->evidence);
        connect(m_positionChip, &QAbstractButton::clicked, this, [this, value = suggestions.position->value] {
            if (PostingDraft* target = m_draft.data())
                target->setPosition(value);
        });
    }
    if (suggestions.workModel) {
        m_workModelChip = new SuggestionChip(this);
        m_workModelChip->setSuggestion(title(suggestions.workModel->value), suggestions.workModel->evidence);
        connect(m_workModelChip, &QAbstractButton::clicked, this, [this, value = suggestions.workModel->value] {
            if (PostingDraft* target = m_draft.data())
                target->setWorkModel(value);
        });
    }
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
    const PostingSuggestions& suggestions = draft.suggestions();
    if (m_companyChip)
        m_companyChip->setVisible(draft.company() != suggestions.company->value);
    if (m_positionChip)
        m_positionChip->setVisible(draft.position() != suggestions.position->value);
    if (m_workModelChip)
        m_workModelChip->setVisible(draft.workModel() != suggestions.workModel->value);
    m_opacity->setOpacity(draft.include() ? 1.0 : excludedOpacity);
    // The effect is only worth its off-screen pass while it changes something.
    m_opacity->setEnabled(!draft.include());
}

void DraftRow::applyStyle()
{
    const QPalette& pal = palette();
    m_source->setFont(Palette::font(Palette::TextStyle::caption, font()));
    // One line: a long file name gives up its middle, keeping its start and extension.
    if (const PostingDraft* shown = m_draft.data())
        m_source->setText(QFontMetrics(m_source->font()).elidedText(shown->sourceLabel(), Qt::ElideMiddle, 360));
    Palette::setForeground(m_source, Palette::secondaryText(pal));
    // The segmented picker: joined segments, the chosen one in the accent colour.
    if (QWidget* segments = findChild<QWidget*>(QStringLiteral("workModelPicker"))) {
        const QString border = Palette::separator(pal).name();
        segments->setStyleSheet(
            QStringLiteral("QToolButton { border: 1px solid %1; border-left-width: 0; padding: 3px 12px;"
                           " background: %2; color: %3; }"
                           "QToolButton:first { border-left-width: 1px; border-top-left-radius: 5px;"
                           " border-bottom-left-radius: 5px; }"
                           "QToolButton:last { border-top-right-radius: 5px; border-bottom-right-radius: 5px; }"
                           "QToolButton:checked { background: %4; color: %5; border-color: %4; }")
                .arg(border, pal.color(QPalette::Base).name(), pal.color(QPalette::Text).name(),
                    pal.color(QPalette::Highlight).name(), pal.color(QPalette::HighlightedText).name()));
    }
    const QFont callout = Palette::font(Palette::TextStyle::callout, font());
    for (QLabel* label : std::as_const(m_fieldLabels)) {
        label->setFont(callout);
        Palette::setForeground(label, Palette::secondaryText(pal));
    }
    update();
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
}

void DraftRow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        applyStyle();
    QWidget::changeEvent(event);
}
