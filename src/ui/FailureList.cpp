#include "ui/FailureList.h"

#include "ui/Palette.h"
#include "ui/Symbols.h"

#include <QAbstractListModel>
#include <QEvent>
#include <QListView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// At most this many lines show at once; more scroll.
constexpr int visibleLines = 6;
constexpr int lineGap = 4;

int captionHeight(const QFont& base)
{
    return QFontMetrics(Palette::font(Palette::TextStyle::caption, base)).height();
}

class FailureDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override
    {
        return QSize(option.rect.width(), captionHeight(option.font) + lineGap);
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QFont caption = Palette::font(Palette::TextStyle::caption, option.font);
        const int size = captionHeight(option.font);
        const QColor orange = Palette::textColor(NamedColor::orange, option.palette);
        const QRect line = option.rect.adjusted(0, lineGap / 2, 0, -lineGap / 2);
        const QRect icon(line.left(), line.top() + (line.height() - size) / 2, size, size);
        Symbols::paint(painter, icon, QStringLiteral("exclamationmark.triangle"), orange);
        const QRect text = line.adjusted(size + 6, 0, 0, 0);
        painter->save();
        painter->setFont(caption);
        painter->setPen(orange);
        painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
            QFontMetrics(caption).elidedText(index.data().toString(), Qt::ElideMiddle, text.width()));
        painter->restore();
    }
};

} // namespace

class FailureLines : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(m_texts.size()); }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_texts.size())
            return {};
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole || role == Qt::AccessibleTextRole)
            return m_texts.at(index.row());
        return {};
    }

    void sync(const QStringList& texts)
    {
        const qsizetype known = m_texts.size();
        const bool grown = texts.size() >= known && std::equal(m_texts.begin(), m_texts.end(), texts.begin());
        if (!grown) {
            beginResetModel();
            m_texts = texts;
            endResetModel();
            return;
        }
        if (texts.size() == known)
            return;
        beginInsertRows({}, int(known), int(texts.size() - 1));
        m_texts.append(texts.mid(known));
        endInsertRows();
    }

    const QStringList& texts() const { return m_texts; }

private:
    QStringList m_texts;
};

FailureList::FailureList(const QString& accessibleName, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("failureLines"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 8, 16, 8);
    m_lines = new FailureLines(this);
    m_view = new QListView(this);
    m_view->setObjectName(QStringLiteral("failureList"));
    m_view->setModel(m_lines);
    m_view->setItemDelegate(new FailureDelegate(m_view));
    m_view->setUniformItemSizes(true);
    m_view->setFrameShape(QFrame::NoFrame);
    m_view->setSelectionMode(QAbstractItemView::NoSelection);
    m_view->setFocusPolicy(Qt::NoFocus);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setAccessibleName(accessibleName);
    // The lines lie on the sheet's own background.
    m_view->viewport()->setAutoFillBackground(false);
    m_view->setStyleSheet(Palette::slimScrollBarStyleSheet(palette()));
    layout->addWidget(m_view);
    setVisible(false);
}

void FailureList::sync(const QStringList& texts)
{
    m_lines->sync(texts);
    fitHeight();
    setVisible(!texts.isEmpty());
    // The newest line in view, as a growing list of lines would show it.
    m_view->scrollToBottom();
}

const QStringList& FailureList::texts() const
{
    return m_lines->texts();
}

void FailureList::fitHeight()
{
    const int lines = std::min(m_lines->rowCount(), visibleLines);
    m_view->setFixedHeight(lines * (captionHeight(font()) + lineGap));
}

void FailureList::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        m_view->setStyleSheet(Palette::slimScrollBarStyleSheet(palette()));
    else if (event->type() == QEvent::FontChange)
        fitHeight();
    QWidget::changeEvent(event);
}
