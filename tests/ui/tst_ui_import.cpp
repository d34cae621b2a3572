// Bringing postings and backups in and out of the window: the review sheet driven
// by a session with a stand-in recogniser, the Add count and keys, the clipboard's
// order, drops, the commit of drafts, backup export and import through the
// window's flows with the panels and the alert replaced, and cancelling while a
// recognition runs.

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
#include "ui/ContentUnavailableView.h"
#include "ui/ContentView.h"
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
#include <QImage>
#include <QLabel>
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

namespace {

QList<PostingLine> linesOf(const QStringList& texts)
{
    QList<PostingLine> lines;
    for (int i = 0; i < texts.size(); ++i)
        lines.append(PostingLine {texts[i], i, 1.0 - 0.1 * i, 0.9});
    return lines;
}

const QStringList postingLines {QStringLiteral("Senior iOS Developer"),
    QStringLiteral("Acme Corp · Istanbul, Türkiye · 2 days ago"), QStringLiteral("Hybrid")};

// Stands in for the recognition engine: answers by file name (or by the bytes of
// clipboard data read as text), records what it was asked, and reads inputs named
// "endless…" until their run is dropped.
struct StandInEngine {
    QMutex mutex;
    QHash<QString, RecognitionResult> answers;
    QStringList asked;
    std::atomic<int> running {0};
    std::atomic<int> cancelledReads {0};

    RecognitionResult read(const QString& key, const std::atomic<bool>& cancelled)
    {
        {
            QMutexLocker lock(&mutex);
            asked.append(key);
        }
        if (key.startsWith(QLatin1String("endless"))) {
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
        QMutexLocker lock(&mutex);
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

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

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

} // namespace

class TestImport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void sheetFollowsTheSession_data();
    void sheetFollowsTheSession();
    void draftRowShowsWhatWasDetected();
    void overallConfidence_data();
    void overallConfidence();
    void addCountAndEnabling();
    void suggestionChipsFillTheirFields();
    void alreadyAppliedShowsTheRecord();
    void escapeAndReturn_data();
    void escapeAndReturn();
    void pasteOrder_data();
    void pasteOrder();
    void dropsOnTheList();
    void pickedScreenshotsAndTheLastFolder();
    void pasteWhileReadingEndsReading();
    void dropAndPasteWhileTheSheetIsOpen();
    void cancelDuringRecognition();
    void sheetGoesWithItsWindow();
    void commitSelectsTheFirstNewRecord();
    void backupRoundTrip();
    void backupAlertTexts_data();
    void backupAlertTexts();
    void exportOutcomes();
    void notPostingsGiveFailureLines();

private:
    std::unique_ptr<TestSupport::FixedClock> m_clock;
    std::unique_ptr<TempStore> m_store;
    std::unique_ptr<TodayProvider> m_today;
    std::unique_ptr<QTemporaryDir> m_files;
    FakeDesktop m_desktop;
    StandInEngine* m_engine = nullptr;
    QStringList m_alerts;
    QStringList m_picked;
    QString m_pickedFolder;
    QString m_savePath;
    QString m_suggestedPath;
    QString m_openPath;

    DesktopPanels panels();
    std::unique_ptr<ContentView> makeView();
    QString file(const QString& name, const QByteArray& bytes = "x");
};

void TestImport::initTestCase()
{
    useTestLocale();
}

void TestImport::init()
{
    m_clock = std::make_unique<TestSupport::FixedClock>(testNow());
    m_store = std::make_unique<TempStore>();
    QVERIFY(m_store->isReady());
    m_today = std::make_unique<TodayProvider>();
    m_files = std::make_unique<QTemporaryDir>();
    m_desktop = {};
    m_alerts.clear();
    m_picked.clear();
    m_pickedFolder.clear();
    m_savePath.clear();
    m_suggestedPath.clear();
    m_openPath.clear();
    QGuiApplication::clipboard()->clear();
}

void TestImport::cleanup()
{
    m_today.reset();
    m_store.reset();
    m_files.reset();
    m_clock.reset();
}

DesktopPanels TestImport::panels()
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
        QCOMPARE(title, QStringLiteral("Backup"));
        m_alerts.append(text);
    };
    return p;
}

std::unique_ptr<ContentView> TestImport::makeView()
{
    auto view = std::make_unique<ContentView>(m_store->store(), *m_today, m_desktop.environment());
    view->resize(1080, 700);
    return view;
}

QString TestImport::file(const QString& name, const QByteArray& bytes)
{
    const QString path = QDir(m_files->path()).filePath(name);
    writeFile(path, bytes);
    return path;
}

// --- The sheet ----------------------------------------------------------------

void TestImport::sheetFollowsTheSession_data()
{
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<int>("content");
    QTest::addColumn<bool>("reading");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("failures");
    QTest::addColumn<QString>("addText");
    QTest::addColumn<bool>("addEnabled");
    using C = PostingImportSheet::Content;
    const QStringList none;
    QTest::newRow("reading the first") << QStringList {QStringLiteral("endless.png"), QStringLiteral("posting.png")}
                                       << int(C::reading) << true << 0 << none << "Add 0 Applications" << false;
    QTest::newRow("first draft while reading on")
        << QStringList {QStringLiteral("posting.png"), QStringLiteral("endless.png")} << int(C::review) << true << 1
        << none << "Add 1 Applications" << true;
    QTest::newRow("review with a failure")
        << QStringList {QStringLiteral("posting.png"), QStringLiteral("broken.png")} << int(C::review) << false << 1
        << QStringList {QStringLiteral("broken.png: This file could not be read as an image.")} << "Add 1 Applications"
        << true;
    QTest::newRow("nothing read, three failures")
        << QStringList {QStringLiteral("blank.png"), QStringLiteral("broken.png"), QStringLiteral("empty.png")}
        << int(C::nothingRead) << false << 0
        << QStringList {QStringLiteral("blank.png: No text was found in this screenshot."),
               QStringLiteral("broken.png: This file could not be read as an image."),
               QStringLiteral("empty.png: This file could not be read as an image.")}
        << "Add 0 Applications" << false;
}

