#include "UiTestSupport.h"

#include "app/ApplicationCommands.h"
#include "app/ApplywrightApp.h"
#include "app/Translations.h"
#include "tracking/WindowState.h"
#include "ui/ContentUnavailableView.h"
#include "ui/InsightsView.h"
#include "ui/InsightsWindow.h"
#include "ui/SpreadsheetFlow.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QTranslator>

using namespace UiTestSupport;
using namespace Qt::StringLiterals;

class InsightsUiTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { useTestLocale(); }
    void init();
    void cleanup();

    void ctrlIOpensOneInsightsWindow();
    void figuresFollowTheListWhenAsked();
    void editsReachTheFigures();
    void spreadsheetCommandWritesEitherFile_data();
    void spreadsheetCommandWritesEitherFile();
    void inTurkish();
    void spreadsheetFailureIsShown();

private:
    std::unique_ptr<QMainWindow> showWindow(ApplywrightApp& app);
    void addSample(Store& store, int count);
    InsightsWindow* openInsights(QMainWindow& window);

    std::unique_ptr<TestSupport::FixedClock> m_clock;
    std::unique_ptr<QTemporaryDir> m_dir;
    FakeDesktop m_desktop;
    QList<std::pair<QString, QString>> m_alerts;
};

void InsightsUiTest::init()
{
    m_clock = std::make_unique<TestSupport::FixedClock>(testNow());
    m_dir = std::make_unique<QTemporaryDir>();
    m_alerts.clear();
}

void InsightsUiTest::cleanup()
{
    m_dir.reset();
    m_clock.reset();
}

std::unique_ptr<QMainWindow> InsightsUiTest::showWindow(ApplywrightApp& app)
{
    SpreadsheetFlow::Panels panels;
    panels.alert = [this](QWidget*, const QString& title, const QString& text) { m_alerts.append({title, text}); };
    app.setSpreadsheetPanels(panels);
    return UiTestSupport::showWindow(app);
}

// Six records: three open (one of them an interview), an offer and two rejections.
void InsightsUiTest::addSample(Store& store, int count)
{
    const ApplicationStatus statuses[] = {ApplicationStatus::applied, ApplicationStatus::hrInterview,
        ApplicationStatus::applied, ApplicationStatus::offer, ApplicationStatus::rejected, ApplicationStatus::rejected};
    for (int i = 0; i < count; ++i) {
        JobApplication* record = addRecord(store, u"Firm %1"_s.arg(i), u"Engineer"_s, statuses[i % 6], i * 3);
        record->appendFirstHistoryEntry();
    }
}

InsightsWindow* InsightsUiTest::openInsights(QMainWindow& window)
{
    QTest::keyClick(&window, Qt::Key_I, Qt::ControlModifier);
    auto* insights = window.findChild<InsightsWindow*>();
    if (insights && !QTest::qWaitForWindowExposed(insights))
        qWarning("the insights window was not shown");
    return insights;
}

void InsightsUiTest::ctrlIOpensOneInsightsWindow()
{
    ApplywrightApp app(m_dir->path(), m_desktop.environment());
    addSample(*app.storeLoader().store(), 6);
    auto window = showWindow(app);
    InsightsWindow* insights = openInsights(*window);
    QVERIFY(insights && insights->isVisible());
    QCOMPARE(insights->countedLabel()->text(), u"of 6 applications"_s);
    QVERIFY(insights->currentPage() != insights->notEnoughView());

    insights->close();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QCOMPARE(openInsights(*window), insights);
    QVERIFY(insights->isVisible());
    QCOMPARE(window->findChildren<InsightsWindow*>().size(), 1);
}

void InsightsUiTest::figuresFollowTheListWhenAsked()
{
    ApplywrightApp app(m_dir->path(), m_desktop.environment());
    addSample(*app.storeLoader().store(), 12);
    auto window = showWindow(app);
    auto* content = window->findChild<ContentView*>();
    InsightsWindow* insights = openInsights(*window);
    QVERIFY(insights);

    // The list's filter changes nothing until asked.
    content->state().setStatusFilter(StatusFilter::active());
    QTest::qWait(20);
    QCOMPARE(insights->insights().total, 12);
    insights->onlyVisibleBox()->click();
    QCOMPARE(insights->insights().total, 6);
    QCOMPARE(insights->countedLabel()->text(), u"of 6 applications, as the list shows them"_s);
    QCOMPARE(insights->insights().rejections, 0);

    // Then it follows the search as the person types.
    content->state().setSearchText(u"Firm 1"_s); // Firm 1; Firm 10 and 11 are rejected
    QTRY_COMPARE(insights->insights().total, 1);
    QCOMPARE(insights->currentPage(), insights->notEnoughView());
    QVERIFY(insights->notEnoughView()->description().contains(u"There is 1 so far."_s));

    insights->onlyVisibleBox()->click();
    QCOMPARE(insights->insights().total, 12);
    QCOMPARE(insights->countedLabel()->text(), u"of 12 applications"_s);
    QVERIFY(insights->currentPage() != insights->notEnoughView());
}

