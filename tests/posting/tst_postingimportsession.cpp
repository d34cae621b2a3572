#include "TestSupport.h"

#include "model/JobApplication.h"
#include "posting/ExistingApplications.h"
#include "posting/PostingDraft.h"
#include "posting/PostingParser.h"
#include "store/Store.h"
#include "store/StoreLoader.h"
#include "tracking/TodayProvider.h"
#include "tracking/WindowState.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFont>
#include <QImage>
#include <QMutex>
#include <QPainter>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>

using namespace TestSupport;

namespace {

QList<PostingLine> linesOf(const QStringList& texts)
{
    QList<PostingLine> lines;
    for (int i = 0; i < texts.size(); ++i)
        lines.append(PostingLine {texts[i], i, 1.0 - 0.1 * i, 0.9});
    return lines;
}

// A stand-in for the recognition engine: answers by file name, optionally slowly,
// and records where and how many at a time it ran.
struct FakeEngine {
    QMutex mutex;
    QHash<QString, RecognitionResult> answers;
    QHash<QString, int> delaysMs;
    std::atomic<int> running {0};
    std::atomic<int> mostAtOnce {0};
    QList<QThread*> threads;
    QStringList reads; // the keys, in the order they were read

    RecognitionResult read(const QString& key)
    {
        const int now = ++running;
        mostAtOnce = std::max(mostAtOnce.load(), now);
        {
            QMutexLocker lock(&mutex);
            threads.append(QThread::currentThread());
            reads.append(key);
        }
        QThread::msleep(uint(delaysMs.value(key, 0)));
        --running;
        QMutexLocker lock(&mutex);
        return answers.value(key, RecognitionResult(RecognizerError::unreadableImage()));
    }

    // A recogniser per run that hears when its run is dropped: "endless" inputs are
    // read until then (or for ten seconds, so a missed cancel cannot hang the test);
    // the others are answered by file name.
    std::atomic<int> cancelledReads {0};
    PostingImportSession::RecognizerFactory factory()
    {
        return [this](std::shared_ptr<const std::atomic<bool>> cancelled) {
            auto readUntilCancelled = [this, cancelled](const QString& key) {
                if (!key.startsWith(QLatin1String("endless")))
                    return read(key);
                ++running;
                QElapsedTimer waited;
                waited.start();
                while (!cancelled->load() && waited.elapsed() < 10000)
                    QThread::msleep(2);
                --running;
                if (cancelled->load())
                    ++cancelledReads;
                return RecognitionResult(RecognizerError::noTextFound());
            };
            return PostingImportSession::Recognizer {
                [readUntilCancelled](const QString& path) { return readUntilCancelled(QFileInfo(path).fileName()); },
                [readUntilCancelled](const QByteArray& data) { return readUntilCancelled(QString::fromUtf8(data)); }};
        };
    }
};

const QStringList postingLines {QStringLiteral("Senior iOS Developer"),
    QStringLiteral("Acme Corp · Istanbul, Türkiye · 2 days ago"), QStringLiteral("Hybrid")};

} // namespace

class PostingImportSessionTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { useTimeZone("Europe/Istanbul"); }
    void cleanup() { Clock::reset(); }

    void draftNotifiesOnlyRealChanges();
    void filesBecomeDraftsAndFailuresInOrder();
    void moreInputWhileReading_data();
    void moreInputWhileReading();
    void clipboardImageAndText();
    void newImportWhileReading_data();
    void newImportWhileReading();
    void chosenDraftsAndCommit();
    void draftsCarryTheirSuggestions();
    void existingApplications_data();
    void existingApplications();
    void realEngineEndToEnd();
    void goingAwayStopsAHostileImage();
};

