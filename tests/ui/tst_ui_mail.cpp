#include "UiTestSupport.h"
#include "mail/MailImportSession.h"
#include "tracking/WindowState.h"
#include "ui/ApplicationListView.h"
#include "ui/Badges.h"
#include "ui/ConfidenceBadge.h"
#include "ui/FocusedActions.h"
#include "ui/MailImportFlow.h"
#include "ui/MailImportSheet.h"
#include "ui/MailUpdateRow.h"
#include "ui/PostingImportFlow.h"
#include "ui/PostingImportSheet.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QPushButton>

using namespace UiTestSupport;
using namespace Qt::StringLiterals;

namespace {

// Sent Monday 3 March 2025, 16:42 in Istanbul.
const QDateTime sent = TestSupport::utc(2025, 3, 3, 13, 42);

QString rejection(const QString& company, const QString& position)
{
    return u"From: %1 Hiring Team <no-reply@us.greenhouse-mail.io>\nTo: me@example.com\nSubject: Your application to "
           "%1\nDate: Mon, 03 Mar 2025 16:42:00 +0300\n\nHi Deniz,\n\nThank you for your interest in the %2 role. "
           "Unfortunately, we will not be moving forward with your application: your salary expectations are above "
           "the budget for this role.\n"_s.arg(company, position);
}

QString shown(const MailUpdateRow& row)
{
    QStringList parts {row.includeBox()->isChecked() ? u"ticked"_s : u"unticked"_s,
        row.applicationPicker()->isVisible() ? row.applicationPicker()->currentText() : u"-"_s};
    if (row.fromBadge()->isVisible())
        parts << title(row.fromBadge()->status()) + u" → "_s + title(row.toBadge()->status());
    for (const QLabel* label : {row.changeLabel(), row.reasonLabel(), row.notInListLabel()}) {
        if (label->isVisible())
            parts << label->text();
    }
    if (row.confidenceBadge()->isVisible())
        parts << ConfidenceBadge::text(row.confidenceBadge()->confidence());
    return parts.join(u" | "_s);
}

} // namespace

