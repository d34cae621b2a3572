#include "DetailScenes.h"

#include "app/ApplicationCommands.h"
#include "app/ApplywrightApp.h"
#include "model/ApplicationEdits.h"
#include "model/Clock.h"
#include "store/Store.h"
#include "tracking/WindowState.h"
#include "ui/ApplicationDetailView.h"
#include "ui/ConfirmationDialog.h"
#include "ui/ContentView.h"
#include "ui/DetailSections.h"
#include "ui/Palette.h"

#include "SavePicture.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QDir>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTranslator>

#include <cstdio>

namespace {

QDateTime at(int daysAgo, int hour, int minute = 0)
{
    return QDateTime(QDate(2025, 3, 14).addDays(-daysAgo), QTime(hour, minute), Qt::LocalTime);
}

void settle()
{
    for (int i = 0; i < 8; ++i)
        QApplication::processEvents();
}

// Records that show every part of the editor.
struct Records {
    JobApplication* filled = nullptr;
    JobApplication* rejected = nullptr;
    JobApplication* offerUp = nullptr;
    JobApplication* offerDown = nullptr;
    JobApplication* history = nullptr;
};

Records fill(Store& store)
{
    Records r;
    // Filled in as a person would, through the edit layer (nothing to take back here).
    ApplicationEdits edits;
    using F = ApplicationField;
    const auto add = [&](const char* company, const char* position, WorkModel model, int daysAgo) {
        return store.insert(
            ApplicationBuilder(JobApplication::initialValues(QString::fromUtf8(company), QString::fromUtf8(position),
                                   QString(), model, ApplicationStatus::applied, at(daysAgo, 9, 30)))
                .appendFirstHistoryEntry()
                .build());
    };
    const auto changeOn = [&edits](JobApplication* record, ApplicationStatus status, int daysAgo, int hour) {
        Clock::setFixed(at(daysAgo, hour, 15));
        edits.changeStatus(*record, status);
    };

    r.filled = add("Globex Corporation", "Backend Engineer (Go)", WorkModel::hybrid, 9);
    edits.edit<F::postingLink>(*r.filled, QStringLiteral("https://careers.globex.example/jobs/4711"));
    changeOn(r.filled, ApplicationStatus::hrInterview, 4, 11);
    edits.edit<F::followUpDate>(*r.filled, at(-3, 9, 30));
    edits.edit<F::hrContactName>(*r.filled, QStringLiteral("Dana Whitfield"));
    edits.edit<F::hrContactEmail>(*r.filled, QStringLiteral("dana.whitfield@globex.example"));
    edits.edit<F::techInterviewerName>(*r.filled, QStringLiteral("Rafael Ortiz"));
    edits.edit<F::techInterviewerRole>(*r.filled, QStringLiteral("Engineering Manager, Payments"));
    edits.edit<F::expectedSalary>(*r.filled, Decimal::parse(std::string_view("85000")));
    edits.setCurrency(*r.filled, Currency::eur);
    edits.edit<F::notes>(*r.filled,
        QStringLiteral("Recruiter call went well. Asked about on-call rotation and team "
                       "size.\nNext: system design round with two engineers."));

    r.rejected = add("Hooli", "Machine Learning Engineer", WorkModel::remote, 40);
    changeOn(r.rejected, ApplicationStatus::hrInterview, 33, 14);
    changeOn(r.rejected, ApplicationStatus::rejected, 20, 10);
    edits.edit<F::rejectedByEmail>(*r.rejected, true);
    edits.edit<F::rejectedByPhone>(*r.rejected, true);
    edits.setRejectionReason(*r.rejected, RejectionReason::other);
    edits.edit<F::rejectionNote>(*r.rejected,
        QStringLiteral("They froze the team's headcount two days after the final round; the recruiter said the role "
                       "may reopen in the autumn and that they would keep my application on file. Worth a message in "
                       "September."));
    edits.edit<F::notes>(
        *r.rejected, QStringLiteral("Take-home was a ranking model over click logs. Good feedback on the write-up."));

    r.offerUp = add("Umbrella Labs", "Product Designer", WorkModel::remote, 30);
    changeOn(r.offerUp, ApplicationStatus::offer, 2, 16);
    edits.edit<F::expectedSalary>(*r.offerUp, Decimal::parse(std::string_view("1250000")));
    edits.edit<F::offeredSalary>(*r.offerUp, Decimal::parse(std::string_view("1380000.5")));

    r.offerDown = add("Massive Dynamic", "Site Reliability Engineer", WorkModel::onSite, 25);
    changeOn(r.offerDown, ApplicationStatus::offer, 1, 12);
    edits.setCurrency(*r.offerDown, Currency::eur);
    edits.edit<F::expectedSalary>(*r.offerDown, Decimal::parse(std::string_view("50000")));
    edits.edit<F::offeredSalary>(*r.offerDown, Decimal::parse(std::string_view("45000")));

    r.history = add("Initech", "Staff Platform Engineer", WorkModel::onSite, 60);
    const ApplicationStatus path[]
        = {ApplicationStatus::hrInterview, ApplicationStatus::techInterview, ApplicationStatus::hrInterview,
            ApplicationStatus::techInterview, ApplicationStatus::offer, ApplicationStatus::rejected,
            ApplicationStatus::hrInterview, ApplicationStatus::techInterview, ApplicationStatus::offer};
    int day = 55;
    int hour = 9;
    for (ApplicationStatus status : path) {
        changeOn(r.history, status, day, hour);
        day -= 6;
        hour = 9 + (hour + 3) % 9;
    }
    Clock::setFixed(at(0, 10));
    if (auto saved = store.save(); !saved)
        std::fprintf(stderr, "save failed: %s\n", qPrintable(saved.error().description()));
    return r;
}

class DetailShooter {
public:
    DetailShooter(QString folder, QString suffix)
        : m_folder(std::move(folder))
        , m_suffix(std::move(suffix))
    {
    }

