#include "ui/InsightsView.h"

#include "ui/Palette.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr int margin = 20;
constexpr int cardGap = 16;
constexpr int cardPadding = 16;
constexpr int cardRadius = 10;
constexpr int rowHeight = 24;
constexpr int barHeight = 12;
constexpr int weekChartHeight = 110;
// Below this width the two halves of a card stand one above the other.
constexpr int twoColumnWidth = 600;

using Style = Palette::TextStyle;

// Measures and draws with one set of calls: without a painter nothing is drawn, but
// every call still moves the pen down by what it would have taken.
//
// While reading (for screen readers), each card becomes a group and what it paints
// becomes its lines, in the words it paints them with.
class Canvas {
public:
    Canvas(QPainter* painter, const QWidget& widget, QList<Accessibility::Part>* reading = nullptr)
        : m_painter(painter)
        , m_palette(widget.palette())
        , m_base(widget.font())
        , m_reading(reading)
    {
    }

    // Starts a card: a group of the lines said after it.
    void beginCard(const QRect& rect) const
    {
        if (!m_reading)
            return;
        Accessibility::Part card;
        card.role = QAccessible::Grouping;
        card.rect = rect;
        m_reading->append(card);
    }
    // The card's name and description: its title and subtitle.
    void nameCard(const QString& title, const QString& subtitle) const
    {
        if (m_reading && !m_reading->isEmpty()) {
            m_reading->last().name = title;
            m_reading->last().description = subtitle;
        }
    }
    void say(const QRect& rect, const QString& text) const
    {
        Accessibility::Part line;
        line.name = text;
        line.rect = rect;
        say(line);
    }
    void say(const Accessibility::Part& part) const
    {
        if (m_reading && !m_reading->isEmpty())
            m_reading->last().children.append(part);
    }

    bool drawing() const { return m_painter != nullptr; }
    const QPalette& palette() const { return m_palette; }
    QFont font(Style style) const { return Palette::font(style, m_base); }

    QFont bold(Style style) const
    {
        QFont f = font(style);
        f.setWeight(QFont::DemiBold);
        return f;
    }
    int lineHeight(Style style) const { return QFontMetrics(font(style)).height(); }

    void text(const QRect& rect, const QFont& f, const QColor& color, const QString& text,
        int flags = Qt::AlignLeft | Qt::AlignVCenter) const
    {
        if (!m_painter)
            return;
        m_painter->setFont(f);
        m_painter->setPen(color);
        const QString shown = QFontMetrics(f).elidedText(text, Qt::ElideRight, rect.width());
        m_painter->drawText(rect, flags | Qt::TextSingleLine, shown);
    }

    // Text broken into lines at word boundaries within `width`; returns its height.
    int wrapped(int x, int y, int width, const QFont& f, const QColor& color, const QString& text) const
    {
        const QRect bounds = QFontMetrics(f).boundingRect(QRect(0, 0, width, 10000), Qt::TextWordWrap, text);
        if (m_painter) {
            m_painter->setFont(f);
            m_painter->setPen(color);
            m_painter->drawText(QRect(x, y, width, bounds.height()), Qt::AlignLeft | Qt::TextWordWrap, text);
        }
        return bounds.height();
    }

    void fill(const QRectF& rect, const QColor& color, qreal radius) const
    {
        if (!m_painter || rect.width() <= 0 || rect.height() <= 0)
            return;
        m_painter->setPen(Qt::NoPen);
        m_painter->setBrush(color);
        m_painter->drawRoundedRect(rect, std::min(radius, rect.width() / 2), std::min(radius, rect.height() / 2));
    }

    int textWidth(Style style, const QString& text) const { return QFontMetrics(font(style)).horizontalAdvance(text); }

    QColor primary() const { return m_palette.color(QPalette::Text); }
    QColor secondary() const { return Palette::secondaryText(m_palette); }
    QColor track() const { return Palette::withAlpha(m_palette.color(QPalette::Text), 0.08); }

private:
    QPainter* m_painter;
    QPalette m_palette;
    QFont m_base;
    QList<Accessibility::Part>* m_reading;
};

