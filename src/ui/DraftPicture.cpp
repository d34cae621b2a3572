#include "ui/DraftPicture.h"

#include "model/RegularFile.h"
#include "posting/ScreenshotTextRecognizer.h"
#include "ui/DraftRow.h"
#include "ui/Palette.h"
#include "ui/Symbols.h"

#include <QBuffer>
#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextBlock>
#include <QThreadPool>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>

namespace {

// Past this a decoder may not allocate: a screenshot shown at its size on the
// sheet needs far less; a file that changed since it was read may claim more.
constexpr int decodeLimitMegabytes = 256;

QImage decodeWith(QImageReader& reader, const QSize& bound)
{
    reader.setDecideFormatFromContent(true);
    reader.setAllocationLimit(decodeLimitMegabytes);
    const QSize full = reader.size();
    if (!full.isValid() || full.isEmpty() || ScreenshotTextRecognizer::isTooLarge(full))
        return {};
    if (full.width() > bound.width() || full.height() > bound.height())
        reader.setScaledSize(full.scaled(bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
    QImage image;
    if (!reader.read(&image))
        return {};
    return image;
}

// Tinted lines of the pasted text: the whole width of each line a value came from.
QList<QTextEdit::ExtraSelection> tintedLines(
    QPlainTextEdit* text, const QList<DraftPictures::Mark>& marks, const QPalette& palette)
{
    QList<QTextEdit::ExtraSelection> selections;
    for (const DraftPictures::Mark& mark : marks) {
        for (int line : mark.lines) {
            const QTextBlock block = text->document()->findBlockByNumber(line);
            if (!block.isValid())
                continue;
            QTextEdit::ExtraSelection selection;
            selection.cursor = QTextCursor(block);
            selection.format.setBackground(Palette::withAlpha(Palette::fillColor(mark.color, palette), 0.28));
            selection.format.setProperty(QTextFormat::FullWidthSelection, true);
            selections.append(selection);
        }
    }
    return selections;
}

// The screenshot, scaled to the width it is given, with each field's lines framed
// and named at their top left.
class PictureCanvas : public QWidget {
public:
    explicit PictureCanvas(QWidget* parent)
        : QWidget(parent)
    {
    }

    void show(const QImage& image, const QList<PostingLine>& lines, const QList<DraftPictures::Mark>& marks)
    {
        m_image = image;
        m_lines = lines;
        m_marks = marks;
        fitWidth(width());
        update();
    }

    void fitWidth(int width)
    {
        const int height
            = m_image.isNull() || m_image.width() == 0 ? 0 : int(qint64(width) * m_image.height() / m_image.width());
        setFixedSize(width, height);
    }

    // Where a line's box lands on the canvas.
    QRectF frameOf(const QRectF& box) const
    {
        return QRectF(box.x() * width(), (1.0 - box.y() - box.height()) * height(), box.width() * width(),
            box.height() * height());
    }

    // The first marked frame, to scroll it into view.
    QRect firstFrame() const
    {
        for (const DraftPictures::Mark& mark : m_marks) {
            for (int line : mark.lines) {
                if (line < m_lines.size() && m_lines[line].box)
                    return frameOf(*m_lines[line].box).toAlignedRect();
            }
        }
        return {};
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (m_image.isNull())
            return;
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.drawImage(rect(), m_image);
        const QFont tagFont = Palette::font(Palette::TextStyle::caption2, font());
        const QFontMetrics metrics(tagFont);
        painter.setFont(tagFont);
        for (const DraftPictures::Mark& mark : m_marks) {
            const QColor color = Palette::textColor(mark.color, palette());
            bool named = false;
            for (int line : mark.lines) {
                if (line >= m_lines.size() || !m_lines[line].box)
                    continue;
                const QRectF frame = frameOf(*m_lines[line].box).adjusted(-4, -3, 4, 3);
                painter.setPen(QPen(color, 2));
                painter.setBrush(Palette::withAlpha(color, 0.12));
                painter.drawRoundedRect(frame, 4, 4);
                if (named)
                    continue;
                named = true;
                // The field's name in a tab beside the frame: on the left where the page
                // leaves room, else on the right, so it never covers the next line.
                const QSizeF tagSize(metrics.horizontalAdvance(mark.field) + 10, metrics.height() + 2);
                const qreal left = frame.left() - tagSize.width() - 4;
                const QPointF at(left >= 0 ? left : frame.right() + 4, frame.center().y() - tagSize.height() / 2);
                const QRectF tag(at, tagSize);
                painter.setPen(Qt::NoPen);
                painter.setBrush(color);
                painter.drawRoundedRect(tag, 3, 3);
                painter.setPen(Palette::isDark(palette()) ? QColor(Qt::black) : QColor(Qt::white));
                painter.drawText(tag, Qt::AlignCenter, mark.field);
            }
        }
    }

private:
    QImage m_image;
    QList<PostingLine> m_lines;
    QList<DraftPictures::Mark> m_marks;
};

} // namespace

namespace DraftPictures {

QImage decode(const DraftSource& source, const QSize& bound)
{
    if (!source.filePath.isEmpty()) {
        QFile file;
        if (!RegularFile::openForReading(source.filePath, file))
            return {};
        QImageReader reader(&file);
        return decodeWith(reader, bound);
    }
    if (source.imageData.isEmpty())
        return {};
    QBuffer buffer;
    buffer.setData(source.imageData);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&buffer);
    return decodeWith(reader, bound);
}

QFuture<QImage> load(QThreadPool& pool, const DraftSource& source, const QSize& bound)
{
    return QtConcurrent::run(&pool, [source, bound] { return decode(source, bound); });
}

QList<Mark> marksFor(const PostingDraft& draft)
{
    const DraftStart& start = draft.start();
    const QList<PostingLine>& lines = draft.source().lines;
    QList<Mark> marks;
    const auto add = [&](const QString& field, NamedColor color, const auto& starting, const auto& current) {
        QString evidence;
        if (starting.other && current == starting.other->value && starting.value != starting.other->value)
            evidence = starting.other->evidence;
        else if (starting.value && current == *starting.value)
            evidence = starting.evidence;
        const QList<int> found = evidenceLines(lines, evidence);
        if (!found.isEmpty())
            marks.append(Mark {field, color, found});
    };
    using Field = DraftRow::Field;
    add(DraftRow::label(Field::company), NamedColor::blue, start.company, draft.company());
    add(DraftRow::label(Field::position), NamedColor::purple, start.position, draft.position());
    add(DraftRow::label(Field::postingLink), NamedColor::yellow, start.postingLink, draft.postingLink());
    add(DraftRow::label(Field::workModel), NamedColor::orange, start.workModel, draft.workModel());
    if (start.location.value)
        add(DraftRow::locationLabel(), NamedColor::green, start.location, *start.location.value);
    return marks;
}

} // namespace DraftPictures

DraftThumbnail::DraftThumbnail(bool isImage, QWidget* parent)
    : QAbstractButton(parent)
    , m_isImage(isImage)
{
    setObjectName(QStringLiteral("draftThumbnail"));
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    refresh();
}

void DraftThumbnail::setImage(const QImage& image)
{
    m_image = image;
    update();
}

void DraftThumbnail::refresh()
{
    setToolTip(m_isImage ? tr("Show the screenshot beside the fields (Space)")
                         : tr("Show the pasted text beside the fields (Space)"));
    setAccessibleName(m_isImage ? tr("Screenshot") : tr("Pasted text"));
    setAccessibleDescription(toolTip());
}

void DraftThumbnail::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QPalette& pal = palette();
    const QRectF box = QRectF(rect()).adjusted(1, 1, -1, -1);
    QPainterPath outline;
    outline.addRoundedRect(box, 5, 5);
    painter.fillPath(outline, pal.color(QPalette::Base));
    if (!m_image.isNull()) {
        // The top of the page, where the title and the employer are.
        const QSizeF shown = QSizeF(m_image.size()).scaled(box.size(), Qt::KeepAspectRatioByExpanding);
        painter.save();
        painter.setClipPath(outline);
        painter.drawImage(QRectF(box.topLeft(), shown), m_image);
        painter.restore();
    } else {
        const int symbol = std::min(width(), height()) / 2;
        const QRect at((width() - symbol) / 2, (height() - symbol) / 2, symbol, symbol);
        painter.drawPixmap(at,
            Symbols::pixmap(m_isImage ? QStringLiteral("photo") : QStringLiteral("doc.on.clipboard"),
                Palette::secondaryText(pal), symbol, devicePixelRatioF()));
    }
    const bool lit = hasFocus() || underMouse();
    painter.setPen(QPen(hasFocus() ? pal.color(QPalette::Highlight) : Palette::separator(pal), lit ? 2 : 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(outline);
}

void DraftThumbnail::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        refresh();
    QAbstractButton::changeEvent(event);
}

DraftPictureView::DraftPictureView(QThreadPool& pool, QWidget* parent)
    : QWidget(parent)
    , m_pool(pool)
{
    setObjectName(QStringLiteral("draftPicture"));
    buildLayout();
    applyStyle();
}

DraftPictureView::~DraftPictureView() = default;

void DraftPictureView::buildLayout()
{
    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("pictureTitle"));
    m_title->setTextFormat(Qt::PlainText);
    m_legend = new QLabel(this);
    m_legend->setObjectName(QStringLiteral("pictureLegend"));
    m_legend->setTextFormat(Qt::RichText);
    m_close = new QToolButton(this);
    m_close->setObjectName(QStringLiteral("closePicture"));
    m_close->setAutoRaise(true);
    m_close->setToolTip(tr("Close the picture (Esc)"));
    m_close->setAccessibleName(tr("Close Picture"));
    connect(m_close, &QToolButton::clicked, this, &DraftPictureView::closeRequested);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(12, 8, 8, 4);
    header->addWidget(m_title, 1);
    header->addWidget(m_close);

    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_canvas = new PictureCanvas(m_scroll);
    m_canvas->setObjectName(QStringLiteral("pictureCanvas"));
    m_scroll->setWidget(m_canvas);
    m_scroll->viewport()->installEventFilter(this);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("pictureText"));
    m_text->setReadOnly(true);
    m_text->setFrameShape(QFrame::NoFrame);
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_text->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(header);
    m_legend->setContentsMargins(12, 0, 12, 8);
    layout->addWidget(m_legend);
    layout->addWidget(m_scroll, 1);
    layout->addWidget(m_text, 1);
}

