#include "ui/HistoryDateDialog.h"

#include "ui/Formats.h"

#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

HistoryDateDialog::HistoryDateDialog(const QDateTime& date, const ApplicationEdits::DateBounds& bounds, QWidget* parent)
    : QDialog(parent)
    , m_date(new QDateTimeEdit(this))
{
    setObjectName(QStringLiteral("historyDateDialog"));
    setWindowTitle(tr("Change Date"));
    setWindowModality(Qt::WindowModal);
    m_date->setObjectName(QStringLiteral("historyDateField"));
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(Formats::shortDateTimeFormat());
    m_date->setTimeSpec(Qt::LocalTime);
    if (bounds.earliest)
        m_date->setMinimumDateTime(bounds.earliest->toLocalTime());
    m_date->setMaximumDateTime(bounds.latest.toLocalTime());
    m_date->setDateTime(date.toLocalTime());

    auto* hint = new QLabel(tr("The date can move as far as the changes before and after it, and not past now."), this);
    hint->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Change"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(tr("Date"), m_date);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(hint);
    layout->addWidget(buttons);
}

QDateTime HistoryDateDialog::date() const
{
    return m_date->dateTime().toUTC();
}

std::optional<QDateTime> HistoryDateDialog::ask(
    const QDateTime& date, const ApplicationEdits::DateBounds& bounds, QWidget* parent)
{
    HistoryDateDialog dialog(date, bounds, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.date();
}
