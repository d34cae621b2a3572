// How the desktop reaches the application: the command line a launcher passes
// ("Open With Applywright"), the hand-over of files to a copy that already runs,
// and Help ▸ About Applywright.

#include "ui/UiTestSupport.h"

#include "app/ApplicationCommands.h"
#include "app/ApplywrightApp.h"
#include "app/CommandLine.h"
#include "app/RunningInstance.h"
#include "posting/PostingDraft.h"
#include "ui/AboutDialog.h"
#include "ui/PostingImportFlow.h"
#include "ui/PostingImportSheet.h"

#include <QLabel>
#include <QLocalSocket>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtConcurrent/QtConcurrentRun>

using namespace UiTestSupport;

namespace {

// What each failed file of an import says: the files below do not exist, so the
// import's failure lines show which files it was given, in order, without reading
// any image.
QStringList failuresFor(const QStringList& names)
{
    QStringList lines;
    for (const QString& name : names)
        lines.append(name + QStringLiteral(": This file could not be read as an image."));
    return lines;
}

PostingImportFlow* importsOf(QMainWindow& window)
{
    return window.findChild<PostingImportFlow*>();
}

} // namespace

class TestDesktop : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void commandLine_data();
    void commandLine();
    void versionBeforeAnyWindow_data();
    void versionBeforeAnyWindow();
    void handOverRequests_data();
    void handOverRequests();
    void filesFromTheCommandLineAreImported();
    void aSecondStartHandsItsFilesOver();
    void filesWaitUntilTheReviewIsDone();
    void aboutShowsVersionDataFolderAndLicences();

private:
    QString missing(const QString& name) const { return m_dir->filePath(QStringLiteral("shots/") + name); }

    std::unique_ptr<TestSupport::FixedClock> m_clock;
    std::unique_ptr<QTemporaryDir> m_dir;
    FakeDesktop m_desktop;
};

void TestDesktop::initTestCase()
{
    useTestLocale();
}

void TestDesktop::init()
{
    m_clock = std::make_unique<TestSupport::FixedClock>(testNow());
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_desktop = {};
}

void TestDesktop::cleanup()
{
    m_dir.reset();
    m_clock.reset();
}

void TestDesktop::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("error");

    const auto run = int(CommandLine::Action::run);
    const auto version = int(CommandLine::Action::showVersion);
    const auto fail = int(CommandLine::Action::fail);
    QTest::newRow("nothing") << QStringList() << run << QStringList() << QString();
    QTest::newRow("relative paths, in order")
        << QStringList {QStringLiteral("b.png"), QStringLiteral("shots/a.jpg")} << run
        << QStringList {QStringLiteral("/home/ada/b.png"), QStringLiteral("/home/ada/shots/a.jpg")} << QString();
    QTest::newRow("absolute and untidy paths")
        << QStringList {QStringLiteral("/tmp/x.png"), QStringLiteral("../bob/./c.jpeg")} << run
        << QStringList {QStringLiteral("/tmp/x.png"), QStringLiteral("/home/bob/c.jpeg")} << QString();
    QTest::newRow("a name like an option, after --")
        << QStringList {QStringLiteral("--"), QStringLiteral("--version"), QStringLiteral("-x.png")} << run
        << QStringList {QStringLiteral("/home/ada/--version"), QStringLiteral("/home/ada/-x.png")} << QString();
    QTest::newRow("names with spaces and Turkish letters")
        << QStringList {QStringLiteral("İlan ekranı 1.png")} << run
        << QStringList {QStringLiteral("/home/ada/İlan ekranı 1.png")} << QString();
    QTest::newRow("version") << QStringList {QStringLiteral("--version")} << version << QStringList() << QString();
    QTest::newRow("version wins over files")
        << QStringList {QStringLiteral("a.png"), QStringLiteral("--version")} << version << QStringList() << QString();
    QTest::newRow("unknown option") << QStringList {QStringLiteral("--reset")} << fail << QStringList()
                                    << QStringLiteral("Unknown option 'reset'.");
    QTest::newRow("no help option either")
        << QStringList {QStringLiteral("--help")} << fail << QStringList() << QStringLiteral("Unknown option 'help'.");
    QTest::newRow("no short version") << QStringList {QStringLiteral("-v")} << fail << QStringList()
                                      << QStringLiteral("Unknown option 'v'.");
}

void TestDesktop::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, action);
    QFETCH(QStringList, files);
    QFETCH(QString, error);

    arguments.prepend(QStringLiteral("applywright"));
    const CommandLine parsed = CommandLine::parse(arguments, QDir(QStringLiteral("/home/ada")));
    QCOMPARE(int(parsed.action), action);
    QCOMPARE(parsed.imageFiles, files);
    QCOMPARE(parsed.error, error);
}

