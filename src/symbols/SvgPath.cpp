#include "symbols/SvgPath.h"

#include <QPointF>

#include <cmath>
#include <numbers>

namespace SvgPath {

namespace {

class Reader {
public:
    explicit Reader(QStringView data)
        : m_data(data)
    {
    }

    // Skips white space and at most one comma.
    void skipSeparators()
    {
        skipSpace();
        if (m_at < m_data.size() && m_data[m_at] == u',') {
            ++m_at;
            skipSpace();
        }
    }
    bool atEnd()
    {
        skipSpace();
        return m_at >= m_data.size();
    }
    // The next command letter, if one comes next.
    std::optional<char16_t> command()
    {
        skipSpace();
        if (m_at < m_data.size() && isCommand(m_data[m_at].unicode()))
            return m_data[m_at++].unicode();
        return std::nullopt;
    }
    // Whether a number (not a command) comes next: the command's parameters repeat.
    bool numberFollows()
    {
        skipSeparators();
        if (m_at >= m_data.size())
            return false;
        const char16_t c = m_data[m_at].unicode();
        return isDigit(c) || c == u'-' || c == u'+' || c == u'.';
    }
    // A value that is missing or malformed reads as 0 and marks the data as failed.
    double number()
    {
        skipSeparators();
        const qsizetype start = m_at;
        if (m_at < m_data.size() && (m_data[m_at] == u'-' || m_data[m_at] == u'+'))
            ++m_at;
        const qsizetype digitsBefore = digits();
        qsizetype digitsAfter = 0;
        if (m_at < m_data.size() && m_data[m_at] == u'.') {
            ++m_at;
            digitsAfter = digits();
        }
        if (digitsBefore == 0 && digitsAfter == 0)
            return fail();
        if (m_at < m_data.size() && (m_data[m_at] == u'e' || m_data[m_at] == u'E')) {
            const qsizetype mark = m_at++;
            if (m_at < m_data.size() && (m_data[m_at] == u'-' || m_data[m_at] == u'+'))
                ++m_at;
            if (digits() == 0)
                m_at = mark;
        }
        bool ok = false;
        const double value = m_data.mid(start, m_at - start).toDouble(&ok);
        return ok ? value : fail();
    }
    // An arc's flag: one digit, which may run straight into what follows ("a8,8,0,011,1").
    bool flag()
    {
        skipSeparators();
        if (m_at < m_data.size() && (m_data[m_at] == u'0' || m_data[m_at] == u'1'))
            return m_data[m_at++] == u'1';
        fail();
        return false;
    }
    QPointF point()
    {
        const double x = number();
        return QPointF(x, number());
    }
    bool failed() const { return m_failed; }

private:
    static bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
    static bool isCommand(char16_t c) { return QStringView(u"mlhvcsqtaz").contains(QChar(char16_t(c | 0x20))); }
    void skipSpace()
    {
        while (m_at < m_data.size()
            && (m_data[m_at] == u' ' || m_data[m_at] == u'\t' || m_data[m_at] == u'\n' || m_data[m_at] == u'\r'
                || m_data[m_at] == u'\f'))
            ++m_at;
    }
    qsizetype digits()
    {
        const qsizetype start = m_at;
        while (m_at < m_data.size() && isDigit(m_data[m_at].unicode()))
            ++m_at;
        return m_at - start;
    }

    double fail()
    {
        m_failed = true;
        return 0;
    }

