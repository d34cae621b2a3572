#include "UiTestSupport.h"

#include "app/ApplywrightApp.h"
#include "posting/PostingImportSession.h"
#include "tracking/WindowState.h"
#include "ui/Accessibility.h"
#include "ui/InsightsView.h"
#include "ui/InsightsWindow.h"
#include "ui/PostingImportSheet.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>

using namespace UiTestSupport;
using namespace Qt::StringLiterals;

namespace {

QAccessibleInterface* accessible(QWidget* widget, int child)
{
    QAccessibleInterface* interface = widget ? QAccessible::queryAccessibleInterface(widget) : nullptr;
    return interface && child >= 0 ? interface->child(child) : interface;
}

// What a screen reader says an object is: its role, and its name, taken from the
// label pointing at it when it has one (list boxes say their value as name).
QString heard(QAccessibleInterface* interface)
{
    if (!interface)
        return u"(none)"_s;
    QString name = interface->text(QAccessible::Name);
    const auto labels = interface->relations(QAccessible::Label);
    if (!labels.isEmpty())
        name = labels.first().first->text(QAccessible::Name);
    QString text = u"%1 “%2”"_s.arg(int(interface->role())).arg(name);
    if (interface->state().checkable)
        text += interface->state().checked ? u" checked"_s : u" unchecked"_s;
    return text;
}

QString expected(QAccessible::Role role, const QString& name, int checked = -1)
{
    return u"%1 “%2”"_s.arg(int(role)).arg(name) + (checked < 0 ? u""_s : checked ? u" checked"_s : u" unchecked"_s);
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { useTestLocale(); }
    void init() { m_app.emplace(); }
    void cleanup() { m_app.reset(); }

    // Every control of the main window and of the review sheet, by object name (and child).
    void everyControlIsNamed_data()
    {
        QTest::addColumn<bool>("sheet");
        QTest::addColumn<QString>("object");
        QTest::addColumn<int>("child");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, bool sheet, const QString& object, int child, const QString& expected) {
            QTest::newRow(name) << sheet << object << child << expected;
        };
        row("search icon", false, u"searchField"_s, 0, expected(QAccessible::Button, u"Search"_s));
        row("work model", false, u"workModelPicker"_s, -1, expected(QAccessible::Grouping, u"Work Model"_s));
        row("chosen model", false, u"workModelPicker"_s, 1, expected(QAccessible::RadioButton, u"Hybrid"_s, 1));
        row("other model", false, u"workModelPicker"_s, 2, expected(QAccessible::RadioButton, u"On-site"_s, 0));
        row("currency", false, u"currencyPicker"_s, -1, expected(QAccessible::ComboBox, u"Currency"_s));
        row("detail scroll", false, u"detailScrollArea"_s, -1, expected(QAccessible::Client, u"Application details"_s));
        row("history symbol", false, u"historySymbol"_s, -1, expected(QAccessible::Graphic, u"Offer"_s));
        row("sheet row", true, u"draftRow"_s, -1, expected(QAccessible::Client, u"Detected application: acme.png"_s));
        row("sheet remote", true, u"workModelPicker"_s, 0, expected(QAccessible::RadioButton, u"Remote"_s, 0));
        row("sheet on-site", true, u"workModelPicker"_s, 2, expected(QAccessible::RadioButton, u"On-site"_s, 1));
        row("sheet rows", true, u"draftList"_s, -1, expected(QAccessible::Client, u"Detected applications"_s));
    }
    void everyControlIsNamed()
    {
        QFETCH(bool, sheet);
        QFETCH(QString, object);
        QFETCH(int, child);
        QFETCH(QString, expected);
        ApplywrightApp app(m_app->dir.path(), m_app->desktop.environment());
        JobApplication* record = addRecord(
            *app.storeLoader().store(), u"Acme"_s, u"Engineer"_s, ApplicationStatus::applied, 3, WorkModel::hybrid);
        ApplicationEdits().changeStatus(*record, ApplicationStatus::offer);
        PostingImportSession session;
        PostingImportSheet review(session, {});
        std::unique_ptr<QMainWindow> window;
        if (sheet) {
            session.begin();
            review.show();
            session.addText(u"Frontend Developer\nAcme Corp\nWork model: on-site"_s, u"acme.png"_s);
        } else {
            window = showWindow(app);
            window->findChild<ContentView*>()->state().setSelectedID(record->id());
        }
        QWidget* widget = nullptr;
        QTRY_VERIFY((widget = (sheet ? static_cast<QWidget*>(&review) : window.get())->findChild<QWidget*>(object)));
        QCOMPARE(heard(accessible(widget, child)), expected);
        if (auto* area = qobject_cast<QAbstractScrollArea*>(widget))
            QCOMPARE(area->focusPolicy(), Qt::NoFocus);
        session.reset();
    }

