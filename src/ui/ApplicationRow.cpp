#include "ui/ApplicationRow.h"

#include "model/JobApplication.h"
#include "ui/ApplicationListModel.h"
#include "ui/Badges.h"
#include "ui/Palette.h"
#include "ui/ShapedText.h"
#include "ui/Symbols.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <optional>

namespace {

constexpr int rowInsetY = 2;

struct Fonts {
    QFont headline;
    QFont subheadline;
    QFont caption2;

    explicit Fonts(const QFont& base)
        : headline(Palette::font(Palette::TextStyle::headline, base))
        , subheadline(Palette::font(Palette::TextStyle::subheadline, base))
        , caption2(Palette::font(Palette::TextStyle::caption2, base))
    {
    }
};

// The heights of the three lines; the same for every record, which is what lets
// the list use uniform row heights.
struct LineHeights {
    int title;
    int position;
    int meta;

    LineHeights(const Fonts& fonts, const QFont& base, const QPalette& palette)
    {
        const int compactBadge
            = BadgePainter::waitingBadge(99, WaitingBadgeStyle::compact, base, palette).sizeHint().height();
        title = std::max(QFontMetrics(fonts.headline).height(), compactBadge);
        position = QFontMetrics(fonts.subheadline).height();
        const int statusBadge
            = BadgePainter::statusBadge(ApplicationStatus::applied, true, base, palette).sizeHint().height();
        const int chip
            = BadgePainter::metaChip(QStringLiteral("house"), QStringLiteral("X"), NamedColor::secondary, base, palette)
                  .sizeHint()
                  .height();
        meta = std::max(statusBadge, chip);
    }
};

struct RowParts {
    ApplicationRow::Layout layout;
    ShapedText::Line company;
    ShapedText::Line position;
    std::optional<BadgePainter> waiting;
    BadgePainter status;
    BadgePainter workModel;
    std::optional<BadgePainter> followUp;
    int starSize = 0;
};

// Where a row's text goes: the column beside the status bar, from its top line.
struct TextColumn {
    int left;
    int right; // exclusive
    int top;
};

// Title line: company, star, flexible space, compact waiting badge.
void placeTitleLine(RowParts& parts, const TextColumn& column, const QStyleOptionViewItem& option,
    const JobApplication& application, const QDateTime& today, const Fonts& fonts, const LineHeights& lines)
{
    ApplicationRow::Layout& layout = parts.layout;
    int titleRight = column.right;
    if (const auto days = application.daysWaiting(today)) {
        parts.waiting = BadgePainter::waitingBadge(*days, WaitingBadgeStyle::compact, option.font, option.palette);
        const QSize size = parts.waiting->sizeHint();
        layout.waitingBadge = QRect(
            column.right - size.width(), column.top + (lines.title - size.height()) / 2, size.width(), size.height());
        titleRight = layout.waitingBadge.left() - ApplicationRow::titleSpacing;
    }
    if (application.isFavorite())
        parts.starSize = std::max(8, QFontInfo(fonts.caption2).pixelSize());
    const int starRoom = parts.starSize > 0 ? ApplicationRow::titleSpacing + parts.starSize : 0;
    const int companyRoom = std::max(0, titleRight - column.left - starRoom);
    parts.company = ShapedText::line(fonts.headline, application.displayCompany(), companyRoom);
    const int companyWidth = std::min(companyRoom, parts.company.width);
    layout.company = QRect(column.left, column.top, companyWidth, lines.title);
    if (parts.starSize > 0) {
        layout.star = QRect(column.left + companyWidth + ApplicationRow::titleSpacing,
            column.top + (lines.title - parts.starSize) / 2, parts.starSize, parts.starSize);
    }
}

// Meta line from `metaTop`: badges left to right, clipped at the column's end.
void placeMetaLine(RowParts& parts, const TextColumn& column, int metaTop, const QStyleOptionViewItem& option,
    const JobApplication& application, const QDateTime& today, const LineHeights& lines)
{
    const QFont& base = option.font;
    const QPalette& palette = option.palette;
    const int right = column.right;
    int x = column.left;
    const auto place = [&](const BadgePainter& badge) {
        const QSize size = badge.sizeHint();
        const int width = std::min(size.width(), right - x);
        if (width < std::min(size.width(), 24))
            return QRect();
        const QRect placed(x, metaTop + (lines.meta - size.height()) / 2, width, size.height());
        x += width + ApplicationRow::metaSpacing;
        return placed;
    };
    const auto followUpChip = [&](const QString& text) {
        return BadgePainter::metaChip(QStringLiteral("bell.badge.fill"), text, NamedColor::orange, base, palette);
    };
    if (ApplicationRow::showsFollowUp(application, today))
        parts.followUp = followUpChip(ApplicationRow::followUpText());
    // A line too narrow for every badge whole (large text, a narrow column): the work
    // model, then the follow-up, keep only their symbols before anything is cut.
    const auto fits = [&] {
        int width = parts.status.sizeHint().width() + ApplicationRow::metaSpacing + parts.workModel.sizeHint().width();
        if (parts.followUp)
            width += ApplicationRow::metaSpacing + parts.followUp->sizeHint().width();
        return width <= right - column.left;
    };
    if (!fits()) {
        parts.workModel = BadgePainter::metaChip(
            symbolName(application.workModel()), QString(), NamedColor::secondary, base, palette);
    }
    if (parts.followUp && !fits())
        parts.followUp = followUpChip(QString());
    parts.layout.statusBadge = place(parts.status);
    parts.layout.workModelChip = place(parts.workModel);
    if (parts.followUp)
        parts.layout.followUpChip = place(*parts.followUp);
}

RowParts buildRow(const QStyleOptionViewItem& option, const JobApplication& application, const QDateTime& today,
    const Fonts& fonts, const LineHeights& lines)
{
    const QFont& base = option.font;
    const QPalette& palette = option.palette;

    RowParts parts {
        {},
        {},
        {},
        std::nullopt,
        BadgePainter::statusBadge(application.status(), true, base, palette),
        BadgePainter::metaChip(
            symbolName(application.workModel()), title(application.workModel()), NamedColor::secondary, base, palette),
        std::nullopt,
        0,
    };
    ApplicationRow::Layout& layout = parts.layout;

    const QRect row = option.rect;
    const int left = row.left() + ApplicationRow::contentInsetX;
    const int right = row.right() + 1 - ApplicationRow::contentInsetX; // exclusive
    const int top = row.top() + rowInsetY + ApplicationRow::verticalPadding;
    const int bottom = row.bottom() + 1 - rowInsetY - ApplicationRow::verticalPadding; // exclusive
    layout.statusBar = QRect(left, top, ApplicationRow::statusBarWidth, std::max(0, bottom - top));

    const TextColumn column {left + ApplicationRow::statusBarWidth + ApplicationRow::barSpacing, right, top};
    const int columnWidth = std::max(0, right - column.left);
    placeTitleLine(parts, column, option, application, today, fonts, lines);

    // Position line.
    const int positionTop = top + lines.title + ApplicationRow::lineSpacing;
    parts.position = ShapedText::line(fonts.subheadline, application.displayPosition(), columnWidth);
    layout.position = QRect(column.left, positionTop, columnWidth, lines.position);

    placeMetaLine(
        parts, column, positionTop + lines.position + ApplicationRow::lineSpacing, option, application, today, lines);
    return parts;
}

// The highlight of a selected or hovered row, translucent over the list.
std::optional<QColor> highlightColor(const QStyleOptionViewItem& option)
{
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const bool hovered = option.state.testFlag(QStyle::State_MouseOver);
    if (!selected && !hovered)
        return std::nullopt;
    const QPalette& palette = option.palette;
    const bool dark = Palette::isDark(palette);
    QColor color;
    if (selected) {
        // Tinted with the accent while the list has the keyboard focus, grey otherwise,
        // as desktop sidebars do; the row's own colours are pushed off the tint to stay
        // readable. The grey is clearly deeper than the hover shade.
        const bool focused = option.widget && option.widget->hasFocus() && option.state.testFlag(QStyle::State_Active);
        color = focused ? Palette::withAlpha(palette.color(QPalette::Active, QPalette::Highlight), dark ? 0.26 : 0.16)
                        : Palette::withAlpha(palette.color(QPalette::Text), dark ? 0.2 : 0.13);
    } else {
        color = Palette::withAlpha(palette.color(QPalette::Text), dark ? 0.06 : 0.04);
    }
    return color;
}

// What a row's contents are painted on: the list's background under its highlight.
QColor rowBackground(const QStyleOptionViewItem& option)
{
    const QColor list = option.palette.color(QPalette::Base);
    const std::optional<QColor> highlight = highlightColor(option);
    return highlight ? Palette::over(*highlight, list) : list;
}

void paintHighlight(QPainter* painter, const QStyleOptionViewItem& option)
{
    const std::optional<QColor> color = highlightColor(option);
    if (!color)
        return;
    const QRectF area = QRectF(option.rect)
                            .adjusted(ApplicationRow::highlightInsetX, ApplicationRow::highlightInsetY,
                                -ApplicationRow::highlightInsetX, -ApplicationRow::highlightInsetY);
    painter->setPen(Qt::NoPen);
    painter->setBrush(*color);
    painter->drawRoundedRect(area, ApplicationRow::highlightRadius, ApplicationRow::highlightRadius);
}

// The keyboard's place in a list without a selection (or the row a context menu
// is open for): an accent outline, so the first arrow key does not surprise.
void paintFocusRing(QPainter* painter, const QStyleOptionViewItem& option)
{
    const QRectF area = QRectF(option.rect)
                            .adjusted(ApplicationRow::highlightInsetX + 1, ApplicationRow::highlightInsetY + 1,
                                -ApplicationRow::highlightInsetX - 1, -ApplicationRow::highlightInsetY - 1);
    painter->setPen(QPen(Palette::focusRing(option.palette), 2));
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(area, ApplicationRow::highlightRadius - 1, ApplicationRow::highlightRadius - 1);
}

} // namespace

