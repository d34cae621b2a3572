// Bringing postings and backups in and out of the window: the review sheet driven
// by a stand-in recogniser, the clipboard's order, drops, the commit of drafts,
// backup export and import with the panels replaced, and cancelling a recognition.

#include "UiTestSupport.h"

#include "backup/BackupTransfer.h"
#include "posting/PostingDraft.h"
#include "tracking/TodayProvider.h"
#include "tracking/WindowState.h"
#include "ui/AlreadyAppliedLine.h"
#include "ui/ApplicationListView.h"
#include "ui/BackupFlow.h"
#include "ui/ClipboardPosting.h"
#include "ui/ConfidenceBadge.h"
#include "ui/DraftRow.h"
#include "ui/EvidenceHint.h"
#include "ui/PostingImportFlow.h"
#include "ui/PostingImportSheet.h"
#include "ui/SuggestionChip.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QMimeData>
#include <QMutex>
#include <QPushButton>
#include <QSignalSpy>
#include <QThread>

#include <atomic>

using namespace UiTestSupport;
using namespace Qt::StringLiterals;

namespace {

QList<PostingLine> linesOf(const QStringList& texts)
{
    QList<PostingLine> lines;
    for (int i = 0; i < texts.size(); ++i)
        lines.append(PostingLine {texts[i], i, 1.0 - 0.1 * i, 0.9});
    return lines;
}

const QStringList postingLines {
    u"Senior iOS Developer"_s, u"Acme Corp · Istanbul, Türkiye · 2 days ago"_s, u"Hybrid"_s};

// Stands in for the recognition engine: answers by file name (or by the bytes of
// clipboard data read as text), finds no text in "blank.png", cannot read the
// files it has no answer for, records what it was asked, and reads inputs named
// "endless…" until their run is dropped.
struct StandInEngine {
    QMutex mutex;
    const QHash<QString, RecognitionResult> answers {{u"posting.png"_s, linesOf(postingLines)},
        {u"shot.png"_s, linesOf(postingLines)}, {u"a.png"_s, linesOf(postingLines)},
        {u"posting"_s, linesOf(postingLines)}, {u"blank.png"_s, RecognitionResult(RecognizerError::noTextFound())}};
    QStringList asked;
    std::atomic<int> running {0};
    std::atomic<int> cancelledReads {0};

    RecognitionResult read(const QString& key, const std::atomic<bool>& cancelled)
    {
        {
            QMutexLocker lock(&mutex);
            asked.append(key);
        }
        if (key.startsWith(u"endless"_s)) {
            ++running;
            QElapsedTimer waited;
            waited.start();
            while (!cancelled.load() && waited.elapsed() < 10000)
                QThread::msleep(2);
            --running;
            if (cancelled.load())
                ++cancelledReads;
            return RecognitionResult(RecognizerError::noTextFound());
        }
        return answers.value(key, RecognitionResult(RecognizerError::unreadableImage()));
    }

    PostingImportSession::RecognizerFactory factory()
    {
        return [this](std::shared_ptr<const std::atomic<bool>> cancelled) {
            return PostingImportSession::Recognizer {
                [this, cancelled](const QString& path) { return read(QFileInfo(path).fileName(), *cancelled); },
                [this, cancelled](const QByteArray& data) { return read(QString::fromUtf8(data), *cancelled); }};
        };
    }

    QStringList askedSoFar()
    {
        QMutexLocker lock(&mutex);
        return asked;
    }
};

QStringList labels(const PostingImportSession& session)
{
    QStringList result;
    for (const PostingDraft* draft : session.drafts())
        result.append(draft->sourceLabel());
    return result;
}

// A review sheet, shown, over a session without a recogniser that holds one draft
// read from each text.
struct Review {
    PostingImportSession session {PostingImportSession::Recognizer {}, nullptr};
    PostingImportSheet sheet;

