#include "ui/ContentView.h"

#include "store/Store.h"
#include "tracking/TodayProvider.h"
#include "tracking/WindowState.h"
#include "ui/ApplicationDetailView.h"
#include "ui/ApplicationListView.h"
#include "ui/BoardView.h"
#include "ui/ConfirmationDialog.h"
#include "ui/DetailPlaceholder.h"
#include "ui/Palette.h"
#include "ui/Symbols.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QSplitter>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

// A one-pixel divider between the columns that is still easy to grab: Qt widens
// the grab area of handles this thin by itself.
class HairlineHandle : public QSplitterHandle {
public:
    using QSplitterHandle::QSplitterHandle;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(contentsRect(), Palette::separator(palette()));
    }
};

class HairlineSplitter : public QSplitter {
public:
    using QSplitter::QSplitter;

protected:
    QSplitterHandle* createHandle() override { return new HairlineHandle(orientation(), this); }
};

} // namespace

ContentView::ContentView(Store& store, TodayProvider& today, Environment environment, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_today(today)
    , m_environment(std::move(environment))
    , m_state(new WindowState(store, today, this))
    , m_actions(new FocusedActions(this))
{
    setObjectName(QStringLiteral("contentView"));
    buildLayout();

    connect(m_state, &WindowState::selectedIDChanged, this, &ContentView::updateDetail);
    connect(m_state, &WindowState::visibleApplicationsChanged, this, &ContentView::updateDetail);
    connect(m_state, &WindowState::searchTextChanged, this, &ContentView::showSearchText);

    // Pending edits are written when the application quits or goes to the background.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &ContentView::saveIfNeeded);
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive)
            saveIfNeeded();
    });

    m_actions->publish(FocusedActions::Key::createApplication, [this] { createApplication(); });
    m_actions->publish(FocusedActions::Key::saveChanges, [this] { saveIfNeeded(); });
    m_actions->publishUndo(
        &m_state->undoStack(), [this] { m_state->undo(); }, [this] { m_state->redo(); });
    if (m_store.isLoaded()) {
        updateDetail();
    } else {
        // The window paints first; the rows follow as soon as the store has read them.
        m_detailStack->setCurrentWidget(m_loadingPage);
        updatePublishedActions();
    }
    // The list's empty panel and the detail placeholder share a centre line.
    m_list->listView()->viewport()->installEventFilter(this);
}

ContentView::~ContentView()
{
    // The editor watches its record; let it go before the records do.
    delete m_detailView;
}

ApplicationDetailView* ContentView::detailView() const
{
    return m_detailView;
}

void ContentView::buildLayout()
{
    buildSearchField();
    buildList();
    buildDetailColumn();

    m_splitter = new HairlineSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("splitView"));
    m_splitter->setHandleWidth(1);
    m_splitter->setChildrenCollapsible(false);
    // The list column holds the list, or the board in its place.
    m_cardsStack = new QStackedWidget(this);
    m_cardsStack->setObjectName(QStringLiteral("cardsColumn"));
    m_cardsStack->addWidget(m_list);
    m_cardsStack->setMinimumWidth(listMinimumWidth);
    m_cardsStack->setMaximumWidth(listMaximumWidth);
    m_splitter->addWidget(m_cardsStack);
    m_splitter->addWidget(m_detailStack);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({listIdealWidth, detailIdealWidth});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_splitter);
}

// The search field: its clear button, Escape to empty it, Ctrl+F to reach it.
void ContentView::buildSearchField()
{
    m_searchField = new QLineEdit(this);
    m_searchField->setObjectName(QStringLiteral("searchField"));
    m_searchField->setPlaceholderText(tr("Search company, position or notes"));
    m_searchField->setAccessibleName(tr("Search"));
    m_searchIcon
        = m_searchField->addAction(Symbols::icon(QStringLiteral("magnifyingglass"), Palette::secondaryText(palette())),
            QLineEdit::LeadingPosition);
    m_searchIcon->setText(m_searchField->accessibleName());
    // Not the field's own clear button: the style's picture for it is a PNG file, and
    // reading it asks every image-format plugin of the system, before the first frame.
    m_clearSearch = m_searchField->addAction(
        Symbols::icon(QStringLiteral("xmark.circle.fill"), Palette::secondaryText(palette())),
        QLineEdit::TrailingPosition);
    m_clearSearch->setObjectName(QStringLiteral("clearSearchAction"));
    m_clearSearch->setText(tr("Clear Search"));
    m_clearSearch->setVisible(false);
    connect(m_clearSearch, &QAction::triggered, m_searchField, &QLineEdit::clear);
    connect(m_searchField, &QLineEdit::textChanged, m_clearSearch,
        [clear = m_clearSearch](const QString& text) { clear->setVisible(!text.isEmpty()); });
    // Escape empties the field, as desktop search fields do.
    auto* clear = new QAction(m_searchField);
    clear->setShortcut(QKeySequence(Qt::Key_Escape));
    clear->setShortcutContext(Qt::WidgetShortcut);
    m_searchField->addAction(clear);
    connect(clear, &QAction::triggered, m_searchField, &QLineEdit::clear);
    // Ctrl+F from anywhere in the window; Down from the field goes on to the results.
    auto* find = new QAction(this);
    find->setObjectName(QStringLiteral("findAction"));
    find->setShortcuts(QKeySequence::Find);
    find->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(find);
    connect(find, &QAction::triggered, this, &ContentView::focusSearch);
    m_searchField->installEventFilter(this);
    // A keystroke recomputes the list at once.
    connect(m_searchField, &QLineEdit::textChanged, m_state, &WindowState::setSearchText);
}

