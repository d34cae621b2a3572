// Postings and backups in and out of the window: the review sheet over a stand-in engine,
// the clipboard's order, drops, adding drafts, backups through the panels, cancelling.

#include "UiTestSupport.h"
#include "posting/StandInEngine.h"

#include "posting/PostingDraft.h"
#include "posting/PostingImportSession.h"
#include "tracking/StatusFilter.h"
#include "tracking/TodayProvider.h"
#include "tracking/WindowState.h"
#include "ui/AlreadyAppliedLine.h"
#include "ui/ApplicationListView.h"
#include "ui/BackupFlow.h"
#include "ui/ClipboardPosting.h"
#include "ui/ConfidenceBadge.h"
#include "ui/DraftPicture.h"
#include "ui/DraftRow.h"
#include "ui/EvidenceHint.h"
#include "ui/FailureList.h"
#include "ui/PostingImportFlow.h"
#include "ui/PostingImportSheet.h"
#include "ui/SuggestionChip.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QVBoxLayout>

using namespace UiTestSupport;
using namespace Qt::StringLiterals;

namespace {

// Text as a page copies it, with blank lines and blanks around it.
const QString pastedText = u"  \n  Backend Developer\nGlobex Labs\n"_s;

using StandIn::postingLines;
using StandInEngine = StandIn::Engine;

QStringList labels(const PostingImportSession& session)
{
    QStringList result;
    for (const PostingDraft* draft : session.drafts())
        result.append(draft->sourceLabel());
    return result;
}

// A draft row as the person sees it, on one line: tick, fading, the two fields, the board
// chip, the chosen work model and the confidence badge.
QString shown(const DraftRow* row)
{
    QString workModel;
    for (const QAbstractButton* segment : row->workModelSegments()) {
        if (segment->isChecked())
            workModel = segment->text();
    }
    return QStringList {row->includeBox()->isChecked() ? u"ticked"_s : u"unticked"_s,
        QString::number(row->rowOpacity()), row->companyField()->text(), row->positionField()->text(),
        row->boardChip() ? row->boardChip()->text() : u"-"_s, workModel, row->confidenceBadge()->badge().text()}
        .join(u" | "_s);
}

// The Add button's title, and whether it can be clicked.
QString addButton(const PostingImportSheet& sheet)
{
    return sheet.addButton()->text() + (sheet.addButton()->isEnabled() ? u""_s : u" (disabled)"_s);
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

} // namespace

class TestImport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { useTestLocale(); }
    void init()
    {
        m_fixture = std::make_unique<StoreFixture>();
        m_files = std::make_unique<QTemporaryDir>();
        m_desktop = {};
        m_alerts = m_picked = {};
        m_pickedFolder = m_savePath = m_suggestedPath = m_openPath = QString();
        QGuiApplication::clipboard()->clear();
    }
    void cleanup() { m_fixture.reset(); }

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
        bool committed = false;
        PostingImportSheet sheet(session, [&](const QList<PostingDraft*>&) { committed = true; });
        session.begin();
        sheet.show();
        session.process(inputs);
        QTRY_VERIFY(reading ? engine.running.load() == 1 : !session.isProcessing());
        QTRY_COMPARE(int(sheet.rows().size()), rows);
        QCOMPARE(int(sheet.content()), content);
        QCOMPARE(sheet.footerIndicator()->isVisible(), reading);
        // Failure lines join the sheet a frame at a time.
        QTRY_COMPARE(sheet.failureTexts(), failures);
        QCOMPARE(sheet.findChild<QWidget*>(u"failureLines"_s)->isVisible(), !failures.isEmpty());
        QCOMPARE(addButton(sheet), u"Add %1 Applications"_s.arg(rows) + (rows ? u""_s : u" (disabled)"_s));
        session.reset();
        QVERIFY(!sheet.isVisible() && !committed);
    }

    // The lines follow the texts as they grow and as they clear: six in view at the most,
    // scrolled to the newest.
    void failureLinesGrowAndClear()
    {
        QWidget host;
        auto* failures = new FailureList(u"Files that could not be read"_s, &host);
        (new QVBoxLayout(&host))->addWidget(failures);
        host.resize(500, 400);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QVERIFY(failures->isHidden());
        QStringList texts;
        for (int i = 0; i < 8; ++i) {
            texts.append(u"shot-%1.png: This file could not be read as an image."_s.arg(i));
            failures->sync(texts);
            QCOMPARE(failures->texts(), texts);
        }
        QVERIFY(failures->isVisible());
        const auto* view = failures->findChild<QListView*>(u"failureList"_s);
        QCOMPARE(view->model()->rowCount(), 8);
        QTRY_COMPARE(view->indexAt(view->viewport()->rect().bottomLeft()).row(), 7);
        QCOMPARE(view->indexAt(view->viewport()->rect().topLeft()).row(), 2);

        failures->sync({u"other.png: This file could not be read as an image."_s});
        QCOMPARE(view->model()->rowCount(), 1);
        QCOMPARE(failures->texts(), QStringList {u"other.png: This file could not be read as an image."_s});
        failures->sync({});
        QVERIFY(failures->isHidden());
    }

    void draftRowsAndTheAddCount()
    {
        Review review({u"3 days ago"_s, postingLines.join(u'\n') + u"\nhttps://www.linkedin.com/jobs/view/123456"_s,
            u"https://jobs.example.com/view/123"_s});
        PostingImportSheet& sheet = review.sheet;
        DraftRow* empty = sheet.rows().at(0);
        DraftRow* found = sheet.rows().at(1);
        // Nothing detected: unticked, faded, "Needs review". What was found fills its own field.
        QCOMPARE(shown(empty), u"unticked | 0.5 |  |  | - | Remote | Needs review"_s);
        QCOMPARE(shown(found), u"ticked | 1 | Acme Corp | Senior iOS Developer | LinkedIn | Hybrid | Confident"_s);
        QCOMPARE(found->evidenceHints()[0]->toolTip(), u"Detected from: Acme Corp · Istanbul, Türkiye · 2 days ago"_s);
        QCOMPARE(addButton(sheet), u"Add 1 Applications"_s);
        // The work-model picker writes the draft, and the draft's changes reach the row and the count.
        found->workModelSegments().at(2)->click();
        QCOMPARE(found->draft()->workModel(), WorkModel::onSite);
        found->draft()->setInclude(false);
        QCOMPARE(shown(found), u"unticked | 0.5 | Acme Corp | Senior iOS Developer | LinkedIn | On-site | Confident"_s);
        QCOMPARE(addButton(sheet), u"Add 0 Applications (disabled)"_s);

        // Ticking a draft without company and position leaves the count alone; blanks are no company.
        empty->includeBox()->click();
        QCOMPARE(empty->rowOpacity(), 1.0);
        QTest::keyClicks(empty->companyField(), u"   "_s);
        QCOMPARE(addButton(sheet), u"Add 0 Applications (disabled)"_s);
        QTest::keyClicks(empty->companyField(), u"Initech"_s);
        QCOMPARE(empty->draft()->company(), u"   Initech"_s);
        QCOMPARE(addButton(sheet), u"Add 1 Applications"_s);
        // The link-only draft counts once it has a position.
        typeText(sheet.rows().at(2)->positionField(), u"Geliştirici"_s);
        QCOMPARE(addButton(sheet), u"Add 2 Applications"_s);
        // A running import does not disable Add.
        review.session.setProcessing(true);
        QVERIFY(sheet.addButton()->isEnabled());
    }

    // The sheet's first answer: the second reading's employer where the parser read a
    // place, the parser's one click away; each field says how sure it is, the row says
    // the least of them; the place found stands beside the board.
    void theBetterReadingComesFirst()
    {
        Review review({u"Umbrella Labs\nCustomer Success Manager\nAustin, Texas · 1 week ago · 47 applicants\n"
                       "Hybrid\nEasy Apply\n"_s,
            postingLines.join(u'\n') + u"\nhttps://acme.example/careers/ios"_s,
            u"Ayşe\nAre we still on tonight?\nMy manager at Globex Ltd kept me late again\n"_s});
        DraftRow* row = review.sheet.rows().first();
        PostingDraft* draft = row->draft();
        const auto words = [](const DraftRow* shown) -> QString {
            QStringList texts;
            for (const ConfidenceBadge* badge : shown->fieldBadges())
                texts.append(badge->isVisible() ? badge->badge().text() : u"-"_s);
            return shown->confidenceBadge()->badge().text() + u": "_s + texts.join(u", "_s);
        };
        QCOMPARE(
            shown(row), u"ticked | 1 | Umbrella Labs | Customer Success Manager | LinkedIn | Hybrid | Check this"_s);
        QCOMPARE(words(row), u"Check this: Check this, Confident, -, Confident"_s);
        QCOMPARE(row->locationChip()->text(), u"Austin, Texas"_s);
        QVERIFY(!row->notAPostingLine()->isVisible());
        // Every field sure but the link: the row is only worth a check.
        QCOMPARE(words(review.sheet.rows().at(1)), u"Check this: Confident, Confident, Check this, Confident"_s);
        // A chat naming an employer and a manager is not added by one press of Return.
        DraftRow* chat = review.sheet.rows().at(2);
        QCOMPARE(chat->confidenceBadge()->badge().text(), u"Needs review"_s);
        QVERIFY(!chat->includeBox()->isChecked() && chat->notAPostingLine()->isVisible());
        QCOMPARE(chat->notAPostingLine()->text(), u"This does not look like a job posting."_s);

        // The parser's reading, one click away, fills the field through the draft as typing does.
        SuggestionChip* other = row->companySuggestion();
        QVERIFY(other && other->isVisible() && !row->positionSuggestion());
        QCOMPARE(other->text(), u"Use “Austin, Texas”"_s);
        // The picture marks the line the company shown was read from, whichever reading's.
        const auto companyLines = [&] { return DraftPictures::marksFor(*draft).value(0).lines; };
        QCOMPARE(companyLines(), QList<int> {0});
        QTest::mouseClick(other, Qt::LeftButton);
        QCOMPARE(draft->company(), u"Austin, Texas"_s);
        QCOMPARE(companyLines(), QList<int> {2});
        QCOMPARE(row->companyField()->text(), u"Austin, Texas"_s);
        QVERIFY(!other->isVisible() && !row->fieldBadges()[0]->isVisible());
        // Typing something else brings the offer back; the keyboard reaches it from the field.
        QTest::keyClicks(row->companyField(), u" X"_s);
        QVERIFY(other->isVisible());
        row->companyField()->setFocus();
        QTest::keyClick(row->companyField(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), other);
        QTest::keyClick(other, Qt::Key_Space);
        QCOMPARE(draft->company(), u"Austin, Texas"_s);
    }

    // A review over the window: "Already in your list" names the stored record's date and
    // status, its draft starts unticked, and a click shows that record even where the
    // filter and the search hid it; the window under the window-modal sheet takes no
    // drop and no paste until the review is added; adding saves the ticked drafts and
    // selects the first new record.
    void reviewOverTheWindow()
    {
        JobApplication* stored
            = addRecord(store(), u"Acme Corp"_s, u"Senior iOS Developer"_s, ApplicationStatus::hrInterview, 20);
        addRecord(store(), u"Acme Corp"_s, u"Backend Developer"_s, ApplicationStatus::applied, 3);
        QVERIFY(store().save());
        auto view = makeView();
        PostingImportSession session(PostingImportSession::Recognizer {}, nullptr);
        PostingImportFlow flow(*view, panels(), &session);
        view->show();
        WindowState& state = view->state();
        state.setStatusFilter(StatusFilter::status(ApplicationStatus::rejected));
        state.setSearchText(u"Backend"_s);
        QVERIFY(!state.visibleApplications().contains(stored));

        session.begin();
        session.addText(postingLines.join(u'\n'), u"acme.png"_s);
        session.addText(u"Frontend Developer\nAcme Corp · Istanbul · 1 day ago"_s, u"other"_s);
        session.addText(u"3 days ago"_s, u"unticked"_s);
        PostingImportSheet* sheet = flow.sheet();
        QCOMPARE(sheet->windowModality(), Qt::WindowModal);
        QVERIFY(QTest::qWaitForWindowExposed(sheet));
        DraftRow* repeated = sheet->rows().at(0);
        AlreadyAppliedLine* line = repeated->alreadyAppliedLine();
        QVERIFY(line->isVisible() && !repeated->includeBox()->isChecked());
        QVERIFY(sheet->rows().at(1)->includeBox()->isChecked());
        QCOMPARE(line->text(), u"Already in your list — applied Feb 22, 2025, HR Interview"_s);
        // The same company with another title is another application.
        QVERIFY(!sheet->rows().at(1)->alreadyAppliedLine()->isVisible());
        // Editing the title away from the stored one takes the warning away, and back.
        repeated->draft()->setPosition(u"Senior iOS Developer II"_s);
        QVERIFY(!line->isVisible());
        repeated->draft()->setPosition(u"senior ios developer"_s);
        QVERIFY(line->isVisible());
        QTest::mouseClick(line, Qt::LeftButton);
        QCOMPARE(state.selectedID(), std::optional<RecordID>(stored->id()));
        QVERIFY(state.visibleApplications().contains(stored));
        QCOMPARE(state.statusFilter(), StatusFilter::all());
        QVERIFY(state.searchText().isEmpty() && view->searchField()->text().isEmpty());
        QVERIFY(!repeated->includeBox()->isChecked());
        repeated->includeBox()->click(); // adding it once more is the person's call

        QVERIFY(!sheet->hintLabel()->isVisible());
        QVERIFY(!dropOn(sheet, {QUrl::fromLocalFile(file(u"next.png"_s, pngBytes()))}));
        QVERIFY(sheet->hintLabel()->isVisible());
        QCOMPARE(sheet->hintLabel()->text(), u"Add or cancel these first, then drop the new screenshots."_s);
        sheet->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(sheet));
        QTest::keyClick(sheet, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(sheet->hintLabel()->text(), u"Add or cancel these first, then paste the next posting."_s);
        QCOMPARE(labels(session), (QStringList {u"acme.png"_s, u"other"_s, u"unticked"_s}));

        sheet->add();
        QVERIFY(!session.isPresenting());
        QCOMPARE(store().count(), 4);
        QVERIFY(!store().hasChanges()); // saved
        const JobApplication* selected = view->state().selectedApplication();
        QCOMPARE(selected ? selected->position() : QString(), u"senior ios developer"_s);
    }

    // Cancel (or Escape) throws away only what nobody worked on; drafts the person
    // changed are discarded after they say so.
    void cancelAsksOnlyAfterAnEdit_data()
    {
        QTest::addColumn<QString>("edits");
        QTest::addColumn<int>("key"); // 0: the Cancel button
        QTest::addColumn<bool>("discard"); // the answer to the question
        QTest::addColumn<QString>("asked"); // the question, empty when none came
        QTest::addColumn<bool>("closed");
        QTest::newRow("untouched: Cancel closes at once") << u""_s << 0 << false << u""_s << true;
        QTest::newRow("untouched: Escape closes at once") << u""_s << int(Qt::Key_Escape) << false << u""_s << true;
        QTest::newRow("typed and typed back: nothing to lose") << u"type back"_s << 0 << false << u""_s << true;
        QTest::newRow("typed: asked, discarded") << u"type"_s << 0 << true << u"Discard 1 reviewed postings?"_s << true;
        QTest::newRow("typed: asked, kept")
            << u"type"_s << int(Qt::Key_Escape) << false << u"Discard 1 reviewed postings?"_s << false;
        QTest::newRow("a tick and a chip on two drafts")
            << u"untick chip"_s << 0 << false << u"Discard 2 reviewed postings?"_s << false;
    }

    void cancelAsksOnlyAfterAnEdit()
    {
        QFETCH(QString, edits);
        QFETCH(int, key);
        QFETCH(bool, discard);
        QFETCH(bool, closed);
        Review review({postingLines.join(u'\n'),
            u"Umbrella Labs\nCustomer Success Manager\nAustin, Texas · 1 week ago · 47 applicants\nEasy Apply\n"_s});
        QString question;
        review.sheet.setDiscardQuestion([&](const QString& title, const QString&) {
            question = title;
            return discard;
        });
        DraftRow* first = review.sheet.rows().at(0);
        if (edits.startsWith(u"type"_s))
            QTest::keyClicks(first->companyField(), u" Inc"_s);
        if (edits == u"type back"_s) {
            for (int i = 0; i < 4; ++i)
                QTest::keyClick(first->companyField(), Qt::Key_Backspace);
        }
        if (edits.contains(u"untick"_s))
            first->includeBox()->click();
        if (edits.contains(u"chip"_s))
            review.sheet.rows().at(1)->companySuggestion()->click();
        if (key == 0)
            QTest::mouseClick(review.sheet.cancelButton(), Qt::LeftButton);
        else
            QTest::keyClick(first->companyField(), Qt::Key(key));
        QTEST(question, "asked");
        QCOMPARE(!review.sheet.isVisible(), closed);
        QCOMPARE(review.session.drafts().isEmpty(), closed);
    }

    // Each row shows a thumbnail of its screenshot, decoded away from the window's
    // thread; clicking it, or Space on the row, shows the screenshot (or the pasted
    // text) beside the rows with the lines the values were read from marked. Escape
    // closes the picture before it cancels.
    void pictureBesideTheFields()
    {
        QImage page(1200, 800, QImage::Format_RGB32);
        page.fill(Qt::white);
        const QString path = QDir(m_files->path()).filePath(u"shot.png"_s);
        QVERIFY(page.save(path));
        StandInEngine engine;
        PostingImportSession session(engine.factory(), nullptr);
        PostingImportSheet sheet(session, {});
        session.begin();
        sheet.show();
        session.process(QStringList {path});
        QTRY_COMPARE(sheet.rows().size(), 1);
        session.addText(postingLines.join(u'\n'), PostingImportSession::clipboardLabel());
        DraftRow* shot = sheet.rows().at(0);
        DraftRow* pasted = sheet.rows().at(1);
        QTRY_VERIFY(!shot->thumbnail()->image().isNull());
        // Scaled while decoding: no more pixels than the thumbnail shows.
        QVERIFY(shot->thumbnail()->image().width() <= DraftThumbnail::size.width() * 2 * sheet.devicePixelRatioF());
        QVERIFY(pasted->thumbnail()->image().isNull());

        const auto marks = [&] {
            QStringList shown;
            for (const DraftPictures::Mark& mark : sheet.pictureView()->marks()) {
                QStringList lines;
                for (int line : mark.lines)
                    lines.append(QString::number(line));
                shown.append(mark.field + u' ' + lines.join(u','));
            }
            return shown.join(u" | "_s);
        };
        const QString expected = u"Company 1 | Position 0 | Work Model 2 | Location 1"_s;
        QTest::mouseClick(shot->thumbnail(), Qt::LeftButton);
        QVERIFY(sheet.isPictureShown());
        QTRY_VERIFY(!sheet.pictureView()->image().isNull());
        QCOMPARE(marks(), expected);
        QVERIFY(!shot->thumbnail()->isVisible()); // the picture stands for it meanwhile

        pasted->setFocus();
        QTest::keyClick(pasted, Qt::Key_Space);
        QCOMPARE(sheet.pictureView()->draft(), pasted->draft());
        QVERIFY(sheet.pictureView()->textView()->isVisible());
        QCOMPARE(marks(), expected);
        QCOMPARE(sheet.pictureView()->textView()->extraSelections().size(), 4);

        QTest::keyClick(pasted, Qt::Key_Escape);
        QVERIFY(!sheet.isPictureShown() && sheet.isVisible() && shot->thumbnail()->isVisible());
        QTest::keyClick(pasted, Qt::Key_Escape);
        QVERIFY(!sheet.isVisible());
    }

    void escapeAndReturn_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("addable");
        QTest::addColumn<bool>("committed");
        QTest::addColumn<bool>("stillOpen");
        QTest::newRow("escape cancels") << int(Qt::Key_Escape) << true << false << false;
        QTest::newRow("return adds") << int(Qt::Key_Return) << true << true << false;
        QTest::newRow("return with nothing to add") << int(Qt::Key_Return) << false << false << true;
        QTest::newRow("window closed") << 0 << true << false << false;
    }

    void escapeAndReturn()
    {
        QFETCH(int, key);
        QFETCH(bool, addable);
        QFETCH(bool, committed);
        QFETCH(bool, stillOpen);
        QStringList commits; // the companies of each commit
        Review review({addable ? postingLines.join(u'\n') : u"3 days ago"_s}, [&](const QList<PostingDraft*>& drafts) {
            commits.append(drafts.isEmpty() ? QString() : drafts.first()->company());
        });
        QLineEdit* field = review.sheet.rows().first()->companyField();
        // From inside a text field, as a user would press it.
        field->setFocus();
        if (key == 0)
            review.sheet.close(); // the window's close button, or the desktop closing it
        else
            QTest::keyClick(field, Qt::Key(key));
        QCOMPARE(commits, committed ? QStringList {u"Acme Corp"_s} : QStringList {});
        QCOMPARE(review.sheet.isVisible(), stillOpen);
        QCOMPARE(review.session.isPresenting(), stillOpen);
    }

    void pasteOrder_data()
    {
        // What the clipboard offers, format by format; "%shot" and "%notes" stand for the
        // addresses of an image file and of a text file.
        QTest::addColumn<QVariantMap>("offer");
        QTest::addColumn<QString>("asked"); // what the recogniser was given
        QTest::addColumn<QString>("shows"); // the draft's source label, or the failure line
        const auto row = [](const char* name, std::initializer_list<std::pair<const char*, QByteArray>> offer,
                             const char* asked, const char* shows) {
            QVariantMap formats;
            for (const auto& [format, bytes] : offer)
                formats.insert(QString::fromLatin1(format), bytes);
            QTest::newRow(name) << formats << QString::fromLatin1(asked) << QString::fromLatin1(shows);
        };
        const QByteArray text = pastedText.toUtf8();
        row("image files before image data and text",
            {{"text/uri-list", "%notes\r\n%shot"}, {"image/png", "posting"}, {"text/plain", text}}, "shot.png",
            "shot.png");
        row("GNOME copied files", {{"x-special/gnome-copied-files", "copy\n%shot"}}, "shot.png", "shot.png");
        row("Nautilus copied files as text", {{"text/plain", "x-special/nautilus-clipboard\ncopy\n%shot\n"}},
            "shot.png", "shot.png");
        row("image wins over text", {{"image/png", "posting"}, {"text/plain", text}}, "posting", "Clipboard");
        row("PNG before TIFF", {{"image/tiff", "tiff bytes"}, {"image/png", "posting"}}, "posting", "Clipboard");
        row("no image file: the text", {{"text/uri-list", "%notes"}, {"text/plain", text}}, "", "Clipboard");
        // As some X programs offer it: only the UTF-8 bytes, with a terminating zero.
        row("UTF-8 text starting with a byte-order mark", {{"text/plain;charset=utf-8", "\xEF\xBB\xBF" + text + '\0'}},
            "", "Clipboard");
        row("a very long text is cut", {{"text/plain", text + QByteArray("lorem ipsum ").repeated(30000)}}, "",
            "Clipboard");
        row("blank text", {{"text/plain", "  \n\t \n"}}, "", "The clipboard has no job posting text or screenshot.");
    }

    void pasteOrder()
    {
        QFETCH(QVariantMap, offer);
        QFETCH(QString, asked);
        QFETCH(QString, shows);
        const QByteArray shot = QUrl::fromLocalFile(file(u"shot.png"_s, pngBytes())).toEncoded();
        const QByteArray notes = QUrl::fromLocalFile(file(u"notes.txt"_s, "Backend Developer\n")).toEncoded();
        auto* data = new QMimeData;
        for (const auto& [format, bytes] : offer.asKeyValueRange())
            data->setData(format, bytes.toByteArray().replace("%shot", shot).replace("%notes", notes));
        QGuiApplication::clipboard()->setMimeData(data);

        StandInEngine engine;
        auto view = makeView();
        PostingImportSession session(engine.factory(), nullptr);
        PostingImportFlow flow(*view, panels(), &session);
        view->show();
        QVERIFY(view->focusedActions()->trigger(FocusedActions::Key::pastePosting));
        QTRY_VERIFY(!session.isProcessing());
        QCOMPARE(engine.reads, asked.split(u' ', Qt::SkipEmptyParts));
        QCOMPARE(labels(session) + session.failures(), QStringList {shows});
        const QString parsed = session.drafts().isEmpty() ? QString() : session.drafts().first()->parsed().rawText;
        const QByteArray offeredText = offer.value(u"text/plain"_s).toByteArray();
        if (offeredText.size() > ClipboardPosting::maximumTextLength) {
            // Parsed on the main thread, so no more than a posting could ever need.
            QCOMPARE(parsed.size(), ClipboardPosting::maximumTextLength);
            QVERIFY(parsed.startsWith(pastedText));
        } else if (shows == u"Clipboard"_s && asked.isEmpty()) {
            // The untrimmed text is what gets parsed, with its mark when it came as marked UTF-8.
            QCOMPARE(parsed, (offeredText.isEmpty() ? QString(QChar(0xFEFF)) : QString()) + pastedText);
            QCOMPARE(session.drafts().first()->company(), u"Globex Labs"_s);
        }
        QCOMPARE(store().count(), 0);
    }

    // Picked in the panel or dropped on the list, every file goes to the review.
    void pickedAndDroppedScreenshots()
    {
        StandInEngine engine;
        auto view = makeView();
        PostingImportSession session(engine.factory(), nullptr);
        PostingImportFlow flow(*view, panels(), &session);
        view->show();
        QVERIFY(view->focusedActions()->trigger(FocusedActions::Key::importScreenshots));
        QVERIFY(!session.isPresenting()); // cancelled: nothing happens

        QDir(m_files->path()).mkdir(u"shots"_s);
        const QStringList picked {file(u"shots/a.png"_s, pngBytes()), file(u"shots/missing.png"_s)};
        m_picked = picked;
        QVERIFY(view->focusedActions()->trigger(FocusedActions::Key::importScreenshots));
        QVERIFY(m_pickedFolder.isEmpty());
        QTRY_VERIFY(!session.isProcessing());
        const QStringList read {u"a.png"_s, u"missing.png: This file could not be read as an image."_s};
        QCOMPARE(labels(session) + session.failures(), read);
        flow.sheet()->cancel();
        // The panel opens where the last pick was made.
        m_picked.clear();
        flow.pickScreenshots();
        QCOMPARE(m_pickedFolder, QDir(m_files->path()).filePath(u"shots"_s));

        // A drop reaches only the widget that took the drag when it entered.
        QVERIFY(!session.isPresenting());
        QVERIFY(dropOn(view->listView()->listView()->viewport(),
            {QUrl::fromLocalFile(picked.first()), QUrl::fromLocalFile(picked.last())}));
        const PostingImportSheet* opened = flow.sheet();
        QVERIFY(opened && opened->isVisible());
        QTRY_VERIFY(!session.isProcessing());
        QCOMPARE(labels(session) + session.failures(), read);
        QCOMPARE(store().count(), 0);
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
        session->setStillReadingAfter(0); // a long read, at once
        view->show();
        flow->importFiles({QUrl::fromLocalFile(file(u"endless.png"_s)), QUrl::fromLocalFile(file(u"posting.png"_s))});
        QTRY_COMPARE(engine.running.load(), 1);
        QPointer<PostingImportSheet> sheet = flow->sheet();
        PostingImportSheet* const reading = sheet.data();
        QVERIFY(reading);
        QVERIFY(reading->footerIndicator()->isVisibleTo(reading));
        QTRY_COMPARE(reading->footerIndicator()->findChild<QLabel*>()->text(), u"Still reading endless.png…"_s);
        if (how == u"cancel"_s) {
            QTest::mouseClick(reading->cancelButton(), Qt::LeftButton);
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
            QVERIFY(!reading->footerIndicator()->isVisibleTo(reading));
        } else {
            flow.reset();
            QVERIFY(sheet.isNull());
            QCOMPARE(engine.running.load(), 0);
        }
        QTRY_COMPARE(engine.cancelledReads.load(), 1);
        QTest::qWait(50);
        QCOMPARE(engine.reads, QStringList {u"endless.png"_s});
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

    // Export and import through the window's actions and panels. Failures say why and lose
    // nothing; without a replacement the alert is the desktop's message box, one at a time.
    void backupThroughTheWindow()
    {
        Store& source = store();
        addRecord(source, u"Çağrı Yazılım"_s, u"Mobil Geliştirici"_s, ApplicationStatus::rejected);
        addRecord(source, u"Acme"_s, QString(), ApplicationStatus::applied, 1);
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
        ContentView other(target.store(), m_fixture->today, m_desktop.environment());
        BackupFlow importer(other, target.store(), panels());
        m_openPath = m_savePath + u".json"_s;
        QSignalSpy imported(&importer, &BackupFlow::importFinished);
        for (int i = 0; i < 2; ++i) {
            QVERIFY(other.focusedActions()->trigger(FocusedActions::Key::importBackup));
            QVERIFY(imported.wait(10000));
        }
        QCOMPARE(m_alerts,
            (QStringList {u"Imported 2 applications, skipped 0 already present."_s,
                u"Imported 0 applications, skipped 2 already present."_s}));
        QVERIFY(!target.store().hasChanges());
        QCOMPARE(importer.lastFolder(), m_files->path());
        QCOMPARE(companies(target.store().applicationsByDate()), companies(source.applicationsByDate()));

        // A folder that does not exist: the write fails and the alert says why.
        m_savePath = QDir(m_files->path()).filePath(u"gone/backup.json"_s);
        exporter.exportBackup();
        QCOMPARE(m_alerts.size(), 3);
        QVERIFY(!QFile::exists(m_savePath));
        // The next export suggests the folder of the last one.
        m_savePath.clear();
        exporter.exportBackup();
        QCOMPARE(m_suggestedPath, QDir(m_files->path()).filePath(u"gone/Applywright-2025-03-14.json"_s));

        DesktopPanels real = panels();
        real.alert = {};
        BackupFlow shown(*view, source, real);
        QSignalSpy finished(&shown, &BackupFlow::importFinished);
        QPointer<QMessageBox> box;
        for (const auto& [contents, alert] :
            {std::pair {QByteArray("nope"), u"The file couldn't be read because it isn't in the correct format."_s},
                {QByteArray(R"({"format":"Applywright Backup","formatVersion":2,)"
                            R"("exportedAt":"2025-03-07T14:05:09Z","applications":[]})"),
                    u"This backup was made by a newer version of Applywright."_s}}) {
            shown.importFile(file(u"chosen.json"_s, contents));
            QVERIFY(finished.wait(10000));
            QVERIFY(shown.alertBox() && (!box || shown.alertBox() == box));
            box = shown.alertBox();
            QCOMPARE(box->windowTitle(), u"Backup"_s);
            QCOMPARE(box->informativeText(), alert);
        }
        box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->buttons().first()->click();
        QTRY_VERIFY(!shown.backupMessage());
        QCOMPARE(source.count(), 2);
        QVERIFY(!source.hasChanges());
    }

private:
    std::unique_ptr<StoreFixture> m_fixture;
    Store& store() const { return m_fixture->store.store(); }
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

    std::unique_ptr<ContentView> makeView() { return makeContentView(*m_fixture, m_desktop.environment()); }

    QString file(const QString& name, const QByteArray& bytes = "x")
    {
        const QString path = QDir(m_files->path()).filePath(name);
        if (!writeFile(path, bytes))
            qWarning("could not write %s", qPrintable(path));
        return path;
    }
};

QTEST_MAIN(TestImport)
#include "tst_ui_import.moc"
