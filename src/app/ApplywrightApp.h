#pragma once

#include "store/StoreLoader.h"
#include "ui/ContentView.h"
#include "ui/DesktopPanels.h"
#include "ui/SpreadsheetFlow.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

class FollowUpNotifier;
class PostingImportFlow;
class FollowUpReminder;
class QMainWindow;
class QMenu;
class QSettings;
class RunningInstance;
class TodayProvider;

// The application entry: opens the store before any window exists, then shows
// the main window (store ready) or the failure window (store failed). The result
// of opening holds for the whole run; there is no retry. When another copy already
// runs on the data folder, it is asked to show its window instead, and is handed
// the image files this one was started with.
class ApplywrightApp : public QObject {
    Q_OBJECT

public:
    static constexpr int defaultWidth = 1080;
    static constexpr int defaultHeight = 720;
    static constexpr int minimumWidth = 860;
    static constexpr int minimumHeight = 560;
    // The first window's size on a screen with `available` room: the default, made
    // smaller to fit (its frame included) but never below the minimum.
    static QSize firstWindowSize(const QSize& available);

    // Opens the store in `dataDirectory`, or in the default data folder. The
    // environment reaches the desktop (opening addresses, confirmations); tests
    // pass their own. `imageFiles` (absolute paths, from the command line) are
    // imported once the window shows.
    explicit ApplywrightApp(const QString& dataDirectory = QString(), ContentView::Environment environment = {},
        QStringList imageFiles = {}, QObject* parent = nullptr);
    ~ApplywrightApp() override;

    const StoreLoader& storeLoader() const { return m_loader; }
    // Another copy runs on the data folder and has brought its window forward:
    // this one has nothing to show and ends.
    bool handedOverToRunningCopy() const { return m_handedOver; }

    // What to do when the save on the way out fails (a full disk): save again, or
    // quit and lose the unsaved changes. `reason` is the store's error.
    enum class QuitAnswer { tryAgain, quitWithoutSaving };
    using SaveFailureQuestion = std::function<QuitAnswer(QWidget* window, const QString& reason)>;
    // Empty: a window-modal message box with "Try Again" and "Quit Without Saving".
    void setSaveFailureQuestion(SaveFailureQuestion question) { m_saveFailureQuestion = std::move(question); }
    // The folder that holds (or would hold) the database.
    const QString& dataDirectory() const { return m_dataDirectory; }

    // The day clock, created on first use; never created when the store failed.
    TodayProvider* todayProvider();
    bool hasTodayProvider() const { return m_today != nullptr; }

    // The spreadsheet export's file panels; the desktop's own unless set before
    // createWindow().
    void setSpreadsheetPanels(SpreadsheetFlow::Panels panels) { m_spreadsheetPanels = std::move(panels); }

    // Where the window's remembered choices live (the board or the list); none
    // unless set before createWindow(). It must outlive the window.
    void setSettings(QSettings& settings) { m_settings = &settings; }
    // Follow-up reminders on the desktop, with their setting kept in `settings`;
    // none unless set before createWindow(). Both must outlive the window.
    void setFollowUpReminders(QSettings& settings, FollowUpNotifier& notifier);
    // The reminders of the window, while it has them.
    FollowUpReminder* followUpReminder() const;

    // Builds the window for the kept result, with its menu commands, and returns
    // it (owned by the caller): the main window's content, or the failure view.
    std::unique_ptr<QMainWindow> createWindow();

    // Once the records are on screen and the window has had a moment to settle,
    // starts the text recognition worker, so the first import finds it ready.
    void prepareRecognitionWhenIdle();
    // How long after the records arrive "a moment" is.
    static constexpr int recognitionWarmUpDelayMs = 1000;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

    // The setting that remembers whether the window shows the board.
    static constexpr const char* boardShownKey = "window/board";
    // And whether the board folds Offer and Rejected to strips.
    static constexpr const char* closedColumnsKey = "window/boardClosedColumns";

private:
    // The main window's content over the ready store, with every command's flow.
    ContentView* buildContent(QMainWindow& window);
    void checkLoadOnceChecked(QMainWindow& window);
    // View ▸ Follow-up Notifications, while the window has reminders.
    void addReminderChoice(QMenu& menu);
    // View ▸ Board and View ▸ List, the one the window starts with remembered.
    void addViewChoice(QMainWindow& window, QMenu& menu, ContentView& content);
    // Every way of quitting closes the main window first; its pending changes are
    // saved then, and only a save that fails asks before they are given up.
    void saveBeforeQuitting(QWidget* window);
    QuitAnswer askAfterFailedSave(QWidget* window, const QString& reason) const;
    void bringWindowForward();
    // Image files handed to the application from outside its window: an import in
    // the window, once any review in progress is finished.
    void importImageFiles(const QStringList& files);
    void showAbout();

    // Before the loader: the loader opens the store in it.
    QString m_dataDirectory;
    StoreLoader m_loader;
    ContentView::Environment m_environment;
    SpreadsheetFlow::Panels m_spreadsheetPanels;
    QSettings* m_settings = nullptr;
    FollowUpNotifier* m_notifier = nullptr;
    QPointer<FollowUpReminder> m_reminder;
    std::unique_ptr<TodayProvider> m_today;
    bool m_handedOver = false;
    // The store reads the records once the window starts drawing its first frame.
    bool m_readingAsked = false;
    std::unique_ptr<RunningInstance> m_runningInstance;
    QPointer<QMainWindow> m_window;
    QPointer<PostingImportFlow> m_imports;
    QStringList m_imageFiles;
    SaveFailureQuestion m_saveFailureQuestion;
};
