#include "ui/BoardView.h"

#include "tracking/WindowState.h"
#include "ui/ApplicationListModel.h"
#include "ui/ApplicationListView.h"
#include "ui/BoardCard.h"
#include "ui/Palette.h"
#include "ui/Symbols.h"

#include <QAccessible>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int toolbarIconSize = 18;
constexpr qsizetype statusCount = qsizetype(allCases<ApplicationStatus>().size());

qsizetype indexOf(ApplicationStatus status)
{
    const auto& all = allCases<ApplicationStatus>();
    return std::find(all.begin(), all.end(), status) - all.begin();
}

} // namespace

// One column's cards: the list's keys, the board's arrows and moves, and the
// drag of a card, followed with the column's own mouse events (the press grabs
// the mouse, so the move and the release come here wherever the pointer goes).
class BoardView::CardList : public QListView {
public:
    CardList(BoardView& board, ApplicationStatus status, QWidget* parent)
        : QListView(parent)
        , m_board(board)
        , m_status(status)
    {
    }

    ApplicationStatus status() const { return m_status; }
    bool isDragging() const { return m_dragged != nullptr; }

protected:
    bool event(QEvent* event) override
    {
        // The board's keys go to the board while a card has the focus, before the
        // window's shortcuts see them.
        if (event->type() == QEvent::ShortcutOverride) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (ApplicationListView::isDeleteKey(key) || isMoveKey(key)) {
                event->accept();
                return true;
            }
        }
        return QListView::event(event);
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        JobApplication* record = current();
        const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
        if (isMoveKey(event)) {
            if (record)
                m_board.moveBy(*record, event->key() == Qt::Key_Right ? 1 : -1);
            event->accept();
            return;
        }
        if (modifiers == Qt::NoModifier && (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right)) {
            m_board.moveFocus(m_board.columnFor(m_status), event->key() == Qt::Key_Right ? 1 : -1);
            event->accept();
            return;
        }
        if (modifiers == Qt::NoModifier && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
            if (record && m_board.m_actions.onOpen) {
                m_board.m_state.setSelectedID(record->id());
                m_board.m_actions.onOpen(*record);
            }
            event->accept();
            return;
        }
        if (ApplicationListView::isDeleteKey(event)) {
            if (record && m_board.m_actions.onDelete)
                m_board.m_actions.onDelete(*record);
            event->accept();
            return;
        }
        // With nothing selected the first arrow selects the card the focus is on.
        const bool upDown = event->key() == Qt::Key_Down || event->key() == Qt::Key_Up;
        if (upDown && modifiers == Qt::NoModifier && selectionModel()->selectedIndexes().isEmpty() && record) {
            selectionModel()->setCurrentIndex(currentIndex(), QItemSelectionModel::ClearAndSelect);
            event->accept();
            return;
        }
        QListView::keyPressEvent(event);
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        m_pressed = nullptr;
        if (event->button() == Qt::LeftButton) {
            const QModelIndex index = indexAt(event->position().toPoint());
            m_pressed = index.data(ApplicationListModel::RecordRole).value<JobApplication*>();
            m_pressPosition = event->position().toPoint();
        }
        QListView::mousePressEvent(event);
    }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (m_pressed && (event->buttons() & Qt::LeftButton)) {
            if (!m_dragged
                && (event->position().toPoint() - m_pressPosition).manhattanLength()
                    >= QApplication::startDragDistance()) {
                m_dragged = m_pressed;
                viewport()->setCursor(Qt::ClosedHandCursor);
            }
            if (m_dragged) {
                m_board.dragMoved(event->globalPosition().toPoint());
                event->accept();
                return;
            }
        }
        QListView::mouseMoveEvent(event);
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        JobApplication* dragged = std::exchange(m_dragged, nullptr);
        m_pressed = nullptr;
        if (dragged && event->button() == Qt::LeftButton) {
            viewport()->unsetCursor();
            setState(NoState);
            m_board.dragEnded(dragged, event->globalPosition().toPoint());
            event->accept();
            return;
        }
        QListView::mouseReleaseEvent(event);
    }

    void paintEvent(QPaintEvent* event) override
    {
        QListView::paintEvent(event);
        // The column a card would land in is outlined while it is dragged over it.
        if (m_board.m_dropTarget != m_status)
            return;
        QPainter painter(viewport());
        painter.setRenderHint(QPainter::Antialiasing);
        const QColor accent = palette().color(QPalette::Highlight);
        painter.setPen(QPen(accent, 2));
        painter.setBrush(Palette::withAlpha(accent, 0.08));
        painter.drawRoundedRect(QRectF(viewport()->rect()).adjusted(3, 3, -3, -3), 8, 8);
    }