    explicit Review(const QStringList& texts, PostingImportSheet::CommitAction commit = {})
        : sheet(session, std::move(commit))
    {
        session.begin();
        for (const QString& text : texts)
            session.addText(text, u"draft.png"_s);
        sheet.show();
        if (!QTest::qWaitForWindowExposed(&sheet))
            qWarning("sheet not exposed");
    }
};

QByteArray pngBytes()
{
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::white);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Drags `urls` onto `target` and drops them there; whether the drop was taken.
bool dropOn(QWidget* target, const QList<QUrl>& urls)
{
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(40, 40), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(40, 40), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

} // namespace

class TestImport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { useTestLocale(); }
    void init()
    {
        m_clock.emplace(testNow());
        m_store = std::make_unique<TempStore>();
        QVERIFY(m_store->isReady());
        m_today.emplace();
        m_files = std::make_unique<QTemporaryDir>();
        m_desktop = {};
        m_alerts = m_picked = {};
        m_pickedFolder = m_savePath = m_suggestedPath = m_openPath = QString();
        QGuiApplication::clipboard()->clear();
    }
    void cleanup()
    {
        m_today.reset();
        m_store.reset();
        m_clock.reset();
    }

    void sheetFollowsTheSession_data()
    {
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<int>("content");
        QTest::addColumn<bool>("reading");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QStringList>("failures");
        using C = PostingImportSheet::Content;
        const auto row
            = [](const char* name, const char* inputs, C content, bool reading, int rows, QStringList failures) {
                  QTest::newRow(name) << QString::fromLatin1(inputs).split(u' ') << int(content) << reading << rows
                                      << failures;
              };
        const QString unreadable = u": This file could not be read as an image."_s;
        row("reading the first", "endless.png posting.png", C::reading, true, 0, {});
        row("first draft while reading on", "posting.png endless.png", C::review, true, 1, {});
        row("review with a failure", "posting.png broken.png", C::review, false, 1, {u"broken.png"_s + unreadable});
        row("nothing read, three failures", "blank.png broken.png empty.png", C::nothingRead, false, 0,
            {u"blank.png: No text was found in this screenshot."_s, u"broken.png"_s + unreadable,
                u"empty.png"_s + unreadable});
    }

    void sheetFollowsTheSession()
    {
        QFETCH(QStringList, inputs);
        QFETCH(int, content);
        QFETCH(bool, reading);
        QFETCH(int, rows);
        QFETCH(QStringList, failures);

        StandInEngine engine;
        PostingImportSession session(engine.factory(), nullptr);
        QList<PostingDraft*> committed;
        PostingImportSheet sheet(session, [&](const QList<PostingDraft*>& drafts) { committed = drafts; });
        session.begin();
        sheet.show();

        QStringList paths;
        for (const QString& name : inputs)
            paths.append(u"/shots/"_s + name);
        session.process(paths);
        const bool endless = inputs.contains(u"endless.png"_s);
        if (endless)
            QTRY_COMPARE(engine.running.load(), 1);
        QTRY_COMPARE(int(sheet.rows().size()), rows);
        if (!endless)
            QTRY_VERIFY(!session.isProcessing());
        QCOMPARE(int(sheet.content()), content);
        QCOMPARE(sheet.footerIndicator()->isVisible(), reading);
        QCOMPARE(sheet.failureTexts(), failures);
        QCOMPARE(sheet.findChild<QWidget*>(u"failureLines"_s)->isVisible(), !failures.isEmpty());
        QCOMPARE(sheet.addButton()->text(), u"Add %1 Applications"_s.arg(rows));
        QCOMPARE(sheet.addButton()->isEnabled(), rows > 0);
        session.reset();
        QVERIFY(!sheet.isVisible());
        QVERIFY(committed.isEmpty());
    }

