#include "ui/ApplicationListView.h"

#include "model/ApplicationEdits.h"
#include "tracking/WindowState.h"
#include "ui/ApplicationListModel.h"
#include "ui/ApplicationRow.h"
#include "ui/EmptyListOverlay.h"
#include "ui/FocusedActions.h"
#include "ui/Palette.h"
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
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int toolbarIconSize = 18;

bool conformsToImage(const QMimeType& type)
{
    if (!type.isValid())
        return false;
    const QLatin1String image("image/");
    if (type.name().startsWith(image))
        return true;
    const QStringList ancestors = type.allAncestors();
    return std::any_of(
        ancestors.cbegin(), ancestors.cend(), [&](const QString& name) { return name.startsWith(image); });
}

// The list itself: rows, the delete and paste keys while it has focus, and drops
// of image files. It keeps no state; everything goes back through the callbacks.
class RowListView : public QListView {
public:
    using QListView::QListView;

    std::function<void()> onDeleteKey;
    std::function<void()> onPasteKey;
    std::function<void(const QMimeData&, bool&)> onDrop;

protected:
    bool event(QEvent* event) override
    {
        // Claim delete and paste before the window's shortcuts see them: while the
        // list has focus they mean "this list's selection" and "paste into the list".
        if (event->type() == QEvent::ShortcutOverride) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (ApplicationListView::isDeleteKey(key) || key->matches(QKeySequence::Paste)) {
                event->accept();
                return true;
            }
        }
        return QListView::event(event);
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        // A right click opens the row's menu; it does not move the selection.
        if (event->button() == Qt::RightButton) {
            event->accept();
            return;
        }
        QListView::mousePressEvent(event);
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        // With nothing selected, the first arrow selects the row the focus ring is
        // on rather than the one after it.
        const bool arrow = event->key() == Qt::Key_Down || event->key() == Qt::Key_Up;
        if (arrow && event->modifiers() == Qt::NoModifier && selectionModel()->selectedIndexes().isEmpty() && model()
            && model()->rowCount() > 0) {
            const QModelIndex current = currentIndex().isValid() ? currentIndex() : model()->index(0, 0);
            selectionModel()->setCurrentIndex(current, QItemSelectionModel::ClearAndSelect);
            event->accept();
            return;
        }
        if (ApplicationListView::isDeleteKey(event)) {
            if (onDeleteKey)
                onDeleteKey();
            event->accept();
            return;
        }
        if (event->matches(QKeySequence::Paste)) {
            if (onPasteKey)
                onPasteKey();
            event->accept();
            return;
        }
        QListView::keyPressEvent(event);
    }

    void dragEnterEvent(QDragEnterEvent* event) override
    {
        acceptFiles(event);
        setDropHighlight(event->isAccepted());
    }
    void dragMoveEvent(QDragMoveEvent* event) override { acceptFiles(event); }
    void dragLeaveEvent(QDragLeaveEvent* event) override
    {
        setDropHighlight(false);
        event->accept();
    }

    // The usual drop feedback: the list is outlined in the accent colour while
    // files are dragged over it.
    void paintEvent(QPaintEvent* event) override
    {
        QListView::paintEvent(event);
        if (!property(dropHighlightProperty).toBool())
            return;
        QPainter painter(viewport());
        painter.setRenderHint(QPainter::Antialiasing);
        const QColor accent = palette().color(QPalette::Highlight);
        QColor wash = accent;
        wash.setAlphaF(0.08f);
        painter.setPen(QPen(accent, 2));
        painter.setBrush(wash);
        painter.drawRoundedRect(QRectF(viewport()->rect()).adjusted(3, 3, -3, -3), 8, 8);
    }

    void dropEvent(QDropEvent* event) override
    {
        setDropHighlight(false);
        bool accepted = false;
        if (event->mimeData() && onDrop)
            onDrop(*event->mimeData(), accepted);
        if (accepted) {
            event->setDropAction(Qt::CopyAction);
            event->accept();
        } else {
            event->ignore();
        }
    }