void TestDesktop::versionBeforeAnyWindow_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("asks");

    QTest::newRow("alone") << QStringList {QStringLiteral("--version")} << true;
    QTest::newRow("after Qt's options") << QStringList {QStringLiteral("-platform"), QStringLiteral("xcb"),
        QStringLiteral("--version")} << true;
    QTest::newRow("after files") << QStringList {QStringLiteral("a.png"), QStringLiteral("--version")} << true;
    QTest::newRow("a file of that name, after --")
        << QStringList {QStringLiteral("--"), QStringLiteral("--version")} << false;
    QTest::newRow("files only") << QStringList {QStringLiteral("a.png")} << false;
    QTest::newRow("something like it") << QStringList {QStringLiteral("--versions")} << false;
}

void TestDesktop::versionBeforeAnyWindow()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, asks);

    // The first argument is the program, whatever its name.
    QVERIFY(!CommandLine::asksForVersion({QStringLiteral("--version")}));
    arguments.prepend(QStringLiteral("applywright"));
    QCOMPARE(CommandLine::asksForVersion(arguments), asks);
}

void TestDesktop::handOverRequests_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<bool>("answered");
    QTest::addColumn<QStringList>("files");

    const auto line = [](const QString& path) -> QByteArray {
        return QByteArray("open ") + QUrl::fromLocalFile(path).toEncoded() + '\n';
    };
    const QString odd = QStringLiteral("/tmp/İlan\n%20 100%.png");
    QTest::newRow("show the window") << QByteArray("activate\n") << true << QStringList();
    QTest::newRow("files, in order") << line(QStringLiteral("/tmp/b.png")) + line(QStringLiteral("/tmp/a.jpg"))
            + "activate\n" << true << QStringList {QStringLiteral("/tmp/b.png"), QStringLiteral("/tmp/a.jpg")};
    QTest::newRow("a line break and percent signs in a name") << line(odd) + "activate\n" << true << QStringList {odd};
    QTest::newRow("not a file") << QByteArray("open https://example.com/a.png\nactivate\n") << false << QStringList();
    QTest::newRow("a relative file") << QByteArray("open file:a.png\nactivate\n") << false << QStringList();
    QTest::newRow("something else") << QByteArray("hello\nactivate\n") << false << QStringList();
    QTest::newRow("a line longer than any path")
        << QByteArray("open file:///") + QByteArray(RunningInstance::maximumLineBytes, 'a') << false << QStringList();
    QByteArray many;
    while (many.size() <= RunningInstance::maximumRequestBytes)
        many += line(QStringLiteral("/tmp/") + QString(200, QLatin1Char('a')));
    QTest::newRow("more than any request") << many + "activate\n" << false << QStringList();
}

void TestDesktop::handOverRequests()
{
    QFETCH(QByteArray, request);
    QFETCH(bool, answered);
    QFETCH(QStringList, files);

    QList<QStringList> activations;
    RunningInstance running(m_dir->path(), [&activations](const QStringList& handed) { activations.append(handed); });
    QVERIFY(running.isListening());

    QLocalSocket caller;
    QByteArray answer;
    connect(&caller, &QLocalSocket::readyRead, this, [&] { answer += caller.readAll(); });
    caller.connectToServer(RunningInstance::socketPath(m_dir->path()));
    QVERIFY(caller.waitForConnected(2000));
    caller.write(request);
    // The running copy either answers and hangs up, or drops a caller that is not one
    // of ours; it never waits for the rest of a request that is already too long.
    QTRY_COMPARE_WITH_TIMEOUT(caller.state(), QLocalSocket::UnconnectedState, 4000);
    QCOMPARE(answer, answered ? QByteArray("ok\n") : QByteArray());
    QCOMPARE(activations, answered ? QList<QStringList> {files} : QList<QStringList>());
}

void TestDesktop::filesFromTheCommandLineAreImported()
{
    const QStringList files = {missing(QStringLiteral("b.png")), missing(QStringLiteral("a.jpg"))};
    ApplywrightApp app(m_dir->path(), m_desktop.environment(), files);
    auto window = app.createWindow();
    PostingImportFlow* imports = importsOf(*window);
    QVERIFY(imports);
    // Not before the window shows: the review sheet belongs on it.
    QVERIFY(!imports->session().isPresenting());
    window->show();
    QTRY_VERIFY(imports->sheet());
    QTRY_VERIFY(!imports->session().isProcessing());
    QCOMPARE(imports->session().failures(), failuresFor({QStringLiteral("b.png"), QStringLiteral("a.jpg")}));
}

