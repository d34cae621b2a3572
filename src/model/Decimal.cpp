#include "model/Decimal.h"

#include <algorithm>
#include <charconv>

namespace {
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}
} // namespace

std::optional<Decimal> Decimal::parse(QStringView text)
{
    if (text.size() > maxTextLength)
        return std::nullopt;
    std::string ascii;
    ascii.reserve(size_t(text.size()));
    for (QChar c : text) {
        if (c.unicode() > 0x7F)
            return std::nullopt;
        ascii.push_back(char(c.unicode()));
    }
    return parse(std::string_view(ascii));
}

std::optional<Decimal> Decimal::parse(std::string_view text)
{
    if (text.empty() || text.size() > size_t(maxTextLength))
        return std::nullopt;

    size_t i = 0;
    bool negative = false;
    if (text[i] == '-' || text[i] == '+') {
        negative = text[i] == '-';
        ++i;
    }

    std::string digits;
    long long exponent = 0;
    bool sawDigit = false;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        sawDigit = true;
        if (!digits.empty() || text[i] != '0')
            digits.push_back(text[i]);
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        for (; i < text.size() && isDigit(text[i]); ++i) {
            sawDigit = true;
            --exponent;
            if (!digits.empty() || text[i] != '0')
                digits.push_back(text[i]);
        }
    }
    if (!sawDigit)
        return std::nullopt;

    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
            negativeExponent = text[i] == '-';
            ++i;
        }
        if (i == text.size() || !isDigit(text[i]))
            return std::nullopt;
        long long written = 0;
        for (; i < text.size() && isDigit(text[i]); ++i) {
            written = written * 10 + (text[i] - '0');
            // Far beyond any exponent we accept; stop before it can overflow.
            if (written > 100000)
                return std::nullopt;
        }
        exponent += negativeExponent ? -written : written;
    }
    if (i != text.size())
        return std::nullopt;

    Decimal result = makeNormalized(negative, std::move(digits), exponent);
    if (result.isZero())
        return result;
    if (int(result.m_digits.size()) > maxSignificantDigits)
        return std::nullopt;
    // Bound the magnitude both ways: the position of the leading and of the last digit.
    const long long leading = result.m_exponent + static_cast<long long>(result.m_digits.size()) - 1;
    if (leading > maxExponent || result.m_exponent < -maxExponent)
        return std::nullopt;
    return result;
}

Decimal Decimal::fromInteger(long long value)
{
    const bool negative = value < 0;
    std::string digits;
    unsigned long long magnitude
        = negative ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    digits = std::to_string(magnitude);
    return makeNormalized(negative, digits == "0" ? std::string() : std::move(digits), 0);
}

Decimal Decimal::makeNormalized(bool negative, std::string digits, long long exponent)
{
    Decimal d;
    const auto firstNonZero = digits.find_first_not_of('0');
    if (firstNonZero == std::string::npos)
        return d; // zero, without a sign
    digits.erase(0, firstNonZero);
    const auto lastNonZero = digits.find_last_not_of('0');
    exponent += static_cast<long long>(digits.size() - lastNonZero - 1);
    digits.resize(lastNonZero + 1);
    d.m_negative = negative;
    d.m_digits = std::move(digits);
    d.m_exponent = exponent;
    return d;
}

std::string Decimal::toStdString() const
{
    if (isZero())
        return "0";
    std::string out;
    if (m_negative)
        out.push_back('-');
    const long long count = static_cast<long long>(m_digits.size());
    if (m_exponent >= 0) {
        out += m_digits;
        out.append(size_t(m_exponent), '0');
    } else if (-m_exponent < count) {
        const auto integerDigits = size_t(count + m_exponent);
        out.append(m_digits, 0, integerDigits);
        out.push_back('.');
        out.append(m_digits, integerDigits, std::string::npos);
    } else {
        out += "0.";
        out.append(size_t(-m_exponent - count), '0');
        out += m_digits;
    }
    return out;
}

QString Decimal::toString() const
{
    return QString::fromLatin1(toStdString());
}

