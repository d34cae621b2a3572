#pragma once

#include "model/JobApplication.h"
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
class QGridLayout;
class QKeyEvent;
class QLineEdit;
class QListView;
class QMenu;
class QMimeData;
class QToolButton;
class SummaryBar;
class WindowState;

// The list column: a toolbar (new application, filter and sort), the visible
// applications as rows, an overlay when there are none and the summary bar. It
// keeps no state of its own: it shows what the window state holds (rows,
// selection, filter, sort) and asks the window state for every change.
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
        // Mail files (.eml, .mbox) and text dropped on the list.
        std::function<void(const QList<QUrl>&)> onDropMail = {};
        std::function<void(const QString&)> onDropText = {};
    };

    ApplicationListView(WindowState& state, Actions actions, QWidget* parent = nullptr);
    ~ApplicationListView() override;

    WindowState& state() const { return m_state; }
    // The rows as shown.
    const QList<JobApplication*>& applications() const;

    // Whether image files may be dropped on the list (on by default).
    void setAcceptsImageDrops(bool accepts);

    // Puts the window's search field at the start of the toolbar.
    void setSearchField(QLineEdit* field);

    // The row's context menu for `application` (shown on right click).
    std::unique_ptr<QMenu> makeContextMenu(JobApplication& application);

    // The image files among dropped addresses, in order: local files whose content
    // type (read from the file) is an image type.
    static QList<QUrl> imageFiles(const QList<QUrl>& urls);
    // The mail among dropped addresses: local .eml and .mbox files, or files whose
    // content type is a message or a mailbox.
    static QList<QUrl> mailFiles(const QList<QUrl>& urls);
    // Delete or Backspace without modifiers: the key that asks to delete a record.
    static bool isDeleteKey(const QKeyEvent* event);
    // The toolbar's "New Application" button: a plus, the shortcut in its help text.
    static void setUpNewButton(QToolButton& button, std::function<void()> onCreate);
    // A small bold title over a group of entries in a menu.
    static void addMenuHeader(QMenu& menu, const QString& text, const char* name);
    // The "Sort" group of a menu, one checkable entry per sort option, which
    // follows and sets the window state's sort.
    static QActionGroup* addSortOptions(QMenu& menu, WindowState& state);
    // "line.3.horizontal.decrease.circle", filled for every filter but all.
    static QString filterSymbol(const StatusFilter& filter);

    QListView* listView() const { return m_list; }
    ApplicationListModel* model() const { return m_model; }
    ApplicationRow* rowDelegate() const { return m_row; }
    QMenu* filterMenu() const { return m_filterMenu; }
    QToolButton* filterButton() const { return m_filterButton; }
    QToolButton* newButton() const { return m_newButton; }
    SummaryBar* summaryBar() const { return m_summary; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildToolbar();
    void buildFilterMenu();
    void applyStyle();
    void showVisible();
    void showMoved(JobApplication* application, qsizetype from, qsizetype to);
    void showStatusFilter();
    void syncSelection(bool scroll);
    void userSelectionChanged();
    void deleteSelected();
    void dropData(const QMimeData& dropped, bool& accepted);
    void showContextMenu(const QPoint& position);
    void updateOverlay();
    void announceResults(bool empty);
    void updateFilterButton();
    void arrangeToolbar();
    int searchFieldWidthForPrompt() const;

    WindowState& m_state;
    Actions m_actions;
    ApplicationListModel* m_model;
    ApplicationRow* m_row;
    QListView* m_list;
    QWidget* m_toolbar;
    QGridLayout* m_toolbarLayout;
    QLineEdit* m_searchField = nullptr;
    QToolButton* m_newButton;
    QToolButton* m_filterButton;
    QMenu* m_filterMenu;
    QActionGroup* m_statusGroup;
    SummaryBar* m_summary;
    // Made when first needed (see updateOverlay).
    EmptyListOverlay* m_overlay;

    // Set while the list itself moves the selection model (a new row set, the
    // window's selection), so that only the user's picks reach the window state.
    bool m_syncing = false;
    bool m_wasReset = false;
};