void TestImport::sheetFollowsTheSession()
{
    QFETCH(QStringList, inputs);
    QFETCH(int, content);
    QFETCH(bool, reading);
    QFETCH(int, rows);
    QFETCH(QStringList, failures);
    QFETCH(QString, addText);
    QFETCH(bool, addEnabled);

    StandInEngine engine;
    engine.answers.insert(QStringLiteral("posting.png"), linesOf(postingLines));
    engine.answers.insert(QStringLiteral("blank.png"), RecognitionResult(RecognizerError::noTextFound()));
    PostingImportSession session(engine.factory(), nullptr);
    QList<PostingDraft*> committed;
    PostingImportSheet sheet(session, [&](const QList<PostingDraft*>& drafts) { committed = drafts; });
    session.begin();
    sheet.show();

    QStringList paths;
    for (const QString& name : inputs)
        paths.append(QStringLiteral("/shots/") + name);
    session.process(paths);
    const bool endless = inputs.contains(QStringLiteral("endless.png"));
    if (endless)
        QTRY_COMPARE(engine.running.load(), 1);
    QTRY_COMPARE(int(sheet.rows().size()), rows);
    if (!endless)
        QTRY_VERIFY(!session.isProcessing());
    QCOMPARE(int(sheet.content()), content);
    QCOMPARE(sheet.footerIndicator()->isVisible(), reading);
    QCOMPARE(sheet.failureTexts(), failures);
    QCOMPARE(sheet.findChild<QWidget*>(QStringLiteral("failureLines"))->isVisible(), !failures.isEmpty());
    QCOMPARE(sheet.addButton()->text(), addText);
    QCOMPARE(sheet.addButton()->isEnabled(), addEnabled);
    session.reset();
    QVERIFY(!sheet.isVisible());
    QVERIFY(committed.isEmpty());
}

void TestImport::draftRowShowsWhatWasDetected()
{
    PostingImportSession session(PostingImportSession::Recognizer {}, nullptr);
    PostingImportSheet sheet(session, {});
    session.begin();
    session.addText(QStringLiteral("3 days ago"), QStringLiteral("nothing.png"));
    session.addText(QStringLiteral("Senior iOS Developer\nAcme Corp · Istanbul, Türkiye · 2 days ago\nHybrid\n"
                                   "https://www.linkedin.com/jobs/view/123456"),
        QStringLiteral("linkedin.png"));
    sheet.show();
    QCOMPARE(sheet.rows().size(), 2);

    // Nothing detected: unticked, faded, "Needs review", four question marks, no board.
    DraftRow* empty = sheet.rows().at(0);
    QVERIFY(!empty->includeBox()->isChecked());
    QCOMPARE(empty->rowOpacity(), 0.5);
    QCOMPARE(empty->confidenceBadge()->badge().text(), QStringLiteral("Needs review"));
    QVERIFY(empty->boardChip() == nullptr);
    QCOMPARE(empty->sourceLabel()->text(), QStringLiteral("nothing.png"));

    DraftRow* found = sheet.rows().at(1);
    QVERIFY(found->includeBox()->isChecked());
    QCOMPARE(found->rowOpacity(), 1.0);
    QCOMPARE(found->companyField()->text(), QStringLiteral("Acme Corp"));
    QCOMPARE(found->positionField()->text(), QStringLiteral("Senior iOS Developer"));
    QVERIFY(found->boardChip() != nullptr);
    QCOMPARE(found->boardChip()->text(), QStringLiteral("LinkedIn"));
    QCOMPARE(found->evidenceHints()[0]->toolTip(),
        QStringLiteral("Detected from: Acme Corp · Istanbul, Türkiye · 2 days ago"));

    // The work-model picker writes the draft, and the draft's changes reach the row.
    const QList<QAbstractButton*> segments = found->workModelSegments();
    QCOMPARE(segments.size(), 3);
    QVERIFY(segments.at(1)->isChecked()); // hybrid
    segments.at(2)->click();
    QCOMPARE(found->draft()->workModel(), WorkModel::onSite);
    found->draft()->setInclude(false);
    QVERIFY(!found->includeBox()->isChecked());
    QCOMPARE(found->rowOpacity(), 0.5);
}

void TestImport::overallConfidence_data()
{
    QTest::addColumn<int>("company"); // -1: not detected
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("expected");
    QTest::newRow("both high") << 2 << 2 << 2;
    QTest::newRow("the lower of the two") << 2 << 1 << 1;
    QTest::newRow("low company") << 0 << 2 << 0;
    QTest::newRow("position high, company missing") << -1 << 2 << 0;
    QTest::newRow("company only") << 2 << -1 << 0;
}

void TestImport::overallConfidence()
{
    QFETCH(int, company);
    QFETCH(int, position);
    QFETCH(int, expected);
    ParsedPosting parsed;
    if (company >= 0)
        parsed.company
            = ParsedField<QString> {QStringLiteral("Acme"), ParseConfidence(company), QStringLiteral("Acme")};
    if (position >= 0)
        parsed.position
            = ParsedField<QString> {QStringLiteral("Dev"), ParseConfidence(position), QStringLiteral("Dev")};
    QCOMPARE(int(DraftRow::overallConfidence(parsed)), expected);
    PostingDraft draft(parsed, QStringLiteral("a.png"));
    DraftRow row(draft);
    QCOMPARE(row.confidenceBadge()->badge().text(), ConfidenceBadge::text(ParseConfidence(expected)));
}