void PostingImportSessionTest::draftNotifiesOnlyRealChanges()
{
    PostingDraft draft(PostingParser::parse(postingLines.join(QLatin1Char('\n'))), QStringLiteral("a.png"));
    QSignalSpy changed(&draft, &PostingDraft::changed);
    draft.setCompany(QStringLiteral("Acme Corp"));
    draft.setWorkModel(WorkModel::hybrid);
    draft.setInclude(true);
    QCOMPARE(changed.count(), 0);
    draft.setCompany(QStringLiteral("Acme"));
    draft.setWorkModel(WorkModel::onSite);
    draft.setInclude(false);
    draft.setPostingLink(QStringLiteral("x"));
    QCOMPARE(changed.count(), 4);
    QCOMPARE(draft.parsed().company->value, QStringLiteral("Acme Corp")); // the parse result stays
}

void PostingImportSessionTest::filesBecomeDraftsAndFailuresInOrder()
{
    FakeEngine engine;
    engine.answers.insert(QStringLiteral("first.png"), linesOf(postingLines));
    engine.answers.insert(QStringLiteral("third.jpg"), linesOf({QStringLiteral("Backend Developer")}));
    engine.answers.insert(QStringLiteral("blank.png"), RecognitionResult(RecognizerError::noTextFound()));
    engine.delaysMs.insert(QStringLiteral("first.png"), 150); // the slowest still comes first
    PostingImportSession session(engine.factory(), nullptr);
    QSignalSpy processing(&session, &PostingImportSession::processingChanged);
    QSignalSpy finished(&session, &PostingImportSession::finished);

    session.begin();
    QVERIFY(session.isPresenting());
    session.process(QStringList {QStringLiteral("/pictures/first.png"), QStringLiteral("/pictures/second.png"),
        QStringLiteral("/pictures/third.jpg"), QStringLiteral("/pictures/blank.png")});
    // The call returns at once; the images are read off the main thread.
    QVERIFY(session.isProcessing() && session.drafts().isEmpty());
    QTRY_COMPARE(finished.count(), 1);
    QVERIFY(!session.isProcessing());
    QCOMPARE(processing.count(), 2); // on, then off
    QVERIFY(!engine.threads.contains(QThread::currentThread()));

    QCOMPARE(session.drafts().size(), 2);
    QCOMPARE(session.drafts().at(0)->sourceLabel(), QStringLiteral("first.png"));
    QCOMPARE(session.drafts().at(0)->company(), QStringLiteral("Acme Corp"));
    QCOMPARE(session.drafts().at(1)->sourceLabel(), QStringLiteral("third.jpg"));
    QCOMPARE(session.drafts().at(1)->position(), QStringLiteral("Backend Developer"));
    QCOMPARE(session.failures(),
        (QStringList {QStringLiteral("second.png: This file could not be read as an image."),
            QStringLiteral("blank.png: No text was found in this screenshot.")}));

    // A new import starts clean.
    QSignalSpy failures(&session, &PostingImportSession::failuresChanged);
    session.begin();
    QVERIFY(session.drafts().isEmpty() && session.failures().isEmpty());
    QCOMPARE(failures.count(), 1);
    session.setFailures({}); // the same list again: no notification
    QCOMPARE(failures.count(), 1);
}

void PostingImportSessionTest::moreInputWhileReading_data()
{
    QTest::addColumn<bool>("firstIsFile");
    QTest::addColumn<bool>("secondIsFile");
    QTest::newRow("screenshot, then files") << false << true;
    QTest::newRow("files, then screenshot") << true << false;
}

