#include "ui/Accessibility.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QHash>
#include <QPointer>
#include <QScrollBar>
#include <QWidget>

namespace Accessibility {

bool Part::sameShape(const Part& other) const
{
    if (role != other.role || children.size() != other.children.size() || rows != other.rows
        || columns != other.columns)
        return false;
    for (qsizetype i = 0; i < children.size(); ++i) {
        if (!children[i].sameShape(other.children[i]))
            return false;
    }
    return true;
}

namespace {

constexpr const char* radioProperty = "accessibleAsRadioButton";

// One painted part. The interfaces of a widget's parts live as long as the parts
// keep their shape; their texts and states are refreshed in place.
class PartInterface : public QAccessibleInterface,
                      public QAccessibleActionInterface,
                      public QAccessibleTableInterface,
                      public QAccessibleTableCellInterface {
public:
    PartInterface(QWidget* owner, QAccessibleInterface* parent, const Part& part)
        : m_owner(owner)
        , m_parent(parent)
    {
        for (const Part& child : part.children) {
            auto* interface = new PartInterface(owner, this, child);
            QAccessible::registerAccessibleInterface(interface);
            m_children.append(interface);
        }
        update(part);
    }
    ~PartInterface() override
    {
        for (PartInterface* child : std::as_const(m_children))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(child));
    }

    void update(const Part& part)
    {
        m_part = part;
        for (qsizetype i = 0; i < m_children.size(); ++i)
            m_children[i]->update(part.children[i]);
    }

    bool isValid() const override { return !m_owner.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override
    {
        const QWidget* owner = m_owner.data();
        return owner ? owner->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* parent() const override { return m_parent; }
    QAccessibleInterface* child(int index) const override { return m_children.value(index); }
    int childCount() const override { return int(m_children.size()); }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return int(m_children.indexOf(static_cast<PartInterface*>(const_cast<QAccessibleInterface*>(child))));
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        for (PartInterface* child : m_children) {
            if (child->rect().contains(x, y))
                return child;
        }
        return nullptr;
    }
    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name: return m_part.name;
        case QAccessible::Description: return m_part.description;
        default: return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override { }
    QRect rect() const override
    {
        const QWidget* owner = m_owner.data();
        if (!owner)
            return {};
        return QRect(owner->mapToGlobal(m_part.rect.topLeft()), m_part.rect.size());
    }
    QAccessible::Role role() const override { return m_part.role; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        const QWidget* owner = m_owner.data();
        state.invisible = !owner || !owner->isVisible();
        state.focusable = bool(m_part.press);
        state.focused = m_part.focused;
        state.checkable = m_part.checkable;
        state.checked = m_part.checked;
        state.readOnly = !m_part.press;
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ActionInterface && m_part.press)
            return static_cast<QAccessibleActionInterface*>(this);
        if (type == QAccessible::TableInterface && m_part.role == QAccessible::Table)
            return static_cast<QAccessibleTableInterface*>(this);
        if (type == QAccessible::TableCellInterface && m_part.role == QAccessible::Cell)
            return static_cast<QAccessibleTableCellInterface*>(this);
        return nullptr;
    }

    // The action: pressing the part.
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override
    {
        if (name == pressAction() && m_part.press)
            m_part.press();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    // A table: read only, nothing selected.
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override
    {
        if (row < 0 || column < 0 || row >= m_part.rows || column >= m_part.columns)
            return nullptr;
        return child(row * m_part.columns + column);
    }
    int selectedCellCount() const override { return 0; }
    QList<QAccessibleInterface*> selectedCells() const override { return {}; }
    QString columnDescription(int) const override { return {}; }
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return m_part.columns; }
    int rowCount() const override { return m_part.rows; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override { }

    // A cell of its parent table.
    bool isSelected() const override { return false; }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override
    {
        const int columns = tableColumns();
        return columns > 0 ? m_parent->indexOfChild(this) % columns : 0;
    }
    int rowIndex() const override
    {
        const int columns = tableColumns();
        return columns > 0 ? m_parent->indexOfChild(this) / columns : 0;
    }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return m_parent; }

private:
    int tableColumns() const
    {
        const auto* table = m_parent
            ? static_cast<QAccessibleTableInterface*>(m_parent->interface_cast(QAccessible::TableInterface))
            : nullptr;
        return table ? table->columnCount() : 0;
    }

    QPointer<QWidget> m_owner;
    QAccessibleInterface* m_parent;
    Part m_part;
    QList<PartInterface*> m_children;
};

// A widget that paints its parts: its children are the parts, asked for afresh
// each time a tool looks.
class PaintedWidgetInterface : public QAccessibleWidget {
public:
    PaintedWidgetInterface(QWidget* widget, const PaintedParts& painted)
        : QAccessibleWidget(widget, painted.accessibleRole())
        , m_painted(painted)
    {
    }
    ~PaintedWidgetInterface() override { clear(); }

