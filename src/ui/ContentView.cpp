#include "ui/ContentView.h"

#include "store/Store.h"
#include "tracking/ListQuery.h"
#include "tracking/TodayProvider.h"
#include "ui/ApplicationListView.h"
#include "ui/DetailPlaceholder.h"
#include "ui/DetailSummaryView.h"
#include "ui/Palette.h"
#include "ui/Symbols.h"

#include <QAction>
#include <QCoreApplication>
#include <QDebug>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSplitter>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

// The fields the visible list and the summary counters read: the filter (status),
// the search (nine texts), the sorts (date, company, status) and the stale count
// (date). A change of any other field only repaints the record's row.
bool affectsVisibleList(JobApplication::Field field)
{
    using Field = JobApplication::Field;
    switch (field) {
    case Field::companyName:
    case Field::position:
    case Field::notes:
    case Field::hrContactName:
    case Field::hrContactEmail:
    case Field::techInterviewerName:
    case Field::techInterviewerRole:
    case Field::statusRaw:
    case Field::workModelRaw:
    case Field::applicationDate: return true;
    default: return false;
    }
}

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
    , m_actions(new FocusedActions(this))
{
    setObjectName(QStringLiteral("contentView"));
    m_recomputeTimer.setSingleShot(true);
    m_recomputeTimer.setInterval(0);
    connect(&m_recomputeTimer, &QTimer::timeout, this, &ContentView::recompute);

    buildLayout();
    connectStore();

    m_list->setToday(m_today.today());
    connect(&m_today, &TodayProvider::todayChanged, this, [this](const QDateTime& day) { m_list->setToday(day); });

    // Pending edits are written when the application quits or goes to the background.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &ContentView::saveIfNeeded);
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive)
            saveIfNeeded();
    });

    m_actions->publish(FocusedActions::Key::createApplication, [this] { createApplication(); });
    m_actions->publish(FocusedActions::Key::saveChanges, [this] { saveIfNeeded(); });
    if (m_store.isLoaded()) {
        recompute();
    } else {
        // The window paints first; the rows follow as soon as the store has read them.
        m_list->setApplications({}, -1);
        m_detailStack->setCurrentWidget(m_loadingPage);
        connect(
            &m_store, &Store::loaded, this,
            [this] {
                m_detailStack->setCurrentWidget(m_placeholder);
                recompute();
            },
            Qt::SingleShotConnection);
    }
    setFocusProxy(m_list->listView());
}

ContentView::~ContentView()
{
    // The detail view may watch records; let it go before the records do.
    delete m_detailView;
}

void ContentView::buildLayout()
{
    m_searchField = new QLineEdit(this);
    m_searchField->setObjectName(QStringLiteral("searchField"));
    m_searchField->setPlaceholderText(tr("Search company, position or notes"));
    m_searchField->setClearButtonEnabled(true);
    m_searchField->setAccessibleName(tr("Search"));
    m_searchIcon
        = m_searchField->addAction(Symbols::icon(QStringLiteral("magnifyingglass"), Palette::secondaryText(palette())),
            QLineEdit::LeadingPosition);
    // Escape empties the field, as desktop search fields do.
    auto* clear = new QAction(m_searchField);
    clear->setShortcut(QKeySequence(Qt::Key_Escape));
    clear->setShortcutContext(Qt::WidgetShortcut);
    m_searchField->addAction(clear);
    connect(clear, &QAction::triggered, m_searchField, &QLineEdit::clear);
    // A keystroke recomputes the list at once; only store signals are coalesced.
    connect(m_searchField, &QLineEdit::textChanged, this, [this] {
        if (!m_batching)
            recompute();
    });

    ApplicationListView::Actions actions;
    actions.onCreate = [this] { createApplication(); };
    actions.onDelete = [this](JobApplication& application) { requestDeletion(application); };
    actions.onDropImages = [this](const QList<QUrl>& urls) { importImageFiles(urls); };
    actions.onPaste = [this] { pastePosting(); };
    actions.openURL = [this](const QUrl& url) { openURL(url); };
    m_list = new ApplicationListView(std::move(actions), this);
    m_list->setSearchField(m_searchField);
    m_list->setMinimumWidth(listMinimumWidth);
    m_list->setMaximumWidth(listMaximumWidth);
    m_list->setAcceptsImageDrops(false);
    m_list->setAutoFillBackground(true);
    m_list->setBackgroundRole(QPalette::Window);
    connect(m_list, &ApplicationListView::selectedIDChanged, this, &ContentView::setSelectedID);
    connect(m_list, &ApplicationListView::statusFilterChanged, this, &ContentView::setStatusFilter);
    connect(m_list, &ApplicationListView::sortOptionChanged, this, &ContentView::setSortOption);

    m_placeholder = new DetailPlaceholder([this] { createApplication(); }, this);
    m_detailStack = new QStackedWidget(this);
    m_detailStack->setObjectName(QStringLiteral("detailColumn"));
    m_detailStack->setMinimumWidth(detailMinimumWidth);
    m_detailStack->setAutoFillBackground(true);
    m_detailStack->setBackgroundRole(QPalette::Base);
    m_detailStack->addWidget(m_placeholder);
    m_loadingPage = new QWidget(m_detailStack);
    m_detailStack->addWidget(m_loadingPage);

    m_splitter = new HairlineSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("splitView"));
    m_splitter->setHandleWidth(1);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->addWidget(m_list);
    m_splitter->addWidget(m_detailStack);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({listIdealWidth, detailIdealWidth});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_splitter);
}

