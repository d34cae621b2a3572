#include "app/ApplywrightApp.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Applywright"));
    QApplication::setApplicationDisplayName(QStringLiteral("Applywright"));
    QApplication::setDesktopFileName(QStringLiteral("app.applywright.Applywright"));

    ApplywrightApp app;
    auto window = app.createWindow();
    window->show();
    return QApplication::exec();
}