void DraftPictureView::applyStyle()
{
    const QPalette& pal = palette();
    m_title->setFont(Palette::font(Palette::TextStyle::headline, font()));
    m_legend->setFont(Palette::font(Palette::TextStyle::caption, font()));
    Palette::setForeground(m_legend, Palette::secondaryText(pal));
    m_close->setIcon(Symbols::icon(QStringLiteral("xmark"), Palette::secondaryText(pal)));
    refreshMarks();
}

void DraftPictureView::showDraft(PostingDraft* draft)
{
    m_draft = draft;
    m_image = QImage();
    // A decode still running for the draft shown before finishes unheard.
    m_loading.reset();
    m_title->setText(draft ? draft->sourceLabel() : QString());
    const bool isImage = draft && draft->source().isImage();
    m_scroll->setVisible(isImage);
    m_text->setVisible(draft && !isImage);
    refreshMarks();
    static_cast<PictureCanvas*>(m_canvas)->show(QImage(), {}, {});
    if (!draft)
        return;
    if (!isImage) {
        showText();
        return;
    }
    // Decoded at the size the panel can show, twice that on a high-density screen.
    const qreal ratio = std::max(1.0, devicePixelRatioF());
    m_loading = std::make_unique<QFutureWatcher<QImage>>();
    QFutureWatcher<QImage>* watcher = m_loading.get();
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] { showImage(watcher->result()); });
    watcher->setFuture(DraftPictures::load(m_pool, draft->source(), QSize(int(900 * ratio), int(6000 * ratio))));
}

