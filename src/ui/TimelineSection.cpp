#include "ui/TimelineSection.h"

#include "ui/Formats.h"
#include "ui/HistoryDateDialog.h"
#include "ui/Palette.h"
#include "ui/RecordBinding.h"
#include "ui/Symbols.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>

#include <algorithm>

using Field = JobApplication::Field;

TimelineSection::TimelineSection(JobApplication& application, ApplicationEdits& edits, QWidget* parent)
    : FormSection(tr("History"), parent)
    , m_application(&application)
    , m_edits(edits)
    , m_stage(new QLabel(this))
{
    setObjectName(QStringLiteral("timelineSection"));
    m_stage->setObjectName(QStringLiteral("stageLabel"));
    m_stageRow = addRow(tr("In this stage"), m_stage);
    RecordBinding::follow(
        this, application, {Field::statusRaw, Field::statusChangedAt, Field::closedAt}, [this] { updateStage(); });
    // A status change appends one entry: one row goes in at its place, so moving a
    // record on costs the same whatever its history holds.
    RecordNotifier& notifier = application.notifier();
    connect(&notifier, &RecordNotifier::historyAppended, this, &TimelineSection::insertEntry);
    connect(&notifier, &RecordNotifier::historyRemoved, this, &TimelineSection::removeEntry);
    connect(&notifier, &RecordNotifier::historyEntryChanged, this, &TimelineSection::scheduleRebuild);
    // Built once the section has its place (and the window's palette).
    scheduleRebuild();
}

void TimelineSection::scheduleRebuild()
{
    // A date correction can reorder the entries: they are laid out again once,
    // when the change is complete.
    if (m_rebuildQueued)
        return;
    m_rebuildQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_rebuildQueued = false;
            rebuild();
        },
        Qt::QueuedConnection);
}

void TimelineSection::refresh()
{
    if (!m_application)
        return;
    m_stage->setText(tr("%n days", "Days in the current stage", m_application->daysInCurrentStatus()));
}

StatusChange* TimelineSection::entryOf(const QWidget* row) const
{
    return m_entryOfRow.value(row);
}

bool TimelineSection::holds(const StatusChange* entry) const
{
    const JobApplication* record = m_application.data();
    return record && record->history().contains(const_cast<StatusChange*>(entry));
}

void TimelineSection::updateStage()
{
    if (!m_application)
        return;
    setRowVisible(m_stageRow, isActive(m_application->status()));
    Palette::setForeground(m_stage, Palette::secondaryText(palette()));
    refresh();
}

void TimelineSection::rebuild()
{
    if (!m_application)
        return;
    updateStage();
    for (QWidget* row : std::as_const(m_entries))
        removeRow(row);
    m_entries.clear();
    m_entryOfRow.clear();
    const QList<StatusChange*> entries = StatusChange::newestFirst(m_application->history());
    for (StatusChange* entry : entries) {
        QWidget* row = addRow(QString(), makeEntryRow(entry));
        m_entries.append(row);
        m_entryOfRow.insert(row, entry);
    }
    if (entries.isEmpty())
        showEmptyNote();
}

void TimelineSection::showEmptyNote()
{
    auto* empty = new QLabel(tr("No status changes yet."));
    empty->setObjectName(QStringLiteral("emptyHistory"));
    Palette::setForeground(empty, Palette::secondaryText(palette()));
    m_entries.append(addRow(QString(), empty));
}

void TimelineSection::insertEntry(StatusChange* entry)
{
    if (!m_application || m_rebuildQueued || !holds(entry))
        return;
    if (m_entryOfRow.isEmpty()) {
        // The empty note gives way to the first entry.
        for (QWidget* row : std::as_const(m_entries))
            removeRow(row);
        m_entries.clear();
    }
    const qsizetype at = StatusChange::newestFirst(m_application->history()).indexOf(entry);
    // The entries follow the stage row.
    QWidget* row = insertRow(at + 1, QString(), makeEntryRow(entry));
    m_entries.insert(at, row);
    m_entryOfRow.insert(row, entry);
}

void TimelineSection::removeEntry(StatusChange* entry)
{
    if (!m_application || m_rebuildQueued)
        return;
    const auto shown = std::find_if(
        m_entries.cbegin(), m_entries.cend(), [this, entry](const QWidget* row) { return entryOf(row) == entry; });
    if (shown == m_entries.cend())
        return;
    QWidget* row = *shown;
    m_entries.erase(shown);
    m_entryOfRow.remove(row);
    removeRow(row);
    if (m_entries.isEmpty())
        showEmptyNote();
}

QWidget* TimelineSection::makeEntryRow(StatusChange* entry)
{
    const QPalette& pal = palette();
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
    symbol->setObjectName(QStringLiteral("historySymbol"));
    symbol->setAccessibleName(title(entry->to()));
    QString text = title(entry->to());
    if (const auto from = entry->from())
        text = title(*from) + QStringLiteral(" → ") + text;
    auto* change = new QLabel(text, line);
    change->setObjectName(QStringLiteral("historyText"));
    auto* date = new QLabel(Formats::abbreviatedDateTime(entry->date()), line);
    date->setObjectName(QStringLiteral("historyDate"));
    date->setFont(Palette::font(Palette::TextStyle::caption, font()));
    Palette::setForeground(date, Palette::secondaryText(pal));
    layout->addWidget(symbol);
    layout->addWidget(change, 1);
    layout->addWidget(date);

    line->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(line, &QWidget::customContextMenuRequested, this, [this, line, entry](const QPoint& at) {
        if (!holds(entry))
            return;
        const std::unique_ptr<QMenu> menu = makeEntryMenu(*entry);
        menu->exec(line->mapToGlobal(at));
    });
    return line;
}

std::unique_ptr<QMenu> TimelineSection::makeEntryMenu(StatusChange& entry)
{
    auto menu = std::make_unique<QMenu>(this);
    menu->setObjectName(QStringLiteral("historyEntryMenu"));
    StatusChange* target = &entry;
    QAction* date = menu->addAction(tr("Change Date…"));
    date->setObjectName(QStringLiteral("changeDateAction"));
    connect(date, &QAction::triggered, this, [this, target] { changeDate(target); });
    // Only the newest change can be taken back, and the first entry never.
    QAction* remove = menu->addAction(tr("Remove This Change"));
    remove->setObjectName(QStringLiteral("removeChangeAction"));
    if (const JobApplication* record = m_application.data()) {
        const QList<StatusChange*> entries = StatusChange::newestFirst(record->history());
        remove->setVisible(!entries.isEmpty() && entries.first() == target);
        remove->setEnabled(ApplicationEdits::canRemove(*record, entry));
    }
    connect(remove, &QAction::triggered, this, [this, target] { removeChange(target); });
    return menu;
}

void TimelineSection::changeDate(StatusChange* entry)
{
    JobApplication* record = m_application.data();
    if (!record || !holds(entry))
        return;
    const ApplicationEdits::DateBounds bounds = ApplicationEdits::dateBounds(*record, *entry);
    const std::optional<QDateTime> chosen = m_datePrompt ? m_datePrompt(entry->date(), bounds, window())
                                                         : HistoryDateDialog::ask(entry->date(), bounds, window());
    // The record may have changed, or gone, while the question was open.
    if (chosen && m_application && holds(entry))
        m_edits.changeEntryDate(*record, *entry, *chosen);
}

void TimelineSection::removeChange(StatusChange* entry)
{
    if (JobApplication* record = m_application.data(); record && holds(entry))
        m_edits.removeChange(*record, *entry);
}
