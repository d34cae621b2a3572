#include "ui/MailImportSheet.h"

#include "mail/MailImportSession.h"
#include "ui/ContentUnavailableView.h"
#include "ui/FailureList.h"
#include "ui/MailUpdateRow.h"
#include "ui/Palette.h"
#include "ui/PostingImportSheet.h"
#include "ui/ProminentButton.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

QFrame* divider(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setObjectName(QStringLiteral("sheetDivider"));
    return line;
}

} // namespace

MailImportSheet::MailImportSheet(MailImportSession& session, ApplyAction onApply, QWidget* parent)
    : QDialog(parent)
    , m_session(session)
    , m_onApply(std::move(onApply))
{
    setObjectName(QStringLiteral("mailImportSheet"));
    setWindowTitle(tr("Review Mail Updates"));
    setWindowModality(Qt::WindowModal);
    // The posting review's size: the two reviews look alike.
    setMinimumSize(PostingImportSheet::minimumWidth, PostingImportSheet::minimumHeight);
    setSizeGripEnabled(true);
    buildLayout();
    applyStyle();

    connect(&m_session, &MailImportSession::updatesChanged, this, &MailImportSheet::syncRows);
    connect(&m_session, &MailImportSession::failuresChanged, this, &MailImportSheet::syncFailures);
    connect(&m_session, &MailImportSession::processingChanged, this, &MailImportSheet::syncState);
    connect(&m_session, &MailImportSession::updateChanged, this, &MailImportSheet::updateApplyButton);
    connect(&m_session, &QObject::destroyed, this, [this] {
        m_finishing = true;
        hide();
        deleteLater();
    });
    connect(&m_session, &MailImportSession::presentingChanged, this, [this](bool presenting) {
        if (!presenting && !m_finishing)
            cancel();
    });
    syncRows();
    syncFailures();
    resize(sizeHint());
}

MailImportSheet::~MailImportSheet() = default;

QSize MailImportSheet::sizeHint() const
{
    return QSize(PostingImportSheet::idealWidth, PostingImportSheet::idealHeight);
}

QString MailImportSheet::applyTitle(qsizetype count)
{
    return tr("Apply %n Changes", "Mail review button; %n is the number of changes", int(count));
}

void MailImportSheet::buildLayout()
{
    m_title = new QLabel(tr("Review Mail Updates"), this);
    m_title->setObjectName(QStringLiteral("sheetTitle"));
    m_subtitle = new QLabel(
        tr("Check which application each message is about and what it changes. Nothing changes until you apply."),
        this);
    m_subtitle->setObjectName(QStringLiteral("sheetSubtitle"));
    m_subtitle->setWordWrap(true);
    auto* header = new QWidget(this);
    auto* headerLayout = new QVBoxLayout(header);
    headerLayout->setContentsMargins(16, 16, 16, 16);
    headerLayout->setSpacing(4);
    headerLayout->addWidget(m_title);
    headerLayout->addWidget(m_subtitle);

    m_content = new QStackedWidget(this);
    m_content->setObjectName(QStringLiteral("sheetContent"));
    m_readingPage = new QLabel(tr("Reading messages…"), m_content);
    m_readingPage->setObjectName(QStringLiteral("readingPage"));
    m_readingPage->setAlignment(Qt::AlignCenter);
    m_nothingRead = new ContentUnavailableView(m_content);
    m_nothingRead->setObjectName(QStringLiteral("nothingReadView"));
    m_nothingRead->setSymbol(QStringLiteral("envelope"));
    m_nothingRead->setTitle(tr("No messages could be read"));
    m_nothingRead->setDescription(tr("Drop messages saved from your mail program (.eml), a mailbox export (.mbox), "
                                     "or paste a message with its headers."));
    m_nothingRead->setMaximumColumnWidth(420);
    m_scroll = new QScrollArea(m_content);
    m_scroll->setObjectName(QStringLiteral("updateList"));
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* list = new QWidget(m_scroll);
    m_rowLayout = new QVBoxLayout(list);
    m_rowLayout->setContentsMargins(16, 16, 16, 16);
    m_rowLayout->setSpacing(10);
    m_rowLayout->addStretch(1);
    m_scroll->setWidget(list);
    m_content->addWidget(m_readingPage);
    m_content->addWidget(m_nothingRead);
    m_content->addWidget(m_scroll);

    m_failures = new FailureList(tr("Messages that could not be read"), this);

    auto* footer = new QWidget(this);
    auto* footerLayout = new QHBoxLayout(footer);
    footerLayout->setContentsMargins(16, 16, 16, 16);
    footerLayout->setSpacing(8);
    m_footerIndicator = new QLabel(tr("Reading…"), footer);
    m_footerIndicator->setObjectName(QStringLiteral("footerReading"));
    footerLayout->addWidget(m_footerIndicator);
    footerLayout->addStretch(1);
    m_cancel = new QPushButton(tr("Cancel"), footer);
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    m_cancel->setAutoDefault(false);
    m_apply = new ProminentButton(applyTitle(0), footer);
    m_apply->setObjectName(QStringLiteral("applyButton"));
    m_apply->setDefault(true);
    footerLayout->addWidget(m_cancel);
    footerLayout->addWidget(m_apply);
    connect(m_cancel, &QPushButton::clicked, this, &MailImportSheet::cancel);
    connect(m_apply, &QPushButton::clicked, this, &MailImportSheet::apply);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(header);
    layout->addWidget(divider(this));
    layout->addWidget(m_content, 1);
    layout->addWidget(m_failures);
    layout->addWidget(divider(this));
    layout->addWidget(footer);
}