    void draftRowsAndTheAddCount()
    {
        Review review({u"3 days ago"_s, postingLines.join(u'\n') + u"\nhttps://www.linkedin.com/jobs/view/123456"_s,
            u"https://jobs.example.com/view/123"_s});
        PostingImportSheet& sheet = review.sheet;
        QCOMPARE(sheet.addButton()->text(), u"Add 1 Applications"_s);

        // Nothing detected: unticked, faded, "Needs review".
        DraftRow* empty = sheet.rows().at(0);
        QVERIFY(!empty->includeBox()->isChecked());
        QCOMPARE(empty->rowOpacity(), 0.5);
        QCOMPARE(empty->confidenceBadge()->badge().text(), u"Needs review"_s);

        DraftRow* found = sheet.rows().at(1);
        QCOMPARE(found->companyField()->text(), u"Acme Corp"_s);
        QCOMPARE(found->positionField()->text(), u"Senior iOS Developer"_s);
        QVERIFY(found->boardChip() && found->boardChip()->text() == u"LinkedIn"_s);
        QCOMPARE(found->evidenceHints()[0]->toolTip(), u"Detected from: Acme Corp · Istanbul, Türkiye · 2 days ago"_s);
        // The work-model picker writes the draft, and the draft's changes reach the row and the count.
        const QList<QAbstractButton*> segments = found->workModelSegments();
        QVERIFY(segments.at(1)->isChecked()); // hybrid
        segments.at(2)->click();
        QCOMPARE(found->draft()->workModel(), WorkModel::onSite);
        found->draft()->setInclude(false);
        QVERIFY(!found->includeBox()->isChecked());
        QCOMPARE(found->rowOpacity(), 0.5);
        QCOMPARE(sheet.addButton()->text(), u"Add 0 Applications"_s);
        QVERIFY(!sheet.addButton()->isEnabled());

        // Ticking a draft without company and position leaves the count alone; blanks are no company.
        empty->includeBox()->click();
        QCOMPARE(empty->rowOpacity(), 1.0);
        QTest::keyClicks(empty->companyField(), u"   "_s);
        QVERIFY(!sheet.addButton()->isEnabled());
        QTest::keyClicks(empty->companyField(), u"Initech"_s);
        QCOMPARE(empty->draft()->company(), u"   Initech"_s);
        QCOMPARE(sheet.addButton()->text(), u"Add 1 Applications"_s);
        // The link-only draft counts once it has a position.
        typeText(sheet.rows().at(2)->positionField(), u"Geliştirici"_s);
        QCOMPARE(sheet.addButton()->text(), u"Add 2 Applications"_s);
        // A running import does not disable Add.
        review.session.setProcessing(true);
        QVERIFY(sheet.addButton()->isEnabled());
        review.session.setProcessing(false);
    }

    void overallConfidence_data()
    {
        QTest::addColumn<int>("company"); // -1: not detected
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("expected");
        QTest::newRow("the lower of the two") << 2 << 1 << 1;
        QTest::newRow("position high, company missing") << -1 << 2 << 0;
        QTest::newRow("company only") << 2 << -1 << 0;
    }

    void overallConfidence()
    {
        QFETCH(int, company);
        QFETCH(int, position);
        QFETCH(int, expected);
        ParsedPosting parsed;
        if (company >= 0)
            parsed.company = ParsedField<QString> {u"Acme"_s, ParseConfidence(company), u"Acme"_s};
        if (position >= 0)
            parsed.position = ParsedField<QString> {u"Dev"_s, ParseConfidence(position), u"Dev"_s};
        PostingDraft draft(parsed, u"a.png"_s);
        DraftRow row(draft);
        QCOMPARE(row.confidenceBadge()->badge().text(), ConfidenceBadge::text(ParseConfidence(expected)));
    }

    // A LinkedIn card the parser reads neither employer nor title from (the title's word
    // is not in its list, the employer stands above it): the suggestions fill both.
    void suggestionChipsFillTheirFields()
    {
        Review review({u"Kestrel Data SE\nÜrün Tasarımcısı\nİzmir, Türkiye · 3 hafta önce · 47 başvuru "
                       "sahibi\nHibrit\nKolay Başvuru\n"_s});
        PostingImportSheet& sheet = review.sheet;
        DraftRow* row = sheet.rows().first();
        PostingDraft* draft = row->draft();
        QVERIFY(draft->include()); // the work model was found
        QVERIFY(draft->company().isEmpty() && draft->position().isEmpty());

        // Offered, not filled.
        SuggestionChip* company = row->companySuggestion();
        QVERIFY(company && company->isVisible());
        QCOMPARE(company->text(), u"Use “Kestrel Data SE”"_s);
        QVERIFY(row->companyField()->text().isEmpty());
        QVERIFY(!row->workModelSuggestion()); // the parser's own "Hibrit" stands

        // A click fills the field through the draft, as typing does, and the count follows.
        QTest::mouseClick(company, Qt::LeftButton);
        QCOMPARE(draft->company(), u"Kestrel Data SE"_s);
        QCOMPARE(row->companyField()->text(), u"Kestrel Data SE"_s);
        QVERIFY(!company->isVisible());
        QCOMPARE(sheet.addButton()->text(), u"Add 1 Applications"_s);

        // The keyboard reaches the position's chip from its field; Space takes it.
        SuggestionChip* position = row->positionSuggestion();
        QVERIFY(position && position->isVisible());
        row->positionField()->setFocus();
        QTest::keyClick(row->positionField(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), position);
        QTest::keyClick(position, Qt::Key_Space);
        QCOMPARE(draft->position(), u"Ürün Tasarımcısı"_s);
        QVERIFY(!position->isVisible());

        // Typing something else brings the offer back.
        QTest::keyClicks(row->companyField(), u" X"_s);
        QVERIFY(company->isVisible());
    }

