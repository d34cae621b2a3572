// The board in the main window over stores of 0, 12 and 10,000 generated
// applications, in light and dark, English and Turkish, at the default and the
// narrowest window size.

#include "BoardScenes.h"

#include "InsightsScenes.h"
#include "SavePicture.h"

#include "app/ApplywrightApp.h"
#include "model/Clock.h"
#include "store/Store.h"
#include "tracking/WindowState.h"
#include "ui/ApplicationListModel.h"
#include "ui/BoardView.h"
#include "ui/ContentView.h"
#include "ui/Palette.h"

#include <QApplication>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTranslator>

namespace {

void settle()
{
    for (int i = 0; i < 8; ++i)
        QApplication::processEvents();
}

void shoot(const QString& folder, const QString& suffix)
{
    const ContentView::Environment environment {
        [](const QUrl&) {}, [](const QString&, const QString&) { return false; }};
    for (const int count : {0, 12, 10000}) {
        QTemporaryDir dir;
        ApplywrightApp app(dir.path(), environment);
        fillInsightsSample(*app.storeLoader().store(), count, Clock::now());
        auto window = app.createWindow();
        window->show();
        settle();
        auto* content = window->findChild<ContentView*>();
        content->setBoardShown(true);
        settle();
        BoardView* board = content->boardView();
        // A card in the second column is selected, so the detail column shows a record.
        if (ApplicationListModel* hr = board->columnModel(ApplicationStatus::hrInterview); hr->rowCount() > 0)
            content->state().setSelectedID(hr->application(0)->id());
        settle();
        board->focusCards();
        settle();
        savePicture(window->grab().toImage(), folder, QStringLiteral("50-board-%1").arg(count), suffix);
        if (count == 12) {
            board->setShowsClosedColumns(false);
            settle();
            savePicture(window->grab().toImage(), folder, QStringLiteral("51-board-folded"), suffix);
            board->setShowsClosedColumns(true);
        }
        if (count != 0) {
            // Wide enough for every column beside the detail.
            window->resize(1600, 900);
            settle();
            savePicture(window->grab().toImage(), folder, QStringLiteral("53-board-wide-%1").arg(count), suffix);
            window->resize(window->minimumSize());
            settle();
            savePicture(window->grab().toImage(), folder, QStringLiteral("52-board-narrowest-%1").arg(count), suffix);
        }
    }
}

} // namespace

void shootBoardScenes(const QString& folder)
{
    inEveryLook([&](const QString& suffix, bool) { shoot(folder, suffix); });
}
