// How the desktop reaches the application: the command line a launcher passes
// ("Open With Applywright"), the hand-over of files to a copy that already runs,
// and Help ▸ About Applywright.

#include "ui/UiTestSupport.h"

#include "app/ApplicationCommands.h"
#include "app/ApplywrightApp.h"
#include "app/CommandLine.h"
#include "app/InstanceSocket.h"
#include "app/RunningInstance.h"
#include "posting/PostingDraft.h"
#include "posting/PostingImportSession.h"
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

#include <sys/resource.h>
#include <unistd.h>

using namespace UiTestSupport;
using namespace Qt::StringLiterals;

namespace {

// "a|b|c" as a list, to keep a row of arguments on one line.
QStringList list(const char* items)
{
    return QString::fromUtf8(items).split(u'|', Qt::SkipEmptyParts);
}

// What each failed file of an import says: the files below do not exist, so the
// import's failure lines show which files it was given, in order, without reading
// any image.
QStringList failuresFor(const char* names)
{
    QStringList lines = list(names);
    for (QString& line : lines)
        line += u": This file was not found; it may have been moved or deleted."_s;
    return lines;
}

// A caller of the copy running on `dir`, through Qt's own local socket rather than the application's code.
std::unique_ptr<QLocalSocket> callerOf(const QString& dir)
{
    const int descriptor = InstanceSocket::connect(dir);
    auto socket = std::make_unique<QLocalSocket>();
    if (descriptor < 0 || !socket->setSocketDescriptor(descriptor)) {
        if (descriptor >= 0)
            ::close(descriptor);
        return nullptr;
    }
    return socket;
}

qsizetype openDescriptors()
{
    return QDir(u"/proc/self/fd"_s).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size();
}

// The failure lines of the import in progress once it has read all its files; none
// while it has not.
QStringList failuresOnceRead(PostingImportFlow& imports)
{
    if (!QTest::qWaitFor([&imports] { return imports.sheet() && !imports.session().isProcessing(); }))
        return {};
    return imports.session().failures();
}

} // namespace

