#include "app/ApplywrightApp.h"

#include "app/ApplicationCommands.h"
#include "app/RunningInstance.h"
#include "posting/ScreenshotTextRecognizer.h"
#include "store/Store.h"
#include "tracking/FollowUpReminder.h"
#include "tracking/TodayProvider.h"
#include "tracking/WindowState.h"
#include "ui/AboutDialog.h"
#include "ui/BackupFlow.h"
#include "ui/BoardView.h"
#include "ui/InsightsWindow.h"
#include "ui/MailImportFlow.h"
#include "ui/PostingImportFlow.h"
#include "ui/StoreErrorView.h"

#include <QAction>
#include <QActionGroup>
#include <QDebug>
#include <QEvent>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTimer>

namespace {

QList<QUrl> fileUrls(const QStringList& files)
{
    QList<QUrl> urls;
    for (const QString& file : files)
        urls.append(QUrl::fromLocalFile(file));
    return urls;
}

} // namespace

ApplywrightApp::ApplywrightApp(
    const QString& dataDirectory, ContentView::Environment environment, QStringList imageFiles, QObject* parent)
    : QObject(parent)
    , m_dataDirectory(dataDirectory.isEmpty() ? defaultDataDirectory() : dataDirectory)
    , m_loader(openStore(m_dataDirectory, StoreLoading::withFirstFrame))
    , m_environment(std::move(environment))
    , m_imageFiles(std::move(imageFiles))
{
    if (m_loader.isReady()) {
        m_runningInstance = std::make_unique<RunningInstance>(m_dataDirectory, [this](const QStringList& files) {
            bringWindowForward();
            importImageFiles(files);
        });
    } else if (m_loader.failure() == StoreLoader::Failure::alreadyRunning) {
        // The failure window is for a copy that cannot be reached.
        m_handedOver = RunningInstance::activateRunningCopy(m_dataDirectory, m_imageFiles);
    }
}

ApplywrightApp::~ApplywrightApp() = default;

QSize ApplywrightApp::firstWindowSize(const QSize& available)
{
    // Room for the title bar and the frame, which the window manager adds outside.
    const QSize frame(16, 48);
    const QSize room = (available - frame).expandedTo(QSize(minimumWidth, minimumHeight));
    return QSize(defaultWidth, defaultHeight).boundedTo(room);
}

TodayProvider* ApplywrightApp::todayProvider()
{
    if (!m_today)
        m_today = std::make_unique<TodayProvider>();
    return m_today.get();
}

std::unique_ptr<QMainWindow> ApplywrightApp::createWindow()
{
    auto window = std::make_unique<QMainWindow>();
    window->setObjectName(QStringLiteral("mainWindow"));
    window->setWindowTitle(tr("Applywright"));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window->resize(firstWindowSize(screen->availableGeometry().size()));
    else
        window->resize(defaultWidth, defaultHeight);
    window->setMinimumSize(minimumWidth, minimumHeight);

    ContentView* content = nullptr;
    if (m_loader.isReady()) {
        content = buildContent(*window);
    } else {
        // The day clock is not needed, and so never made, on this path.
        window->setCentralWidget(
            new StoreErrorView(m_loader.message(), m_dataDirectory, m_environment.openURL, window.get()));
    }
    auto* commands = new ApplicationCommands(*window, content ? content->focusedActions() : nullptr);
    connect(commands->aboutAction(), &QAction::triggered, this, &ApplywrightApp::showAbout);
    if (content)
        addViewChoice(*window, *commands->viewMenu(), *content);
    if (m_reminder)
        addReminderChoice(*commands->viewMenu());
    m_window = window.get();
    window->installEventFilter(this);
    return window;
}

