// The shell: the application entry, its window, the menu commands with their
// shortcuts and enabled states, and the store-failure window.

#include "UiTestSupport.h"

#include "app/ApplicationCommands.h"
#include "app/ApplywrightApp.h"
#include "tracking/WindowState.h"
#include "ui/ApplicationListModel.h"
#include "ui/ApplicationListView.h"
#include "ui/DetailPlaceholder.h"
#include "ui/EmptyListOverlay.h"
#include "ui/StoreErrorView.h"

#include <QClipboard>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QStackedWidget>
#include <QTextBoundaryFinder>
#include <QToolButton>
#include <QTranslator>
#include <QtConcurrent/QtConcurrentRun>

#include <sqlite3.h>

using namespace UiTestSupport;

namespace {

// Everything about a folder's files that a change on disk would alter.
QStringList snapshot(const QString& folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        QString entry = info.filePath() + QLatin1Char(' ') + QString::number(info.size()) + QLatin1Char(' ')
            + QString::number(info.lastModified().toMSecsSinceEpoch());
        if (info.isFile()) {
            QFile file(info.filePath());
            if (file.open(QIODevice::ReadOnly))
                entry += QLatin1Char(' ')
                    + QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex());
        }
        entries.append(entry);
    }
    entries.sort();
    return entries;
}

bool execute(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(QFile::encodeName(path).constData(), &db) != SQLITE_OK)
        return false;
    sqlite3_busy_timeout(db, 2000);
    const bool ok = sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

} // namespace

class TestShell : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void windowShowsBeforeTheRecordsAreRead();
    void mainWindowAndMenus();
    void commandShortcuts_data();
    void commandShortcuts();
    void commandsFollowTheFocusedWindow();
    void deleteKeys_data();
    void deleteKeys();
    void editCommandsWorkOnTheFocusedField();
    void failureWindowTexts();
    void failureWindowWrapsPathsAtSeparators();
    void failureWindowRevealsTheFolderAndChangesNothing();
    void secondStartBringsTheRunningWindowForward();
    void quittingSavesOrAsks_data();
    void quittingSavesOrAsks();

private:
    std::unique_ptr<TestSupport::FixedClock> m_clock;
    std::unique_ptr<QTemporaryDir> m_dir;
    FakeDesktop m_desktop;

    std::unique_ptr<QMainWindow> showWindow(ApplywrightApp& app);
};

void TestShell::initTestCase()
{
    useTestLocale();
}

void TestShell::init()
{
    m_clock = std::make_unique<TestSupport::FixedClock>(testNow());
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_desktop = {};
}

void TestShell::cleanup()
{
    m_dir.reset();
    m_clock.reset();
}

std::unique_ptr<QMainWindow> TestShell::showWindow(ApplywrightApp& app)
{
    auto window = app.createWindow();
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get()))
        qWarning("window did not become active");
    return window;
}

void TestShell::windowShowsBeforeTheRecordsAreRead()
{
    {
        StoreLoader first = openStore(m_dir->path());
        for (int i = 0; i < 50; ++i)
            addRecord(*first.store(), QStringLiteral("Company %1").arg(i), QStringLiteral("Engineer"));
        QVERIFY(first.store()->save());
    }
    ApplywrightApp app(m_dir->path(), m_desktop.environment());
    Store& store = *app.storeLoader().store();
    auto window = app.createWindow();
    auto* content = window->findChild<ContentView*>();
    QVERIFY(content);
    // Until the event loop runs, the records are still being read: no rows, and
    // neither the empty-store overlay nor its placeholder flash up meanwhile.
    QVERIFY(!store.isLoaded());
    QCOMPARE(content->listView()->listView()->model()->rowCount(), 0);
    for (auto* overlay : window->findChildren<EmptyListOverlay*>())
        QVERIFY(!overlay->isVisibleTo(window.get()));
    auto* detail = window->findChild<QStackedWidget*>(QStringLiteral("detailColumn"));
    QVERIFY(detail);
    QVERIFY(detail->currentWidget() != content->detailPlaceholder());

    window->show();
    QTRY_VERIFY(store.isLoaded());
    QTRY_COMPARE(content->listView()->listView()->model()->rowCount(), 50);
    QCOMPARE(detail->currentWidget(), content->detailPlaceholder());
}

