#include "ui/Symbols.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>

#include <array>
#include <cmath>

// Q_INIT_RESOURCE must be used outside any namespace. The icons live in a static
// library, so nothing would pull their resource object in without this call.
static void initIconResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    Q_UNUSED(done)
}

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

QString resourcePath(const QString& name)
{
    const Entry* entry = find(name);
    if (!entry)
        return {};
    return QLatin1String(":/icons/phosphor/") + QLatin1String(entry->file) + QLatin1String(".svg");
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

    initIconResources();
    QSvgRenderer renderer(resourcePath(name));
    if (!renderer.isValid())
        return {};
    const int device = int(std::ceil(size * devicePixelRatio));
    QPixmap result(device, device);
    result.fill(Qt::transparent);
    {
        QPainter painter(&result);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(0, 0, device, device));
        // The SVGs are drawn in one colour; painting the tint "source in" recolours
        // exactly the drawn pixels and keeps their antialiased edges.
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(result.rect(), color);
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

} // namespace Symbols
