#pragma once

#include "mail/MailUpdate.h"

#include <QPointer>
#include <QWidget>

class ConfidenceBadge;
class MetaChip;
class StatusBadge;
class QCheckBox;
class QComboBox;
class QGraphicsOpacityEffect;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

// One message on the mail review: who sent it and when, its subject, what it is,
// the application it is about (a picker to change it, or "Not in your list" with a
// button to make a new one), the change it would make ("Applied → Rejected" and the
// reason) with the sentence it was read from, and an include box. The row is drawn
// at half strength while its change is left out.
class MailUpdateRow : public QWidget {
    Q_OBJECT

public:
    explicit MailUpdateRow(MailUpdate& update, QWidget* parent = nullptr);

    MailUpdate* update() const { return m_update; }

    QCheckBox* includeBox() const { return m_include; }
    QLabel* senderLabel() const { return m_sender; }
    ConfidenceBadge* confidenceBadge() const { return m_confidence; }
    QComboBox* applicationPicker() const { return m_picker; }
    QLabel* notInListLabel() const { return m_notInList; }
    QPushButton* createButton() const { return m_create; }
    QLineEdit* newCompanyField() const { return m_newCompany; }
    StatusBadge* fromBadge() const { return m_from; }
    StatusBadge* toBadge() const { return m_to; }
    // The change in words when there is no status move, and the reason of a rejection.
    QLabel* changeLabel() const { return m_changeText; }
    QLabel* reasonLabel() const { return m_reason; }
    QLabel* evidenceLabel() const { return m_evidence; }
    qreal rowOpacity() const;

    // "Rejection", "Interview invitation", …
    static QString kindTitle(MailKind kind);
    // "Acme Robotics A.Ş. — Backend Engineer".
    static QString applicationTitle(const MailCandidate& application);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildLayout();
    QHBoxLayout* buildHeader();
    QHBoxLayout* buildApplicationLine();
    QHBoxLayout* buildChangeLine();
    QVBoxLayout* buildEvidence(const QString& read);
    void fillPicker(bool everyApplication);
    void applyStyle();
    void showUpdate();
    void showApplication(const MailUpdate& update);
    void showChange(const MailUpdate& update);
    static QString changeText(const MailUpdate& update, const MailProposal& proposal);
    void showConfidence(const MailUpdate& update);
    void showEvidence(const MailUpdate& update);

    QPointer<MailUpdate> m_update;
    QCheckBox* m_include = nullptr;
    QLabel* m_sender = nullptr;
    MetaChip* m_kind = nullptr;
    ConfidenceBadge* m_confidence = nullptr;
    QLabel* m_subject = nullptr;
    QComboBox* m_picker = nullptr;
    bool m_pickerComplete = false;
    QLabel* m_notInList = nullptr;
    QPushButton* m_create = nullptr;
    QLineEdit* m_newCompany = nullptr;
    QWidget* m_move = nullptr;
    StatusBadge* m_from = nullptr;
    StatusBadge* m_to = nullptr;
    QLabel* m_arrow = nullptr;
    QLabel* m_changeText = nullptr;
    QLabel* m_reason = nullptr;
    QLabel* m_evidence = nullptr;
    QLabel* m_matchEvidence = nullptr;
    QList<QLabel*> m_fieldLabels;
    QGraphicsOpacityEffect* m_opacity = nullptr;
};