private:
    static bool isMoveKey(const QKeyEvent* key)
    {
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        return modifiers == (Qt::ControlModifier | Qt::ShiftModifier)
            && (key->key() == Qt::Key_Right || key->key() == Qt::Key_Left);
    }

    JobApplication* current() const
    {
        return currentIndex().data(ApplicationListModel::RecordRole).value<JobApplication*>();
    }

    BoardView& m_board;
    ApplicationStatus m_status;
    JobApplication* m_pressed = nullptr;
    JobApplication* m_dragged = nullptr;
    QPoint m_pressPosition;
};

struct BoardView::Column {
    ApplicationStatus status;
    QWidget* frame;
    BoardColumnHeader* header;
    CardList* list;
    ApplicationListModel* model;
};

BoardView::BoardView(WindowState& state, Actions actions, QWidget* parent)
    : QWidget(parent)
    , m_state(state)
    , m_actions(std::move(actions))
    , m_card(new BoardCard(this))
    , m_toolbar(new QWidget(this))
    , m_toolbarLayout(new QGridLayout(m_toolbar))
    , m_menuButton(new QToolButton(m_toolbar))
    , m_newButton(new QToolButton(m_toolbar))
    , m_menu(new QMenu(this))
    , m_closedAction(nullptr)
    , m_scroll(new QScrollArea(this))
    , m_columnArea(new QWidget)
{
    setObjectName(QStringLiteral("board"));
    setAccessibleName(tr("Board"));
    buildToolbar();
    buildColumns();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolbar);
    layout->addWidget(m_scroll, 1);
    applyStyle();

    connect(&m_state, &WindowState::visibleApplicationsChanged, this, &BoardView::showVisible);
    connect(&m_state, &WindowState::selectedIDChanged, this, [this] { syncSelection(true); });
    // A card moves when the window state has put its record in its new place.
    connect(&m_state, &WindowState::visibleApplicationMoved, this,
        [this](JobApplication* record, qsizetype, qsizetype to) { to < 0 ? forget(record) : moveCard(record); });
    connect(&m_state, &WindowState::applicationChanged, this, [this](JobApplication* record) {
        if (Column* column = columnOf(record))
            column->model->refresh(record);
    });
    connect(&m_state, &WindowState::applicationLeaving, this, &BoardView::forget);
    connect(&m_state, &WindowState::todayChanged, this, [this] {
        for (Column* column : m_columns)
            column->list->viewport()->update();
    });
    showVisible();
}

BoardView::~BoardView()
{
    for (Column* column : m_columns)
        delete column;
}

void BoardView::buildToolbar()
{
    m_toolbar->setObjectName(QStringLiteral("boardToolbar"));
    m_toolbarLayout->setContentsMargins(10, 10, 8, 8);
    m_toolbarLayout->setHorizontalSpacing(4);
    m_toolbarLayout->setColumnStretch(0, 1);

    m_menuButton->setObjectName(QStringLiteral("boardMenuButton"));
    m_menuButton->setText(tr("Filter"));
    m_menuButton->setToolTip(tr("Columns and sort"));
    m_menuButton->setAccessibleName(tr("Filter"));
    m_menuButton->setAutoRaise(true);
    m_menuButton->setIconSize(QSize(toolbarIconSize, toolbarIconSize));
    connect(m_menuButton, &QToolButton::clicked, this,
        [this] { m_menu->popup(m_menuButton->mapToGlobal(QPoint(0, m_menuButton->height()))); });

    m_menu->setObjectName(QStringLiteral("boardMenu"));
    m_closedAction = m_menu->addAction(tr("Show Closed Columns"));
    m_closedAction->setObjectName(QStringLiteral("showClosedColumnsAction"));
    m_closedAction->setCheckable(true);
    m_closedAction->setChecked(m_showsClosed);
    connect(m_closedAction, &QAction::toggled, this, &BoardView::setShowsClosedColumns);
    m_menu->addSeparator();
    ApplicationListView::addSortOptions(*m_menu, m_state);

    m_newButton->setObjectName(QStringLiteral("boardNewApplicationButton"));
    ApplicationListView::setUpNewButton(*m_newButton, [this] {
        if (m_actions.onCreate)
            m_actions.onCreate();
    });
    m_toolbarLayout->addWidget(m_menuButton, 0, 1);
    m_toolbarLayout->addWidget(m_newButton, 0, 2);
}

