// The application's window started as the application starts it, in a program
// that links what the application links: prints "painted" at the first frame,
// "rows" once the first rows are in the list and painted (the newest records are
// read first), "all" once every record is.
#include "AppBenchSupport.h"
#include "FirstPaint.h"

#include "ui/ApplicationListView.h"
#include "ui/Palette.h"

#include <QEventLoop>
#include <QListView>
#include <QMainWindow>

#include <cstdio>
#include <functional>
#include <memory>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: child_ui_main STORE-FOLDER\n", stderr);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Applywright"));
    QApplication::setApplicationDisplayName(QStringLiteral("Applywright"));
    QApplication::setDesktopFileName(QStringLiteral("app.applywright.Applywright"));
    Palette::installAppearance();
    ApplywrightApp app(folder, quietEnvironment());
    std::unique_ptr<QMainWindow> window = app.createWindow();
    showAndWait(*window);
    std::fputs("painted\n", stdout);
    std::fflush(stdout);

    requireStore(app);
    const Store& store = *app.storeLoader().store();
    auto* content = window->findChild<ContentView*>();
    QListView* list = content->listView()->listView();
    // Checked after every step the list or the store announces. Waiting in the event
    // loop, not spinning, leaves the core to the read.
    const auto waitFor = [&](const std::function<bool()>& done) {
        if (done())
            return;
        QEventLoop loop;
        const auto check = [&] {
            if (done())
                loop.quit();
        };
        QObject::connect(list->model(), &QAbstractItemModel::rowsInserted, &loop, check);
        QObject::connect(list->model(), &QAbstractItemModel::modelReset, &loop, check);
        QObject::connect(&store, &Store::loaded, &loop, check);
        loop.exec();
    };
    waitFor([&] { return list->model()->rowCount() > 0 || (store.isLoaded() && store.count() == 0); });
    list->viewport()->repaint();
    std::fputs("rows\n", stdout);
    std::fflush(stdout);
    waitFor([&] { return store.isLoaded() && list->model()->rowCount() >= store.count(); });
    if (store.count() == 0)
        requireRecords(app);
    list->viewport()->repaint();
    std::fputs("all\n", stdout);
    std::fflush(stdout);
    return 0;
}