    // A row says all it shows; an empty list and a search say what they found.
    void listRowsAndResultsAreAnnounced_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("results");
        const QString acme = u"Acme, Engineer, Applied, Waiting 8 days, Remote, Starred, Follow-up"_s;
        QTest::newRow("starred, follow-up due") << QString() << 0 << acme << QString();
        QTest::newRow("closed, no position")
            << QString() << 1 << u"Birch, No position specified, Offer, Hybrid"_s << QString();
        QTest::newRow("search finds two") << u"r"_s << 0 << acme << u"2 applications found"_s;
        QTest::newRow("search finds none")
            << u"zzz"_s << -1 << QString() << u"No results. No application matches your search or filter."_s;
    }
    void listRowsAndResultsAreAnnounced()
    {
        QFETCH(QString, search);
        QFETCH(int, row);
        QFETCH(QString, said);
        QFETCH(QString, results);
        ApplywrightApp app(m_app->dir.path(), m_app->desktop.environment());
        Store& store = *app.storeLoader().store();
        JobApplication* acme = addRecord(store, u"Acme"_s, u"Engineer"_s, ApplicationStatus::applied, 8);
        edited<ApplicationField::isFavorite>(acme, true);
        edited<ApplicationField::followUpDate>(acme, std::optional<QDateTime>(daysAgo(1)));
        addRecord(store, u"Birch"_s, QString(), ApplicationStatus::offer, 20, WorkModel::hybrid);
        auto window = showWindow(app);
        auto* field = window->findChild<QLineEdit*>(u"searchField"_s);
        field->setText(search);
        auto* list = window->findChild<QListView*>(u"applicationListView"_s);
        QTRY_COMPARE(list->accessibleDescription(), results);
        QCOMPARE(field->accessibleDescription(), results);
        if (row >= 0)
            QCOMPARE(accessible(list, row)->text(QAccessible::Name), said);
    }

    // The window is a window; each card a group that says its figures; the weeks a table.
    void insightsAreReadOut_data()
    {
        QTest::addColumn<int>("card");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("expected");
        QTest::newRow("window") << -1 << -1 << expected(QAccessible::Window, u"Insights"_s);
        // The keyboard's way to scroll the painted page: a Tab stop, named.
        QTest::newRow("page") << -2 << -1 << expected(QAccessible::Client, u"Insights"_s);
        QTest::newRow("funnel") << 0 << -1 << expected(QAccessible::Grouping, u"How far applications got"_s);
        QTest::newRow("funnel stage") << 0 << 1
                                      << expected(QAccessible::StaticText,
                                             u"HR Interview: 2 of 4, 50% of the stage before"_s);
        QTest::newRow("answers") << 1 << 2
                                 << expected(QAccessible::StaticText,
                                        u"All time: 50%, 2 of 4 answered, median 1 day to the first answer"_s);
        QTest::newRow("weeks") << 2 << 0 << expected(QAccessible::Table, u"Applications per week"_s);
        QTest::newRow("model") << 4 << 1 << expected(QAccessible::StaticText, u"Remote: 2 sent, 50% answered"_s);
    }
    void insightsAreReadOut()
    {
        QFETCH(int, card);
        QFETCH(int, line);
        QFETCH(QString, expected);
        ApplywrightApp app(m_app->dir.path(), m_app->desktop.environment());
        Store& store = *app.storeLoader().store();
        for (int i = 0; i < 4; ++i) {
            JobApplication* record = addRecord(store, u"Firm %1"_s.arg(i), u"Engineer"_s, ApplicationStatus::applied,
                i + 2, i % 2 ? WorkModel::hybrid : WorkModel::remote);
            if (i < 2) {
                m_app->clock.set(daysAgo(i + 1));
                ApplicationEdits().changeStatus(*record, ApplicationStatus::hrInterview);
                m_app->clock.set(testNow());
            }
        }
        auto window = showWindow(app);
        QTest::keyClick(window.get(), Qt::Key_I, Qt::ControlModifier);
        auto* insights = window->findChild<InsightsWindow*>();
        QVERIFY(insights && QTest::qWaitForWindowExposed(insights));
        QAccessibleInterface* cards = accessible(insights->findChild<InsightsView*>(), -1);
        auto* page = insights->findChild<QAbstractScrollArea*>();
        QVERIFY(page->focusPolicy() & Qt::TabFocus);
        QAccessibleInterface* found = card == -2 ? accessible(page, -1)
            : card < 0                           ? accessible(insights, -1)
                                                 : cards->child(card);
        QCOMPARE(heard(line < 0 ? found : found->child(line)), expected);
        if (line == 0 && card == 2) {
            auto* table
                = static_cast<QAccessibleTableInterface*>(found->child(0)->interface_cast(QAccessible::TableInterface));
            QVERIFY(table);
            QCOMPARE(table->rowCount(), 12);
            QCOMPARE(table->cellAt(11, 0)->text(QAccessible::Name), u"This week"_s);
            QCOMPARE(table->cellAt(11, 1)->text(QAccessible::Name), u"4"_s);
        }
    }

    // Only a change a listener can notice goes out: a new text on a shown object.
    void nameChangesGoOutOncePerChange_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("passed");
        const int name = QAccessible::NameChanged;
        const int focus = QAccessible::Focus;
        QTest::newRow("new names") << name << true << QStringList {u"a"_s, u"b"_s, u"c"_s} << u"abc"_s;
        QTest::newRow("same again") << name << true << QStringList {u"a"_s, u"a"_s, u"b"_s, u"b"_s} << u"ab"_s;
        QTest::newRow("hidden") << name << false << QStringList {u"a"_s, u"b"_s} << QString();
        QTest::newRow("focus") << focus << true << QStringList {u"a"_s, u"a"_s} << u"aa"_s;
        QTest::newRow("focus unseen") << focus << false << QStringList {u"a"_s} << QString();
    }
    void nameChangesGoOutOncePerChange()
    {
        QFETCH(int, type);
        QFETCH(bool, shown);
        QFETCH(QStringList, texts);
        QFETCH(QString, passed);
        QWidget window;
        auto* label = new QLabel(&window);
        window.setVisible(shown);
        QString out;
        for (const QString& text : texts) {
            label->setAccessibleName(text);
            QAccessibleEvent event(label, QAccessible::Event(type));
            if (Accessibility::isNoticeable(&event))
                out += text;
        }
        QCOMPARE(out, passed);
    }

private:
    std::optional<AppFixture> m_app;
};

QTEST_MAIN(AccessibilityTest)
#include "tst_ui_accessibility.moc"
