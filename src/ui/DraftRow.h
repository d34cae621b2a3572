#pragma once

#include "model/JobApplication.h"
#include "posting/PostingDraft.h"

#include <QPointer>
#include <QWidget>

#include <array>

class AlreadyAppliedLine;
class ConfidenceBadge;
class DraftThumbnail;
class EvidenceHint;
class MetaChip;
class SuggestionChip;

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QGraphicsOpacityEffect;
class QGridLayout;
class QHBoxLayout;
class QImage;
class QLabel;
class QLineEdit;

// One detected application on the review sheet: an include checkbox, where it came
// from and a small picture of it, how sure the import is, the board and the place it
// was found with, and the four fields the user may correct, each with how sure the
// import is of it and the evidence behind it. Under a field whose two readings
// differ, a chip offers the other reading's value; a click puts it in the field, as
// typing would. Lines say when the input does not look like a job posting and when
// the list already holds this application. Edits go straight into the draft; the
// row is drawn at half strength while the draft is unticked.
class DraftRow : public QWidget {
    Q_OBJECT

public:
    // The editable fields, in the order the row shows them.
    enum class Field { company, position, postingLink, workModel };
    static constexpr int fieldCount = 4;
    static QString label(Field field);
    static QString locationLabel();
    static QString notAPostingText();

    explicit DraftRow(PostingDraft& draft, QWidget* parent = nullptr);

    PostingDraft* draft() const { return m_draft; }

    QCheckBox* includeBox() const { return m_include; }
    QLabel* sourceLabel() const { return m_source; }
    // The row's word: every field it shows, and whether it looks like a posting.
    ConfidenceBadge* confidenceBadge() const { return m_confidence; }
    // Each field's own word; hidden while the field is empty or no longer holds the
    // value the review started with.
    const std::array<ConfidenceBadge*, fieldCount>& fieldBadges() const { return m_fieldBadges; }
    // Null for postings from an unknown board, respectively without a place.
    MetaChip* boardChip() const { return m_board; }
    MetaChip* locationChip() const { return m_location; }
    // "This does not look like a job posting.", under the source; hidden otherwise.
    QLabel* notAPostingLine() const { return m_notAPosting; }
    QLineEdit* companyField() const { return m_company; }
    QLineEdit* positionField() const { return m_position; }
    QLineEdit* linkField() const { return m_link; }
    // One segment per work model, in case order.
    QList<QAbstractButton*> workModelSegments() const;
    // Company, position, posting link, work model.
    const std::array<EvidenceHint*, fieldCount>& evidenceHints() const { return m_hints; }
    // 1.0 while included, 0.5 otherwise.
    qreal rowOpacity() const;
    DraftThumbnail* thumbnail() const { return m_thumbnail; }

    // The chips offering the other reading's values; hidden while there is none or the
    // field already holds it.
    SuggestionChip* companySuggestion() const { return m_chips[0]; }
    SuggestionChip* positionSuggestion() const { return m_chips[1]; }

    // The stored record this draft repeats; none hides the warning.
    void setExistingRecord(JobApplication* record);
    AlreadyAppliedLine* alreadyAppliedLine() const { return m_applied; }

Q_SIGNALS:
    // The warning line was clicked: the window should show `record`.
    void existingRecordRequested(JobApplication* record);
    // The thumbnail was clicked, or Space pressed on the row: show the picture large.
    void pictureRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QHBoxLayout* buildHeader(const PostingDraft& draft);
    void buildEditors();
    QWidget* buildWorkModelPicker();
    void buildChips(const DraftStart& start);
    QGridLayout* buildGrid(QWidget* picker);
    void buildLayout(const PostingDraft& draft);
    void setTabOrders();
    void applyStyle();
    void elideSource();
    void showDraft();

    QPointer<PostingDraft> m_draft;
    QCheckBox* m_include = nullptr;
    QLabel* m_source = nullptr;
    QLabel* m_notAPosting = nullptr;
    ConfidenceBadge* m_confidence = nullptr;
    MetaChip* m_board = nullptr;
    MetaChip* m_location = nullptr;
    DraftThumbnail* m_thumbnail = nullptr;
    QLineEdit* m_company = nullptr;
    QLineEdit* m_position = nullptr;
    QLineEdit* m_link = nullptr;
    QButtonGroup* m_workModel = nullptr;
    std::array<EvidenceHint*, fieldCount> m_hints {};
    std::array<ConfidenceBadge*, fieldCount> m_fieldBadges {};
    std::array<SuggestionChip*, fieldCount> m_chips {};
    AlreadyAppliedLine* m_applied = nullptr;
    QList<QLabel*> m_fieldLabels;
    QGraphicsOpacityEffect* m_opacity = nullptr;
};