void TestImport::addCountAndEnabling()
{
    PostingImportSession session(PostingImportSession::Recognizer {}, nullptr);
    PostingImportSheet sheet(session, {});
    session.begin();
    session.addText(QStringLiteral("3 days ago"), QStringLiteral("nothing.png"));
    session.addText(QStringLiteral("https://jobs.example.com/view/123"), QStringLiteral("link.png"));
    sheet.show();
    QCOMPARE(sheet.addButton()->text(), QStringLiteral("Add 0 Applications"));
    QVERIFY(!sheet.addButton()->isEnabled());

    // Ticking a draft without company and position leaves the count alone.
    DraftRow* empty = sheet.rows().at(0);
    empty->includeBox()->click();
    QVERIFY(empty->draft()->include());
    QCOMPARE(empty->rowOpacity(), 1.0);
    QCOMPARE(sheet.addButton()->text(), QStringLiteral("Add 0 Applications"));
    QVERIFY(!sheet.addButton()->isEnabled());
    // Blanks are no company either.
    QTest::keyClicks(empty->companyField(), QStringLiteral("   "));
    QVERIFY(!sheet.addButton()->isEnabled());
    QTest::keyClicks(empty->companyField(), QStringLiteral("Initech"));
    QCOMPARE(empty->draft()->company(), QStringLiteral("   Initech"));
    QCOMPARE(sheet.addButton()->text(), QStringLiteral("Add 1 Applications"));
    QVERIFY(sheet.addButton()->isEnabled());

    // The link-only draft counts once it has a position.
    typeText(sheet.rows().at(1)->positionField(), QStringLiteral("Geliştirici"));
    QCOMPARE(sheet.addButton()->text(), QStringLiteral("Add 2 Applications"));
    // Unticking takes it out again.
    sheet.rows().at(1)->includeBox()->click();
    QCOMPARE(sheet.addButton()->text(), QStringLiteral("Add 1 Applications"));
    // A running import does not disable Add.
    session.setProcessing(true);
    QVERIFY(sheet.addButton()->isEnabled());
    QVERIFY(sheet.footerIndicator()->isVisible());
    session.setProcessing(false);
}

// A LinkedIn card the parser reads neither employer nor title from (the title's word
// is not in its list, the employer stands above it): the suggestions fill both.
void TestImport::suggestionChipsFillTheirFields()
{
    PostingImportSession session(PostingImportSession::Recognizer {}, nullptr);
    PostingImportSheet sheet(session, {});
    session.begin();
    session.addText(QStringLiteral("Kestrel Data SE\nÜrün Tasarımcısı\nİzmir, Türkiye · 3 hafta önce · 47 başvuru "
                                   "sahibi\nHibrit\nKolay Başvuru\n"),
        QStringLiteral("kestrel.png"));
    sheet.show();
    QVERIFY(QTest::qWaitForWindowExposed(&sheet));
    DraftRow* row = sheet.rows().first();
    PostingDraft* draft = row->draft();
    QVERIFY(draft->include()); // the work model was found
    QVERIFY(draft->company().isEmpty() && draft->position().isEmpty());
    QCOMPARE(sheet.addButton()->text(), QStringLiteral("Add 0 Applications"));

    // Offered, not filled.
    SuggestionChip* company = row->companySuggestion();
    QVERIFY(company && company->isVisible());
    QCOMPARE(company->text(), QStringLiteral("Use “Kestrel Data SE”"));
    QCOMPARE(company->toolTip(), QStringLiteral("From: Kestrel Data SE"));
    QVERIFY(row->companyField()->text().isEmpty());
    QVERIFY(!row->workModelSuggestion()); // the parser's own "Hibrit" stands

    // A click fills the field through the draft, as typing does, and the count follows.
    QSignalSpy changes(draft, &PostingDraft::changed);
    QTest::mouseClick(company, Qt::LeftButton);
    QCOMPARE(draft->company(), QStringLiteral("Kestrel Data SE"));
    QCOMPARE(row->companyField()->text(), QStringLiteral("Kestrel Data SE"));
    QCOMPARE(changes.size(), 1);
    QVERIFY(!company->isVisible());
    QVERIFY(draft->include());
    QCOMPARE(sheet.addButton()->text(), QStringLiteral("Add 1 Applications"));

    // The keyboard reaches the position's chip from its field; Space takes it.
    SuggestionChip* position = row->positionSuggestion();
    QVERIFY(position && position->isVisible());
    row->positionField()->setFocus();
    QTest::keyClick(row->positionField(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), position);
    QTest::keyClick(position, Qt::Key_Space);
    QCOMPARE(draft->position(), QStringLiteral("Ürün Tasarımcısı"));
    QVERIFY(!position->isVisible());

    // Typing something else brings the offer back.
    QTest::keyClicks(row->companyField(), QStringLiteral(" X"));
    QVERIFY(company->isVisible());
}

// "Already in your list": the row names the stored record's date and status and shows
// that record when clicked; the draft's include box is left as it was.
void TestImport::alreadyAppliedShowsTheRecord()
{
    JobApplication* stored = addRecord(m_store->store(), QStringLiteral("Acme Corp"),
        QStringLiteral("Senior iOS Developer"), ApplicationStatus::hrInterview, 20);
    addRecord(m_store->store(), QStringLiteral("Acme Corp"), QStringLiteral("Backend Developer"),
        ApplicationStatus::applied, 3);
    QVERIFY(m_store->store().save());
    auto view = makeView();
    PostingImportSession session(PostingImportSession::Recognizer {}, nullptr);
    PostingImportFlow flow(*view, panels(), &session);
    view->show();

    session.begin();
    session.addText(postingLines.join(QLatin1Char('\n')), QStringLiteral("acme.png"));
    session.addText(QStringLiteral("Frontend Developer\nAcme Corp · Istanbul · 1 day ago"), QStringLiteral("other"));
    PostingImportSheet* sheet = flow.sheet();
    QVERIFY(sheet);
    QTRY_VERIFY(sheet->isVisible());
    DraftRow* repeated = sheet->rows().at(0);
    DraftRow* other = sheet->rows().at(1);
    AlreadyAppliedLine* line = repeated->alreadyAppliedLine();
    QVERIFY(line->isVisible());
    QCOMPARE(line->text(), QStringLiteral("Already in your list — applied Feb 22, 2025, HR Interview"));
    QVERIFY(repeated->includeBox()->isChecked());
    // The same company with another title is another application.
    QVERIFY(!other->alreadyAppliedLine()->isVisible());

    // Editing the title away from the stored one takes the warning away, and back.
    repeated->positionField()->setText(QStringLiteral("Senior iOS Developer II"));
    Q_EMIT repeated->positionField()->textEdited(repeated->positionField()->text());
    QVERIFY(!line->isVisible());
    repeated->draft()->setPosition(QStringLiteral("senior ios developer"));
    QVERIFY(line->isVisible());

    QVERIFY(view->state().selectedID() != stored->id());
    QTest::mouseClick(line, Qt::LeftButton);
    QCOMPARE(view->state().selectedID(), std::optional<RecordID>(stored->id()));
    QVERIFY(repeated->includeBox()->isChecked());
    QCOMPARE(session.drafts().size(), 2); // the review goes on
    sheet->cancel();
    QCOMPARE(view->state().selectedID(), std::optional<RecordID>(stored->id()));
    QCOMPARE(m_store->store().count(), 2);
}

