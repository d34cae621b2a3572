#include "ui/StoreErrorView.h"

#include "ui/ContentUnavailableView.h"
#include "ui/Palette.h"

#include <QAction>
#include <QClipboard>
#include <QDesktopServices>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QTextLayout>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr QChar nonBreakingHyphen(0x2011);
constexpr QChar wordJoiner(0x2060);
constexpr QChar zeroWidthSpace(0x200B);

// The failure text on a faint rounded background, like a code block.
class MessageBox : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        QColor fill = Palette::quaternaryFill(palette());
        fill.setAlphaF(fill.alphaF() * float(StoreErrorView::messageBackgroundOpacity));
        painter.setBrush(fill);
        painter.drawRoundedRect(
            QRectF(rect()), StoreErrorView::messageCornerRadius, StoreErrorView::messageCornerRadius);
    }
};

// A selectable label that shows at most a few lines of its text, eliding the
// rest; the full text is its tooltip then. What it shows is laid out for the
// window (StoreErrorView::forDisplay); what is copied from it is the text itself.
class ElidedMessageLabel : public QLabel {
public:
    ElidedMessageLabel(QString text, QWidget* parent)
        : QLabel(parent)
        , m_full(std::move(text))
        , m_display(StoreErrorView::forDisplay(m_full))
    {
        setTextFormat(Qt::PlainText);
        setWordWrap(true);
        setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        setCursor(Qt::IBeamCursor);
        setAlignment(Qt::AlignLeft | Qt::AlignTop);
        setContextMenuPolicy(Qt::CustomContextMenu);
        connect(this, &QWidget::customContextMenuRequested, this, &ElidedMessageLabel::showMenu);
        setText(m_display);
    }

    // Shows the text for a label `width` pixels wide.
    void fit(int width)
    {
        const QString shown
            = StoreErrorView::elideToLines(m_display, font(), width, StoreErrorView::maximumMessageLines);
        if (shown != text())
            setText(shown);
        setToolTip(shown == m_display ? QString() : m_full);
        setFixedWidth(width);
        setMinimumHeight(0);
        const int limit = QFontMetrics(font()).lineSpacing() * StoreErrorView::maximumMessageLines;
        setFixedHeight(std::min(heightForWidth(width), limit));
    }

    void copy() const
    {
        const QString selected = hasSelectedText() ? selectedText() : text();
        QGuiApplication::clipboard()->setText(StoreErrorView::fromDisplay(selected));
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (event == QKeySequence::Copy) {
            copy();
            return;
        }
        QLabel::keyPressEvent(event);
    }

private:
    void showMenu(const QPoint& at)
    {
        QMenu menu(this);
        menu.addAction(StoreErrorView::tr("&Copy"), this, &ElidedMessageLabel::copy);
        menu.addAction(StoreErrorView::tr("Select &All"), this, [this] { setSelection(0, int(text().size())); });
        menu.exec(mapToGlobal(at));
    }

    QString m_full;
    QString m_display;
};

} // namespace