private:
    static constexpr const char* dropHighlightProperty = "dropHighlighted";

    void setDropHighlight(bool on)
    {
        if (property(dropHighlightProperty).toBool() == on)
            return;
        setProperty(dropHighlightProperty, on);
        viewport()->update();
    }

    // Which files are images or mail is decided on the drop itself; while dragging
    // any file list is welcome, and text (a message dragged out as text).
    static void acceptFiles(QDropEvent* event)
    {
        const QMimeData* data = event->mimeData();
        if (data && (data->hasUrls() || (data->hasText() && !data->text().trimmed().isEmpty()))) {
            event->setDropAction(Qt::CopyAction);
            event->accept();
        } else {
            event->ignore();
        }
    }
};

} // namespace

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

    m_overlay = new EmptyListOverlay(
        [this] {
            if (m_actions.onCreate)
                m_actions.onCreate();
        },
        m_list->viewport());

    buildToolbar();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolbar);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_summary);

    applyStyle();

    connect(&m_state, &WindowState::visibleApplicationsChanged, this, &ApplicationListView::showVisible);
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

void ApplicationListView::buildToolbar()
{
    m_toolbar->setObjectName(QStringLiteral("listToolbar"));
    m_toolbarLayout = new QGridLayout(m_toolbar);
    m_toolbarLayout->setContentsMargins(10, 10, 8, 8);
    m_toolbarLayout->setHorizontalSpacing(4);
    m_toolbarLayout->setVerticalSpacing(8);
    m_toolbarLayout->setColumnStretch(0, 1);

    m_filterButton->setObjectName(QStringLiteral("filterButton"));
    m_filterButton->setText(tr("Filter"));
    m_filterButton->setToolTip(tr("Filter and sort"));
    m_filterButton->setAccessibleName(tr("Filter"));
    m_filterButton->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_filterButton->setAutoRaise(true);
    m_filterButton->setIconSize(QSize(toolbarIconSize, toolbarIconSize));
    // Opened by hand rather than through setMenu(): the style's menu arrow would sit
    // on top of the funnel, which already says "menu".
    connect(m_filterButton, &QToolButton::clicked, this,
        [this] { m_filterMenu->popup(m_filterButton->mapToGlobal(QPoint(0, m_filterButton->height()))); });
    buildFilterMenu();

    m_newButton->setObjectName(QStringLiteral("newApplicationButton"));
    setUpNewButton(*m_newButton, [this] {
        if (m_actions.onCreate)
            m_actions.onCreate();
    });

    m_toolbarLayout->addWidget(m_filterButton, 0, 1);
    m_toolbarLayout->addWidget(m_newButton, 0, 2);
}

void ApplicationListView::setUpNewButton(QToolButton& button, std::function<void()> onCreate)
{
    button.setText(tr("New Application"));
    button.setAccessibleName(tr("New Application"));
    const QKeySequence shortcut = FocusedActions::shortcuts(FocusedActions::Key::createApplication).value(0);
    button.setToolTip(tr("Add a new application (%1)").arg(shortcut.toString(QKeySequence::NativeText)));
    button.setToolButtonStyle(Qt::ToolButtonIconOnly);
    button.setAutoRaise(true);
    button.setIconSize(QSize(toolbarIconSize, toolbarIconSize));
    connect(&button, &QToolButton::clicked, &button, std::move(onCreate));
}

bool ApplicationListView::isDeleteKey(const QKeyEvent* event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    return modifiers == Qt::NoModifier && (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace);
}

void ApplicationListView::addMenuHeader(QMenu& menu, const QString& text, const char* name)
{
    // Group titles are inactive entries in a small bold font, aligned with the entries.
    QAction* header = menu.addAction(text);
    header->setObjectName(QLatin1String(name));
    header->setEnabled(false);
    QFont font = Palette::font(Palette::TextStyle::caption, menu.font());
    font.setWeight(QFont::DemiBold);
    header->setFont(font);
}