void InsightsUiTest::editsReachTheFigures()
{
    ApplywrightApp app(m_dir->path(), m_desktop.environment());
    Store& store = *app.storeLoader().store();
    addSample(store, 6);
    auto window = showWindow(app);
    InsightsWindow* insights = openInsights(*window);
    // No history beyond the first entry, so the HR interview record counts from its status.
    QCOMPARE(insights->insights().reached[1], 2); // the HR interview and the offer
    QCOMPARE(insights->insights().reached[2], 1);

    JobApplication* first = store.applicationsByDate().first();
    QCOMPARE(first->status(), ApplicationStatus::applied);
    m_clock->set(testNow().addSecs(60));
    first->changeStatus(ApplicationStatus::techInterview);
    QTRY_COMPARE(insights->insights().reached[2], 2);
    QCOMPARE(insights->insights().reached[1], 3);
}

void InsightsUiTest::spreadsheetCommandWritesEitherFile_data()
{
    QTest::addColumn<bool>("history");
    QTest::addColumn<int>("rows");
    QTest::newRow("applications") << false << 1 + 3;
    QTest::newRow("history") << true << 1 + 3 + 1;
}

void InsightsUiTest::spreadsheetCommandWritesEitherFile()
{
    QFETCH(bool, history);
    QFETCH(int, rows);
    ApplywrightApp app(m_dir->path(), m_desktop.environment());
    Store& store = *app.storeLoader().store();
    addSample(store, 3);
    store.applicationsByDate().first()->changeStatus(ApplicationStatus::rejected);
    QString suggested;
    const QString chosen = m_dir->filePath(u"out/my export"_s);
    QVERIFY(QDir().mkpath(m_dir->filePath(u"out"_s)));
    SpreadsheetFlow::Panels panels;
    panels.saveFile = [&](QWidget*, const QString& path) -> std::optional<SpreadsheetFlow::Choice> {
        suggested = path;
        return SpreadsheetFlow::Choice {
            chosen, history ? SpreadsheetExport::Kind::history : SpreadsheetExport::Kind::applications};
    };
    app.setSpreadsheetPanels(panels);
    auto window = app.createWindow();
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QAction* command = window->findChild<ApplicationCommands*>()->action(FocusedActions::Key::exportSpreadsheet);
    QVERIFY(command->isEnabled());
    command->trigger();

    QCOMPARE(suggested, u"Applywright-2025-03-14.csv"_s);
    const QString written = chosen + u".csv"_s; // a name typed without an extension gets one
    QVERIFY(QFile::exists(written));
    const QList<QStringList> table = TestSupport::readCsvWithPython(written);
    QCOMPARE(table.size(), rows);
    QCOMPARE(table.first().first(), u"ID"_s);
    QVERIFY(m_alerts.isEmpty());
}

// Figures and spreadsheet headers follow the language and its number forms.
void InsightsUiTest::inTurkish()
{
    QCOMPARE(InsightsView::percentText(0.666), u"67%"_s);
    QVERIFY(installTranslations(*qApp, QLocale(QLocale::Turkish, QLocale::Turkey)));
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    const QString percent = InsightsView::percentText(0.666);
    const QString days = InsightsView::daysText(6.5);
    ApplywrightApp app(m_dir->path(), m_desktop.environment());
    addSample(*app.storeLoader().store(), 2);
    auto window = app.createWindow();
    const QString path = m_dir->filePath(u"başvurular.csv"_s);
    const auto written = window->findChild<SpreadsheetFlow*>()->write({path, SpreadsheetExport::Kind::applications});
    for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
    useTestLocale();
    QCOMPARE(percent, u"%67"_s);
    QCOMPARE(days, u"6,5 gün"_s);
    QCOMPARE(written, std::nullopt);
    const QList<QStringList> table = TestSupport::readCsvWithPython(path);
    QCOMPARE(table.size(), 3);
    const QStringList header = table.first();
    QVERIFY(header.contains(u"Şirket"_s));
    QCOMPARE(table.at(2).at(header.indexOf(u"Durum"_s)), u"İK Görüşmesi"_s);
    QCOMPARE(table.at(2).at(header.indexOf(u"Yıldızlı"_s)), u"Hayır"_s);
}

void InsightsUiTest::spreadsheetFailureIsShown()
{
    ApplywrightApp app(m_dir->path(), m_desktop.environment());
    addSample(*app.storeLoader().store(), 1);
    SpreadsheetFlow::Panels panels;
    panels.saveFile = [this](QWidget*, const QString&) -> std::optional<SpreadsheetFlow::Choice> {
        return SpreadsheetFlow::Choice {m_dir->filePath(u"no-such-folder/export.csv"_s)};
    };
    panels.alert = [this](QWidget*, const QString& title, const QString& text) { m_alerts.append({title, text}); };
    app.setSpreadsheetPanels(panels);
    auto window = app.createWindow();
    window->findChild<SpreadsheetFlow*>()->exportSpreadsheet();
    QCOMPARE(m_alerts.size(), 1);
    QCOMPARE(m_alerts.first().first, u"Export as Spreadsheet"_s);
    QVERIFY2(m_alerts.first().second.contains(u"export.csv"_s), qPrintable(m_alerts.first().second));
    QCOMPARE(app.storeLoader().store()->count(), 1);
}

QTEST_MAIN(InsightsUiTest)
#include "tst_ui_insights.moc"