double Decimal::toDouble() const
{
    if (isZero())
        return 0.0;
    // from_chars is locale-independent and correctly rounded.
    std::string scientific = (m_negative ? "-" : "") + m_digits + 'e' + std::to_string(m_exponent);
    double value = 0.0;
    std::from_chars(scientific.data(), scientific.data() + scientific.size(), value);
    return value;
}

Decimal Decimal::operator-() const
{
    Decimal d = *this;
    if (!d.isZero())
        d.m_negative = !d.m_negative;
    return d;
}

int Decimal::compareMagnitude(const Decimal& a, const Decimal& b)
{
    if (a.isZero() || b.isZero())
        return int(!a.isZero()) - int(!b.isZero());
    const long long leadA = a.m_exponent + static_cast<long long>(a.m_digits.size());
    const long long leadB = b.m_exponent + static_cast<long long>(b.m_digits.size());
    if (leadA != leadB)
        return leadA < leadB ? -1 : 1;
    // Same position of the leading digit: compare digit by digit, missing digits are zeros.
    const size_t n = std::max(a.m_digits.size(), b.m_digits.size());
    for (size_t i = 0; i < n; ++i) {
        const char da = i < a.m_digits.size() ? a.m_digits[i] : '0';
        const char db = i < b.m_digits.size() ? b.m_digits[i] : '0';
        if (da != db)
            return da < db ? -1 : 1;
    }
    return 0;
}

namespace {
// Both coefficients written out to the same (smaller) exponent, least significant digit last.
std::pair<std::string, std::string> aligned(const std::string& a, long long ea, const std::string& b, long long eb)
{
    const long long e = std::min(ea, eb);
    return {a + std::string(size_t(ea - e), '0'), b + std::string(size_t(eb - e), '0')};
}
} // namespace

Decimal Decimal::addMagnitudes(const Decimal& a, const Decimal& b, bool negative)
{
    auto [x, y] = aligned(a.m_digits, a.m_exponent, b.m_digits, b.m_exponent);
    if (x.size() < y.size())
        std::swap(x, y);
    y.insert(0, x.size() - y.size(), '0');
    std::string sum(x.size() + 1, '0');
    int carry = 0;
    for (size_t i = x.size(); i-- > 0;) {
        const int digit = (x[i] - '0') + (y[i] - '0') + carry;
        sum[i + 1] = char('0' + digit % 10);
        carry = digit / 10;
    }
    sum[0] = char('0' + carry);
    return makeNormalized(negative, std::move(sum), std::min(a.m_exponent, b.m_exponent));
}

Decimal Decimal::subtractMagnitudes(const Decimal& larger, const Decimal& smaller, bool negative)
{
    auto [x, y] = aligned(larger.m_digits, larger.m_exponent, smaller.m_digits, smaller.m_exponent);
    // x holds the larger magnitude, so it has at least as many digits once aligned.
    y.insert(0, x.size() - y.size(), '0');
    std::string difference(x.size(), '0');
    int borrow = 0;
    for (size_t i = x.size(); i-- > 0;) {
        int digit = (x[i] - '0') - (y[i] - '0') - borrow;
        borrow = digit < 0 ? 1 : 0;
        if (digit < 0)
            digit += 10;
        difference[i] = char('0' + digit);
    }
    return makeNormalized(negative, std::move(difference), std::min(larger.m_exponent, smaller.m_exponent));
}

Decimal operator+(const Decimal& a, const Decimal& b)
{
    if (a.isZero())
        return b;
    if (b.isZero())
        return a;
    if (a.m_negative == b.m_negative)
        return Decimal::addMagnitudes(a, b, a.m_negative);
    const int magnitude = Decimal::compareMagnitude(a, b);
    if (magnitude == 0)
        return {};
    return magnitude > 0 ? Decimal::subtractMagnitudes(a, b, a.m_negative)
                         : Decimal::subtractMagnitudes(b, a, b.m_negative);
}

Decimal operator-(const Decimal& a, const Decimal& b)
{
    return a + (-b);
}