void ContentView::connectStore()
{
    connect(&m_store, &Store::applicationInserted, this, &ContentView::scheduleRecompute);
    connect(&m_store, &Store::applicationAboutToBeRemoved, this, &ContentView::applicationLeaving);
    connect(&m_store, &Store::applicationRemoved, this, &ContentView::scheduleRecompute);
    connect(
        &m_store, &Store::applicationChanged, this, [this](JobApplication* application, JobApplication::Field field) {
            m_list->refreshApplication(application);
            if (affectsVisibleList(field))
                scheduleRecompute();
        });
}

void ContentView::scheduleRecompute()
{
    if (!m_recomputeTimer.isActive())
        m_recomputeTimer.start();
}

void ContentView::recompute()
{
    m_recomputeTimer.stop();
    m_visible
        = ::visibleApplications(m_store.applicationsByDate(), m_statusFilter, m_searchField->text(), m_sortOption);
    m_list->setApplications(m_visible, m_store.count());
    updateDetail();
    Q_EMIT visibleApplicationsChanged();
}

void ContentView::applicationLeaving(JobApplication* application)
{
    // The object is deleted soon after: nothing may keep pointing at it.
    m_visible.removeOne(application);
    m_list->forgetApplication(application);
    // Deleted elsewhere while selected: the selection goes with it.
    if (m_selectedID == application->id())
        setSelectedID(std::nullopt);
    scheduleRecompute();
}

JobApplication* ContentView::selectedApplication() const
{
    return m_selectedID ? m_store.application(*m_selectedID) : nullptr;
}

void ContentView::setSelectedID(std::optional<RecordID> id)
{
    if (id == m_selectedID)
        return;
    m_selectedID = id;
    m_list->setSelectedID(id);
    updateDetail();
    Q_EMIT selectedIDChanged(id);
}

QString ContentView::searchText() const
{
    return m_searchField->text();
}

void ContentView::setSearchText(const QString& text)
{
    m_searchField->setText(text);
}

void ContentView::setStatusFilter(const StatusFilter& filter)
{
    if (filter == m_statusFilter)
        return;
    m_statusFilter = filter;
    m_list->setStatusFilter(filter);
    if (!m_batching)
        recompute();
}

void ContentView::setSortOption(SortOption option)
{
    if (option == m_sortOption)
        return;
    m_sortOption = option;
    m_list->setSortOption(option);
    if (!m_batching)
        recompute();
}

void ContentView::updateDetail()
{
    JobApplication* record = selectedApplication();
    m_placeholder->setHasApplications(m_store.count() > 0);
    const RecordID shown = record ? record->id() : 0;
    if (shown == m_detailRecord && (record == nullptr || m_detailView)) {
        updatePublishedActions();
        return;
    }
    // A new view per record, so nothing of the previous record's view carries over.
    dropDetailView();
    m_detailRecord = shown;
    if (record) {
        const RecordID id = record->id();
        auto onDelete = [this, id] {
            if (JobApplication* application = m_store.application(id))
                requestDeletion(*application);
        };
        QWidget* view = m_detailFactory ? m_detailFactory(*record, onDelete) : new DetailSummaryView(*record);
        view->setObjectName(view->objectName().isEmpty() ? QStringLiteral("detailView") : view->objectName());
        m_detailView = view;
        m_detailStack->addWidget(view);
        m_detailStack->setCurrentWidget(view);
    } else {
        m_detailStack->setCurrentWidget(m_placeholder);
    }
    updatePublishedActions();
}