// Counts with the locale's grouping: 10,000 in English, 10.000 in Turkish.
QString countText(qsizetype count)
{
    return QLocale().toString(qlonglong(count));
}

// One labelled horizontal bar: label, a bar scaled against `maximum`, the value
// and an optional note at the right. Returns the height used.
int barRow(const Canvas& canvas, int x, int y, int width, int labelWidth, const QString& label, qsizetype value,
    qsizetype maximum, const QColor& color, const QString& note = QString(), int noteWidth = 0)
{
    const QFontMetrics bold(canvas.bold(Style::callout));
    const int valueWidth
        = std::max(bold.horizontalAdvance(countText(maximum)), bold.horizontalAdvance(QStringLiteral("0000"))) + 6;
    const QRect labelRect(x, y, labelWidth - 8, rowHeight);
    canvas.text(labelRect, canvas.font(Style::callout), canvas.primary(), label);
    const int barX = x + labelWidth;
    const int barWidth = std::max(0, width - labelWidth - valueWidth - noteWidth - 8);
    const QRectF track(barX, y + (rowHeight - barHeight) / 2.0, barWidth, barHeight);
    canvas.fill(track, canvas.track(), barHeight / 2.0);
    if (maximum > 0 && value > 0) {
        // A value above zero always shows at least a sliver.
        const qreal share = std::max(qreal(value) / qreal(maximum), 0.02);
        canvas.fill(QRectF(track.x(), track.y(), track.width() * share, track.height()), color, barHeight / 2.0);
    }
    canvas.text(QRect(barX + barWidth + 8, y, valueWidth, rowHeight), canvas.bold(Style::callout), canvas.primary(),
        countText(value));
    if (noteWidth > 0)
        canvas.text(QRect(x + width - noteWidth, y, noteWidth, rowHeight), canvas.font(Style::footnote),
            canvas.secondary(), note, Qt::AlignRight | Qt::AlignVCenter);
    QString said = QCoreApplication::translate("InsightsView", "%1: %2 of %3", "A bar read out: label, value, whole")
                       .arg(label, countText(value), countText(maximum));
    if (!note.isEmpty())
        said += QStringLiteral(", ") + note;
    canvas.say(QRect(x, y, width, rowHeight), said);
    return rowHeight;
}

int cardTitle(const Canvas& canvas, int x, int y, int width, const QString& title, const QString& subtitle = {})
{
    const int height = canvas.lineHeight(Style::headline);
    canvas.text(QRect(x, y, width, height), canvas.font(Style::headline), canvas.primary(), title);
    canvas.nameCard(title, subtitle);
    int used = height;
    if (!subtitle.isEmpty())
        used += 2 + canvas.wrapped(x, y + used + 2, width, canvas.font(Style::footnote), canvas.secondary(), subtitle);
    return used + 10;
}

int sectionLabel(const Canvas& canvas, int x, int y, int width, const QString& text)
{
    const int height = canvas.lineHeight(Style::subheadline);
    canvas.text(QRect(x, y, width, height), canvas.bold(Style::subheadline), canvas.secondary(), text);
    canvas.say(QRect(x, y, width, height), text);
    return height + 6;
}

int funnelCard(const Canvas& canvas, const Insights& insights, int x, int y, int width)
{
    int used = cardTitle(canvas, x, y, width, QCoreApplication::translate("InsightsView", "How far applications got"),
        QCoreApplication::translate(
            "InsightsView", "Counted from each application's history: a stage passed on the way still counts."));
    const int labelWidth = std::min(150, width / 3);
    const int noteWidth = std::min(190, width / 3);
    for (size_t stage = 0; stage < Insights::funnelStages.size(); ++stage) {
        const ApplicationStatus status = Insights::funnelStages[stage];
        QString note;
        if (stage > 0) {
            if (const auto conversion = insights.conversion(stage - 1))
                note = QCoreApplication::translate(
                    "InsightsView", "%1 of the stage before", "Funnel; %1 is a percentage")
                           .arg(InsightsView::percentText(conversion));
        }
        used += barRow(canvas, x, y + used, width, labelWidth, title(status), insights.reached[stage],
            insights.reached[0], Palette::fillColor(tint(status), canvas.palette()), note, noteWidth);
        used += 4;
    }
    return used;
}

