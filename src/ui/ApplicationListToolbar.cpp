#include "ui/ApplicationListView.h"

#include "tracking/WindowState.h"
#include "ui/FocusedActions.h"
#include "ui/Palette.h"
#include "ui/Symbols.h"

#include <QAction>
#include <QActionGroup>
#include <QGridLayout>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QStyle>
#include <QToolButton>

// The toolbar above the list: the search field, the filter and sort menu, the new button.

namespace {

constexpr int toolbarIconSize = 18;

} // namespace

void ApplicationListView::buildToolbar()
{
    m_toolbar->setObjectName(QStringLiteral("listToolbar"));
    m_toolbarLayout = new QGridLayout(m_toolbar);
    m_toolbarLayout->setContentsMargins(10, 10, 8, 8);
    m_toolbarLayout->setHorizontalSpacing(4);
    m_toolbarLayout->setVerticalSpacing(8);
    m_toolbarLayout->setColumnStretch(0, 1);

    m_filterButton->setObjectName(QStringLiteral("filterButton"));
    m_filterButton->setText(tr("Filter"));
    m_filterButton->setToolTip(tr("Filter and sort"));
    m_filterButton->setAccessibleName(tr("Filter"));
    m_filterButton->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_filterButton->setAutoRaise(true);
    m_filterButton->setIconSize(QSize(toolbarIconSize, toolbarIconSize));
    // Opened by hand rather than through setMenu(): the style's menu arrow would sit
    // on top of the funnel, which already says "menu".
    connect(m_filterButton, &QToolButton::clicked, this,
        [this] { m_filterMenu->popup(m_filterButton->mapToGlobal(QPoint(0, m_filterButton->height()))); });
    buildFilterMenu();

    m_newButton->setObjectName(QStringLiteral("newApplicationButton"));
    setUpNewButton(*m_newButton, [this] {
        if (m_actions.onCreate)
            m_actions.onCreate();
    });

    m_toolbarLayout->addWidget(m_filterButton, 0, 1);
    m_toolbarLayout->addWidget(m_newButton, 0, 2);
}

void ApplicationListView::setUpNewButton(QToolButton& button, std::function<void()> onCreate)
{
    button.setText(tr("New Application"));
    button.setAccessibleName(tr("New Application"));
    const QKeySequence shortcut = FocusedActions::shortcuts(FocusedActions::Key::createApplication).value(0);
    button.setToolTip(tr("Add a new application (%1)").arg(shortcut.toString(QKeySequence::NativeText)));
    button.setToolButtonStyle(Qt::ToolButtonIconOnly);
    button.setAutoRaise(true);
    button.setIconSize(QSize(toolbarIconSize, toolbarIconSize));
    connect(&button, &QToolButton::clicked, &button, std::move(onCreate));
}

void ApplicationListView::addMenuHeader(QMenu& menu, const QString& text, const char* name)
{
    // Group titles are inactive entries in a small bold font, aligned with the entries.
    QAction* header = menu.addAction(text);
    header->setObjectName(QLatin1String(name));
    header->setEnabled(false);
    QFont font = Palette::font(Palette::TextStyle::caption, menu.font());
    font.setWeight(QFont::DemiBold);
    header->setFont(font);
}

QActionGroup* ApplicationListView::addSortOptions(QMenu& menu, WindowState& state)
{
    auto* group = new QActionGroup(&menu);
    group->setExclusive(true);
    addMenuHeader(menu, tr("Sort"), "sortSection");
    for (SortOption option : allCases<SortOption>()) {
        QAction* action = menu.addAction(title(option));
        action->setObjectName(QLatin1String("sortOption:") + rawValue(option));
        action->setCheckable(true);
        action->setChecked(option == state.sortOption());
        group->addAction(action);
        connect(action, &QAction::triggered, &state, [&state, option] { state.setSortOption(option); });
    }
    connect(&state, &WindowState::sortOptionChanged, group, [group](SortOption option) {
        const QString name = QLatin1String("sortOption:") + rawValue(option);
        for (QAction* action : group->actions())
            action->setChecked(action->objectName() == name);
    });
    return group;
}