void BoardView::buildColumns()
{
    auto* row = new QHBoxLayout(m_columnArea);
    row->setContentsMargins(columnSpacing, 0, columnSpacing, columnSpacing);
    row->setSpacing(columnSpacing);
    for (qsizetype i = 0; i < statusCount; ++i) {
        const ApplicationStatus status = allCases<ApplicationStatus>()[size_t(i)];
        auto* column = new Column {status, new QWidget(m_columnArea), nullptr, nullptr, nullptr};
        column->frame->setObjectName(QLatin1String("boardColumn:") + rawValue(status));
        column->header = new BoardColumnHeader(status, column->frame);
        connect(column->header, &BoardColumnHeader::openRequested, this, [this] { setShowsClosedColumns(true); });
        column->model = new ApplicationListModel(this);
        column->list = new CardList(*this, status, column->frame);
        QListView* list = column->list;
        list->setObjectName(QLatin1String("boardCards:") + rawValue(status));
        list->setModel(column->model);
        list->setItemDelegate(m_card);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        // Every card has the same height: a column lays out thousands at once and
        // paints only those in view.
        list->setUniformItemSizes(true);
        list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setFrameShape(QFrame::NoFrame);
        list->setMouseTracking(true);
        list->setDragEnabled(false);
        list->verticalScrollBar()->setSingleStep(24);
        list->viewport()->setBackgroundRole(QPalette::Window);
        list->installEventFilter(this);
        connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this, column] { userSelected(*column); });

        auto* layout = new QVBoxLayout(column->frame);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(2);
        layout->addWidget(column->header);
        layout->addWidget(list, 1);
        row->addWidget(column->frame, 1);
        m_columns[size_t(i)] = column;
        updateHeader(*column);
    }
    m_scroll->setObjectName(QStringLiteral("boardColumns"));
    m_scroll->setWidget(m_columnArea);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    updateFolding();
}

void BoardView::applyStyle()
{
    const QPalette& pal = palette();
    QPalette page = pal;
    page.setColor(QPalette::Window, Palette::groupedBackground(pal));
    m_scroll->setPalette(page);
    m_scroll->setBackgroundRole(QPalette::Window);
    m_columnArea->setAutoFillBackground(true);
    m_columnArea->setPalette(page);
    QPalette cards = page;
    cards.setColor(QPalette::Base, Palette::groupedCard(pal));
    for (Column* column : m_columns) {
        column->list->setPalette(cards);
        column->list->verticalScrollBar()->setStyleSheet(Palette::slimScrollBarStyleSheet(pal));
        column->list->doItemsLayout();
    }
    m_newButton->setIcon(Symbols::icon(QStringLiteral("plus"), Palette::secondaryText(pal)));
    m_menuButton->setIcon(Symbols::icon(
        QStringLiteral("line.3.horizontal.decrease.circle") + (m_showsClosed ? QString() : QStringLiteral(".fill")),
        Palette::secondaryText(pal)));
}

void BoardView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        applyStyle();
    QWidget::changeEvent(event);
}

