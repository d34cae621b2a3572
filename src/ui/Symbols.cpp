#include "ui/Symbols.h"

#include "symbols/OutlineFile.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPixmapCache>

#include <algorithm>
#include <array>
#include <cmath>

namespace Symbols {

namespace {

struct Entry {
    const char* name;
    const char* file;
};

// Phosphor's regular weight stands for the plain names, its fill weight for the
// ".fill" names.
constexpr std::array entries {
    Entry {"paperplane.fill", "fill/paper-plane-tilt-fill"},
    Entry {"person.wave.2.fill", "fill/user-sound-fill"},
    Entry {"chevron.left.forwardslash.chevron.right", "regular/code"},
    Entry {"checkmark.seal.fill", "fill/seal-check-fill"},
    Entry {"xmark.circle.fill", "fill/x-circle-fill"},
    Entry {"house", "regular/house"},
    Entry {"arrow.left.arrow.right", "regular/arrows-left-right"},
    Entry {"building.2", "regular/buildings"},
    Entry {"clock", "regular/clock"},
    Entry {"clock.badge.exclamationmark", "regular/clock-countdown"},
    Entry {"exclamationmark.triangle.fill", "fill/warning-fill"},
    Entry {"exclamationmark.circle", "regular/warning-circle"},
    Entry {"bell.badge.fill", "fill/bell-ringing-fill"},
    Entry {"star", "regular/star"},
    Entry {"star.fill", "fill/star-fill"},
    Entry {"plus", "regular/plus"},
    Entry {"line.3.horizontal.decrease.circle", "regular/funnel"},
    Entry {"line.3.horizontal.decrease.circle.fill", "fill/funnel-fill"},
    Entry {"tray", "regular/tray"},
    Entry {"doc.text.magnifyingglass", "regular/file-magnifying-glass"},
    Entry {"magnifyingglass", "regular/magnifying-glass"},
    Entry {"flag.checkered", "regular/flag-checkered"},
    Entry {"calendar", "regular/calendar"},
    Entry {"trash", "regular/trash"},
    Entry {"arrow.up.right.square", "regular/arrow-square-out"},
    Entry {"photo", "regular/image"},
    Entry {"doc.on.clipboard", "regular/clipboard-text"},
    Entry {"square.and.arrow.up", "regular/export"},
    Entry {"square.and.arrow.down", "regular/download-simple"},
    Entry {"checkmark.circle.fill", "fill/check-circle-fill"},
    Entry {"questionmark.circle", "regular/question"},
    Entry {"link", "regular/link"},
    Entry {"envelope", "regular/envelope"},
    Entry {"xmark", "regular/x"},
    Entry {"folder", "regular/folder"},
    Entry {"globe", "regular/globe"},
    Entry {"text.viewfinder", "regular/scan"},
    Entry {"text.magnifyingglass", "regular/magnifying-glass"},
    Entry {"exclamationmark.triangle", "regular/warning"},
};

const Entry* find(const QString& name)
{
    for (const Entry& entry : entries) {
        if (name == QLatin1String(entry.name))
            return &entry;
    }
    return nullptr;
}

// The outline the build read from the picture of `name`, read when first drawn; the
// views draw on the main thread. None for a name without a picture.
const SymbolOutline* outlineOf(const QString& name)
{
    static QHash<QString, std::optional<SymbolOutline>> outlines;
    auto found = outlines.constFind(name);
    if (found == outlines.cend()) {
        std::optional<SymbolOutline> outline;
        if (const Entry* entry = find(name)) {
            QFile file(QLatin1String(":/symbols/") + QLatin1String(entry->file) + QLatin1String(OutlineFile::suffix));
            if (file.open(QIODevice::ReadOnly))
                outline = OutlineFile::read(file.readAll());
        }
        found = outlines.insert(name, outline);
    }
    return *found ? &**found : nullptr;
}

class SymbolIconEngine : public QIconEngine {
public:
    SymbolIconEngine(QString name, QColor color)
        : m_name(std::move(name))
        , m_color(std::move(color))
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        Symbols::paint(painter, rect, m_name, colorFor(mode));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }

    // QIcon asks in device pixels, with the ratio alongside.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale) override
    {
        const qreal ratio = scale > 0 ? scale : 1.0;
        const int side = std::min(size.width(), size.height());
        return Symbols::pixmap(m_name, colorFor(mode), qRound(side / ratio), ratio);
    }

