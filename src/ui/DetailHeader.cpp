#include "ui/DetailHeader.h"

#include "model/ApplicationEdits.h"
#include "tracking/TodayProvider.h"
#include "ui/Badges.h"
#include "ui/FocusedActions.h"
#include "ui/FormControls.h"
#include "ui/Formats.h"
#include "ui/Palette.h"
#include "ui/RecordBinding.h"
#include "ui/Symbols.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr int buttonIconSize = 18;
} // namespace

DetailHeader::DetailHeader(JobApplication& application, ApplicationEdits& edits, TodayProvider& today,
    std::function<void()> onDelete, QWidget* parent)
    : QWidget(parent)
    , m_application(&application)
    , m_today(today)
    , m_onDelete(std::move(onDelete))
    , m_company(new ElidedLabel(this))
    , m_star(new QToolButton(this))
    , m_delete(new QToolButton(this))
    , m_position(new ElidedLabel(this))
    , m_status(new StatusBadge(application.status(), false, this))
    , m_waiting(new WaitingBadge(0, WaitingBadge::Style::full, this))
    , m_closed(new MetaChip(QStringLiteral("flag.checkered"), QString(), NamedColor::secondary, this))
    , m_date(new MetaChip(QStringLiteral("calendar"), QString(), NamedColor::secondary, this))
{
    setObjectName(QStringLiteral("detailHeader"));
    m_company->setObjectName(QStringLiteral("headerCompany"));
    m_position->setObjectName(QStringLiteral("headerPosition"));
    m_star->setObjectName(QStringLiteral("starButton"));
    m_delete->setObjectName(QStringLiteral("deleteButton"));
    m_waiting->setObjectName(QStringLiteral("headerWaiting"));
    m_closed->setObjectName(QStringLiteral("headerClosed"));
    m_date->setObjectName(QStringLiteral("headerDate"));

    for (QToolButton* button : {m_star, m_delete}) {
        button->setAutoRaise(true);
        button->setIconSize(QSize(buttonIconSize, buttonIconSize));
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setCursor(Qt::PointingHandCursor);
    }
    // The key lives on the menu command; the hint names it in the desktop's notation.
    const QKeySequence deleteKey = FocusedActions::shortcuts(FocusedActions::Key::deleteSelection).value(0);
    m_delete->setToolTip(tr("Delete this application (%1)", "%1 is the key that deletes")
                             .arg(deleteKey.toString(QKeySequence::NativeText)));
    m_delete->setAccessibleName(tr("Delete"));
    connect(m_star, &QToolButton::clicked, this, [this, &edits] {
        if (m_application)
            edits.toggleFavorite(*m_application);
    });
    connect(m_delete, &QToolButton::clicked, this, [this] {
        if (m_onDelete)
            m_onDelete();
    });

    auto* title = new QHBoxLayout;
    title->setSpacing(10);
    title->addWidget(m_company, 1);
    title->addSpacing(8);
    title->addWidget(m_star);
    title->addWidget(m_delete);

    auto* meta = new QHBoxLayout;
    meta->setSpacing(8);
    meta->addWidget(m_status);
    meta->addWidget(m_waiting);
    meta->addWidget(m_closed);
    meta->addWidget(m_date);
    meta->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 14, 20, 14);
    layout->setSpacing(10);
    layout->addLayout(title);
    layout->addWidget(m_position);
    layout->addLayout(meta);

    applyStyle();
    using F = JobApplication::Field;
    RecordBinding::follow(this, application,
        {F::companyName, F::position, F::statusRaw, F::applicationDate, F::closedAt, F::isFavorite},
        [this] { showRecord(); });
    connect(&m_today, &TodayProvider::todayChanged, this, &DetailHeader::showDays);
}

void DetailHeader::showRecord()
{
    if (!m_application)
        return;
    m_company->setFullText(m_application->displayCompany());
    m_position->setFullText(m_application->displayPosition());
    m_status->setStatus(m_application->status());
    m_date->setText(Formats::abbreviatedDate(m_application->applicationDate()));
    showStar();
    showDays();
}

void DetailHeader::showStar()
{
    const JobApplication* record = m_application.data();
    const bool starred = record != nullptr && record->isFavorite();
    m_star->setIcon(Symbols::icon(starred ? QStringLiteral("star.fill") : QStringLiteral("star"),
        starred ? Palette::fillColor(NamedColor::yellow, palette()) : Palette::secondaryText(palette())));
    m_star->setToolTip(starred ? tr("Remove star") : tr("Add star"));
    m_star->setAccessibleName(m_star->toolTip());
}

void DetailHeader::showDays()
{
    if (!m_application)
        return;
    const std::optional<int> waiting = m_application->daysWaiting(m_today.today());
    m_waiting->setVisible(bool(waiting));
    m_closed->setVisible(!waiting);
    if (waiting) {
        m_waiting->setDays(*waiting);
    } else {
        m_closed->setText(tr("Closed in %n days", "%n is the number of days from applying to the end",
            m_application->daysSinceApplied()));
    }
}

void DetailHeader::applyStyle()
{
    const QPalette& pal = palette();
    QFont company = Palette::font(Palette::TextStyle::title2, font());
    company.setWeight(QFont::DemiBold);
    m_company->setFont(company);
    m_position->setFont(Palette::font(Palette::TextStyle::subheadline, font()));
    Palette::setForeground(m_position, Palette::secondaryText(pal));
    m_delete->setIcon(Symbols::icon(QStringLiteral("trash"), Palette::secondaryText(pal)));
    showStar();
}

void DetailHeader::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Palette::barBackground(palette()));
    painter.fillRect(QRect(0, height() - 1, width(), 1), Palette::separator(palette()));
}

void DetailHeader::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        applyStyle();
    if (event->type() == QEvent::LanguageChange)
        showRecord();
    QWidget::changeEvent(event);
}