void TestImport::escapeAndReturn_data()
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

void TestImport::escapeAndReturn()
{
    QFETCH(int, key);
    QFETCH(bool, addable);
    QFETCH(int, committed);
    QFETCH(bool, stillOpen);
    PostingImportSession session(PostingImportSession::Recognizer {}, nullptr);
    int commits = 0;
    QStringList companiesCommitted;
    PostingImportSheet sheet(session, [&](const QList<PostingDraft*>& drafts) {
        ++commits;
        for (const PostingDraft* draft : drafts)
            companiesCommitted.append(draft->company());
    });
    session.begin();
    session.addText(addable ? postingLines.join(QLatin1Char('\n')) : QStringLiteral("3 days ago"),
        PostingImportSession::clipboardLabel());
    sheet.show();
    QVERIFY(QTest::qWaitForWindowExposed(&sheet));
    // From inside a text field, as a user would press it.
    sheet.rows().first()->companyField()->setFocus();
    if (key == 0)
        sheet.close(); // the window's close button, or the desktop closing it
    else
        QTest::keyClick(sheet.rows().first()->companyField(), Qt::Key(key));
    QCOMPARE(commits, committed);
    if (committed)
        QCOMPARE(companiesCommitted, QStringList {QStringLiteral("Acme Corp")});
    QCOMPARE(sheet.isVisible(), stillOpen);
    QCOMPARE(session.isPresenting(), stillOpen);
    QCOMPARE(session.drafts().isEmpty(), !stillOpen);
}

// --- Paste, drops and picks through the window ------------------------------------

void TestImport::pasteOrder_data()
{
    QTest::addColumn<QString>("offer"); // what the clipboard holds, see below
    QTest::addColumn<QStringList>("asked"); // what the recogniser was given
    QTest::addColumn<QStringList>("drafts"); // the drafts' source labels
    QTest::addColumn<QStringList>("failures");
    const QStringList none;
    const QStringList clipboard {QStringLiteral("Clipboard")};
    const QStringList emptyFailure {QStringLiteral("The clipboard has no job posting text or screenshot.")};
    QTest::newRow("image files before image data and text")
        << "files+png+text" << QStringList {QStringLiteral("shot.png")} << QStringList {QStringLiteral("shot.png")}
        << none;
    QTest::newRow("only the image files of a file list")
        << "files" << QStringList {QStringLiteral("shot.png")} << QStringList {QStringLiteral("shot.png")} << none;
    QTest::newRow("GNOME copied files") << "gnome" << QStringList {QStringLiteral("shot.png")}
                                        << QStringList {QStringLiteral("shot.png")} << none;
    QTest::newRow("Nautilus copied files as text")
        << "nautilus" << QStringList {QStringLiteral("shot.png")} << QStringList {QStringLiteral("shot.png")} << none;
    QTest::newRow("image wins over text") << "png+text" << QStringList {QStringLiteral("posting")} << clipboard << none;
    QTest::newRow("PNG before TIFF") << "tiff+png" << QStringList {QStringLiteral("posting")} << clipboard << none;
    QTest::newRow("any other image") << "jpeg" << QStringList {QStringLiteral("posting")} << clipboard << none;
    QTest::newRow("no image file: the text") << "textfile+text" << none << clipboard << none;
    QTest::newRow("text") << "text" << none << clipboard << none;
    QTest::newRow("UTF-8 text starting with a byte-order mark") << "marked utf-8" << none << clipboard << none;
    QTest::newRow("blank text") << "blank" << none << none << emptyFailure;
    QTest::newRow("nothing") << "nothing" << none << none << emptyFailure;
    QTest::newRow("paste key on the list") << "list key" << none << clipboard << none;
    QTest::newRow("a very long text is cut") << "long text" << none << clipboard << none;
}