    // A review over the window: "Already in your list" names the stored record's date and
    // status and shows that record when clicked; the window under the window-modal sheet
    // takes no drop and no paste until the review is added; adding saves the ticked
    // drafts and selects the first new record with the filter and search cleared.
    void reviewOverTheWindow()
    {
        JobApplication* stored = addRecord(
            m_store->store(), u"Acme Corp"_s, u"Senior iOS Developer"_s, ApplicationStatus::hrInterview, 20);
        addRecord(m_store->store(), u"Acme Corp"_s, u"Backend Developer"_s, ApplicationStatus::applied, 3);
        QVERIFY(m_store->store().save());
        auto view = makeView();
        PostingImportSession session(PostingImportSession::Recognizer {}, nullptr);
        PostingImportFlow flow(*view, panels(), &session);
        view->show();
        view->state().setStatusFilter(StatusFilter::status(ApplicationStatus::offer));
        view->state().setSearchText(u"Old"_s);

        session.begin();
        session.addText(postingLines.join(u'\n'), u"acme.png"_s);
        session.addText(u"Frontend Developer\nAcme Corp · Istanbul · 1 day ago"_s, u"other"_s);
        session.addText(u"3 days ago"_s, u"unticked"_s);
        PostingImportSheet* sheet = flow.sheet();
        QCOMPARE(sheet->windowModality(), Qt::WindowModal);
        QVERIFY(QTest::qWaitForWindowExposed(sheet));
        DraftRow* repeated = sheet->rows().at(0);
        AlreadyAppliedLine* line = repeated->alreadyAppliedLine();
        QVERIFY(line->isVisible());
        QCOMPARE(line->text(), u"Already in your list — applied Feb 22, 2025, HR Interview"_s);
        // The same company with another title is another application.
        QVERIFY(!sheet->rows().at(1)->alreadyAppliedLine()->isVisible());
        // Editing the title away from the stored one takes the warning away, and back.
        repeated->draft()->setPosition(u"Senior iOS Developer II"_s);
        QVERIFY(!line->isVisible());
        repeated->draft()->setPosition(u"senior ios developer"_s);
        QVERIFY(line->isVisible());
        QTest::mouseClick(line, Qt::LeftButton);
        QCOMPARE(view->state().selectedID(), std::optional<RecordID>(stored->id()));
        QVERIFY(repeated->includeBox()->isChecked());

        QVERIFY(!sheet->hintLabel()->isVisible());
        QVERIFY(!dropOn(sheet, {QUrl::fromLocalFile(file(u"next.png"_s, pngBytes()))}));
        QVERIFY(sheet->hintLabel()->isVisible());
        QCOMPARE(sheet->hintLabel()->text(), u"Add or cancel these first, then drop the new screenshots."_s);
        sheet->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(sheet));
        QTest::keyClick(sheet, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(sheet->hintLabel()->text(), u"Add or cancel these first, then paste the next posting."_s);
        QCOMPARE(labels(session), (QStringList {u"acme.png"_s, u"other"_s, u"unticked"_s}));
        QCOMPARE(flow.sheet(), sheet);

        sheet->add();
        QVERIFY(!session.isPresenting());
        QCOMPARE(m_store->store().count(), 4);
        QVERIFY(!m_store->store().hasChanges()); // saved
        QCOMPARE(view->state().visibleApplications().size(), 4);
        JobApplication* selected = view->state().selectedApplication();
        QVERIFY(selected && selected != stored);
        QCOMPARE(selected->position(), u"senior ios developer"_s);
        QCOMPARE(selected->applicationDate(), testNow());
    }

