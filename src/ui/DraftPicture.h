#pragma once

#include "model/NamedColor.h"
#include "posting/PostingDraft.h"

#include <QAbstractButton>
#include <QFuture>
#include <QFutureWatcher>
#include <QImage>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <memory>

class QLabel;
class QPlainTextEdit;
class QScrollArea;
class QThreadPool;
class QToolButton;

// What a draft was read from, for checking it against the fields: a screenshot,
// decoded off the main thread at the size it is shown, with the lines the values
// came from marked; or the pasted text with those lines marked.
namespace DraftPictures {

// The screenshot of `source` scaled to fit `bound`, within the decoder's memory limit;
// a null image when it can no longer be read. Safe on any thread.
QImage decode(const DraftSource& source, const QSize& bound);
// Decodes on `pool`.
QFuture<QImage> load(QThreadPool& pool, const DraftSource& source, const QSize& bound);

// One field's mark: the lines its value was read from.
struct Mark {
    QString field;
    NamedColor color = NamedColor::blue;
    QList<int> lines;
};
// The marks of the draft's values as they stand: a field filled from the other
// reading's offer is marked where that value was read.
QList<Mark> marksFor(const PostingDraft& draft);

} // namespace DraftPictures

// A small picture of the screenshot a draft was read from (a clipboard symbol for
// pasted text). Clicking it, or Space while it has the focus, shows it large.
class DraftThumbnail : public QAbstractButton {
    Q_OBJECT

public:
    static constexpr QSize size {96, 60};

    DraftThumbnail(bool isImage, QWidget* parent = nullptr);

    // Null while it is still being decoded, or when it cannot be.
    void setImage(const QImage& image);
    const QImage& image() const { return m_image; }

    QSize sizeHint() const override { return size; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void refresh();

    bool m_isImage;
    QImage m_image;
};

// The large picture beside the fields: the screenshot with each field's line framed
// and named, or the pasted text with those lines tinted; a legend of the fields'
// colours above it and a button that closes it.
class DraftPictureView : public QWidget {
    Q_OBJECT

public:
    explicit DraftPictureView(QThreadPool& pool, QWidget* parent = nullptr);
    ~DraftPictureView() override;

    // Shows `draft` (null clears the view). The screenshot is decoded on the pool.
    void showDraft(PostingDraft* draft);
    PostingDraft* draft() const { return m_draft.data(); }
    // The screenshot as shown; null while it is decoded and for pasted text.
    const QImage& image() const { return m_image; }
    // The marks as drawn: each field's frames in the picture's own coordinates (0..1,
    // top-left origin), or the tinted lines of the text.
    const QList<DraftPictures::Mark>& marks() const { return m_marks; }
    QPlainTextEdit* textView() const { return m_text; }

Q_SIGNALS:
    void closeRequested();

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void applyStyle();
    void refreshMarks();
    void showImage(const QImage& image);
    void showText();

    QThreadPool& m_pool;
    QPointer<PostingDraft> m_draft;
    QImage m_image;
    QList<DraftPictures::Mark> m_marks;
    std::unique_ptr<QFutureWatcher<QImage>> m_loading;
    QLabel* m_title = nullptr;
    QLabel* m_legend = nullptr;
    QToolButton* m_close = nullptr;
    QScrollArea* m_scroll = nullptr;
    QWidget* m_canvas = nullptr;
    QPlainTextEdit* m_text = nullptr;
};
