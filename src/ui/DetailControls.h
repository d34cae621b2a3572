#pragma once

#include <QCalendarWidget>
#include <QDateTime>
#include <QPlainTextEdit>
#include <QUrl>

#include <functional>

class QDateEdit;
class QLineEdit;
class QToolButton;

// The small pieces the detail form's sections are made of.

// Opens an address in the browser or the mail program.
using OpenURL = std::function<void(const QUrl&)>;

namespace DetailControls {

QLineEdit* lineEdit(const QString& prompt, const char* name, QWidget* parent);
QToolButton* symbolButton(const QString& symbol, const char* name, QWidget* parent);
// A text field with a button after it, as one row control.
QWidget* fieldWithButton(QLineEdit* field, QToolButton* button);
// A date-only field with a calendar. The record keeps a moment; picking a day
// keeps the moment's time of day, as the desktop's date pickers do.
QDateEdit* dateEdit(const char* name);
QDateTime onDay(const QDate& day, const QDateTime& keepTimeOf);

} // namespace DetailControls

// A calendar that draws the days after its last date as disabled (it already
// refuses a click on them).
class PastCalendar : public QCalendarWidget {
    Q_OBJECT

public:
    explicit PastCalendar(QWidget* parent = nullptr);
    // Marks the days after the last date on the page shown.
    void markLaterDays();

protected:
    void showEvent(QShowEvent* event) override;
};

// A plain-text editor that grows with its text between a least and a most
// number of lines, then scrolls.
class GrowingTextEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    GrowingTextEdit(int minimumLines, int maximumLines, QWidget* parent = nullptr);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fit();

    int m_minimumLines;
    int m_maximumLines;
};
