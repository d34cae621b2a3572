#pragma once

#include <QDialog>
#include <QList>
#include <QPointer>

#include <functional>
#include <memory>

class ContentUnavailableView;
class DraftPictureView;
class DraftRow;
class FailureList;
class JobApplication;
class PostingDraft;
class PostingImportSession;
class QLabel;
class QPushButton;
class QScrollArea;
class QSplitter;
class QStackedWidget;
class QThreadPool;
class QTimer;
class QVBoxLayout;

// The review sheet of a posting import. It follows the session live: a progress
// indicator while the first screenshot is read, one editable row per draft as
// each input finishes, "Nothing could be read" when nothing came of it, and the
// inputs that failed underneath (in a list that takes thousands of them in batches,
// once per frame). Each row's picture opens large beside the rows. Nothing reaches
// the store before Add; Cancel, and closing the sheet any other way, discards the
// drafts, asking first when the person has changed any.
class PostingImportSheet : public QDialog {
    Q_OBJECT

public:
    // Turns the chosen drafts into records (the window's commit).
    using CommitAction = std::function<void(const QList<PostingDraft*>& drafts)>;
    // Shows a stored record in the window.
    using RecordAction = std::function<void(JobApplication& record)>;
    // Asks whether to discard reviewed drafts; true discards them.
    using DiscardQuestion = std::function<bool(const QString& title, const QString& message)>;

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
    // "Discard %n reviewed postings?"
    static QString discardTitle(qsizetype count);

    // What clicking a row's "Already in your list" does. Rows ask the session which
    // record a draft repeats, again whenever the draft changes.
    void setRecordAction(RecordAction show);
    // Replaces the window-modal question before reviewed drafts are discarded.
    void setDiscardQuestion(DiscardQuestion ask);

    // The large picture of a row's draft beside the rows.
    void showPicture(DraftRow* row);
    void closePicture();
    DraftPictureView* pictureView() const { return m_picture; }
    bool isPictureShown() const;

    // Discards the drafts and closes; when the person changed any of them, only after
    // they confirm. False when they chose to go on reviewing.
    bool cancel();
    // Hands the chosen drafts to the commit action, then clears the session and closes.
    void add();

    QSize sizeHint() const override;

    // Escape closes the picture first; then it, the window's close button and the
    // desktop's own dismissal cancel.
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
    QWidget* buildHeader();
    void buildContent();
    QWidget* buildFailures();
    QWidget* buildFooter();
    void buildLayout();
    void applyStyle();
    DraftRow* makeRow(PostingDraft& draft);
    void syncRows();
    void syncFailures();
    void syncState();
    void updateAddButton();
    void updateExistingRecord(DraftRow* row);
    void showHint(const QString& text);
    bool confirmDiscard(qsizetype edited);

    PostingImportSession& m_session;
    CommitAction m_onCommit;
    RecordAction m_showRecord;
    DiscardQuestion m_askDiscard;
    bool m_finishing = false;
    // Thumbnails and the large picture are decoded here, off the main thread.
    std::unique_ptr<QThreadPool> m_pictures;

    QLabel* m_title = nullptr;
    QLabel* m_subtitle = nullptr;
    QStackedWidget* m_content = nullptr;
    QWidget* m_readingPage = nullptr;
    QLabel* m_readingLabel = nullptr;
    ContentUnavailableView* m_nothingRead = nullptr;
    QSplitter* m_review = nullptr;
    QScrollArea* m_scroll = nullptr;
    QVBoxLayout* m_rowLayout = nullptr;
    QList<DraftRow*> m_rows;
    DraftPictureView* m_picture = nullptr;
    FailureList* m_failures = nullptr;
    // Failure lines come in bursts (thousands of unreadable files): shown once per frame.
    QTimer* m_failureTimer = nullptr;
    QWidget* m_footerIndicator = nullptr;
    QLabel* m_footerLabel = nullptr;
    QLabel* m_hint = nullptr;
    QTimer* m_hintTimer = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_add = nullptr;
};
