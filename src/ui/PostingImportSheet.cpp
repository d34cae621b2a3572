#include "ui/PostingImportSheet.h"

#include "posting/PostingDraft.h"
#include "ui/ContentUnavailableView.h"
#include "ui/DraftRow.h"
#include "ui/FocusedActions.h"
#include "ui/Palette.h"
#include "ui/ProminentButton.h"
#include "ui/Symbols.h"

#include <QDragEnterEvent>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// A spinning arc: the desktop's indeterminate progress indicator.
class BusyIndicator : public QWidget {
public:
    BusyIndicator(int diameter, QWidget* parent)
        : QWidget(parent)
        , m_diameter(diameter)
    {
        setFixedSize(diameter, diameter);
        m_timer.setInterval(50);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            m_angle = (m_angle + 30) % 360;
            update();
        });
    }

protected:
    void showEvent(QShowEvent*) override { m_timer.start(); }
    void hideEvent(QHideEvent*) override { m_timer.stop(); }
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal pen = std::max(2.0, m_diameter / 10.0);
        const QRectF box = QRectF(rect()).adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2);
        const QColor ink = Palette::secondaryText(palette());
        painter.setPen(QPen(Palette::withAlpha(ink, 0.25), pen));
        painter.drawEllipse(box);
        painter.setPen(QPen(ink, pen, Qt::SolidLine, Qt::RoundCap));
        painter.drawArc(box, -m_angle * 16, 100 * 16);
    }

private:
    int m_diameter;
    int m_angle = 0;
    QTimer m_timer;
};

// A one-pixel line in the separator colour.
class Divider : public QWidget {
public:
    explicit Divider(QWidget* parent)
        : QWidget(parent)
    {
        setFixedHeight(1);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Palette::separator(palette()));
    }
};

NamedColor failureColor()
{
    return NamedColor::orange;
}

} // namespace

