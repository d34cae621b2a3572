#include "ui/ApplicationListView.h"

#include "model/ApplicationEdits.h"
#include "tracking/WindowState.h"
#include "ui/ApplicationListModel.h"
#include "ui/ApplicationRow.h"
#include "ui/Palette.h"
#include "ui/Symbols.h"

#include <QAction>
#include <QListView>
#include <QMenu>

// A row's context menu and the delete key.

void ApplicationListView::deleteSelected()
{
    const std::optional<RecordID> selected = m_state.selectedID();
    if (!selected || !m_actions.onDelete)
        return;
    // Only a record the list shows: a selection hidden by the filter is left alone.
    for (JobApplication* record : m_model->applications()) {
        if (record->id() == *selected) {
            m_actions.onDelete(*record);
            return;
        }
    }
}

std::unique_ptr<QMenu> ApplicationListView::makeContextMenu(JobApplication& application)
{
    auto menu = std::make_unique<QMenu>(this);
    menu->setObjectName(QStringLiteral("rowContextMenu"));
    const QPalette& pal = palette();
    const RecordPointer record(&application);

    QAction* star = menu->addAction(application.isFavorite() ? tr("Remove Star") : tr("Add Star"));
    star->setObjectName(QStringLiteral("toggleStarAction"));
    star->setIcon(Symbols::icon(application.isFavorite() ? QStringLiteral("star") : QStringLiteral("star.fill"),
        Palette::fillColor(NamedColor::yellow, pal)));
    connect(star, &QAction::triggered, this, [this, record] {
        if (JobApplication* target = record.data())
            m_state.edits().toggleFavorite(*target);
    });

    if (const auto url = application.postingURL()) {
        QAction* open = menu->addAction(tr("Open Posting"));
        open->setObjectName(QStringLiteral("openPostingAction"));
        open->setIcon(Symbols::icon(QStringLiteral("arrow.up.right.square"), pal.color(QPalette::Text)));
        connect(open, &QAction::triggered, this, [this, record] {
            // Read the link again: it may have changed while the menu was open.
            JobApplication* target = record.data();
            if (!target)
                return;
            if (const auto current = target->postingURL(); current && m_actions.openURL)
                m_actions.openURL(*current);
        });
    }

    menu->addSeparator();

    // Destructive: drawn with the red trash symbol. The list deletes nothing itself.
    QAction* remove = menu->addAction(tr("Delete"));
    remove->setObjectName(QStringLiteral("deleteAction"));
    remove->setIcon(Symbols::icon(QStringLiteral("trash"), Palette::textColor(NamedColor::red, pal)));
    connect(remove, &QAction::triggered, this, [this, record] {
        if (JobApplication* target = record.data(); target && m_actions.onDelete)
            m_actions.onDelete(*target);
    });
    return menu;
}

void ApplicationListView::showContextMenu(const QPoint& position)
{
    JobApplication* record = m_model->application(m_list->indexAt(position));
    if (!record)
        return;
    QMenu* menu = makeContextMenu(*record).release();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The row the menu acts on is outlined while it is open; the selection stays.
    m_row->setMarkedID(record->id());
    m_list->viewport()->update();
    connect(menu, &QMenu::aboutToHide, this, [this] {
        m_row->setMarkedID(0);
        m_list->viewport()->update();
    });
    menu->popup(m_list->viewport()->mapToGlobal(position));
}
