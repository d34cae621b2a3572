#pragma once

#include "model/JobApplication.h"
#include "posting/PostingDraft.h"

#include <QPointer>
#include <QWidget>

#include <array>

class AlreadyAppliedLine;
class ConfidenceBadge;
class EvidenceHint;
class MetaChip;
class SuggestionChip;

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QGraphicsOpacityEffect;
class QLabel;
class QLineEdit;

// One detected application on the review sheet: an include checkbox, where it came
// from, how sure the parser is, the board it was found on and the four fields the
// user may correct, each with the evidence behind the guess. Under a field with a
// suggestion, a chip offers it; a click puts it in the field, as typing would. A
// warning line says when the list already holds this application. Edits go straight
// into the draft; the row is drawn at half strength while the draft is unticked.
class DraftRow : public QWidget {
    Q_OBJECT

public:
    explicit DraftRow(PostingDraft& draft, QWidget* parent = nullptr);

    PostingDraft* draft() const { return m_draft; }

    // The lower of the company's and the position's confidence; low when either is missing.
    static ParseConfidence overallConfidence(const ParsedPosting& parsed);

    QCheckBox* includeBox() const { return m_include; }
    QLabel* sourceLabel() const { return m_source; }
    ConfidenceBadge* confidenceBadge() const { return m_confidence; }
    // Null for postings from an unknown board.
    MetaChip* boardChip() const { return m_board; }
    QLineEdit* companyField() const { return m_company; }
    QLineEdit* positionField() const { return m_position; }
    QLineEdit* linkField() const { return m_link; }
    // One segment per work model, in case order.
    QList<QAbstractButton*> workModelSegments() const;
    // Company, position, posting link, work model.
    const std::array<EvidenceHint*, 4>& evidenceHints() const { return m_hints; }
    // 1.0 while included, 0.5 otherwise.
    qreal rowOpacity() const;

    // The chips offering the draft's suggestions; hidden while there is none or the
    // field already holds it.
    SuggestionChip* companySuggestion() const { return m_companyChip; }
    SuggestionChip* positionSuggestion() const { return m_positionChip; }
    SuggestionChip* workModelSuggestion() const { return m_workModelChip; }

    // The stored record this draft repeats; none hides the warning.
    void setExistingRecord(JobApplication* record);
    AlreadyAppliedLine* alreadyAppliedLine() const { return m_applied; }

Q_SIGNALS:
    // The warning line was clicked: the window should show `record`.
    void existingRecordRequested(JobApplication* record);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildLayout(const PostingDraft& draft);
    void applyStyle();
    void showDraft();
    void buildSuggestions(const PostingSuggestions& suggestions);

    QPointer<PostingDraft> m_draft;
    QCheckBox* m_include = nullptr;
    QLabel* m_source = nullptr;
    ConfidenceBadge* m_confidence = nullptr;
    MetaChip* m_board = nullptr;
    QLineEdit* m_company = nullptr;
    QLineEdit* m_position = nullptr;
    QLineEdit* m_link = nullptr;
    QButtonGroup* m_workModel = nullptr;
    std::array<EvidenceHint*, 4> m_hints {};
    SuggestionChip* m_companyChip = nullptr;
    SuggestionChip* m_positionChip = nullptr;
    SuggestionChip* m_workModelChip = nullptr;
    AlreadyAppliedLine* m_applied = nullptr;
    QList<QLabel*> m_fieldLabels;
    QGraphicsOpacityEffect* m_opacity = nullptr;
};