    QIconEngine* clone() const override { return new SymbolIconEngine(m_name, m_color); }
    QString key() const override { return QStringLiteral("applywright-symbol"); }
    bool isNull() override { return !contains(m_name); }

private:
    QColor colorFor(QIcon::Mode mode) const
    {
        if (mode != QIcon::Disabled)
            return m_color;
        QColor faded = m_color;
        faded.setAlphaF(m_color.alphaF() * 0.38f);
        return faded;
    }

    QString m_name;
    QColor m_color;
};

// The bitmaps are :/application-icon/<size>.png.
class ApplicationIconEngine : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, scaledPixmap(rect.size() * ratio, mode, state, ratio));
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode, QIcon::State, qreal scale) override
    {
        const int side = std::min(size.width(), size.height());
        const QList<int> rendered = sizes();
        if (side <= 0 || rendered.isEmpty())
            return {};
        const auto larger = std::lower_bound(rendered.begin(), rendered.end(), side);
        const int source = larger == rendered.end() ? rendered.last() : *larger;
        const QString key = QLatin1String("aw-application-icon|") + QString::number(side);
        QPixmap result;
        if (!QPixmapCache::find(key, &result)) {
            QImage image(path(source));
            if (image.isNull())
                return {};
            if (source != side)
                image = image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            result = QPixmap::fromImage(image);
            QPixmapCache::insert(key, result);
        }
        result.setDevicePixelRatio(scale > 0 ? scale : 1.0);
        return result;
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> result;
        for (const int side : sizes())
            result.append(QSize(side, side));
        return result;
    }
    QIconEngine* clone() const override { return new ApplicationIconEngine; }
    QString key() const override { return QStringLiteral("applywright-application-icon"); }
    bool isNull() override { return sizes().isEmpty(); }

private:
    static QString folder() { return QStringLiteral(":/application-icon"); }
    static QString path(int side) { return folder() + u'/' + QString::number(side) + u".png"; }
    // The sizes rendered, smallest first, read from the resource once.
    static const QList<int>& sizes()
    {
        static const QList<int> found = [] {
            QList<int> result;
            for (const QString& entry : QDir(folder()).entryList(QDir::Files))
                result.append(entry.section(u'.', 0, 0).toInt());
            result.removeAll(0);
            std::sort(result.begin(), result.end());
            return result;
        }();
        return found;
    }
};

} // namespace

QStringList names()
{
    QStringList result;
    for (const Entry& entry : entries)
        result.append(QLatin1String(entry.name));
    return result;
}

bool contains(const QString& name)
{
    return find(name) != nullptr;
}

QString picture(const QString& name)
{
    const Entry* entry = find(name);
    return entry ? QLatin1String(entry->file) : QString();
}

QPixmap pixmap(const QString& name, const QColor& color, int size, qreal devicePixelRatio)
{
    if (size <= 0 || !contains(name))
        return {};
    const QString key = QLatin1String("aw-symbol|") + name + QLatin1Char('|') + QString::number(color.rgba(), 16)
        + QLatin1Char('|') + QString::number(size) + QLatin1Char('|') + QString::number(devicePixelRatio);
    QPixmap cached;
    if (QPixmapCache::find(key, &cached))
        return cached;

    const SymbolOutline* shape = outlineOf(name);
    if (!shape)
        return {};
    const int device = int(std::ceil(size * devicePixelRatio));
    QPixmap result(device, device);
    result.fill(Qt::transparent);
    {
        QPainter painter(&result);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(device / shape->viewBox.width(), device / shape->viewBox.height());
        painter.translate(-shape->viewBox.topLeft());
        painter.fillPath(shape->outline, color);
    }
    result.setDevicePixelRatio(devicePixelRatio);
    QPixmapCache::insert(key, result);
    return result;
}

void paint(QPainter* painter, const QRectF& rect, const QString& name, const QColor& color)
{
    const int side = int(std::floor(std::min(rect.width(), rect.height())));
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : qApp->devicePixelRatio();
    const QPixmap pm = pixmap(name, color, side, ratio);
    if (pm.isNull())
        return;
    const QPointF topLeft(rect.x() + (rect.width() - side) / 2.0, rect.y() + (rect.height() - side) / 2.0);
    // Whole device pixels keep the thin strokes crisp.
    painter->drawPixmap(QPointF(std::round(topLeft.x() * ratio) / ratio, std::round(topLeft.y() * ratio) / ratio), pm);
}

QIcon icon(const QString& name, const QColor& color)
{
    return QIcon(new SymbolIconEngine(name, color));
}

QIcon applicationIcon()
{
    return QIcon(new ApplicationIconEngine);
}

} // namespace Symbols
