#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <string>

// An exact base-10 number: a coefficient of decimal digits times a power of ten.
// Salaries are only parsed, compared, subtracted, formatted and stored as text,
// so they never pass through a binary floating-point type on the way.
class Decimal {
public:
    // Inputs beyond these bounds are refused rather than allocated for: no salary
    // has a hundred significant digits or needs an exponent in the hundreds.
    static constexpr int maxSignificantDigits = 100;
    static constexpr int maxExponent = 300;
    static constexpr int maxTextLength = 400;

    Decimal() = default; // zero

    // Parses plain or scientific notation with '.' as the decimal point:
    // "12.50075", "-3", "1e5", "0.5E-3". Anything else, or anything absurd, is none.
    static std::optional<Decimal> parse(QStringView text);
    static std::optional<Decimal> parse(std::string_view text);
    static Decimal fromInteger(long long value);

    // Canonical plain notation without an exponent: no leading zeros, no trailing
    // fractional zeros, "-" for negatives, "." as the point. Zero is "0".
    QString toString() const;
    std::string toStdString() const;

    // The nearest double; for display arithmetic and charts only.
    double toDouble() const;

    bool isZero() const { return m_digits.empty(); }
    bool isNegative() const { return m_negative; }

    Decimal operator-() const;
    friend Decimal operator-(const Decimal& a, const Decimal& b);
    friend Decimal operator+(const Decimal& a, const Decimal& b);

    friend bool operator==(const Decimal& a, const Decimal& b) = default;

private:
    static Decimal makeNormalized(bool negative, std::string digits, long long exponent);
    static int compareMagnitude(const Decimal& a, const Decimal& b);
    static Decimal addMagnitudes(const Decimal& a, const Decimal& b, bool negative);
    static Decimal subtractMagnitudes(const Decimal& larger, const Decimal& smaller, bool negative);

    bool m_negative = false;
    std::string m_digits; // significant digits, no leading or trailing zeros; empty for zero
    long long m_exponent = 0; // value = digits × 10^exponent
};
