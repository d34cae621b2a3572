#include "ui/ShapedText.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QRect>

namespace {

struct Key {
    QFont font;
    QString text;
    int room;

    bool operator==(const Key& other) const = default;
};

size_t qHash(const Key& key, size_t seed = 0) noexcept
{
    return qHashMulti(seed, key.font, key.text, key.room);
}

// A few screens of rows; past that the cache starts again rather than grow with the list.
constexpr qsizetype cacheLimit = 4096;

} // namespace

namespace ShapedText {

Line line(const QFont& font, const QString& text, int room)
{
    // Painting happens on the window's thread only.
    static QHash<Key, Line> cache;
    Key key {font, text, room < 0 ? -1 : room};
    if (const auto found = cache.constFind(key); found != cache.cend())
        return *found;
    const QFontMetrics metrics(font);
    Line shaped;
    shaped.text = key.room < 0 ? text : metrics.elidedText(text, Qt::ElideRight, key.room);
    shaped.width = metrics.horizontalAdvance(shaped.text);
    shaped.prepared.setText(shaped.text);
    shaped.prepared.setTextFormat(Qt::PlainText);
    shaped.prepared.setPerformanceHint(QStaticText::AggressiveCaching);
    shaped.prepared.prepare(QTransform(), font);
    if (cache.size() >= cacheLimit)
        cache.clear();
    cache.insert(std::move(key), shaped);
    return shaped;
}

void draw(QPainter* painter, const QRect& rect, const QFont& font, const Line& line)
{
    if (line.text.isEmpty())
        return;
    // An elided line fits its room, so it needs no clip.
    painter->setFont(font);
    painter->drawStaticText(
        QPointF(rect.left(), rect.top() + (rect.height() - QFontMetrics(font).height()) / 2), line.prepared);
}

} // namespace ShapedText
