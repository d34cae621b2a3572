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
        line += u": This file could not be read as an image."_s;
    return lines;
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

    void init()
    {
        m_app.emplace();
        QVERIFY(m_app->dir.isValid());
    }
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
    }

    void versionBeforeAnyWindow_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("asks");
        QTest::newRow("after Qt's options") << list("-platform|xcb|--version") << true;
        QTest::newRow("after files") << list("a.png|--version") << true;
        QTest::newRow("a file of that name, after --") << list("--|--version") << false;
        QTest::newRow("files only") << list("a.png") << false;
        QTest::newRow("something like it") << list("--versions") << false;
    }

    void versionBeforeAnyWindow()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, asks);
        // The first argument is the program, whatever its name.
        QVERIFY(!CommandLine::asksForVersion({QStringLiteral("--version")}));
        QCOMPARE(CommandLine::asksForVersion(QStringList {u"applywright"_s} + arguments), asks);
    }

    void handOverRequests_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<bool>("answered");
        QTest::addColumn<QStringList>("files");
        const auto line = [](const QString& path) -> QByteArray {
            return QByteArray("open ") + QUrl::fromLocalFile(path).toEncoded() + '\n';
        };
        const QString odd = QStringLiteral("/tmp/İlan\n%20 100%.png");
        QTest::newRow("a line break and percent signs in a name") << line(odd) + "activate\n"
                                                                  << true << QStringList {odd};
        QTest::newRow("a relative file") << QByteArray("open file:a.png\nactivate\n") << false << QStringList();
        QTest::newRow("a line longer than any path")
            << QByteArray("open file:///") + QByteArray(RunningInstance::maximumLineBytes, 'a') << false
            << QStringList();
        QByteArray many;
        while (many.size() <= RunningInstance::maximumRequestBytes)
            many += line(QStringLiteral("/tmp/") + QString(200, QLatin1Char('a')));
        QTest::newRow("more than any request") << many + "activate\n" << false << QStringList();
    }

    void handOverRequests()
    {
        QFETCH(QByteArray, request);
        QFETCH(bool, answered);
        QFETCH(QStringList, files);
        QList<QStringList> activations;
        RunningInstance running(
            m_app->dir.path(), [&activations](const QStringList& handed) { activations.append(handed); });
        QVERIFY(running.isListening());
        QLocalSocket caller;
        QByteArray answer;
        connect(&caller, &QLocalSocket::readyRead, this, [&] { answer += caller.readAll(); });
        caller.connectToServer(RunningInstance::socketPath(m_app->dir.path()));
        QVERIFY(caller.waitForConnected(2000));
        caller.write(request);
        // The running copy either answers and hangs up, or drops a caller that is not one
        // of ours; it never waits for the rest of a request that is already too long.
        QTRY_COMPARE_WITH_TIMEOUT(caller.state(), QLocalSocket::UnconnectedState, 4000);
        QCOMPARE(answer, answered ? QByteArray("ok\n") : QByteArray());
        QCOMPARE(activations, answered ? QList<QStringList> {files} : QList<QStringList>());
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
