#pragma once

#include "model/JobApplication.h"
#include "tracking/SortOption.h"
#include "tracking/StatusFilter.h"
#include "ui/FocusedActions.h"

#include <QList>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class ApplicationListView;
class DetailPlaceholder;
class QAction;
class QLineEdit;
class QSplitter;
class QStackedWidget;
class Store;
class TodayProvider;

// The main window's content: the list column beside the detail column. It owns
// the window state (selection, search text, status filter, sort option, the
// deletion awaiting confirmation), derives the visible list from the store and
// publishes the window's actions for the menu commands.
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

    // Builds the detail column's view for the selected record; `onDelete` asks to
    // delete that record. A new view is made whenever another record is selected.
    using DetailFactory = std::function<QWidget*(JobApplication& application, std::function<void()> onDelete)>;

    static constexpr int listMinimumWidth = 280;
    static constexpr int listIdealWidth = 320;
    static constexpr int listMaximumWidth = 440;
    static constexpr int detailMinimumWidth = 460;
    static constexpr int detailIdealWidth = 560;

    ContentView(Store& store, TodayProvider& today, Environment environment = {}, QWidget* parent = nullptr);
    ~ContentView() override;

    // The actions this window publishes for the menu commands.
    FocusedActions* focusedActions() const { return m_actions; }

    // Window state.
    std::optional<RecordID> selectedID() const { return m_selectedID; }
    void setSelectedID(std::optional<RecordID> id);
    // The selected record, looked up among all records (a hidden one stays selected).
    JobApplication* selectedApplication() const;
    QString searchText() const;
    void setSearchText(const QString& text);
    const StatusFilter& statusFilter() const { return m_statusFilter; }
    void setStatusFilter(const StatusFilter& filter);
    SortOption sortOption() const { return m_sortOption; }
    void setSortOption(SortOption option);
    std::optional<RecordID> pendingDeletion() const { return m_pendingDeletion; }
    // The list as shown: every record, filtered, searched and sorted.
    const QList<JobApplication*>& visibleApplications() const { return m_visible; }

    // The window's actions.
    void createApplication();
    // Saves when the store has unsaved changes; a failure is only logged.
    void saveIfNeeded();
    // Shows the confirmation; "Delete" deletes the record, anything else keeps it.
    void requestDeletion(JobApplication& application);
    void deleteSelection();
    // Adds records made outside the editor (reviewed posting drafts): each gets its
    // first history entry, then the store is saved, the filter and search are
    // cleared and the first new record is selected. Returns the stored records.
    QList<JobApplication*> addNewApplications(std::vector<std::unique_ptr<JobApplication>> applications);
    // Image files to import (dropped on the list or picked in a panel).
    void importImageFiles(const QList<QUrl>& urls);
    // The list's paste: runs the published paste action, if any.
    void pastePosting();

    // Flows that other parts of the window provide. Each one is published under its
    // key while set; an empty action withdraws it and disables its command.
    void setExportBackupAction(FocusedActions::Action action);
    void setImportBackupAction(FocusedActions::Action action);
    void setImportScreenshotsAction(FocusedActions::Action action);
    void setPastePostingAction(FocusedActions::Action action);
    // Where image files go; without one the list refuses image drops.
    void setImageFilesImporter(std::function<void(const QList<QUrl>&)> importer);
    void setDetailFactory(DetailFactory factory);

    ApplicationListView* listView() const { return m_list; }
    QLineEdit* searchField() const { return m_searchField; }
    QSplitter* splitter() const { return m_splitter; }
    DetailPlaceholder* detailPlaceholder() const { return m_placeholder; }
    // The view showing the selected record, or null while the placeholder shows.
    QWidget* detailView() const { return m_detailView; }
    const Environment& environment() const { return m_environment; }

Q_SIGNALS:
    void selectedIDChanged(std::optional<RecordID> id);
    void visibleApplicationsChanged();

protected:
    void changeEvent(QEvent* event) override;

private:
    void buildLayout();
    void connectStore();
    void scheduleRecompute();
    void recompute();
    void applicationLeaving(JobApplication* application);
    void updateDetail();
    void dropDetailView();
    void updatePublishedActions();
    bool confirm(const QString& title, const QString& message);
    void deleteApplication(JobApplication& application);
    void openURL(const QUrl& url);

    Store& m_store;
    TodayProvider& m_today;
    Environment m_environment;
    FocusedActions* m_actions;

    std::optional<RecordID> m_selectedID;
    StatusFilter m_statusFilter = StatusFilter::all();
    SortOption m_sortOption = SortOption::newest;
    std::optional<RecordID> m_pendingDeletion;
    QList<JobApplication*> m_visible;
    // Shown in the detail column while the store is still reading its records.
    QWidget* m_loadingPage = nullptr;

    FocusedActions::Action m_exportBackup;
    FocusedActions::Action m_importBackup;
    FocusedActions::Action m_importScreenshots;
    FocusedActions::Action m_pastePosting;
    std::function<void(const QList<QUrl>&)> m_importImageFiles;
    DetailFactory m_detailFactory;

    QSplitter* m_splitter = nullptr;
    QLineEdit* m_searchField = nullptr;
    QAction* m_searchIcon = nullptr;
    ApplicationListView* m_list = nullptr;
    QStackedWidget* m_detailStack = nullptr;
    DetailPlaceholder* m_placeholder = nullptr;
    QPointer<QWidget> m_detailView;
    RecordID m_detailRecord = 0;

    // Store signals come in bursts (an import inserts many records); one recompute
    // per turn of the event loop is enough.
    QTimer m_recomputeTimer;
    // Set while one action changes several inputs, so the list is computed once.
    bool m_batching = false;
};
