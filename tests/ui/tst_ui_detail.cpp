// The detail editor: what each control writes and shows, the decimal field, the salary
// difference, addresses, the history, the keyboard and the wheel, and quitting mid-edit.

#include "UiTestSupport.h"

#include "app/ApplicationCommands.h"
#include "app/ApplywrightApp.h"
#include "model/ApplicationEdits.h"
#include "tracking/WindowState.h"
#include "ui/ApplicationDetailView.h"
#include "ui/Badges.h"
#include "ui/DecimalField.h"
#include "ui/DetailControls.h"
#include "ui/DetailHeader.h"
#include "ui/DetailSections.h"
#include "ui/FormControls.h"
#include "ui/Formats.h"
#include "ui/Palette.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QUndoStack>

using namespace UiTestSupport;
using namespace Qt::StringLiterals;

// Chooses entry `index` of a picker as a person would.
void choose(QComboBox* picker, int index)
{
    picker->setCurrentIndex(index);
    Q_EMIT picker->activated(index);
}

// The store fixture, the window's steps and the addresses the editor opened, for each test.
struct Fixture : StoreFixture {
    QList<QUrl> opened;
    QUndoStack steps;
    ApplicationEdits edits {&steps};
};

class TestDetailEditor : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { useEnglishTexts(); }
    void init() { m_fixture = std::make_unique<Fixture>(); }
    void cleanup()
    {
        m_fixture.reset();
        useTestLocale();
    }
    void decimalTyping_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("stored"); // empty: no amount
        const auto row = [](const char* name, const char* typed, const char* shown, const char* stored) {
            QTest::newRow(name) << QString::fromUtf8(typed) << QString::fromUtf8(shown) << QString::fromUtf8(stored);
        };
        row("the first separator is the point", "12.500,75", "12.50075", "12.50075");
        row("pasted at once", "paste:12.500,75", "12.50075", "12.50075");
        row("a lone full stop", ".", ".", "");
        row("an exponent is not one", "1e5", "15", "15");
        row("no sign, no currency, no grouping", "-₺ 1 250'000", "1250000", "1250000");
        row("another script's digits", "١٢٣,٥", "١٢٣.٥", "123.5");
        // Digits beyond what a double holds: the amount never passes through one.
        row("many significant digits", "123456789012345678901234567890.123456789",
            "123456789012345678901234567890.123456789", "123456789012345678901234567890.123456789");
    }

    void decimalTyping()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        auto [record, view] = editAcme();
        DecimalField* field = view->salarySection()->expectedRow()->amountField();
        field->setFocus();
        if (typed.startsWith(u"paste:"_s)) {
            QApplication::clipboard()->setText(typed.mid(6));
            field->paste();
        } else {
            typeText(field, typed);
        }
        QTEST(field->text(), "shown");
        // What is stored is exact: the decimal's own text, never a float's.
        QCOMPARE(record->expectedSalary() ? record->expectedSalary()->toString() : QString(), stored);
    }

    // Leaving the field shows the amount in the locale's form, without grouping and
    // with the decimals the value has; a change made elsewhere reaches it.
    void decimalDisplay()
    {
        QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
        auto [record, view] = editAcme();
        DecimalField* field = view->salarySection()->offeredRow()->amountField();
        field->setFocus();
        typeText(field, u"12500.50"_s);
        view->applicationSection()->companyField()->setFocus();
        QCOMPARE(field->text(), u"12500,5"_s);
        m_fixture->edits.edit<ApplicationField::offeredSalary>(*record, Decimal::parse("0.25"));
        QCOMPARE(field->text(), u"0,25"_s);
    }
    void salaryDifference_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("offered");
        QTest::addColumn<int>("currency");
        QTest::addColumn<QString>("text"); // empty: no difference row
        QTest::addColumn<bool>("negative");
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
        QTest::newRow("lower offer, Turkish grouping") << turkish << "50000"
                                                       << "45000" << int(Currency::eur) << "-5.000 €" << true;
        QTest::newRow("equal") << english << "1200"
                               << "1200" << int(Currency::tryy) << "+0 ₺" << false;
        QTest::newRow("two fraction digits at most") << english << "1000"
                                                     << "2500.456" << int(Currency::usd) << "+1,500.46 $" << false;
        QTest::newRow("no offer yet") << english << "100"
                                      << "" << int(Currency::usd) << "" << false;
    }

    void salaryDifference()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, expected);
        QFETCH(QString, offered);
        QFETCH(int, currency);
        QFETCH(QString, text);
        QFETCH(bool, negative);
        QLocale::setDefault(locale);
        auto [record, view] = editAcme();
        SalarySection* salary = view->salarySection();
        m_fixture->edits.setCurrency(*record, Currency(currency));
        // Typed into the two rows; the currency picked in one row is the record's one currency.
        typeText(salary->expectedRow()->amountField(), expected);
        typeText(salary->offeredRow()->amountField(), offered);
        QCOMPARE(salary->offeredRow()->currencyPicker()->currentIndex(), currency);
        QCOMPARE(salary->differenceRow()->isVisibleTo(salary), !text.isEmpty());
        if (text.isEmpty())
            return;
        QCOMPARE(salary->differenceLabel()->text(), text);
        QCOMPARE(salary->differenceLabel()->palette().color(QPalette::WindowText),
            Palette::textColor(negative ? NamedColor::red : NamedColor::green, salary->palette()));
        // Clearing an amount takes the row away.
        salary->expectedRow()->amountField()->clear();
        Q_EMIT salary->expectedRow()->amountField()->textEdited(QString());
        QVERIFY(!record->expectedSalary() && !salary->differenceRow()->isVisibleTo(salary));
    }

    // The history rows as the section lays them out, top to bottom.
    static QStringList shownHistory(const TimelineSection& timeline)
    {
        QStringList shown;
        const QLayout* rows = timeline.stageRow()->parentWidget()->layout();
        for (int i = 0; i < rows->count(); ++i) {
            const QWidget* row = rows->itemAt(i)->widget();
            if (row == timeline.stageRow())
                shown.append(u"In this stage"_s);
            else if (auto* change = row->findChild<QLabel*>(u"historyText"_s))
                shown.append(change->text());
            else if (auto* empty = row->findChild<QLabel*>(u"emptyHistory"_s))
                shown.append(empty->text());
        }
        return shown;
    }

    // A row taken out and another put in within one turn: the new one lands where it
    // was asked, not shifted by the row still waiting to be deleted.
    // A one-line label shows its text whole when it fits (to the pixel) and elided
    // otherwise, in the font it has now, and asks for the whole text's width.
    void elidedLabel_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("spare");
        for (const QString& text : {u"Globex Corporation"_s, u"İstanbul Yazılım A.Ş."_s, QString()})
            for (int spare : {20, 0, -1, -40})
                QTest::addRow("%s %d", qPrintable(text), spare) << text << spare;
    }

    void elidedLabel()
    {
        QFETCH(QString, text);
        QFETCH(int, spare);
        ElidedLabel label;
        label.show();
        label.setFullText(text);
        label.setFont(QFont(label.font().family(), 26));
        const QFontMetrics metrics(label.font());
        QCOMPARE(label.sizeHint().width(), metrics.horizontalAdvance(text) + 2);
        const int room = std::max(0, metrics.horizontalAdvance(text) + spare);
        label.resize(room + label.width() - label.contentsRect().width(), 40);
        const QString shown = metrics.elidedText(text, Qt::ElideRight, room);
        QCOMPARE(label.text(), shown);
        QCOMPARE(label.toolTip(), shown == text ? QString() : text);
    }

    void formRowsKeepTheirPlaces()
    {
        FormSection section;
        QStringList names {u"a"_s, u"b"_s, u"c"_s};
        QList<QWidget*> rows;
        for (const QString& name : names)
            rows.append(section.addRow(QString(), new QLabel(name)));
        section.removeRow(rows.first());
        section.insertRow(1, QString(), new QLabel(u"x"_s));
        QStringList shown;
        const QLayout* layout = rows.at(1)->parentWidget()->layout();
        for (int i = 0; i < layout->count(); ++i)
            shown.append(layout->itemAt(i)->widget()->findChild<QLabel*>()->text());
        QCOMPARE(shown, (QStringList {u"b"_s, u"x"_s, u"c"_s}));
    }

    void historyOrderAndStage_data()
    {
        QTest::addColumn<bool>("firstEntry"); // a record from an older store may have none
        QTest::newRow("first entry") << true;
        QTest::newRow("no history yet") << false;
    }
    void historyOrderAndStage()
    {
        QFETCH(bool, firstEntry);
        JobApplication* record = addAcme(0, firstEntry);
        auto view = makeView(*record);
        TimelineSection* timeline = view->timelineSection();
        const QStringList first = firstEntry ? QStringList {u"Applied"_s} : QStringList {};
        const auto texts = [timeline] { return shownHistory(*timeline); };
        QTRY_COMPARE(texts(),
            QStringList {u"In this stage"_s} + (firstEntry ? first : QStringList {u"No status changes yet."_s}));

        // Each change puts one row in at its place below the stage row.
        m_fixture->clock.set(testNow().addDays(2));
        m_fixture->edits.changeStatus(*record, ApplicationStatus::hrInterview);
        // Two changes at one moment: the one that reached the later stage comes first,
        // whatever the order they were appended in.
        m_fixture->clock.set(testNow().addDays(5));
        m_fixture->edits.changeStatus(*record, ApplicationStatus::rejected);
        m_fixture->edits.changeStatus(*record, ApplicationStatus::techInterview);
        QTRY_COMPARE(texts(),
            (QStringList {u"In this stage"_s, u"HR Interview → Rejected"_s, u"Rejected → Tech Interview"_s,
                 u"Applied → HR Interview"_s}
                + first));
        m_fixture->clock.set(testNow().addDays(6));
        m_fixture->today.refreshDay();
        QCOMPARE(timeline->stageLabel()->text(), u"1 day"_s);
        m_fixture->edits.changeStatus(*record, ApplicationStatus::offer);
        QTRY_VERIFY(!timeline->stageRow()->isVisibleTo(timeline));
    }
    void addressButtons_data()
    {
        QTest::addColumn<bool>("mail"); // the mail address's button, or else the posting link's
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("opens"); // empty: the button is disabled
        const auto row = [](const char* name, bool mail, const char* typed, const char* opens) {
            QTest::newRow(name) << mail << QString::fromUtf8(typed) << QString::fromUtf8(opens);
        };
        row("link: bare host", false, "acme.example.com/jobs/1", "https://acme.example.com/jobs/1");
        row("link: ftp", false, "ftp://files.example.com/job", "");
        row("mail: surrounded by blanks", true, " \tjane@acme.com\n ", "mailto:jane@acme.com");
        row("mail: starts with @", true, "@acme.com", "");
        row("mail: no @", true, "jane.acme.com", "");
        row("mail: nothing else is checked", true, "a@b@c", "mailto:a@b@c");
    }

    void addressButtons()
    {
        QFETCH(bool, mail);
        QFETCH(QString, typed);
        QFETCH(QString, opens);
        JobApplication* record = addRecord(m_fixture->store.store(), u"Acme"_s);
        const QDateTime updated = record->updatedAt();
        auto view = makeView(*record);
        QAbstractButton* button = view->applicationSection()->openLinkButton();
        if (mail) {
            // Set on the record (as a restored backup would): a line edit takes no line breaks.
            m_fixture->edits.edit<ApplicationField::hrContactEmail>(*record, typed);
            QCOMPARE(view->contactsSection()->hrEmailField()->text().trimmed(), typed.trimmed());
            button = view->contactsSection()->mailButton();
        } else {
            m_fixture->clock.set(testNow().addSecs(60));
            typeText(view->applicationSection()->linkField(), typed);
            QCOMPARE(record->postingLink(), typed);
            // A link alone is not a change of the application.
            QCOMPARE(record->updatedAt(), updated);
            QCOMPARE(
                button->toolTip(), opens.isEmpty() ? u"Enter a valid http(s) address"_s : u"Open posting in browser"_s);
        }
        QCOMPARE(button->isEnabled(), !opens.isEmpty());
        button->click();
        QCOMPARE(m_fixture->opened, opens.isEmpty() ? QList<QUrl>() : QList<QUrl> {QUrl(opens)});
    }

    void statusPickerAndRejectionSection()
    {
        auto [record, view] = editAcme();
        QComboBox* status = view->applicationSection()->statusPicker();
        QVERIFY(view->rejectionSection()->isHidden());
        choose(status, int(ApplicationStatus::rejected));
        QCOMPARE(record->history().size(), 2);
        QTRY_VERIFY(view->rejectionSection()->isVisible());
        // The details field is there for "Other" only; its text is kept either way.
        RejectionSection* rejection = view->rejectionSection();
        QComboBox* reason = rejection->reasonPicker();
        choose(reason, reason->findData(int(RejectionReason::other)));
        QTRY_VERIFY(rejection->detailsRow()->isVisible());
        typeText(rejection->detailsField(), u"froze hiring"_s);
        rejection->byPhoneBox()->click();
        choose(reason, reason->findData(int(RejectionReason::budget)));
        QCOMPARE(reason->currentText(), title(RejectionReason::budget));
        QTRY_VERIFY(rejection->detailsRow()->isHidden());
        QCOMPARE(record->rejectionNote(), u"froze hiring"_s);
        QVERIFY(record->rejectedByPhone());
        choose(reason, reason->findData(int(RejectionReason::other)));
        QCOMPARE(rejection->detailsField()->toPlainText(), u"froze hiring"_s);

        // Another status takes the section away, and the record's cleared details reach it.
        choose(status, int(ApplicationStatus::hrInterview));
        QTRY_VERIFY(view->rejectionSection()->isHidden());
        QVERIFY(!rejection->byPhoneBox()->isChecked());
    }

    void followUpSwitch()
    {
        auto [record, view] = editAcme();
        ApplicationSection* section = view->applicationSection();
        QVERIFY(!section->followUpDateRow()->isVisibleTo(section));
        // The application date offers no day after today.
        QCOMPARE(section->applicationDateField()->maximumDate(), testNow().date());

        m_fixture->clock.set(testNow().addSecs(90));
        section->followUpSwitch()->click();
        QVERIFY(section->followUpDateRow()->isVisibleTo(section));
        QCOMPARE(section->followUpDateField()->date(), testNow().addDays(7).date());
        // Another day keeps the time of day.
        section->followUpDateField()->setDate(testNow().addDays(10).date());
        QCOMPARE(record->followUpDate(), std::optional<QDateTime>(testNow().addSecs(90).addDays(10).toUTC()));

        section->followUpSwitch()->click();
        QVERIFY(!record->followUpDate());
        QVERIFY(!section->followUpDateRow()->isVisibleTo(section));
    }

    void headerFollowsTheRecord()
    {
        auto [record, view] = editAcme(9);
        DetailHeader* header = view->header();
        QCOMPARE(header->positionLabel()->fullText(), u"No position specified"_s);
        QCOMPARE(header->dateChip()->text(), u"Mar 5, 2025"_s);
        QVERIFY(header->waitingBadge()->isVisibleTo(header) && !header->closedChip()->isVisibleTo(header));
        QCOMPARE(header->waitingBadge()->days(), 9);

        // The star works as the list's context menu does: flipped and stamped.
        m_fixture->clock.set(testNow().addSecs(30));
        header->starButton()->click();
        QVERIFY(record->isFavorite());
        QCOMPARE(record->updatedAt(), testNow().addSecs(30).toUTC());

        // Typing in the form and changes made elsewhere both reach the header.
        QLineEdit* company = view->applicationSection()->companyField();
        company->setFocus();
        company->end(false);
        typeText(company, u" Ltd"_s);
        QCOMPARE(header->companyLabel()->fullText(), u"Acme Ltd"_s);
        m_fixture->edits.changeStatus(*record, ApplicationStatus::offer);
        QVERIFY(!header->waitingBadge()->isVisibleTo(header) && header->closedChip()->isVisibleTo(header));
        QCOMPARE(header->closedChip()->text(), u"Closed in 9 days"_s);
        QCOMPARE(view->applicationSection()->statusPicker()->currentIndex(), int(ApplicationStatus::offer));
    }

    // A name longer than its field is read from its start when the record opens and
    // when it changes elsewhere; in the field being typed in, the cursor stays put.
    void longTextsShowTheirStart()
    {
        const QString name = u"A Company With An Extraordinarily Long Name That Cannot Fit In Its Field GmbH"_s;
        JobApplication* record = addAcme(0);
        m_fixture->edits.edit<ApplicationField::companyName>(*record, name);
        const auto view = makeView(*record);
        QLineEdit* company = view->applicationSection()->companyField();
        QVERIFY(company->fontMetrics().horizontalAdvance(name) > company->width());
        QCOMPARE(company->cursorPosition(), 0);

        m_fixture->edits.edit<ApplicationField::companyName>(*record, QString(name + u" & Co"_s));
        QCOMPARE(company->text(), name + u" & Co"_s);
        QCOMPARE(company->cursorPosition(), 0);

        company->setFocus();
        company->end(false);
        typeText(company, u"!"_s);
        QCOMPARE(company->cursorPosition(), company->text().size());
        m_fixture->edits.edit<ApplicationField::companyName>(*record, name);
        QCOMPARE(company->text(), name);
        QCOMPARE(company->cursorPosition(), name.size());
    }

    // A wheel turned over a picker scrolls the form instead of changing the record.
    void wheelScrollsTheForm()
    {
        auto [record, view] = editAcme();
        view->resize(560, 320);
        QApplication::processEvents();
        QComboBox* status = view->applicationSection()->statusPicker();
        QScrollBar* scroll = view->scrollArea()->verticalScrollBar();
        QVERIFY(scroll->maximum() > 0);
        const int before = scroll->value();
        QWheelEvent wheel(QPointF(5, 5), status->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
            Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(status, &wheel);
        QCOMPARE(status->currentIndex(), int(ApplicationStatus::applied));
        QVERIFY(scroll->value() > before);
    }
    // Arrow keys on a closed picker open its list; only a confirmed choice changes
    // the status, with one history entry for it.
    void statusPickerKeys_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("entries");
        using S = ApplicationStatus;
        QTest::newRow("an arrow, then Escape") << QStringList {"Down", "Escape"} << int(S::applied) << 1;
        QTest::newRow("passing two statuses")
            << QStringList {"Down", "Down", "Down", "Return"} << int(S::techInterview) << 2;
        QTest::newRow("to the end") << QStringList {"End", "End", "Enter"} << int(S::rejected) << 2;
        QTest::newRow("a letter") << QStringList {"O", "Return"} << int(S::offer) << 2;
        QTest::newRow("the status it has") << QStringList {"Up", "Return"} << int(S::applied) << 1;
    }

    void statusPickerKeys()
    {
        QFETCH(QStringList, keys);
        QFETCH(int, status);
        QFETCH(int, entries);
        auto [record, view] = editAcme();
        QComboBox* picker = view->applicationSection()->statusPicker();
        picker->setFocus();
        for (const QString& key : keys) {
            QWidget* target = picker->view()->isVisible() ? picker->view() : static_cast<QWidget*>(picker);
            QTest::keyClick(target, QKeySequence::fromString(key)[0].key());
            // Nothing is chosen while the list is open.
            if (picker->view()->isVisible())
                QCOMPARE(record->history().size(), 1);
        }
        QTRY_VERIFY(!picker->view()->isVisible());
        QCOMPARE(int(record->status()), status);
        QCOMPARE(record->history().size(), entries);
        QCOMPARE(m_fixture->steps.count(), entries - 1);
    }

    // A click on a row's label puts the focus in its field (a click that left the
    // focus on the form would hand the next Backspace to the delete command).
    void labelsFocusTheirFields_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("field"); // "row/field" where the row holds more than one control
        for (const auto& [label, field] :
            std::initializer_list<std::pair<const char*, const char*>> {{"Company", "companyField"},
                {"Posting Link", "linkField"}, {"Status", "statusPicker"}, {"Application Date", "applicationDateField"},
                {"Offered Salary", "offeredSalaryRow/amountField"}, {"HR Email", "hrEmailField"}})
            QTest::newRow(label) << QString::fromLatin1(label) << QString::fromLatin1(field);
    }

    void labelsFocusTheirFields()
    {
        QFETCH(QString, label);
        QFETCH(QString, field);
        auto [record, view] = editAcme();
        QLabel* text = nullptr;
        for (QLabel* candidate : view->findChildren<QLabel*>(u"rowLabel"_s))
            text = candidate->text() == label ? candidate : text;
        QVERIFY(text);
        view->scrollArea()->ensureWidgetVisible(text);
        QWidget* expected = view.get();
        for (const QString& name : field.split(u'/'))
            expected = expected->findChild<QWidget*>(name);
        QVERIFY(expected);
        view->header()->starButton()->setFocus();
        QTest::mouseClick(text, Qt::LeftButton);
        QTRY_COMPARE(QApplication::focusWidget(), expected);
    }

    // The application date's calendar draws the days after today as disabled, on
    // every page it shows.
    void calendarDrawsLaterDaysDisabled()
    {
        auto [record, view] = editAcme();
        auto* calendar
            = qobject_cast<PastCalendar*>(view->applicationSection()->applicationDateField()->calendarWidget());
        QVERIFY(calendar);
        calendar->show();
        const QDate today = testNow().date();
        const QColor disabled = calendar->palette().color(QPalette::Disabled, QPalette::Text);
        const auto drawn = [calendar](const QDate& day) {
            const QTextCharFormat format = calendar->dateTextFormat(day);
            return format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color() : QColor();
        };
        QCOMPARE(calendar->maximumDate(), today);
        QCOMPARE(drawn(today.addDays(1)), disabled);
        QCOMPARE(drawn(today), QColor());
        calendar->showNextMonth();
        QCOMPARE(drawn(today.addMonths(1)), disabled);
        calendar->setCurrentPage(2024, 12);
        QCOMPARE(drawn(QDate(2024, 12, 31)), QColor());
    }

    // Under every locale (the C locale's short form has them) the history's times show no seconds.
    void timesWithoutSeconds()
    {
        const QDateTime moment = TestSupport::local(2025, 3, 14, 10, 11, 12);
        for (const QLocale& locale :
            QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
            QCOMPARE(
                Formats::abbreviatedDateTime(moment, locale), Formats::abbreviatedDateTime(moment.addSecs(47), locale));
            QCOMPARE(locale.toString(moment.time(), Formats::shortTimeFormat(locale)),
                locale.toString(moment.time().addSecs(-12), Formats::shortTimeFormat(locale)));
        }
        QCOMPARE(Formats::abbreviatedDateTime(moment, QLocale::c()).right(5), u"10:11"_s);
    }

    // An entry's menu corrects the history: any entry's date within its bounds, the
    // newest one taken back; the timeline and the header follow each change and its undo.
    void historyCorrections()
    {
        JobApplication* record = addAcme(10);
        m_fixture->clock.set(daysAgo(4));
        m_fixture->edits.changeStatus(*record, ApplicationStatus::hrInterview);
        m_fixture->clock.set(testNow());
        auto view = makeView(*record);
        TimelineSection* timeline = view->timelineSection();
        QCOMPARE(timeline->stageLabel()->text(), u"4 days"_s);
        std::optional<ApplicationEdits::DateBounds> asked;
        timeline->setDatePrompt([&](const QDateTime&, const ApplicationEdits::DateBounds& bounds, QWidget*) {
            asked = bounds;
            return std::optional(daysAgo(8));
        });
        StatusChange* newest = timeline->entryOf(timeline->entryRows().first());
        StatusChange* first = timeline->entryOf(timeline->entryRows().last());
        const auto offered = [](const QMenu& menu) {
            QStringList texts;
            for (const QAction* action : menu.actions())
                texts << (action->isVisible() ? action->text() : QString());
            return texts;
        };
        auto menu = timeline->makeEntryMenu(*first);
        QCOMPARE(offered(*menu), (QStringList {u"Change Date…"_s, QString()}));
        menu = timeline->makeEntryMenu(*newest);
        QCOMPARE(offered(*menu), (QStringList {u"Change Date…"_s, u"Remove This Change"_s}));
        menu->findChild<QAction*>(u"changeDateAction"_s)->trigger();
        QCOMPARE(asked->earliest, std::optional(daysAgo(10)));
        QCOMPARE(asked->latest, testNow());
        QTRY_COMPARE(timeline->stageLabel()->text(), u"8 days"_s);
        QTRY_COMPARE(
            timeline->entryRows().first()->findChild<QLabel*>(u"historyDate"_s)->text(), u"Mar 6, 2025 9:00 AM"_s);
        timeline->makeEntryMenu(*newest)->findChild<QAction*>(u"removeChangeAction"_s)->trigger();
        QTRY_COMPARE(record->status(), ApplicationStatus::applied);
        QTRY_COMPARE(shownHistory(*timeline), (QStringList {u"In this stage"_s, u"Applied"_s}));
        QCOMPARE(timeline->stageLabel()->text(), u"10 days"_s);
        QCOMPARE(view->header()->statusBadge()->status(), ApplicationStatus::applied);
        m_fixture->steps.undo();
        m_fixture->steps.undo();
        QTRY_COMPARE(
            shownHistory(*timeline), (QStringList {u"In this stage"_s, u"Applied → HR Interview"_s, u"Applied"_s}));
        QTRY_COMPARE(timeline->stageLabel()->text(), u"4 days"_s);
        QCOMPARE(view->applicationSection()->statusPicker()->currentIndex(), int(ApplicationStatus::hrInterview));
    }

    void keystrokesSurviveQuitAndSwitching_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("the Quit command") << "quit";
        QTest::newRow("closing the window") << "close";
        QTest::newRow("another record, then quit") << "switch";
    }

    void keystrokesSurviveQuitAndSwitching()
    {
        QFETCH(QString, how);
        QTemporaryDir dir;
        RecordID id = 0;
        {
            ApplywrightApp app(dir.path());
            Store& store = *app.storeLoader().store();
            // No timed save: only the window's own saving may keep the keystrokes.
            store.setAutosaveDelay(-1);
            addRecord(store, u"Other"_s, {}, ApplicationStatus::applied, 3);
            QVERIFY(store.save());
            auto window = app.createWindow();
            QVERIFY(showActive(window.get()));
            auto* content = window->findChild<ContentView*>();
            QTest::keyClick(window.get(), Qt::Key_N, Qt::ControlModifier);
            ApplicationDetailView* editor = content->detailView();
            QVERIFY(editor);
            id = editor->application()->id();
            // The cursor is in the company field: typing goes there.
            typeText(QApplication::focusWidget(), u"Çağrı Yazılım"_s);
            QPlainTextEdit* notes = editor->notesSection()->editor();
            notes->setFocus();
            typeText(notes, u"line one"_s);
            QTest::keyClick(notes, Qt::Key_Return);
            typeText(notes, u"line two"_s);
            QWidget* amount = editor->salarySection()->expectedRow()->amountField();
            amount->setFocus();
            typeText(amount, u"85000,5"_s);
            QVERIFY(store.hasChanges());
            if (how == u"switch"_s) {
                content->state().setSelectedID(content->state().visibleApplications().last()->id());
                QVERIFY(content->detailView() != editor);
            }
            if (how == u"close"_s)
                QTimer::singleShot(0, window.get(), &QWidget::close);
            else
                QTimer::singleShot(0, window->findChild<QAction*>(u"quitAction"_s), &QAction::trigger);
            // The window's own quit, as the desktop runs it.
            QApplication::exec();
            QVERIFY(!store.hasChanges());
        }
        StoreLoader reopened = openStore(dir.path());
        QVERIFY(reopened.isReady());
        JobApplication* record = reopened.store()->application(id);
        QVERIFY(record && record->expectedSalary());
        QCOMPARE(
            (QStringList {record->companyName(), record->notes().toString(), record->expectedSalary()->toString()}),
            (QStringList {u"Çağrı Yazılım"_s, u"line one\nline two"_s, u"85000.5"_s}));
    }