    void run() const
    {
        QTemporaryDir dir;
        const ContentView::Environment environment {
            [](const QUrl&) {}, [](const QString&, const QString&) { return false; }};
        ApplywrightApp app(dir.path(), environment);
        const Records records = fill(*app.storeLoader().store());
        auto window = app.createWindow();
        window->show();
        window->activateWindow();
        auto* content = window->findChild<ContentView*>();
        settle();

        const auto select = [&](JobApplication* record) {
            content->state().setSelectedID(record->id());
            settle();
            return content->detailView();
        };
        const auto scrollTo = [&](ApplicationDetailView* view, QWidget* section) {
            settle();
            QScrollArea* area = view->scrollArea();
            area->verticalScrollBar()->setValue(section->y() - 12);
            settle();
        };

        content->createApplication();
        save(*window, QStringLiteral("20-detail-new"));
        showCalendar(*window, *content->detailView());

        select(records.filled);
        save(*window, QStringLiteral("21-detail-filled"));
        scrollTo(content->detailView(), content->detailView()->contactsSection());
        save(*window, QStringLiteral("21-detail-filled-contacts"));
        content->detailView()->notesSection()->editor()->setFocus();
        scrollTo(content->detailView(), content->detailView()->notesSection());
        save(*window, QStringLiteral("21-detail-filled-notes-focused"));

        ApplicationDetailView* rejected = select(records.rejected);
        scrollTo(rejected, rejected->rejectionSection());
        save(*window, QStringLiteral("22-detail-rejected-other"));

        ApplicationDetailView* up = select(records.offerUp);
        scrollTo(up, up->salarySection());
        save(*window, QStringLiteral("23-detail-offer-up"));
        ApplicationDetailView* down = select(records.offerDown);
        scrollTo(down, down->salarySection());
        save(*window, QStringLiteral("24-detail-offer-down"));

        ApplicationDetailView* history = select(records.history);
        scrollTo(history, history->timelineSection());
        save(*window, QStringLiteral("25-detail-history"));
        showHistoryMenu(*window, *history->timelineSection());
        showEditMenu(*window, *content, *records.history);

        // The delete confirmation over the window, centred as the window system places it.
        {
            const JobApplication* record = records.filled;
            select(records.filled);
            ConfirmationDialog dialog(QCoreApplication::translate("ContentView", "Delete this application?"),
                QCoreApplication::translate("ContentView", "%1 — %2. This cannot be undone.",
                    "Delete confirmation; %1 is the company name, %2 the position")
                    .arg(record->displayCompany(), record->displayPosition()),
                QCoreApplication::translate("ContentView", "Delete"), window.get());
            dialog.setWindowModality(Qt::NonModal);
            dialog.show();
            settle();
            QImage image = window->grab().toImage();
            const QPixmap shot = dialog.grab();
            QPainter painter(&image);
            painter.fillRect(image.rect(), QColor(0, 0, 0, 40));
            const QPoint at((image.width() - shot.width()) / 2, 90);
            painter.setPen(Qt::NoPen);
            for (int i = 1; i <= 6; ++i) {
                painter.setBrush(QColor(0, 0, 0, 12));
                painter.drawRoundedRect(QRect(at, shot.size()).adjusted(-i, -i + 3, i, i + 3), 6, 6);
            }
            painter.drawPixmap(at, shot);
            painter.end();
            saveImage(image, QStringLiteral("27-delete-confirmation"));
        }

        window->resize(ApplywrightApp::minimumWidth, ApplywrightApp::minimumHeight);
        select(records.filled);
        save(*window, QStringLiteral("26-detail-minimum-size"));

        // The list at its narrowest: the search prompt, and the no-results text.
        content->splitter()->setSizes({ContentView::listMinimumWidth, 10000});
        content->state().setSelectedID(std::nullopt);
        save(*window, QStringLiteral("28-list-narrowest"));
        content->state().setSearchText(QStringLiteral("zzz"));
        save(*window, QStringLiteral("29-list-narrowest-no-results"));
        content->state().setSearchText(QString());
    }

private:
    // The application date's calendar: the days after today are drawn disabled.
    void showCalendar(QMainWindow& window, ApplicationDetailView& view) const
    {
        QDateEdit* date = view.applicationSection()->applicationDateField();
        QWidget* popup = date->calendarWidget()->window();
        popup->move(date->mapToGlobal(QPoint(0, date->height())));
        popup->show();
        settle();
        saveImage(withMenus(window, {popup}), QStringLiteral("20-detail-new-calendar"));
        popup->hide();
    }

