// The insights window over stores of 0, 4, 60 and 10,000 generated applications, in
// light and dark, English and Turkish; and the menus with the new commands.

#include "InsightsScenes.h"

#include "app/ApplicationCommands.h"
#include "app/ApplywrightApp.h"
#include "backup/SpreadsheetExport.h"
#include "model/Clock.h"
#include "store/Store.h"
#include "tracking/WindowState.h"
#include "ui/ContentView.h"
#include "ui/InsightsView.h"
#include "ui/InsightsWindow.h"
#include "ui/Palette.h"

#include "SavePicture.h"

#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTranslator>

#include <cstdio>

namespace {

void settle()
{
    for (int i = 0; i < 8; ++i)
        QApplication::processEvents();
}

const char* const companies[] = {"Acme Technology", "Globex", "Initech", "Umbrella Labs", "Hooli", "Çağrı Yazılım",
    "Ötüken Bilişim", "Yıldız Teknoloji", "Stark Industries", "Wayne Enterprises", "Massive Dynamic", "Soylent",
    "Vandelay", "Anadolu Yazılım", "Boğaziçi Labs", "Marmara Systems"};
const char* const positions[] = {"Backend Engineer", "Kıdemli Yazılım Mühendisi", "iOS Developer", "Data Scientist",
    "Product Designer", "Site Reliability Engineer", "Mobil Uygulama Geliştirici", "QA Specialist"};
const char* const links[] = {"https://www.linkedin.com/jobs/view/%1", "https://www.linkedin.com/jobs/view/%1",
    "https://www.linkedin.com/jobs/view/%1", "https://www.linkedin.com/jobs/view/%1",
    "https://www.kariyer.net/is-ilani/%1", "https://www.kariyer.net/is-ilani/%1",
    "https://globex.wd3.myworkdayjobs.com/careers/job/%1", "https://tr.indeed.com/viewjob?jk=%1",
    "https://careers.acme.example/jobs/%1", "https://jobs.initech.example/%1", "", ""};

// The steps after applying, in days after the previous one.
struct Path {
    int weight;
    std::initializer_list<ApplicationStatus> steps;
};
const Path paths[] = {
    {40, {}},
    {20, {ApplicationStatus::rejected}},
    {14, {ApplicationStatus::hrInterview, ApplicationStatus::rejected}},
    {8, {ApplicationStatus::hrInterview, ApplicationStatus::techInterview, ApplicationStatus::rejected}},
    {5, {ApplicationStatus::hrInterview, ApplicationStatus::techInterview}},
    {4, {ApplicationStatus::hrInterview}},
    {2, {ApplicationStatus::techInterview}},
    {4, {ApplicationStatus::hrInterview, ApplicationStatus::techInterview, ApplicationStatus::offer}},
    {3, {ApplicationStatus::rejected, ApplicationStatus::hrInterview}},
};

} // namespace

void fillInsightsSample(Store& store, int count, const QDateTime& now)
{
    QRandomGenerator random(quint32(7 + count));
    int totalWeight = 0;
    for (const Path& path : paths)
        totalWeight += path.weight;
    // Small stores are a few months of searching; large ones a year.
    const int span = count <= 100 ? 100 : 365;
    for (int i = 0; i < count; ++i) {
        // More applications lately than long ago.
        const double r = random.generateDouble();
        const int daysAgo = int(r * r * span);
        const QDateTime applied = now.addDays(-daysAgo).addSecs(-qint64(random.bounded(9 * 3600)));
        ApplicationValues values
            = JobApplication::initialValues(QString::fromUtf8(companies[random.bounded(int(std::size(companies)))]),
                QString::fromUtf8(positions[random.bounded(int(std::size(positions)))]),
                QString::fromLatin1(links[random.bounded(int(std::size(links)))]).arg(100000 + i),
                allCases<WorkModel>()[random.bounded(3)], ApplicationStatus::applied, applied);
        std::vector<std::tuple<ApplicationStatus, ApplicationStatus, QDateTime>> changes;

        int pick = int(random.bounded(totalWeight));
        const Path* path = paths;
        while (pick >= path->weight) {
            pick -= path->weight;
            ++path;
        }
        QDateTime at = applied;
        ApplicationStatus current = ApplicationStatus::applied;
        for (ApplicationStatus next : path->steps) {
            at = at.addDays(1 + random.bounded(12)).addSecs(random.bounded(3 * 3600));
            if (at > now)
                break;
            changes.emplace_back(current, next, at);
            values.statusRaw = rawValue(next);
            values.statusChangedAt = at.toUTC();
            values.closedAt = isClosed(next) ? std::optional(at.toUTC()) : std::nullopt;
            current = next;
        }
        if (current == ApplicationStatus::rejected && random.bounded(4) > 0)
            values.rejectionReasonRaw = rawValue(allCases<RejectionReason>()[random.bounded(6)]);
        if (isActive(current) && random.bounded(5) == 0)
            values.followUpDate = now.addDays(-qint64(random.bounded(3))).toUTC();
        ApplicationBuilder record(std::move(values));
        record.appendFirstHistoryEntry();
        for (const auto& [from, to, when] : changes)
            record.appendHistory(from, to, when);
        store.insert(record.build());
    }
    if (auto saved = store.save(); !saved)
        std::fprintf(stderr, "save failed: %s\n", qPrintable(saved.error().description()));
}