void ContentView::buildList()
{
    ApplicationListView::Actions actions;
    actions.onCreate = [this] { createApplication(); };
    actions.onDelete = [this](JobApplication& application) { requestDeletion(application); };
    actions.onDropImages = [this](const QList<QUrl>& urls) { importImageFiles(urls); };
    actions.onDropMail = [this](const QList<QUrl>& urls) {
        if (m_importMailFiles)
            m_importMailFiles(urls);
    };
    actions.onDropText = [this](const QString& text) {
        if (m_importMailText)
            m_importMailText(text);
    };
    actions.onPaste = [this] { pastePosting(); };
    actions.openURL = [this](const QUrl& url) { openURL(url); };
    m_list = new ApplicationListView(*m_state, std::move(actions), this);
    m_list->setSearchField(m_searchField);
    m_list->setAcceptsImageDrops(false);
    m_list->setAutoFillBackground(true);
    m_list->setBackgroundRole(QPalette::Window);
}

// The detail column: the placeholder, or a record's detail once one is chosen.
void ContentView::buildDetailColumn()
{
    m_detailStack = new QStackedWidget(this);
    m_detailStack->setObjectName(QStringLiteral("detailColumn"));
    m_detailStack->setMinimumWidth(detailMinimumWidth);
    m_detailStack->setAutoFillBackground(true);
    m_detailStack->setBackgroundRole(QPalette::Base);
    m_loadingPage = new QWidget(m_detailStack);
    m_detailStack->addWidget(m_loadingPage);
}

DetailPlaceholder* ContentView::placeholder()
{
    // Its title font and texts are laid out only when it is first needed: a window
    // that opens on records paints its first frame without them.
    if (!m_placeholder) {
        m_placeholder = new DetailPlaceholder([this] { createApplication(); }, m_detailStack);
        m_detailStack->addWidget(m_placeholder);
        alignPlaceholder();
    }
    return m_placeholder;
}

void ContentView::makeBoard()
{
    BoardView::Actions actions;
    actions.onCreate = [this] { createApplication(); };
    actions.onDelete = [this](JobApplication& application) { requestDeletion(application); };
    actions.onOpen = [this](JobApplication&) {
        if (m_detailView)
            m_detailView->focusFirstField();
    };
    m_board = new BoardView(*m_state, std::move(actions), m_cardsStack);
    m_board->setAutoFillBackground(true);
    m_board->setBackgroundRole(QPalette::Window);
    m_cardsStack->addWidget(m_board);
    Q_EMIT boardMade(m_board);
}

void ContentView::setBoardShown(bool shown)
{
    if (shown == m_boardShown)
        return;
    m_boardShown = shown;
    const bool hadFocus = isAncestorOf(QApplication::focusWidget());
    const int total = m_splitter->width();
    if (shown) {
        if (!m_board)
            makeBoard();
        // The board has a column for every status; the filter becomes its folding.
        m_listFilter = m_state->statusFilter();
        m_state->setStatusFilter(StatusFilter::all());
        m_board->setSearchField(m_searchField);
        m_cardsStack->setCurrentWidget(m_board);
        m_cardsStack->setMaximumWidth(QWIDGETSIZE_MAX);
        // The board takes what the detail column can spare, and a wider window widens
        // the board, not the detail.
        m_splitter->setStretchFactor(0, 1);
        m_splitter->setStretchFactor(1, 0);
        m_splitter->setSizes({std::max(listIdealWidth, total - detailMinimumWidth), detailMinimumWidth});
    } else {
        m_list->setSearchField(m_searchField);
        if (m_listFilter)
            m_state->setStatusFilter(*std::exchange(m_listFilter, std::nullopt));
        m_cardsStack->setCurrentWidget(m_list);
        m_cardsStack->setMaximumWidth(listMaximumWidth);
        m_splitter->setStretchFactor(0, 0);
        m_splitter->setStretchFactor(1, 1);
        m_splitter->setSizes({listIdealWidth, std::max(detailIdealWidth, total - listIdealWidth)});
    }
    if (hadFocus) {
        if (shown)
            m_board->focusCards();
        else
            m_list->listView()->setFocus();
    }
    Q_EMIT boardShownChanged(shown);
}