    // The newest change's menu in the history.
    void showHistoryMenu(QMainWindow& window, TimelineSection& timeline) const
    {
        QWidget* newest = timeline.entryRows().first();
        const auto menu = timeline.makeEntryMenu(*timeline.entryOf(newest));
        menu->popup(newest->mapToGlobal(QPoint(newest->width() / 3, newest->height() / 2)));
        settle();
        saveImage(withMenus(window, {menu.get()}), QStringLiteral("25-detail-history-menu"));
        menu->hide();
    }

    // The Edit menu after a status change: it names the step undo takes back.
    void showEditMenu(QMainWindow& window, ContentView& content, JobApplication& record) const
    {
        content.state().edits().changeStatus(record, ApplicationStatus::rejected);
        window.activateWindow();
        QMenu* edit = window.findChild<ApplicationCommands*>()->editMenu();
        edit->popup(window.menuBar()->mapToGlobal(window.menuBar()->actionGeometry(edit->menuAction()).bottomLeft()));
        settle();
        saveImage(withMenus(window, {edit}), QStringLiteral("25-edit-menu"));
        edit->hide();
        content.state().undo();
    }

    void save(QMainWindow& window, const QString& name) const
    {
        settle();
        saveImage(window.grab().toImage(), name);
    }

    void saveImage(const QImage& image, const QString& name) const { savePicture(image, m_folder, name, m_suffix); }

    QString m_folder;
    QString m_suffix;
};

} // namespace

void shootDetailScenes(const QString& folder)
{
    inEveryLook([&](const QString& suffix, bool) { DetailShooter(folder, suffix).run(); });
}
