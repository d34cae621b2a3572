#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>

#include <functional>

class ContentUnavailableView;
class DraftRow;
class JobApplication;
class PostingDraft;
class PostingImportSession;
class QLabel;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class QTimer;
class QVBoxLayout;

// The review sheet of a posting import. It follows the session live: a progress
// indicator while the first screenshot is read, one editable row per draft as
// each input finishes, "Nothing could be read" when nothing came of it, and the
// inputs that failed underneath. Nothing reaches the store before Add; Cancel, and
// closing the sheet any other way, discards the drafts.
class PostingImportSheet : public QDialog {
    Q_OBJECT

public:
    // Turns the chosen drafts into records (the window's commit).
    using CommitAction = std::function<void(const QList<PostingDraft*>& drafts)>;
    // The stored record a draft repeats, if any.
    using RecordFinder = std::function<JobApplication*(const PostingDraft& draft)>;
    // Shows a stored record in the window.
    using RecordAction = std::function<void(JobApplication& record)>;

    enum class Content { reading, nothingRead, review };

    static constexpr int minimumWidth = 720;
    static constexpr int minimumHeight = 460;
    static constexpr int idealWidth = 860;
    static constexpr int idealHeight = 560;

    PostingImportSheet(PostingImportSession& session, CommitAction onCommit, QWidget* parent = nullptr);
    ~PostingImportSheet() override;

    Content content() const;
    QList<DraftRow*> rows() const { return m_rows; }
    QStringList failureTexts() const;
    QPushButton* addButton() const { return m_add; }
    QPushButton* cancelButton() const { return m_cancel; }
    // The footer's "Reading…" indicator, shown while the session is processing.
    QWidget* footerIndicator() const { return m_footerIndicator; }
    // Says why a drop or a paste does nothing while this review is open.
    QLabel* hintLabel() const { return m_hint; }
    ContentUnavailableView* nothingReadView() const { return m_nothingRead; }

    // "Add %n Applications".
    static QString addTitle(qsizetype count);

    // Lets rows say "Already in your list" and show that record when clicked. Rows
    // look again whenever their draft changes.
    void setExistingRecords(RecordFinder find, RecordAction show);

    // Discards the drafts and closes.
    void cancel();
    // Hands the chosen drafts to the commit action, then clears the session and closes.
    void add();

    QSize sizeHint() const override;

    // Escape, the window's close button and the desktop's own dismissal all cancel.
    void reject() override;
    // Return, when Add is enabled.
    void accept() override;

protected:
    void changeEvent(QEvent* event) override;
    // Dropped files and the paste command belong to the window under the sheet, which
    // takes them once this review is added or cancelled; meanwhile the sheet says so.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildLayout();
    void applyStyle();
    void syncRows();
    void syncFailures();
    void syncState();
    void updateAddButton();
    void updateExistingRecord(DraftRow* row);
    void showHint(const QString& text);

    PostingImportSession& m_session;
    CommitAction m_onCommit;
    RecordFinder m_findRecord;
    RecordAction m_showRecord;
    bool m_finishing = false;

    QLabel* m_title = nullptr;
    QLabel* m_subtitle = nullptr;
    QStackedWidget* m_content = nullptr;
    QWidget* m_readingPage = nullptr;
    QLabel* m_readingLabel = nullptr;
    ContentUnavailableView* m_nothingRead = nullptr;
    QScrollArea* m_scroll = nullptr;
    QVBoxLayout* m_rowLayout = nullptr;
    QList<DraftRow*> m_rows;
    QWidget* m_failures = nullptr;
    QVBoxLayout* m_failureLayout = nullptr;
    QList<QLabel*> m_failureLabels;
    QList<QLabel*> m_failureIcons;
    QWidget* m_footerIndicator = nullptr;
    QLabel* m_footerLabel = nullptr;
    QLabel* m_hint = nullptr;
    QTimer* m_hintTimer = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_add = nullptr;
};
