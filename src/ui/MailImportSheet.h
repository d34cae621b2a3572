#pragma once

#include "mail/MailStatusUpdates.h"

#include <QDialog>
#include <QList>

#include <functional>

class ContentUnavailableView;
class FailureList;
class MailImportSession;
class MailUpdateRow;
class QLabel;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class QVBoxLayout;

// The review of a mail import, in the posting review's look: one row per message
// (who sent it, when, what it says, the application it is about and the change it
// would make), the inputs that could not be read underneath, and "Apply N Changes".
// Nothing changes before Apply; Cancel, and closing the sheet any other way,
// discards the import.
class MailImportSheet : public QDialog {
    Q_OBJECT

public:
    // Applies the chosen changes (the window's step).
    using ApplyAction = std::function<void(const QList<MailStatusUpdate>& changes)>;

    enum class Content { reading, nothingRead, review };

    MailImportSheet(MailImportSession& session, ApplyAction onApply, QWidget* parent = nullptr);
    ~MailImportSheet() override;

    Content content() const;
    const QList<MailUpdateRow*>& rows() const { return m_rows; }
    QStringList failureTexts() const;
    QPushButton* applyButton() const { return m_apply; }
    QPushButton* cancelButton() const { return m_cancel; }
    QWidget* footerIndicator() const { return m_footerIndicator; }

    // "Apply %n Changes".
    static QString applyTitle(qsizetype count);

    void cancel();
    // Hands the chosen changes to the apply action, then clears the session and closes.
    void apply();

    QSize sizeHint() const override;
    void reject() override;
    void accept() override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void buildLayout();
    void applyStyle();
    void syncRows();
    void syncFailures();
    void syncState();
    void updateApplyButton();

    MailImportSession& m_session;
    ApplyAction m_onApply;
    bool m_finishing = false;

    QLabel* m_title = nullptr;
    QLabel* m_subtitle = nullptr;
    QStackedWidget* m_content = nullptr;
    QLabel* m_readingPage = nullptr;
    ContentUnavailableView* m_nothingRead = nullptr;
    QScrollArea* m_scroll = nullptr;
    QVBoxLayout* m_rowLayout = nullptr;
    QList<MailUpdateRow*> m_rows;
    FailureList* m_failures = nullptr;
    QWidget* m_footerIndicator = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_apply = nullptr;
};
