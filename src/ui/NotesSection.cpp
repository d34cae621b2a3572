#include "ui/NotesSection.h"

#include "ui/Palette.h"
#include "ui/RecordBinding.h"

#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>

namespace {

constexpr qreal cornerRadius = 6;

// The notes editor on its own rounded, faintly filled background, ringed in the
// accent colour while it has the keyboard focus (it has no frame to show it).
class NotesEditor : public QPlainTextEdit {
public:
    explicit NotesEditor(QWidget* parent)
        : QPlainTextEdit(parent)
    {
        setFrameShape(QFrame::NoFrame);
        viewport()->setAutoFillBackground(false);
        setBackgroundVisible(false);
        // The padding inside the rounded background is the document's margin.
        document()->setDocumentMargin(9);
        setMinimumHeight(140);
        setTabChangesFocus(true);
        verticalScrollBar()->setStyleSheet(Palette::slimScrollBarStyleSheet(palette()));
        setAutoFillBackground(false);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        {
            QPainter painter(viewport());
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            const QColor fill = Palette::quaternaryFill(palette());
            painter.setBrush(Palette::withAlpha(fill, fill.alphaF() * 0.35));
            const QRectF bounds(viewport()->rect());
            painter.drawRoundedRect(bounds, cornerRadius, cornerRadius);
            if (hasFocus()) {
                painter.setBrush(Qt::NoBrush);
                painter.setPen(QPen(Palette::focusRing(palette()), 2));
                painter.drawRoundedRect(bounds.adjusted(1, 1, -1, -1), cornerRadius - 1, cornerRadius - 1);
            }
        }
        QPlainTextEdit::paintEvent(event);
    }
    void focusInEvent(QFocusEvent* event) override
    {
        QPlainTextEdit::focusInEvent(event);
        viewport()->update();
    }
    void focusOutEvent(QFocusEvent* event) override
    {
        QPlainTextEdit::focusOutEvent(event);
        viewport()->update();
    }
};

} // namespace

NotesSection::NotesSection(JobApplication& application, ApplicationEdits& edits, QWidget* parent)
    : FormSection(tr("Notes"), parent)
    , m_editor(new NotesEditor(this))
{
    setObjectName(QStringLiteral("notesSection"));
    m_editor->setObjectName(QStringLiteral("notesEditor"));
    m_editor->setAccessibleName(tr("Notes"));
    // The editor shows its placeholder exactly while the note is empty: a note of
    // only spaces hides it.
    m_editor->setPlaceholderText(tr("Interview prep, questions asked, impressions…"));
    addRow(QString(), m_editor);
    RecordBinding::bindPlainText(m_editor, application, edits, JobApplication::Field::notes);
}