void ContentView::showSearchText(const QString& text)
{
    if (m_searchField->text() != text)
        m_searchField->setText(text);
}

void ContentView::updateDetail()
{
    if (!m_store.isLoaded())
        return;
    JobApplication* record = m_state->selectedApplication();
    placeholder()->setHasApplications(m_state->totalCount() > 0);
    const RecordID shown = record ? record->id() : 0;
    if (shown == m_detailRecord && (record == nullptr || m_detailView)) {
        if (!record)
            m_detailStack->setCurrentWidget(m_placeholder);
        updatePublishedActions();
        return;
    }
    // A new view per record, so nothing of the previous record's view carries over.
    dropDetailView();
    m_detailRecord = shown;
    if (record) {
        const RecordID id = record->id();
        ApplicationDetailView::Actions actions;
        actions.onDelete = [this, id] {
            if (JobApplication* application = m_store.application(id))
                requestDeletion(*application);
        };
        actions.openURL = [this](const QUrl& url) { openURL(url); };
        m_detailView = new ApplicationDetailView(*record, m_state->edits(), m_today, std::move(actions), m_detailStack);
        m_detailStack->addWidget(m_detailView);
        m_detailStack->setCurrentWidget(m_detailView);
    } else {
        m_detailStack->setCurrentWidget(m_placeholder);
    }
    updatePublishedActions();
}

void ContentView::updatePublishedActions()
{
    using Key = FocusedActions::Key;
    if (m_state->selectedApplication()) {
        m_actions->publish(Key::deleteSelection, [this] { deleteSelection(); });
        m_actions->publish(Key::toggleStar, [this] {
            if (JobApplication* record = m_state->selectedApplication())
                m_state->edits().toggleFavorite(*record);
        });
    } else {
        m_actions->withdraw(Key::deleteSelection);
        m_actions->withdraw(Key::toggleStar);
    }
    m_actions->publish(Key::exportBackup, m_exportBackup);
    m_actions->publish(Key::importBackup, m_importBackup);
    m_actions->publish(Key::importScreenshots, m_importScreenshots);
    // A message on the clipboard is mail to import; anything else a posting.
    if (m_pasteMail)
        m_actions->publish(Key::pastePosting, [this] {
            if (!m_pasteMail() && m_pastePosting)
                m_pastePosting();
        });
    else
        m_actions->publish(Key::pastePosting, m_pastePosting);
    m_actions->publish(Key::exportSpreadsheet, m_exportSpreadsheet);
    m_actions->publish(Key::showInsights, m_showInsights);
    m_actions->publish(Key::importMail, m_importMail);
}

void ContentView::createApplication()
{
    m_state->createApplication();
    // The new record's editor is up: the user types the company at once.
    if (m_detailView)
        m_detailView->focusFirstField();
}

void ContentView::focusSearch()
{
    m_searchField->setFocus(Qt::ShortcutFocusReason);
    m_searchField->selectAll();
}

bool ContentView::focusResults()
{
    JobApplication* first = m_boardShown ? m_board->firstCard() : m_state->visibleApplications().value(0);
    if (!first)
        return false;
    m_state->setSelectedID(first->id());
    if (m_boardShown)
        m_board->focusCards();
    else
        m_list->listView()->setFocus(Qt::TabFocusReason);
    return true;
}

void ContentView::saveIfNeeded()
{
    m_state->saveIfNeeded();
}

void ContentView::requestDeletion(JobApplication& application)
{
    if (!m_state->beginDeletion(application))
        return; // one confirmation at a time
    const QString message
        = tr("%1 — %2. This cannot be undone.", "Delete confirmation; %1 is the company name, %2 the position")
              .arg(application.displayCompany(), application.displayPosition());
    const bool confirmed = confirm(tr("Delete this application?"), message);
    m_state->endDeletion(confirmed);
}

