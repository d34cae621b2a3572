#pragma once

#include "model/ApplicationStatus.h"
#include "model/JobApplication.h"

#include <QList>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class ApplicationListModel;
class BoardCard;
class BoardColumnHeader;
class QAction;
class QGridLayout;
class QLineEdit;
class QListView;
class QMenu;
class QScrollArea;
class QToolButton;
class WindowState;

// The pipeline as a board: a column per status, a card per visible application.
// The columns are views over the window state's visible list (the records stay
// the store's; each column keeps only pointers, in the list's order), so the
// search and the sort apply here as they do to the list. A card is moved on by
// dragging it to another column or with Ctrl+Shift+Right/Left; either way the
// status changes through the window's edit layer, as the editor changes it.
class BoardView : public QWidget {
    Q_OBJECT

public:
    struct Actions {
        std::function<void()> onCreate;
        // Asks the window to delete the record (the window confirms).
        std::function<void(JobApplication&)> onDelete;
        // Return on a card: the detail column takes the keyboard.
        std::function<void(JobApplication&)> onOpen;
    };

    static constexpr int columnMinimumWidth = 170;
    static constexpr int foldedColumnWidth = 36;
    static constexpr int columnSpacing = 6;

    BoardView(WindowState& state, Actions actions, QWidget* parent = nullptr);
    ~BoardView() override;

    WindowState& state() const { return m_state; }

    // Every column again from the window state's visible list; the views see only
    // the cards that came, went or moved.
    void showVisible();
    // One card to the column of its record's status: taken out of one column and
    // put into the other at its place in the visible order; nothing else moves.
    void moveCard(JobApplication* record);

    // Moves the record to `status` through the edit layer (one step to take back),
    // selects it and announces the move; false when it is already there.
    bool moveTo(JobApplication& record, ApplicationStatus status);
    // One status on (+1) or back (-1) along the pipeline; false at either end.
    bool moveBy(JobApplication& record, int step);

    // Offer and Rejected are shown as columns, or folded to narrow strips with their counts.
    bool showsClosedColumns() const { return m_showsClosed; }
    void setShowsClosedColumns(bool shown);

    // Puts the window's search field at the start of the toolbar.
    void setSearchField(QLineEdit* field);
    QLineEdit* searchField() const { return m_searchField; }

    // Gives the keyboard to the selected card's column, or to the first column with cards.
    void focusCards();
    // The card shown first: the top one of the leftmost column that shows cards.
    JobApplication* firstCard() const;

    QListView* columnView(ApplicationStatus status) const;
    ApplicationListModel* columnModel(ApplicationStatus status) const;
    BoardColumnHeader* columnHeader(ApplicationStatus status) const;
    QWidget* column(ApplicationStatus status) const;
    // The column whose area holds `position` (in this view's coordinates).
    std::optional<ApplicationStatus> columnAt(const QPoint& position) const;
    QMenu* boardMenu() const { return m_menu; }
    QToolButton* menuButton() const { return m_menuButton; }
    QAction* closedColumnsAction() const { return m_closedAction; }
    BoardCard* cardDelegate() const { return m_card; }
    // What the last move told screen readers ("Fernhill Analytics moved to Offer").
    const QString& lastAnnouncement() const { return m_announcement; }

    // The accessible name of a column: "HR Interview, 12 applications".
    static QString columnName(ApplicationStatus status, qsizetype count);

Q_SIGNALS:
    void showsClosedColumnsChanged(bool shown);

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Column;
    class CardList;
    friend class CardList;

    void buildToolbar();
    void buildColumns();
    void applyStyle();
    void syncSelection(bool scroll);
    void userSelected(const Column& column);
    void updateHeader(Column& column);
    void updateFolding();
    void forget(JobApplication* record);
    Column* columnOf(const JobApplication* record);
    Column& columnFor(ApplicationStatus status);
    void moveFocus(Column& from, int direction);
    void announce(Column& column, const QString& text);
    // The drag of a card, driven by the column's own mouse events.
    void dragMoved(const QPoint& globalPosition);
    void dragEnded(JobApplication* record, const QPoint& globalPosition);

    WindowState& m_state;
    Actions m_actions;
    BoardCard* m_card;
    std::array<Column*, 5> m_columns {};
    QWidget* m_toolbar;
    QGridLayout* m_toolbarLayout;
    QLineEdit* m_searchField = nullptr;
    QToolButton* m_menuButton;
    QToolButton* m_newButton;
    QMenu* m_menu;
    QAction* m_closedAction;
    QScrollArea* m_scroll;
    QWidget* m_columnArea;
    QString m_announcement;
    bool m_showsClosed = true;
    bool m_syncing = false;
    std::optional<ApplicationStatus> m_dropTarget;
};
