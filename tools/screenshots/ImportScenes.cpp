// The scenes of bringing things in and out of the window: the review sheet while
// reading, with three drafts, with nothing read, with suggestions and an application
// already in the list; the backup alert after an import;
// the list while image files are dragged over it. Each in light and dark, English
// and Turkish. Sheets and alerts are windows of their own, so their pictures are
// drawn into the main window's picture where they open.

#include "ImportScenes.h"

#include "app/ApplywrightApp.h"
#include "app/Translations.h"
#include "backup/BackupTransfer.h"
#include "posting/PostingDraft.h"
#include "store/Store.h"
#include "ui/ApplicationListView.h"
#include "ui/BackupFlow.h"
#include "ui/ContentView.h"
#include "ui/DraftRow.h"
#include "ui/Palette.h"
#include "ui/PostingImportFlow.h"
#include "ui/PostingImportSheet.h"
#include "ui/SuggestionChip.h"

#include "SavePicture.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>

#include <cstdio>

namespace {

void settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

bool waitFor(const std::function<bool()>& done, int timeoutMs = 60000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// The window's picture with `dialog` drawn on top: a sheet hangs from the top edge,
// an alert sits in the middle; both with a soft shadow.
QImage composite(QMainWindow& window, QWidget* dialog, bool asSheet)
{
    settle();
    QImage image = window.grab().toImage();
    if (!dialog)
        return image;
    const QPixmap shot = dialog->grab();
    const QSize size = shot.size() / shot.devicePixelRatio();
    // A sheet hangs from below the menu bar.
    const int top = window.menuBar() ? window.menuBar()->height() : 0;
    const QPoint at((image.width() / int(image.devicePixelRatio()) - size.width()) / 2,
        asSheet ? top : (image.height() / int(image.devicePixelRatio()) - size.height()) / 3);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (int i = 1; i <= 8; ++i) {
        painter.setBrush(QColor(0, 0, 0, 10));
        painter.drawRoundedRect(QRect(at, size).adjusted(-i, -i + 3, i, i + 3), 8 + i, 8 + i);
    }
    painter.drawPixmap(at, shot);
    return image;
}

// A posting header drawn the way job boards set it, for the reading scene.
QString writePostingImage(const QString& folder)
{
    QImage image(2880, 1800, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(64);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(120, 220, QStringLiteral("Senior Backend Engineer"));
    QFont body(QStringLiteral("DejaVu Sans"));
    body.setPixelSize(34);
    painter.setFont(body);
    painter.drawText(120, 320, QStringLiteral("Globex Systems · Ankara, Türkiye · 3 days ago"));
    painter.drawText(120, 420, QStringLiteral("Remote"));
    painter.end();
    const QString path = QDir(folder).filePath(QStringLiteral("globex-backend.png"));
    image.save(path);
    return path;
}

// A copied posting of the corpus, as the clipboard would bring it.
QString corpusPosting(const char* name)
{
    QFile file(QDir(QStringLiteral(APPLYWRIGHT_CORPUS_DIR "/postings")).filePath(QString::fromLatin1(name)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

const char* const blurryPosting = "Apply now\nSave\n3 days ago\n";

// A LinkedIn card whose company and title are already in the sample records.
const char* const appliedPosting = "Massive Dynamic\nSite Reliability Engineer\n"
                                   "Berlin, Germany · 2 days ago · 40 applicants\nOn-site\nFull-time\n"
                                   "Easy Apply\nSave\nAbout the job\n";

// A Workday page: no employer in the header, the description names it.
const char* const workdayPosting
    = "Platform Engineer\nApply\nlocations\nNLD-Amsterdam\ntime type\nFull time\nposted on\n"
      "Posted 2 Days Ago\njob requisition id\nR-20931\n\nAt Fernhill, we build the tools that small shops use "
      "to sell online, in eleven countries and four languages.\n\nWe work in a hybrid model, with two office days "
      "per week at our Amsterdam hub and the rest wherever you work best.\n";

// A LinkedIn card in the newer layout: the place stands where the parser looks for
// the employer, a side column's job comes first.
const char* const placeFirstPosting
    = "Home\nMy Network\nJobs\nMessaging\nNotifications\nTidewell Medya A.Ş.\nÜrün Tasarımcısı\n"
      "İzmir, Türkiye · 3 hafta önce · 47 başvuru sahibi\nHibrit\nTam zamanlı\nKolay Başvuru\nKaydet\n"
      "Benzer ilanlar\nFrontend Developer\nCopper Labs\n";

class ImportScenes {
public:
    ImportScenes(QString folder, QString suffix)
        : m_folder(std::move(folder))
        , m_suffix(std::move(suffix))
    {
    }

    void save(const QImage& image, const QString& name) const { savePicture(image, m_folder, name, m_suffix); }

    void run(void (*fill)(Store&)) const
    {
        const ContentView::Environment environment {
            [](const QUrl&) {}, [](const QString&, const QString&) { return false; }};
        QTemporaryDir files;

        {
            QTemporaryDir dir;
            ApplywrightApp app(dir.path(), environment);
            fill(*app.storeLoader().store());
            auto window = app.createWindow();
            window->show();
            settle();
            auto* flow = window->findChild<PostingImportFlow*>();
            PostingImportSession& session = flow->session();

            // Reading: a large screenshot on its way through recognition.
            flow->importFiles({QUrl::fromLocalFile(writePostingImage(files.path()))});
            save(composite(*window, flow->sheet(), true), QStringLiteral("10-sheet-reading"));
            session.reset();
            settle();

            // Three drafts of mixed confidence, the one with nothing usable unticked.
            session.begin();
            session.addText(corpusPosting("pub-009.txt"), QStringLiteral("hooli-workday.png"));
            session.addText(corpusPosting("pub-005.txt"), QStringLiteral("kariyer-camlica-flutter.png"));
            session.addText(QString::fromUtf8(blurryPosting), QStringLiteral("Screenshot 2025-03-14 at 09.41.12.png"));
            settle();
            save(composite(*window, flow->sheet(), true), QStringLiteral("11-sheet-three-drafts"));
            session.reset();
            settle();

            // Suggestions under the fields they would fill, and a draft the list
            // already holds; the first chip has the keyboard focus.
            session.begin();
            session.addText(QString::fromUtf8(appliedPosting), QStringLiteral("massive-dynamic-sre.png"));
            session.addText(QString::fromUtf8(workdayPosting), QStringLiteral("workday-platform.png"));
            session.addText(QString::fromUtf8(placeFirstPosting), QStringLiteral("linkedin-tidewell.png"));
            settle();
            if (PostingImportSheet* sheet = flow->sheet()) {
                // The first draft's company taken from its chip: now it matches a record.
                if (SuggestionChip* chip = sheet->rows().at(0)->companySuggestion())
                    chip->click();
                if (SuggestionChip* chip = sheet->rows().at(1)->companySuggestion())
                    chip->setFocus(Qt::TabFocusReason);
                save(composite(*window, sheet, true), QStringLiteral("15-sheet-suggestions"));
                if (auto* list = sheet->findChild<QScrollArea*>(QStringLiteral("draftList")))
                    list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
                save(composite(*window, sheet, true), QStringLiteral("16-sheet-suggestions-below"));
            }
            session.reset();
            settle();

            // Nothing read: three files that are not postings.
            const QString corpus = QStringLiteral(APPLYWRIGHT_NOT_POSTINGS_DIR);
            QList<QUrl> junk;
            for (const char* name : {"blank-white.png", "text-renamed.png", "zero-bytes.png"})
                junk.append(QUrl::fromLocalFile(QDir(corpus).filePath(QString::fromLatin1(name))));
            flow->importFiles(junk);
            if (!waitFor([&] { return !session.isProcessing(); }))
                std::fprintf(stderr, "recognition did not finish\n");
            save(composite(*window, flow->sheet(), true), QStringLiteral("12-sheet-nothing-read"));
            session.reset();
            settle();

            // Image files dragged over the list.
            auto* content = window->findChild<ContentView*>();
            QWidget* viewport = content->listView()->listView()->viewport();
            QMimeData dragged;
            dragged.setUrls({QUrl::fromLocalFile(writePostingImage(files.path()))});
            QDragEnterEvent enter(QPoint(100, 120), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(viewport, &enter);
            save(composite(*window, nullptr, false), QStringLiteral("14-drop-on-list"));
            QDragLeaveEvent leave;
            QApplication::sendEvent(viewport, &leave);
        }
        {
            // A backup of the sample records imported into an empty data folder.
            QTemporaryDir source;
            ApplywrightApp filled(source.path(), environment);
            fill(*filled.storeLoader().store());
            auto exported = exportBackup(*filled.storeLoader().store());
            const QString backup = QDir(files.path()).filePath(QStringLiteral("Applywright-2025-03-14.json"));
            if (exported)
                saveExportedBackup(*exported, backup);

            QTemporaryDir empty;
            ApplywrightApp app(empty.path(), environment);
            auto window = app.createWindow();
            window->show();
            settle();
            auto* flow = window->findChild<BackupFlow*>();
            flow->importFile(backup);
            if (!waitFor([&] { return flow->alertBox() != nullptr; }))
                std::fprintf(stderr, "import did not finish\n");
            settle();
            save(composite(*window, flow->alertBox(), false), QStringLiteral("13-backup-alert"));
            flow->alertBox()->done(0);
            settle();
        }
    }

private:
    QString m_folder;
    QString m_suffix;
};

} // namespace

void shootImportScenes(const QString& folder, void (*fill)(Store&))
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    for (const bool inTurkish : {false, true}) {
        QLocale::setDefault(inTurkish ? turkish : english);
        if (inTurkish)
            installTranslations(*qApp, turkish);
        const QString language = inTurkish ? QStringLiteral("-tr") : QString();
        Palette::installAppearance(Palette::Appearance::light);
        ImportScenes(folder, language).run(fill);
        Palette::installAppearance(Palette::Appearance::dark);
        ImportScenes(folder, language + QStringLiteral("-dark")).run(fill);
        if (inTurkish) {
            for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
                QCoreApplication::removeTranslator(translator);
                delete translator;
            }
        }
    }
    QLocale::setDefault(english);
}