namespace {

class InsightsShooter {
public:
    InsightsShooter(QString folder, QString suffix)
        : m_folder(std::move(folder))
        , m_suffix(std::move(suffix))
    {
    }

    void save(const QImage& image, const QString& name) const { savePicture(image, m_folder, name, m_suffix); }

    // `withMenus`: also the menus and the spreadsheets, which look the same in the dark.
    void run(bool withMenus) const
    {
        const ContentView::Environment environment {
            [](const QUrl&) {}, [](const QString&, const QString&) { return false; }};
        for (const int count : {0, 4, 60, 10000}) {
            QTemporaryDir dir;
            ApplywrightApp app(dir.path(), environment);
            fillInsightsSample(*app.storeLoader().store(), count, Clock::now());
            auto window = app.createWindow();
            window->show();
            settle();
            auto* content = window->findChild<ContentView*>();
            content->focusedActions()->trigger(FocusedActions::Key::showInsights);
            auto* insights = window->findChild<InsightsWindow*>();
            // Tall enough to show every card in one picture.
            const auto fitHeight = [insights] {
                const int header = insights->height() - insights->currentPage()->height();
                insights->resize(insights->width(),
                    std::max(InsightsWindow::defaultHeight / 2,
                        header + insights->view()->heightForWidth(insights->width())));
                settle();
            };
            settle();
            if (count >= 5)
                fitHeight();
            save(insights->grab().toImage(), QStringLiteral("40-insights-%1").arg(count));
            if (count == 60) {
                // Only what the list shows: the applications still in progress.
                content->state().setStatusFilter(StatusFilter::active());
                insights->setOnlyVisible(true);
                settle();
                fitHeight();
                save(insights->grab().toImage(), QStringLiteral("41-insights-in-progress"));
                // A narrow window stacks the halves of each card.
                insights->setOnlyVisible(false);
                insights->resize(460, 900);
                settle();
                fitHeight();
                save(insights->grab().toImage(), QStringLiteral("42-insights-narrow"));
            }
            if (withMenus && count == 60) {
                // The spreadsheets of the same records, with a record whose texts
                // carry commas, quotes and line breaks, to open in a spreadsheet program.
                Store& store = *app.storeLoader().store();
                JobApplication* tricky = store.applicationsByDate().first();
                ApplicationEdits& edits = content->state().edits();
                edits.edit<ApplicationField::companyName>(*tricky, QStringLiteral("Çağrı \"Yazılım\", A.Ş."));
                edits.edit<ApplicationField::notes>(
                    *tricky, QStringLiteral("İlk görüşme iyi geçti;\nikinci tur: \"sistem tasarımı\", 90 dk."));
                edits.edit<ApplicationField::expectedSalary>(*tricky, Decimal::parse("123456789012345678.01"));
                edits.setCurrency(*tricky, Currency::eur);
                for (const auto kind : {SpreadsheetExport::Kind::applications, SpreadsheetExport::Kind::history}) {
                    const QString name
                        = QStringLiteral("45-%1%2.csv")
                              .arg(QLatin1String(kind == SpreadsheetExport::Kind::history ? "history" : "applications"),
                                  m_suffix);
                    const QString path = QDir(m_folder).filePath(name);
                    if (SpreadsheetExport::write(SpreadsheetExport::document(kind, store.applicationsByDate()), path))
                        std::printf("%s\n", qPrintable(path));
                }
            }
            if (withMenus && count == 60) {
                auto* commands = window->findChild<ApplicationCommands*>();
                window->activateWindow();
                settle();
                for (QMenu* menu : {commands->fileMenu(), commands->viewMenu()}) {
                    // Where the menu drops from its title in the menu bar.
                    const QPoint at = window->menuBar()->actionGeometry(menu->menuAction()).bottomLeft();
                    menu->popup(window->menuBar()->mapToGlobal(at));
                    settle();
                    QImage image = window->grab().toImage();
                    QPainter painter(&image);
                    painter.drawPixmap(window->menuBar()->mapTo(window.get(), at), menu->grab());
                    painter.end();
                    save(image,
                        menu == commands->fileMenu() ? QStringLiteral("43-file-menu") : QStringLiteral("44-view-menu"));
                    menu->hide();
                }
            }
        }
    }

private:
    QString m_folder;
    QString m_suffix;
};

} // namespace

void shootInsightsScenes(const QString& folder)
{
    // The menus and spreadsheets look the same in the dark: drawn in the light only.
    inEveryLook([&](const QString& suffix, bool dark) { InsightsShooter(folder, suffix).run(!dark); });
}