StoreErrorView::StoreErrorView(QString message, QString dataDirectory, Opener opener, QWidget* parent)
    : QWidget(parent)
    , m_message(std::move(message))
    , m_dataDirectory(std::move(dataDirectory))
    , m_opener(std::move(opener))
    , m_content(new ContentUnavailableView(this))
    , m_intro(new QLabel)
    , m_messageBox(new MessageBox)
    , m_messageLabel(nullptr)
{
    setObjectName(QStringLiteral("storeErrorView"));
    m_content->setSymbol(QStringLiteral("exclamationmark.triangle.fill"));
    m_content->setTitle(tr("Database Could Not Be Opened"));

    auto* description = new QWidget;
    description->setObjectName(QStringLiteral("storeErrorDescription"));
    description->installEventFilter(this);
    // Exactly as tall as its parts: extra height belongs to the panel's margins.
    description->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* stack = new QVBoxLayout(description);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(descriptionSpacing);

    m_intro->setObjectName(QStringLiteral("storeErrorText"));
    m_intro->setText(tr("Your applications are still on disk. Applywright could not open the database — this usually "
                        "happens after an update that changed the data format."));
    m_intro->setTextFormat(Qt::PlainText);
    m_intro->setWordWrap(true);
    m_intro->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    stack->addWidget(m_intro);

    m_messageBox->setObjectName(QStringLiteral("storeErrorMessageBox"));
    m_messageBox->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* boxLayout = new QVBoxLayout(m_messageBox);
    boxLayout->setContentsMargins(messagePadding, messagePadding, messagePadding, messagePadding);
    m_messageLabel = new ElidedMessageLabel(m_message, m_messageBox);
    m_messageLabel->setObjectName(QStringLiteral("storeErrorMessage"));
    m_messageLabel->setAccessibleName(tr("Error message"));
    boxLayout->addWidget(m_messageLabel);
    stack->addWidget(m_messageBox);

    m_content->setMaximumColumnWidth(descriptionWidth);
    m_content->setDescriptionWidget(description);
    m_content->setAction(revealButtonTitle(), [this] { reveal(); });
    m_content->actionButton()->setObjectName(QStringLiteral("revealDataFolderButton"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_content);
    applyStyle();
}

QPushButton* StoreErrorView::revealButton() const
{
    return m_content->actionButton();
}

QString StoreErrorView::revealButtonTitle()
{
#ifdef Q_OS_MACOS
    return tr("Show Data Folder in Finder");
#else
    return tr("Show Data Folder in File Manager");
#endif
}

QString StoreErrorView::elideToLines(const QString& text, const QFont& font, int width, int maxLines)
{
    if (width <= 0 || maxLines <= 0)
        return text;
    // Line breaks in the text are lines of their own, as the label shows them.
    QString laidOut = text;
    laidOut.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(laidOut, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    int lines = 0;
    QString result = text;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        if (++lines < maxLines)
            continue;
        const int end = line.textStart() + line.textLength();
        if (end < text.size()) {
            QString rest = text.mid(line.textStart());
            rest.replace(QLatin1Char('\n'), QLatin1Char(' '));
            const QFontMetrics metrics(font);
            // Elide the tail so the last line ends in "…" even when it would fit.
            QString last = metrics.elidedText(rest, Qt::ElideRight, width);
            if (last == rest)
                last = rest + QChar(0x2026);
            result = text.left(line.textStart()) + last;
        }
        break;
    }
    layout.endLayout();
    return result;
}

QString StoreErrorView::forDisplay(const QString& message)
{
    // Paths are quoted (“/home/…/Applywright.sqlite”); text outside quotes wraps as usual.
    QString shown;
    shown.reserve(message.size() + 32);
    bool inPath = false;
    for (qsizetype i = 0; i < message.size(); ++i) {
        const QChar c = message.at(i);
        if (c == QChar(0x201C)) {
            const qsizetype end = message.indexOf(QChar(0x201D), i + 1);
            const QStringView quoted = QStringView(message).mid(i + 1, end < 0 ? -1 : end - i - 1);
            inPath = quoted.contains(QLatin1Char('/')) || quoted.contains(QLatin1Char('\\'));
        } else if (c == QChar(0x201D)) {
            inPath = false;
        }
        if (!inPath) {
            shown += c;
            continue;
        }
        if (c == QLatin1Char('-')) {
            shown += nonBreakingHyphen;
        } else if (c == QLatin1Char('/') || c == QLatin1Char('\\')) {
            // A line may end after a separator, and only there.
            shown += c;
            shown += zeroWidthSpace;
        } else {
            shown += c;
            // Glue the rest of a name together: no break before or after a dot, a
            // bracket or any other mark.
            const bool nextEndsName = i + 1 >= message.size() || message.at(i + 1) == QLatin1Char('/')
                || message.at(i + 1) == QLatin1Char('\\') || message.at(i + 1) == QChar(0x201D);
            if (!nextEndsName && !(c.isLetterOrNumber() && message.at(i + 1).isLetterOrNumber()))
                shown += wordJoiner;
        }
    }
    return shown;
}

QString StoreErrorView::fromDisplay(const QString& shown)
{
    QString text;
    text.reserve(shown.size());
    for (const QChar c : shown) {
        if (c == nonBreakingHyphen)
            text += QLatin1Char('-');
        else if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            text += QLatin1Char('\n');
        else if (c != zeroWidthSpace && c != wordJoiner)
            text += c;
    }
    return text;
}

bool StoreErrorView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && watched == m_intro->parentWidget())
        fitDescription(static_cast<QWidget*>(watched)->width());
    return QWidget::eventFilter(watched, event);
}

void StoreErrorView::fitDescription(int width)
{
    // QLabel::heightForWidth never answers less than the minimum height: clear it first.
    m_intro->setMinimumHeight(0);
    m_intro->setFixedHeight(m_intro->heightForWidth(width));
    static_cast<ElidedMessageLabel*>(m_messageLabel)->fit(width - 2 * messagePadding);
}

void StoreErrorView::reveal()
{
    // Only shows the folder; nothing is created or changed there.
    const QUrl folder = QUrl::fromLocalFile(m_dataDirectory);
    if (m_opener)
        m_opener(folder);
    else
        QDesktopServices::openUrl(folder);
}

void StoreErrorView::applyStyle()
{
    m_intro->setFont(Palette::font(Palette::TextStyle::body, font()));
    Palette::setForeground(m_intro, Palette::secondaryText(palette()));

    m_messageLabel->setFont(Palette::monospacedFont(Palette::TextStyle::caption, font()));
    Palette::setForeground(m_messageLabel, Palette::secondaryText(palette()));
    if (QWidget* description = m_intro->parentWidget(); description && description->width() > 0)
        fitDescription(description->width());
}

void StoreErrorView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        applyStyle();
    QWidget::changeEvent(event);
}