void ApplicationListView::buildFilterMenu()
{
    m_filterMenu->setObjectName(QStringLiteral("filterMenu"));
    m_filterMenu->setToolTipsVisible(false);
    m_statusGroup->setExclusive(true);

    addMenuHeader(*m_filterMenu, tr("Status"), "statusSection");
    for (const StatusFilter& filter : StatusFilter::allFilters()) {
        QAction* action = m_filterMenu->addAction(filter.title());
        action->setObjectName(QLatin1String("statusFilter:") + filter.identifier());
        action->setCheckable(true);
        action->setData(filter.identifier());
        m_statusGroup->addAction(action);
        connect(action, &QAction::triggered, this, [this, filter] { m_state.setStatusFilter(filter); });
    }
    m_filterMenu->addSeparator()->setObjectName(QStringLiteral("filterDivider"));
    addSortOptions(*m_filterMenu, m_state);
}

void ApplicationListView::showStatusFilter()
{
    const QString identifier = m_state.statusFilter().identifier();
    for (QAction* action : m_statusGroup->actions())
        action->setChecked(action->data().toString() == identifier);
    updateFilterButton();
}

void ApplicationListView::setSearchField(QLineEdit* field)
{
    m_searchField = field;
    field->setParent(m_toolbar);
    arrangeToolbar();
    // Taken back from the board, it is shown again (a new parent hides a widget).
    field->show();
    // Tab follows the toolbar left to right, then into the list.
    setTabOrder(field, m_filterButton);
    setTabOrder(m_filterButton, m_newButton);
    setTabOrder(m_newButton, m_list);
}

void ApplicationListView::arrangeToolbar()
{
    // The board may hold the field while it is shown.
    if (!m_searchField || m_searchField->parentWidget() != m_toolbar)
        return;
    // The field sits beside the buttons while its whole prompt fits there; in a
    // narrower column it takes a row of its own under them rather than cutting the
    // prompt short.
    const QMargins margins = m_toolbarLayout->contentsMargins();
    const int buttons = m_filterButton->sizeHint().width() + m_newButton->sizeHint().width()
        + 2 * m_toolbarLayout->horizontalSpacing();
    const bool besideButtons = width() - margins.left() - margins.right() - buttons >= searchFieldWidthForPrompt();
    const int row = besideButtons ? 0 : 1;
    const int columns = besideButtons ? 1 : 3;
    const int index = m_toolbarLayout->indexOf(m_searchField);
    if (index >= 0) {
        int currentRow = 0, column = 0, rowSpan = 0, columnSpan = 0;
        m_toolbarLayout->getItemPosition(index, &currentRow, &column, &rowSpan, &columnSpan);
        if (currentRow == row)
            return;
        m_toolbarLayout->removeWidget(m_searchField);
    }
    m_toolbarLayout->addWidget(m_searchField, row, 0, 1, columns);
}

int ApplicationListView::searchFieldWidthForPrompt() const
{
    // The prompt plus what the field keeps around its text: the frame and its inner
    // margin on both sides, and the leading symbol, which a line edit lays out as a
    // small icon with a quarter of its size around it.
    const QStyle* style = m_searchField->style();
    const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, m_searchField);
    const int icon = style->pixelMetric(QStyle::PM_SmallIconSize, nullptr, m_searchField);
    const int leadingSymbol = icon + icon / 2 + 2;
    const int innerMargin = 2;
    return QFontMetrics(m_searchField->font()).horizontalAdvance(m_searchField->placeholderText()) + leadingSymbol
        + 2 * (frame + innerMargin) + 4;
}

QString ApplicationListView::filterSymbol(const StatusFilter& filter)
{
    return filter.kind() == StatusFilter::Kind::all ? QStringLiteral("line.3.horizontal.decrease.circle")
                                                    : QStringLiteral("line.3.horizontal.decrease.circle.fill");
}

void ApplicationListView::updateFilterButton()
{
    const StatusFilter& filter = m_state.statusFilter();
    const bool filtered = filter.kind() != StatusFilter::Kind::all;
    // A filter in force is shown filled, in the accent colour, so it is not forgotten.
    const QColor color
        = filtered ? palette().color(QPalette::Active, QPalette::Highlight) : Palette::secondaryText(palette());
    m_filterButton->setIcon(Symbols::icon(filterSymbol(filter), color));
    m_filterButton->setProperty("symbol", filterSymbol(filter));
}