int answersCard(const Canvas& canvas, const Insights& insights, int x, int y, int width)
{
    int used = cardTitle(canvas, x, y, width, QCoreApplication::translate("InsightsView", "Answers"),
        QCoreApplication::translate("InsightsView",
            "An answer is any change from “Applied”, a rejection included; days run from the application date."));
    const struct {
        QString label;
        const Insights::Response* response;
    } columns[] = {
        {QCoreApplication::translate("InsightsView", "Last 30 days"), &insights.last30Days},
        {QCoreApplication::translate("InsightsView", "Last 90 days"), &insights.last90Days},
        {QCoreApplication::translate("InsightsView", "All time"), &insights.allTime},
    };
    const int columnWidth = width / 3;
    QFont big = canvas.font(Style::title2);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    big.setWeight(QFont::DemiBold);
    const int bigHeight = QFontMetrics(big).height();
    const QColor accent = Palette::textColor(NamedColor::blue, canvas.palette());
    int tallest = 0;
    for (int column = 0; column < 3; ++column) {
        const auto& [label, response] = columns[column];
        const int cx = x + column * columnWidth;
        const int inner = columnWidth - 12;
        int cy = 0;
        cy += canvas.wrapped(cx, y + used + cy, inner, canvas.font(Style::footnote), canvas.secondary(), label) + 2;
        canvas.text(QRect(cx, y + used + cy, inner, bigHeight), big,
            response->applications > 0 ? accent : canvas.secondary(), InsightsView::percentText(response->share()));
        cy += bigHeight;
        const QString answered = QCoreApplication::translate("InsightsView", "%1 of %2 answered")
                                     .arg(countText(response->responded), countText(response->applications));
        cy += canvas.wrapped(cx, y + used + cy, inner, canvas.font(Style::footnote), canvas.primary(), answered) + 2;
        const QString median = response->medianDaysToFirstChange
            ? QCoreApplication::translate(
                "InsightsView", "median %1 to the first answer", "%1 is a number of days, e.g. “4 days”")
                  .arg(InsightsView::daysText(*response->medianDaysToFirstChange))
            : QCoreApplication::translate("InsightsView", "no answers yet");
        cy += canvas.wrapped(cx, y + used + cy, inner, canvas.font(Style::footnote), canvas.secondary(), median);
        tallest = std::max(tallest, cy);
        canvas.say(QRect(cx, y + used, inner, cy),
            QCoreApplication::translate("InsightsView", "%1: %2", "A figure read out: its label, then its values")
                .arg(label,
                    QStringList {InsightsView::percentText(response->share()), answered, median}.join(
                        QStringLiteral(", "))));
    }
    return used + tallest + 4;
}