    void escapeAndReturn_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("addable");
        QTest::addColumn<int>("committed");
        QTest::addColumn<bool>("stillOpen");
        QTest::newRow("escape cancels") << int(Qt::Key_Escape) << true << 0 << false;
        QTest::newRow("return adds") << int(Qt::Key_Return) << true << 1 << false;
        QTest::newRow("return with nothing to add") << int(Qt::Key_Return) << false << 0 << true;
        QTest::newRow("window closed") << 0 << true << 0 << false;
    }

    void escapeAndReturn()
    {
        QFETCH(int, key);
        QFETCH(bool, addable);
        QFETCH(int, committed);
        QFETCH(bool, stillOpen);
        int commits = 0;
        QStringList companiesCommitted;
        Review review({addable ? postingLines.join(u'\n') : u"3 days ago"_s}, [&](const QList<PostingDraft*>& drafts) {
            ++commits;
            for (const PostingDraft* draft : drafts)
                companiesCommitted.append(draft->company());
        });
        PostingImportSheet& sheet = review.sheet;
        PostingImportSession& session = review.session;
        // From inside a text field, as a user would press it.
        sheet.rows().first()->companyField()->setFocus();
        if (key == 0)
            sheet.close(); // the window's close button, or the desktop closing it
        else
            QTest::keyClick(sheet.rows().first()->companyField(), Qt::Key(key));
        QCOMPARE(commits, committed);
        if (committed)
            QCOMPARE(companiesCommitted, QStringList {u"Acme Corp"_s});
        QCOMPARE(sheet.isVisible(), stillOpen);
        QCOMPARE(session.isPresenting(), stillOpen);
        QCOMPARE(session.drafts().isEmpty(), !stillOpen);
    }

    void pasteOrder_data()
    {
        QTest::addColumn<QString>("offer"); // what the clipboard holds, see below
        QTest::addColumn<QString>("asked"); // what the recogniser was given
        QTest::addColumn<QString>("draft"); // the draft's source label
        const auto row = [](const char* name, const char* offer, const char* asked, const char* draft) {
            QTest::newRow(name) << QString::fromLatin1(offer) << QString::fromLatin1(asked)
                                << QString::fromLatin1(draft);
        };
        row("image files before image data and text", "files+png+text", "shot.png", "shot.png");
        row("GNOME copied files", "gnome", "shot.png", "shot.png");
        row("Nautilus copied files as text", "nautilus", "shot.png", "shot.png");
        row("image wins over text", "png+text", "posting", "Clipboard");
        row("PNG before TIFF", "tiff+png", "posting", "Clipboard");
        row("no image file: the text", "textfile+text", "", "Clipboard");
        row("UTF-8 text starting with a byte-order mark", "marked utf-8", "", "Clipboard");
        row("a very long text is cut", "long text", "", "Clipboard");
        row("blank text", "blank", "", "");
    }

    void pasteOrder()
    {
        QFETCH(QString, offer);
        QFETCH(QString, asked);
        QFETCH(QString, draft);

        StandInEngine engine;
        const QString shot = file(u"shot.png"_s, pngBytes());
        const QString notes = file(u"notes.txt"_s, "Backend Developer\n");
        const QString shotUrl = QUrl::fromLocalFile(shot).toString();
        const QString postingText = u"  \n  Backend Developer\nGlobex Labs\n"_s;

        auto* data = new QMimeData;
        if (offer.contains(u"files"_s))
            data->setUrls({QUrl::fromLocalFile(notes), QUrl::fromLocalFile(shot)});
        if (offer == u"textfile+text"_s)
            data->setUrls({QUrl::fromLocalFile(notes)});
        if (offer == u"gnome"_s)
            data->setData(u"x-special/gnome-copied-files"_s, ("copy\n" + shotUrl).toUtf8());
        if (offer == u"nautilus"_s)
            data->setText(u"x-special/nautilus-clipboard\ncopy\n"_s + shotUrl + u'\n');
        if (offer.contains(u"png"_s))
            data->setData(u"image/png"_s, "posting");
        if (offer.contains(u"tiff"_s))
            data->setData(u"image/tiff"_s, "tiff bytes");
        if (offer.contains(u"text"_s))
            data->setText(postingText);
        if (offer == u"blank"_s)
            data->setText(u"  \n\t \n"_s);
        if (offer == u"long text"_s)
            data->setText(postingText + u"lorem ipsum "_s.repeated(30000));
        // As some X programs offer it: only the UTF-8 bytes, with a terminating zero.
        const QString marked = QChar(0xFEFF) + postingText;
        if (offer == u"marked utf-8"_s)
            data->setData(u"text/plain;charset=utf-8"_s, marked.toUtf8() + '\0');
        QGuiApplication::clipboard()->setMimeData(data);

        auto view = makeView();
        PostingImportSession session(engine.factory(), nullptr);
        PostingImportFlow flow(*view, panels(), &session);
        view->show();
        QVERIFY(view->focusedActions()->trigger(FocusedActions::Key::pastePosting));
        QVERIFY(session.isPresenting());
        QTRY_VERIFY(!session.isProcessing());
        QCOMPARE(engine.askedSoFar(), asked.isEmpty() ? QStringList() : QStringList {asked});
        QCOMPARE(labels(session), draft.isEmpty() ? QStringList() : QStringList {draft});
        const QStringList failures {u"The clipboard has no job posting text or screenshot."_s};
        QCOMPARE(flow.sheet()->failureTexts(), draft.isEmpty() ? failures : QStringList());
        const QString parsed = draft.isEmpty() ? QString() : session.drafts().first()->parsed().rawText;
        if (offer == u"long text"_s) {
            // Parsed on the main thread, so no more than a posting could ever need.
            QCOMPARE(parsed.size(), ClipboardPosting::maximumTextLength);
            QVERIFY(parsed.startsWith(postingText));
        } else if (draft == u"Clipboard"_s && asked.isEmpty()) {
            // The untrimmed text is what gets parsed.
            QCOMPARE(parsed, offer == u"marked utf-8"_s ? marked : postingText);
            QCOMPARE(session.drafts().first()->company(), u"Globex Labs"_s);
        }
        flow.sheet()->cancel();
        QVERIFY(!session.isPresenting());
        QCOMPARE(m_store->store().count(), 0);
    }

    void pickedScreenshotsAndTheLastFolder()
    {
        StandInEngine engine;
        auto view = makeView();
        PostingImportSession session(engine.factory(), nullptr);
        PostingImportFlow flow(*view, panels(), &session);

        // Cancelled: nothing happens.
        QVERIFY(view->focusedActions()->trigger(FocusedActions::Key::importScreenshots));
        QVERIFY(!session.isPresenting());

        QDir(m_files->path()).mkdir(u"shots"_s);
        m_picked = {file(u"shots/a.png"_s, pngBytes()), file(u"shots/missing.png"_s)};
        QVERIFY(view->focusedActions()->trigger(FocusedActions::Key::importScreenshots));
        QVERIFY(m_pickedFolder.isEmpty());
        QTRY_VERIFY(!session.isProcessing());
        QCOMPARE(labels(session), QStringList {u"a.png"_s});
        QCOMPARE(session.failures(), QStringList {u"missing.png: This file could not be read as an image."_s});
        flow.sheet()->cancel();
        // The panel opens where the last pick was made.
        m_picked.clear();
        flow.pickScreenshots();
        QCOMPARE(m_pickedFolder, QDir(m_files->path()).filePath(u"shots"_s));
    }

    void readingStops_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel") << "cancel";
        QTest::newRow("a paste replaces the import") << "paste";
        QTest::newRow("the window goes") << "close";
    }

    // A screenshot is being read when the person cancels, pastes something else or
    // closes the window: the read hears about it and stops, the next file is never
    // read, and nothing touches what is gone.
    void readingStops()
    {
        QFETCH(QString, how);
        StandInEngine engine;
        auto view = makeView();
        auto* session = new PostingImportSession(engine.factory(), nullptr);
        auto flow = std::make_unique<PostingImportFlow>(*view, panels(), session);
        session->setParent(flow.get());
        view->show();
        flow->importFiles({QUrl::fromLocalFile(file(u"endless.png"_s)), QUrl::fromLocalFile(file(u"posting.png"_s))});
        QTRY_COMPARE(engine.running.load(), 1);
        QPointer<PostingImportSheet> sheet = flow->sheet();
        QVERIFY(sheet->footerIndicator()->isVisibleTo(sheet));
        if (how == u"cancel"_s) {
            QTest::mouseClick(sheet->cancelButton(), Qt::LeftButton);
            QVERIFY(!session->isPresenting());
            QTRY_VERIFY(sheet.isNull());
        } else if (how == u"paste"_s) {
            auto* data = new QMimeData;
            data->setText(u"Backend Developer\nGlobex Labs"_s);
            QGuiApplication::clipboard()->setMimeData(data);
            flow->paste();
            // The same sheet shows the new import, and stops saying "Reading…".
            QCOMPARE(flow->sheet(), sheet.data());
            QCOMPARE(labels(*session), QStringList {u"Clipboard"_s});
            QTRY_VERIFY(!session->isProcessing());
            QVERIFY(!sheet->footerIndicator()->isVisibleTo(sheet));
        } else {
            flow.reset();
            QVERIFY(sheet.isNull());
            QCOMPARE(engine.running.load(), 0);
        }
        QTRY_COMPARE(engine.cancelledReads.load(), 1);
        QTest::qWait(50);
        QCOMPARE(engine.askedSoFar(), QStringList {u"endless.png"_s});
        if (how == u"cancel"_s)
            QVERIFY(session->drafts().isEmpty());
    }

    // A session that goes before its sheet takes the sheet off the screen.
    void sessionTakesItsSheetAlong()
    {
        auto* alone = new PostingImportSession(PostingImportSession::Recognizer {}, nullptr);
        QPointer<PostingImportSheet> orphan = new PostingImportSheet(*alone, {});
        alone->begin();
        orphan->show();
        delete alone;
        QVERIFY(!orphan->isVisible());
        QTRY_VERIFY(orphan.isNull());
    }

    void backupRoundTrip()
    {
        Store& source = m_store->store();
        JobApplication* full = addRecord(source, u"Çağrı Yazılım"_s, u"Mobil Geliştirici"_s);
        full->appendFirstHistoryEntry();
        full->changeStatus(ApplicationStatus::rejected);
        full->setExpectedSalary(Decimal::parse(std::string_view("123456789012345678.901")));
        addRecord(source, QString(), QString(), ApplicationStatus::applied, 1)->setStatusRaw(u"someday"_s);
        QVERIFY(source.save());

        auto view = makeView();
        BackupFlow exporter(*view, source, panels());
        m_savePath = QDir(m_files->path()).filePath(u"backup"_s); // no extension typed
        QVERIFY(view->focusedActions()->trigger(FocusedActions::Key::exportBackup));
        QCOMPARE(m_suggestedPath, u"Applywright-2025-03-14.json"_s);
        QVERIFY(m_alerts.isEmpty()); // a successful save says nothing
        QVERIFY(!exporter.exportDocument());

        // Into an empty data folder through another window's import, twice: the second
        // time everything is already there.
        TempStore target;
        ContentView other(target.store(), *m_today, m_desktop.environment());
        BackupFlow importer(other, target.store(), panels());
        m_openPath = m_savePath + u".json"_s;
        QSignalSpy finished(&importer, &BackupFlow::importFinished);
        for (int i = 0; i < 2; ++i) {
            QVERIFY(other.focusedActions()->trigger(FocusedActions::Key::importBackup));
            QVERIFY(finished.wait(10000));
        }
        QCOMPARE(m_alerts,
            (QStringList {u"Imported 2 applications, skipped 0 already present."_s,
                u"Imported 0 applications, skipped 2 already present."_s}));
        QVERIFY(!target.store().hasChanges());
        QCOMPARE(importer.lastFolder(), m_files->path());
        const auto contents = [](const Store& store) {
            QList<ApplicationBackup> all;
            for (JobApplication* record : store.applicationsByDate())
                all.append(makeApplicationBackup(*record));
            return all;
        };
        QCOMPARE(contents(target.store()), contents(source));
        QCOMPARE(target.store().applicationsByDate().last()->statusRaw(), u"someday"_s);
    }

    // Failures say why and lose nothing; without a replacement the alert is the
    // desktop's message box, one at a time.
    void backupFailures()
    {
        addRecord(m_store->store(), u"Acme"_s);
        QVERIFY(m_store->store().save());
        auto view = makeView();
        BackupFlow flow(*view, m_store->store(), panels());

        // A folder that does not exist: the write fails and the alert says why.
        m_savePath = QDir(m_files->path()).filePath(u"gone/backup.json"_s);
        flow.exportBackup();
        QCOMPARE(m_alerts.size(), 1);
        QVERIFY(!QFile::exists(m_savePath));
        // The next export suggests the folder of the last one.
        m_savePath.clear();
        flow.exportBackup();
        QCOMPARE(m_suggestedPath, QDir(m_files->path()).filePath(u"gone/Applywright-2025-03-14.json"_s));

        DesktopPanels real = panels();
        real.alert = {};
        BackupFlow shown(*view, m_store->store(), real);
        QSignalSpy finished(&shown, &BackupFlow::importFinished);
        const QByteArray valid = R"({"format":"Applywright Backup","formatVersion":1,)"
                                 R"("exportedAt":"2025-03-07T14:05:09Z","applications":[]})";
        const std::pair<QByteArray, QString> cases[]
            = {{"nope", u"The file couldn't be read because it isn't in the correct format."_s},
                {QByteArray(valid).replace(R"("formatVersion":1)", R"("formatVersion":2)"),
                    u"This backup was made by a newer version of Applywright."_s},
                {QByteArray(valid).replace("Applywright Backup", "applywright backup"),
                    u"This file is not an Applywright backup."_s}};
        QPointer<QMessageBox> box;
        for (const auto& [contents, alert] : cases) {
            shown.importFile(file(u"chosen.json"_s, contents));
            QVERIFY(finished.wait(10000));
            QVERIFY(shown.alertBox() && (!box || shown.alertBox() == box));
            box = shown.alertBox();
            QCOMPARE(box->windowTitle(), u"Backup"_s);
            QCOMPARE(box->informativeText(), alert);
        }
        box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->buttons().first()->click();
        QTRY_VERIFY(!shown.backupMessage());
        QCOMPARE(m_store->store().count(), 1);
        QVERIFY(!m_store->store().hasChanges());
    }

    void notPostingsGiveFailureLines()
    {
        // The real recogniser: each dropped file gives one failure line that names it,
        // nothing is offered for adding and nothing is saved.
        const QDir corpus(QStringLiteral(APPLYWRIGHT_TEST_DATA_DIR "/not-postings"));
        QList<QUrl> urls;
        QStringList names;
        for (const QString& name : corpus.entryList({u"*.png"_s}, QDir::Files, QDir::Name)) {
            urls.append(QUrl::fromLocalFile(corpus.filePath(name)));
            names.append(name);
        }
        QCOMPARE(names.size(), 6);
        auto view = makeView();
        PostingImportFlow flow(*view, panels());
        PostingImportSession& session = flow.session();
        view->show();

        // A drop reaches only the widget that took the drag when it entered.
        QVERIFY(dropOn(view->listView()->listView()->viewport(), urls));
        QVERIFY(session.isPresenting() && flow.sheet()->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!session.isProcessing(), 120000);
        QStringList named;
        for (const QString& line : session.failures()) {
            named.append(line.section(u": "_s, 0, 0));
            QVERIFY2(line.section(u": "_s, 1).size() > 10, qPrintable(line));
        }
        named.sort();
        QCOMPARE(named, names);
        for (const PostingDraft* draft : session.drafts())
            QVERIFY2(!draft->hasContent(), qPrintable(draft->sourceLabel()));
        flow.sheet()->cancel();
        QCOMPARE(m_store->store().count(), 0);
    }

