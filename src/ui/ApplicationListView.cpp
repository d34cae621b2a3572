#include "ui/ApplicationListView.h"

#include "model/ApplicationEdits.h"
#include "tracking/WindowState.h"
#include "ui/ApplicationListModel.h"
#include "ui/ApplicationRow.h"
#include "ui/EmptyListOverlay.h"
#include "ui/FocusedActions.h"
#include "ui/Palette.h"
#include "ui/RowListView.h"
#include "ui/SummaryBar.h"
#include "ui/Symbols.h"

#include <QAction>
#include <QActionGroup>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QMimeDatabase>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

ApplicationListView::ApplicationListView(WindowState& state, Actions actions, QWidget* parent)
    : QWidget(parent)
    , m_state(state)
    , m_actions(std::move(actions))
    , m_model(new ApplicationListModel(this))
    , m_row(new ApplicationRow(this))
    , m_list(nullptr)
    , m_toolbar(new QWidget(this))
    , m_toolbarLayout(nullptr)
    , m_newButton(new QToolButton(m_toolbar))
    , m_filterButton(new QToolButton(m_toolbar))
    , m_filterMenu(new QMenu(this))
    , m_statusGroup(new QActionGroup(this))
    , m_summary(new SummaryBar(this))
    , m_overlay(nullptr)
{
    setObjectName(QStringLiteral("applicationList"));

    auto* list = new RowListView(this);
    list->onDeleteKey = [this] { deleteSelected(); };
    list->onPasteKey = [this] {
        if (m_actions.onPaste)
            m_actions.onPaste();
    };
    list->onDrop = [this](const QMimeData& dropped, bool& accepted) { dropData(dropped, accepted); };
    m_list = list;
    m_list->setObjectName(QStringLiteral("applicationListView"));
    m_list->setAccessibleName(tr("Applications"));
    m_list->setModel(m_model);
    m_list->setItemDelegate(m_row);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Every row has the same height: the list lays out any number of records at once.
    m_list->setUniformItemSizes(true);
    m_list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setMouseTracking(true);
    m_list->setDragDropMode(QAbstractItemView::DropOnly);
    setAcceptsImageDrops(true);
    m_list->setDropIndicatorShown(false);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->verticalScrollBar()->setSingleStep(24);
    m_list->viewport()->installEventFilter(this);
    connect(m_list, &QListView::customContextMenuRequested, this, &ApplicationListView::showContextMenu);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &ApplicationListView::userSelectionChanged);
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] { m_wasReset = true; });

    buildToolbar();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolbar);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_summary);

    applyStyle();

    connect(&m_state, &WindowState::visibleApplicationsChanged, this, &ApplicationListView::showVisible);
    connect(&m_state, &WindowState::visibleApplicationMoved, this, &ApplicationListView::showMoved);
    connect(&m_state, &WindowState::selectedIDChanged, this, [this] { syncSelection(true); });
    connect(&m_state, &WindowState::statusFilterChanged, this, &ApplicationListView::showStatusFilter);
    connect(&m_state, &WindowState::applicationChanged, this,
        [this](JobApplication* application) { m_model->refresh(application); });
    connect(&m_state, &WindowState::applicationLeaving, this, [this](JobApplication* application) {
        // The row goes at once: the object is deleted before the next recompute.
        const QScopedValueRollback<bool> syncing(m_syncing, true);
        m_model->forget(application);
        updateOverlay();
    });
    connect(&m_state, &WindowState::todayChanged, this, [this] { m_list->viewport()->update(); });
    showVisible();
    showStatusFilter();
}

ApplicationListView::~ApplicationListView() = default;

const QList<JobApplication*>& ApplicationListView::applications() const
{
    return m_model->applications();
}

void ApplicationListView::showVisible()
{
    m_row->setToday(m_state.today());
    m_model->setToday(m_state.today());
    m_wasReset = false;
    {
        const QScopedValueRollback<bool> syncing(m_syncing, true);
        m_model->setApplications(m_state.visibleApplications());
    }
    // After a reset the list starts at the top; bring the selection back into view.
    syncSelection(m_wasReset);
    // The keyboard has a place from the start: the first row is current (its focus
    // ring shows while the list has focus) without being selected.
    if (!m_list->currentIndex().isValid() && m_model->rowCount() > 0) {
        const QScopedValueRollback<bool> syncing(m_syncing, true);
        m_list->selectionModel()->setCurrentIndex(m_model->index(0, 0), QItemSelectionModel::NoUpdate);
    }
    m_summary->setCounts(m_state.summary());
    updateOverlay();
    m_list->viewport()->update();
}