PostingImportSheet::PostingImportSheet(PostingImportSession& session, CommitAction onCommit, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_onCommit(std::move(onCommit))
{
    setObjectName(QStringLiteral("postingImportSheet"));
    setWindowTitle(tr("Review Detected Applications"));
    setWindowModality(Qt::WindowModal);
    setMinimumSize(minimumWidth, minimumHeight);
    setSizeGripEnabled(true);
    buildLayout();
    applyStyle();

    connect(&m_session, &PostingImportSession::draftsChanged, this, &PostingImportSheet::syncRows);
    connect(&m_session, &PostingImportSession::failuresChanged, this, &PostingImportSheet::syncFailures);
    connect(&m_session, &PostingImportSession::processingChanged, this, &PostingImportSheet::syncState);
    // A screenshot that takes long is named where "Reading…" stands; a long name loses
    // its middle rather than widening the sheet past its narrowest footer.
    connect(&m_session, &PostingImportSession::progressChanged, this,
        [this, reading = m_readingLabel->text(), footer = m_footerLabel->text()](const QString& progress) {
            const auto fit = [&progress](const QLabel* label) {
                return label->fontMetrics().elidedText(progress, Qt::ElideMiddle, minimumWidth / 2 + 40);
            };
            m_readingLabel->setText(progress.isEmpty() ? reading : fit(m_readingLabel));
            m_footerLabel->setText(progress.isEmpty() ? footer : fit(m_footerLabel));
        });
    // Whoever clears the session (Add, Cancel, the window) closes the sheet with it.
    // A session that goes away (its window closing) takes the sheet with it.
    // Hidden rather than finished: nobody may touch the session any more.
    connect(&m_session, &QObject::destroyed, this, [this] {
        m_finishing = true;
        hide();
        deleteLater();
    });
    connect(&m_session, &PostingImportSession::presentingChanged, this, [this](bool presenting) {
        if (!presenting && !m_finishing)
            cancel();
    });
    syncRows();
    syncFailures();
    resize(sizeHint());
}

PostingImportSheet::~PostingImportSheet() = default;

QSize PostingImportSheet::sizeHint() const
{
    return QSize(idealWidth, idealHeight);
}

QString PostingImportSheet::addTitle(qsizetype count)
{
    return tr("Add %n Applications", "Review sheet button; %n is the number of drafts to add", int(count));
}

void PostingImportSheet::buildLayout()
{
    // Header.
    m_title = new QLabel(tr("Review Detected Applications"), this);
    m_title->setObjectName(QStringLiteral("sheetTitle"));
    m_subtitle
        = new QLabel(tr("Check what was detected, fix anything wrong, then add. Nothing is saved until you do."), this);
    m_subtitle->setObjectName(QStringLiteral("sheetSubtitle"));
    m_subtitle->setWordWrap(true);
    auto* header = new QWidget(this);
    auto* headerLayout = new QVBoxLayout(header);
    headerLayout->setContentsMargins(16, 16, 16, 16);
    headerLayout->setSpacing(4);
    headerLayout->addWidget(m_title);
    headerLayout->addWidget(m_subtitle);

    // Content: reading, nothing read, review.
    m_content = new QStackedWidget(this);
    m_content->setObjectName(QStringLiteral("sheetContent"));

    m_readingPage = new QWidget(m_content);
    m_readingPage->setObjectName(QStringLiteral("readingPage"));
    auto* reading = new QVBoxLayout(m_readingPage);
    reading->addStretch(1);
    auto* spinner = new BusyIndicator(28, m_readingPage);
    spinner->setObjectName(QStringLiteral("readingIndicator"));
    reading->addWidget(spinner, 0, Qt::AlignHCenter);
    reading->addSpacing(10);
    m_readingLabel = new QLabel(tr("Reading screenshots…"), m_readingPage);
    m_readingLabel->setObjectName(QStringLiteral("readingLabel"));
    reading->addWidget(m_readingLabel, 0, Qt::AlignHCenter);
    reading->addStretch(1);

    m_nothingRead = new ContentUnavailableView(m_content);
    m_nothingRead->setObjectName(QStringLiteral("nothingReadView"));
    m_nothingRead->setSymbol(QStringLiteral("text.viewfinder"));
    m_nothingRead->setTitle(tr("Nothing could be read"));
    m_nothingRead->setDescription(tr("No job posting fields were found in these screenshots. Try a shot that "
                                     "includes the job title and company name."));
    m_nothingRead->setMaximumColumnWidth(420);

    m_scroll = new QScrollArea(m_content);
    m_scroll->setObjectName(QStringLiteral("draftList"));
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* list = new QWidget(m_scroll);
    list->setObjectName(QStringLiteral("draftRows"));
    m_rowLayout = new QVBoxLayout(list);
    m_rowLayout->setContentsMargins(16, 16, 16, 16);
    m_rowLayout->setSpacing(10);
    m_rowLayout->addStretch(1);
    m_scroll->setWidget(list);

    m_content->addWidget(m_readingPage);
    m_content->addWidget(m_nothingRead);
    m_content->addWidget(m_scroll);

    // Failure lines, under the content in every state.
    m_failures = new QWidget(this);
    m_failures->setObjectName(QStringLiteral("failureLines"));
    m_failureLayout = new QVBoxLayout(m_failures);
    m_failureLayout->setContentsMargins(16, 8, 16, 8);
    m_failureLayout->setSpacing(4);

    // Footer.
    auto* footer = new QWidget(this);
    footer->setObjectName(QStringLiteral("sheetFooter"));
    auto* footerLayout = new QHBoxLayout(footer);
    footerLayout->setContentsMargins(16, 16, 16, 16);
    footerLayout->setSpacing(8);
    m_footerIndicator = new QWidget(footer);
    m_footerIndicator->setObjectName(QStringLiteral("footerReading"));
    auto* indicatorLayout = new QHBoxLayout(m_footerIndicator);
    indicatorLayout->setContentsMargins(0, 0, 0, 0);
    indicatorLayout->setSpacing(6);
    indicatorLayout->addWidget(new BusyIndicator(14, m_footerIndicator));
    m_footerLabel = new QLabel(tr("Reading…"), m_footerIndicator);
    indicatorLayout->addWidget(m_footerLabel);
    footerLayout->addWidget(m_footerIndicator);
    m_hint = new QLabel(footer);
    m_hint->setObjectName(QStringLiteral("sheetHint"));
    m_hint->setWordWrap(true);
    m_hint->hide();
    m_hintTimer = new QTimer(this);
    m_hintTimer->setSingleShot(true);
    m_hintTimer->setInterval(5000);
    connect(m_hintTimer, &QTimer::timeout, m_hint, &QWidget::hide);
    footerLayout->addWidget(m_hint, 1);
    footerLayout->addStretch(0);
    m_cancel = new QPushButton(tr("Cancel"), footer);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    m_cancel->setAutoDefault(false);
    m_add = new ProminentButton(addTitle(0), footer);
    m_add->setObjectName(QStringLiteral("addButton"));
    m_add->setDefault(true);
    footerLayout->addWidget(m_cancel);
    footerLayout->addWidget(m_add);
    connect(m_cancel, &QPushButton::clicked, this, &PostingImportSheet::cancel);
    // The window's "Paste Job Posting" shortcut, pressed while the review is open.
    for (const QKeySequence& keys : FocusedActions::shortcuts(FocusedActions::Key::pastePosting)) {
        auto* paste = new QShortcut(keys, this);
        connect(paste, &QShortcut::activated, this,
            [this] { showHint(tr("Add or cancel these first, then paste the next posting.")); });
    }
    setAcceptDrops(true);
    connect(m_add, &QPushButton::clicked, this, &PostingImportSheet::add);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(header);
    layout->addWidget(new Divider(this));
    layout->addWidget(m_content, 1);
    layout->addWidget(m_failures);
    layout->addWidget(new Divider(this));
    layout->addWidget(footer);
}

void PostingImportSheet::applyStyle()
{
    const QPalette& pal = palette();
    m_title->setFont(Palette::font(Palette::TextStyle::headline, font()));
    m_subtitle->setFont(Palette::font(Palette::TextStyle::subheadline, font()));
    Palette::setForeground(m_subtitle, Palette::secondaryText(pal));
    Palette::setForeground(m_readingLabel, Palette::secondaryText(pal));
    Palette::setForeground(m_footerLabel, Palette::secondaryText(pal));
    m_hint->setFont(Palette::font(Palette::TextStyle::callout, font()));
    Palette::setForeground(m_hint, Palette::textColor(NamedColor::blue, pal));
    const QFont caption = Palette::font(Palette::TextStyle::caption, font());
    const QColor orange = Palette::textColor(failureColor(), pal);
    for (QLabel* label : std::as_const(m_failureLabels)) {
        label->setFont(caption);
        Palette::setForeground(label, orange);
    }
    const int iconSize = QFontMetrics(caption).height();
    for (QLabel* icon : std::as_const(m_failureIcons)) {
        icon->setPixmap(
            Symbols::pixmap(QStringLiteral("exclamationmark.triangle"), orange, iconSize, devicePixelRatioF()));
        icon->setFixedSize(iconSize, iconSize);
    }
    // The rows scroll over the sheet's own background.
    m_scroll->viewport()->setAutoFillBackground(false);
    m_scroll->widget()->setAutoFillBackground(false);
}

void PostingImportSheet::syncRows()
{
    const QList<PostingDraft*>& drafts = m_session.drafts();
    // Drafts only ever arrive at the end or all go at once: keep the rows that
    // still match, in order, and drop the rest.
    qsizetype kept = 0;
    while (kept < m_rows.size() && kept < drafts.size() && m_rows[kept]->draft() == drafts[kept])
        ++kept;
    while (m_rows.size() > kept) {
        DraftRow* row = m_rows.takeLast();
        row->hide();
        row->deleteLater();
    }
    for (qsizetype i = kept; i < drafts.size(); ++i) {
        auto* row = new DraftRow(*drafts[i], m_scroll->widget());
        connect(drafts[i], &PostingDraft::changed, this, &PostingImportSheet::updateAddButton);
        connect(drafts[i], &PostingDraft::changed, row, [this, row] { updateExistingRecord(row); });
        connect(row, &DraftRow::existingRecordRequested, this, [this](JobApplication* record) {
            if (m_showRecord && record)
                m_showRecord(*record);
        });
        updateExistingRecord(row);
        // Before the trailing stretch.
        m_rowLayout->insertWidget(m_rowLayout->count() - 1, row);
        m_rows.append(row);
    }
    syncState();
}

void PostingImportSheet::syncFailures()
{
    const QStringList& failures = m_session.failures();
    while (m_failureLabels.size() > failures.size()) {
        m_failureLabels.takeLast()->parentWidget()->deleteLater();
        m_failureIcons.removeLast();
    }
    for (qsizetype i = 0; i < failures.size(); ++i) {
        if (i < m_failureLabels.size()) {
            m_failureLabels[i]->setText(failures[i]);
            continue;
        }
        auto* line = new QWidget(m_failures);
        line->setObjectName(QStringLiteral("failureLine"));
        auto* lineLayout = new QHBoxLayout(line);
        lineLayout->setContentsMargins(0, 0, 0, 0);
        lineLayout->setSpacing(6);
        auto* icon = new QLabel(line);
        auto* text = new QLabel(failures[i], line);
        text->setObjectName(QStringLiteral("failureText"));
        text->setTextFormat(Qt::PlainText);
        text->setWordWrap(true);
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        lineLayout->addWidget(icon, 0, Qt::AlignTop);
        lineLayout->addWidget(text, 1);
        m_failureLayout->addWidget(line);
        m_failureLabels.append(text);
        m_failureIcons.append(icon);
    }
    m_failures->setVisible(!failures.isEmpty());
    applyStyle();
}

void PostingImportSheet::syncState()
{
    if (!m_rows.isEmpty())
        m_content->setCurrentWidget(m_scroll);
    else if (m_session.isProcessing())
        m_content->setCurrentWidget(m_readingPage);
    else
        m_content->setCurrentWidget(m_nothingRead);
    m_footerIndicator->setVisible(m_session.isProcessing());
    updateAddButton();
}

void PostingImportSheet::setExistingRecords(RecordFinder find, RecordAction show)
{
    m_findRecord = std::move(find);
    m_showRecord = std::move(show);
    for (DraftRow* row : std::as_const(m_rows))
        updateExistingRecord(row);
}

void PostingImportSheet::updateExistingRecord(DraftRow* row)
{
    const PostingDraft* draft = row->draft();
    row->setExistingRecord(m_findRecord && draft ? m_findRecord(*draft) : nullptr);
}

void PostingImportSheet::updateAddButton()
{
    const qsizetype count = m_session.chosenDrafts().size();
    m_add->setText(addTitle(count));
    m_add->setEnabled(count > 0);
    m_add->updateGeometry();
}

PostingImportSheet::Content PostingImportSheet::content() const
{
    if (m_content->currentWidget() == m_scroll)
        return Content::review;
    if (m_content->currentWidget() == m_readingPage)
        return Content::reading;
    return Content::nothingRead;
}

QStringList PostingImportSheet::failureTexts() const
{
    QStringList texts;
    for (const QLabel* label : m_failureLabels)
        texts.append(label->text());
    return texts;
}

void PostingImportSheet::showHint(const QString& text)
{
    m_hint->setText(text);
    m_hint->show();
    m_hintTimer->start();
}

void PostingImportSheet::dragEnterEvent(QDragEnterEvent* event)
{
    if (!event->mimeData() || !event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    showHint(tr("Add or cancel these first, then drop the new screenshots."));
    // Taken only to keep the hint up while the files are over the sheet; the drop
    // itself is refused below.
    event->acceptProposedAction();
}

void PostingImportSheet::dragLeaveEvent(QDragLeaveEvent* event)
{
    m_hintTimer->start(1500);
    event->accept();
}

void PostingImportSheet::dropEvent(QDropEvent* event)
{
    m_hintTimer->start(3000);
    event->setDropAction(Qt::IgnoreAction);
    event->ignore();
}

void PostingImportSheet::cancel()
{
    if (m_finishing)
        return;
    m_finishing = true;
    m_session.reset();
    QDialog::done(QDialog::Rejected);
}

void PostingImportSheet::add()
{
    if (m_finishing)
        return;
    const QList<PostingDraft*> chosen = m_session.chosenDrafts();
    if (chosen.isEmpty())
        return;
    m_finishing = true;
    if (m_onCommit)
        m_onCommit(chosen);
    m_session.reset();
    QDialog::done(QDialog::Accepted);
}

void PostingImportSheet::reject()
{
    cancel();
}

void PostingImportSheet::accept()
{
    add();
}

void PostingImportSheet::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        applyStyle();
    QDialog::changeEvent(event);
}