bool BoardView::eventFilter(QObject* watched, QEvent* event)
{
    // The keyboard's place shows from the start: the first card is current.
    if (event->type() == QEvent::FocusIn) {
        if (auto* list = dynamic_cast<CardList*>(watched); list && !list->currentIndex().isValid()) {
            if (list->model()->rowCount() > 0) {
                const QScopedValueRollback<bool> syncing(m_syncing, true);
                list->selectionModel()->setCurrentIndex(list->model()->index(0, 0), QItemSelectionModel::NoUpdate);
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

QString BoardView::columnName(ApplicationStatus status, qsizetype count)
{
    return tr("%1, %n applications", "A board column; %1 is the status", int(count)).arg(title(status));
}

void BoardView::updateHeader(Column& column)
{
    const qsizetype count = column.model->rowCount();
    column.header->setCount(count);
    column.list->setAccessibleName(columnName(column.status, count));
}

void BoardView::showVisible()
{
    const QDateTime today = m_state.today();
    m_card->setToday(today);
    std::array<QList<JobApplication*>, 5> cards;
    for (JobApplication* record : m_state.visibleApplications())
        cards[size_t(indexOf(record->status()))].append(record);
    {
        const QScopedValueRollback<bool> syncing(m_syncing, true);
        for (Column* column : m_columns) {
            column->model->setToday(today);
            column->model->setApplications(cards[size_t(indexOf(column->status))]);
            updateHeader(*column);
            column->list->viewport()->update();
        }
    }
    syncSelection(false);
}

BoardView::Column* BoardView::columnOf(const JobApplication* record)
{
    for (Column* column : m_columns) {
        if (column->model->rowOf(record) >= 0)
            return column;
    }
    return nullptr;
}

BoardView::Column& BoardView::columnFor(ApplicationStatus status)
{
    return *m_columns[size_t(indexOf(status))];
}

void BoardView::moveCard(JobApplication* record)
{
    Column* from = columnOf(record);
    Column& to = columnFor(record->status());
    // Its place among the target's cards follows the visible order: a binary search.
    QList<JobApplication*> others = to.model->applications();
    const int fromRow = from == &to ? to.model->rowOf(record) : -1;
    if (fromRow >= 0)
        others.removeAt(fromRow);
    const int row = int(m_state.placeAmong(others, *record));
    {
        const QScopedValueRollback<bool> syncing(m_syncing, true);
        if (from == &to) {
            to.model->move(record, fromRow, row);
        } else {
            if (from)
                from->model->forget(record);
            to.model->insert(row, record);
        }
    }
    if (from && from != &to)
        updateHeader(*from);
    updateHeader(to);
    syncSelection(true);
}

void BoardView::forget(JobApplication* record)
{
    if (Column* column = columnOf(record)) {
        const QScopedValueRollback<bool> syncing(m_syncing, true);
        column->model->forget(record);
        updateHeader(*column);
    }
}

bool BoardView::moveTo(JobApplication& record, ApplicationStatus status)
{
    if (record.status() == status)
        return false;
    // Selected first: the detail column shows the record as it moves, and opens
    // its rejection section when it lands in Rejected.
    m_state.setSelectedID(record.id());
    m_state.edits().changeStatus(record, status);
    Column& to = columnFor(status);
    announce(to,
        tr("%1 moved to %2", "Read out after a card moved; %1 is the company, %2 the status")
            .arg(record.displayCompany(), title(status)));
    if (to.list->isVisible() && (hasFocus() || isAncestorOf(QApplication::focusWidget())))
        to.list->setFocus();
    return true;
}

bool BoardView::moveBy(JobApplication& record, int step)
{
    const qsizetype target = indexOf(record.status()) + step;
    if (target < 0 || target >= statusCount)
        return false;
    return moveTo(record, allCases<ApplicationStatus>()[size_t(target)]);
}

void BoardView::announce(Column& column, const QString& text)
{
    m_announcement = text;
    // Screen readers read a changed description of the focused column.
    column.list->setAccessibleDescription(text);
    QAccessibleEvent event(column.list, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

void BoardView::syncSelection(bool scroll)
{
    const QScopedValueRollback<bool> syncing(m_syncing, true);
    const JobApplication* selected = m_state.selectedApplication();
    for (Column* column : m_columns) {
        QItemSelectionModel* selection = column->list->selectionModel();
        const int row = selected ? column->model->rowOf(selected) : -1;
        if (row < 0) {
            selection->clearSelection();
            continue;
        }
        const QModelIndex index = column->model->index(row, 0);
        if (!selection->isSelected(index) || selection->currentIndex() != index)
            selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        if (scroll)
            column->list->scrollTo(index, QAbstractItemView::EnsureVisible);
    }
}

void BoardView::userSelected(const Column& column)
{
    if (m_syncing)
        return;
    const QModelIndexList selected = column.list->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return; // another column's card took the selection
    if (JobApplication* record = column.model->application(selected.first()))
        m_state.setSelectedID(record->id());
}

void BoardView::moveFocus(Column& from, int direction)
{
    // The next column that shows cards, at about the same height.
    const qsizetype start = indexOf(from.status);
    const QModelIndex current = from.list->currentIndex();
    const int y = current.isValid() ? from.list->visualRect(current).center().y() : 0;
    for (qsizetype i = start + direction; i >= 0 && i < statusCount; i += direction) {
        Column& next = *m_columns[size_t(i)];
        if (next.list->isHidden() || next.model->rowCount() == 0)
            continue;
        QModelIndex target = next.list->indexAt(QPoint(next.list->viewport()->width() / 2, y));
        if (!target.isValid())
            target = next.model->index(y <= 0 ? 0 : next.model->rowCount() - 1, 0);
        next.list->setFocus();
        next.list->selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
        return;
    }
}

void BoardView::focusCards()
{
    const JobApplication* selected = m_state.selectedApplication();
    for (Column* column : m_columns) {
        if (selected && column->model->rowOf(selected) >= 0 && column->list->isVisible()) {
            column->list->setFocus();
            return;
        }
    }
    for (Column* column : m_columns) {
        if (column->model->rowCount() > 0 && !column->list->isHidden()) {
            column->list->setFocus();
            return;
        }
    }
    m_columns.front()->list->setFocus();
}

JobApplication* BoardView::firstCard() const
{
    for (const Column* column : m_columns) {
        if (column->model->rowCount() > 0 && !column->list->isHidden())
            return column->model->application(column->model->index(0, 0));
    }
    return nullptr;
}

void BoardView::setShowsClosedColumns(bool shown)
{
    if (shown == m_showsClosed)
        return;
    m_showsClosed = shown;
    m_closedAction->setChecked(shown);
    updateFolding();
    applyStyle();
    Q_EMIT showsClosedColumnsChanged(shown);
}

void BoardView::updateFolding()
{
    auto* row = static_cast<QHBoxLayout*>(m_columnArea->layout());
    int minimum = 2 * columnSpacing;
    for (qsizetype i = 0; i < statusCount; ++i) {
        Column& column = *m_columns[size_t(i)];
        const bool folded = isClosed(column.status) && !m_showsClosed;
        column.header->setFolded(folded);
        column.list->setVisible(!folded);
        column.frame->setFixedWidth(folded ? foldedColumnWidth : QWIDGETSIZE_MAX);
        column.frame->setMinimumWidth(folded ? foldedColumnWidth : columnMinimumWidth);
        row->setStretch(int(i), folded ? 0 : 1);
        minimum += (folded ? foldedColumnWidth : columnMinimumWidth) + columnSpacing;
    }
    m_columnArea->setMinimumWidth(minimum - columnSpacing);
}

std::optional<ApplicationStatus> BoardView::columnAt(const QPoint& position) const
{
    for (const Column* column : m_columns) {
        const QRect area(column->frame->mapTo(this, QPoint(0, 0)), column->frame->size());
        if (column->frame->isVisible() && area.contains(position))
            return column->status;
    }
    return std::nullopt;
}

void BoardView::dragMoved(const QPoint& globalPosition)
{
    std::optional<ApplicationStatus> target = columnAt(mapFromGlobal(globalPosition));
    // A folded column takes no cards until it is opened.
    if (target && columnFor(*target).list->isHidden())
        target.reset();
    if (target == m_dropTarget)
        return;
    const std::optional<ApplicationStatus> previous = std::exchange(m_dropTarget, target);
    for (const std::optional<ApplicationStatus>& changed : {previous, target}) {
        if (changed)
            columnFor(*changed).list->viewport()->update();
    }
}

void BoardView::dragEnded(JobApplication* record, const QPoint& globalPosition)
{
    dragMoved(globalPosition);
    const std::optional<ApplicationStatus> target = std::exchange(m_dropTarget, std::nullopt);
    if (target)
        columnFor(*target).list->viewport()->update();
    // Dropped where it came from, or outside the columns: nothing changes.
    if (!target || !columnOf(record) || *target == record->status())
        return;
    moveTo(*record, *target);
}

void BoardView::setSearchField(QLineEdit* field)
{
    m_searchField = field;
    field->setParent(m_toolbar);
    m_toolbarLayout->addWidget(field, 0, 0);
    field->show();
    setTabOrder(field, m_menuButton);
    setTabOrder(m_menuButton, m_newButton);
}

QListView* BoardView::columnView(ApplicationStatus status) const
{
    return m_columns[size_t(indexOf(status))]->list;
}

ApplicationListModel* BoardView::columnModel(ApplicationStatus status) const
{
    return m_columns[size_t(indexOf(status))]->model;
}

BoardColumnHeader* BoardView::columnHeader(ApplicationStatus status) const
{
    return m_columns[size_t(indexOf(status))]->header;
}

QWidget* BoardView::column(ApplicationStatus status) const
{
    return m_columns[size_t(indexOf(status))]->frame;
}
