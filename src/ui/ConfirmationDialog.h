#pragma once

#include "model/NamedColor.h"

#include <QDialog>

class QLabel;
class QPushButton;

// A question before something that cannot be undone, in the application's own
// look: the symbol of what is at stake, the question as a title, what happens as
// the text, and two buttons — the action in red, "Cancel" the default, so
// Return and Escape both keep what is there.
class ConfirmationDialog : public QDialog {
    Q_OBJECT

public:
    ConfirmationDialog(const QString& title, const QString& message, const QString& actionText, QWidget* parent);

    QLabel* messageLabel() const { return m_message; }
    QPushButton* actionButton() const { return m_action; }
    QPushButton* cancelButton() const { return m_cancel; }

    // Shows the dialog window-modal over `parent`'s window and waits; true when the
    // action was chosen.
    bool ask();

protected:
    void changeEvent(QEvent* event) override;

private:
    void applyStyle();

    QLabel* m_symbol;
    QLabel* m_title;
    QLabel* m_message;
    QPushButton* m_action;
    QPushButton* m_cancel;
};
