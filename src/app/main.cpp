#include "app/ApplywrightApp.h"
#include "app/DesktopNotifier.h"
#include "app/TerminationSignals.h"
#include "app/Translations.h"
#include "ui/Palette.h"

#include <QApplication>
#include <QIcon>
#include <QMainWindow>
#include <QSettings>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    // No organisation name: the data folder is ~/.local/share/Applywright.
    QApplication::setApplicationName(QStringLiteral("Applywright"));
    QApplication::setApplicationDisplayName(QStringLiteral("Applywright"));
    QApplication::setDesktopFileName(QStringLiteral("app.applywright.Applywright"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/app.applywright.Applywright.svg")));
    installTranslations(application);
    quitOnTerminationSignals(application);
    Palette::installAppearance();

    ApplywrightApp app;
    // Another copy runs on the same data and now shows its window.
    if (app.handedOverToRunningCopy())
        return 0;
    // The one setting: whether follow-up reminders reach the desktop.
    QSettings settings(
        QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Applywright"), QStringLiteral("Applywright"));
    DesktopNotifier notifier;
    app.setFollowUpReminders(settings, notifier);
    auto window = app.createWindow();
    window->show();
    return QApplication::exec();
}
