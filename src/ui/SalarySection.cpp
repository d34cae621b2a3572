#include "ui/SalarySection.h"

#include "ui/ChoicePicker.h"
#include "ui/DecimalField.h"
#include "ui/Formats.h"
#include "ui/Palette.h"
#include "ui/RecordBinding.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

using Field = JobApplication::Field;

SalaryRow::SalaryRow(
    const QString& title, JobApplication& application, ApplicationEdits& edits, Field amount, QWidget* parent)
    : QWidget(parent)
    , m_amount(new DecimalField(title, tr("—"), this))
    , m_currency(new ChoicePicker(this))
{
    m_amount->setObjectName(QStringLiteral("amountField"));
    m_amount->setFixedWidth(130);
    m_currency->setObjectName(QStringLiteral("currencyPicker"));
    m_currency->setAccessibleName(tr("Currency"));
    // A list box is read out by its value; its name comes from a label pointing at
    // it. The label is not shown: the amount's row label says what the row is.
    auto* currencyLabel = new QLabel(m_currency->accessibleName(), this);
    currencyLabel->setBuddy(m_currency);
    currencyLabel->hide();
    m_currency->setFixedWidth(90);
    for (Currency currency : allCases<Currency>())
        m_currency->addItem(::title(currency));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(m_amount);
    layout->addWidget(m_currency);
    layout->addStretch(1);

    const RecordPointer record(&application);
    RecordBinding::follow(this, application, {amount}, [this, record, amount] {
        if (record)
            m_amount->setValue(std::get<std::optional<Decimal>>(record->value(amount)));
    });
    connect(m_amount, &DecimalField::valueEdited, this, [record, &edits, amount](const std::optional<Decimal>& value) {
        if (record)
            edits.edit(*record, amount, value);
    });
    RecordBinding::follow(this, application, {Field::currencyRaw}, [this, record] {
        if (!record)
            return;
        const QSignalBlocker quiet(m_currency);
        m_currency->setCurrentIndex(int(record->currency()));
    });
    connect(m_currency, &QComboBox::activated, this, [record, &edits](int index) {
        if (record && index >= 0)
            edits.setCurrency(*record, allCases<Currency>()[size_t(index)]);
    });
}

SalarySection::SalarySection(JobApplication& application, ApplicationEdits& edits, QWidget* parent)
    : FormSection(tr("Salary"), parent)
    , m_application(&application)
    , m_expected(new SalaryRow(tr("Expected Salary"), application, edits, Field::expectedSalary, this))
    , m_offered(new SalaryRow(tr("Offered Salary"), application, edits, Field::offeredSalary, this))
    , m_difference(new QLabel(this))
{
    setObjectName(QStringLiteral("salarySection"));
    m_expected->setObjectName(QStringLiteral("expectedSalaryRow"));
    m_offered->setObjectName(QStringLiteral("offeredSalaryRow"));
    m_difference->setObjectName(QStringLiteral("differenceLabel"));
    m_difference->setTextInteractionFlags(Qt::TextSelectableByMouse);
#ifdef Q_OS_MACOS
    setFooter(tr("Figures stay on this Mac, in a local database."));
#else
    setFooter(tr("Figures stay on this computer, in a local database."));
#endif
    addRow(tr("Expected Salary"), m_expected, m_expected->amountField());
    addRow(tr("Offered Salary"), m_offered, m_offered->amountField());
    m_differenceRow = addRow(tr("Difference"), m_difference);
    applyStyle();
    RecordBinding::follow(this, application, {Field::expectedSalary, Field::offeredSalary, Field::currencyRaw},
        [this] { showDifference(); });
}

void SalarySection::showDifference()
{
    const JobApplication* record = m_application.data();
    if (!record)
        return;
    const auto& expected = record->expectedSalary();
    const auto& offered = record->offeredSalary();
    setRowVisible(m_differenceRow, expected && offered);
    if (!expected || !offered)
        return;
    const Decimal difference = *offered - *expected;
    m_differenceNegative = difference.isNegative();
    m_difference->setText(Formats::salaryDifference(difference, record->currency()));
    applyStyle();
}

void SalarySection::applyStyle()
{
    QFont callout = Palette::font(Palette::TextStyle::callout, font());
    callout.setWeight(QFont::Medium);
    m_difference->setFont(callout);
    Palette::setForeground(
        m_difference, Palette::textColor(m_differenceNegative ? NamedColor::red : NamedColor::green, palette()));
}