void ContentView::deleteSelection()
{
    if (JobApplication* record = m_state->selectedApplication())
        requestDeletion(*record);
}

bool ContentView::confirm(const QString& title, const QString& message)
{
    if (m_environment.confirmDeletion)
        return m_environment.confirmDeletion(title, message);
    ConfirmationDialog dialog(title, message, tr("Delete"), window());
    return dialog.ask();
}

QList<JobApplication*> ContentView::addNewApplications(std::vector<std::unique_ptr<JobApplication>> applications)
{
    return m_state->addNewApplications(std::move(applications));
}

void ContentView::importImageFiles(const QList<QUrl>& urls)
{
    if (urls.isEmpty() || !m_importImageFiles)
        return;
    m_importImageFiles(urls);
}

void ContentView::pastePosting()
{
    m_actions->trigger(FocusedActions::Key::pastePosting);
}

void ContentView::setExportBackupAction(FocusedActions::Action action)
{
    m_exportBackup = std::move(action);
    updatePublishedActions();
}

void ContentView::setImportBackupAction(FocusedActions::Action action)
{
    m_importBackup = std::move(action);
    updatePublishedActions();
}

void ContentView::setImportScreenshotsAction(FocusedActions::Action action)
{
    m_importScreenshots = std::move(action);
    updatePublishedActions();
}

void ContentView::setPastePostingAction(FocusedActions::Action action)
{
    m_pastePosting = std::move(action);
    updatePublishedActions();
}

void ContentView::setExportSpreadsheetAction(FocusedActions::Action action)
{
    m_exportSpreadsheet = std::move(action);
    updatePublishedActions();
}

void ContentView::setShowInsightsAction(FocusedActions::Action action)
{
    m_showInsights = std::move(action);
    updatePublishedActions();
}

void ContentView::setImageFilesImporter(std::function<void(const QList<QUrl>&)> importer)
{
    m_importImageFiles = std::move(importer);
    m_list->setAcceptsImageDrops(bool(m_importImageFiles) || bool(m_importMailFiles));
}

void ContentView::setImportMailAction(FocusedActions::Action action)
{
    m_importMail = std::move(action);
    updatePublishedActions();
}

void ContentView::setMailImporters(std::function<void(const QList<QUrl>&)> files,
    std::function<void(const QString&)> text, std::function<bool()> paste)
{
    m_importMailFiles = std::move(files);
    m_importMailText = std::move(text);
    m_pasteMail = std::move(paste);
    m_list->setAcceptsImageDrops(bool(m_importImageFiles) || bool(m_importMailFiles));
    updatePublishedActions();
}

void ContentView::dropDetailView()
{
    if (!m_detailView)
        return;
    // It may be the one asking for this change (its delete button), so it goes later.
    m_detailStack->removeWidget(m_detailView);
    m_detailView->hide();
    m_detailView->deleteLater();
    m_detailView = nullptr;
}

bool ContentView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_searchField && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Down && key->modifiers() == Qt::NoModifier && focusResults())
            return true;
    }
    if (m_list && watched == m_list->listView()->viewport()
        && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        alignPlaceholder();
    return QWidget::eventFilter(watched, event);
}

void ContentView::alignPlaceholder()
{
    // The placeholder is centred in the band the list's rows take (between its
    // toolbar and its summary bar), as the list's own empty panel is.
    if (!m_placeholder)
        return;
    const QWidget* viewport = m_list->listView()->viewport();
    const int top = viewport->mapTo(m_list, QPoint(0, 0)).y();
    const int bottom = m_list->height() - top - viewport->height();
    m_placeholder->setContentsMargins(0, std::max(0, top), 0, std::max(0, bottom));
}

void ContentView::focusInEvent(QFocusEvent* event)
{
    // The window's focus goes on to the rows. Not a focus proxy: Tab would then come
    // back to the rows from the end of the chain, never reaching the search field.
    if (m_boardShown)
        m_board->focusCards();
    else
        m_list->listView()->setFocus(event->reason());
}

void ContentView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange && m_searchIcon) {
        m_searchIcon->setIcon(Symbols::icon(QStringLiteral("magnifyingglass"), Palette::secondaryText(palette())));
        m_clearSearch->setIcon(Symbols::icon(QStringLiteral("xmark.circle.fill"), Palette::secondaryText(palette())));
    }
    QWidget::changeEvent(event);
}

void ContentView::openURL(const QUrl& url)
{
    if (m_environment.openURL)
        m_environment.openURL(url);
    else
        QDesktopServices::openUrl(url);
}