struct ApplicationRow::Metrics {
    QFont base;
    Fonts fonts;
    LineHeights lines;
};

ApplicationRow::ApplicationRow(QObject* parent)
    : QStyledItemDelegate(parent)
{
}

ApplicationRow::~ApplicationRow() = default;

const ApplicationRow::Metrics& ApplicationRow::metrics(const QFont& base, const QPalette& palette) const
{
    if (!m_metrics || m_metrics->base != base) {
        const Fonts fonts(base);
        m_metrics.reset(new Metrics {base, fonts, LineHeights(fonts, base, palette)});
    }
    return *m_metrics;
}

void ApplicationRow::setToday(const QDateTime& today)
{
    m_today = today;
}

int ApplicationRow::rowHeight(const QFont& font, const QPalette& palette) const
{
    const LineHeights& lines = metrics(font, palette).lines;
    return 2 * rowInsetY + 2 * verticalPadding + lines.title + lineSpacing + lines.position + lineSpacing + lines.meta;
}

QSize ApplicationRow::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return QSize(contentInsetX * 2 + 120, rowHeight(option.font, option.palette));
}

ApplicationRow::Layout ApplicationRow::layout(
    const QStyleOptionViewItem& option, const JobApplication& application) const
{
    const Metrics& measured = metrics(option.font, option.palette);
    return buildRow(option, application, m_today, measured.fonts, measured.lines).layout;
}

