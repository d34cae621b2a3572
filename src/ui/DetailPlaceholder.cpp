#include "ui/DetailPlaceholder.h"

#include <QEvent>

DetailPlaceholder::DetailPlaceholder(std::function<void()> onCreate, QWidget* parent)
    : ContentUnavailableView(parent)
    , m_onCreate(std::move(onCreate))
{
    setObjectName(QStringLiteral("detailPlaceholder"));
    setSymbol(QStringLiteral("doc.text.magnifyingglass"));
    retranslate();
}

void DetailPlaceholder::setHasApplications(bool hasApplications)
{
    if (hasApplications == m_hasApplications)
        return;
    m_hasApplications = hasApplications;
    retranslate();
}

void DetailPlaceholder::retranslate()
{
    setTitle(tr("No Application Selected"));
    if (m_hasApplications) {
        setDescription(tr("Select an application from the list to see its details."));
        setAction(QString(), {});
    } else {
        setDescription(tr("Add your first application to start tracking."));
        setAction(tr("New Application"), [this] {
            if (m_onCreate)
                m_onCreate();
        });
    }
}

void DetailPlaceholder::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    ContentUnavailableView::changeEvent(event);
}