void TestShell::mainWindowAndMenus()
{
    ApplywrightApp app(m_dir->path(), m_desktop.environment());
    auto window = app.createWindow();
    QCOMPARE(window->windowTitle(), QStringLiteral("Applywright"));
    QVERIFY(qobject_cast<ContentView*>(window->centralWidget()));
    QVERIFY(app.hasTodayProvider());
    QCOMPARE(window->size(), QSize(1080, 720));
    window->resize(400, 300);
    QCOMPARE(window->size(), QSize(860, 560));

    auto* commands = window->findChild<ApplicationCommands*>();
    QVERIFY(commands);
    QCOMPARE(menuTexts(*commands->fileMenu()),
        (QStringList {QStringLiteral("New Application"), QStringLiteral("Save"), QStringLiteral("---"),
            QStringLiteral("Add from Screenshot\u2026"), QStringLiteral("Paste Job Posting"), QStringLiteral("---"),
            QStringLiteral("Import\u2026"), QStringLiteral("Export\u2026"),
            QStringLiteral("Export as Spreadsheet\u2026"), QStringLiteral("---"), QStringLiteral("Quit")}));
    QCOMPARE(menuTexts(*commands->editMenu()),
        (QStringList {QStringLiteral("Undo"), QStringLiteral("Redo"), QStringLiteral("---"), QStringLiteral("Cut"),
            QStringLiteral("Copy"), QStringLiteral("Paste"), QStringLiteral("Select All"), QStringLiteral("---"),
            QStringLiteral("Delete Application\u2026")}));
    // Every entry has an access key, none twice in one menu, in English and in Turkish.
    QTranslator turkish;
    for (QTranslator* translator : {static_cast<QTranslator*>(nullptr), &turkish}) {
        if (translator) {
            QVERIFY(turkish.load(QStringLiteral(":/i18n/applywright_tr.qm")));
            QCoreApplication::installTranslator(translator);
        }
        ApplywrightApp translatedApp(m_dir->path() + QStringLiteral("/other"), m_desktop.environment());
        auto translatedWindow = translatedApp.createWindow();
        auto* menus = translatedWindow->findChild<ApplicationCommands*>();
        for (QMenu* menu : {menus->fileMenu(), menus->editMenu(), menus->viewMenu(), menus->helpMenu()}) {
            QSet<QChar> keys;
            for (QAction* action : menu->actions()) {
                if (action->isSeparator())
                    continue;
                const qsizetype mark = action->text().indexOf(QLatin1Char('&'));
                QVERIFY2(mark >= 0 && mark + 1 < action->text().size(), qPrintable(action->text()));
                const QChar key = action->text().at(mark + 1).toLower();
                QVERIFY2(!keys.contains(key), qPrintable(action->text()));
                keys.insert(key);
            }
        }
        if (translator)
            QCoreApplication::removeTranslator(translator);
    }
    QCOMPARE(window->menuBar()->actions().size(), 4);
}

void TestShell::commandShortcuts_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QList<QKeySequence>>("shortcuts");
    QTest::newRow("new") << "newApplicationAction" << QList<QKeySequence> {QKeySequence(Qt::CTRL | Qt::Key_N)};
    QTest::newRow("save") << "saveAction" << QList<QKeySequence> {QKeySequence(Qt::CTRL | Qt::Key_S)};
    QTest::newRow("screenshots") << "addFromScreenshotAction"
                                 << QList<QKeySequence> {QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_O)};
    QTest::newRow("paste posting") << "pasteJobPostingAction"
                                   << QList<QKeySequence> {QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_V)};
    QTest::newRow("import") << "importAction" << QList<QKeySequence> {QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_I)};
    QTest::newRow("export") << "exportAction" << QList<QKeySequence> {QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_E)};
    QTest::newRow("delete") << "deleteApplicationAction"
                            << QList<QKeySequence> {QKeySequence(Qt::Key_Delete), QKeySequence(Qt::Key_Backspace)};
    QTest::newRow("insights") << "insightsAction" << QList<QKeySequence> {QKeySequence(Qt::CTRL | Qt::Key_I)};
    QTest::newRow("spreadsheet") << "exportSpreadsheetAction" << QList<QKeySequence> {};
    QTest::newRow("quit") << "quitAction" << QKeySequence::keyBindings(QKeySequence::Quit);
}

void TestShell::commandShortcuts()
{
    QFETCH(QString, action);
    QFETCH(QList<QKeySequence>, shortcuts);
    ApplywrightApp app(m_dir->path(), m_desktop.environment());
    auto window = app.createWindow();
    QAction* command = window->findChild<QAction*>(action);
    QVERIFY(command);
    QCOMPARE(command->shortcuts(), shortcuts);
    // On the window too, so the shortcut works wherever the focus is.
    QVERIFY(window->actions().contains(command));
}

