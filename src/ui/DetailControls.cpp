#include "ui/DetailControls.h"

#include "ui/Palette.h"
#include "ui/Symbols.h"

#include <QAbstractTextDocumentLayout>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QScrollBar>
#include <QTextCharFormat>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace {
constexpr int symbolButtonSize = 18;
} // namespace

namespace DetailControls {

QLineEdit* lineEdit(const QString& prompt, const char* name, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setPlaceholderText(prompt);
    edit->setClearButtonEnabled(false);
    return edit;
}

QToolButton* symbolButton(const QString& symbol, const char* name, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoRaise(true);
    button->setIconSize(QSize(symbolButtonSize, symbolButtonSize));
    button->setIcon(Symbols::icon(symbol, parent->palette().color(QPalette::Active, QPalette::Highlight)));
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

QWidget* fieldWithButton(QLineEdit* field, QToolButton* button)
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(field, 1);
    layout->addWidget(button);
    field->setParent(row);
    button->setParent(row);
    return row;
}

QDateEdit* dateEdit(const char* name)
{
    auto* edit = new QDateEdit;
    edit->setObjectName(QLatin1String(name));
    edit->setCalendarPopup(true);
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    edit->setDisplayFormat(format);
    edit->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    return edit;
}

QDateTime onDay(const QDate& day, const QDateTime& keepTimeOf)
{
    return QDateTime(day, keepTimeOf.toLocalTime().time(), Qt::LocalTime);
}

} // namespace DetailControls

PastCalendar::PastCalendar(QWidget* parent)
    : QCalendarWidget(parent)
{
    setObjectName(QStringLiteral("pastCalendar"));
    connect(this, &QCalendarWidget::currentPageChanged, this, &PastCalendar::markLaterDays);
}

void PastCalendar::markLaterDays()
{
    QTextCharFormat later;
    later.setForeground(palette().color(QPalette::Disabled, QPalette::Text));
    // A null date clears every day's own format.
    setDateTextFormat(QDate(), QTextCharFormat());
    // The page shows its month and up to two weeks of the months beside it.
    const QDate first(yearShown(), monthShown(), 1);
    const QDate end = first.addMonths(1).addDays(14);
    for (QDate day = std::max(first.addDays(-14), maximumDate().addDays(1)); day <= end; day = day.addDays(1))
        setDateTextFormat(day, later);
}

void PastCalendar::showEvent(QShowEvent* event)
{
    markLaterDays();
    QCalendarWidget::showEvent(event);
}

GrowingTextEdit::GrowingTextEdit(int minimumLines, int maximumLines, QWidget* parent)
    : QPlainTextEdit(parent)
    , m_minimumLines(minimumLines)
    , m_maximumLines(maximumLines)
{
    setTabChangesFocus(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    verticalScrollBar()->setStyleSheet(Palette::slimScrollBarStyleSheet(palette()));
    connect(document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this, [this] { fit(); });
    fit();
}

void GrowingTextEdit::resizeEvent(QResizeEvent* event)
{
    QPlainTextEdit::resizeEvent(event);
    fit();
}

void GrowingTextEdit::fit()
{
    // A plain-text document measures its height in visual lines, wrapped ones included.
    const int lines
        = std::clamp(int(document()->documentLayout()->documentSize().height()), m_minimumLines, m_maximumLines);
    const QMargins margins = contentsMargins();
    const int frame = margins.top() + margins.bottom() + int(std::ceil(2 * document()->documentMargin())) + 2;
    const int height = lines * fontMetrics().lineSpacing() + frame;
    if (height != this->height())
        setFixedHeight(height);
}