int weeksCard(const Canvas& canvas, const Insights& insights, int x, int y, int width)
{
    int used = cardTitle(canvas, x, y, width, QCoreApplication::translate("InsightsView", "Applications per week"),
        QCoreApplication::translate("InsightsView", "The last twelve weeks."));
    qsizetype maximum = 1;
    for (const Insights::Week& week : insights.weeks)
        maximum = std::max(maximum, week.applications);
    const int count = int(insights.weeks.size());
    const qreal slot = qreal(width) / count;
    const qreal barWidth = std::min(slot * 0.62, 36.0);
    const int valueHeight = canvas.lineHeight(Style::caption2);
    const int labelHeight = canvas.lineHeight(Style::caption2);
    const int top = y + used + valueHeight + 2;
    const int baseline = top + weekChartHeight;
    const QColor blue = Palette::fillColor(NamedColor::blue, canvas.palette());
    const QLocale locale;
    const QString format
        = QCoreApplication::translate("InsightsView", "MMM d", "Week label: the first day of a week as a short date");
    int widestLabel = 0;
    for (const Insights::Week& week : insights.weeks)
        widestLabel = std::max(widestLabel, canvas.textWidth(Style::caption2, locale.toString(week.start, format)));
    // Every other week is labelled when the labels would touch; always the current one.
    const int labelEvery = widestLabel + 6 > slot ? 2 : 1;
    const QString thisWeek = QCoreApplication::translate("InsightsView", "This week");
    const bool thisWeekFits = canvas.textWidth(Style::caption2, thisWeek) + 4 <= slot;
    // Read out as a table: a row per week, its first day (or "This week") and its count.
    Accessibility::Part table;
    table.role = QAccessible::Table;
    table.name = QCoreApplication::translate("InsightsView", "Applications per week");
    table.rect = QRect(x, y + used, width, valueHeight + 2 + weekChartHeight + 4 + labelHeight);
    table.rows = count;
    table.columns = 2;
    for (int i = 0; i < count; ++i) {
        const Insights::Week& week = insights.weeks[size_t(i)];
        const QRect slotRect(int(x + slot * i), table.rect.top(), int(slot), table.rect.height());
        for (const QString& cell :
            {i == count - 1 ? thisWeek : locale.toString(week.start, format), countText(week.applications)}) {
            Accessibility::Part part;
            part.role = QAccessible::Cell;
            part.name = cell;
            part.rect = slotRect;
            table.children.append(part);
        }
    }
    canvas.say(table);
    for (int i = 0; i < count; ++i) {
        const Insights::Week& week = insights.weeks[size_t(i)];
        const bool current = i == count - 1;
        const qreal centre = x + slot * (i + 0.5);
        const qreal height
            = week.applications > 0 ? std::max(3.0, weekChartHeight * qreal(week.applications) / qreal(maximum)) : 0.0;
        const QRectF bar(centre - barWidth / 2, baseline - height, barWidth, height);
        canvas.fill(QRectF(centre - barWidth / 2, baseline - 1, barWidth, 1), canvas.track(), 0);
        canvas.fill(bar, current ? blue : Palette::withAlpha(blue, 0.42), 3);
        const QRect valueRect(int(centre - slot / 2), int(bar.top()) - valueHeight - 1, int(slot), valueHeight);
        if (week.applications > 0)
            canvas.text(valueRect, canvas.font(Style::caption2), canvas.secondary(), countText(week.applications),
                Qt::AlignHCenter | Qt::AlignBottom);
        QFont labelFont = canvas.font(Style::caption2);
        if (current)
            labelFont.setWeight(QFont::DemiBold);
        if (!current && (count - 1 - i) % labelEvery != 0)
            continue;
        // A label may spread over the neighbouring slot that stays empty.
        const int labelWidth = int(slot) * labelEvery;
        canvas.text(QRect(int(centre) - labelWidth / 2, baseline + 4, labelWidth, labelHeight), labelFont,
            current ? Palette::textColor(NamedColor::blue, canvas.palette()) : canvas.secondary(),
            current && thisWeekFits ? thisWeek : locale.toString(week.start, format), Qt::AlignHCenter | Qt::AlignTop);
    }
    return used + valueHeight + 2 + weekChartHeight + 4 + labelHeight + 4;
}