void TestShell::commandsFollowTheFocusedWindow()
{
    ApplywrightApp app(m_dir->path(), m_desktop.environment());
    Store& store = *app.storeLoader().store();
    store.setAutosaveDelay(-1);
    addRecord(store, QStringLiteral("Acme"), QStringLiteral("Engineer"), ApplicationStatus::applied, 2);
    auto window = showWindow(app);
    auto* commands = window->findChild<ApplicationCommands*>();
    auto* content = window->findChild<ContentView*>();
    using Key = FocusedActions::Key;
    const auto enabled = [&](Key key) { return commands->action(key)->isEnabled(); };

    QVERIFY(enabled(Key::createApplication) && enabled(Key::saveChanges));
    QVERIFY(!enabled(Key::deleteSelection));
    // The backup, screenshot and paste flows come with every main window.
    for (Key key : {Key::exportBackup, Key::importBackup, Key::importScreenshots, Key::pastePosting,
             Key::exportSpreadsheet, Key::showInsights})
        QVERIFY2(enabled(key), QMetaEnum::fromType<Key>().valueToKey(int(key)));
    QTRY_COMPARE(content->state().visibleApplications().size(), 1);
    content->state().setSelectedID(content->state().visibleApplications().first()->id());
    QVERIFY(enabled(Key::deleteSelection));
    content->state().setSelectedID(std::nullopt);
    QVERIFY(!enabled(Key::deleteSelection));

    int pasted = 0;
    content->setPastePostingAction([&] { ++pasted; });
    QVERIFY(enabled(Key::pastePosting));
    commands->action(Key::pastePosting)->trigger();
    QTest::keyClick(window.get(), Qt::Key_V, Qt::ShiftModifier | Qt::ControlModifier);
    QCOMPARE(pasted, 2);
    // Ctrl+N creates and selects, also from the search field.
    QTest::keyClick(window.get(), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(store.count(), 2);
    QVERIFY(enabled(Key::deleteSelection));
    QTest::keyClick(content->searchField(), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(store.count(), 3);

    // Another window has the focus: every command is disabled and does nothing.
    QWidget other;
    other.resize(200, 100);
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    for (Key key : FocusedActions::keys)
        QVERIFY2(!enabled(key), QMetaEnum::fromType<Key>().valueToKey(int(key)));
    commands->action(Key::createApplication)->trigger();
    QCOMPARE(store.count(), 3);
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QVERIFY(enabled(Key::createApplication) && enabled(Key::deleteSelection));
}

void TestShell::deleteKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<bool>("hiddenSelection");
    QTest::addColumn<bool>("asks");
    const auto row = [](const char* name, Qt::Key key, Qt::KeyboardModifiers modifiers, const char* focus,
                         bool hiddenSelection, bool asks) {
        QTest::newRow(name) << int(key) << modifiers << QString::fromLatin1(focus) << hiddenSelection << asks;
    };
    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
    // On a control that is not a text field the window's command answers the key.
    row("Delete on a button", Qt::Key_Delete, none, "button", false, true);
    row("Backspace on a button", Qt::Key_Backspace, none, "button", false, true);
    row("Shift+Delete on a button", Qt::Key_Delete, shift, "button", false, false);
    row("Shift+Backspace on a button", Qt::Key_Backspace, shift, "button", false, false);
    row("Delete on the list", Qt::Key_Delete, none, "list", false, true);
    row("Backspace on the list", Qt::Key_Backspace, none, "list", false, true);
    row("Shift+Backspace on the list", Qt::Key_Backspace, shift, "list", false, false);
    row("Delete on the list, selection hidden", Qt::Key_Delete, none, "list", true, false);
    row("Backspace on the list, selection hidden", Qt::Key_Backspace, none, "list", true, false);
    // In a text field the keys edit the text ("acm", the cursor after "ac" for Delete).
    row("Delete in the search field", Qt::Key_Delete, none, "search", false, false);
    row("Backspace in the search field", Qt::Key_Backspace, none, "search", false, false);
}

void TestShell::deleteKeys()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, focus);
    QFETCH(bool, hiddenSelection);
    QFETCH(bool, asks);
    ApplywrightApp app(m_dir->path(), m_desktop.environment());
    Store& store = *app.storeLoader().store();
    JobApplication* open
        = addRecord(store, QStringLiteral("Acme"), QStringLiteral("Engineer"), ApplicationStatus::applied, 2);
    JobApplication* offer = addRecord(store, QStringLiteral("Offer"), QString(), ApplicationStatus::offer, 3);
    auto window = showWindow(app);
    auto* content = window->findChild<ContentView*>();
    QAction* remove = window->findChild<ApplicationCommands*>()->action(FocusedActions::Key::deleteSelection);
    QTRY_COMPARE(content->state().visibleApplications().size(), 2);
    content->state().setSelectedID((hiddenSelection ? offer : open)->id());
    if (hiddenSelection)
        content->state().setStatusFilter(StatusFilter::active());
    QWidget* button = content->listView()->filterButton();
    QWidget* target = focus == QLatin1String("list") ? content->listView()->listView()
        : focus == QLatin1String("search")           ? content->searchField()
                                                     : button;
    target->setFocus();
    QVERIFY(target->hasFocus());
    if (target == content->searchField()) {
        QTest::keyClicks(target, QStringLiteral("acm"));
        content->searchField()->setCursorPosition(key == Qt::Key_Delete ? 2 : 3);
    }
    m_desktop.answer = true;
    QTest::keyClick(target, Qt::Key(key), modifiers);
    QCOMPARE(m_desktop.asked.size(), asks ? 1 : 0);
    if (asks)
        QCOMPARE(m_desktop.asked.first().second, QStringLiteral("Acme — Engineer. This cannot be undone."));
    QCOMPARE(store.count(), asks ? 1 : 2);
    QCOMPARE(content->state().searchText(), target == content->searchField() ? QStringLiteral("ac") : QString());
    // A focused text field takes the keys, yet the menu entry keeps showing them.
    QCOMPARE(remove->isEnabled(), !asks);
    QCOMPARE(remove->shortcuts(), FocusedActions::shortcuts(FocusedActions::Key::deleteSelection));
}

