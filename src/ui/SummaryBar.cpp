#include "ui/SummaryBar.h"

#include "ui/Palette.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

namespace {

QWidget* makeItem(QWidget* parent, QLabel* number, QLabel* label)
{
    auto* item = new QWidget(parent);
    auto* layout = new QHBoxLayout(item);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(SummaryBar::numberSpacing);
    layout->addWidget(number);
    layout->addWidget(label);
    return item;
}

} // namespace

SummaryBar::SummaryBar(QWidget* parent)
    : QWidget(parent)
    , m_activeNumber(new QLabel(this))
    , m_activeLabel(new QLabel(tr("active"), this))
    , m_offersNumber(new QLabel(this))
    , m_offersLabel(new QLabel(tr("offers"), this))
    , m_staleNumber(new QLabel(this))
    , m_staleLabel(new QLabel(tr("stale"), this))
    , m_staleItem(nullptr)
{
    setObjectName(QStringLiteral("summaryBar"));
    m_activeNumber->setObjectName(QStringLiteral("activeCount"));
    m_activeLabel->setObjectName(QStringLiteral("activeLabel"));
    m_offersNumber->setObjectName(QStringLiteral("offersCount"));
    m_offersLabel->setObjectName(QStringLiteral("offersLabel"));
    m_staleNumber->setObjectName(QStringLiteral("staleCount"));
    m_staleLabel->setObjectName(QStringLiteral("staleLabel"));

    auto* layout = new QHBoxLayout(this);
    // One more pixel at the top for the divider line drawn there.
    layout->setContentsMargins(horizontalPadding, verticalPadding + 1, horizontalPadding, verticalPadding);
    layout->setSpacing(itemSpacing);
    layout->addWidget(makeItem(this, m_activeNumber, m_activeLabel));
    layout->addWidget(makeItem(this, m_offersNumber, m_offersLabel));
    m_staleItem = makeItem(this, m_staleNumber, m_staleLabel);
    m_staleItem->setObjectName(QStringLiteral("staleItem"));
    layout->addWidget(m_staleItem);
    layout->addStretch(1);

    applyStyle();
    display(m_counts);
}

void SummaryBar::setCounts(const SummaryCounts& counts)
{
    display(counts);
}

void SummaryBar::display(const SummaryCounts& counts)
{
    m_counts = counts;
    // "%lld": the plain integer, no grouping separators.
    m_activeNumber->setText(QString::number(counts.active));
    m_offersNumber->setText(QString::number(counts.offers));
    m_staleNumber->setText(QString::number(counts.stale));
    m_staleItem->setVisible(counts.stale >= 1);
    setAccessibleName(m_activeNumber->text() + QLatin1Char(' ') + m_activeLabel->text() + QLatin1String(", ")
        + m_offersNumber->text() + QLatin1Char(' ') + m_offersLabel->text()
        + (counts.stale >= 1 ? QLatin1String(", ") + m_staleNumber->text() + QLatin1Char(' ') + m_staleLabel->text()
                             : QString()));
}

void SummaryBar::applyStyle()
{
    const QFont caption = Palette::font(Palette::TextStyle::caption, font());
    QFont number = caption;
    number.setWeight(QFont::DemiBold);
    const QPalette& pal = palette();
    const std::pair<QLabel*, NamedColor> numbers[]
        = {{m_activeNumber, NamedColor::blue}, {m_offersNumber, NamedColor::green}, {m_staleNumber, NamedColor::red}};
    for (const auto& [label, color] : numbers) {
        label->setFont(number);
        Palette::setForeground(label, Palette::textColor(color, pal));
    }
    for (QLabel* label : {m_activeLabel, m_offersLabel, m_staleLabel}) {
        label->setFont(caption);
        Palette::setForeground(label, Palette::secondaryText(pal));
    }
}

void SummaryBar::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        applyStyle();
    else if (event->type() == QEvent::LanguageChange) {
        m_activeLabel->setText(tr("active"));
        m_offersLabel->setText(tr("offers"));
        m_staleLabel->setText(tr("stale"));
    }
    QWidget::changeEvent(event);
}

void SummaryBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Palette::barBackground(palette()));
    painter.fillRect(QRect(0, 0, width(), 1), Palette::separator(palette()));
}