// The rejections by reason (most frequent first) and by the stage they came in.
int endingsCard(const Canvas& canvas, const Insights& insights, int x, int y, int width)
{
    int used = cardTitle(canvas, x, y, width, QCoreApplication::translate("InsightsView", "Why applications ended"),
        // Without rejections the card says so in its body alone.
        insights.rejections == 0 ? QString()
            : insights.rejections == 1
            ? QCoreApplication::translate("InsightsView", "1 rejection")
            : QCoreApplication::translate("InsightsView", "%1 rejections").arg(countText(insights.rejections)));
    if (insights.rejections == 0) {
        const int height = canvas.lineHeight(Style::callout);
        const QString none = QCoreApplication::translate("InsightsView", "No rejections so far.");
        canvas.text(QRect(x, y + used, width, height), canvas.font(Style::callout), canvas.secondary(), none);
        canvas.say(QRect(x, y + used, width, height), none);
        return used + height + 4;
    }
    const bool sideBySide = width >= twoColumnWidth;
    // Reasons have the long labels: they get the wider side.
    const int half = sideBySide ? (width - 24) * 3 / 5 : width;
    const int otherHalf = sideBySide ? width - 24 - half : width;
    const QColor red = Palette::fillColor(NamedColor::red, canvas.palette());

    QList<std::pair<QString, qsizetype>> reasons;
    for (RejectionReason reason : allCases<RejectionReason>()) {
        if (const qsizetype n = insights.rejectionReasons[size_t(reason)]; n > 0)
            reasons.append({title(reason), n});
    }
    std::stable_sort(reasons.begin(), reasons.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    if (insights.rejectionsWithoutReason > 0)
        reasons.append(
            {QCoreApplication::translate("InsightsView", "No reason given"), insights.rejectionsWithoutReason});

    int left = sectionLabel(canvas, x, y + used, half, QCoreApplication::translate("InsightsView", "Reason"));
    int reasonLabel = 0;
    for (const auto& reason : reasons)
        reasonLabel = std::max(reasonLabel, canvas.textWidth(Style::callout, reason.first) + 12);
    reasonLabel = std::min(reasonLabel, half * 2 / 3);
    for (const auto& [label, n] : reasons)
        left += barRow(canvas, x, y + used + left, half, reasonLabel, label, n, insights.rejections, red) + 4;

    const int rightX = sideBySide ? x + half + 24 : x;
    const int rightY = sideBySide ? y + used : y + used + left + 8;
    int right = sectionLabel(
        canvas, rightX, rightY, otherHalf, QCoreApplication::translate("InsightsView", "Stage it ended in"));
    int stageLabel = 0;
    for (ApplicationStatus status : Insights::funnelStages)
        stageLabel = std::max(stageLabel, canvas.textWidth(Style::callout, title(status)) + 12);
    stageLabel = std::min(stageLabel, otherHalf / 2);
    for (size_t stage = 0; stage < Insights::funnelStages.size(); ++stage) {
        const ApplicationStatus status = Insights::funnelStages[stage];
        right += barRow(canvas, rightX, rightY + right, otherHalf, stageLabel, title(status),
                     insights.rejectedAtStage[stage], insights.rejections, red)
            + 4;
    }
    return sideBySide ? used + std::max(left, right) : used + left + 8 + right;
}

QString boardTitle(const Insights::BoardGroup& group)
{
    switch (group.kind) {
    case Insights::BoardKind::known: return title(group.board);
    case Insights::BoardKind::otherSite: return QCoreApplication::translate("InsightsView", "Other sites");
    case Insights::BoardKind::noLink: return QCoreApplication::translate("InsightsView", "No link");
    }
    return {};
}

// The column of "Sent" counts: wide enough for five digits and for its head.
int countColumnWidth(const Canvas& canvas)
{
    const QString head
        = QCoreApplication::translate("InsightsView", "Sent", "Column over the number of applications sent");
    return std::max({canvas.textWidth(Style::callout, QStringLiteral("00000")) + 10,
        QFontMetrics(canvas.bold(Style::subheadline)).horizontalAdvance(head) + 14, 40});
}

// One group of applications: its name, how many went out, and a bar of the share
// that got an answer with the percentage beside it.
int shareRow(const Canvas& canvas, int x, int y, int width, int labelWidth, const QString& label,
    const Insights::Group& group, const QColor& color)
{
    const int countWidth = countColumnWidth(canvas);
    const int percentWidth = canvas.textWidth(Style::callout, InsightsView::percentText(1.0)) + 8;
    canvas.text(QRect(x, y, labelWidth - 8, rowHeight), canvas.font(Style::callout), canvas.primary(), label);
    canvas.text(QRect(x + labelWidth, y, countWidth - 10, rowHeight), canvas.font(Style::callout), canvas.secondary(),
        countText(group.applications), Qt::AlignRight | Qt::AlignVCenter);
    const int barX = x + labelWidth + countWidth;
    const int barWidth = std::max(0, width - labelWidth - countWidth - percentWidth - 8);
    const QRectF track(barX, y + (rowHeight - barHeight) / 2.0, barWidth, barHeight);
    canvas.fill(track, canvas.track(), barHeight / 2.0);
    const double share = group.share().value_or(0.0);
    if (share > 0)
        canvas.fill(QRectF(track.x(), track.y(), track.width() * std::max(share, 0.02), track.height()), color,
            barHeight / 2.0);
    canvas.text(QRect(barX + barWidth + 8, y, percentWidth, rowHeight), canvas.bold(Style::callout), canvas.primary(),
        InsightsView::percentText(group.share()));
    canvas.say(QRect(x, y, width, rowHeight),
        QCoreApplication::translate("InsightsView", "%1: %2 sent, %3 answered", "A row read out: name, count, share")
            .arg(label, countText(group.applications), InsightsView::percentText(group.share())));
    return rowHeight;
}

// The column heads over share rows: "Sent" over the counts, "Answered" over the bars.
int shareHeads(const Canvas& canvas, int x, int y, int width, int labelWidth, const QString& title)
{
    const int countWidth = countColumnWidth(canvas);
    const int height = canvas.lineHeight(Style::subheadline);
    const QFont head = canvas.bold(Style::subheadline);
    canvas.text(QRect(x, y, labelWidth - 8, height), head, canvas.secondary(), title);
    canvas.say(QRect(x, y, width, height), title);
    canvas.text(QRect(x + labelWidth, y, countWidth - 10, height), head, canvas.secondary(),
        QCoreApplication::translate("InsightsView", "Sent", "Column over the number of applications sent"),
        Qt::AlignRight | Qt::AlignVCenter);
    canvas.text(QRect(x + labelWidth + countWidth, y, width - labelWidth - countWidth, height), head,
        canvas.secondary(),
        QCoreApplication::translate(
            "InsightsView", "Answered", "Column over the share of applications that got an answer"));
    return height + 6;
}

// Work models and boards: how many went out through each, and the share answered.
int sourcesCard(const Canvas& canvas, const Insights& insights, int x, int y, int width)
{
    int used = cardTitle(canvas, x, y, width, QCoreApplication::translate("InsightsView", "Work model and job board"),
        QCoreApplication::translate("InsightsView", "The job board is read from the posting link."));
    const QColor green = Palette::fillColor(NamedColor::green, canvas.palette());
    int label = 0;
    for (WorkModel model : allCases<WorkModel>())
        label = std::max(label, canvas.textWidth(Style::callout, title(model)) + 12);
    for (const Insights::BoardGroup& group : insights.byBoard)
        label = std::max(label, canvas.textWidth(Style::callout, boardTitle(group)) + 12);
    const QFontMetrics heads(canvas.bold(Style::subheadline));
    const QString modelHead = QCoreApplication::translate("InsightsView", "Work model");
    const QString boardHead = QCoreApplication::translate("InsightsView", "Job board");
    label = std::max({label, heads.horizontalAdvance(modelHead) + 12, heads.horizontalAdvance(boardHead) + 12});
    // Side by side only while both halves hold their names and heads whole: large
    // text or long translations stack the two tables instead of cutting them.
    const int answeredHead = heads.horizontalAdvance(QCoreApplication::translate(
        "InsightsView", "Answered", "Column over the share of applications that got an answer"));
    const int needed = label + countColumnWidth(canvas) + answeredHead + 8;
    const bool sideBySide = width >= twoColumnWidth && (width - 32) / 2 >= needed;
    const int half = sideBySide ? (width - 32) / 2 : width;
    label = std::min(label, half * 2 / 5);

    int left = shareHeads(canvas, x, y + used, half, label, modelHead);
    for (WorkModel model : allCases<WorkModel>())
        left += shareRow(
                    canvas, x, y + used + left, half, label, title(model), insights.byWorkModel[size_t(model)], green)
            + 4;
    const int rightX = sideBySide ? x + half + 32 : x;
    const int rightY = sideBySide ? y + used : y + used + left + 8;
    int right = shareHeads(canvas, rightX, rightY, half, label, boardHead);
    for (const Insights::BoardGroup& group : insights.byBoard)
        right += shareRow(canvas, rightX, rightY + right, half, label, boardTitle(group), group, green) + 4;
    return sideBySide ? used + std::max(left, right) : used + left + 8 + right;
}

} // namespace

