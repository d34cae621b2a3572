#include "ui/InsightsWindow.h"

#include "model/Clock.h"
#include "store/Store.h"
#include "tracking/WindowState.h"
#include "ui/Accessibility.h"
#include "ui/ContentUnavailableView.h"
#include "ui/InsightsView.h"
#include "ui/Palette.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QVBoxLayout>

InsightsWindow::InsightsWindow(WindowState& state, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_state(state)
    , m_title(new QLabel(tr("Insights"), this))
    , m_onlyVisible(new QCheckBox(tr("Only what the list shows"), this))
    , m_counted(new QLabel(this))
    , m_pages(new QStackedWidget(this))
    , m_scroll(new QScrollArea(m_pages))
    , m_view(new InsightsView(m_scroll))
    , m_notEnough(new ContentUnavailableView(m_pages))
{
    setObjectName(QStringLiteral("insightsWindow"));
    setWindowTitle(tr("Insights"));
    resize(defaultWidth, defaultHeight);
    setMinimumSize(420, 420);
    m_onlyVisible->setObjectName(QStringLiteral("onlyVisibleBox"));
    m_onlyVisible->setToolTip(tr("Count only the applications the list shows with its filter and search"));
    m_counted->setObjectName(QStringLiteral("countedLabel"));

    m_scroll->setWidget(m_view);
    Accessibility::nameScrollArea(m_scroll, windowTitle(), Accessibility::TabStop::yes);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_notEnough->setObjectName(QStringLiteral("notEnoughView"));
    m_notEnough->setSymbol(QStringLiteral("line.3.horizontal.decrease.circle"));
    m_notEnough->setTitle(tr("Not enough applications yet"));
    m_notEnough->setMaximumColumnWidth(380);
    m_pages->addWidget(m_scroll);
    m_pages->addWidget(m_notEnough);

    m_header = new QWidget(this);
    m_header->setObjectName(QStringLiteral("insightsHeader"));
    auto* row = new QHBoxLayout(m_header);
    row->setContentsMargins(20, 14, 20, 10);
    row->setSpacing(12);
    auto* titles = new QVBoxLayout;
    titles->setSpacing(2);
    titles->addWidget(m_title);
    titles->addWidget(m_counted);
    row->addLayout(titles, 1);
    row->addWidget(m_onlyVisible, 0, Qt::AlignBottom);

    // Closed as a dialog is: Escape, Ctrl+W or the button, so the keyboard alone
    // gets back to the main window.
    m_close = new QPushButton(tr("Close"), this);
    m_close->setObjectName(QStringLiteral("closeButton"));
    m_close->setAutoDefault(false);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    auto* closeKeys = new QAction(this);
    closeKeys->setObjectName(QStringLiteral("closeInsightsAction"));
    closeKeys->setShortcuts(
        QList<QKeySequence> {QKeySequence(Qt::Key_Escape)} + QKeySequence::keyBindings(QKeySequence::Close));
    closeKeys->setShortcutContext(Qt::WindowShortcut);
    addAction(closeKeys);
    connect(closeKeys, &QAction::triggered, this, &QWidget::close);
    auto* footer = new QHBoxLayout;
    footer->setContentsMargins(20, 10, 20, 12);
    footer->addStretch(1);
    footer->addWidget(m_close);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_header);
    layout->addWidget(m_pages, 1);
    layout->addLayout(footer);

    // Bursts of edits (an import, typing in the editor) come to one computation.
    m_recompute.setSingleShot(true);
    m_recompute.setInterval(0);
    connect(&m_recompute, &QTimer::timeout, this, &InsightsWindow::recompute);
    connect(&m_state, &WindowState::visibleApplicationsChanged, this, &InsightsWindow::scheduleRecompute);
    connect(&m_state, &WindowState::applicationChanged, this, &InsightsWindow::scheduleRecompute);
    connect(&m_state, &WindowState::todayChanged, this, &InsightsWindow::scheduleRecompute);
    connect(m_onlyVisible, &QCheckBox::toggled, this, &InsightsWindow::recompute);

    applyStyle();
    recompute();
}

bool InsightsWindow::onlyVisible() const
{
    return m_onlyVisible->isChecked();
}

void InsightsWindow::setOnlyVisible(bool only)
{
    m_onlyVisible->setChecked(only);
}

const Insights& InsightsWindow::insights() const
{
    return m_view->insights();
}

QWidget* InsightsWindow::currentPage() const
{
    return m_pages->currentWidget();
}

QString InsightsWindow::countedText() const
{
    const qsizetype total = insights().total;
    const QString counted
        = total == 1 ? tr("of 1 application") : tr("of %1 applications").arg(QLocale().toString(qlonglong(total)));
    if (!onlyVisible())
        return counted;
    return tr("%1, as the list shows them", "%1 is “of 42 applications”").arg(counted);
}

void InsightsWindow::scheduleRecompute()
{
    // A hidden window is brought up to date when it is shown again.
    if (isVisible())
        m_recompute.start();
}

void InsightsWindow::recompute()
{
    m_recompute.stop();
    Store& store = m_state.store();
    QList<JobApplication*> records;
    if (store.isLoaded())
        records = onlyVisible() ? m_state.visibleApplications() : store.applicationsByDate();
    m_view->setInsights(computeInsights(records, Clock::now()));
    m_counted->setText(countedText());
    const Insights& figures = insights();
    if (figures.isEnough()) {
        m_pages->setCurrentWidget(m_scroll);
        return;
    }
    const QString soFar = figures.total == 0 ? tr("There are none to count yet.")
        : figures.total == 1                 ? tr("There is 1 so far.")
                                             : tr("There are %1 so far.").arg(QString::number(figures.total));
    m_notEnough->setDescription(tr("Insights need at least %1 applications before their figures mean something.")
                                    .arg(QString::number(Insights::minimumApplications))
        + QLatin1Char(' ') + soFar);
    m_pages->setCurrentWidget(m_notEnough);
}

void InsightsWindow::showEvent(QShowEvent* event)
{
    recompute();
    QWidget::showEvent(event);
}

void InsightsWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        applyStyle();
    QWidget::changeEvent(event);
}

void InsightsWindow::applyStyle()
{
    QFont title = Palette::font(Palette::TextStyle::title2, font());
    title.setWeight(QFont::DemiBold);
    m_title->setFont(title);
    m_counted->setFont(Palette::font(Palette::TextStyle::subheadline, font()));
    Palette::setForeground(m_counted, Palette::secondaryText(palette()));
    const QColor page = Palette::groupedBackground(palette());
    // The pages' backgrounds, not the window's own: setting this window's palette
    // would come back here as another palette change. The header keeps the window's
    // colour, so its check box stands out in the dark too.
    for (QWidget* widget : {m_scroll->viewport(), static_cast<QWidget*>(m_notEnough)}) {
        QPalette p = widget->palette();
        p.setColor(QPalette::Window, page);
        widget->setPalette(p);
        widget->setAutoFillBackground(true);
    }
    m_scroll->setStyleSheet(Palette::slimScrollBarStyleSheet(palette()));
}