void TestShell::editCommandsWorkOnTheFocusedField()
{
    ApplywrightApp app(m_dir->path(), m_desktop.environment());
    auto window = showWindow(app);
    auto* content = window->findChild<ContentView*>();
    QMenu* edit = window->findChild<ApplicationCommands*>()->editMenu();
    QLineEdit* field = content->searchField();
    field->setFocus();
    field->setText(QStringLiteral("hello"));
    Q_EMIT edit->aboutToShow();
    QAction* selectAll = window->findChild<QAction*>(QStringLiteral("selectAllAction"));
    QAction* copy = window->findChild<QAction*>(QStringLiteral("copyAction"));
    QVERIFY(selectAll->isEnabled());
    QVERIFY(!copy->isEnabled());
    selectAll->trigger();
    QCOMPARE(field->selectedText(), QStringLiteral("hello"));
    Q_EMIT edit->aboutToShow();
    QVERIFY(copy->isEnabled());

    content->listView()->listView()->setFocus();
    Q_EMIT edit->aboutToShow();
    QVERIFY(!selectAll->isEnabled());
    QVERIFY(!copy->isEnabled());
}

void TestShell::failureWindowTexts()
{
    QStringList lines;
    for (int i = 1; i <= 20; ++i)
        lines.append(QStringLiteral("line %1 of the failure").arg(i));
    const QString failure = lines.join(QLatin1Char('\n'));
    StoreErrorView view(failure, m_dir->path(), [](const QUrl&) {});
    QCOMPARE(view.findChild<QLabel*>(QStringLiteral("title"))->text(), QStringLiteral("Database Could Not Be Opened"));
    QCOMPARE(view.findChild<QLabel*>(QStringLiteral("storeErrorText"))->text(),
        QStringLiteral("Your applications are still on disk. Applywright could not open the database \u2014 this "
                       "usually happens after an update that changed the data format."));
#ifdef Q_OS_MACOS
    QCOMPARE(view.revealButton()->text(), QStringLiteral("Show Data Folder in Finder"));
#else
    QCOMPARE(view.revealButton()->text(), QStringLiteral("Show Data Folder in File Manager"));
#endif
    view.resize(1080, 720);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    // The failure shows at most eight lines, then "…"; the whole text is its tooltip.
    QLabel* message = view.messageLabel();
    const QString shown = message->text();
    QVERIFY(shown.startsWith(QStringLiteral("line 1 of the failure\nline 2")));
    QVERIFY(shown.contains(QStringLiteral("line 7 of the failure\nline 8")));
    QCOMPARE(shown.count(QLatin1Char('\n')), 7);
    QVERIFY(shown.endsWith(QChar(0x2026)));
    QCOMPARE(message->toolTip(), failure);
    QVERIFY(message->height() <= 8 * QFontMetrics(message->font()).lineSpacing());
    const QString eight = lines.mid(0, 8).join(QLatin1Char('\n'));
    QCOMPARE(StoreErrorView::elideToLines(eight, message->font(), 480, 8), eight);

    // It can be selected and copied, in a monospaced font (measured, not asked:
    // fontconfig does not flag every monospaced family as fixed pitch).
    QVERIFY(message->textInteractionFlags().testFlag(Qt::TextSelectableByMouse));
    QVERIFY(message->textInteractionFlags().testFlag(Qt::TextSelectableByKeyboard));
    const QFontMetricsF metrics(message->font());
    QCOMPARE(
        metrics.horizontalAdvance(QStringLiteral("iiii1111")), metrics.horizontalAdvance(QStringLiteral("WWWWMMMM")));
    message->setSelection(0, 8);
    QCOMPARE(message->selectedText(), QStringLiteral("line 1 o"));
}