void ApplicationListView::showMoved(JobApplication* application, qsizetype from, qsizetype to)
{
    {
        const QScopedValueRollback<bool> syncing(m_syncing, true);
        if (!m_model->move(application, from, to)) {
            showVisible();
            return;
        }
    }
    // The selected record may have come into view or left it.
    syncSelection(false);
    m_summary->setCounts(m_state.summary());
    updateOverlay();
}

void ApplicationListView::syncSelection(bool scroll)
{
    const QScopedValueRollback<bool> syncing(m_syncing, true);
    QItemSelectionModel* selection = m_list->selectionModel();
    // A record that the filter or the search hides stays selected, without a row.
    const JobApplication* selected = m_state.selectedApplication();
    const int row = selected ? m_model->rowOf(selected) : -1;
    if (row < 0) {
        selection->clearSelection();
        return;
    }
    const QModelIndex index = m_model->index(row, 0);
    if (!selection->isSelected(index) || selection->currentIndex() != index)
        selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    if (scroll)
        m_list->scrollTo(index, QAbstractItemView::EnsureVisible);
}

void ApplicationListView::userSelectionChanged()
{
    if (m_syncing)
        return;
    const QModelIndexList selected = m_list->selectionModel()->selectedIndexes();
    std::optional<RecordID> id;
    if (!selected.isEmpty()) {
        if (JobApplication* record = m_model->application(selected.first()))
            id = record->id();
    }
    m_state.setSelectedID(id);
}

void ApplicationListView::setAcceptsImageDrops(bool accepts)
{
    // Drag events reach the viewport, the widget under the pointer.
    m_list->setAcceptDrops(accepts);
    m_list->viewport()->setAcceptDrops(accepts);
}

void ApplicationListView::updateOverlay()
{
    // A negative total means the records are still being read: no overlay yet, so
    // an empty-store message never flashes up before the rows arrive.
    const qsizetype total = m_state.totalCount();
    const bool empty = m_model->rowCount() == 0 && total >= 0;
    // Made the first time it shows: a window that opens on records never lays out
    // its texts, and its first frame comes sooner.
    if (!m_overlay) {
        if (!empty) {
            announceResults(false);
            return;
        }
        m_overlay = new EmptyListOverlay(
            [this] {
                if (m_actions.onCreate)
                    m_actions.onCreate();
            },
            m_list->viewport());
        // Its button comes right after the list, wherever the window stands in
        // the focus chain by now.
        setTabOrder(m_list, m_overlay->actionButton());
    }
    m_overlay->setHasAnyRecord(total > 0);
    m_overlay->setVisible(empty);
    // It covers the whole list and centres its content; drops on it still reach
    // the list, the first parent that accepts them.
    if (empty)
        m_overlay->setGeometry(m_list->viewport()->rect());
    announceResults(empty);
}

void ApplicationListView::announceResults(bool empty)
{
    // The overlay lies on the list's viewport, which screen readers do not enter:
    // the list and the search field carry its message, or the number a search found.
    QString text;
    if (empty)
        text = m_overlay->title() + QStringLiteral(". ") + m_overlay->description();
    else if (!m_state.searchText().isEmpty() && m_state.totalCount() >= 0)
        text = tr("%n applications found", nullptr, m_model->rowCount());
    for (QWidget* carrier : {static_cast<QWidget*>(m_list), static_cast<QWidget*>(m_searchField)}) {
        if (carrier && carrier->accessibleDescription() != text)
            carrier->setAccessibleDescription(text);
    }
}

void ApplicationListView::applyStyle()
{
    const QPalette& pal = palette();
    QPalette sidebar = m_list->palette();
    sidebar.setColor(QPalette::Base, Palette::sidebarBackground(pal));
    m_list->setPalette(sidebar);
    m_newButton->setIcon(Symbols::icon(QStringLiteral("plus"), Palette::secondaryText(pal)));
    updateFilterButton();

    m_list->verticalScrollBar()->setStyleSheet(Palette::slimScrollBarStyleSheet(pal));
    m_list->doItemsLayout();
}

bool ApplicationListView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list->viewport() && event->type() == QEvent::Resize)
        updateOverlay();
    return QWidget::eventFilter(watched, event);
}

void ApplicationListView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    arrangeToolbar();
}

void ApplicationListView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        applyStyle();
    if (event->type() == QEvent::FontChange)
        arrangeToolbar();
    QWidget::changeEvent(event);
}