// A second paste or drop while the first is still being read joins the queue of
// the same run: one read at a time, each input once, in the order given.
void PostingImportSessionTest::moreInputWhileReading()
{
    QFETCH(bool, firstIsFile);
    QFETCH(bool, secondIsFile);
    FakeEngine engine;
    engine.delaysMs = {{QStringLiteral("slow.png"), 150}, {QStringLiteral("next.png"), 20}};
    engine.answers.insert(QStringLiteral("slow.png"), linesOf({QStringLiteral("Slow Engineer")}));
    engine.answers.insert(QStringLiteral("next.png"), linesOf({QStringLiteral("Next Engineer")}));
    PostingImportSession session(engine.factory(), nullptr);
    QSignalSpy processing(&session, &PostingImportSession::processingChanged);
    QSignalSpy finished(&session, &PostingImportSession::finished);
    const auto give = [&session](bool asFile, const QString& name) {
        if (asFile)
            session.process(QStringList {name});
        else
            session.process(name.toUtf8(), PostingImportSession::clipboardLabel());
    };
    session.begin();
    give(firstIsFile, QStringLiteral("slow.png"));
    QTRY_COMPARE(engine.running.load(), 1);
    give(secondIsFile, QStringLiteral("next.png"));
    QTRY_COMPARE(finished.count(), 1);
    QTest::qWait(50);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(processing.count(), 2); // on, then off
    QCOMPARE(engine.mostAtOnce.load(), 1);
    QCOMPARE(engine.reads, (QStringList {QStringLiteral("slow.png"), QStringLiteral("next.png")}));
    QCOMPARE(session.drafts().size(), 2);
    QCOMPARE(session.drafts().at(0)->position(), QStringLiteral("Slow Engineer"));
    QCOMPARE(session.drafts().at(1)->position(), QStringLiteral("Next Engineer"));
    QVERIFY(session.failures().isEmpty());
}

void PostingImportSessionTest::clipboardImageAndText()
{
    FakeEngine engine;
    engine.answers.insert(QStringLiteral("posting"), linesOf(postingLines));
    PostingImportSession session(engine.factory(), nullptr);
    QSignalSpy processing(&session, &PostingImportSession::processingChanged);

    session.begin();
    session.addText(QStringLiteral("  Backend Developer\nGlobex Labs\n"), PostingImportSession::clipboardLabel());
    // Text is parsed at once, without the processing flag.
    QCOMPARE(session.drafts().size(), 1);
    QCOMPARE(session.drafts().first()->sourceLabel(), QStringLiteral("Clipboard"));
    QCOMPARE(session.drafts().first()->company(), QStringLiteral("Globex Labs"));
    QCOMPARE(processing.count(), 0);

    session.begin(); // an image, and bytes that are none
    session.process(QByteArrayLiteral("posting"), PostingImportSession::clipboardLabel());
    session.process(QByteArrayLiteral("garbage"), PostingImportSession::clipboardLabel());
    QTRY_VERIFY(!session.isProcessing());
    QCOMPARE(session.drafts().size(), 1);
    QCOMPARE(session.drafts().first()->position(), QStringLiteral("Senior iOS Developer"));
    QCOMPARE(session.failures(), QStringList {QStringLiteral("Clipboard: This file could not be read as an image.")});

    session.begin();
    session.addFailure(PostingImportSession::emptyClipboardFailure());
    QCOMPARE(session.failures(), QStringList {QStringLiteral("The clipboard has no job posting text or screenshot.")});

    // A drop without files ends at once instead of leaving the sheet waiting.
    QSignalSpy finished(&session, &PostingImportSession::finished);
    session.begin();
    session.process(QStringList {});
    QCOMPARE(finished.count(), 1);
    QVERIFY(!session.isProcessing() && session.drafts().isEmpty() && session.failures().isEmpty());
}

void PostingImportSessionTest::newImportWhileReading_data()
{
    QTest::addColumn<QString>("next");
    QTest::addColumn<bool>("presenting");
    QTest::addColumn<int>("drafts");
    QTest::addColumn<int>("failures");
    QTest::newRow("pasted text") << "text" << true << 1 << 0;
    QTest::newRow("empty clipboard") << "nothing" << true << 0 << 1;
    QTest::newRow("another screenshot") << "image" << true << 1 << 0;
    QTest::newRow("empty file list") << "no files" << true << 0 << 0;
    QTest::newRow("reset") << "reset" << false << 0 << 0;
}