// A path in the message breaks only after a separator, never inside a name at a
// hyphen or a space; copied, the message is the text itself.
void TestShell::failureWindowWrapsPathsAtSeparators()
{
    const QString path = QStringLiteral("/home/ayse-yilmaz/My Files/tst_store-GbiXEQ/Applywright.sqlite-wal");
    const QString failure = QStringLiteral("The database file “%1” cannot be written to, so changes could not be "
                                           "saved. It was left unchanged.")
                                .arg(path);
    StoreErrorView view(failure, m_dir->path(), [](const QUrl&) {});
    view.resize(1080, 720);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QString shown = view.messageLabel()->text();
    QCOMPARE(StoreErrorView::fromDisplay(shown), failure);

    const qsizetype pathStart = shown.indexOf(QChar(0x201C)) + 1;
    const qsizetype pathEnd = shown.indexOf(QChar(0x201D));
    QTextBoundaryFinder lines(QTextBoundaryFinder::Line, shown);
    QStringList breaks;
    for (qsizetype at = lines.toNextBoundary(); at > 0 && at < pathEnd; at = lines.toNextBoundary()) {
        if (at <= pathStart)
            continue;
        // Where a line may end inside the path: the text up to there, as copied.
        breaks.append(StoreErrorView::fromDisplay(shown.mid(pathStart, at - pathStart)));
    }
    QCOMPARE(breaks,
        (QStringList {QStringLiteral("/"), QStringLiteral("/home/"), QStringLiteral("/home/ayse-yilmaz/"),
            QStringLiteral("/home/ayse-yilmaz/My Files/"),
            QStringLiteral("/home/ayse-yilmaz/My Files/tst_store-GbiXEQ/")}));

    view.messageLabel()->setFocus();
    view.messageLabel()->setSelection(0, int(shown.size()));
    QTest::keySequence(view.messageLabel(), QKeySequence::Copy);
    QCOMPARE(QGuiApplication::clipboard()->text(), failure);
}