    QStringView m_data;
    qsizetype m_at = 0;
    bool m_failed = false;
};

double angleBetween(double ux, double uy, double vx, double vy)
{
    return std::atan2(ux * vy - uy * vx, ux * vx + uy * vy);
}

// An elliptical arc from the current point to `to`, as cubic curves of at most a
// quarter turn each: the endpoint form converted to the centre form, as SVG defines it.
void arcTo(QPainterPath& path, QPointF to, double rx, double ry, double rotationDegrees, bool large, bool sweep)
{
    const QPointF from = path.currentPosition();
    rx = std::abs(rx);
    ry = std::abs(ry);
    if (from == to)
        return;
    if (rx == 0 || ry == 0) {
        path.lineTo(to);
        return;
    }
    const double phi = rotationDegrees * std::numbers::pi / 180.0;
    const double cosPhi = std::cos(phi);
    const double sinPhi = std::sin(phi);
    const double dx = (from.x() - to.x()) / 2;
    const double dy = (from.y() - to.y()) / 2;
    const double x1 = cosPhi * dx + sinPhi * dy;
    const double y1 = -sinPhi * dx + cosPhi * dy;
    // Radii too small to reach `to` grow just enough.
    const double lambda = (x1 * x1) / (rx * rx) + (y1 * y1) / (ry * ry);
    if (lambda > 1) {
        rx *= std::sqrt(lambda);
        ry *= std::sqrt(lambda);
    }
    const double numerator = rx * rx * ry * ry - rx * rx * y1 * y1 - ry * ry * x1 * x1;
    const double denominator = rx * rx * y1 * y1 + ry * ry * x1 * x1;
    const double root = std::sqrt(std::max(0.0, numerator / denominator)) * (large == sweep ? -1 : 1);
    const double cx1 = root * rx * y1 / ry;
    const double cy1 = -root * ry * x1 / rx;
    const double cx = cosPhi * cx1 - sinPhi * cy1 + (from.x() + to.x()) / 2;
    const double cy = sinPhi * cx1 + cosPhi * cy1 + (from.y() + to.y()) / 2;
    const double ux = (x1 - cx1) / rx;
    const double uy = (y1 - cy1) / ry;
    const double start = angleBetween(1, 0, ux, uy);
    double turn = angleBetween(ux, uy, (-x1 - cx1) / rx, (-y1 - cy1) / ry);
    if (!sweep && turn > 0)
        turn -= 2 * std::numbers::pi;
    else if (sweep && turn < 0)
        turn += 2 * std::numbers::pi;

    const auto onEllipse = [&](double x, double y) {
        return QPointF(cx + rx * cosPhi * x - ry * sinPhi * y, cy + rx * sinPhi * x + ry * cosPhi * y);
    };
    const int pieces = int(std::ceil(std::abs(turn) / (std::numbers::pi / 2) - 1e-9));
    const double step = turn / std::max(pieces, 1);
    const double handle = 4.0 / 3.0 * std::tan(step / 4);
    double angle = start;
    for (int i = 0; i < pieces; ++i) {
        const double next = angle + step;
        const double c1 = std::cos(angle), s1 = std::sin(angle);
        const double c2 = std::cos(next), s2 = std::sin(next);
        // The last piece ends exactly where the path says, not where rounding put it.
        const QPointF end = i + 1 == pieces ? to : onEllipse(c2, s2);
        path.cubicTo(onEllipse(c1 - handle * s1, s1 + handle * c1), onEllipse(c2 + handle * s2, s2 - handle * c2), end);
        angle = next;
    }
}

} // namespace

std::optional<QPainterPath> parse(QStringView data)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    Reader reader(data);
    QPointF current;
    QPointF subpathStart;
    // The second control point of the last curve, reflected by the smooth forms.
    QPointF lastControl;
    char16_t last = 0;

    while (!reader.atEnd()) {
        const std::optional<char16_t> command = reader.command();
        if (!command || (last == 0 && (*command | 0x20) != u'm'))
            return std::nullopt;
        const bool relative = *command >= u'a';
        const char16_t kind = *command | 0x20;
        if (kind == u'z') {
            // What follows starts where the subpath began (QPainterPath does the same).
            path.closeSubpath();
            current = subpathStart;
            last = kind;
            continue;
        }
        bool first = true;
        do {
            const QPointF origin = relative ? current : QPointF();
            // The pairs after a move's first are lines.
            const char16_t step = kind == u'm' && !first ? u'l' : kind;
            QPointF control = current;
            switch (step) {
            case u'm':
                current = subpathStart = origin + reader.point();
                path.moveTo(current);
                break;
            case u'l':
                current = origin + reader.point();
                path.lineTo(current);
                break;
            case u'h':
                current.setX(origin.x() + reader.number());
                path.lineTo(current);
                break;
            case u'v':
                current.setY(origin.y() + reader.number());
                path.lineTo(current);
                break;
            case u'c':
            case u's': {
                const QPointF reflected = (last == u'c' || last == u's') ? 2 * current - lastControl : current;
                const QPointF c1 = step == u'c' ? origin + reader.point() : reflected;
                control = origin + reader.point();
                current = origin + reader.point();
                path.cubicTo(c1, control, current);
                break;
            }
            case u'q':
            case u't': {
                const QPointF reflected = (last == u'q' || last == u't') ? 2 * current - lastControl : current;
                control = step == u'q' ? origin + reader.point() : reflected;
                current = origin + reader.point();
                path.quadTo(control, current);
                break;
            }
            case u'a': {
                const double rx = reader.number();
                const double ry = reader.number();
                const double rotation = reader.number();
                const bool large = reader.flag();
                const bool sweep = reader.flag();
                current = origin + reader.point();
                arcTo(path, current, rx, ry, rotation, large, sweep);
                break;
            }
            }
            if (reader.failed())
                return std::nullopt;
            lastControl = control;
            last = step;
            first = false;
        } while (reader.numberFollows());
    }
    return path;
}

} // namespace SvgPath
