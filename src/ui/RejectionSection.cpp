#include "ui/RejectionSection.h"

#include "ui/ChoicePicker.h"
#include "ui/DetailControls.h"
#include "ui/RecordBinding.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QSignalBlocker>

using Field = JobApplication::Field;

namespace {
constexpr int detailsRevealMs = 200;
} // namespace

RejectionSection::RejectionSection(JobApplication& application, ApplicationEdits& edits, QWidget* parent)
    : FormSection(QString(), parent)
    , m_application(&application)
    , m_edits(edits)
    , m_byEmail(new QCheckBox(tr("By email"), this))
    , m_byPhone(new QCheckBox(tr("By phone"), this))
    , m_reason(new ChoicePicker(this))
    , m_details(new GrowingTextEdit(2, 5, this))
{
    setObjectName(QStringLiteral("rejectionSection"));
    setHeader(QStringLiteral("xmark.circle.fill"), tr("Rejection Details"), NamedColor::red);
    setFooter(tr("Useful later — recurring rejection reasons become easy to spot."));
    buildRows();

    RecordBinding::bindFlag(m_byEmail, application, edits, Field::rejectedByEmail);
    RecordBinding::bindFlag(m_byPhone, application, edits, Field::rejectedByPhone);
    RecordBinding::bindPlainText(m_details, application, edits, Field::rejectionNote);

    m_reason->addItem(tr("Not specified"));
    m_reason->insertSeparator(1);
    for (RejectionReason reason : allCases<RejectionReason>())
        m_reason->addItem(title(reason), int(reason));
    // The first showing happens before the section is on screen, so it is never animated.
    RecordBinding::follow(this, application, {Field::rejectionReasonRaw}, [this] { showReason(true); });
    connect(m_reason, &QComboBox::activated, this, [this](int index) {
        if (!m_application)
            return;
        const QVariant reason = m_reason->itemData(index);
        m_edits.setRejectionReason(*m_application,
            reason.isValid() ? std::optional<RejectionReason>(RejectionReason(reason.toInt())) : std::nullopt);
    });
}

void RejectionSection::buildRows()
{
    m_byEmail->setObjectName(QStringLiteral("rejectedByEmailBox"));
    m_byPhone->setObjectName(QStringLiteral("rejectedByPhoneBox"));
    m_reason->setObjectName(QStringLiteral("rejectionReasonPicker"));
    m_reason->setAccessibleName(tr("Rejection Reason"));
    m_reason->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_details->setObjectName(QStringLiteral("rejectionDetailsField"));
    m_details->setPlaceholderText(tr("Describe the rejection in your own words"));
    m_details->setAccessibleName(tr("Details"));

    auto* channels = new QWidget;
    auto* channelsLayout = new QHBoxLayout(channels);
    channelsLayout->setContentsMargins(0, 0, 0, 0);
    channelsLayout->setSpacing(16);
    channelsLayout->addWidget(m_byEmail);
    channelsLayout->addWidget(m_byPhone);
    channelsLayout->addStretch(1);
    addRow(tr("Rejection Channel"), channels, m_byEmail);
    addRow(tr("Rejection Reason"), m_reason);
    m_reason->parentWidget()->layout()->setAlignment(m_reason, Qt::AlignLeft | Qt::AlignVCenter);
    m_detailsRow = addRow(tr("Details"), m_details);
}

void RejectionSection::showReason(bool animated)
{
    if (!m_application)
        return;
    const std::optional<RejectionReason> reason = m_application->rejectionReason();
    {
        const QSignalBlocker quiet(m_reason);
        m_reason->setCurrentIndex(reason ? m_reason->findData(int(*reason)) : 0);
    }
    const bool other = reason == RejectionReason::other;
    reveal(m_detailsRow, other, animated && isVisible() ? detailsRevealMs : 0);
    update();
}