void TestShell::failureWindowRevealsTheFolderAndChangesNothing()
{
    {
        QFile file(QDir(m_dir->path()).filePath(QLatin1String(Store::databaseFileName)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray("not a database\n").repeated(100));
    }
    const QStringList before = snapshot(m_dir->path());
    ApplywrightApp app(m_dir->path(), m_desktop.environment());
    QVERIFY(!app.storeLoader().isReady());
    auto window = showWindow(app);
    auto* view = qobject_cast<StoreErrorView*>(window->centralWidget());
    QVERIFY(view);
    QCOMPARE(StoreErrorView::fromDisplay(view->messageLabel()->text()), app.storeLoader().message());
    QCOMPARE(window->minimumSize(), QSize(860, 560));
    // No day clock and no commands but Quit.
    QVERIFY(!app.hasTodayProvider());
    auto* commands = window->findChild<ApplicationCommands*>();
    for (FocusedActions::Key key : FocusedActions::keys)
        QVERIFY(!commands->action(key)->isEnabled());
    QVERIFY(commands->quitAction()->isEnabled());

    window->findChild<QPushButton*>(QStringLiteral("revealDataFolderButton"))->click();
    QCOMPARE(m_desktop.opened, (QList<QUrl> {QUrl::fromLocalFile(m_dir->path())}));
    window.reset();
    QCOMPARE(snapshot(m_dir->path()), before);
}

// A second start on the same data folder does not show a failure window: it asks
// the running copy to bring its window forward and ends. Only when no running copy
// answers does the failure window say that one is running.
void TestShell::secondStartBringsTheRunningWindowForward()
{
    ApplywrightApp first(m_dir->path(), m_desktop.environment());
    QVERIFY(first.storeLoader().isReady());
    auto window = showWindow(first);
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QVERIFY(!window->isActiveWindow());

    // The second start blocks while it waits for the answer, as its own process would;
    // this thread's event loop is the running copy's.
    QFuture<bool> second = QtConcurrent::run([this] {
        ApplywrightApp app(m_dir->path(), m_desktop.environment());
        return !app.storeLoader().isReady() && app.handedOverToRunningCopy();
    });
    QTRY_VERIFY_WITH_TIMEOUT(second.isFinished(), 10000);
    QVERIFY(second.result());
    QTRY_VERIFY(window->isActiveWindow());

    // A copy that holds the folder but cannot be reached: the failure window says so.
    window.reset();
    StoreLoader holder = openStore(m_dir->path() + QStringLiteral("/other"));
    QVERIFY(holder.isReady());
    ApplywrightApp unreachable(m_dir->path() + QStringLiteral("/other"), m_desktop.environment());
    QVERIFY(!unreachable.handedOverToRunningCopy());
    QCOMPARE(unreachable.storeLoader().failure(), StoreLoader::Failure::alreadyRunning);
    auto failureWindow = unreachable.createWindow();
    auto* view = qobject_cast<StoreErrorView*>(failureWindow->centralWidget());
    QVERIFY(view);
    QVERIFY(view->message().contains(QStringLiteral("already running")));
}

void TestShell::quittingSavesOrAsks_data()
{
    QTest::addColumn<bool>("diskFull");
    QTest::addColumn<QList<ApplywrightApp::QuitAnswer>>("answers");
    QTest::addColumn<bool>("saved");
    using Answer = ApplywrightApp::QuitAnswer;
    QTest::newRow("the save works: nothing to ask") << false << QList<Answer> {} << true;
    QTest::newRow("full disk, space freed, try again")
        << true << QList<Answer> {Answer::tryAgain, Answer::tryAgain} << true;
    QTest::newRow("full disk, quit without saving") << true << QList<Answer> {Answer::quitWithoutSaving} << false;
}

// Quitting saves pending edits first; when that save fails the person is asked,
// with the reason, instead of losing the edits with only a log line.
void TestShell::quittingSavesOrAsks()
{
    QFETCH(bool, diskFull);
    QFETCH(QList<ApplywrightApp::QuitAnswer>, answers);
    QFETCH(bool, saved);
    ApplywrightApp app(m_dir->path(), m_desktop.environment());
    Store& store = *app.storeLoader().store();
    store.setAutosaveDelay(-1);
    QVERIFY(store.ensureLoaded());
    JobApplication* record = addRecord(store, QStringLiteral("Acme"));
    QVERIFY(store.save());
    auto window = showWindow(app);
    record->setNotes(QStringLiteral("typed just before quitting"));
    const QString path = store.databasePath();
    if (diskFull)
        QVERIFY(execute(path,
            "CREATE TRIGGER refuse BEFORE UPDATE ON JobApplication BEGIN SELECT RAISE(ABORT, 'disk is full'); END"));

    // Each answer in turn; space is freed just before the last "Try Again".
    QStringList reasons;
    app.setSaveFailureQuestion([&](QWidget* asking, const QString& reason) {
        reasons.append(reason);
        if (asking != window.get())
            reasons.append(QStringLiteral("asked over the wrong window"));
        const auto answer = answers.value(reasons.size() - 1, ApplywrightApp::QuitAnswer::quitWithoutSaving);
        if (reasons.size() == answers.size() && answer == ApplywrightApp::QuitAnswer::tryAgain)
            execute(path, "DROP TRIGGER refuse");
        return answer;
    });
    for (qsizetype i = 0; i < answers.size(); ++i)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Kaydedilemedi: .*disk is full")));
    QVERIFY(window->close());
    QVERIFY(!window->isVisible());
    QCOMPARE(reasons.size(), qsizetype(answers.size()));
    for (const QString& reason : reasons)
        QVERIFY2(reason.contains(QStringLiteral("disk is full")), qPrintable(reason));
    QCOMPARE(store.hasChanges(), !saved);
    execute(path, "DROP TRIGGER IF EXISTS refuse");
}

QTEST_MAIN(TestShell)
#include "tst_ui_shell.moc"