    int childCount() const override { return int(refreshed().size()); }
    QAccessibleInterface* child(int index) const override { return refreshed().value(index); }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return int(refreshed().indexOf(static_cast<PartInterface*>(const_cast<QAccessibleInterface*>(child))));
    }
    QAccessibleInterface* focusChild() const override
    {
        for (PartInterface* part : refreshed()) {
            if (part->state().focused)
                return part;
        }
        return QAccessibleWidget::focusChild();
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        for (PartInterface* part : refreshed()) {
            if (part->rect().contains(x, y))
                return part;
        }
        return nullptr;
    }

private:
    const QList<PartInterface*>& refreshed() const
    {
        const QList<Part> parts = m_painted.accessibleParts();
        bool same = parts.size() == m_shape.size();
        for (qsizetype i = 0; same && i < parts.size(); ++i)
            same = parts[i].sameShape(m_shape[i]);
        if (!same) {
            clear();
            for (const Part& part : parts) {
                auto* interface = new PartInterface(widget(), const_cast<PaintedWidgetInterface*>(this), part);
                QAccessible::registerAccessibleInterface(interface);
                m_parts.append(interface);
            }
        } else {
            for (qsizetype i = 0; i < parts.size(); ++i)
                m_parts[i]->update(parts[i]);
        }
        m_shape = parts;
        return m_parts;
    }
    void clear() const
    {
        for (PartInterface* part : std::as_const(m_parts))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(part));
        m_parts.clear();
        m_shape.clear();
    }

    const PaintedParts& m_painted;
    mutable QList<Part> m_shape;
    mutable QList<PartInterface*> m_parts;
};

// A checkable button of an exclusive group (a segment of a segmented picker): a
// radio button, whatever it looks like, named by its text.
class RadioSegmentInterface : public QAccessibleWidget {
public:
    explicit RadioSegmentInterface(QAbstractButton* button)
        : QAccessibleWidget(button, QAccessible::RadioButton)
    {
    }
    QString text(QAccessible::Text t) const override
    {
        const QString own = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && own.isEmpty())
            return button()->text().remove(QLatin1Char('&'));
        return own;
    }
    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = button()->isChecked();
        return state;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override
    {
        if (name == pressAction())
            button()->click();
    }

private:
    QAbstractButton* button() const { return static_cast<QAbstractButton*>(widget()); }
};

QAccessibleInterface* interfaceFor(const QString& key, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    // Asked once per class of the object, most derived first: answer only that once.
    if (!widget || key != QLatin1String(object->metaObject()->className()))
        return nullptr;
    if (const auto* painted = dynamic_cast<const PaintedParts*>(object))
        return new PaintedWidgetInterface(widget, *painted);
    if (auto* button = qobject_cast<QAbstractButton*>(widget); button && button->property(radioProperty).toBool())
        return new RadioSegmentInterface(button);
    // A window of its own made from a plain widget is a window, not a pane.
    if (widget->isWindow() && object->metaObject()->superClass() == &QWidget::staticMetaObject)
        return new QAccessibleWidget(widget, QAccessible::Window);
    return nullptr;
}

// The last name and description passed on, by object and kind.
using TextKey = std::pair<QAccessible::Id, bool>;
QHash<TextKey, QString>& passedTexts()
{
    static QHash<TextKey, QString> texts;
    return texts;
}

void passOnNoticeable(QAccessibleEvent* event)
{
    if (!isNoticeable(event))
        return;
    // Handed to the platform's bridge: the one way to it is without this handler.
    const QAccessible::UpdateHandler self = QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(self);
}

} // namespace

void presentAsRadioButton(QAbstractButton* button)
{
    button->setProperty(radioProperty, true);
    // The newest factory is asked first, and Qt's own for its widgets comes after
    // ours at start-up: ours goes in front again before it is asked about a button.
    QAccessible::removeFactory(&interfaceFor);
    QAccessible::installFactory(&interfaceFor);
}

void nameScrollArea(QAbstractScrollArea* area, const QString& name, TabStop tabStop)
{
    if (tabStop == TabStop::no)
        area->setFocusPolicy(Qt::NoFocus);
    area->setAccessibleName(name);
    area->verticalScrollBar()->setAccessibleName(name);
    area->horizontalScrollBar()->setAccessibleName(name);
}

bool isNoticeable(QAccessibleEvent* event)
{
    QHash<TextKey, QString>& texts = passedTexts();
    if (event->type() == QAccessible::ObjectDestroyed) {
        texts.remove({event->uniqueId(), true});
        texts.remove({event->uniqueId(), false});
        return true;
    }
    const auto* widget = qobject_cast<const QWidget*>(event->object());
    // The date pickers' calendars, made with each editor, move their focus unseen.
    if (event->type() == QAccessible::Focus || event->type() == QAccessible::StateChanged)
        return !widget || widget->isVisible();
    const bool name = event->type() == QAccessible::NameChanged;
    if (!name && event->type() != QAccessible::DescriptionChanged)
        return true;
    QAccessibleInterface* interface = event->accessibleInterface();
    if (!interface)
        return true;
    // Forgetting costs at most one repeated announcement; a long session of
    // editors built and dropped must not grow the memory.
    if (texts.size() > 4096)
        texts.clear();
    const TextKey key {QAccessible::uniqueId(interface), name};
    const QString text = interface->text(name ? QAccessible::Name : QAccessible::Description);
    const auto known = texts.constFind(key);
    const bool changed = known == texts.constEnd() || *known != text;
    texts.insert(key, text);
    return changed && (!widget || widget->isVisible());
}

} // namespace Accessibility

namespace {

// Before the first window: the factory answers for every widget made after it.
void installAccessibility()
{
    QAccessible::installFactory(&Accessibility::interfaceFor);
    QAccessible::installUpdateHandler(&Accessibility::passOnNoticeable);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installAccessibility)
