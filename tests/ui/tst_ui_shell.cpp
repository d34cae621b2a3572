// The shell: the application entry, its window, the menu commands with their
// shortcuts and enabled states, and the store-failure window.

#include "UiTestSupport.h"

#include "app/ApplicationCommands.h"
#include "app/ApplywrightApp.h"
#include <QStackedWidget>
#include "ui/DetailPlaceholder.h"
#include "ui/EmptyListOverlay.h"
#include "ui/ApplicationListModel.h"
#include "ui/ApplicationListView.h"
#include "ui/ContentView.h"
#include "ui/Palette.h"
#include "ui/StoreErrorView.h"

#include <QAction>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace UiTestSupport;

namespace {

QStringList menuTexts(const QMenu& menu)
{
    QStringList texts;
    for (QAction* action : menu.actions())
        texts.append(action->isSeparator() ? QStringLiteral("---") : action->text());
    return texts;
}

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

void writeBrokenDatabase(const QString& folder)
{
    QFile file(QDir(folder).filePath(QLatin1String(Store::databaseFileName)));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("not a database\n").repeated(100));
}

} // namespace

class TestShell : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void mainWindowDefaults();
    void windowShowsBeforeTheRecordsAreRead();
    void menusHoldEveryCommandInOrder();
    void commandShortcuts_data();
    void commandShortcuts();
    void commandsAreNamedAndAddedToTheWindow();
    void commandsFollowWhatTheFocusedWindowPublishes();
    void commandsAreDisabledWithoutAFocusedMainWindow();
    void controlNCreatesThroughTheCommand();
    void deleteKeysAskToDeleteTheSelection_data();
    void deleteKeysAskToDeleteTheSelection();
    void backspaceInTheSearchFieldEditsText();
    void deleteOnTheListWithAHiddenSelectionDoesNothing();
    void editCommandsWorkOnTheFocusedField();
    void failureWindowTexts();
    void failureWindowMessageIsSelectableMonospaced();
    void failureWindowElidesBeyondEightLines();
    void failureWindowRevealsTheFolderAndChangesNothing();
    void failureWindowHasNoDayClockAndNoCommands();

private:
    std::unique_ptr<TestSupport::FixedClock> m_clock;
    std::unique_ptr<QTemporaryDir> m_dir;
    QList<std::pair<QString, QString>> m_asked;
    QList<QUrl> m_opened;
    bool m_answer = false;

    ContentView::Environment environment();
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
    m_asked.clear();
    m_opened.clear();
    m_answer = false;
}

void TestShell::cleanup()
{
    m_dir.reset();
    m_clock.reset();
}

