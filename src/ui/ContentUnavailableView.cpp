#include "ui/ContentUnavailableView.h"

#include "ui/Palette.h"
#include "ui/ProminentButton.h"
#include "ui/Symbols.h"

#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int symbolSize = 44;
constexpr int margin = 20;
} // namespace

ContentUnavailableView::ContentUnavailableView(QWidget* parent)
    : QWidget(parent)
    , m_symbolLabel(new QLabel(this))
    , m_title(new QLabel(this))
    , m_description(new QLabel(this))
    , m_button(new ProminentButton(QString(), this))
    , m_layout(new QVBoxLayout(this))
{
    m_symbolLabel->setObjectName(QStringLiteral("symbol"));
    m_symbolLabel->setAlignment(Qt::AlignCenter);
    m_title->setObjectName(QStringLiteral("title"));
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setWordWrap(true);
    m_title->setTextFormat(Qt::PlainText);
    m_description->setObjectName(QStringLiteral("description"));
    m_description->setAlignment(Qt::AlignCenter);
    m_description->setWordWrap(true);
    m_description->setTextFormat(Qt::PlainText);
    m_button->setObjectName(QStringLiteral("actionButton"));
    m_button->hide();
    connect(m_button, &QPushButton::clicked, this, [this] {
        if (m_action)
            m_action();
    });

    m_layout->setContentsMargins(margin, margin, margin, margin);
    m_layout->setSpacing(0);
    m_layout->addStretch(1);
    m_layout->addWidget(m_symbolLabel, 0, Qt::AlignHCenter);
    m_layout->addSpacing(12);
    m_layout->addWidget(m_title, 0, Qt::AlignHCenter);
    m_layout->addSpacing(6);
    m_layout->addWidget(m_description, 0, Qt::AlignHCenter);
    m_layout->addSpacing(16);
    m_layout->addWidget(m_button, 0, Qt::AlignHCenter);
    m_layout->addStretch(1);
    applyStyle();
}

void ContentUnavailableView::setSymbol(const QString& symbol)
{
    m_symbol = symbol;
    applyStyle();
}

void ContentUnavailableView::setTitle(const QString& title)
{
    m_title->setText(title);
    relayout();
}

QString ContentUnavailableView::title() const
{
    return m_title->text();
}

void ContentUnavailableView::setDescription(const QString& description)
{
    m_description->setText(description);
    m_description->setVisible(!description.isEmpty() && !m_descriptionWidget);
    relayout();
}

QString ContentUnavailableView::description() const
{
    return m_description->text();
}

void ContentUnavailableView::setDescriptionWidget(QWidget* widget)
{
    if (m_descriptionWidget)
        m_descriptionWidget->deleteLater();
    m_descriptionWidget = widget;
    m_description->hide();
    if (widget) {
        widget->setParent(this);
        m_layout->insertWidget(m_layout->indexOf(m_description) + 1, widget, 0, Qt::AlignHCenter);
    }
    relayout();
}

void ContentUnavailableView::setMaximumColumnWidth(int width)
{
    m_maximumColumnWidth = width;
    relayout();
}

namespace {

// The narrowest width at which `label` needs no more lines than at `width`: the
// lines come out even, and no word is left alone on the last one.
int balancedWidth(const QLabel* label, int width)
{
    const int height = label->heightForWidth(width);
    int narrow = width / 2;
    int wide = width;
    while (narrow < wide) {
        const int middle = (narrow + wide) / 2;
        if (label->heightForWidth(middle) <= height)
            wide = middle;
        else
            narrow = middle + 1;
    }
    return wide;
}

} // namespace

void ContentUnavailableView::relayout()
{
    const int available = width() - 2 * margin;
    m_columnWidth = std::max(160, std::min(m_maximumColumnWidth, available));
    for (QLabel* label : {m_title, m_description}) {
        // QLabel::heightForWidth never answers less than the minimum height: clear it first.
        label->setMinimumHeight(0);
        label->setMinimumWidth(0);
        label->setMaximumWidth(QWIDGETSIZE_MAX);
        const int width = label->text().isEmpty() ? m_columnWidth : balancedWidth(label, m_columnWidth);
        label->setFixedWidth(width);
        label->setFixedHeight(label->text().isEmpty() ? 0 : label->heightForWidth(width));
    }
    if (m_descriptionWidget)
        m_descriptionWidget->setFixedWidth(m_columnWidth);
}

void ContentUnavailableView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void ContentUnavailableView::setAction(const QString& text, std::function<void()> action)
{
    m_action = std::move(action);
    m_button->setText(text);
    m_button->setVisible(!text.isEmpty());
}

void ContentUnavailableView::applyStyle()
{
    const QPalette& pal = palette();
    QFont title = Palette::font(Palette::TextStyle::title2, font());
    title.setWeight(QFont::DemiBold);
    m_title->setFont(title);
    m_description->setFont(Palette::font(Palette::TextStyle::body, font()));
    Palette::setForeground(m_description, Palette::secondaryText(pal));
    const qreal ratio = devicePixelRatioF();
    m_symbolLabel->setPixmap(
        m_symbol.isEmpty() ? QPixmap() : Symbols::pixmap(m_symbol, Palette::secondaryText(pal), symbolSize, ratio));
    m_symbolLabel->setVisible(!m_symbol.isEmpty());
    relayout();
}

void ContentUnavailableView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        applyStyle();
    QWidget::changeEvent(event);
}
