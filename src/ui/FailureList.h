#pragma once

#include <QStringList>
#include <QWidget>

class FailureLines;
class QListView;

// The inputs an import could not read, under its review: the warning symbol and the
// text in orange, a line each with the whole text in its tooltip. At most six lines
// show at once and the rest scroll, the newest in view; hidden while there are none.
// A list view rather than a label per line, so thousands of unreadable files cost
// no more than six.
class FailureList : public QWidget {
    Q_OBJECT

public:
    // `accessibleName` says what could not be read ("Files that could not be read").
    FailureList(const QString& accessibleName, QWidget* parent = nullptr);

    // Shows these texts. An import's failures only grow, or all go at once; grown,
    // the new lines are inserted in one step.
    void sync(const QStringList& texts);
    const QStringList& texts() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void fitHeight();

    FailureLines* m_lines = nullptr;
    QListView* m_view = nullptr;
};