ContentView* ApplywrightApp::buildContent(QMainWindow& window)
{
    auto* content = new ContentView(*m_loader.store(), *todayProvider(), m_environment, &window);
    // Backups, screenshots, drops and the clipboard: every remaining command.
    new BackupFlow(*content, *m_loader.store(), DesktopPanels {}, content);
    m_imports = new PostingImportFlow(*content, DesktopPanels {}, nullptr, content);
    // Files from the command line: once the window shows.
    if (!m_imageFiles.isEmpty()) {
        PostingImportFlow* imports = m_imports;
        QMetaObject::invokeMethod(
            imports, [imports, urls = fileUrls(std::exchange(m_imageFiles, {}))] { imports->openFiles(urls); },
            Qt::QueuedConnection);
    }
    new SpreadsheetFlow(*content, *m_loader.store(), m_spreadsheetPanels, content);
    new MailImportFlow(*content, DesktopPanels {}, content);
    QMainWindow* owner = &window;
    content->setShowInsightsAction([content, owner] {
        // One insights window per main window, kept (hidden) once closed.
        auto* insights = owner->findChild<InsightsWindow*>();
        if (!insights)
            insights = new InsightsWindow(content->state(), owner);
        insights->show();
        insights->raise();
        insights->activateWindow();
    });
    if (m_settings && m_notifier) {
        m_reminder = new FollowUpReminder(*m_loader.store(), *todayProvider(), *m_settings, *m_notifier, content);
        connect(m_reminder, &FollowUpReminder::activated, content, [this, content] {
            bringWindowForward();
            revealFollowUps(content->state());
        });
    }
    window.setCentralWidget(content);
    content->setFocus();
    checkLoadOnceChecked(window);
    return content;
}

// The records are read while the window paints, and the file is checked for damage
// once they show. Should either fail, the window turns into the failure window;
// nothing has been written by then, and nothing is afterwards.
void ApplywrightApp::checkLoadOnceChecked(QMainWindow& window)
{
    QMainWindow* shown = &window;
    Store* store = m_loader.store();
    const auto checkLoad = [this, shown, store] {
        if (auto loaded = store->ensureLoaded(); !loaded) {
            shown->setCentralWidget(
                new StoreErrorView(loaded.error().description(), m_dataDirectory, m_environment.openURL, shown));
        }
    };
    if (store->isChecked())
        checkLoad();
    else
        connect(store, &Store::checked, shown, checkLoad, Qt::SingleShotConnection);
}

void ApplywrightApp::addReminderChoice(QMenu& menu)
{
    QAction* remind = menu.addAction(tr("Follow-up &Notifications"));
    remind->setObjectName(QStringLiteral("followUpNotificationsAction"));
    remind->setCheckable(true);
    remind->setChecked(m_reminder->isEnabled());
    connect(remind, &QAction::toggled, m_reminder, &FollowUpReminder::setEnabled);
    connect(m_reminder, &FollowUpReminder::enabledChanged, remind, &QAction::setChecked);
}

void ApplywrightApp::addViewChoice(QMainWindow& window, QMenu& menu, ContentView& content)
{
    menu.addSeparator();
    auto* group = new QActionGroup(&menu);
    const auto add = [&](const QString& text, const char* name, Qt::Key key) {
        QAction* action = menu.addAction(text);
        action->setObjectName(QLatin1String(name));
        action->setCheckable(true);
        action->setShortcut(QKeySequence(Qt::CTRL | key));
        action->setShortcutContext(Qt::WindowShortcut);
        group->addAction(action);
        // Its shortcut works wherever the focus is, as the commands' do.
        window.addAction(action);
        return action;
    };
    QAction* board = add(tr("&Board"), "boardViewAction", Qt::Key_1);
    QAction* list = add(tr("&List"), "listViewAction", Qt::Key_2);
    QSettings* settings = m_settings;
    if (settings) {
        connect(&content, &ContentView::boardMade, settings, [settings](BoardView* made) {
            made->setShowsClosedColumns(settings->value(closedColumnsKey, made->showsClosedColumns()).toBool());
            connect(made, &BoardView::showsClosedColumnsChanged, settings,
                [settings](bool shown) { settings->setValue(closedColumnsKey, shown); });
        });
    }
    const bool remembered = settings && settings->value(boardShownKey).toBool();
    content.setBoardShown(remembered);
    (remembered ? board : list)->setChecked(true);
    connect(board, &QAction::triggered, &content, [&content] { content.setBoardShown(true); });
    connect(list, &QAction::triggered, &content, [&content] { content.setBoardShown(false); });
    connect(&content, &ContentView::boardShownChanged, board, [board, list, settings](bool shown) {
        (shown ? board : list)->setChecked(true);
        if (settings)
            settings->setValue(boardShownKey, shown);
    });
}