void TestImport::pasteOrder()
{
    QFETCH(QString, offer);
    QFETCH(QStringList, asked);
    QFETCH(QStringList, drafts);
    QFETCH(QStringList, failures);

    StandInEngine engine;
    engine.answers.insert(QStringLiteral("shot.png"), linesOf(postingLines));
    engine.answers.insert(QStringLiteral("posting"), linesOf(postingLines));
    const QString shot = file(QStringLiteral("shot.png"), pngBytes());
    const QString notes = file(QStringLiteral("notes.txt"), "Backend Developer\n");
    const QString shotUrl = QUrl::fromLocalFile(shot).toString();
    const QString postingText = QStringLiteral("  \n  Backend Developer\nGlobex Labs\n");

    auto* data = new QMimeData;
    if (offer.contains(QLatin1String("files")))
        data->setUrls({QUrl::fromLocalFile(notes), QUrl::fromLocalFile(shot)});
    if (offer == QLatin1String("textfile+text"))
        data->setUrls({QUrl::fromLocalFile(notes)});
    if (offer == QLatin1String("gnome"))
        data->setData(QStringLiteral("x-special/gnome-copied-files"), ("copy\n" + shotUrl).toUtf8());
    if (offer == QLatin1String("nautilus"))
        data->setText(QStringLiteral("x-special/nautilus-clipboard\ncopy\n") + shotUrl + QLatin1Char('\n'));
    if (offer.contains(QLatin1String("png")))
        data->setData(QStringLiteral("image/png"), "posting");
    if (offer.contains(QLatin1String("tiff")))
        data->setData(QStringLiteral("image/tiff"), "tiff bytes");
    if (offer == QLatin1String("jpeg"))
        data->setData(QStringLiteral("image/jpeg"), "posting");
    if (offer.contains(QLatin1String("text")) || offer == QLatin1String("list key"))
        data->setText(postingText);
    if (offer == QLatin1String("blank"))
        data->setText(QStringLiteral("  \n\t \n"));
    if (offer == QLatin1String("long text"))
        data->setText(postingText + QStringLiteral("lorem ipsum ").repeated(30000));
    // As some X programs offer it: only the UTF-8 bytes, with a terminating zero.
    const QString marked = QChar(0xFEFF) + postingText;
    if (offer == QLatin1String("marked utf-8"))
        data->setData(QStringLiteral("text/plain;charset=utf-8"), marked.toUtf8() + '\0');
    QGuiApplication::clipboard()->setMimeData(data);

    auto view = makeView();
    PostingImportSession session(engine.factory(), nullptr);
    PostingImportFlow flow(*view, panels(), &session);
    view->show();
    if (offer == QLatin1String("list key")) {
        view->listView()->listView()->setFocus();
        QTest::keyClick(view->listView()->listView(), Qt::Key_V, Qt::ControlModifier);
    } else {
        QVERIFY(view->focusedActions()->trigger(FocusedActions::Key::pastePosting));
    }
    QVERIFY(session.isPresenting());
    QVERIFY(flow.sheet() != nullptr);
    QTRY_VERIFY(!session.isProcessing());
    QCOMPARE(engine.askedSoFar(), asked);
    QCOMPARE(labels(session), drafts);
    QCOMPARE(session.failures(), failures);
    QCOMPARE(flow.sheet()->failureTexts(), failures);
    if (offer == QLatin1String("long text")) {
        // Parsed on the main thread, so no more than a posting could ever need.
        QCOMPARE(session.drafts().first()->parsed().rawText.size(), ClipboardPosting::maximumTextLength);
        QVERIFY(session.drafts().first()->parsed().rawText.startsWith(postingText));
    } else if (drafts == QStringList {QStringLiteral("Clipboard")} && asked.isEmpty()) {
        // The untrimmed text is what gets parsed.
        QCOMPARE(
            session.drafts().first()->parsed().rawText, offer == QLatin1String("marked utf-8") ? marked : postingText);
        QCOMPARE(session.drafts().first()->company(), QStringLiteral("Globex Labs"));
    }
    flow.sheet()->cancel();
    QVERIFY(!session.isPresenting());
    QCOMPARE(m_store->store().count(), 0);
}

void TestImport::dropsOnTheList()
{
    StandInEngine engine;
    engine.answers.insert(QStringLiteral("a.png"), linesOf(postingLines));
    engine.answers.insert(QStringLiteral("b.png"), linesOf({QStringLiteral("Backend Developer")}));
    const QString a = file(QStringLiteral("a.png"), pngBytes());
    const QString b = file(QStringLiteral("b.png"), pngBytes());
    const QString notes = file(QStringLiteral("notes.txt"), "hello\n");
    auto view = makeView();
    PostingImportSession session(engine.factory(), nullptr);
    PostingImportFlow flow(*view, panels(), &session);
    view->show();
    QListView* list = view->listView()->listView();
    QWidget* viewport = list->viewport();

    QMimeData dragged;
    dragged.setUrls({QUrl::fromLocalFile(b), QUrl::fromLocalFile(notes), QUrl::fromLocalFile(a)});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QVERIFY(enter.isAccepted());
    QVERIFY(list->property("dropHighlighted").toBool());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    QVERIFY(drop.isAccepted());
    QVERIFY(!list->property("dropHighlighted").toBool());
    QTRY_VERIFY(!session.isProcessing());
    // Only the images, in their dropped order.
    QCOMPARE(labels(session), (QStringList {QStringLiteral("b.png"), QStringLiteral("a.png")}));
    flow.sheet()->cancel();

    // Only text files: refused, nothing starts.
    QMimeData text;
    text.setUrls({QUrl::fromLocalFile(notes)});
    QDragEnterEvent enterText(QPoint(50, 50), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enterText);
    QVERIFY(enterText.isAccepted()); // which files are images is decided on the drop
    QDropEvent refused(QPointF(50, 50), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &refused);
    QVERIFY(!refused.isAccepted());
    QVERIFY(!session.isPresenting());
    QVERIFY(!list->property("dropHighlighted").toBool());

    // A drag that leaves takes the outline with it.
    QDragEnterEvent again(QPoint(50, 50), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &again);
    QVERIFY(list->property("dropHighlighted").toBool());
    QDragLeaveEvent leave;
    QApplication::sendEvent(viewport, &leave);
    QVERIFY(!list->property("dropHighlighted").toBool());
}

void TestImport::pickedScreenshotsAndTheLastFolder()
{
    StandInEngine engine;
    engine.answers.insert(QStringLiteral("a.png"), linesOf(postingLines));
    auto view = makeView();
    PostingImportSession session(engine.factory(), nullptr);
    PostingImportFlow flow(*view, panels(), &session);

    // Cancelled: nothing happens.
    QVERIFY(view->focusedActions()->trigger(FocusedActions::Key::importScreenshots));
    QVERIFY(!session.isPresenting());

    QDir(m_files->path()).mkdir(QStringLiteral("shots"));
    m_picked = {file(QStringLiteral("shots/a.png"), pngBytes()), file(QStringLiteral("shots/missing.png"))};
    QVERIFY(view->focusedActions()->trigger(FocusedActions::Key::importScreenshots));
    QVERIFY(m_pickedFolder.isEmpty());
    QTRY_VERIFY(!session.isProcessing());
    QCOMPARE(labels(session), QStringList {QStringLiteral("a.png")});
    QCOMPARE(session.failures(), QStringList {QStringLiteral("missing.png: This file could not be read as an image.")});
    flow.sheet()->cancel();
    // The panel opens where the last pick was made.
    m_picked.clear();
    flow.pickScreenshots();
    QCOMPARE(m_pickedFolder, QDir(m_files->path()).filePath(QStringLiteral("shots")));
}

