// The shell: the application entry, its window, the menu commands with their
// shortcuts and enabled states, and the store-failure window.

#include "SqliteSupport.h"
#include "UiTestSupport.h"

#include "app/ApplicationCommands.h"
#include "app/ApplywrightApp.h"
#include "tracking/WindowState.h"
#include "ui/ApplicationDetailView.h"
#include "ui/ApplicationListModel.h"
#include "ui/ApplicationListView.h"
#include "ui/DetailPlaceholder.h"
#include "ui/DetailSections.h"
#include "ui/EmptyListOverlay.h"
#include "ui/StoreErrorView.h"

#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTextBoundaryFinder>
#include <QToolButton>
#include <QTranslator>
#include <QtConcurrent/QtConcurrentRun>

using namespace UiTestSupport;
using namespace Qt::StringLiterals;
using TestSupport::execute;

class TestShell : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { useTestLocale(); }
    void init() { m_app.emplace(); }
    void cleanup() { m_app.reset(); }

    void windowShowsBeforeTheRecordsAreRead()
    {
        {
            StoreLoader first = openStore(m_app->dir.path());
            for (int i = 0; i < 50; ++i)
                addRecord(*first.store(), u"Company %1"_s.arg(i), u"Engineer"_s);
            QVERIFY(first.store()->save());
        }
        QElapsedTimer sinceOpened;
        sinceOpened.start();
        ApplywrightApp app(m_app->dir.path(), m_app->desktop.environment());
        Store& store = *app.storeLoader().store();
        QSignalSpy loaded(&store, &Store::loaded);
        auto window = app.createWindow();
        auto* content = window->findChild<ContentView*>();
        QVERIFY(content);
        // Until the event loop runs, the records are still being read: no rows, and
        // neither the empty-store overlay nor its placeholder flash up meanwhile.
        QVERIFY(!store.isLoaded());
        QCOMPARE(content->listView()->listView()->model()->rowCount(), 0);
        for (auto* overlay : window->findChildren<EmptyListOverlay*>())
            QVERIFY(!overlay->isVisibleTo(window.get()));
        auto* detail = window->findChild<QStackedWidget*>(u"detailColumn"_s);
        QVERIFY(detail);
        QVERIFY(detail->currentWidget() != content->detailPlaceholder());

        // The window's first frame asks for the records: left to itself, the store would
        // wait readWaitLimitMs for them.
        window->show();
        QVERIFY(loaded.wait(Store::readWaitLimitMs));
        QCOMPARE_LT(sinceOpened.elapsed(), Store::readWaitLimitMs);
        QVERIFY(store.isLoaded());
        QTRY_COMPARE(content->listView()->listView()->model()->rowCount(), 50);
        QCOMPARE(detail->currentWidget(), content->detailPlaceholder());
        // Made after the window was laid out, the placeholder still centres on the band
        // of the list's rows.
        const QWidget* rows = content->listView()->listView()->viewport();
        QCOMPARE(content->detailPlaceholder()->contentsMargins().top(), rows->mapTo(content->listView(), QPoint()).y());
    }

    void firstWindowFitsTheScreen_data()
    {
        QTest::addColumn<QSize>("available");
        QTest::addColumn<QSize>("first");
        QTest::newRow("room for the default") << QSize(1920, 1040) << QSize(1080, 720);
        // 1600×1000 at a scale of 1.5, the summary bar at the bottom still on it.
        QTest::newRow("scaled screen") << QSize(1066, 666) << QSize(1050, 618);
        QTest::newRow("smaller than the minimum") << QSize(800, 600) << QSize(860, 560);
    }

    void firstWindowFitsTheScreen()
    {
        QFETCH(QSize, available);
        QTEST(ApplywrightApp::firstWindowSize(available), "first");
    }

    void mainWindowAndMenus()
    {
        ApplywrightApp app(m_app->dir.path(), m_app->desktop.environment());
        auto window = app.createWindow();
        QCOMPARE(window->windowTitle(), u"Applywright"_s);
        QVERIFY(qobject_cast<ContentView*>(window->centralWidget()));
        QVERIFY(app.hasTodayProvider());
        QCOMPARE(window->size(),
            ApplywrightApp::firstWindowSize(QGuiApplication::primaryScreen()->availableGeometry().size()));

        QCOMPARE(window->menuBar()->actions().size(), 4);

        // Every entry has an access key, none twice in one menu, in English and in Turkish.
        QTranslator turkish;
        QVERIFY(turkish.load(u":/i18n/applywright_tr.qm"_s));
        for (const bool translated : {false, true}) {
            if (translated)
                QCoreApplication::installTranslator(&turkish);
            ApplywrightApp translatedApp(m_app->dir.path() + u"/other"_s, m_app->desktop.environment());
            auto translatedWindow = translatedApp.createWindow();
            auto* menus = translatedWindow->findChild<ApplicationCommands*>();
            for (QMenu* menu : {menus->fileMenu(), menus->editMenu(), menus->viewMenu(), menus->helpMenu()}) {
                QStringList keys; // empty where an entry has none
                for (QAction* action : menu->actions())
                    if (!action->isSeparator())
                        keys.append(action->text().section(u'&', 1).left(1).toLower());
                const QStringList all = keys;
                keys.removeDuplicates();
                QVERIFY2(keys == all && !keys.contains(QString()), qPrintable(menuTexts(*menu).join(u", "_s)));
            }
        }
        QCoreApplication::removeTranslator(&turkish);
    }

    void commandsFollowTheFocusedWindowAndField()
    {
        ApplywrightApp app(m_app->dir.path(), m_app->desktop.environment());
        Store& store = *app.storeLoader().store();
        store.setAutosaveDelay(-1);
        addRecord(store, u"Acme"_s, u"Engineer"_s, ApplicationStatus::applied, 2);
        auto window = showWindow(app);
        auto* commands = window->findChild<ApplicationCommands*>();
        auto* content = window->findChild<ContentView*>();
        using Key = FocusedActions::Key;
        const auto disabled = [&] {
            QStringList names;
            for (Key key : FocusedActions::keys)
                if (!commands->action(key)->isEnabled())
                    names.append(QString::fromLatin1(QMetaEnum::fromType<Key>().valueToKey(int(key))));
            return names;
        };
        // The backup, screenshot and paste flows come with every main window; deleting
        // and the star wait for a selection.
        const QStringList onlyWithSelection {u"deleteSelection"_s, u"toggleStar"_s};
        QCOMPARE(disabled(), onlyWithSelection);
        QTRY_COMPARE(content->state().visibleApplications().size(), 1);
        content->state().setSelectedID(content->state().visibleApplications().first()->id());
        QCOMPARE(disabled(), QStringList());
        content->state().setSelectedID(std::nullopt);
        QCOMPARE(disabled(), onlyWithSelection);

        // Ctrl+N creates and selects, also from a search field that would hide the new record: the search goes.
        content->searchField()->setText(u"no such company"_s);
        QTest::keyClick(content->searchField(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(content->searchField()->text(), QString());
        QCOMPARE(store.count(), 2);
        QCOMPARE(disabled(), QStringList());

        // Another window has the focus: every command is disabled and does nothing.
        QWidget other;
        other.resize(200, 100);
        QVERIFY(showActive(&other));
        QCOMPARE(disabled().size(), qsizetype(FocusedActions::keys.size()));
        commands->action(Key::createApplication)->trigger();
        QCOMPARE(store.count(), 2);
        QVERIFY(showActive(window.get()));
        QCOMPARE(disabled(), QStringList());

        // The Edit menu's entries act on the focused field and follow what it
        // holds.
        QMenu* edit = commands->editMenu();
        QLineEdit* field = content->searchField();
        field->setFocus();
        field->setText(u"hello"_s);
        Q_EMIT edit->aboutToShow();
        QAction* selectAll = window->findChild<QAction*>(u"selectAllAction"_s);
        QAction* copy = window->findChild<QAction*>(u"copyAction"_s);
        QVERIFY(selectAll->isEnabled() && !copy->isEnabled());
        selectAll->trigger();
        QCOMPARE(field->selectedText(), u"hello"_s);
        Q_EMIT edit->aboutToShow();
        QVERIFY(copy->isEnabled());
        content->listView()->listView()->setFocus();
        Q_EMIT edit->aboutToShow();
        QVERIFY(!selectAll->isEnabled() && !copy->isEnabled());
    }

    // Edit ▸ Undo names the step it takes back, the field's own typing first; Ctrl+Z,
    // Ctrl+Shift+Z and Ctrl+Y reach the window's steps wherever the focus is. A
    // deletion taken back brings the record back under its identifier, selected.
    void undoAndRedo()
    {
        ApplywrightApp app(m_app->dir.path(), m_app->desktop.environment());
        Store& store = *app.storeLoader().store();
        JobApplication* record = addRecord(store, u"Acme"_s, u"Engineer"_s, ApplicationStatus::applied, 2);
        const RecordID id = record->id();
        auto window = showWindow(app);
        auto* content = window->findChild<ContentView*>();
        QMenu* edit = window->findChild<ApplicationCommands*>()->editMenu();
        QAction* undo = window->findChild<QAction*>(u"undoAction"_s);
        const auto undoText = [&] {
            Q_EMIT edit->aboutToShow();
            return undo->isEnabled() ? undo->text().remove(u'&') : QString();
        };
        QTRY_COMPARE(content->state().visibleApplications().size(), 1);
        content->state().setSelectedID(id);
        ApplicationSection* form = content->detailView()->applicationSection();
        m_app->clock.set(testNow().addSecs(60));
        form->statusPicker()->setCurrentIndex(int(ApplicationStatus::rejected));
        Q_EMIT form->statusPicker()->activated(int(ApplicationStatus::rejected));
        QLineEdit* company = form->companyField();
        company->setFocus();
        typeText(company, u" Ltd"_s);
        QCOMPARE(undoText(), u"Undo Typing"_s);

        QTest::keyClick(company, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(record->companyName(), u"Acme"_s);
        QCOMPARE(undoText(), u"Undo Status Change"_s);
        QTest::keyClick(company, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(record->status(), ApplicationStatus::applied);
        QCOMPARE(record->history().size(), 0);
        QCOMPARE(undoText(), QString());
        // Outside the field (which could still do its typing again), redo is the window's.
        QWidget* list = content->listView()->listView();
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Z, Qt::ShiftModifier | Qt::ControlModifier);
        QCOMPARE(record->status(), ApplicationStatus::rejected);
        // Each step taken back or done again is saved.
        QTRY_VERIFY(!store.hasChanges());

        content->deleteSelection();
        QCOMPARE(store.application(id), nullptr);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(store.application(id), record);
        QVERIFY(content->detailView() && content->detailView()->application() == record);
        QCOMPARE(record->status(), ApplicationStatus::rejected);
        QTest::keyClick(list, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(store.application(id), nullptr);
        QTRY_VERIFY(!store.hasChanges());
    }

    void deleteKeys_data()
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
        // On a control that is not a text field the window's command answers the
        // key.
        row("Delete on a button", Qt::Key_Delete, none, "button", false, true);
        row("Shift+Delete on a button", Qt::Key_Delete, shift, "button", false, false);
        row("Backspace on the list", Qt::Key_Backspace, none, "list", false, true);
        row("Shift+Backspace on the list", Qt::Key_Backspace, shift, "list", false, false);
        row("Delete on the list, selection hidden", Qt::Key_Delete, none, "list", true, false);
        // The window's command would ask about the hidden record: the list keeps both keys.
        row("Backspace on the list, selection hidden", Qt::Key_Backspace, none, "list", true, false);
        // In a text field the keys edit the text ("acm", the cursor after "ac" for
        // Delete).
        row("Delete in the search field", Qt::Key_Delete, none, "search", false, false);
        row("Backspace in the search field", Qt::Key_Backspace, none, "search", false, false);
    }

    void deleteKeys()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QString, focus);
        QFETCH(bool, hiddenSelection);
        QFETCH(bool, asks);
        ApplywrightApp app(m_app->dir.path(), m_app->desktop.environment());
        Store& store = *app.storeLoader().store();
        JobApplication* open = addRecord(store, u"Acme"_s, u"Engineer"_s, ApplicationStatus::applied, 2);
        JobApplication* offer = addRecord(store, u"Offer"_s, QString(), ApplicationStatus::offer, 3);
        auto window = showWindow(app);
        auto* content = window->findChild<ContentView*>();
        QAction* remove = window->findChild<ApplicationCommands*>()->action(FocusedActions::Key::deleteSelection);
        QTRY_COMPARE(content->state().visibleApplications().size(), 2);
        content->state().setSelectedID((hiddenSelection ? offer : open)->id());
        if (hiddenSelection)
            content->state().setStatusFilter(StatusFilter::active());
        QWidget* target = focus == u"list"_s ? content->listView()->listView()
            : focus == u"search"_s           ? content->searchField()
                                             : static_cast<QWidget*>(content->listView()->filterButton());
        target->setFocus();
        QVERIFY(target->hasFocus());
        if (target == content->searchField()) {
            QTest::keyClicks(target, u"acm"_s);
            content->searchField()->setCursorPosition(key == Qt::Key_Delete ? 2 : 3);
        }
        QTest::keyClick(target, Qt::Key(key), modifiers);
        QCOMPARE(m_app->desktop.asked.size(), asks ? 1 : 0);
        if (asks)
            QCOMPARE(m_app->desktop.asked.first().second, u"Acme — Engineer. This cannot be undone."_s);
        QCOMPARE(store.count(), asks ? 1 : 2);
        QCOMPARE(content->state().searchText(), target == content->searchField() ? u"ac"_s : QString());
        // A focused text field takes the keys, yet the menu entry keeps showing them.
        QCOMPARE(remove->isEnabled(), !asks);
        QCOMPARE(remove->shortcuts(), FocusedActions::shortcuts(FocusedActions::Key::deleteSelection));
    }

    void failureWindowMessage()
    {
        QStringList lines;
        for (int i = 1; i <= 20; ++i)
            lines.append(u"line %1 of the failure"_s.arg(i));
        const QString failure = lines.join(u'\n');
        const auto view = showFailure(failure);

        // The failure shows at most eight lines, then "…"; the whole text is its tooltip.
        QLabel* message = view->messageLabel();
        const QString shown = message->text();
        QVERIFY2(shown.startsWith(lines.mid(0, 7).join(u'\n') + u"\nline 8"_s) && shown.count(u'\n') == 7
                && shown.endsWith(QChar(0x2026)),
            qPrintable(shown));
        QCOMPARE(message->toolTip(), failure);
        QVERIFY(message->height() <= 8 * QFontMetrics(message->font()).lineSpacing());
        const QString eight = lines.mid(0, 8).join(u'\n');
        QCOMPARE(StoreErrorView::elideToLines(eight, message->font(), 480, 8), eight);

        // It can be selected, in a monospaced font (measured, not asked: fontconfig
        // does not flag every monospaced family as fixed pitch).
        const QFontMetricsF metrics(message->font());
        QCOMPARE(metrics.horizontalAdvance(u"iiii1111"_s), metrics.horizontalAdvance(u"WWWWMMMM"_s));
        message->setSelection(0, 8);
        QCOMPARE(message->selectedText(), u"line 1 o"_s);

        // A path in the message breaks only after a separator, never inside a name
        // at a hyphen or a space; copied, the message is the text itself.
        const QString path = u"/home/ayse-yilmaz/My Files/tst_store-GbiXEQ/Applywright.sqlite-wal"_s;
        const QString pathFailure = QStringLiteral("The database file “%1” cannot be written to, so "
                                                   "changes could not be "
                                                   "saved. It was left unchanged.")
                                        .arg(path);
        const auto pathView = showFailure(pathFailure);
        const QString pathShown = pathView->messageLabel()->text();
        QCOMPARE(StoreErrorView::fromDisplay(pathShown), pathFailure);

        const qsizetype pathStart = pathShown.indexOf(QChar(0x201C)) + 1;
        const qsizetype pathEnd = pathShown.indexOf(QChar(0x201D));
        QTextBoundaryFinder breaking(QTextBoundaryFinder::Line, pathShown);
        QStringList breaks;
        for (qsizetype at = breaking.toNextBoundary(); at > 0 && at < pathEnd; at = breaking.toNextBoundary()) {
            // Where a line may end inside the path: the text up to there, as copied.
            if (at > pathStart)
                breaks.append(StoreErrorView::fromDisplay(pathShown.mid(pathStart, at - pathStart)));
        }
        QCOMPARE(breaks,
            (QStringList {u"/"_s, u"/home/"_s, u"/home/ayse-yilmaz/"_s, u"/home/ayse-yilmaz/My Files/"_s,
                u"/home/ayse-yilmaz/My Files/tst_store-GbiXEQ/"_s}));

        pathView->messageLabel()->setFocus();
        pathView->messageLabel()->setSelection(0, int(pathShown.size()));
        QTest::keySequence(pathView->messageLabel(), QKeySequence::Copy);
        QCOMPARE(QGuiApplication::clipboard()->text(), pathFailure);
    }

    void failureWindowRevealsTheFolderAndChangesNothing()
    {
        QVERIFY(writeFile(QDir(m_app->dir.path()).filePath(QLatin1String(Store::databaseFileName)),
            QByteArray("not a database\n").repeated(100)));
        const QStringList before = snapshot(m_app->dir.path());
        ApplywrightApp app(m_app->dir.path(), m_app->desktop.environment());
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

        window->findChild<QPushButton*>(u"revealDataFolderButton"_s)->click();
        QCOMPARE(m_app->desktop.opened, (QList<QUrl> {QUrl::fromLocalFile(m_app->dir.path())}));
        window.reset();
        QCOMPARE(snapshot(m_app->dir.path()), before);
    }

    // Damage that reading passes over is found by the check that follows the rows: the window then says so, and
    // nothing typed while the rows were shown reaches the file, not even when quitting.
    void damageFoundAfterTheRowsAreShown()
    {
        {
            StoreLoader first = openStore(m_app->dir.path());
            for (int i = 0; i < 20; ++i)
                addRecord(*first.store(), u"Company %1"_s.arg(i));
            QVERIFY(first.store()->save());
        }
        QVERIFY(TestSupport::damageLastLeaf(
            QDir(m_app->dir.path()).filePath(QLatin1String(Store::databaseFileName)), "JobApplication"));
        const QStringList before = snapshot(m_app->dir.path());
        {
            ApplywrightApp app(m_app->dir.path(), m_app->desktop.environment());
            Store& store = *app.storeLoader().store();
            auto window = app.createWindow();
            const QAbstractItemModel* rows = window->findChild<ContentView*>()->listView()->listView()->model();
            window->show();
            QVERIFY(QSignalSpy(&store, &Store::loaded).wait());
            QCOMPARE(rows->rowCount(), 20);
            edited<ApplicationField::notes>(store.applications().first(), u"typed before the check"_s);
            QTRY_VERIFY(qobject_cast<StoreErrorView*>(window->centralWidget()));
            const QString shown = qobject_cast<StoreErrorView*>(window->centralWidget())->messageLabel()->text();
            QVERIFY2(StoreErrorView::fromDisplay(shown).contains(u"is damaged: its integrity check reports"_s),
                qPrintable(shown));
            window->close();
        }
        QCOMPARE(snapshot(m_app->dir.path()), before);
    }

    // A second start on the same data folder does not show a failure window: it
    // asks the running copy to bring its window forward and ends. Only when no
    // running copy answers does it stay, to show the failure window.
    void secondStartBringsTheRunningWindowForward()
    {
        ApplywrightApp first(m_app->dir.path(), m_app->desktop.environment());
        QVERIFY(first.storeLoader().isReady());
        auto window = showWindow(first);
        QWidget other;
        QVERIFY(showActive(&other));
        QVERIFY(!window->isActiveWindow());

        // The second start blocks while it waits for the answer, as its own process
        // would; this thread's event loop is the running copy's.
        QFuture<bool> second = QtConcurrent::run([this] {
            ApplywrightApp app(m_app->dir.path(), m_app->desktop.environment());
            return !app.storeLoader().isReady() && app.handedOverToRunningCopy();
        });
        QTRY_VERIFY_WITH_TIMEOUT(second.isFinished(), 10000);
        QVERIFY(second.result());
        QTRY_VERIFY(window->isActiveWindow());

        // A copy that holds the folder but cannot be reached: nothing is handed over.
        window.reset();
        StoreLoader holder = openStore(m_app->dir.path() + u"/other"_s);
        QVERIFY(holder.isReady());
        ApplywrightApp unreachable(m_app->dir.path() + u"/other"_s, m_app->desktop.environment());
        QVERIFY(!unreachable.handedOverToRunningCopy());
        QCOMPARE(unreachable.storeLoader().failure(), StoreLoader::Failure::alreadyRunning);
    }

    void quittingSavesOrAsks_data()
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

    // Quitting saves pending edits first; when that save fails the person is
    // asked, with the reason, instead of losing the edits with only a log line.
    void quittingSavesOrAsks()
    {
        QFETCH(bool, diskFull);
        QFETCH(QList<ApplywrightApp::QuitAnswer>, answers);
        QFETCH(bool, saved);
        ApplywrightApp app(m_app->dir.path(), m_app->desktop.environment());
        Store& store = *app.storeLoader().store();
        store.setAutosaveDelay(-1);
        QVERIFY(store.ensureLoaded());
        JobApplication* record = addRecord(store, u"Acme"_s);
        QVERIFY(store.save());
        auto window = showWindow(app);
        edited<ApplicationField::notes>(record, u"typed just before quitting"_s);
        const QString path = store.databasePath();
        if (diskFull)
            QVERIFY(execute(path,
                "CREATE TRIGGER refuse BEFORE UPDATE ON JobApplication "
                "BEGIN SELECT RAISE(ABORT, 'disk is full'); END"));

        // Each answer in turn; space is freed just before the last "Try Again".
        QStringList reasons;
        app.setSaveFailureQuestion([&](QWidget* asking, const QString& reason) {
            reasons.append(reason);
            if (asking != window.get())
                reasons.append(u"asked over the wrong window"_s);
            const auto answer = answers.value(reasons.size() - 1, ApplywrightApp::QuitAnswer::quitWithoutSaving);
            if (reasons.size() == answers.size() && answer == ApplywrightApp::QuitAnswer::tryAgain)
                execute(path, "DROP TRIGGER refuse");
            return answer;
        });
        for (qsizetype i = 0; i < answers.size(); ++i)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^Kaydedilemedi: .*disk is full"_s));
        QVERIFY(window->close());
        QCOMPARE(reasons.size(), qsizetype(answers.size()));
        QCOMPARE(reasons.filter(u"disk is full"_s), reasons);
        QCOMPARE(store.hasChanges(), !saved);
        execute(path, "DROP TRIGGER IF EXISTS refuse");
    }

private:
    // The failure window over `failure`, at the main window's size, on screen.
    std::unique_ptr<StoreErrorView> showFailure(const QString& failure) const
    {
        auto view = std::make_unique<StoreErrorView>(failure, m_app->dir.path(), [](const QUrl&) {});
        view->resize(1080, 720);
        view->show();
        if (!QTest::qWaitForWindowExposed(view.get()))
            qWarning("the failure window was not shown");
        return view;
    }

    std::optional<AppFixture> m_app;
};

QTEST_MAIN(TestShell)
#include "tst_ui_shell.moc"
