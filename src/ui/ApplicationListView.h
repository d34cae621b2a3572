#pragma once

#include "model/JobApplication.h"
#include "tracking/SortOption.h"
#include "tracking/StatusFilter.h"

#include <QDateTime>
#include <QList>
#include <QUrl>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class ApplicationListModel;
class ApplicationRow;
class EmptyListOverlay;
class QActionGroup;
class QHBoxLayout;
class QListView;
class QMenu;
class QToolButton;
class SummaryBar;

// The list column: a toolbar (new application, filter and sort), the visible
// applications as rows, an overlay when there are none and the summary bar. It
// owns no data: the window gives it the rows and the selection, and hears back
// through the signals (selection, filter, sort) and the actions.
class ApplicationListView : public QWidget {
    Q_OBJECT

public:
    struct Actions {
        std::function<void()> onCreate;
        // Asks the window to delete the record (the window confirms).
        std::function<void(JobApplication&)> onDelete;
        // Image files dropped on the list, in their dropped order.
        std::function<void(const QList<QUrl>&)> onDropImages;
        std::function<void()> onPaste;
        // Opens an address in the browser ("Open Posting").
        std::function<void(const QUrl&)> openURL;
    };

    explicit ApplicationListView(Actions actions, QWidget* parent = nullptr);
    ~ApplicationListView() override;

    void setApplications(const QList<JobApplication*>& applications, qsizetype totalCount);
    const QList<JobApplication*>& applications() const;
    qsizetype totalCount() const { return m_totalCount; }

    std::optional<RecordID> selectedID() const { return m_selectedID; }
    // Selects the row of `id` when it is shown; a hidden record stays selected for
    // the window but has no highlighted row.
    void setSelectedID(std::optional<RecordID> id);

    const StatusFilter& statusFilter() const { return m_statusFilter; }
    void setStatusFilter(const StatusFilter& filter);
    SortOption sortOption() const { return m_sortOption; }
    void setSortOption(SortOption option);

    // The day the waiting badges count to; rows and counters redraw when it moves on.
    void setToday(const QDateTime& today);

    // Whether image files may be dropped on the list (on by default).
    void setAcceptsImageDrops(bool accepts);
    bool acceptsImageDrops() const;

    // Puts the window's search field at the start of the toolbar.
    void setSearchField(QWidget* field);

    // A record's fields changed: repaint its row.
    void refreshApplication(const JobApplication* application);
    // A record is leaving the store: drop its row at once.
    void forgetApplication(const JobApplication* application);

    // The row's context menu for `application` (shown on right click).
    std::unique_ptr<QMenu> makeContextMenu(JobApplication& application);

    // The image files among dropped addresses, in order: local files whose content
    // type (read from the file) is an image type.
    static QList<QUrl> imageFiles(const QList<QUrl>& urls);
    // "line.3.horizontal.decrease.circle", filled for every filter but all.
    static QString filterSymbol(const StatusFilter& filter);

    QListView* listView() const { return m_list; }
    ApplicationListModel* model() const { return m_model; }
    ApplicationRow* rowDelegate() const { return m_row; }
    QMenu* filterMenu() const { return m_filterMenu; }
    QToolButton* filterButton() const { return m_filterButton; }
    QToolButton* newButton() const { return m_newButton; }
    SummaryBar* summaryBar() const { return m_summary; }
    EmptyListOverlay* emptyOverlay() const { return m_overlay; }

Q_SIGNALS:
    // The user picked a row (or cleared the selection).
    void selectedIDChanged(std::optional<RecordID> id);
    void statusFilterChanged(const StatusFilter& filter);
    void sortOptionChanged(SortOption option);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildToolbar();
    void buildFilterMenu();
    void applyStyle();
    void syncSelection(bool scroll);
    void userSelectionChanged();
    void deleteSelected();
    void dropImages(const QList<QUrl>& urls, bool& accepted);
    void showContextMenu(const QPoint& position);
    void updateOverlay();
    void updateFilterButton();

    Actions m_actions;
    ApplicationListModel* m_model;
    ApplicationRow* m_row;
    QListView* m_list;
    QWidget* m_toolbar;
    QHBoxLayout* m_toolbarLayout;
    QToolButton* m_newButton;
    QToolButton* m_filterButton;
    QMenu* m_filterMenu;
    QActionGroup* m_statusGroup;
    QActionGroup* m_sortGroup;
    SummaryBar* m_summary;
    EmptyListOverlay* m_overlay;

    qsizetype m_totalCount = 0;
    std::optional<RecordID> m_selectedID;
    StatusFilter m_statusFilter = StatusFilter::all();
    SortOption m_sortOption = SortOption::newest;
    // Set while the window, not the user, changes rows or selection.
    bool m_syncing = false;
    bool m_wasReset = false;
};