void TestImport::pasteWhileReadingEndsReading()
{
    StandInEngine engine;
    auto view = makeView();
    PostingImportSession session(engine.factory(), nullptr);
    PostingImportFlow flow(*view, panels(), &session);
    flow.importFiles({QUrl::fromLocalFile(file(QStringLiteral("endless.png")))});
    QTRY_COMPARE(engine.running.load(), 1);
    PostingImportSheet* sheet = flow.sheet();
    QVERIFY(sheet->footerIndicator()->isVisibleTo(sheet));

    auto* data = new QMimeData;
    data->setText(QStringLiteral("Backend Developer\nGlobex Labs"));
    QGuiApplication::clipboard()->setMimeData(data);
    flow.paste();
    // The same sheet shows the new import, and stops saying "Reading…".
    QCOMPARE(flow.sheet(), sheet);
    QCOMPARE(labels(session), QStringList {QStringLiteral("Clipboard")});
    QTRY_VERIFY(!session.isProcessing());
    QVERIFY(!sheet->footerIndicator()->isVisibleTo(sheet));
    QCOMPARE(engine.cancelledReads.load(), 1);
    sheet->cancel();
}

// The sheet is window-modal: the window under it takes no drop and no paste until
// the review is added or cancelled, and the sheet says so when it is tried there.
void TestImport::dropAndPasteWhileTheSheetIsOpen()
{
    auto view = makeView();
    PostingImportSession session(PostingImportSession::Recognizer {}, nullptr);
    PostingImportFlow flow(*view, panels(), &session);
    view->show();
    session.begin();
    session.addText(postingLines.join(QLatin1Char('\n')), QStringLiteral("first.png"));
    PostingImportSheet* sheet = flow.sheet();
    QVERIFY(sheet);
    QCOMPARE(sheet->windowModality(), Qt::WindowModal);
    QVERIFY(QTest::qWaitForWindowExposed(sheet));
    QVERIFY(!sheet->hintLabel()->isVisible());

    QMimeData dragged;
    dragged.setUrls({QUrl::fromLocalFile(file(QStringLiteral("next.png"), pngBytes()))});
    QDragEnterEvent enter(QPoint(40, 40), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(sheet, &enter);
    QVERIFY(sheet->hintLabel()->isVisible());
    QCOMPARE(sheet->hintLabel()->text(), QStringLiteral("Add or cancel these first, then drop the new screenshots."));
    QDropEvent drop(QPointF(40, 40), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(sheet, &drop);
    QVERIFY(!drop.isAccepted());

    sheet->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(sheet));
    QTest::keyClick(sheet, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(sheet->hintLabel()->text(), QStringLiteral("Add or cancel these first, then paste the next posting."));
    // The review is untouched.
    QCOMPARE(labels(session), QStringList {QStringLiteral("first.png")});
    QCOMPARE(flow.sheet(), sheet);
    sheet->cancel();
}

void TestImport::cancelDuringRecognition()
{
    StandInEngine engine;
    engine.answers.insert(QStringLiteral("posting.png"), linesOf(postingLines));
    auto view = makeView();
    PostingImportSession session(engine.factory(), nullptr);
    PostingImportFlow flow(*view, panels(), &session);
    view->show();
    flow.importFiles({QUrl::fromLocalFile(file(QStringLiteral("endless.png"))),
        QUrl::fromLocalFile(file(QStringLiteral("posting.png")))});
    QTRY_COMPARE(engine.running.load(), 1);
    QPointer<PostingImportSheet> sheet = flow.sheet();
    QCOMPARE(sheet->content(), PostingImportSheet::Content::reading);
    QTest::mouseClick(sheet->cancelButton(), Qt::LeftButton);
    QVERIFY(!session.isPresenting());
    QVERIFY(!session.isProcessing());
    // The running recognition hears about it and stops; the second image is never read.
    QTRY_COMPARE(engine.cancelledReads.load(), 1);
    QTRY_VERIFY(sheet.isNull());
    QTest::qWait(50);
    QVERIFY(session.drafts().isEmpty());
    QVERIFY(session.failures().isEmpty());
    QCOMPARE(engine.askedSoFar(), QStringList {QStringLiteral("endless.png")});
    QVERIFY(flow.sheet() == nullptr);
    QCOMPARE(m_store->store().count(), 0);
}

// Closing the window while a review is open and a screenshot is being read: the
// sheet goes with it, the recognition stops, nothing touches what is gone.
void TestImport::sheetGoesWithItsWindow()
{
    StandInEngine engine;
    auto view = makeView();
    auto* session = new PostingImportSession(engine.factory(), nullptr);
    auto flow = std::make_unique<PostingImportFlow>(*view, panels(), session);
    session->setParent(flow.get());
    view->show();
    flow->importFiles({QUrl::fromLocalFile(file(QStringLiteral("endless.png")))});
    QTRY_COMPARE(engine.running.load(), 1);
    QPointer<PostingImportSheet> sheet = flow->sheet();
    QVERIFY(sheet);
    flow.reset();
    QVERIFY(sheet.isNull());
    QCOMPARE(engine.cancelledReads.load(), 1);
    QCOMPARE(engine.running.load(), 0);

    // A session that goes before its sheet takes the sheet off the screen.
    auto* alone = new PostingImportSession(PostingImportSession::Recognizer {}, nullptr);
    QPointer<PostingImportSheet> orphan = new PostingImportSheet(*alone, {}, view.get());
    alone->begin();
    orphan->show();
    delete alone;
    QVERIFY(!orphan->isVisible());
    QTRY_VERIFY(orphan.isNull());
}

// --- Commit ----------------------------------------------------------------------

void TestImport::commitSelectsTheFirstNewRecord()
{
    addRecord(m_store->store(), QStringLiteral("Old Offer"), QStringLiteral("Designer"), ApplicationStatus::offer, 9);
    QVERIFY(m_store->store().save());
    auto view = makeView();
    PostingImportSession session(PostingImportSession::Recognizer {}, nullptr);
    PostingImportFlow flow(*view, panels(), &session);
    view->state().setStatusFilter(StatusFilter::status(ApplicationStatus::offer));
    view->state().setSearchText(QStringLiteral("Old"));

    session.begin();
    session.addText(QStringLiteral("  Backend Developer \nGlobex Labs"), QStringLiteral("one"));
    session.addText(postingLines.join(QLatin1Char('\n')), QStringLiteral("two"));
    session.addText(QStringLiteral("3 days ago"), QStringLiteral("unticked"));
    flow.sheet()->add();

    QVERIFY(!session.isPresenting());
    QVERIFY(session.drafts().isEmpty());
    QCOMPARE(m_store->store().count(), 3);
    QVERIFY(!m_store->store().hasChanges()); // saved
    QCOMPARE(view->state().statusFilter(), StatusFilter::all());
    QVERIFY(view->state().searchText().isEmpty());
    JobApplication* selected = view->state().selectedApplication();
    QVERIFY(selected);
    QCOMPARE(selected->companyName(), QStringLiteral("Globex Labs"));
    QCOMPARE(selected->position(), QStringLiteral("Backend Developer"));
    QCOMPARE(selected->applicationDate(), testNow());
    QCOMPARE(selected->history().size(), 1);
    QCOMPARE(selected->history().first()->from(), std::nullopt);
    QCOMPARE(selected->history().first()->to(), ApplicationStatus::applied);
    QCOMPARE(view->state().visibleApplications().size(), 3);
}

// --- Backups ---------------------------------------------------------------------

void TestImport::backupRoundTrip()
{
    Store& source = m_store->store();
    JobApplication* full = addRecord(source, QStringLiteral("Çağrı Yazılım"), QStringLiteral("Mobil Geliştirici"),
        ApplicationStatus::applied, 20, WorkModel::hybrid, QStringLiteral("https://jobs.example.com/1"));
    full->appendFirstHistoryEntry();
    full->changeStatus(ApplicationStatus::rejected);
    full->setRejectionReason(RejectionReason::budget);
    full->setRejectedByEmail(true);
    full->setExpectedSalary(Decimal::parse(std::string_view("123456789012345678.901")));
    full->setOfferedSalary(Decimal::parse(std::string_view("0.10")));
    full->setCurrency(Currency::eur);
    full->setFollowUpDate(daysAgo(2));
    full->setNotes(QStringLiteral("Line one\nLine two"));
    full->setFavorite(true);
    full->setHrContactEmail(QStringLiteral("hr@example.com"));
    addRecord(source, QString(), QString(), ApplicationStatus::applied, 1)->setStatusRaw(QStringLiteral("someday"));
    QVERIFY(source.save());

    auto view = makeView();
    BackupFlow exporter(*view, source, panels());
    m_savePath = QDir(m_files->path()).filePath(QStringLiteral("backup")); // no extension typed
    QVERIFY(view->focusedActions()->trigger(FocusedActions::Key::exportBackup));
    QCOMPARE(m_suggestedPath, QStringLiteral("Applywright-2025-03-14.json"));
    QVERIFY(m_alerts.isEmpty()); // a successful save says nothing
    QVERIFY(!exporter.exportDocument());
    const QString written = m_savePath + QStringLiteral(".json");
    QVERIFY(QFile::exists(written));

    // Into an empty data folder, through another window's import.
    TempStore target;
    QVERIFY(target.isReady());
    ContentView other(target.store(), *m_today, m_desktop.environment());
    BackupFlow importer(other, target.store(), panels());
    m_openPath = written;
    QSignalSpy finished(&importer, &BackupFlow::importFinished);
    QVERIFY(other.focusedActions()->trigger(FocusedActions::Key::importBackup));
    QVERIFY(finished.wait(10000));
    QCOMPARE(m_alerts, QStringList {QStringLiteral("Imported 2 applications, skipped 0 already present.")});
    QVERIFY(!target.store().hasChanges());
    QCOMPARE(target.store().count(), 2);
    for (JobApplication* original : source.applicationsByDate()) {
        JobApplication* copy = nullptr;
        for (JobApplication* candidate : target.store().applicationsByDate()) {
            if (candidate->uuid() == original->uuid())
                copy = candidate;
        }
        QVERIFY(copy);
        QCOMPARE(makeApplicationBackup(*copy), makeApplicationBackup(*original));
        QCOMPARE(copy->statusRaw(), original->statusRaw());
        QCOMPARE(copy->history().size(), original->history().size());
    }

    // The same file again: everything is already there.
    QVERIFY(other.focusedActions()->trigger(FocusedActions::Key::importBackup));
    QVERIFY(finished.wait(10000));
    QCOMPARE(m_alerts.last(), QStringLiteral("Imported 0 applications, skipped 2 already present."));
    QCOMPARE(target.store().count(), 2);
    QCOMPARE(importer.lastFolder(), m_files->path());
}

void TestImport::backupAlertTexts_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("alert");
    const QString corrupt = QStringLiteral("The file couldn't be read because it isn't in the correct format.");
    const QByteArray valid = R"({"format":"Applywright Backup","formatVersion":1,)"
                             R"("exportedAt":"2025-03-07T14:05:09Z","applications":[]})";
    QTest::newRow("not JSON") << pngBytes() << corrupt;
    QTest::newRow("malformed") << QByteArray(R"({"format":"Applywright Backup","formatVersion":1,)") << corrupt;
    QTest::newRow("missing history") << QByteArray(
        R"({"format":"Applywright Backup","formatVersion":1,"exportedAt":"2025-03-07T14:05:09Z",)"
        R"("applications":[{"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF"}]})")
                                     << corrupt;
    QTest::newRow("from the future") << QByteArray(valid).replace(R"("formatVersion":1)", R"("formatVersion":2)")
                                     << "This backup was made by a newer version of Applywright.";
    QTest::newRow("not ours") << QByteArray(valid).replace("Applywright Backup", "applywright backup")
                              << "This file is not an Applywright backup.";
    QTest::newRow("empty backup") << valid << "Imported 0 applications, skipped 0 already present.";
}

void TestImport::backupAlertTexts()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, alert);
    addRecord(m_store->store(), QStringLiteral("Kept"));
    QVERIFY(m_store->store().save());
    auto view = makeView();
    BackupFlow flow(*view, m_store->store(), panels());
    QSignalSpy finished(&flow, &BackupFlow::importFinished);
    m_openPath = file(QStringLiteral("chosen.json"), contents);
    flow.importBackup();
    QVERIFY(finished.wait(10000));
    QCOMPARE(m_alerts, QStringList {alert});
    QCOMPARE(m_store->store().count(), 1);
    QVERIFY(!m_store->store().hasChanges());
}

