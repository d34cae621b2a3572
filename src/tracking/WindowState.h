#pragma once

#include "model/ApplicationEdits.h"
#include "model/JobApplication.h"
#include "tracking/ListQuery.h"
#include "tracking/SortOption.h"
#include "tracking/StatusFilter.h"
#include "tracking/SummaryCounts.h"

#include <QList>
#include <QObject>
#include <QTimer>
#include <QUndoStack>

#include <memory>
#include <optional>
#include <vector>

class Store;
class StoreChange;
class TodayProvider;

// The main window's state without its widgets: the selection, the search text,
// the status filter, the sort option and the deletion awaiting confirmation,
// with the visible list derived from them and from the store. The list, the
// detail column and the import flows read it and ask it for changes; none of
// them keeps a copy. It also owns the window's undo stack, for as long as the
// window lives: every change a person makes to the records is a step on it,
// the record edits through its edit layer and the records that come and go
// (new, imported, deleted) through it.
class WindowState : public QObject {
    Q_OBJECT

public:
    WindowState(Store& store, TodayProvider& today, QObject* parent = nullptr);

    Store& store() const { return m_store; }
    // The first moment of the current day: every day count the window shows uses it.
    QDateTime today() const;

    // The selected record is looked up among all records, so one that the filter
    // or the search hides stays selected (and stays in the detail column).
    std::optional<RecordID> selectedID() const { return m_selectedID; }
    void setSelectedID(std::optional<RecordID> id);
    JobApplication* selectedApplication() const;

    const QString& searchText() const { return m_searchText; }
    void setSearchText(const QString& text);
    const StatusFilter& statusFilter() const { return m_statusFilter; }
    void setStatusFilter(const StatusFilter& filter);
    SortOption sortOption() const { return m_sortOption; }
    void setSortOption(SortOption option);

    // Every record, filtered, searched and sorted. While the store is still reading:
    // in the newest-first order, the top of that list from the newest records it read
    // first; in any other order, nothing.
    const QList<JobApplication*>& visibleApplications() const { return m_visible; }
    // The number of all records, or -1 while the store is still reading them.
    qsizetype totalCount() const { return m_totalCount; }
    // Where a record goes in `sorted`, a list of records in the visible order (a
    // part of the visible list, without the record): views that show the visible
    // records in groups place one record with it.
    qsizetype placeAmong(const QList<JobApplication*>& sorted, const JobApplication& application) const
    {
        return m_query ? m_query->placeIn(sorted, application) : sorted.size();
    }
    // The counters under the list, over the visible records, as of today.
    const SummaryCounts& summary() const { return m_summary; }

    // The edit layer every view changes records through, and the steps it records.
    ApplicationEdits& edits() { return m_edits; }
    QUndoStack& undoStack() { return m_undoStack; }
    // Takes back the last step, or does again the last one taken back; either way
    // the store is then saved, once the event loop has had its turn.
    void undo();
    void redo();

    // A new blank record: inserted with its first history entry and saved (a
    // failure is only logged); a filter that would hide it is given up, the search
    // is cleared and it is selected.
    JobApplication* createApplication();
    // Records made outside the editor (reviewed posting drafts): each gets its
    // first history entry, the store is saved, the filter and search are cleared
    // and the first new record is selected. Returns the stored records.
    QList<JobApplication*> addNewApplications(std::vector<std::unique_ptr<JobApplication>> applications);
    // Shows a stored record as a new one is shown: a filter that would hide it is
    // given up, the search is cleared and it is selected.
    void reveal(JobApplication& record);
    // Records restored from a backup, inserted as one step; the caller saves.
    QList<JobApplication*> addRestoredApplications(std::vector<std::unique_ptr<JobApplication>> applications);
    // Saves when the store has unsaved changes; a failure is only logged.
    void saveIfNeeded();

    // Deleting asks first: begin presents the record (false while another
    // confirmation is open), end with the answer deletes it when confirmed and still
    // there, clearing the selection when it was the selected one, and saves.
    std::optional<RecordID> pendingDeletion() const { return m_pendingDeletion; }
    bool beginDeletion(const JobApplication& application);
    void endDeletion(bool confirmed);

Q_SIGNALS:
    void selectedIDChanged(std::optional<RecordID> id);
    void searchTextChanged(const QString& text);
    void statusFilterChanged(const StatusFilter& filter);
    void sortOptionChanged(SortOption option);
    void pendingDeletionChanged(std::optional<RecordID> id);
    // The visible list, the total count or the summary changed.
    void visibleApplicationsChanged();
    // An edit moved one record in the visible list, and the summary changed with
    // it: `from` and `to` are its rows before and after (-1: not shown).
    void visibleApplicationMoved(JobApplication* application, qsizetype from, qsizetype to);
    // A record's fields changed: views showing it redraw it.
    void applicationChanged(JobApplication* application, JobApplication::Field field);
    // A record is leaving the store: nothing may keep pointing at it after this.
    void applicationLeaving(JobApplication* application);
    void todayChanged(const QDateTime& today);

private:
    void connectStore();
    void scheduleRecompute();
    void recompute();
    // While the rest of the records are being read: the newest ones, when they can be shown.
    void showFirstApplications();
    void recomputeUnlessBatching();
    void search();
    void replace(JobApplication* application);
    qsizetype takeVisible(JobApplication* application);
    void applicationAboutToGo(JobApplication* application);
    void applicationsLeft(const QList<JobApplication*>& applications);
    StoreChange* push(std::unique_ptr<StoreChange> change);
    void reselect(JobApplication* application);
    void applyNewRecords(JobApplication* first, bool keepMatchingFilter);

    Store& m_store;
    TodayProvider& m_today;
    QUndoStack m_undoStack;
    ApplicationEdits m_edits {&m_undoStack};

    std::optional<RecordID> m_selectedID;
    QString m_searchText;
    StatusFilter m_statusFilter = StatusFilter::all();
    SortOption m_sortOption = SortOption::newest;
    std::optional<RecordID> m_pendingDeletion;

    QList<JobApplication*> m_visible;
    // Each visible record's part in the summary, row by row, and the query and
    // day they were computed with: an edit moves one record and changes the
    // counts by its difference instead of computing the list again.
    QList<quint8> m_shares;
    std::optional<ListQuery> m_query;
    // The results the search narrowed, the shortest text first: taking a
    // character back shows a kept result again instead of going through every
    // record. Anything else that changes the list (an edit, a record coming or
    // going, another filter, sort or day) drops them.
    struct Narrowed {
        ListQuery query;
        QList<JobApplication*> visible;
        QList<quint8> shares;
        SummaryCounts summary;
    };
    std::vector<Narrowed> m_narrowed;
    QDate m_day;
    qsizetype m_totalCount = -1;
    SummaryCounts m_summary;

    // Store signals come in bursts (an import inserts many records): one recompute
    // per turn of the event loop. Input changes recompute at once.
    QTimer m_recomputeTimer;
    QTimer m_saveTimer;
    // Set while one action changes several inputs, so the list is computed once.
    bool m_batching = false;
};