// A paste or a drop while screenshots are still being read starts a new import.
// The old run is stopped, nothing of it lands, and the processing flag ends off
// whatever the new import is.
void PostingImportSessionTest::newImportWhileReading()
{
    QFETCH(QString, next);
    QFETCH(bool, presenting);
    QFETCH(int, drafts);
    QFETCH(int, failures);
    FakeEngine engine;
    engine.answers.insert(QStringLiteral("posting.png"), linesOf(postingLines));
    PostingImportSession session(engine.factory(), nullptr);
    session.begin();
    session.process(QStringList {QStringLiteral("endless.png"), QStringLiteral("posting.png")});
    QTRY_COMPARE(engine.running.load(), 1);

    if (next == QLatin1String("reset")) {
        session.reset();
    } else {
        session.begin();
        if (next == QLatin1String("text"))
            session.addText(QStringLiteral("Backend Developer"), PostingImportSession::clipboardLabel());
        else if (next == QLatin1String("nothing"))
            session.addFailure(PostingImportSession::emptyClipboardFailure());
        else if (next == QLatin1String("image"))
            session.process(QByteArrayLiteral("posting.png"), PostingImportSession::clipboardLabel());
        else
            session.process(QStringList {});
    }
    // The dropped recognition hears about it and stops.
    QTRY_COMPARE(engine.cancelledReads.load(), 1);
    QTRY_VERIFY(!session.isProcessing());
    QCOMPARE(engine.running.load(), 0);
    QCOMPARE(session.isPresenting(), presenting);
    // Nothing of the first run arrives later (its second image is never read).
    QTest::qWait(50);
    QCOMPARE(session.drafts().size(), drafts);
    QCOMPARE(session.failures().size(), failures);
    QVERIFY(!session.isProcessing());
}

void PostingImportSessionTest::chosenDraftsAndCommit()
{
    FixedClock clock(utc(2025, 3, 7, 10));
    QTemporaryDir temp;
    StoreLoader loader = openStore(temp.path());
    QVERIFY(loader.isReady());
    Store& store = *loader.store();
    PostingImportSession session(PostingImportSession::Recognizer {}, nullptr);
    session.begin();
    session.addText(postingLines.join(QLatin1Char('\n')), QStringLiteral("one"));
    session.addText(QStringLiteral("Backend Developer"), QStringLiteral("blanked"));
    session.addText(QStringLiteral("https://jobs.example.com/view/123"), QStringLiteral("link only"));
    session.addText(QStringLiteral("Istanbul"), QStringLiteral("unticked"));
    QCOMPARE(session.drafts().size(), 4);
    PostingDraft* first = session.drafts().at(0);
    PostingDraft* blanked = session.drafts().at(1);
    PostingDraft* linkOnly = session.drafts().at(2);
    first->setCompany(QStringLiteral("  Acme  Corp \n"));
    blanked->setPosition(QStringLiteral("   "));
    QVERIFY(blanked->include());
    QVERIFY(linkOnly->include()); // a link is something, so it starts ticked…
    QVERIFY(!linkOnly->hasContent()); // …but without a company or position it is not added
    QCOMPARE(session.chosenDrafts(), QList<PostingDraft*> {first});
    linkOnly->setPosition(QStringLiteral("Engineer"));
    QCOMPARE(session.chosenDrafts(), (QList<PostingDraft*> {first, linkOnly}));

    // Added the way the window adds reviewed drafts.
    TodayProvider today;
    WindowState state(store, today);
    std::vector<std::unique_ptr<JobApplication>> made;
    for (const PostingDraft* draft : session.chosenDrafts())
        made.push_back(draft->makeApplication());
    const QList<JobApplication*> created = state.addNewApplications(std::move(made));
    QCOMPARE(created.size(), 2);
    QCOMPARE(store.count(), 2);
    JobApplication* a = created.first();
    QCOMPARE(a->companyName(), QStringLiteral("Acme  Corp")); // trimmed at the ends, inner blanks kept
    QCOMPARE(a->position(), QStringLiteral("Senior iOS Developer"));
    QCOMPARE(a->workModel(), WorkModel::hybrid);
    QCOMPARE(a->status(), ApplicationStatus::applied);
    QCOMPARE(a->applicationDate(), utc(2025, 3, 7, 10));
    QCOMPARE(created.at(1)->postingLink(), QStringLiteral("https://jobs.example.com/view/123"));
    QCOMPARE(created.at(1)->workModel(), WorkModel::remote); // when the posting names none
    QCOMPARE(state.selectedApplication(), a);
    QVERIFY(!store.hasChanges());
}