class TestMailUi : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { useEnglishTexts(); }
    void init()
    {
        m_fixture = std::make_unique<StoreFixture>();
        QGuiApplication::clipboard()->clear();
    }
    void cleanup() { m_fixture.reset(); }

    // A message dropped on the list is reviewed, and Apply moves the application with
    // the history entry dated when the message was sent; the notes stay as they are.
    void applyDatesTheChangeAtTheMessage()
    {
        JobApplication* record = store().insert(
            ApplicationBuilder(std::make_unique<JobApplication>(u"Acme Robotics A.Ş."_s, u"Backend Engineer"_s,
                                   QString(), WorkModel::remote, ApplicationStatus::applied, daysAgo(30)))
                .appendFirstHistoryEntry()
                .build());
        edited<ApplicationField::notes>(record, u"Spoke to Jana"_s);
        QVERIFY(store().save());
        auto view = makeView();
        MailImportFlow flow(*view, panels());
        view->show();

        QMimeData data;
        data.setUrls(
            {QUrl::fromLocalFile(file(u"answer.eml"_s, rejection(u"Acme Robotics"_s, u"Backend Engineer"_s)))});
        QVERIFY(dropOn(view->listView()->listView()->viewport(), data));
        QVERIFY(flow.sheet());
        QTRY_COMPARE(flow.sheet()->rows().size(), 1);
        MailImportSheet& sheet = *flow.sheet();
        const MailUpdateRow& row = *sheet.rows().front();
        QCOMPARE(shown(row),
            u"ticked | Acme Robotics A.Ş. — Backend Engineer | Applied → Rejected | Reason: Budget mismatch | "
            "Confident"_s);
        QCOMPARE(row.senderLabel()->text(), u"Acme Robotics Hiring Team · Mar 3, 2025 4:42 PM"_s);
        QVERIFY(row.evidenceLabel()->text().startsWith(u"“Unfortunately, we will not be moving forward"_s));
        QCOMPARE(sheet.applyButton()->text(), u"Apply 1 Change"_s);
        QVERIFY(sheet.applyButton()->isEnabled());

        m_fixture->clock.set(testNow().addSecs(60));
        QTest::mouseClick(sheet.applyButton(), Qt::LeftButton);
        QTRY_VERIFY(!flow.sheet());
        QCOMPARE(record->status(), ApplicationStatus::rejected);
        QCOMPARE(record->statusChangedAt(), sent);
        QCOMPARE(record->closedAt(), std::optional<QDateTime>(sent));
        QCOMPARE(record->history().size(), 2);
        QCOMPARE(record->history().last()->date(), sent);
        QCOMPARE(record->history().last()->from(), std::optional<ApplicationStatus>(ApplicationStatus::applied));
        QVERIFY(record->rejectedByEmail());
        QCOMPARE(record->rejectionReason(), std::optional<RejectionReason>(RejectionReason::budget));
        QCOMPARE(record->notes().toString(), u"Spoke to Jana"_s);
        QCOMPARE(record->updatedAt(), testNow().addSecs(60).toUTC());
        QVERIFY(!store().hasChanges());

        // The import is one step to take back, every field it wrote with it.
        QCOMPARE(view->state().undoStack().undoText(), u"Mail Import"_s);
        view->state().undo();
        QCOMPARE(record->status(), ApplicationStatus::applied);
        QCOMPARE(record->history().size(), 1);
        QVERIFY(!record->rejectedByEmail());
        QCOMPARE(record->rejectionReason(), std::nullopt);
        QCOMPARE(record->closedAt(), std::nullopt);
        QVERIFY(!view->state().undoStack().canUndo());
    }

    // No application at that company: "Not in your list", and a button that makes one,
    // dated at the message, with the change on top. Pasting the message starts it.
    void notInYourListMakesOne()
    {
        auto view = makeView();
        PostingImportFlow postings(*view, panels());
        MailImportFlow flow(*view, panels());
        view->show();
        // A posting on the clipboard is still a posting.
        QGuiApplication::clipboard()->setText(u"Senior iOS Developer\nAcme Corp · Istanbul · 2 days ago"_s);
        QVERIFY(view->focusedActions()->trigger(FocusedActions::Key::pastePosting));
        QVERIFY(postings.sheet() && !flow.sheet());
        postings.sheet()->cancel();
        QGuiApplication::clipboard()->setText(rejection(u"Contoso"_s, u"Designer"_s));
        QVERIFY(view->focusedActions()->trigger(FocusedActions::Key::pastePosting));
        QVERIFY(flow.sheet() && !postings.sheet());
        QTRY_COMPARE(flow.sheet()->rows().size(), 1);
        MailUpdateRow& row = *flow.sheet()->rows().front();
        QCOMPARE(shown(row), u"unticked | - | Create the application to record this message | Not in your list"_s);
        QVERIFY(!flow.sheet()->applyButton()->isEnabled());
        QTest::mouseClick(row.createButton(), Qt::LeftButton);
        QCOMPARE(row.newCompanyField()->text(), u"Contoso"_s);
        QCOMPARE(shown(row),
            u"ticked | - | Applied → Rejected | A new application, with this change | Reason: Budget mismatch"_s);
        row.newCompanyField()->clear();
        typeText(row.newCompanyField(), u"Contoso Ltd"_s);
        QTest::mouseClick(flow.sheet()->applyButton(), Qt::LeftButton);
        QCOMPARE(store().applications().size(), 1);
        const JobApplication& made = *store().applications().front();
        QCOMPARE(made.companyName(), u"Contoso Ltd"_s);
        QCOMPARE(made.applicationDate(), sent);
        QCOMPARE(made.status(), ApplicationStatus::rejected);
        QCOMPARE(made.history().size(), 2);
        QCOMPARE(view->state().selectedID(), std::optional<RecordID>(made.id()));
        // Taking the import back takes the application it made, not only its move.
        view->state().undo();
        QVERIFY(store().applications().isEmpty());
        view->state().redo();
        QCOMPARE(store().applications().size(), 1);
        QCOMPARE(store().applications().front()->status(), ApplicationStatus::rejected);
    }

    // Two applications at one company and nothing in the message says which: the
    // person picks; Cancel changes nothing.
    void thePersonPicksAndCancels()
    {
        addRecord(store(), u"Acme Robotics"_s, u"Backend Engineer"_s, ApplicationStatus::applied, 30);
        JobApplication* frontend
            = addRecord(store(), u"Acme Robotics"_s, u"Frontend Engineer"_s, ApplicationStatus::hrInterview, 30);
        QVERIFY(store().save());
        auto view = makeView();
        MailImportFlow flow(*view, panels());
        flow.importText(rejection(u"Acme Robotics"_s, u"engineering"_s), u"Clipboard"_s);
        QTRY_COMPARE(flow.sheet()->rows().size(), 1);
        MailUpdateRow& row = *flow.sheet()->rows().front();
        QCOMPARE(shown(row),
            u"unticked | Choose an application… | Choose the application this message is about | Needs review"_s);
        QComboBox* picker = row.applicationPicker();
        const int index = picker->findData(QVariant::fromValue(frontend->id()));
        QVERIFY(index > 0);
        picker->setCurrentIndex(index);
        Q_EMIT picker->activated(index);
        QCOMPARE(shown(row),
            u"ticked | Acme Robotics — Frontend Engineer | HR Interview → Rejected | Reason: Budget mismatch | "
            "Confident"_s);
        QCOMPARE(flow.sheet()->applyButton()->text(), u"Apply 1 Change"_s);
        QTest::keyClick(flow.sheet(), Qt::Key_Escape);
        QTRY_VERIFY(!flow.sheet());
        QCOMPARE(frontend->status(), ApplicationStatus::hrInterview);
        QVERIFY(!store().hasChanges());
    }

    // File ▸ Import Mail… reads a mailbox's every message.
    void importCommandAndPasteRouting()
    {
        auto view = makeView();
        MailImportFlow flow(*view, panels());
        QVERIFY(view->focusedActions()->isPublished(FocusedActions::Key::importMail));
        const QString box = file(u"export.mbox"_s,
            u"From a@b Mon Mar  3 10:00:00 2025\n"_s + rejection(u"Acme"_s, u"X"_s)
                + u"\nFrom a@b Mon Mar  3 10:00:00 "
                  "2025\nFrom: x@y.com\n\n\n"_s);
        m_picked = {box};
        QVERIFY(view->focusedActions()->trigger(FocusedActions::Key::importMail));
        QTRY_VERIFY(!flow.session().isProcessing());
        QCOMPARE(flow.sheet()->rows().size(), 1);
        QCOMPARE(flow.sheet()->failureTexts(),
            QStringList {u"export.mbox#2: No readable text was found in this message."_s});
        flow.sheet()->cancel();
    }

    // The review follows its session: reading, nothing read with the failure lines,
    // or rows; Apply counts the ticked changes and is off at none.
    void sheetFollowsTheSession_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<int>("content");
        QTest::addColumn<QStringList>("failures");
        QTest::addColumn<QString>("apply");
        using C = MailImportSheet::Content;
        QTest::newRow("nothing read") << QStringList {u"From: a@b.com\nSubject: x\n\n"_s} << int(C::nothingRead)
                                      << QStringList {u"Clipboard: No readable text was found in this message."_s}
                                      << u"Apply 0 Changes (off)"_s;
        QTest::newRow("text too long") << QStringList {QString(3 * 1024 * 1024, u'x')} << int(C::nothingRead)
                                       << QStringList {u"Clipboard: The text of this message is too long to read."_s}
                                       << u"Apply 0 Changes (off)"_s;
        QTest::newRow("a row and a failure")
            << QStringList {rejection(u"Hooli"_s, u"ML"_s), u"From: a@b.com\n\n"_s} << int(C::review)
            << QStringList {u"Clipboard: No readable text was found in this message."_s} << u"Apply 1 Change"_s;
    }

    void sheetFollowsTheSession()
    {
        QFETCH(QStringList, texts);
        addRecord(store(), u"Hooli"_s, u"ML"_s);
        MailImportSession session;
        MailImportSheet sheet(session, {});
        QList<MailCandidate> applications;
        for (const JobApplication* record : store().applications())
            applications.append(MailCandidate::of(*record));
        session.begin(applications);
        for (const QString& text : texts)
            session.processText(text, u"Clipboard"_s);
        QCOMPARE(sheet.content(), MailImportSheet::Content::reading);
        QVERIFY(!sheet.footerIndicator()->isHidden());
        QTRY_VERIFY(!session.isProcessing());
        QTEST(int(sheet.content()), "content");
        QTEST(sheet.failureTexts(), "failures");
        QPushButton* apply = sheet.applyButton();
        QTEST(QString(apply->text() + (apply->isEnabled() ? QString() : u" (off)"_s)), "apply");
        session.reset();
        QVERIFY(sheet.isHidden());
    }

private:
    QString file(const QString& name, const QString& text)
    {
        const QString path = m_files.filePath(name);
        if (!writeFile(path, text.toUtf8()))
            qWarning("could not write %s", qPrintable(path));
        return path;
    }
    DesktopPanels panels()
    {
        DesktopPanels p;
        p.openFiles = [this](QWidget*, const QString&, const QString&, const QString&) { return m_picked; };
        return p;
    }
    std::unique_ptr<ContentView> makeView() { return makeContentView(*m_fixture); }

    std::unique_ptr<StoreFixture> m_fixture;
    Store& store() const { return m_fixture->store.store(); }
    QTemporaryDir m_files;
    QStringList m_picked;
};

QTEST_MAIN(TestMailUi)
#include "tst_ui_mail.moc"