QActionGroup* ApplicationListView::addSortOptions(QMenu& menu, WindowState& state)
{
    auto* group = new QActionGroup(&menu);
    group->setExclusive(true);
    addMenuHeader(menu, tr("Sort"), "sortSection");
    for (SortOption option : allCases<SortOption>()) {
        QAction* action = menu.addAction(title(option));
        action->setObjectName(QLatin1String("sortOption:") + rawValue(option));
        action->setCheckable(true);
        action->setChecked(option == state.sortOption());
        group->addAction(action);
        connect(action, &QAction::triggered, &state, [&state, option] { state.setSortOption(option); });
    }
    connect(&state, &WindowState::sortOptionChanged, group, [group](SortOption option) {
        const QString name = QLatin1String("sortOption:") + rawValue(option);
        for (QAction* action : group->actions())
            action->setChecked(action->objectName() == name);
    });
    return group;
}

void ApplicationListView::buildFilterMenu()
{
    m_filterMenu->setObjectName(QStringLiteral("filterMenu"));
    m_filterMenu->setToolTipsVisible(false);
    m_statusGroup->setExclusive(true);

    addMenuHeader(*m_filterMenu, tr("Status"), "statusSection");
    for (const StatusFilter& filter : StatusFilter::allFilters()) {
        QAction* action = m_filterMenu->addAction(filter.title());
        action->setObjectName(QLatin1String("statusFilter:") + filter.identifier());
        action->setCheckable(true);
        action->setData(filter.identifier());
        m_statusGroup->addAction(action);
        connect(action, &QAction::triggered, this, [this, filter] { m_state.setStatusFilter(filter); });
    }
    m_filterMenu->addSeparator()->setObjectName(QStringLiteral("filterDivider"));
    addSortOptions(*m_filterMenu, m_state);
}

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

void ApplicationListView::syncSelection(bool scroll)
{
    const QScopedValueRollback<bool> syncing(m_syncing, true);
    QItemSelectionModel* selection = m_list->selectionModel();
    const std::optional<RecordID> selected = m_state.selectedID();
    // A record that the filter or the search hides stays selected, without a row.
    const int row = selected ? m_model->rowOf(*selected) : -1;
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

void ApplicationListView::showStatusFilter()
{
    const QString identifier = m_state.statusFilter().identifier();
    for (QAction* action : m_statusGroup->actions())
        action->setChecked(action->data().toString() == identifier);
    updateFilterButton();
}

void ApplicationListView::setAcceptsImageDrops(bool accepts)
{
    // Drag events reach the viewport, the widget under the pointer.
    m_list->setAcceptDrops(accepts);
    m_list->viewport()->setAcceptDrops(accepts);
}

bool ApplicationListView::acceptsImageDrops() const
{
    return m_list->viewport()->acceptDrops();
}

void ApplicationListView::setSearchField(QLineEdit* field)
{
    m_searchField = field;
    field->setParent(m_toolbar);
    arrangeToolbar();
    // Taken back from the board, it is shown again (a new parent hides a widget).
    field->show();
    // Tab follows the toolbar left to right, then into the list.
    setTabOrder(field, m_filterButton);
    setTabOrder(m_filterButton, m_newButton);
    setTabOrder(m_newButton, m_list);
}

void ApplicationListView::arrangeToolbar()
{
    // The board may hold the field while it is shown.
    if (!m_searchField || m_searchField->parentWidget() != m_toolbar)
        return;
    // The field sits beside the buttons while its whole prompt fits there; in a
    // narrower column it takes a row of its own under them rather than cutting the
    // prompt short.
    const QMargins margins = m_toolbarLayout->contentsMargins();
    const int buttons = m_filterButton->sizeHint().width() + m_newButton->sizeHint().width()
        + 2 * m_toolbarLayout->horizontalSpacing();
    const bool besideButtons = width() - margins.left() - margins.right() - buttons >= searchFieldWidthForPrompt();
    const int row = besideButtons ? 0 : 1;
    const int columns = besideButtons ? 1 : 3;
    const int index = m_toolbarLayout->indexOf(m_searchField);
    if (index >= 0) {
        int currentRow = 0, column = 0, rowSpan = 0, columnSpan = 0;
        m_toolbarLayout->getItemPosition(index, &currentRow, &column, &rowSpan, &columnSpan);
        if (currentRow == row)
            return;
        m_toolbarLayout->removeWidget(m_searchField);
    }
    m_toolbarLayout->addWidget(m_searchField, row, 0, 1, columns);
}

int ApplicationListView::searchFieldWidthForPrompt() const
{
    // The prompt plus what the field keeps around its text: the frame and its inner
    // margin on both sides, and the leading symbol, which a line edit lays out as a
    // small icon with a quarter of its size around it.
    const QStyle* style = m_searchField->style();
    const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, m_searchField);
    const int icon = style->pixelMetric(QStyle::PM_SmallIconSize, nullptr, m_searchField);
    const int leadingSymbol = icon + icon / 2 + 2;
    const int innerMargin = 2;
    return QFontMetrics(m_searchField->font()).horizontalAdvance(m_searchField->placeholderText()) + leadingSymbol
        + 2 * (frame + innerMargin) + 4;
}