void ApplywrightApp::prepareRecognitionWhenIdle()
{
    // The failure window imports nothing.
    if (!m_loader.isReady())
        return;
    // Started from this (the main) thread, which the worker may not outlive; starting
    // a process is all it does here.
    const auto prepareSoon = [this] {
        QTimer::singleShot(recognitionWarmUpDelayMs, this, [] { ScreenshotTextRecognizer::prepareWorker(); });
    };
    Store* store = m_loader.store();
    if (store->isLoaded())
        prepareSoon();
    else
        connect(store, &Store::loaded, this, prepareSoon, Qt::SingleShotConnection);
}

void ApplywrightApp::setFollowUpReminders(QSettings& settings, FollowUpNotifier& notifier)
{
    m_settings = &settings;
    m_notifier = &notifier;
}

FollowUpReminder* ApplywrightApp::followUpReminder() const
{
    return m_reminder;
}

void ApplywrightApp::bringWindowForward()
{
    if (!m_window)
        return;
    m_window->show();
    m_window->setWindowState((m_window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    m_window->raise();
    m_window->activateWindow();
}

void ApplywrightApp::importImageFiles(const QStringList& files)
{
    // The failure window imports nothing; it says why the records cannot be reached.
    if (m_imports)
        m_imports->openFiles(fileUrls(files));
}

void ApplywrightApp::showAbout()
{
    if (!m_window)
        return;
    // One at a time: a second choice of the item brings the open one forward.
    if (auto* open = m_window->findChild<AboutDialog*>(); open && open->isVisible()) {
        open->raise();
        open->activateWindow();
        return;
    }
    auto* about = new AboutDialog(m_dataDirectory, m_environment.openURL, m_window);
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->open();
}

bool ApplywrightApp::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Close && watched == m_window)
        saveBeforeQuitting(m_window);
    // The window's first frame is drawn once this paint and its children's are done.
    // The records are read meanwhile: a read beside the painting holds the frame up
    // less than one beside the window's construction, and the first rows come as soon.
    if (event->type() == QEvent::Paint && watched == m_window && !m_readingAsked && m_loader.isReady()) {
        m_readingAsked = true;
        m_loader.store()->beginReading();
    }
    return QObject::eventFilter(watched, event);
}

void ApplywrightApp::saveBeforeQuitting(QWidget* window)
{
    if (!m_loader.isReady())
        return;
    Store& store = *m_loader.store();
    // Nothing is ever written into a file whose records could not be read.
    if (!store.ensureLoaded())
        return;
    while (store.hasChanges()) {
        const auto saved = store.save();
        if (saved)
            return;
        qWarning().noquote() << QStringLiteral("Kaydedilemedi: ") + saved.error().description();
        if (askAfterFailedSave(window, saved.error().description()) == QuitAnswer::quitWithoutSaving)
            return;
    }
}

ApplywrightApp::QuitAnswer ApplywrightApp::askAfterFailedSave(QWidget* window, const QString& reason) const
{
    if (m_saveFailureQuestion)
        return m_saveFailureQuestion(window, reason);
    QMessageBox box(window);
    box.setWindowModality(Qt::WindowModal);
    box.setIcon(QMessageBox::Warning);
    box.setText(tr("Your changes could not be saved."));
    box.setInformativeText(reason);
    QPushButton* again = box.addButton(tr("Try Again"), QMessageBox::AcceptRole);
    QPushButton* discard = box.addButton(tr("Quit Without Saving"), QMessageBox::DestructiveRole);
    box.setDefaultButton(again);
    box.exec();
    return box.clickedButton() == discard ? QuitAnswer::quitWithoutSaving : QuitAnswer::tryAgain;
}
