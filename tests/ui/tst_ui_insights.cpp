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
#include <QSignalSpy>
#include <QTranslator>

using namespace UiTestSupport;
using namespace Qt::StringLiterals;

class InsightsUiTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { useTestLocale(); }
    void init() { m_app.emplace(); }
    void cleanup() { m_app.reset(); }

    // Ctrl+I opens one insights window; its figures follow edits and undo at once,
    // and the list's filter and search only when asked.
    void insightsWindowFollowsTheRecords()
    {
        ApplywrightApp app(m_app->dir.path(), m_app->desktop.environment());
        Store& store = *app.storeLoader().store();
        addSample(store, 12);
        auto window = showWindow(app);
        auto* content = window->findChild<ContentView*>();
        InsightsWindow* insights = openInsights(*window);
        QVERIFY(insights && insights->isVisible());
        QCOMPARE(insights->countedLabel()->text(), u"of 12 applications"_s);
        QVERIFY(insights->currentPage() != insights->notEnoughView());
        insights->close();
        QVERIFY(showActive(window.get()));
        QCOMPARE(openInsights(*window), insights);
        QVERIFY(insights->isVisible());
        QCOMPARE(window->findChildren<InsightsWindow*>().size(), 1);

        JobApplication* first = store.applicationsByDate().first();
        QCOMPARE(first->status(), ApplicationStatus::applied);
        m_app->clock.set(testNow().addSecs(60));
        content->state().edits().changeStatus(*first, ApplicationStatus::techInterview);
        QTRY_COMPARE(insights->insights().reached[2], 3); // two offers before
        // Taken back and done again, the change is gone from the figures and back.
        content->state().undo();
        QTRY_COMPARE(insights->insights().reached[2], 2);
        content->state().redo();
        QTRY_COMPARE(insights->insights().reached[2], 3);

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

    // The work-model and job-board tables sit side by side while their names and
    // heads fit whole; with large text they stack instead of being cut.
    void sourceTablesStackWhenTextGrows()
    {
        ApplywrightApp app(m_app->dir.path(), m_app->desktop.environment());
        addSample(*app.storeLoader().store(), 12);
        auto window = showWindow(app);
        auto* view = openInsights(*window)->findChild<InsightsView*>();
        const auto headsLeft = [view] {
            view->resize(700, view->heightForWidth(700));
            QList<int> left;
            for (const Accessibility::Part& line : view->accessibleParts().at(4).children) {
                if (line.name == u"Work model"_s || line.name == u"Job board"_s)
                    left.append(line.rect.left());
            }
            return left;
        };
        QList<int> left = headsLeft();
        QCOMPARE(left.size(), 2);
        QVERIFY(left[1] > left[0]);
        QFont large = view->font();
        large.setPointSizeF(large.pointSizeF() * 2);
        view->setFont(large);
        left = headsLeft();
        QCOMPARE(left.size(), 2);
        QCOMPARE(left[1], left[0]);
    }

    void spreadsheetCommand_data()
    {
        QTest::addColumn<bool>("history");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("rows"); // 0: the export fails
        QTest::newRow("applications") << false << "out" << 1 + 3;
        QTest::newRow("history") << true << "out" << 1 + 3 + 1;
        QTest::newRow("into a folder that is not there") << false << "missing" << 0;
    }

    void spreadsheetCommand()
    {
        QFETCH(bool, history);
        QFETCH(QString, folder);
        QFETCH(int, rows);
        ApplywrightApp app(m_app->dir.path(), m_app->desktop.environment());
        Store& store = *app.storeLoader().store();
        addSample(store, 3);
        ApplicationEdits().changeStatus(*store.applicationsByDate().first(), ApplicationStatus::rejected);
        QVERIFY(QDir().mkpath(m_app->dir.filePath(u"out"_s)));
        QString suggested;
        QList<std::pair<QString, QString>> alerts;
        SpreadsheetFlow::Panels panels;
        panels.saveFile = [&](QWidget*, const QString& path) -> std::optional<SpreadsheetFlow::Choice> {
            suggested = path;
            return SpreadsheetFlow::Choice {m_app->dir.filePath(folder + u"/my export"_s),
                history ? SpreadsheetExport::Kind::history : SpreadsheetExport::Kind::applications};
        };
        panels.alert = [&](QWidget*, const QString& title, const QString& text) { alerts.append({title, text}); };
        app.setSpreadsheetPanels(panels);
        auto window = showWindow(app);
        QAction* command = window->findChild<ApplicationCommands*>()->action(FocusedActions::Key::exportSpreadsheet);
        QVERIFY(command->isEnabled());
        QSignalSpy done(window->findChild<SpreadsheetFlow*>(), &SpreadsheetFlow::finished);
        command->trigger();
        QVERIFY(done.count() == 1 || done.wait(10000));
        QCOMPARE(suggested, u"Applywright-2025-03-14.csv"_s);
        if (!rows) {
            QCOMPARE(alerts.size(), 1);
            QCOMPARE(alerts.first().first, u"Export as Spreadsheet"_s);
            QVERIFY2(alerts.first().second.contains(u"my export.csv"_s), qPrintable(alerts.first().second));
            QCOMPARE(store.count(), 3);
            return;
        }
        // A name typed without an extension gets one.
        const QList<QStringList> table
            = TestSupport::readCsvWithPython(m_app->dir.filePath(folder + u"/my export.csv"_s));
        QCOMPARE(table.size(), rows);
        QCOMPARE(table.first().first(), u"ID"_s);
        QVERIFY(alerts.isEmpty());
    }

    // Figures and spreadsheet headers follow the language and its number forms.
    void inTurkish()
    {
        QCOMPARE(InsightsView::percentText(0.666), u"67%"_s);
        QVERIFY(installTranslations(*qApp, QLocale(QLocale::Turkish, QLocale::Turkey)));
        QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
        const QString percent = InsightsView::percentText(0.666);
        const QString days = InsightsView::daysText(6.5);
        ApplywrightApp app(m_app->dir.path(), m_app->desktop.environment());
        addSample(*app.storeLoader().store(), 2);
        auto window = app.createWindow();
        const QString path = m_app->dir.filePath(u"başvurular.csv"_s);
        auto* flow = window->findChild<SpreadsheetFlow*>();
        QSignalSpy done(flow, &SpreadsheetFlow::finished);
        flow->write({path, SpreadsheetExport::Kind::applications});
        // Back in English before the file is built: its texts were taken when the export began.
        for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
        useTestLocale();
        QCOMPARE(percent, u"%67"_s);
        QCOMPARE(days, u"6,5 gün"_s);
        QVERIFY(done.wait(10000));
        QCOMPARE(done.first().first().toString(), QString());
        const QList<QStringList> table = TestSupport::readCsvWithPython(path);
        QCOMPARE(table.size(), 3);
        const QStringList header = table.first();
        QVERIFY(header.contains(u"Şirket"_s));
        QCOMPARE(table.at(2).at(header.indexOf(u"Durum"_s)), u"İK Görüşmesi"_s);
        QCOMPARE(table.at(2).at(header.indexOf(u"Yıldızlı"_s)), u"Hayır"_s);
    }

private:
    // Six records: three open (one of them an interview), an offer and two rejections.
    void addSample(Store& store, int count)
    {
        const ApplicationStatus statuses[]
            = {ApplicationStatus::applied, ApplicationStatus::hrInterview, ApplicationStatus::applied,
                ApplicationStatus::offer, ApplicationStatus::rejected, ApplicationStatus::rejected};
        for (int i = 0; i < count; ++i) {
            store.insert(ApplicationBuilder(JobApplication::initialValues(u"Firm %1"_s.arg(i), u"Engineer"_s, QString(),
                                                WorkModel::remote, statuses[i % 6], daysAgo(i * 3)))
                             .appendFirstHistoryEntry()
                             .build());
        }
    }
    InsightsWindow* openInsights(QMainWindow& window)
    {
        QTest::keyClick(&window, Qt::Key_I, Qt::ControlModifier);
        auto* insights = window.findChild<InsightsWindow*>();
        if (insights && !QTest::qWaitForWindowExposed(insights))
            qWarning("the insights window was not shown");
        return insights;
    }

    std::optional<AppFixture> m_app;
};

QTEST_MAIN(InsightsUiTest)
#include "tst_ui_insights.moc"
