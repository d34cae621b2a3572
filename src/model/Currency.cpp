#include "model/Currency.h"

const char* VocabularyTraits<Currency>::raw(Currency value)
{
    switch (value) {
    case Currency::tryy: return "TRY";
    case Currency::usd: return "USD";
    case Currency::eur: return "EUR";
    case Currency::gbp: return "GBP";
    }
    return "TRY";
}

QString sign(Currency currency)
{
    switch (currency) {
    case Currency::tryy: return QStringLiteral("\u20BA");
    case Currency::usd: return QStringLiteral("$");
    case Currency::eur: return QStringLiteral("\u20AC");
    case Currency::gbp: return QStringLiteral("\u00A3");
    }
    return {};
}

QString title(Currency currency)
{
    return rawValue(currency) + QLatin1Char(' ') + sign(currency);
}