int InsightsView::layout(int width, QPainter* painter, QList<Accessibility::Part>* reading) const
{
    const Canvas canvas(painter, *this, reading);
    const int cardX = margin;
    const int cardWidth = width - 2 * margin;
    const int inner = cardWidth - 2 * cardPadding;
    int y = margin;
    const auto card = [&](int (*draw)(const Canvas&, const Insights&, int, int, int)) {
        // Measured first, so the card's background goes under its content.
        const Canvas measure(nullptr, *this);
        const int height = draw(measure, m_insights, cardX + cardPadding, y + cardPadding, inner) + 2 * cardPadding;
        canvas.fill(QRectF(cardX, y, cardWidth, height), Palette::groupedCard(palette()), cardRadius);
        canvas.beginCard(QRect(cardX, y, cardWidth, height));
        draw(canvas, m_insights, cardX + cardPadding, y + cardPadding, inner);
        y += height + cardGap;
    };
    card(&funnelCard);
    card(&answersCard);
    card(&weeksCard);
    card(&endingsCard);
    card(&sourcesCard);
    return y - cardGap + margin;
}

InsightsView::InsightsView(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("insightsView"));
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void InsightsView::setInsights(const Insights& insights)
{
    m_insights = insights;
    setMinimumHeight(heightForWidth(width()));
    updateGeometry();
    update();
}

