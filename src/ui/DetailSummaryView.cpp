#include "ui/DetailSummaryView.h"

#include "model/JobApplication.h"
#include "ui/Palette.h"

#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

DetailSummaryView::DetailSummaryView(JobApplication& application, QWidget* parent)
    : QWidget(parent)
    , m_application(&application)
    , m_company(new QLabel(this))
    , m_position(new QLabel(this))
{
    setObjectName(QStringLiteral("detailSummary"));
    m_company->setObjectName(QStringLiteral("detailCompany"));
    m_position->setObjectName(QStringLiteral("detailPosition"));
    for (QLabel* label : {m_company, m_position}) {
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 14, 20, 14);
    layout->setSpacing(10);
    layout->addWidget(m_company);
    layout->addWidget(m_position);
    layout->addStretch(1);

    connect(&application, &JobApplication::fieldChanged, this, [this](JobApplication::Field field) {
        if (field == JobApplication::Field::companyName || field == JobApplication::Field::position)
            refresh();
    });
    applyStyle();
    refresh();
}

void DetailSummaryView::refresh()
{
    if (!m_application)
        return;
    m_company->setText(m_application->displayCompany());
    m_position->setText(m_application->displayPosition());
}

void DetailSummaryView::applyStyle()
{
    QFont company = Palette::font(Palette::TextStyle::title2, font());
    company.setWeight(QFont::DemiBold);
    m_company->setFont(company);
    m_position->setFont(Palette::font(Palette::TextStyle::subheadline, font()));
    Palette::setForeground(m_position, Palette::secondaryText(palette()));
}

void DetailSummaryView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        applyStyle();
    else if (event->type() == QEvent::LanguageChange)
        refresh();
    QWidget::changeEvent(event);
}
