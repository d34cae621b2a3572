#pragma once

#include "model/Decimal.h"

#include <QLineEdit>
#include <QLocale>

#include <optional>

// A text field for an exact amount. While the user types, the text is kept to
// digits and one decimal point (the first "." or "," typed) and every change is
// read into the value; when the field is not being edited it shows the value in
// the user's locale without grouping. Negative amounts cannot be typed.
class DecimalField : public QLineEdit {
    Q_OBJECT

public:
    DecimalField(const QString& title, const QString& prompt, QWidget* parent = nullptr);

    const std::optional<Decimal>& value() const { return m_value; }
    // The bound amount changed (or is shown for the first time). While the user is
    // typing the text is left alone.
    void setValue(const std::optional<Decimal>& value);

    // Digits (any script's numerals) and at most one ".", the first "." or ","
    // typed; everything else is dropped.
    static QString normalized(QStringView text);
    // Empty and "." are no amount; otherwise the text read with "." as the point,
    // digits of any script counting as their values. Unreadable text is no amount.
    static std::optional<Decimal> parse(QStringView text);
    // Empty for no amount, else the plain number with the locale's decimal
    // separator and no grouping, with as many decimals as the value has.
    static QString displayText(const std::optional<Decimal>& value, const QLocale& locale = QLocale());

Q_SIGNALS:
    // The user's typing gave this amount.
    void valueEdited(const std::optional<Decimal>& value);

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    void userEdited(const QString& text);

    std::optional<Decimal> m_value;
};