void DraftPictureView::refreshMarks()
{
    const PostingDraft* draft = m_draft.data();
    m_marks = draft ? DraftPictures::marksFor(*draft) : QList<DraftPictures::Mark>();
    QStringList legend;
    for (const DraftPictures::Mark& mark : std::as_const(m_marks)) {
        legend.append(QStringLiteral("<span style=\"color:%1\">■</span>&nbsp;%2")
                          .arg(Palette::textColor(mark.color, palette()).name(), mark.field.toHtmlEscaped()));
    }
    m_legend->setText(legend.join(QStringLiteral("&nbsp;&nbsp; ")));
    m_legend->setVisible(!legend.isEmpty());
    if (!draft)
        return;
    if (!draft->source().isImage())
        m_text->setExtraSelections(tintedLines(m_text, m_marks, palette()));
    else if (!m_image.isNull())
        static_cast<PictureCanvas*>(m_canvas)->show(m_image, draft->source().lines, m_marks);
}

void DraftPictureView::showImage(const QImage& image)
{
    const PostingDraft* draft = m_draft.data();
    if (!draft)
        return;
    m_image = image;
    auto* canvas = static_cast<PictureCanvas*>(m_canvas);
    canvas->fitWidth(m_scroll->viewport()->width());
    canvas->show(image, draft->source().lines, m_marks);
    const QRect first = canvas->firstFrame();
    if (!first.isNull())
        m_scroll->ensureVisible(first.center().x(), first.center().y(), 0, m_scroll->viewport()->height() / 3);
}

void DraftPictureView::showText()
{
    const PostingDraft* draft = m_draft.data();
    if (!draft)
        return;
    QStringList texts;
    for (const PostingLine& line : draft->source().lines)
        texts.append(line.text);
    m_text->setPlainText(texts.join(u'\n'));
    m_text->setExtraSelections(tintedLines(m_text, m_marks, palette()));
    if (!m_marks.isEmpty() && !m_marks.first().lines.isEmpty()) {
        m_text->setTextCursor(QTextCursor(m_text->document()->findBlockByNumber(m_marks.first().lines.first())));
        m_text->centerCursor();
    }
}

bool DraftPictureView::eventFilter(QObject* watched, QEvent* event)
{
    // The screenshot fills the panel's width; its height follows.
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize)
        static_cast<PictureCanvas*>(m_canvas)->fitWidth(m_scroll->viewport()->width());
    return QWidget::eventFilter(watched, event);
}

void DraftPictureView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        applyStyle();
    QWidget::changeEvent(event);
}
