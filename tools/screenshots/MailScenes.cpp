// The mail review over the window: a rejection, an invitation to a technical round,
// a Turkish job board's rejection, an acknowledgement, a job alert and a message from
// a company that is not in the list; then the same review scrolled to its end. Each
// in light and dark, English and Turkish.

#include "MailScenes.h"

#include "app/ApplywrightApp.h"
#include "app/Translations.h"
#include "mail/MailImportSession.h"
#include "ui/MailImportFlow.h"
#include "ui/MailImportSheet.h"
#include "ui/Palette.h"

#include "SavePicture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTranslator>

#include <cstdio>

namespace {

const char* const messages[] = {
    "From: Initech Careers <initech@myworkday.com>\nSubject: Staff Platform Engineer – an update\n"
    "Date: Wed, 12 Mar 2025 17:05:00 +0300\n\nDear Deniz,\n\nThank you for the technical interview for the Staff "
    "Platform Engineer role. Unfortunately, we have decided to move forward with another candidate.\n",
    "From: Happy Hogan <happy@starkindustries.com>\nSubject: Next step: technical interview\n"
    "Date: Thu, 13 Mar 2025 09:20:00 -0800\n\nHi Deniz,\n\nThanks again for your application for the Embedded Firmware "
    "Engineer role. We'd like to invite you to a technical interview with two engineers from the firmware team.\n",
    "From: kariyer.net <bilgi@kariyer.net>\nSubject: =?UTF-8?B?QmHFn3Z1cnVudXogaGFra8SxbmRh?=\n"
    "Date: Fri, 14 Mar 2025 08:10:00 +0300\nContent-Type: text/plain; charset=utf-8\n\nSayın Deniz Yılmaz,\n\nÇağrı "
    "Yazılım firmasının Kıdemli Mobil Geliştirici ilanına yaptığınız başvuru firma tarafından değerlendirilmiş olup "
    "maalesef olumsuz sonuçlanmıştır.\n",
    "From: Acme Technology <no-reply@us.greenhouse-mail.io>\nSubject: Thank you for applying to Acme Technology\n"
    "Date: Wed, 12 Mar 2025 10:00:00 +0300\n\nHi Deniz,\n\nWe have received your application for the Senior iOS "
    "Developer role and will review it shortly.\n",
    "From: LinkedIn Job Alerts <jobalerts-noreply@linkedin.com>\nSubject: Hooli is hiring: Machine Learning "
    "Engineer\nDate: Thu, 13 Mar 2025 07:00:00 +0000\nList-Unsubscribe: <https://www.linkedin.com/u>\n\nJobs you may "
    "be "
    "interested in\n\nHooli is hiring\nMachine Learning Engineer\nApply now\n\nUnsubscribe\n",
    "From: Contoso Recruiting <jobs@contoso.com>\nSubject: Interview invitation – Product Engineer\n"
    "Date: Tue, 11 Mar 2025 15:30:00 +0000\n\nHi Deniz,\n\nThanks for your application! We'd like to invite you to an "
    "interview for the Product Engineer role. Please share your availability.\n",
};

void settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

QImage composite(QMainWindow& window, QWidget* sheet)
{
    settle();
    QImage image = window.grab().toImage();
    if (!sheet)
        return image;
    const QPixmap shot = sheet->grab();
    const QSize size = shot.size() / shot.devicePixelRatio();
    const QPoint at((image.width() / int(image.devicePixelRatio()) - size.width()) / 2,
        window.menuBar() ? window.menuBar()->height() : 0);
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

void run(const QString& folder, const QString& suffix, void (*fill)(Store&))
{
    const ContentView::Environment environment {
        [](const QUrl&) {}, [](const QString&, const QString&) { return false; }};
    QTemporaryDir dir;
    ApplywrightApp app(dir.path(), environment);
    fill(*app.storeLoader().store());
    auto window = app.createWindow();
    window->resize(1180, 820);
    window->show();
    settle();
    auto* flow = window->findChild<MailImportFlow*>();
    flow->importText(QString::fromUtf8(messages[0]), QStringLiteral("initech.eml"));
    for (std::size_t i = 1; i < std::size(messages); ++i)
        flow->session().processText(QString::fromUtf8(messages[i]), QStringLiteral("message-%1.eml").arg(i + 1));
    QElapsedTimer timer;
    timer.start();
    while (flow->session().isProcessing() && timer.elapsed() < 20000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    MailImportSheet* sheet = flow->sheet();
    if (!sheet) {
        std::fprintf(stderr, "the mail review did not open\n");
        return;
    }
    sheet->resize(sheet->width(), 740);
    savePicture(composite(*window, sheet), folder, QStringLiteral("50-mail-review"), suffix);
    if (auto* list = sheet->findChild<QScrollArea*>(QStringLiteral("updateList")))
        list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
    savePicture(composite(*window, sheet), folder, QStringLiteral("51-mail-review-below"), suffix);
    flow->session().reset();
    settle();
}

} // namespace

void shootMailScenes(const QString& folder, void (*fill)(Store&))
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    for (const bool inTurkish : {false, true}) {
        QLocale::setDefault(inTurkish ? turkish : english);
        if (inTurkish)
            installTranslations(*qApp, turkish);
        const QString language = inTurkish ? QStringLiteral("-tr") : QString();
        Palette::installAppearance(Palette::Appearance::light);
        run(folder, language, fill);
        Palette::installAppearance(Palette::Appearance::dark);
        run(folder, language + QStringLiteral("-dark"), fill);
        if (inTurkish) {
            for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
                QCoreApplication::removeTranslator(translator);
                delete translator;
            }
        }
    }
    QLocale::setDefault(english);
}
