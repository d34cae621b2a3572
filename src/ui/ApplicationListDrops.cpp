#include "ui/ApplicationListView.h"

#include <QFileInfo>
#include <QMimeData>
#include <QMimeDatabase>

// What a drop on the list brings: image files, mail files or a message's text.

namespace {

bool conformsToImage(const QMimeType& type)
{
    if (!type.isValid())
        return false;
    const QLatin1String image("image/");
    if (type.name().startsWith(image))
        return true;
    const QStringList ancestors = type.allAncestors();
    return std::any_of(
        ancestors.cbegin(), ancestors.cend(), [&](const QString& name) { return name.startsWith(image); });
}

} // namespace

QList<QUrl> ApplicationListView::imageFiles(const QList<QUrl>& urls)
{
    QList<QUrl> images;
    const QMimeDatabase types;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile())
            continue;
        const QFileInfo file(url.toLocalFile());
        if (!file.isFile() || !file.isReadable())
            continue;
        if (conformsToImage(types.mimeTypeForFile(file, QMimeDatabase::MatchDefault)))
            images.append(url);
    }
    return images;
}

QList<QUrl> ApplicationListView::mailFiles(const QList<QUrl>& urls)
{
    QList<QUrl> files;
    const QMimeDatabase types;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile())
            continue;
        const QFileInfo file(url.toLocalFile());
        if (!file.isFile())
            continue;
        const QString suffix = file.suffix().toLower();
        const QMimeType type = types.mimeTypeForFile(file, QMimeDatabase::MatchExtension);
        if (suffix == u"eml" || suffix == u"mbox" || type.inherits(QStringLiteral("message/rfc822"))
            || type.inherits(QStringLiteral("application/mbox")))
            files.append(url);
    }
    return files;
}

void ApplicationListView::dropData(const QMimeData& dropped, bool& accepted)
{
    accepted = false;
    if (dropped.hasUrls()) {
        // Mail first: a message saved as a file is never a screenshot.
        if (const QList<QUrl> mail = mailFiles(dropped.urls()); !mail.isEmpty() && m_actions.onDropMail) {
            m_actions.onDropMail(mail);
            accepted = true;
            return;
        }
        const QList<QUrl> images = imageFiles(dropped.urls());
        accepted = !images.isEmpty() && bool(m_actions.onDropImages);
        if (accepted)
            m_actions.onDropImages(images);
        return;
    }
    const QString text = dropped.text();
    if (!text.trimmed().isEmpty() && m_actions.onDropText) {
        m_actions.onDropText(text);
        accepted = true;
    }
}