QSize InsightsView::sizeHint() const
{
    return QSize(720, heightForWidth(720));
}

int InsightsView::heightForWidth(int width) const
{
    return layout(std::max(width, 320), nullptr);
}

QList<Accessibility::Part> InsightsView::accessibleParts() const
{
    QList<Accessibility::Part> cards;
    layout(std::max(width(), 320), nullptr, &cards);
    return cards;
}

QString InsightsView::percentText(std::optional<double> share)
{
    if (!share)
        return QStringLiteral("\u2014");
    const int percent = int(std::lround(*share * 100.0));
    return QCoreApplication::translate("InsightsView", "%1%", "A percentage; %1 is the number").arg(percent);
}

QString InsightsView::daysText(double days)
{
    const bool whole = std::floor(days) == days;
    const QString number = QLocale().toString(days, 'f', whole ? 0 : 1);
    if (whole && days == 1.0)
        return QCoreApplication::translate("InsightsView", "1 day");
    return QCoreApplication::translate("InsightsView", "%1 days", "A number of days, possibly with a decimal")
        .arg(number);
}

void InsightsView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Palette::groupedBackground(palette()));
    layout(width(), &painter);
}

void InsightsView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange) {
        setMinimumHeight(heightForWidth(width()));
        update();
    }
    QWidget::changeEvent(event);
}

void InsightsView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    setMinimumHeight(heightForWidth(width()));
}