void ContentView::updatePublishedActions()
{
    using Key = FocusedActions::Key;
    if (selectedApplication())
        m_actions->publish(Key::deleteSelection, [this] { deleteSelection(); });
    else
        m_actions->withdraw(Key::deleteSelection);
    m_actions->publish(Key::exportBackup, m_exportBackup);
    m_actions->publish(Key::importBackup, m_importBackup);
    m_actions->publish(Key::importScreenshots, m_importScreenshots);
    m_actions->publish(Key::pastePosting, m_pastePosting);
}

void ContentView::createApplication()
{
    JobApplication* record = m_store.insert(JobApplication::makeBlank());
    record->appendFirstHistoryEntry();
    if (auto saved = m_store.save(); !saved)
        qWarning().noquote() << QStringLiteral("Yeni başvuru kaydedilemedi: ") + saved.error().description();

    {
        const QScopedValueRollback<bool> batching(m_batching, true);
        // Only a filter that would hide the new record is given up.
        if (!m_statusFilter.selects(*record))
            setStatusFilter(StatusFilter::all());
        m_searchField->clear();
        setSelectedID(record->id());
    }
    recompute();
}

void ContentView::saveIfNeeded()
{
    m_store.saveIfNeeded();
}

void ContentView::requestDeletion(JobApplication& application)
{
    if (m_pendingDeletion)
        return; // one confirmation at a time
    const RecordID id = application.id();
    m_pendingDeletion = id;
    const QString message
        = tr("%1 — %2. This cannot be undone.", "Delete confirmation; %1 is the company name, %2 the position")
              .arg(application.displayCompany(), application.displayPosition());
    const bool confirmed = confirm(tr("Delete this application?"), message);
    m_pendingDeletion.reset();
    // The record may have gone while the question was open.
    JobApplication* record = m_store.application(id);
    if (confirmed && record)
        deleteApplication(*record);
}

void ContentView::deleteSelection()
{
    if (JobApplication* record = selectedApplication())
        requestDeletion(*record);
}

void ContentView::deleteApplication(JobApplication& application)
{
    if (m_selectedID == application.id())
        setSelectedID(std::nullopt);
    m_store.remove(&application);
    saveIfNeeded();
}

bool ContentView::confirm(const QString& title, const QString& message)
{
    if (m_environment.confirmDeletion)
        return m_environment.confirmDeletion(title, message);
    QMessageBox box(window());
    box.setWindowModality(Qt::WindowModal);
    box.setIcon(QMessageBox::Warning);
    box.setText(title);
    box.setInformativeText(message);
    QPushButton* remove = box.addButton(tr("Delete"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(tr("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);
    box.exec();
    return box.clickedButton() == remove;
}

QList<JobApplication*> ContentView::addNewApplications(std::vector<std::unique_ptr<JobApplication>> applications)
{
    QList<JobApplication*> added;
    if (applications.empty())
        return added;
    for (auto& application : applications) {
        JobApplication* record = m_store.insert(std::move(application));
        record->appendFirstHistoryEntry();
        added.append(record);
    }
    saveIfNeeded();
    {
        const QScopedValueRollback<bool> batching(m_batching, true);
        setStatusFilter(StatusFilter::all());
        m_searchField->clear();
        setSelectedID(added.first()->id());
    }
    recompute();
    return added;
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

void ContentView::setImageFilesImporter(std::function<void(const QList<QUrl>&)> importer)
{
    m_importImageFiles = std::move(importer);
    m_list->setAcceptsImageDrops(bool(m_importImageFiles));
}

void ContentView::setDetailFactory(DetailFactory factory)
{
    m_detailFactory = std::move(factory);
    // Rebuild the shown view with the new factory.
    dropDetailView();
    m_detailRecord = 0;
    updateDetail();
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

void ContentView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange && m_searchIcon)
        m_searchIcon->setIcon(Symbols::icon(QStringLiteral("magnifyingglass"), Palette::secondaryText(palette())));
    QWidget::changeEvent(event);
}

void ContentView::openURL(const QUrl& url)
{
    if (m_environment.openURL)
        m_environment.openURL(url);
    else
        QDesktopServices::openUrl(url);
}
