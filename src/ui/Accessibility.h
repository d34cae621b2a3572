#pragma once

#include <QAccessible>
#include <QList>
#include <QRect>
#include <QString>

#include <functional>

class QAbstractButton;
class QAbstractScrollArea;
class QWidget;

// What assistive tools (screen readers) are told about the windows beyond what Qt
// tells them by itself.
namespace Accessibility {

// One thing a widget paints itself (a segment of a picker, a card, a line of a
// card, a cell of a chart), shown to assistive tools as an object of its own.
struct Part {
    QAccessible::Role role = QAccessible::StaticText;
    QString name;
    QString description;
    QRect rect; // in the widget's coordinates
    bool checkable = false;
    bool checked = false;
    bool focused = false;
    std::function<void()> press; // its action, if it has one
    QList<Part> children;
    // A table's shape: its children are the cells, row by row.
    int rows = 0;
    int columns = 0;

    bool sameShape(const Part& other) const;
};

// A widget that paints its own parts and tells what they are.
class PaintedParts {
public:
    virtual ~PaintedParts() = default;
    // The role of the widget itself and the parts it paints, in reading order.
    virtual QAccessible::Role accessibleRole() const = 0;
    virtual QList<Part> accessibleParts() const = 0;
};

// A checkable button of an exclusive group (a segment of a segmented picker) is a
// radio button to screen readers, whatever it looks like. Called before the
// button is first shown or named: Qt keeps the first description it makes.
void presentAsRadioButton(QAbstractButton* button);

// A scroll area and its scroll bars carry `name`, so that a reader meeting them
// says what scrolls. One holding fields is no stop of its own for Tab (the fields
// are, and each scrolls itself into view); one holding only a painted page stays
// one, the keyboard's way to scroll it.
enum class TabStop : bool { no, yes };
void nameScrollArea(QAbstractScrollArea* area, const QString& name, TabStop tabStop = TabStop::no);

// Whether a change event is one a listener can notice: a change of name or
// description of a shown object to a text it did not have, or focus on a shown one. Construction sets the
// texts of a whole form at once (the editor is built afresh for each record), and
// bindings set a text again after each edit; neither is a change to announce.
// Remembers the texts it lets through.
bool isNoticeable(QAccessibleEvent* event);

} // namespace Accessibility