private:
    std::optional<TestSupport::FixedClock> m_clock;
    std::unique_ptr<TempStore> m_store;
    std::optional<TodayProvider> m_today;
    std::unique_ptr<QTemporaryDir> m_files;
    FakeDesktop m_desktop;
    QStringList m_alerts, m_picked;
    QString m_pickedFolder, m_savePath, m_suggestedPath, m_openPath;

    DesktopPanels panels()
    {
        DesktopPanels p;
        p.saveFile = [this](QWidget*, const QString&, const QString& suggested, const QString&) {
            m_suggestedPath = suggested;
            return m_savePath;
        };
        p.openFile = [this](QWidget*, const QString&, const QString&, const QString&) { return m_openPath; };
        p.openFiles = [this](QWidget*, const QString&, const QString& folder, const QString&) {
            m_pickedFolder = folder;
            return m_picked;
        };
        p.alert = [this](QWidget*, const QString& title, const QString& text) {
            QCOMPARE(title, u"Backup"_s);
            m_alerts.append(text);
        };
        return p;
    }

    std::unique_ptr<ContentView> makeView()
    {
        auto view = std::make_unique<ContentView>(m_store->store(), *m_today, m_desktop.environment());
        view->resize(1080, 700);
        return view;
    }

    QString file(const QString& name, const QByteArray& bytes = "x")
    {
        const QString path = QDir(m_files->path()).filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qWarning("could not write %s", qPrintable(path));
        return path;
    }
};

QTEST_MAIN(TestImport)
#include "tst_ui_import.moc"
