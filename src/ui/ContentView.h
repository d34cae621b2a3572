#pragma once

#include "model/JobApplication.h"
#include "tracking/StatusFilter.h"
#include "ui/FocusedActions.h"

#include <QList>
#include <QPointer>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class ApplicationDetailView;
class ApplicationListView;
class BoardView;
class DetailPlaceholder;
class QAction;
class QLineEdit;
class QSplitter;
class QStackedWidget;
class Store;
class TodayProvider;
class WindowState;

// The main window's content: the list column beside the detail column. The
// window state (selection, search text, filter, sort, the deletion awaiting
// confirmation) lives in its WindowState, which both columns observe; the view
// adds the desktop around it (the confirmation dialog, opening addresses, the
// moments of saving) and publishes the window's actions for the menu commands.
class ContentView : public QWidget {
    Q_OBJECT

public:
    // What the window asks of the desktop; tests pass their own.
    struct Environment {
        // Opens an address in the browser, mail program or file manager.
        // Empty: QDesktopServices::openUrl.
        std::function<void(const QUrl&)> openURL;
        // Asks whether to delete; true deletes. Empty: a window-modal message box.
        std::function<bool(const QString& title, const QString& message)> confirmDeletion;
    };

    static constexpr int listMinimumWidth = 280;
    static constexpr int listIdealWidth = 320;
    static constexpr int listMaximumWidth = 440;
    static constexpr int detailMinimumWidth = 460;
    static constexpr int detailIdealWidth = 560;

    ContentView(Store& store, TodayProvider& today, Environment environment = {}, QWidget* parent = nullptr);
    ~ContentView() override;

    WindowState& state() const { return *m_state; }
    // The actions this window publishes for the menu commands.
    FocusedActions* focusedActions() const { return m_actions; }

    // The window's actions.
    // Creates a blank record, selects it and puts the cursor in its company field.
    void createApplication();
    // Saves when the store has unsaved changes; a failure is only logged.
    void saveIfNeeded();
    // Shows the confirmation; "Delete" deletes the record, anything else keeps it.
    void requestDeletion(JobApplication& application);
    void deleteSelection();
    // Adds records made outside the editor (reviewed posting drafts); see WindowState.
    QList<JobApplication*> addNewApplications(std::vector<std::unique_ptr<JobApplication>> applications);
    // Image files to import (dropped on the list or picked in a panel).
    void importImageFiles(const QList<QUrl>& urls);
    // The list's paste: runs the published paste action, if any.
    void pastePosting();
    // Ctrl+F: the cursor to the search field, its text selected for typing over.
    void focusSearch();
    // Down from the search field: the keyboard to the results (the list, or the
    // board), on the first one shown, selected. Nothing shown: the field keeps it.
    bool focusResults();

    // Flows that other parts of the window provide. Each one is published under its
    // key while set; an empty action withdraws it and disables its command.
    void setExportBackupAction(FocusedActions::Action action);
    void setImportBackupAction(FocusedActions::Action action);
    void setImportScreenshotsAction(FocusedActions::Action action);
    void setPastePostingAction(FocusedActions::Action action);
    void setExportSpreadsheetAction(FocusedActions::Action action);
    void setShowInsightsAction(FocusedActions::Action action);
    void setImportMailAction(FocusedActions::Action action);
    // Where mail goes: files and text dropped on the list, and a paste that holds a
    // message (`paste` returns false to leave the clipboard to the posting paste).
    void setMailImporters(std::function<void(const QList<QUrl>&)> files, std::function<void(const QString&)> text,
        std::function<bool()> paste);
    // Where image files go; without one the list refuses image drops.
    void setImageFilesImporter(std::function<void(const QList<QUrl>&)> importer);

    // The board in place of the list column (View ▸ Board), or the list (View ▸ List).
    bool isBoardShown() const { return m_boardShown; }
    void setBoardShown(bool shown);

    ApplicationListView* listView() const { return m_list; }
    // The board, made the first time it is shown; null until then.
    BoardView* boardView() const { return m_board; }
    QLineEdit* searchField() const { return m_searchField; }
    QSplitter* splitter() const { return m_splitter; }
    // Made once the records are read; null until then.
    DetailPlaceholder* detailPlaceholder() const { return m_placeholder; }
    // The editor of the selected record, or null while the placeholder shows.
    ApplicationDetailView* detailView() const;
    const Environment& environment() const { return m_environment; }

Q_SIGNALS:
    void boardShownChanged(bool shown);
    // The board was made (the first time it is shown), before it shows.
    void boardMade(BoardView* board);

protected:
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void buildSearchField();
    void buildList();
    void buildDetailColumn();
    void makeBoard();
    void showSearchText(const QString& text);
    DetailPlaceholder* placeholder();
    void alignPlaceholder();
    void updateDetail();
    void dropDetailView();
    void updatePublishedActions();
    bool confirm(const QString& title, const QString& message);
    void openURL(const QUrl& url);

    Store& m_store;
    TodayProvider& m_today;
    Environment m_environment;
    WindowState* m_state;
    FocusedActions* m_actions;

    FocusedActions::Action m_exportBackup;
    FocusedActions::Action m_importBackup;
    FocusedActions::Action m_importScreenshots;
    FocusedActions::Action m_pastePosting;
    FocusedActions::Action m_exportSpreadsheet;
    FocusedActions::Action m_showInsights;
    FocusedActions::Action m_importMail;
    std::function<void(const QList<QUrl>&)> m_importImageFiles;
    std::function<void(const QList<QUrl>&)> m_importMailFiles;
    std::function<void(const QString&)> m_importMailText;
    std::function<bool()> m_pasteMail;

    QSplitter* m_splitter = nullptr;
    QLineEdit* m_searchField = nullptr;
    QAction* m_searchIcon = nullptr;
    QAction* m_clearSearch = nullptr;
    ApplicationListView* m_list = nullptr;
    QStackedWidget* m_cardsStack = nullptr;
    BoardView* m_board = nullptr;
    bool m_boardShown = false;
    // The list's status filter while the board shows every column.
    std::optional<StatusFilter> m_listFilter;
    QStackedWidget* m_detailStack = nullptr;
    DetailPlaceholder* m_placeholder = nullptr;
    // Shown in the detail column while the store is still reading its records.
    QWidget* m_loadingPage = nullptr;
    QPointer<ApplicationDetailView> m_detailView;
    RecordID m_detailRecord = 0;
};