void TestDesktop::aSecondStartHandsItsFilesOver()
{
    ApplywrightApp first(m_dir->path(), m_desktop.environment());
    auto window = showWindow(first);
    PostingImportFlow* imports = importsOf(*window);
    QVERIFY(imports);

    // The second start blocks while it waits for the answer, as its own process would;
    // this thread's event loop is the running copy's.
    const QStringList files = {missing(QStringLiteral("c.png"))};
    QFuture<bool> second = QtConcurrent::run([this, files] {
        ApplywrightApp app(m_dir->path(), m_desktop.environment(), files);
        return app.handedOverToRunningCopy();
    });
    QTRY_VERIFY_WITH_TIMEOUT(second.isFinished(), 10000);
    QVERIFY(second.result());
    QTRY_VERIFY(imports->sheet());
    QTRY_VERIFY(!imports->session().isProcessing());
    QCOMPARE(imports->session().failures(), failuresFor({QStringLiteral("c.png")}));
}

void TestDesktop::filesWaitUntilTheReviewIsDone()
{
    ApplywrightApp app(m_dir->path(), m_desktop.environment());
    auto window = showWindow(app);
    PostingImportFlow* imports = importsOf(*window);
    QVERIFY(imports);
    PostingImportSession& session = imports->session();
    session.begin();
    session.addText(QStringLiteral("Acme Technology\nSenior iOS Developer"), QStringLiteral("Clipboard"));
    QTRY_VERIFY(imports->sheet());
    PostingDraft* underReview = session.drafts().value(0);
    QVERIFY(underReview);
    underReview->setCompany(QStringLiteral("Acme (corrected)"));

    const QStringList files = {missing(QStringLiteral("d.png")), missing(QStringLiteral("e.png"))};
    QFuture<bool> second
        = QtConcurrent::run([this, files] { return RunningInstance::activateRunningCopy(m_dir->path(), files); });
    QTRY_VERIFY_WITH_TIMEOUT(second.isFinished(), 10000);
    QVERIFY(second.result());
    // The review in progress keeps its draft and the correction made to it.
    QCOMPARE(session.drafts(), QList<PostingDraft*> {underReview});
    QCOMPARE(underReview->company(), QStringLiteral("Acme (corrected)"));
    QVERIFY(session.failures().isEmpty());
    QCOMPARE(imports->waitingFiles().size(), 2);

    // Once it is done, the files that came meanwhile are the next import.
    imports->sheet()->cancel();
    QTRY_VERIFY(session.isPresenting());
    QTRY_VERIFY(imports->sheet());
    QTRY_VERIFY(!session.isProcessing());
    QCOMPARE(session.failures(), failuresFor({QStringLiteral("d.png"), QStringLiteral("e.png")}));
    QVERIFY(imports->waitingFiles().isEmpty());
}

void TestDesktop::aboutShowsVersionDataFolderAndLicences()
{
    ApplywrightApp app(m_dir->path(), m_desktop.environment());
    auto window = showWindow(app);
    auto* commands = window->findChild<ApplicationCommands*>();
    QVERIFY(commands);
    QCOMPARE(window->menuBar()->actions().last(), commands->helpMenu()->menuAction());
    QCOMPARE(menuTexts(*commands->helpMenu()), QStringList {QStringLiteral("About Applywright")});

    // Twice: still one window.
    commands->aboutAction()->trigger();
    commands->aboutAction()->trigger();
    QTRY_COMPARE(window->findChildren<AboutDialog*>().size(), 1);
    AboutDialog* about = window->findChild<AboutDialog*>();
    QTRY_VERIFY(about->isVisible());
    QCOMPARE(about->windowTitle(), QStringLiteral("About Applywright"));
    // The version the build carries: the project's one version number.
    QCOMPARE(about->versionLabel()->text(), QStringLiteral("Version " APPLYWRIGHT_VERSION));
    QCOMPARE(about->dataFolderLabel()->text(), QDir::toNativeSeparators(m_dir->path()));
    const QString licences = about->licenceText()->toPlainText();
    QVERIFY(licences.contains(QStringLiteral("The Applywright developers. All rights reserved.")));
    QVERIFY(licences.contains(QStringLiteral("Copyright (c) 2023 Phosphor Icons")));
    QVERIFY(licences.contains(QStringLiteral("Permission is hereby granted, free of charge")));

    about->revealButton()->click();
    QCOMPARE(m_desktop.opened, QList<QUrl> {QUrl::fromLocalFile(m_dir->path())});
    about->reject();
    QTRY_VERIFY(window->findChildren<AboutDialog*>().isEmpty());
}

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