private:
    std::unique_ptr<ApplicationDetailView> makeView(JobApplication& record)
    {
        ApplicationDetailView::Actions actions;
        actions.openURL = [this](const QUrl& url) { m_fixture->opened.append(url); };
        auto view
            = std::make_unique<ApplicationDetailView>(record, m_fixture->edits, m_fixture->today, std::move(actions));
        view->resize(560, 700);
        if (!showActive(view.get()))
            qWarning("the editor's window did not become active");
        return view;
    }

    // A record named Acme applied for today with its first history entry, in its editor.
    std::pair<JobApplication*, std::unique_ptr<ApplicationDetailView>> editAcme(int daysAgo = 0)
    {
        JobApplication* record = addAcme(daysAgo);
        return {record, makeView(*record)};
    }

    JobApplication* addAcme(int daysAgo, bool firstEntry = true)
    {
        ApplicationBuilder record(JobApplication::initialValues(u"Acme"_s, QString(), QString(), WorkModel::remote,
            ApplicationStatus::applied, UiTestSupport::daysAgo(daysAgo)));
        if (firstEntry)
            record.appendFirstHistoryEntry();
        return m_fixture->store.store().insert(record.build());
    }

    std::unique_ptr<Fixture> m_fixture;
};

QTEST_MAIN(TestDetailEditor)
#include "tst_ui_detail.moc"