void ApplicationRow::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    auto* record = index.data(ApplicationListModel::RecordRole).value<JobApplication*>();
    if (!record)
        return;
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    paintRow(painter, opt, *record);
}

bool ApplicationRow::helpEvent(
    QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option, const QModelIndex& index)
{
    if (event && view && event->type() == QEvent::ToolTip) {
        if (auto* record = index.data(ApplicationListModel::RecordRole).value<JobApplication*>()) {
            QStyleOptionViewItem opt = option;
            initStyleOption(&opt, index);
            if (const QString text = toolTipAt(opt, *record, event->pos()); !text.isEmpty()) {
                QToolTip::showText(event->globalPos(), text, view);
                return true;
            }
        }
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}

QString ApplicationRow::toolTipAt(
    const QStyleOptionViewItem& option, const JobApplication& application, const QPoint& position) const
{
    const Metrics& measured = metrics(option.font, option.palette);
    const RowParts parts = buildRow(option, application, m_today, measured.fonts, measured.lines);
    if (parts.waiting && parts.layout.waitingBadge.contains(position))
        return WaitingBadge::toolTipFor(*application.daysWaiting(m_today), WaitingBadgeStyle::compact);
    // A name cut short shows in full.
    if (parts.layout.company.contains(position) && parts.company.text != application.displayCompany())
        return application.displayCompany();
    if (parts.layout.position.contains(position) && parts.position.text != application.displayPosition())
        return application.displayPosition();
    return {};
}

void ApplicationRow::paintRow(
    QPainter* painter, const QStyleOptionViewItem& option, const JobApplication& application) const
{
    const Metrics& measured = metrics(option.font, option.palette);
    const Fonts& fonts = measured.fonts;
    RowParts parts = buildRow(option, application, m_today, fonts, measured.lines);
    const Layout& layout = parts.layout;
    const QPalette& palette = option.palette;
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QColor behind = rowBackground(option);
    if (selected) {
        for (BadgePainter* badge : {parts.waiting ? &*parts.waiting : nullptr, &parts.status, &parts.workModel,
                 parts.followUp ? &*parts.followUp : nullptr}) {
            if (badge)
                badge->setOnSelection(palette, behind);
        }
    }

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    paintHighlight(painter, option);
    const bool ringed
        = !selected && option.state.testFlag(QStyle::State_HasFocus) && option.widget && option.widget->hasFocus();
    if (ringed || application.id() == m_markedID)
        paintFocusRing(painter, option);
    // Text at least 4.5:1 and shapes at least 3:1 against what is behind them; on a
    // selected row pushed off the selection first.
    const auto ink = [&](const QColor& color, double minimum = Palette::minimumTextContrast) {
        return Palette::withContrast(selected ? Palette::onSelection(color, palette) : color, behind, minimum);
    };

    // Status bar: full strength while the application is open, faded once closed
    // (the badge beside it says so in words). On a selected row it keeps full
    // strength, pushed off the selection.
    QColor bar = selected ? ink(Palette::textColor(tint(application.status()), palette), Palette::minimumShapeContrast)
                          : Palette::fillColor(tint(application.status()), palette);
    if (isClosed(application.status()) && !selected)
        bar.setAlphaF(float(closedStatusOpacity));
    else if (!selected)
        bar = ink(bar, Palette::minimumShapeContrast);
    painter->setPen(Qt::NoPen);
    painter->setBrush(bar);
    painter->drawRoundedRect(QRectF(layout.statusBar), statusBarRadius, statusBarRadius);

    painter->setPen(palette.color(QPalette::Text));
    ShapedText::draw(painter, layout.company, fonts.headline, parts.company);
    if (!layout.star.isEmpty())
        Symbols::paint(
            painter, layout.star, QStringLiteral("star.fill"), Palette::fillColor(NamedColor::yellow, palette));
    if (parts.waiting)
        parts.waiting->paint(painter, layout.waitingBadge);

    painter->setPen(ink(Palette::secondaryText(palette)));
    ShapedText::draw(painter, layout.position, fonts.subheadline, parts.position);

    if (!layout.statusBadge.isEmpty())
        parts.status.paint(painter, layout.statusBadge, layout.statusBadge.width());
    if (!layout.workModelChip.isEmpty())
        parts.workModel.paint(painter, layout.workModelChip, layout.workModelChip.width());
    if (parts.followUp && !layout.followUpChip.isEmpty())
        parts.followUp->paint(painter, layout.followUpChip, layout.followUpChip.width());
    painter->restore();
}

bool ApplicationRow::showsFollowUp(const JobApplication& application, const QDateTime& today)
{
    return today.isValid() ? application.isFollowUpDue(today) : application.isFollowUpDue();
}

QString ApplicationRow::followUpText()
{
    return QCoreApplication::translate("ApplicationRow", "Follow-up");
}