ContentView::Environment TestShell::environment()
{
    ContentView::Environment env;
    env.confirmDeletion = [this](const QString& title, const QString& message) {
        m_asked.append({title, message});
        return m_answer;
    };
    env.openURL = [this](const QUrl& url) { m_opened.append(url); };
    return env;
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

void TestShell::mainWindowDefaults()
{
    ApplywrightApp app(m_dir->path(), environment());
    QVERIFY(app.storeLoader().isReady());
    QVERIFY(!app.hasTodayProvider());
    auto window = app.createWindow();
    QVERIFY(app.hasTodayProvider());
    QCOMPARE(window->windowTitle(), QStringLiteral("Applywright"));
    QCOMPARE(window->size(), QSize(1080, 720));
    QCOMPARE(window->minimumSize(), QSize(860, 560));
    QVERIFY(qobject_cast<ContentView*>(window->centralWidget()));
    window->resize(400, 300);
    QCOMPARE(window->size(), QSize(860, 560));
}

void TestShell::windowShowsBeforeTheRecordsAreRead()
{
    {
        StoreLoader first = openStore(m_dir->path());
        for (int i = 0; i < 50; ++i)
            addRecord(*first.store(), QStringLiteral("Company %1").arg(i), QStringLiteral("Engineer"));
        QVERIFY(first.store()->save());
    }
    ApplywrightApp app(m_dir->path(), environment());
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

void TestShell::menusHoldEveryCommandInOrder()
{
    ApplywrightApp app(m_dir->path(), environment());
    auto window = app.createWindow();
    auto* commands = window->findChild<ApplicationCommands*>();
    QVERIFY(commands);
    QCOMPARE(menuTexts(*commands->fileMenu()),
        (QStringList {QStringLiteral("New Application"), QStringLiteral("Save"), QStringLiteral("---"),
            QStringLiteral("Add from Screenshot\u2026"), QStringLiteral("Paste Job Posting"), QStringLiteral("---"),
            QStringLiteral("Import\u2026"), QStringLiteral("Export\u2026"), QStringLiteral("---"),
            QStringLiteral("&Quit")}));
    const QStringList edit = menuTexts(*commands->editMenu());
    QCOMPARE(
        edit.mid(edit.size() - 2), (QStringList {QStringLiteral("---"), QStringLiteral("Delete Application\u2026")}));
    QCOMPARE(edit.mid(0, 7),
        (QStringList {QStringLiteral("&Undo"), QStringLiteral("&Redo"), QStringLiteral("---"), QStringLiteral("Cu&t"),
            QStringLiteral("&Copy"), QStringLiteral("&Paste"), QStringLiteral("Select &All")}));
    QCOMPARE(window->menuBar()->actions().size(), 2);
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
    QTest::newRow("quit") << "quitAction" << QKeySequence::keyBindings(QKeySequence::Quit);
}

void TestShell::commandShortcuts()
{
    QFETCH(QString, action);
    QFETCH(QList<QKeySequence>, shortcuts);
    ApplywrightApp app(m_dir->path(), environment());
    auto window = app.createWindow();
    QAction* command = window->findChild<QAction*>(action);
    QVERIFY(command);
    QCOMPARE(command->shortcuts(), shortcuts);
}

void TestShell::commandsAreNamedAndAddedToTheWindow()
{
    ApplywrightApp app(m_dir->path(), environment());
    auto window = app.createWindow();
    auto* commands = window->findChild<ApplicationCommands*>();
    const QList<QAction*> onWindow = window->actions();
    for (FocusedActions::Key key : FocusedActions::keys) {
        QAction* command = commands->action(key);
        QVERIFY(command);
        QVERIFY(!command->objectName().isEmpty());
        QVERIFY2(onWindow.contains(command), qPrintable(command->objectName()));
    }
    QVERIFY(onWindow.contains(commands->quitAction()));
}

void TestShell::commandsFollowWhatTheFocusedWindowPublishes()
{
    ApplywrightApp app(m_dir->path(), environment());
    Store& store = *app.storeLoader().store();
    store.setAutosaveDelay(-1);
    addRecord(store, QStringLiteral("Acme"), QStringLiteral("Engineer"), ApplicationStatus::applied, 2);
    auto window = showWindow(app);
    auto* commands = window->findChild<ApplicationCommands*>();
    auto* content = window->findChild<ContentView*>();
    using Key = FocusedActions::Key;

    QVERIFY(commands->action(Key::createApplication)->isEnabled());
    QVERIFY(commands->action(Key::saveChanges)->isEnabled());
    QVERIFY(!commands->action(Key::deleteSelection)->isEnabled());
    // Not yet provided by the window: in the menus, but disabled.
    for (Key key : {Key::exportBackup, Key::importBackup, Key::importScreenshots, Key::pastePosting})
        QVERIFY(!commands->action(key)->isEnabled());

    content->setSelectedID(content->visibleApplications().first()->id());
    QVERIFY(commands->action(Key::deleteSelection)->isEnabled());
    content->setSelectedID(std::nullopt);
    QVERIFY(!commands->action(Key::deleteSelection)->isEnabled());

    int pasted = 0;
    content->setPastePostingAction([&] { ++pasted; });
    QVERIFY(commands->action(Key::pastePosting)->isEnabled());
    commands->action(Key::pastePosting)->trigger();
    QCOMPARE(pasted, 1);
    QTest::keyClick(window.get(), Qt::Key_V, Qt::ShiftModifier | Qt::ControlModifier);
    QCOMPARE(pasted, 2);
}

void TestShell::commandsAreDisabledWithoutAFocusedMainWindow()
{
    ApplywrightApp app(m_dir->path(), environment());
    auto window = showWindow(app);
    auto* commands = window->findChild<ApplicationCommands*>();
    auto* content = window->findChild<ContentView*>();
    content->createApplication();
    QVERIFY(commands->action(FocusedActions::Key::deleteSelection)->isEnabled());

    QWidget other;
    other.resize(200, 100);
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    for (FocusedActions::Key key : FocusedActions::keys)
        QVERIFY2(!commands->action(key)->isEnabled(), QMetaEnum::fromType<FocusedActions::Key>().valueToKey(int(key)));
    // A disabled command does nothing, also by its shortcut.
    const qsizetype before = app.storeLoader().store()->count();
    commands->action(FocusedActions::Key::createApplication)->trigger();
    QCOMPARE(app.storeLoader().store()->count(), before);

    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QVERIFY(commands->action(FocusedActions::Key::createApplication)->isEnabled());
    QVERIFY(commands->action(FocusedActions::Key::deleteSelection)->isEnabled());
}

void TestShell::controlNCreatesThroughTheCommand()
{
    ApplywrightApp app(m_dir->path(), environment());
    auto window = showWindow(app);
    auto* content = window->findChild<ContentView*>();
    QTest::keyClick(window.get(), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(app.storeLoader().store()->count(), 1);
    QVERIFY(content->selectedApplication());
    QTest::keyClick(content->searchField(), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(app.storeLoader().store()->count(), 2);
}

void TestShell::deleteKeysAskToDeleteTheSelection_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Delete") << int(Qt::Key_Delete);
    QTest::newRow("Backspace") << int(Qt::Key_Backspace);
}

void TestShell::deleteKeysAskToDeleteTheSelection()
{
    QFETCH(int, key);
    ApplywrightApp app(m_dir->path(), environment());
    addRecord(
        *app.storeLoader().store(), QStringLiteral("Acme"), QStringLiteral("Engineer"), ApplicationStatus::applied, 2);
    auto window = showWindow(app);
    auto* content = window->findChild<ContentView*>();
    content->setSelectedID(content->visibleApplications().first()->id());

    // Focus on a control that is not a text field: the window's command answers the key.
    QToolButton* filter = content->listView()->filterButton();
    filter->setFocus();
    QVERIFY(filter->hasFocus());
    m_answer = true;
    QTest::keyClick(filter, Qt::Key(key));
    QCOMPARE(m_asked.size(), 1);
    QCOMPARE(m_asked.first().second, QStringLiteral("Acme — Engineer. This cannot be undone."));
    QCOMPARE(app.storeLoader().store()->count(), 0);

    // With a modifier it is not the command.
    addRecord(*app.storeLoader().store(), QStringLiteral("Beta"), QString(), ApplicationStatus::applied, 1);
    QTRY_COMPARE(content->visibleApplications().size(), 1);
    content->setSelectedID(content->visibleApplications().first()->id());
    filter->setFocus();
    QTest::keyClick(filter, Qt::Key(key), Qt::ShiftModifier);
    QCOMPARE(m_asked.size(), 1);
}

void TestShell::backspaceInTheSearchFieldEditsText()
{
    ApplywrightApp app(m_dir->path(), environment());
    addRecord(*app.storeLoader().store(), QStringLiteral("Acme"), QString(), ApplicationStatus::applied, 2);
    auto window = showWindow(app);
    auto* content = window->findChild<ContentView*>();
    auto* commands = window->findChild<ApplicationCommands*>();
    QAction* remove = commands->action(FocusedActions::Key::deleteSelection);
    content->setSelectedID(content->visibleApplications().first()->id());
    QVERIFY(remove->isEnabled());

    QLineEdit* field = content->searchField();
    field->setFocus();
    QVERIFY(field->hasFocus());
    QTest::keyClicks(field, QStringLiteral("acm"));
    QCOMPARE(field->text(), QStringLiteral("acm"));
    QTest::keyClick(field, Qt::Key_Backspace);
    QCOMPARE(field->text(), QStringLiteral("ac"));
    field->setCursorPosition(0);
    QTest::keyClick(field, Qt::Key_Delete);
    QCOMPARE(field->text(), QStringLiteral("c"));
    QVERIFY(m_asked.isEmpty());
    QCOMPARE(app.storeLoader().store()->count(), 1);
    // The command keeps its menu entry but gives its keys to the text field.
    QVERIFY(remove->isEnabled());
    QVERIFY(remove->shortcuts().isEmpty());

    content->listView()->filterButton()->setFocus();
    QCOMPARE(remove->shortcuts(), FocusedActions::shortcuts(FocusedActions::Key::deleteSelection));
}

void TestShell::deleteOnTheListWithAHiddenSelectionDoesNothing()
{
    ApplywrightApp app(m_dir->path(), environment());
    Store& store = *app.storeLoader().store();
    addRecord(store, QStringLiteral("Open"), QString(), ApplicationStatus::applied, 2);
    JobApplication* offer = addRecord(store, QStringLiteral("Offer"), QString(), ApplicationStatus::offer, 3);
    auto window = showWindow(app);
    auto* content = window->findChild<ContentView*>();
    content->setSelectedID(offer->id());
    content->setStatusFilter(StatusFilter::active());
    QListView* list = content->listView()->listView();
    list->setFocus();
    m_answer = true;
    QTest::keyClick(list, Qt::Key_Delete);
    QTest::keyClick(list, Qt::Key_Backspace);
    QVERIFY(m_asked.isEmpty());
    QCOMPARE(store.count(), 2);

    // Visible again: the same key asks.
    content->setStatusFilter(StatusFilter::all());
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(m_asked.size(), 1);
    QCOMPARE(store.count(), 1);
}

void TestShell::editCommandsWorkOnTheFocusedField()
{
    ApplywrightApp app(m_dir->path(), environment());
    auto window = showWindow(app);
    auto* content = window->findChild<ContentView*>();
    auto* commands = window->findChild<ApplicationCommands*>();
    QLineEdit* field = content->searchField();
    field->setFocus();
    field->setText(QStringLiteral("hello"));
    Q_EMIT commands->editMenu()->aboutToShow();
    QAction* selectAll = window->findChild<QAction*>(QStringLiteral("selectAllAction"));
    QAction* copy = window->findChild<QAction*>(QStringLiteral("copyAction"));
    QVERIFY(selectAll->isEnabled());
    QVERIFY(!copy->isEnabled());
    selectAll->trigger();
    QCOMPARE(field->selectedText(), QStringLiteral("hello"));
    Q_EMIT commands->editMenu()->aboutToShow();
    QVERIFY(copy->isEnabled());

    content->listView()->listView()->setFocus();
    Q_EMIT commands->editMenu()->aboutToShow();
    QVERIFY(!selectAll->isEnabled());
    QVERIFY(!copy->isEnabled());
}

void TestShell::failureWindowTexts()
{
    StoreErrorView view(QStringLiteral("schema 2.0.0 is not supported"), m_dir->path(), [](const QUrl&) {});
    QCOMPARE(view.findChild<QLabel*>(QStringLiteral("title"))->text(), QStringLiteral("Database Could Not Be Opened"));
    QCOMPARE(view.findChild<QLabel*>(QStringLiteral("storeErrorText"))->text(),
        QStringLiteral("Your applications are still on disk. Applywright could not open the database \u2014 this "
                       "usually happens after an update that changed the data format."));
    QCOMPARE(view.messageLabel()->text(), QStringLiteral("schema 2.0.0 is not supported"));
#ifdef Q_OS_MACOS
    QCOMPARE(view.revealButton()->text(), QStringLiteral("Show Data Folder in Finder"));
#else
    QCOMPARE(view.revealButton()->text(), QStringLiteral("Show Data Folder in File Manager"));
#endif
    QWidget* description = view.findChild<QWidget*>(QStringLiteral("storeErrorDescription"));
    QVERIFY(description);
    view.resize(1080, 720);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QVERIFY(description->width() <= StoreErrorView::descriptionWidth);
    // 14 between the text and the message box, which has 10 of padding.
    QWidget* box = view.findChild<QWidget*>(QStringLiteral("storeErrorMessageBox"));
    QLabel* text = view.findChild<QLabel*>(QStringLiteral("storeErrorText"));
    QCOMPARE(box->geometry().top() - text->geometry().bottom() - 1, StoreErrorView::descriptionSpacing);
    QCOMPARE(view.messageLabel()->geometry().left(), StoreErrorView::messagePadding);
    QCOMPARE(view.messageLabel()->geometry().top(), StoreErrorView::messagePadding);
    // Centred in the window.
    const QPoint centre = description->mapTo(&view, description->rect().center());
    QVERIFY(std::abs(centre.x() - view.width() / 2) <= 1);
}

void TestShell::failureWindowMessageIsSelectableMonospaced()
{
    StoreErrorView view(QStringLiteral("disk I/O error"), m_dir->path(), [](const QUrl&) {});
    QLabel* message = view.messageLabel();
    QVERIFY(message->textInteractionFlags().testFlag(Qt::TextSelectableByMouse));
    QVERIFY(message->textInteractionFlags().testFlag(Qt::TextSelectableByKeyboard));
    QVERIFY(message->focusPolicy() != Qt::NoFocus);
    // Measured, not asked: fontconfig does not flag every monospaced family (Noto
    // Sans Mono among them) as fixed pitch.
    const QFontMetricsF metrics(message->font());
    QCOMPARE(metrics.horizontalAdvance(QStringLiteral("iiii1111")), metrics.horizontalAdvance(QStringLiteral("WWWWMMMM")));
    QCOMPARE(message->font().pointSizeF(), Palette::font(Palette::TextStyle::caption, view.font()).pointSizeF());
    QCOMPARE(message->palette().color(QPalette::WindowText), Palette::secondaryText(view.palette()));
    message->setSelection(0, int(message->text().size()));
    QCOMPARE(message->selectedText(), QStringLiteral("disk I/O error"));
}

void TestShell::failureWindowElidesBeyondEightLines()
{
    QStringList lines;
    for (int i = 1; i <= 20; ++i)
        lines.append(QStringLiteral("line %1 of the failure").arg(i));
    const QString message = lines.join(QLatin1Char('\n'));
    StoreErrorView view(message, m_dir->path(), [](const QUrl&) {});
    view.resize(1080, 720);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QString shown = view.messageLabel()->text();
    QVERIFY(shown.startsWith(QStringLiteral("line 1 of the failure\nline 2")));
    QVERIFY(shown.contains(QStringLiteral("line 7 of the failure\nline 8")));
    QVERIFY(!shown.contains(QStringLiteral("line 9 of the failure\n")));
    QVERIFY(shown.endsWith(QChar(0x2026)));
    QCOMPARE(view.messageLabel()->toolTip(), message);
    const int lineHeight = QFontMetrics(view.messageLabel()->font()).lineSpacing();
    QVERIFY(view.messageLabel()->height() <= 8 * lineHeight);

    // Up to eight lines it is shown in full.
    const QString eight = lines.mid(0, 8).join(QLatin1Char('\n'));
    QCOMPARE(StoreErrorView::elideToLines(eight, view.messageLabel()->font(), 480, 8), eight);
}

void TestShell::failureWindowRevealsTheFolderAndChangesNothing()
{
    writeBrokenDatabase(m_dir->path());
    const QStringList before = snapshot(m_dir->path());
    ApplywrightApp app(m_dir->path(), environment());
    QVERIFY(!app.storeLoader().isReady());
    auto window = app.createWindow();
    auto* view = qobject_cast<StoreErrorView*>(window->centralWidget());
    QVERIFY(view);
    QCOMPARE(view->message(), app.storeLoader().message());
    QCOMPARE(view->messageLabel()->text(), app.storeLoader().message());
    QPushButton* reveal = window->findChild<QPushButton*>(QStringLiteral("revealDataFolderButton"));
    QVERIFY(reveal);
    reveal->click();
    QCOMPARE(m_opened, (QList<QUrl> {QUrl::fromLocalFile(m_dir->path())}));
    window.reset();
    QCOMPARE(snapshot(m_dir->path()), before);
}

void TestShell::failureWindowHasNoDayClockAndNoCommands()
{
    writeBrokenDatabase(m_dir->path());
    ApplywrightApp app(m_dir->path(), environment());
    auto window = showWindow(app);
    QVERIFY(!app.hasTodayProvider());
    auto* commands = window->findChild<ApplicationCommands*>();
    QVERIFY(commands);
    for (FocusedActions::Key key : FocusedActions::keys)
        QVERIFY(!commands->action(key)->isEnabled());
    QVERIFY(commands->quitAction()->isEnabled());
    QCOMPARE(window->minimumSize(), QSize(860, 560));
}

QTEST_MAIN(TestShell)
#include "tst_ui_shell.moc"