class TestDesktop : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { useTestLocale(); }

    void init() { m_app.emplace(); }
    void cleanup() { m_app.reset(); }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("error");
        const auto row = [](const char* name, const char* arguments, CommandLine::Action action, const char* files,
                             const char* error = "") {
            QTest::newRow(name) << list(arguments) << int(action) << list(files) << QString::fromUtf8(error);
        };
        using A = CommandLine::Action;
        row("relative paths, in order", "b.png|shots/a.jpg", A::run, "/home/ada/b.png|/home/ada/shots/a.jpg");
        row("absolute and untidy paths", "/tmp/x.png|../bob/./c.jpeg", A::run, "/tmp/x.png|/home/bob/c.jpeg");
        row("a name like an option, after --", "--|--version|-x.png", A::run, "/home/ada/--version|/home/ada/-x.png");
        row("names with spaces and Turkish letters", "İlan ekranı 1.png", A::run, "/home/ada/İlan ekranı 1.png");
        row("version wins over files", "a.png|--version", A::showVersion, "");
        row("no help option either", "--help", A::fail, "", "Unknown option 'help'.");
        row("no short version", "-v", A::fail, "", "Unknown option 'v'.");
        row("something like it", "--versions", A::fail, "", "Unknown option 'versions'.");
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        QFETCH(QStringList, files);
        QFETCH(QString, error);
        const CommandLine parsed
            = CommandLine::parse(QStringList {u"applywright"_s} + arguments, QDir(QStringLiteral("/home/ada")));
        QCOMPARE(int(parsed.action), action);
        QCOMPARE(parsed.imageFiles, files);
        QCOMPARE(parsed.error, error);
        // The version is answered before any window, from the raw arguments; the first is the program, whatever its
        // name.
        QCOMPARE(CommandLine::asksForVersion(QStringList {u"applywright"_s} + arguments),
            action == int(CommandLine::Action::showVersion));
        QVERIFY(!CommandLine::asksForVersion({QStringLiteral("--version")}));
    }

    void handOverRequests_data()
    {
        QTest::addColumn<QString>("folder"); // the data folder, under the test's own
        QTest::addColumn<QString>("inside"); // a folder made in it
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<bool>("answered");
        QTest::addColumn<QStringList>("files");
        const auto line = [](const QString& path) -> QByteArray {
            return QByteArray("open ") + QUrl::fromLocalFile(path).toEncoded() + '\n';
        };
        const auto row = [](const char* name, const QByteArray& request, bool answered, const QStringList& files = {},
                             const QString& folder = {}, const QString& inside = {}) {
            QTest::newRow(name) << folder << inside << request << answered << files;
        };
        const QString odd = QStringLiteral("/tmp/İlan\n%20 100%.png");
        row("a line break and percent signs in a name", line(odd) + "activate\n", true, {odd});
        // Where the running copy listens depends on no file in the data folder, nor on the folder's length.
        const QByteArray plain = line(u"/tmp/a.png"_s) + "activate\n";
        row("a data folder longer than a socket's path", plain, true, {u"/tmp/a.png"_s}, QString(120, u'd'));
        row("a folder named like a socket", plain, true, {u"/tmp/a.png"_s}, {}, u"Applywright.socket"_s);
        // More than one read's worth: every file once, in order, however the request was cut.
        QStringList files;
        QByteArray request;
        for (int i = 0; i < 400; ++i) {
            files.append(QStringLiteral("/tmp/%1-%2.png").arg(i).arg(QString(100, u'ş')));
            request += line(files.last());
        }
        row("four hundred files", request + "activate\n", true, files);
        row("a relative file", "open file:a.png\nactivate\n", false);
        row("a NUL in a name", "open file:///tmp/a%00.png\nactivate\n", false);
        row("a line longer than any path", "open file:///" + QByteArray(RunningInstance::maximumLineBytes, 'a'), false);
        QByteArray many;
        while (many.size() <= RunningInstance::maximumRequestBytes)
            many += line(QStringLiteral("/tmp/") + QString(200, QLatin1Char('a')));
        row("more than any request", many + "activate\n", false);
    }

    void handOverRequests()
    {
        QFETCH(QString, folder);
        QFETCH(QString, inside);
        QFETCH(QByteArray, request);
        QFETCH(bool, answered);
        QFETCH(QStringList, files);
        const QString dir = QDir(m_app->dir.path()).filePath(folder);
        QVERIFY(QDir(dir).mkpath(inside.isEmpty() ? u"."_s : inside));
        QList<QStringList> activations;
        RunningInstance running(dir, [&activations](const QStringList& handed) { activations.append(handed); });
        QVERIFY(running.isListening());
        const std::unique_ptr<QLocalSocket> caller = callerOf(dir);
        QVERIFY(caller);
        QByteArray answer;
        connect(caller.get(), &QLocalSocket::readyRead, this, [&] { answer += caller->readAll(); });
        caller->write(request);
        // The running copy either answers and hangs up, or drops a caller that is not one
        // of ours; it never waits for the rest of a request that is already too long.
        QTRY_COMPARE_WITH_TIMEOUT(caller->state(), QLocalSocket::UnconnectedState, 4000);
        QCOMPARE(answer, answered ? QByteArray("ok\n") : QByteArray());
        QCOMPARE(activations, answered ? QList<QStringList> {files} : QList<QStringList>());
    }

    // Callers that knock and say nothing hold only a few descriptors of the running copy; and when the process runs out
    // of descriptors altogether, the copy keeps listening and answers the next start once some are free again.
    void handOverOutlivesADescriptorShortage()
    {
        const QString dir = m_app->dir.path();
        QList<QStringList> activations;
        RunningInstance running(dir, [&activations](const QStringList& handed) { activations.append(handed); });
        std::vector<int> callers;
        const auto hangUp = [&callers] {
            for (const int caller : std::exchange(callers, {}))
                ::close(caller);
        };
        // Silent callers until none gets through even after the copy had its turn: the rest would wait in the queue.
        const qsizetype before = openDescriptors();
        for (int refused = 0; refused < 3 && callers.size() < 200;) {
            const int caller = InstanceSocket::connect(dir);
            refused = caller < 0 ? refused + 1 : 0;
            if (caller >= 0)
                callers.push_back(caller);
            else
                QTest::qWait(20);
        }
        const qsizetype served = openDescriptors() - before - qsizetype(callers.size());
        QVERIFY2(served <= RunningInstance::maximumConnections, qPrintable(QString::number(served)));
        hangUp();
        QTRY_COMPARE(openDescriptors(), before);
        // Now callers take every descriptor there is, so the copy's next accept fails.
        rlimit limit {};
        QVERIFY(::getrlimit(RLIMIT_NOFILE, &limit) == 0);
        const rlimit saved = limit;
        limit.rlim_cur = rlim_t(openDescriptors() + 24);
        QVERIFY(::setrlimit(RLIMIT_NOFILE, &limit) == 0);
        for (int round = 0; round < 50; ++round) {
            int caller;
            while ((caller = InstanceSocket::connect(dir)) >= 0)
                callers.push_back(caller);
            QTest::qWait(10);
        }
        hangUp();
        QVERIFY(::setrlimit(RLIMIT_NOFILE, &saved) == 0);
        QVERIFY(callers.empty());
        QFuture<bool> second
            = QtConcurrent::run([dir] { return RunningInstance::activateRunningCopy(dir, {u"/tmp/b.png"_s}); });
        QTRY_VERIFY_WITH_TIMEOUT(second.isFinished(), 10000);
        QVERIFY(second.result());
        QCOMPARE(activations, QList<QStringList> {{u"/tmp/b.png"_s}});
    }

    void filesFromTheCommandLineAreImported()
    {
        ApplywrightApp app(m_app->dir.path(), m_app->desktop.environment(), {missing("b.png"), missing("a.jpg")});
        auto window = app.createWindow();
        PostingImportFlow* imports = window->findChild<PostingImportFlow*>();
        QVERIFY(imports);
        // Not before the window shows: the review sheet belongs on it.
        QVERIFY(!imports->session().isPresenting());
        window->show();
        QCOMPARE(failuresOnceRead(*imports), failuresFor("b.png|a.jpg"));
    }

    void filesWaitUntilTheReviewIsDone()
    {
        ApplywrightApp app(m_app->dir.path(), m_app->desktop.environment());
        auto window = showWindow(app);
        PostingImportFlow* imports = window->findChild<PostingImportFlow*>();
        QVERIFY(imports);
        PostingImportSession& session = imports->session();
        session.begin();
        session.addText(QStringLiteral("Acme Technology\nSenior iOS Developer"), QStringLiteral("Clipboard"));
        QTRY_VERIFY(imports->sheet());
        PostingDraft* underReview = session.drafts().value(0);
        QVERIFY(underReview);
        underReview->setCompany(QStringLiteral("Acme (corrected)"));
        QFuture<bool> second = QtConcurrent::run([this, files = QStringList {missing("d.png"), missing("e.png")}] {
            return ApplywrightApp(m_app->dir.path(), m_app->desktop.environment(), files).handedOverToRunningCopy();
        });
        QTRY_VERIFY_WITH_TIMEOUT(second.isFinished(), 10000);
        QVERIFY(second.result());
        // The review in progress keeps its draft and the correction made to it.
        QCOMPARE(session.drafts(), QList<PostingDraft*> {underReview});
        QCOMPARE(underReview->company(), QStringLiteral("Acme (corrected)"));
        QCOMPARE(imports->waitingFiles().size(), 2);
        // Once it is done (the correction discarded on purpose), the files that came
        // meanwhile are the next import.
        bool asked = false;
        imports->sheet()->setDiscardQuestion([&asked](const QString&, const QString&) { return asked = true; });
        imports->sheet()->cancel();
        QVERIFY(asked);
        QTRY_VERIFY(session.isPresenting());
        QCOMPARE(failuresOnceRead(*imports), failuresFor("d.png|e.png"));
        QVERIFY(imports->waitingFiles().isEmpty());
    }

    void aboutShowsVersionDataFolderAndLicences()
    {
        ApplywrightApp app(m_app->dir.path(), m_app->desktop.environment());
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
        QCOMPARE(about->dataFolderLabel()->text(), QDir::toNativeSeparators(m_app->dir.path()));
        const QString licences = about->licenceText()->toPlainText();
        for (const char* text : {"The Applywright developers. All rights reserved.",
                 "Copyright (c) 2023 Phosphor Icons", "Permission is hereby granted, free of charge"})
            QVERIFY2(licences.contains(QLatin1String(text)), text);
        about->revealButton()->click();
        QCOMPARE(m_app->desktop.opened, QList<QUrl> {QUrl::fromLocalFile(m_app->dir.path())});
        about->reject();
        QTRY_VERIFY(window->findChildren<AboutDialog*>().isEmpty());
    }

private:
    QString missing(const char* name) const { return m_app->dir.filePath(u"shots/"_s + QLatin1String(name)); }

    std::optional<AppFixture> m_app;
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
