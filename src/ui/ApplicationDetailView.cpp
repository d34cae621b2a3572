#include "ui/ApplicationDetailView.h"

#include "tracking/TodayProvider.h"
#include "ui/Accessibility.h"
#include "ui/DecimalField.h"
#include "ui/DetailHeader.h"
#include "ui/DetailSections.h"
#include "ui/Palette.h"
#include "ui/RecordBinding.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The scrolling page behind the sections, in the grouped-form colour.
class FormPage : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Palette::groupedBackground(palette()));
    }
};

} // namespace

ApplicationDetailView::ApplicationDetailView(
    JobApplication& application, ApplicationEdits& edits, TodayProvider& today, Actions actions, QWidget* parent)
    : QWidget(parent)
    , m_application(&application)
    , m_header(new DetailHeader(application, edits, today, actions.onDelete, this))
    , m_scroll(new QScrollArea(this))
{
    setObjectName(QStringLiteral("detailView"));
    auto* page = new FormPage;
    page->setObjectName(QStringLiteral("detailForm"));
    m_applicationSection = new ApplicationSection(application, edits, actions.openURL, page);
    m_rejection = new RejectionSection(application, edits, page);
    m_contacts = new ContactsSection(application, edits, actions.openURL, page);
    m_salary = new SalarySection(application, edits, page);
    m_notes = new NotesSection(application, edits, page);
    m_timeline = new TimelineSection(application, edits, page);

    auto* form = new QVBoxLayout(page);
    form->setContentsMargins(20, 18, 20, 24);
    form->setSpacing(20);
    for (QWidget* section : {static_cast<QWidget*>(m_applicationSection), static_cast<QWidget*>(m_rejection),
             static_cast<QWidget*>(m_contacts), static_cast<QWidget*>(m_salary), static_cast<QWidget*>(m_notes),
             static_cast<QWidget*>(m_timeline)})
        form->addWidget(section);
    form->addStretch(1);

    m_scroll->setObjectName(QStringLiteral("detailScrollArea"));
    // A click between the fields leaves the focus where it was: a form that took it
    // would hand the next Backspace to the window's delete command.
    Accessibility::nameScrollArea(m_scroll, tr("Application details"));
    m_scroll->setWidget(page);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    // The rows put their labels above their fields before they run out of room; a
    // field wider than even that scrolls rather than being cut off.
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scroll->verticalScrollBar()->setStyleSheet(Palette::slimScrollBarStyleSheet(palette()));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_header);
    layout->addWidget(m_scroll, 1);

    // The wheel scrolls the form; it never turns a closed picker or a date.
    auto* wheel = new WheelGuard(m_scroll);
    wheel->guard(m_applicationSection->workModelPicker());
    wheel->guard(m_applicationSection->applicationDateField());
    wheel->guard(m_applicationSection->statusPicker());
    wheel->guard(m_applicationSection->followUpDateField());
    wheel->guard(m_rejection->reasonPicker());
    wheel->guard(m_salary->expectedRow()->currencyPicker());
    wheel->guard(m_salary->offeredRow()->currencyPicker());

    setTabOrder();
    // However the focus comes into the form (Tab from the header, Shift+Tab from the
    // list, a label's click), the field it lands in is scrolled into sight.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { bringIntoView(now); });
    RecordBinding::follow(this, application, {JobApplication::Field::statusRaw}, [this] { showRejection(true); });
    connect(&today, &TodayProvider::todayChanged, m_timeline, &TimelineSection::refresh);
}

ApplicationDetailView::~ApplicationDetailView() = default;

void ApplicationDetailView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        m_scroll->verticalScrollBar()->setStyleSheet(Palette::slimScrollBarStyleSheet(palette()));
    QWidget::changeEvent(event);
}

void ApplicationDetailView::focusFirstField()
{
    m_applicationSection->companyField()->setFocus(Qt::OtherFocusReason);
    bringIntoView(m_applicationSection->companyField());
}

void ApplicationDetailView::bringIntoView(QWidget* focused)
{
    QWidget* page = m_scroll->widget();
    if (!focused || !page->isAncestorOf(focused))
        return;
    // The whole field when it fits, else its start: not just its text cursor, which
    // is all the scroll area's own help would show of the notes.
    const QRect area(focused->mapTo(page, QPoint(0, 0)), focused->size());
    const auto reveal = [](QScrollBar* bar, int start, int end, int view) {
        int value = bar->value();
        if (end + focusedFieldMargin > value + view)
            value = end + focusedFieldMargin - view;
        if (start - focusedFieldMargin < value)
            value = start - focusedFieldMargin;
        bar->setValue(value);
    };
    const QSize view = m_scroll->viewport()->size();
    reveal(m_scroll->verticalScrollBar(), area.top(), area.bottom() + 1, view.height());
    reveal(m_scroll->horizontalScrollBar(), area.left(), area.right() + 1, view.width());
}

void ApplicationDetailView::showRejection(bool animated)
{
    const bool rejected = m_application && m_application->status() == ApplicationStatus::rejected;
    if (rejected == m_showsRejection && m_rejection->isHidden() == !rejected)
        return;
    m_showsRejection = rejected;
    reveal(m_rejection, rejected, animated && isVisible() ? rejectionRevealMs : 0);
}

void ApplicationDetailView::setTabOrder()
{
    // Visual order, top to bottom and leading to trailing; hidden rows are skipped
    // by Qt's focus chain on their own.
    const QList<QWidget*> order {
        m_header->starButton(),
        m_header->deleteButton(),
        m_applicationSection->companyField(),
        m_applicationSection->positionField(),
        m_applicationSection->linkField(),
        m_applicationSection->openLinkButton(),
        m_applicationSection->workModelPicker(),
        m_applicationSection->applicationDateField(),
        m_applicationSection->statusPicker(),
        m_applicationSection->followUpSwitch(),
        m_applicationSection->followUpDateField(),
        m_rejection->byEmailBox(),
        m_rejection->byPhoneBox(),
        m_rejection->reasonPicker(),
        m_rejection->detailsField(),
        m_contacts->hrNameField(),
        m_contacts->hrEmailField(),
        m_contacts->mailButton(),
        m_contacts->interviewerNameField(),
        m_contacts->interviewerRoleField(),
        m_salary->expectedRow()->amountField(),
        m_salary->expectedRow()->currencyPicker(),
        m_salary->offeredRow()->amountField(),
        m_salary->offeredRow()->currencyPicker(),
        m_notes->editor(),
    };
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}
