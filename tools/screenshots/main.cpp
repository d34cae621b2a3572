// applywright-screenshots OUTDIR [insights | import | mail | board]
//
// Builds the real windows over temporary stores, with the clock pinned to
// 14 March 2025 10:00 in Istanbul and an English locale, and writes one PNG per
// scene, first in the light and then in the dark palette. Menus are separate
// windows, so their pictures are drawn into the window's picture where they open.

#include "BoardScenes.h"
#include "DetailScenes.h"
#include "ImportScenes.h"
#include "InsightsScenes.h"
#include "MailScenes.h"
#include "app/ApplicationCommands.h"
#include "app/ApplywrightApp.h"
#include "model/Clock.h"
#include "store/Store.h"
#include "tracking/WindowState.h"
#include "ui/AboutDialog.h"
#include "ui/ApplicationListModel.h"
#include "ui/ApplicationListView.h"
#include "ui/ContentView.h"
#include "ui/Palette.h"

#include "SavePicture.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QListView>
#include <QMainWindow>
#include <QMenu>
#include <QPainter>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTranslator>

#include <cstdio>

namespace {

QDateTime moment(int daysAgo, int hour = 10)
{
    const QDate day = QDate(2025, 3, 14).addDays(-daysAgo);
    return QDateTime(day, QTime(hour, 0), Qt::LocalTime);
}

struct Sample {
    const char* company;
    const char* position;
    const char* link;
    WorkModel workModel;
    ApplicationStatus status;
    int daysAgo;
    bool favorite;
    int followUpDaysAgo; // < 0: no reminder
};

// Every status, each waiting level and its edges (0, 6, 7, 13, 14 days), stars, due
// follow-ups, a blank record and names long enough to be cut.
const Sample samples[] = {
    {"Acme Technology", "Senior iOS Developer", "acme.example/jobs/42", WorkModel::remote, ApplicationStatus::applied,
        2, true, -1},
    {"Globex Corporation", "Backend Engineer (Go)", "", WorkModel::hybrid, ApplicationStatus::hrInterview, 9, false, 1},
    {"Initech", "Staff Platform Engineer", "", WorkModel::onSite, ApplicationStatus::techInterview, 20, false, -1},
    {"Umbrella Labs", "Product Designer", "https://umbrella.example", WorkModel::remote, ApplicationStatus::offer, 30,
        true, -1},
    {"Hooli", "Machine Learning Engineer", "", WorkModel::hybrid, ApplicationStatus::rejected, 45, false, -1},
    {"Çağrı Yazılım A.Ş.", "Kıdemli Mobil Geliştirici", "", WorkModel::onSite, ApplicationStatus::applied, 0, false,
        -1},
    {"A Company With An Extraordinarily Long Name That Must Elide Gracefully International GmbH",
        "Principal Distributed Systems Architect, Payments Infrastructure and Reliability", "", WorkModel::hybrid,
        ApplicationStatus::applied, 7, true, 0},
    {"", "", "", WorkModel::remote, ApplicationStatus::applied, 1, false, -1},
    {"Stark Industries", "Embedded Firmware Engineer", "", WorkModel::onSite, ApplicationStatus::hrInterview, 14, false,
        2},
    {"Wayne Enterprises", "Security Engineer", "", WorkModel::remote, ApplicationStatus::techInterview, 6, false, -1},
    {"Soylent", "Data Analyst", "", WorkModel::onSite, ApplicationStatus::rejected, 60, false, -1},
    {"Massive Dynamic", "Site Reliability Engineer", "", WorkModel::onSite, ApplicationStatus::offer, 25, false, -1},
};

void fill(Store& store)
{
    for (const Sample& s : samples) {
        ApplicationValues values
            = JobApplication::initialValues(QString::fromUtf8(s.company), QString::fromUtf8(s.position),
                QString::fromUtf8(s.link), s.workModel, s.status, moment(s.daysAgo, 9 + s.daysAgo % 7));
        values.isFavorite = s.favorite;
        if (s.followUpDaysAgo >= 0)
            values.followUpDate = moment(s.followUpDaysAgo, 8).toUTC();
        store.insert(ApplicationBuilder(std::move(values)).build());
    }
    if (auto saved = store.save(); !saved)
        std::fprintf(stderr, "save failed: %s\n", qPrintable(saved.error().description()));
}

void settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

void waitUntilRead(ApplywrightApp& app)
{
    QDeadlineTimer deadline(Store::readWaitLimitMs * 2);
    while (app.storeLoader().isReady() && !app.storeLoader().store()->isLoaded() && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

// The window's picture with the given popup menus drawn where they open.
QImage picture(QMainWindow& window, const QList<QWidget*>& menus = {})
{
    settle();
    return withMenus(window, menus);
}

class Shooter {
public:
    Shooter(QString folder, QString suffix)
        : m_folder(std::move(folder))
        , m_suffix(std::move(suffix))
    {
    }

    void save(const QImage& image, const QString& name) const { savePicture(image, m_folder, name, m_suffix); }

    void run() const
    {
        const ContentView::Environment environment {
            [](const QUrl&) {}, [](const QString&, const QString&) { return false; }};

        {
            QTemporaryDir empty;
            ApplywrightApp app(empty.path(), environment);
            auto window = app.createWindow();
            window->show();
            // The file is read after the first frame: its empty panels show once it is.
            waitUntilRead(app);
            save(picture(*window), QStringLiteral("01-empty-store"));
        }
        {
            QTemporaryDir dir;
            ApplywrightApp app(dir.path(), environment);
            fill(*app.storeLoader().store());
            auto window = app.createWindow();
            window->show();
            window->activateWindow();
            auto* content = window->findChild<ContentView*>();
            save(picture(*window), QStringLiteral("02-list"));

            // Select the long-named record, with the list focused.
            for (JobApplication* record : content->state().visibleApplications()) {
                if (record->companyName().startsWith(QLatin1String("A Company")))
                    content->state().setSelectedID(record->id());
            }
            content->listView()->listView()->setFocus();
            save(picture(*window), QStringLiteral("03-list-selected"));

            content->state().setSortOption(SortOption::longestWaiting);
            save(picture(*window), QStringLiteral("04-longest-waiting"));
            content->state().setSortOption(SortOption::newest);

            QMenu* filterMenu = content->listView()->filterMenu();
            QToolButton* filterButton = content->listView()->filterButton();
            filterMenu->popup(filterButton->mapToGlobal(QPoint(0, filterButton->height())));
            save(picture(*window, {filterMenu}), QStringLiteral("05-filter-menu"));
            filterMenu->hide();

            QListView* list = content->listView()->listView();
            JobApplication* second = content->state().visibleApplications().value(1);
            auto context = content->listView()->makeContextMenu(*second);
            const QRect row = list->visualRect(content->listView()->model()->index(1, 0));
            context->popup(list->viewport()->mapToGlobal(row.center()));
            save(picture(*window, {context.get()}), QStringLiteral("06-context-menu"));
            context->hide();

            content->state().setStatusFilter(StatusFilter::active());
            save(picture(*window), QStringLiteral("07-filter-in-progress"));
            content->state().setStatusFilter(StatusFilter::all());

            content->state().setSearchText(QStringLiteral("zzz nothing"));
            save(picture(*window), QStringLiteral("08-no-results"));
            content->state().setSearchText(QString());
        }
        {
            QTemporaryDir broken;
            QFile file(QDir(broken.path()).filePath(QLatin1String(Store::databaseFileName)));
            if (file.open(QIODevice::WriteOnly))
                file.write(QByteArray("This is not a database, it only pretends to be one.\n").repeated(64));
            file.close();
            ApplywrightApp app(broken.path(), environment);
            auto window = app.createWindow();
            window->show();
            save(picture(*window), QStringLiteral("09-store-error"));
        }
        {
            QTemporaryDir folder;
            ApplywrightApp app(folder.path(), environment);
            auto window = app.createWindow();
            window->show();
            window->findChild<ApplicationCommands*>()->aboutAction()->trigger();
            settle();
            if (auto* about = window->findChild<AboutDialog*>())
                save(about->grab().toImage(), QStringLiteral("17-about"));
        }
    }

private:
    QString m_folder;
    QString m_suffix;
};

} // namespace

int main(int argc, char* argv[])
{
    qputenv("TZ", "Europe/Istanbul");
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: applywright-screenshots OUTDIR\n");
        return 2;
    }
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    Clock::setFixed(QDateTime(QDate(2025, 3, 14), QTime(10, 0), Qt::LocalTime));
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    // English grammar for counts ("1 day"), as the application loads it; a scene's
    // own translation goes on top of it.
    QTranslator plurals;
    if (plurals.load(QStringLiteral("applywright_en"), QStringLiteral(":/i18n")))
        QCoreApplication::installTranslator(&plurals);

    // "insights" as a second argument writes only the insights scenes.
    if (argc > 2 && qstrcmp(argv[2], "insights") == 0) {
        shootInsightsScenes(folder);
        return 0;
    }
    // "import" writes only the scenes of bringing things in: the review sheet and the rest.
    if (argc > 2 && qstrcmp(argv[2], "import") == 0) {
        shootImportScenes(folder, &fill);
        return 0;
    }
    // "board" writes only the board.
    if (argc > 2 && qstrcmp(argv[2], "board") == 0) {
        shootBoardScenes(folder);
        return 0;
    }
    // "mail" writes only the mail review.
    if (argc > 2 && qstrcmp(argv[2], "mail") == 0) {
        shootMailScenes(folder, &fill);
        return 0;
    }
    Palette::installAppearance(Palette::Appearance::light);
    Shooter(folder, QString()).run();
    Palette::installAppearance(Palette::Appearance::dark);
    Shooter(folder, QStringLiteral("-dark")).run();
    shootDetailScenes(folder);
    shootImportScenes(folder, &fill);
    shootInsightsScenes(folder);
    shootMailScenes(folder, &fill);
    shootBoardScenes(folder);
    return 0;
}