void ApplicationListView::deleteSelected()
{
    const std::optional<RecordID> selected = m_state.selectedID();
    if (!selected || !m_actions.onDelete)
        return;
    // Only a record the list shows: a selection hidden by the filter is left alone.
    for (JobApplication* record : m_model->applications()) {
        if (record->id() == *selected) {
            m_actions.onDelete(*record);
            return;
        }
    }
}

QList<QUrl> ApplicationListView::imageFiles(const QList<QUrl>& urls)
{
    QList<QUrl> images;
    const QMimeDatabase types;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile())
            continue;
        const QFileInfo file(url.toLocalFile());
        if (!file.isFile() || !file.isReadable())
            continue;
        if (conformsToImage(types.mimeTypeForFile(file, QMimeDatabase::MatchDefault)))
            images.append(url);
    }
    return images;
}

QList<QUrl> ApplicationListView::mailFiles(const QList<QUrl>& urls)
{
    QList<QUrl> files;
    const QMimeDatabase types;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile())
            continue;
        const QFileInfo file(url.toLocalFile());
        if (!file.isFile())
            continue;
        const QString suffix = file.suffix().toLower();
        const QMimeType type = types.mimeTypeForFile(file, QMimeDatabase::MatchExtension);
        if (suffix == u"eml" || suffix == u"mbox" || type.inherits(QStringLiteral("message/rfc822"))
            || type.inherits(QStringLiteral("application/mbox")))
            files.append(url);
    }
    return files;
}

void ApplicationListView::dropData(const QMimeData& dropped, bool& accepted)
{
    accepted = false;
    if (dropped.hasUrls()) {
        // Mail first: a message saved as a file is never a screenshot.
        if (const QList<QUrl> mail = mailFiles(dropped.urls()); !mail.isEmpty() && m_actions.onDropMail) {
            m_actions.onDropMail(mail);
            accepted = true;
            return;
        }
        const QList<QUrl> images = imageFiles(dropped.urls());
        accepted = !images.isEmpty() && bool(m_actions.onDropImages);
        if (accepted)
            m_actions.onDropImages(images);
        return;
    }
    const QString text = dropped.text();
    if (!text.trimmed().isEmpty() && m_actions.onDropText) {
        m_actions.onDropText(text);
        accepted = true;
    }
}