void TestImport::exportOutcomes()
{
    addRecord(m_store->store(), QStringLiteral("Acme"));
    QVERIFY(m_store->store().save());
    auto view = makeView();
    BackupFlow flow(*view, m_store->store(), panels());

    // Closing the save panel only clears the pending document.
    flow.exportBackup();
    QVERIFY(m_alerts.isEmpty());
    QVERIFY(!flow.exportDocument());

    // A folder that does not exist: the write fails and the alert says why.
    m_savePath = QDir(m_files->path()).filePath(QStringLiteral("gone/backup.json"));
    flow.exportBackup();
    QCOMPARE(m_alerts.size(), 1);
    QVERIFY(!m_alerts.first().isEmpty());
    QVERIFY(!QFile::exists(m_savePath));

    // The next export suggests the folder of the last one.
    m_savePath.clear();
    flow.exportBackup();
    QCOMPARE(m_suggestedPath, QDir(m_files->path()).filePath(QStringLiteral("gone/Applywright-2025-03-14.json")));

    // Without a replacement the alert is the desktop's message box, one at a time.
    DesktopPanels real = panels();
    real.alert = {};
    BackupFlow shown(*view, m_store->store(), real);
    QSignalSpy finished(&shown, &BackupFlow::importFinished);
    m_openPath = file(QStringLiteral("bad.json"), "nope");
    shown.importBackup();
    QVERIFY(finished.wait(10000));
    QPointer<QMessageBox> box = shown.alertBox();
    QVERIFY(box);
    QCOMPARE(box->windowTitle(), QStringLiteral("Backup"));
    QCOMPARE(
        box->informativeText(), QStringLiteral("The file couldn't be read because it isn't in the correct format."));
    QVERIFY(shown.backupMessage());
    shown.importFile(file(QStringLiteral("future.json"),
        R"({"format":"Applywright Backup","formatVersion":7,"exportedAt":"2025-03-07T14:05:09Z","applications":[]})"));
    QVERIFY(finished.wait(10000));
    QCOMPARE(shown.alertBox(), box.data());
    QCOMPARE(box->informativeText(), QStringLiteral("This backup was made by a newer version of Applywright."));
    box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->buttons().first()->click();
    QTRY_VERIFY(!shown.backupMessage());
}

