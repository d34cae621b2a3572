#include "TestSupport.h"
#include "posting/DrawnPages.h"
#include "posting/StandInEngine.h"

#include "model/JobApplication.h"
#include "posting/ExistingApplications.h"
#include "posting/PostingDraft.h"
#include "posting/PostingImportSession.h"
#include "posting/PostingParser.h"
#include "store/Store.h"
#include "store/StoreLoader.h"

#include <QBuffer>
#include <QImage>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace TestSupport;
using namespace Qt::StringLiterals;

namespace {

using StandIn::linesOf;
using StandIn::postingLines;
using FakeEngine = StandIn::Engine;

// "label | company | position" per draft, then the failure lines: one comparison shows a
// missing, extra, misplaced or wrongly filled result.
QStringList outcome(const PostingImportSession& session)
{
    QStringList lines;
    for (const PostingDraft* draft : session.drafts())
        lines.append(QStringList {draft->sourceLabel(), draft->company(), draft->position()}.join(u" | "_s));
    return lines + session.failures();
}

} // namespace

class PostingImportSessionTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { useTimeZone("Europe/Istanbul"); }
    void cleanup() { Clock::reset(); }

    void notifiesOnlyRealChanges()
    {
        PostingDraft draft(PostingParser::parse(postingLines.join(u'\n')), u"a.png"_s);
        QSignalSpy changed(&draft, &PostingDraft::changed);
        draft.setCompany(u"Acme Corp"_s);
        draft.setWorkModel(WorkModel::hybrid);
        draft.setInclude(true);
        QCOMPARE(changed.count(), 0);
        draft.setCompany(u"Acme"_s);
        draft.setWorkModel(WorkModel::onSite);
        draft.setInclude(false);
        draft.setPostingLink(u"x"_s);
        QCOMPARE(changed.count(), 4);
        QCOMPARE(draft.parsed().company->value, u"Acme Corp"_s); // the parse result stays

        PostingImportSession session(PostingImportSession::Recognizer {}, nullptr);
        QSignalSpy failures(&session, &PostingImportSession::failuresChanged);
        for (int i = 0; i < 2; ++i)
            session.setFailures({u"x"_s});
        QCOMPARE(failures.count(), 1);
        session.begin(); // clears them, once
        session.begin();
        QCOMPARE(failures.count(), 2);
    }

    void inputsBecomeDraftsAndFailures_data()
    {
        // A step is "files:a.png,b.png" (one drop, perhaps of nothing), "data:name" (image bytes,
        // labelled by their name), "text:…" (pasted text), "nothing" (an empty clipboard), "wait"
        // (until a read is under way), "begin" or "reset". Images named "never…" must not be read.
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("processingSignals");
        QTest::addColumn<int>("finishedSignals");
        const QString unreadable = u": This file could not be read as an image."_s;
        QTest::newRow("drafts in the given order, the slowest too; failures after")
            << QStringList {u"files:first.png,second.png,third.jpg,blank.png"_s}
            << QStringList {u"first.png | Acme Corp | Senior iOS Developer"_s, u"third.jpg |  | Backend Developer"_s,
                   u"second.png"_s + unreadable, u"blank.png: No text was found in this screenshot."_s}
            << 2 << 1;
        // A second paste or drop while the first is still being read joins the queue of
        // the same run: one read at a time, each input once, in the order given.
        const QStringList slowThenNext {u"slow.png |  | Slow Engineer"_s, u"next.png |  | Next Engineer"_s};
        QTest::newRow("second process() while reading joins the run: files")
            << QStringList {u"data:slow.png"_s, u"wait"_s, u"files:next.png"_s} << slowThenNext << 2 << 1;
        QTest::newRow("second process() while reading joins the run: image")
            << QStringList {u"files:slow.png"_s, u"wait"_s, u"data:next.png"_s} << slowThenNext << 2 << 1;
        QTest::newRow("an image and bytes that are none")
            << QStringList {u"data:posting"_s, u"data:garbage"_s}
            << QStringList {u"posting | Acme Corp | Senior iOS Developer"_s, u"garbage"_s + unreadable} << 2 << 1;
        // Text is parsed at once, without the processing flag.
        QTest::newRow("text") << QStringList {u"text:  Backend Developer\nGlobex Labs\n"_s}
                              << QStringList {u"Clipboard | Globex Labs | Backend Developer"_s} << 0 << 0;
        // A drop without files ends at once instead of leaving the sheet waiting.
        QTest::newRow("a drop of no files") << QStringList {u"files:"_s} << QStringList {} << 0 << 1;

        // A paste or a drop while screenshots are still being read starts a new import: the
        // old run is stopped, nothing of it lands, and the processing flag ends off.
        const QStringList reading {u"files:endless.png,never.png"_s, u"wait"_s, u"begin"_s};
        QTest::newRow("new import: pasted text") << reading + QStringList {u"text:Backend Developer"_s}
                                                 << QStringList {u"Clipboard |  | Backend Developer"_s} << 2 << 0;
        QTest::newRow("new import: empty clipboard")
            << reading + QStringList {u"nothing"_s}
            << QStringList {u"The clipboard has no job posting text or screenshot."_s} << 2 << 0;
        QTest::newRow("new import: a screenshot")
            << reading + QStringList {u"data:posting"_s}
            << QStringList {u"posting | Acme Corp | Senior iOS Developer"_s} << 2 << 1;
        QTest::newRow("new import: no files") << reading + QStringList {u"files:"_s} << QStringList {} << 2 << 1;
        QTest::newRow("reset while reading")
            << QStringList {u"files:endless.png,never.png"_s, u"wait"_s, u"reset"_s} << QStringList {} << 2 << 0;
    }

    void inputsBecomeDraftsAndFailures()
    {
        QFETCH(QStringList, steps);
        QFETCH(int, finishedSignals);
        FakeEngine engine;
        PostingImportSession session(engine.factory(), nullptr);
        QSignalSpy processing(&session, &PostingImportSession::processingChanged);
        QSignalSpy finished(&session, &PostingImportSession::finished);
        session.begin();
        QStringList images;
        for (const QString& step : steps) {
            const QString argument = step.section(u':', 1);
            if (step == u"wait"_s)
                QTRY_COMPARE(engine.running.load(), 1);
            else if (step == u"begin"_s)
                session.begin();
            else if (step == u"reset"_s)
                session.reset();
            else if (step == u"nothing"_s)
                session.addFailure(PostingImportSession::emptyClipboardFailure());
            else if (step.startsWith(u"text:"_s))
                session.addText(argument, PostingImportSession::clipboardLabel());
            else if (step.startsWith(u"data:"_s))
                session.process(argument.toUtf8(), argument);
            else
                session.process(argument.split(u',', Qt::SkipEmptyParts));
            if (!step.startsWith(u"text:"_s))
                images += argument.split(u',', Qt::SkipEmptyParts);
        }
        // A dropped run's read hears about it and stops.
        QTRY_COMPARE(engine.cancelledReads.load(), int(images.filter(u"endless"_s).size()));
        QTRY_VERIFY(!session.isProcessing());
        QTRY_COMPARE(finished.count(), finishedSignals);
        QTest::qWait(50); // and nothing more comes
        QCOMPARE(finished.count(), finishedSignals);
        QTEST(int(processing.count()), "processingSignals"); // on, then off
        QCOMPARE(session.isPresenting(), !steps.contains(u"reset"_s));
        QTEST(outcome(session), "expected");
        // Read off the main thread, one at a time, each once and in the order given.
        QVERIFY(!engine.threads.contains(QThread::currentThread()));
        QVERIFY(engine.mostAtOnce.load() <= 1);
        QCOMPARE(engine.reads, images.filter(QRegularExpression(u"^(?!never)"_s)));
        session.begin(); // a new import starts clean
        QVERIFY(outcome(session).isEmpty());
    }

    void chosenDraftsMakeApplications()
    {
        FixedClock clock(utc(2025, 3, 7, 10));
        PostingImportSession session(PostingImportSession::Recognizer {}, nullptr);
        session.begin();
        for (const QString& text :
            {postingLines.join(u'\n'), u"Backend Developer"_s, u"https://jobs.example.com/view/123"_s, u"Istanbul"_s})
            session.addText(text, u"shot.png"_s);
        PostingDraft* first = session.drafts().at(0);
        PostingDraft* blanked = session.drafts().at(1);
        PostingDraft* linkOnly = session.drafts().at(2);
        first->setCompany(u"  Acme  Corp \n"_s);
        blanked->setPosition(u"   "_s);
        QVERIFY(blanked->include() && linkOnly->include()); // a link is something, so it starts ticked…
        QCOMPARE(session.chosenDrafts(), QList<PostingDraft*> {first}); // …but alone it is not added
        linkOnly->setPosition(u"Engineer"_s);
        QStringList made;
        for (const PostingDraft* draft : session.chosenDrafts()) {
            const std::unique_ptr<JobApplication> a = draft->makeApplication();
            made.append(QStringList {a->companyName(), a->position(), a->postingLink(), title(a->workModel()),
                title(a->status()), a->applicationDate().toUTC().toString(Qt::ISODate)}
                            .join(u" | "_s));
        }
        // Trimmed at the ends with inner blanks kept; remote when the posting names no work model.
        QCOMPARE(made,
            (QStringList {u"Acme  Corp | Senior iOS Developer |  | Hybrid | Applied | 2025-03-07T10:00:00Z"_s,
                u" | Engineer | https://jobs.example.com/view/123 | Remote | Applied | 2025-03-07T10:00:00Z"_s}));
    }

    // Pasted text (on the spot) and recognised lines (on the worker) start alike: with
    // the second reading's value where the parser found none, the parse result kept
    // as it was, and the lines they were read from (with their boxes, for a screenshot).
    void draftsStartWithTheBetterReading()
    {
        const QStringList page {u"Backend Engineer"_s, u"Apply"_s, u"locations"_s, u"Berlin, Germany"_s,
            u"job requisition id"_s, u"R-10422"_s,
            u"At Fernhill, we build the tools that small shops use to sell online, in eleven countries "
            "and four languages."_s};
        FakeEngine engine;
        engine.answers.insert(u"shot.png"_s, linesOf(page));
        PostingImportSession session(engine.factory(), nullptr);
        session.begin();
        session.addText(page.join(u'\n'), PostingImportSession::clipboardLabel());
        session.process(QStringList {u"/tmp/shot.png"_s});
        QTRY_COMPARE(session.drafts().size(), 2);
        for (const PostingDraft* draft : session.drafts()) {
            QCOMPARE(draft->company(), u"Fernhill"_s);
            QCOMPARE(draft->start().company.source, ReadingSource::second);
            QVERIFY(!draft->parsed().company && draft->suggestions().company);
            QCOMPARE(draft->start().board, JobBoard::workday);
            QCOMPARE(draft->source().lines.size(), page.size());
            QVERIFY(draft->include() && !draft->isEdited());
        }
        const DraftSource& pasted = session.drafts().at(0)->source();
        const DraftSource& shot = session.drafts().at(1)->source();
        QVERIFY(!pasted.isImage() && !pasted.lines.first().box);
        QCOMPARE(shot.filePath, u"/tmp/shot.png"_s);
        QCOMPARE(shot.lines.at(3).box, linesOf(page).at(3).box);
    }

    // Where the review starts, and what counts as the person's own work afterwards.
    void reviewStartsUntouched_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("stored"); // the list already holds this application
        QTest::addColumn<QString>("edit");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<bool>("edited");
        const QString posting = postingLines.join(u'\n');
        QTest::newRow("a new posting starts ticked") << posting << false << "" << true << false;
        QTest::newRow("one already in the list starts unticked") << posting << true << "" << false << false;
        QTest::newRow("ticking it again is the person's doing") << posting << true << "tick" << true << true;
        QTest::newRow("no posting starts unticked")
            << u"Ayşe\nAre we still on tonight?\nMy manager at Globex Ltd kept me late again\n"_s << false << ""
            << false << false;
        QTest::newRow("nothing found starts unticked") << u"3 days ago"_s << false << "" << false << false;
        QTest::newRow("typing in a field") << posting << false << "type" << true << true;
        QTest::newRow("typing the value back is no change") << posting << false << "type back" << true << false;
        QTest::newRow("another work model") << posting << false << "work model" << true << true;
    }

    void reviewStartsUntouched()
    {
        QFETCH(QString, text);
        QFETCH(bool, stored);
        QFETCH(QString, edit);
        QFETCH(bool, edited);
        PostingImportSession session(PostingImportSession::Recognizer {}, nullptr);
        JobApplication record(u"Acme Corp"_s, u"Senior iOS Developer"_s, QString(), WorkModel::hybrid,
            ApplicationStatus::applied, utc(2025, 3, 1));
        session.setExistingRecords([&](const PostingDraft& draft) {
            return stored && draft.company() == record.companyName() ? &record : nullptr;
        });
        session.begin();
        session.addText(text, PostingImportSession::clipboardLabel());
        PostingDraft* draft = session.drafts().first();
        if (edit == u"tick")
            draft->setInclude(true);
        if (edit.startsWith(u"type"_s))
            draft->setCompany(u"Acme"_s);
        if (edit == u"type back")
            draft->setCompany(u"Acme Corp"_s);
        if (edit == u"work model")
            draft->setWorkModel(WorkModel::onSite);
        QTEST(draft->include(), "ticked");
        QCOMPARE(draft->isEdited(), edited);
        QCOMPARE(session.editedDrafts(), qsizetype(edited ? 1 : 0));
        QCOMPARE(session.existingRecord(*draft), stored ? &record : nullptr);
    }

    void existingApplications_data()
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
        row("link: the host's case aside", "Someone Else", "Another Job",
            "HTTP://WWW.LinkedIn.com/jobs/view/4012345678//", 0);
        row("link: the path's case counts", "", "", "https://globex.com/Jobs/QA-7", -1);
        row("link: the same path", "", "", "globex.com/jobs/QA-7/", 4);
        row("blank draft", " ", "", "  ", -1);
    }

    void existingApplications()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, company);
        QFETCH(QString, position);
        QFETCH(QString, link);
        QFETCH(int, expected);
        QTemporaryDir temp;
        StoreLoader loader = openStore(temp.path());
        QVERIFY(loader.isReady());
        QList<RecordID> ids;
        for (const auto& [storedCompany, storedPosition, storedLink, day] :
            {std::tuple {
                 u"Acme Corp"_s, u"Backend Developer"_s, u"https://www.linkedin.com/jobs/view/4012345678/"_s, 1},
                {u"Işık Yazılım"_s, u"Mobil Geliştirici"_s, QString(), 2},
                {u"Istanbul Labs"_s, u"Designer"_s, QString(), 3},
                {u"acme corp"_s, u"BACKEND DEVELOPER"_s, QString(), 9},
                {u"Globex"_s, u"QA Engineer"_s, u"https://globex.com/jobs/QA-7"_s, 4}})
            ids.append(loader.store()
                           ->insert(std::make_unique<JobApplication>(storedCompany, storedPosition, storedLink,
                               WorkModel::remote, ApplicationStatus::applied, utc(2025, 3, day)))
                           ->id());
        const ExistingApplications existing(loader.store()->applications(), locale);
        QCOMPARE(existing.find(company, position, link),
            expected < 0 ? std::nullopt : std::optional<RecordID>(ids.at(expected)));
    }

    // An image that takes long gets a line naming it, for as long as it is read; quick
    // ones say nothing.
    void aLongReadSaysSo()
    {
        FakeEngine engine;
        PostingImportSession session(engine.factory(), nullptr);
        QSignalSpy progress(&session, &PostingImportSession::progressChanged);
        session.begin();
        session.process(QStringList {u"next.png"_s});
        QTRY_COMPARE(session.drafts().size(), 1);
        QCOMPARE(progress.count(), 0);

        session.setStillReadingAfter(0);
        session.begin();
        session.process(QStringList {u"next.png"_s});
        QTRY_COMPARE(session.drafts().size(), 1);
        QCOMPARE(session.progress(), QString()); // the line goes with its image
        session.begin();
        session.process(QStringList {u"next.png"_s, u"endless.png"_s});
        QTRY_COMPARE(session.progress(), u"Still reading endless.png…"_s);
        session.reset();
        QCOMPARE(session.progress(), QString());
    }

    // The real engine reads a posting header drawn the way job boards set it: a large
    // title, the company line with its middle dots, and a work-model chip. A session that
    // goes while the engine reads an image that would take it a minute (a screen full
    // of small text) does not wait for it: the worker is killed.
    void realEngine()
    {
        const QImage image = DrawnPages::drawPage(QSize(1000, 360),
            {{u"Senior Backend Engineer"_s, 40, QPoint(40, 90)},
                {u"Globex Systems · Ankara, Türkiye · 3 days ago"_s, 22, QPoint(40, 160)},
                {u"Remote"_s, 22, QPoint(40, 230)}});
        QTemporaryDir temp;
        const QString path = temp.filePath(u"posting.png"_s);
        QVERIFY(image.save(path));
        QByteArray bitmap;
        QBuffer buffer(&bitmap);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && DrawnPages::denseScreen().save(&buffer, "BMP"));
        const QList<qint64> others = childProcesses("applywright-ocr");
        {
            PostingImportSession session;
            QSignalSpy finished(&session, &PostingImportSession::finished);
            session.begin();
            session.process(QStringList {path});
            QVERIFY(finished.wait(120000));
            QCOMPARE(outcome(session), QStringList {u"posting.png | Globex Systems | Senior Backend Engineer"_s});
            QCOMPARE(session.drafts().first()->workModel(), WorkModel::remote);
            QVERIFY(session.drafts().first()->include());
            // Each line keeps where the engine found it: the title in the top quarter.
            const std::optional<QRectF> title = session.drafts().first()->source().lines.first().box;
            QVERIFY(title && title->y() > 0.6 && title->y() + title->height() <= 1.0 && title->x() < 0.1);

            session.begin();
            session.process(bitmap, PostingImportSession::clipboardLabel());
            QTest::qWait(1000); // well into the page by now
            QVERIFY(session.isProcessing());
            QCOMPARE(childProcesses("applywright-ocr").size(), others.size() + 1);
        }
        QCOMPARE(childProcesses("applywright-ocr"), others);
    }
};

QTEST_MAIN(PostingImportSessionTest)
#include "tst_postingimportsession.moc"
