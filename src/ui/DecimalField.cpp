#include "ui/DecimalField.h"

#include <QFocusEvent>

DecimalField::DecimalField(const QString& title, const QString& prompt, QWidget* parent)
    : QLineEdit(parent)
{
    setAccessibleName(title);
    setPlaceholderText(prompt);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setInputMethodHints(Qt::ImhFormattedNumbersOnly);
    // Only the user's typing is normalised: the locale's display form ("1,5") must
    // not be rewritten as if it had been typed.
    connect(this, &QLineEdit::textEdited, this, &DecimalField::userEdited);
}

QString DecimalField::normalized(QStringView text)
{
    QString result;
    result.reserve(text.size());
    bool hasPoint = false;
    for (const QChar c : text) {
        if (c.isNumber()) {
            result.append(c);
        } else if (c == QLatin1Char('.') || c == QLatin1Char(',')) {
            if (!hasPoint)
                result.append(QLatin1Char('.'));
            hasPoint = true;
        }
    }
    return result;
}

std::optional<Decimal> DecimalField::parse(QStringView text)
{
    if (text.isEmpty() || text == QLatin1String("."))
        return std::nullopt;
    // Decimal reads ASCII digits; a digit of another script counts as its value,
    // and a numeral without one (½, Ⅻ) makes the text unreadable.
    QString ascii;
    ascii.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('.')) {
            ascii.append(c);
            continue;
        }
        const int digit = c.digitValue();
        if (digit < 0 || c.category() != QChar::Number_DecimalDigit)
            return std::nullopt;
        ascii.append(QLatin1Char(char('0' + digit)));
    }
    return Decimal::parse(QStringView(ascii));
}

QString DecimalField::displayText(const std::optional<Decimal>& value, const QLocale& locale)
{
    if (!value)
        return QString();
    QString text = value->toString();
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    if (value->isNegative())
        text.replace(0, 1, locale.negativeSign());
    return text;
}

void DecimalField::setValue(const std::optional<Decimal>& value)
{
    m_value = value;
    if (!hasFocus())
        setText(displayText(m_value));
}

void DecimalField::userEdited(const QString& text)
{
    const QString normal = normalized(text);
    if (normal != text) {
        // Keep the cursor after the same typed characters it followed.
        const int cursor = cursorPosition();
        const int keptBefore = int(normalized(QStringView(text).left(cursor)).size());
        setText(normal);
        setCursorPosition(keptBefore);
    }
    m_value = parse(normal);
    Q_EMIT valueEdited(m_value);
}

void DecimalField::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A menu or a tooltip taking focus for a moment is not leaving the field.
    if (event->reason() != Qt::PopupFocusReason)
        setText(displayText(m_value));
}