// The second reading rides along with each draft and changes none of its fields,
// for pasted text (on the spot) and for recognised lines (on the worker).
void PostingImportSessionTest::draftsCarryTheirSuggestions()
{
    const QStringList page {QStringLiteral("Backend Engineer"), QStringLiteral("Apply"), QStringLiteral("locations"),
        QStringLiteral("Berlin, Germany"), QStringLiteral("job requisition id"), QStringLiteral("R-10422"),
        QStringLiteral("At Fernhill, we build the tools that small shops use to sell online, in eleven countries "
                       "and four languages.")};
    FakeEngine engine;
    engine.answers.insert(QStringLiteral("shot.png"), RecognitionResult(linesOf(page)));
    PostingImportSession session(engine.factory(), nullptr);
    session.begin();
    session.addText(page.join(QLatin1Char('\n')), PostingImportSession::clipboardLabel());
    session.process(QStringList {QStringLiteral("/tmp/shot.png")});
    QTRY_COMPARE(session.drafts().size(), 2);
    for (const PostingDraft* draft : session.drafts()) {
        QVERIFY(draft->suggestions().company);
        QCOMPARE(draft->suggestions().company->value, QStringLiteral("Fernhill"));
        QCOMPARE(draft->suggestions().board->value, JobBoard::workday);
        QVERIFY(draft->company().isEmpty());
        QCOMPARE(draft->parsed().board, JobBoard::unknown);
        QVERIFY(!draft->parsed().company);
    }
}

void PostingImportSessionTest::existingApplications_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("company");
    QTest::addColumn<QString>("position");
    QTest::addColumn<QString>("link");
    QTest::addColumn<int>("expected"); // index among the stored records, -1 for none

    // Stored: 0 Acme Corp / Backend Developer (linkedin link), 1 Işık Yazılım / Mobil
    // Geliştirici, 2 Istanbul Labs / Designer, 3 Acme Corp / Backend Developer applied
    // later, 4 Globex / QA Engineer with a case-sensitive path.
    const auto row = [](const char* name, const char* company, const char* position, const char* link, int expected,
                         QLocale::Language language = QLocale::English) {
        QTest::newRow(name) << QLocale(language) << QString::fromUtf8(company) << QString::fromUtf8(position)
                            << QString::fromUtf8(link) << expected;
    };
    row("company and position, other case; the latest of two", "ACME CORP", "backend developer", "", 3);
    row("inner and outer blanks", "  Acme   Corp ", "Backend  Developer", "", 3);
    row("tr: I and ı, İ and i", "IŞIK YAZILIM", "MOBİL GELİŞTİRİCİ", "", 1, QLocale::Turkish);
    row("en: İ folds apart from I, as the search does", "İstanbul Labs", "Designer", "", -1);
    row("company alone is no match", "Acme Corp", "Frontend Developer", "", -1);
    row("position alone is no match", "Initech", "Backend Developer", "", -1);
    row("link: scheme, www and trailing slash aside", "", "", "linkedin.com/jobs/view/4012345678", 0);
    row("link: the host's case aside", "Someone Else", "Another Job", "HTTP://WWW.LinkedIn.com/jobs/view/4012345678//",
        0);
    row("link: the path's case counts", "", "", "https://globex.com/Jobs/QA-7", -1);
    row("link: the same path", "", "", "globex.com/jobs/QA-7/", 4);
    row("blank draft", " ", "", "  ", -1);
}