QString ApplicationListView::filterSymbol(const StatusFilter& filter)
{
    return filter.kind() == StatusFilter::Kind::all ? QStringLiteral("line.3.horizontal.decrease.circle")
                                                    : QStringLiteral("line.3.horizontal.decrease.circle.fill");
}

std::unique_ptr<QMenu> ApplicationListView::makeContextMenu(JobApplication& application)
{
    auto menu = std::make_unique<QMenu>(this);
    menu->setObjectName(QStringLiteral("rowContextMenu"));
    const QPalette& pal = palette();
    const QPointer<JobApplication> record(&application);

    QAction* star = menu->addAction(application.isFavorite() ? tr("Remove Star") : tr("Add Star"));
    star->setObjectName(QStringLiteral("toggleStarAction"));
    star->setIcon(Symbols::icon(application.isFavorite() ? QStringLiteral("star") : QStringLiteral("star.fill"),
        Palette::fillColor(NamedColor::yellow, pal)));
    connect(star, &QAction::triggered, this, [this, record] {
        if (JobApplication* target = record.data())
            m_state.edits().toggleFavorite(*target);
    });

    if (const auto url = application.postingURL()) {
        QAction* open = menu->addAction(tr("Open Posting"));
        open->setObjectName(QStringLiteral("openPostingAction"));
        open->setIcon(Symbols::icon(QStringLiteral("arrow.up.right.square"), pal.color(QPalette::Text)));
        connect(open, &QAction::triggered, this, [this, record] {
            // Read the link again: it may have changed while the menu was open.
            JobApplication* target = record.data();
            if (!target)
                return;
            if (const auto current = target->postingURL(); current && m_actions.openURL)
                m_actions.openURL(*current);
        });
    }

    menu->addSeparator();

    // Destructive: drawn with the red trash symbol. The list deletes nothing itself.
    QAction* remove = menu->addAction(tr("Delete"));
    remove->setObjectName(QStringLiteral("deleteAction"));
    remove->setIcon(Symbols::icon(QStringLiteral("trash"), Palette::textColor(NamedColor::red, pal)));
    connect(remove, &QAction::triggered, this, [this, record] {
        if (JobApplication* target = record.data(); target && m_actions.onDelete)
            m_actions.onDelete(*target);
    });
    return menu;
}

void ApplicationListView::showContextMenu(const QPoint& position)
{
    JobApplication* record = m_model->application(m_list->indexAt(position));
    if (!record)
        return;
    QMenu* menu = makeContextMenu(*record).release();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The row the menu acts on is outlined while it is open; the selection stays.
    m_row->setMarkedID(record->id());
    m_list->viewport()->update();
    connect(menu, &QMenu::aboutToHide, this, [this] {
        m_row->setMarkedID(0);
        m_list->viewport()->update();
    });
    menu->popup(m_list->viewport()->mapToGlobal(position));
}

void ApplicationListView::updateOverlay()
{
    // A negative total means the records are still being read: no overlay yet, so
    // an empty-store message never flashes up before the rows arrive.
    const qsizetype total = m_state.totalCount();
    const bool empty = m_model->rowCount() == 0 && total >= 0;
    m_overlay->setHasAnyRecord(total > 0);
    m_overlay->setVisible(empty);
    // It covers the whole list and centres its content; drops on it still reach
    // the list, the first parent that accepts them.
    if (empty)
        m_overlay->setGeometry(m_list->viewport()->rect());
}

void ApplicationListView::updateFilterButton()
{
    const StatusFilter& filter = m_state.statusFilter();
    const bool filtered = filter.kind() != StatusFilter::Kind::all;
    // A filter in force is shown filled, in the accent colour, so it is not forgotten.
    const QColor color
        = filtered ? palette().color(QPalette::Active, QPalette::Highlight) : Palette::secondaryText(palette());
    m_filterButton->setIcon(Symbols::icon(filterSymbol(filter), color));
    m_filterButton->setProperty("symbol", filterSymbol(filter));
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
