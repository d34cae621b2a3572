// The scenes of bringing things in and out of the window: the review sheet while
// reading, with three drafts, with nothing read, with suggestions and an application
// already in the list, the question before edited drafts are discarded; the backup
// alert after an import;
// the list while image files are dragged over it. Each in light and dark, English
// and Turkish. Sheets and alerts are windows of their own, so their pictures are
// drawn into the main window's picture where they open.

#include "ImportScenes.h"

#include "app/ApplywrightApp.h"
#include "app/Translations.h"
#include "backup/BackupTransfer.h"
#include "posting/PostingImportSession.h"
#include "store/Store.h"
#include "ui/ApplicationListView.h"
#include "ui/BackupFlow.h"
#include "ui/ConfirmationDialog.h"
#include "ui/ContentView.h"
#include "ui/DraftPicture.h"
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

#include <algorithm>
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
QImage composite(QMainWindow& window, QWidget* dialog, bool asSheet);

// `dialog` drawn over a picture of `window` already made (an alert over a sheet).
QImage compositeOver(QImage image, QMainWindow& window, QWidget* dialog, bool asSheet)
{
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
    painter.end();
    return image;
}

QImage composite(QMainWindow& window, QWidget* dialog, bool asSheet)
{
    settle();
    return compositeOver(window.grab().toImage(), window, dialog, asSheet);
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

// A LinkedIn job view as a 1440×900 screenshot: the place stands where the parser
// looks for the employer, the employer above the title.
QString writeLinkedInImage(const QString& folder, const QString& name, const QString& employer, const QString& title,
    const QString& place, bool dark)
{
    QImage image(1440, 900, QImage::Format_RGB32);
    image.fill(dark ? QColor(0x1b, 0x1f, 0x23) : QColor(0xf4, 0xf2, 0xee));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QColor card = dark ? QColor(0x27, 0x2c, 0x31) : Qt::white;
    const QColor ink = dark ? QColor(0xe8, 0xe8, 0xe8) : QColor(0x1d, 0x1d, 0x1d);
    const QColor grey = dark ? QColor(0xa8, 0xa8, 0xa8) : QColor(0x66, 0x66, 0x66);
    painter.fillRect(QRect(0, 0, 1440, 56), card);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(15);
    painter.setFont(font);
    painter.setPen(grey);
    int x = 520;
    for (const char* item : {"Home", "My Network", "Jobs", "Messaging", "Notifications"}) {
        painter.drawText(x, 36, QString::fromLatin1(item));
        x += 120;
    }
    painter.fillRect(QRect(220, 80, 1000, 790), card);
    font.setPixelSize(18);
    painter.setFont(font);
    painter.setPen(ink);
    painter.drawText(260, 130, employer);
    QFont big = font;
    big.setPixelSize(30);
    big.setBold(true);
    painter.setFont(big);
    painter.drawText(260, 180, title);
    font.setPixelSize(16);
    painter.setFont(font);
    painter.setPen(grey);
    painter.drawText(260, 215, place + QStringLiteral(" · 1 week ago · 47 applicants"));
    painter.setPen(ink);
    painter.drawText(260, 255, QStringLiteral("Hybrid     Full-time     Mid-Senior level"));
    painter.drawText(260, 305, QStringLiteral("Easy Apply          Save"));
    font.setPixelSize(22);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(260, 370, QStringLiteral("About the job"));
    font.setPixelSize(16);
    font.setBold(false);
    painter.setFont(font);
    const QString paragraph = QStringLiteral("At %1, we build the tools our customers rely on every day, and we are "
                                             "looking for a %2 to join a small team in %3.")
                                  .arg(employer, title, place.section(u',', 0, 0));
    painter.drawText(QRect(260, 390, 900, 120), Qt::TextWordWrap, paragraph);
    painter.drawText(QRect(260, 500, 900, 120), Qt::TextWordWrap,
        QStringLiteral("You will own a portfolio of accounts, help them adopt what we build and report to the "
                       "operations lead. We work in a hybrid model with two office days a week."));
    painter.end();
    const QString path = QDir(folder).filePath(name);
    image.save(path);
    return path;
}

// A chat photographed from a phone, as its text reads: a company and a manager, but
// no job posting.
const char* const chatText = "Ayşe\nAre we still on for dinner tonight?\nMe\nYes! 7pm at Kanaat Lokantası\n"
                             "Ayşe\nMy manager at Globex Ltd kept me late again\nMe\nHaha, see you there\n";

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
            // One of them edited, then Cancel: the question before the work is thrown away.
            if (PostingImportSheet* sheet = flow->sheet(); sheet && !session.drafts().isEmpty()) {
                session.drafts().first()->setCompany(QStringLiteral("Hooli Inc."));
                const QImage behind = composite(*window, sheet, true);
                QTimer::singleShot(0, sheet, [&, behind] {
                    auto* question = sheet->findChild<ConfirmationDialog*>();
                    if (!question) {
                        std::fprintf(stderr, "no discard question\n");
                        return;
                    }
                    settle();
                    save(compositeOver(behind, *window, question, false), QStringLiteral("21-sheet-discard-question"));
                    question->reject();
                });
                sheet->cancel();
            }
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

            // Screenshots with their thumbnails, then one of them large beside the fields.
            const bool dark = Palette::isDark(window->palette());
            flow->importFiles({QUrl::fromLocalFile(writeLinkedInImage(files.path(),
                                   QStringLiteral("linkedin-umbrella.png"), QStringLiteral("Umbrella Labs"),
                                   QStringLiteral("Customer Success Manager"), QStringLiteral("Austin, Texas"), dark)),
                QUrl::fromLocalFile(writeLinkedInImage(files.path(), QStringLiteral("linkedin-kestrel.png"),
                    QStringLiteral("Kestrel Data"), QStringLiteral("Backend Engineer"),
                    QStringLiteral("Berlin, Germany"), dark))});
            if (!waitFor([&] { return !session.isProcessing(); }))
                std::fprintf(stderr, "recognition did not finish\n");
            if (PostingImportSheet* sheet = flow->sheet()) {
                waitFor([&] {
                    const QList<DraftRow*> rows = sheet->rows();
                    return std::all_of(
                        rows.begin(), rows.end(), [](DraftRow* row) { return !row->thumbnail()->image().isNull(); });
                });
                save(composite(*window, sheet, true), QStringLiteral("17-sheet-thumbnails"));
                // As on a desktop wide enough for the picture beside the rows.
                window->resize(std::max(window->width(), 1400), window->height());
                sheet->resize(PostingImportSheet::idealWidth + 480, sheet->height());
                sheet->showPicture(sheet->rows().first());
                waitFor([&] { return !sheet->pictureView()->image().isNull(); });
                save(composite(*window, sheet, true), QStringLiteral("18-sheet-picture"));
            }
            session.reset();
            settle();

            // Pasted text large beside its fields; a chat that names a company is no posting.
            session.begin();
            session.addText(corpusPosting("pub-009.txt"), QStringLiteral("Clipboard"));
            session.addText(QString::fromUtf8(chatText), QStringLiteral("Clipboard"));
            settle();
            if (PostingImportSheet* sheet = flow->sheet()) {
                sheet->resize(PostingImportSheet::idealWidth + 480, sheet->height());
                sheet->showPicture(sheet->rows().first());
                save(composite(*window, sheet, true), QStringLiteral("19-sheet-text-picture"));
                sheet->closePicture();
                if (auto* list = sheet->findChild<QScrollArea*>(QStringLiteral("draftList")))
                    list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
                save(composite(*window, sheet, true), QStringLiteral("20-sheet-not-a-posting"));
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
        // English needs its plural forms too ("Add 1 Application").
        installTranslations(*qApp, inTurkish ? turkish : english);
        const QString language = inTurkish ? QStringLiteral("-tr") : QString();
        Palette::installAppearance(Palette::Appearance::light);
        ImportScenes(folder, language).run(fill);
        Palette::installAppearance(Palette::Appearance::dark);
        ImportScenes(folder, language + QStringLiteral("-dark")).run(fill);
        for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }
    QLocale::setDefault(english);
}