void MailImportSheet::applyStyle()
{
    const QPalette& pal = palette();
    m_title->setFont(Palette::font(Palette::TextStyle::headline, font()));
    m_subtitle->setFont(Palette::font(Palette::TextStyle::subheadline, font()));
    Palette::setForeground(m_subtitle, Palette::secondaryText(pal));
    Palette::setForeground(m_readingPage, Palette::secondaryText(pal));
    Palette::setForeground(m_footerIndicator, Palette::secondaryText(pal));
    for (QFrame* line : findChildren<QFrame*>(QStringLiteral("sheetDivider"))) {
        QPalette linePalette = line->palette();
        linePalette.setColor(QPalette::WindowText, Palette::separator(pal));
        line->setPalette(linePalette);
    }
    m_scroll->viewport()->setAutoFillBackground(false);
    m_scroll->widget()->setAutoFillBackground(false);
}

void MailImportSheet::syncRows()
{
    const QList<MailUpdate*>& updates = m_session.updates();
    qsizetype kept = 0;
    while (kept < m_rows.size() && kept < updates.size() && m_rows[kept]->update() == updates[kept])
        ++kept;
    while (m_rows.size() > kept) {
        MailUpdateRow* row = m_rows.takeLast();
        row->hide();
        row->deleteLater();
    }
    for (qsizetype i = kept; i < updates.size(); ++i) {
        auto* row = new MailUpdateRow(*updates[i], m_scroll->widget());
        m_rowLayout->insertWidget(m_rowLayout->count() - 1, row);
        m_rows.append(row);
    }
    syncState();
}

void MailImportSheet::syncFailures()
{
    m_failures->sync(m_session.failures());
}

void MailImportSheet::syncState()
{
    if (!m_rows.isEmpty())
        m_content->setCurrentWidget(m_scroll);
    else if (m_session.isProcessing())
        m_content->setCurrentWidget(m_readingPage);
    else
        m_content->setCurrentWidget(m_nothingRead);
    m_footerIndicator->setVisible(m_session.isProcessing());
    updateApplyButton();
}

void MailImportSheet::updateApplyButton()
{
    const qsizetype count = m_session.chosenCount();
    m_apply->setText(applyTitle(count));
    m_apply->setEnabled(count > 0);
    m_apply->updateGeometry();
}

MailImportSheet::Content MailImportSheet::content() const
{
    if (m_content->currentWidget() == m_scroll)
        return Content::review;
    if (m_content->currentWidget() == m_readingPage)
        return Content::reading;
    return Content::nothingRead;
}

QStringList MailImportSheet::failureTexts() const
{
    return m_failures->texts();
}

void MailImportSheet::cancel()
{
    if (m_finishing)
        return;
    m_finishing = true;
    m_session.reset();
    QDialog::done(QDialog::Rejected);
}

void MailImportSheet::apply()
{
    if (m_finishing)
        return;
    const QList<MailStatusUpdate> changes = m_session.chosenChanges();
    if (changes.isEmpty())
        return;
    m_finishing = true;
    if (m_onApply)
        m_onApply(changes);
    m_session.reset();
    QDialog::done(QDialog::Accepted);
}

void MailImportSheet::reject()
{
    cancel();
}

void MailImportSheet::accept()
{
    apply();
}

void MailImportSheet::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        applyStyle();
    QDialog::changeEvent(event);
}
