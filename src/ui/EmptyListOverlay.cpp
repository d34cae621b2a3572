#include "ui/EmptyListOverlay.h"

#include <QEvent>

EmptyListOverlay::EmptyListOverlay(std::function<void()> onCreate, QWidget* parent)
    : ContentUnavailableView(parent)
    , m_onCreate(std::move(onCreate))
{
    setObjectName(QStringLiteral("emptyListOverlay"));
    retranslate();
}

void EmptyListOverlay::setHasAnyRecord(bool hasAnyRecord)
{
    if (hasAnyRecord == m_hasAnyRecord)
        return;
    m_hasAnyRecord = hasAnyRecord;
    retranslate();
}

void EmptyListOverlay::retranslate()
{
    if (m_hasAnyRecord) {
        setSymbol(QStringLiteral("line.3.horizontal.decrease.circle"));
        setTitle(tr("No results"));
        setDescription(tr("No application matches your search or filter."));
        setAction(QString(), {});
    } else {
        setSymbol(QStringLiteral("tray"));
        setTitle(tr("No applications yet"));
        setDescription(tr("Add your first application to start tracking."));
        setAction(tr("New Application"), [this] {
            if (m_onCreate)
                m_onCreate();
        });
    }
}

void EmptyListOverlay::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    ContentUnavailableView::changeEvent(event);
}
