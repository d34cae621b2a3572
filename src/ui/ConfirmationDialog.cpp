#include "ui/ConfirmationDialog.h"

#include "ui/Palette.h"
#include "ui/Symbols.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int symbolSize = 36;
constexpr int textWidth = 320;
} // namespace

ConfirmationDialog::ConfirmationDialog(
    const QString& title, const QString& message, const QString& actionText, QWidget* parent)
    : QDialog(parent)
    , m_symbol(new QLabel(this))
    , m_title(new QLabel(title, this))
    , m_message(new QLabel(message, this))
    , m_action(new QPushButton(actionText, this))
    , m_cancel(new QPushButton(tr("Cancel"), this))
{
    setObjectName(QStringLiteral("confirmationDialog"));
    setWindowTitle(title);
    setWindowModality(Qt::WindowModal);
    m_title->setObjectName(QStringLiteral("confirmationTitle"));
    m_message->setObjectName(QStringLiteral("confirmationMessage"));
    m_action->setObjectName(QStringLiteral("confirmationAction"));
    m_cancel->setObjectName(QStringLiteral("confirmationCancel"));
    for (QLabel* label : {m_title, m_message}) {
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setFixedWidth(textWidth);
    }
    m_symbol->setFixedSize(symbolSize, symbolSize);
    m_symbol->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(m_action, QDialogButtonBox::DestructiveRole);
    buttons->addButton(m_cancel, QDialogButtonBox::RejectRole);
    m_cancel->setDefault(true);
    m_action->setAutoDefault(false);
    connect(m_action, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* text = new QVBoxLayout;
    text->setSpacing(6);
    text->addWidget(m_title);
    text->addWidget(m_message);
    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(m_symbol, 0, Qt::AlignTop);
    top->addLayout(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(22, 22, 22, 18);
    layout->setSpacing(20);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    applyStyle();
}

bool ConfirmationDialog::ask()
{
    return exec() == QDialog::Accepted;
}

void ConfirmationDialog::applyStyle()
{
    const QPalette& pal = palette();
    m_symbol->setPixmap(Symbols::pixmap(
        QStringLiteral("trash"), Palette::textColor(NamedColor::red, pal), symbolSize, devicePixelRatioF()));
    m_title->setFont(Palette::font(Palette::TextStyle::headline, font()));
    m_message->setFont(Palette::font(Palette::TextStyle::body, font()));
    Palette::setForeground(m_message, Palette::secondaryText(pal));
    // The action reads as destructive: its text in red.
    QPalette action = m_action->palette();
    action.setColor(QPalette::ButtonText, Palette::textColor(NamedColor::red, pal));
    m_action->setPalette(action);
}

void ConfirmationDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange)
        applyStyle();
    QDialog::changeEvent(event);
}