void PostingImportSessionTest::existingApplications()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, company);
    QFETCH(QString, position);
    QFETCH(QString, link);
    QFETCH(int, expected);
    QTemporaryDir temp;
    StoreLoader loader = openStore(temp.path());
    QVERIFY(loader.isReady());
    Store& store = *loader.store();
    auto add = [&](const char* storedCompany, const char* storedPosition, const char* storedLink, int day) {
        return store
            .insert(
                std::make_unique<JobApplication>(QString::fromUtf8(storedCompany), QString::fromUtf8(storedPosition),
                    QString::fromUtf8(storedLink), WorkModel::remote, ApplicationStatus::applied, utc(2025, 3, day)))
            ->id();
    };
    const QList<RecordID> ids {
        add("Acme Corp", "Backend Developer", "https://www.linkedin.com/jobs/view/4012345678/", 1),
        add("Işık Yazılım", "Mobil Geliştirici", "", 2),
        add("Istanbul Labs", "Designer", "", 3),
        add("acme corp", "BACKEND DEVELOPER", "", 9),
        add("Globex", "QA Engineer", "https://globex.com/jobs/QA-7", 4),
    };
    const ExistingApplications existing(store.applications(), locale);
    const std::optional<RecordID> found = existing.find(company, position, link);
    QCOMPARE(found, expected < 0 ? std::nullopt : std::optional<RecordID>(ids.at(expected)));
}

void PostingImportSessionTest::realEngineEndToEnd()
{
    // A posting header drawn the way job boards set it: a large title, the
    // company line with its middle dots, and a work-model chip.
    QImage image(1000, 360, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (const auto& [text, size, y] : {std::tuple {"Senior Backend Engineer", 40, 90},
             std::tuple {"Globex Systems · Ankara, Türkiye · 3 days ago", 22, 160}, std::tuple {"Remote", 22, 230}}) {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(size);
        painter.setFont(font);
        painter.drawText(40, y, QString::fromUtf8(text));
    }
    painter.end();
    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("posting.png"));
    QVERIFY(image.save(path));

    PostingImportSession session;
    QSignalSpy finished(&session, &PostingImportSession::finished);
    session.begin();
    session.process(QStringList {path});
    QVERIFY(finished.wait(120000));
    QVERIFY(session.failures().isEmpty());
    QCOMPARE(session.drafts().size(), 1);
    const PostingDraft* draft = session.drafts().first();
    QCOMPARE(draft->position(), QStringLiteral("Senior Backend Engineer"));
    QCOMPARE(draft->company(), QStringLiteral("Globex Systems"));
    QCOMPARE(draft->workModel(), WorkModel::remote);
    QVERIFY(draft->include());
}

// A window closing while its session reads an image that would take the engine
// many minutes (noise, 4096 x 4096) does not wait for it: the worker is killed.
void PostingImportSessionTest::goingAwayStopsAHostileImage()
{
    QImage noise(4096, 4096, QImage::Format_RGB32);
    auto* random = QRandomGenerator::global();
    for (int y = 0; y < noise.height(); ++y)
        random->fillRange(reinterpret_cast<quint32*>(noise.scanLine(y)), noise.width());
    QByteArray bitmap;
    QBuffer buffer(&bitmap);
    QVERIFY(buffer.open(QIODevice::WriteOnly) && noise.save(&buffer, "BMP"));
    const QList<qint64> others = childProcesses("applywright-ocr");
    {
        PostingImportSession session;
        session.begin();
        session.process(bitmap, PostingImportSession::clipboardLabel());
        QTRY_COMPARE(childProcesses("applywright-ocr").size(), others.size() + 1);
        QTest::qWait(1000); // well into the page by now
        QVERIFY(session.isProcessing());
    }
    QCOMPARE(childProcesses("applywright-ocr"), others);
}

QTEST_MAIN(PostingImportSessionTest)
#include "tst_postingimportsession.moc"
