#include "app/ApplywrightApp.h"
#include "app/CommandLine.h"
#include "app/DesktopNotifier.h"
#include "app/TerminationSignals.h"
#include "app/Translations.h"
#include "ui/Palette.h"
#include "ui/Symbols.h"

#include <QApplication>
#include <QMainWindow>
#include <QSettings>

#include <cstdio>

int main(int argc, char* argv[])
{
    // Before the application object: that needs a display, --version does not.
    QStringList rawArguments;
    for (int i = 0; i < argc; ++i)
        rawArguments.append(QString::fromLocal8Bit(argv[i]));
    if (CommandLine::asksForVersion(rawArguments)) {
        std::printf("%s\n", qPrintable(CommandLine::versionText()));
        return 0;
    }

    QApplication application(argc, argv);
    // No organisation name: the data folder is ~/.local/share/Applywright.
    QApplication::setApplicationName(QStringLiteral("Applywright"));
    QApplication::setApplicationDisplayName(QStringLiteral("Applywright"));
    QApplication::setApplicationVersion(QStringLiteral(APPLYWRIGHT_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("app.applywright.Applywright"));
    installTranslations(application);
    // Qt has taken its own options by now; what is left are image files to import
    // (a desktop's "Open With") or --version.
    const CommandLine commandLine = CommandLine::parse(QApplication::arguments());
    switch (commandLine.action) {
    case CommandLine::Action::showVersion: std::printf("%s\n", qPrintable(CommandLine::versionText())); return 0;
    case CommandLine::Action::fail: std::fprintf(stderr, "applywright: %s\n", qPrintable(commandLine.error)); return 2;
    case CommandLine::Action::run: break;
    }
    QApplication::setWindowIcon(Symbols::applicationIcon());
    quitOnTerminationSignals(application);
    Palette::installAppearance();

    ApplywrightApp app(QString(), {}, commandLine.imageFiles);
    // Another copy runs on the same data and now shows its window (and imports the files).
    if (app.handedOverToRunningCopy())
        return 0;
    // The settings: whether follow-up reminders reach the desktop, and board or list.
    QSettings settings(
        QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Applywright"), QStringLiteral("Applywright"));
    DesktopNotifier notifier;
    app.setFollowUpReminders(settings, notifier);
    auto window = app.createWindow();
    window->show();
    app.prepareRecognitionWhenIdle();
    return QApplication::exec();
}