// --- Files that are not postings --------------------------------------------------

void TestImport::notPostingsGiveFailureLines()
{
    // The real recogniser: picked, dropped and pasted, each file gives one failure
    // line that names it, nothing is offered for adding and nothing is saved.
    const QDir corpus(QStringLiteral(APPLYWRIGHT_TEST_DATA_DIR "/not-postings"));
    QList<QUrl> urls;
    QStringList names;
    for (const QString& name : corpus.entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name)) {
        urls.append(QUrl::fromLocalFile(corpus.filePath(name)));
        m_picked.append(corpus.filePath(name));
        names.append(name);
    }
    QCOMPARE(names.size(), 6);
    auto view = makeView();
    PostingImportFlow flow(*view, panels());
    PostingImportSession& session = flow.session();
    view->show();

    const auto check = [&](const char* how) {
        QVERIFY2(session.isPresenting(), how);
        QVERIFY2(flow.sheet() && flow.sheet()->isVisible(), how);
        QTRY_VERIFY_WITH_TIMEOUT(!session.isProcessing(), 120000);
        QStringList named;
        for (const QString& line : session.failures()) {
            named.append(line.section(QStringLiteral(": "), 0, 0));
            QVERIFY2(line.section(QStringLiteral(": "), 1).size() > 10, qPrintable(line));
        }
        for (const QString& name : names)
            QVERIFY2(named.contains(name), qPrintable(name + QLatin1String(" when ") + QLatin1String(how)));
        QStringList offered;
        for (const PostingDraft* draft : session.drafts()) {
            QVERIFY2(!named.contains(draft->sourceLabel()), qPrintable(draft->sourceLabel()));
            if (draft->hasContent())
                offered.append(draft->sourceLabel());
        }
        QVERIFY2(offered.isEmpty(), qPrintable(offered.join(QLatin1Char(' '))));
        flow.sheet()->cancel();
        QCOMPARE(m_store->store().count(), 0);
    };

    QVERIFY(view->focusedActions()->trigger(FocusedActions::Key::importScreenshots));
    check("picked");

    QMimeData dragged;
    dragged.setUrls(urls);
    QWidget* viewport = view->listView()->listView()->viewport();
    // A drop reaches only the widget that took the drag when it entered.
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    QVERIFY(drop.isAccepted());
    check("dropped");

    auto* data = new QMimeData;
    data->setUrls(urls);
    QGuiApplication::clipboard()->setMimeData(data);
    QVERIFY(view->focusedActions()->trigger(FocusedActions::Key::pastePosting));
    check("pasted");
}

QTEST_MAIN(TestImport)
#include "tst_ui_import.moc"
