#pragma once

#include "model/Vocabulary.h"

// The currency of both salary figures. The raw value is the ISO 4217 code; the
// Turkish lira case is spelled `tryy` because `try` is a keyword.
enum class Currency {
    tryy,
    usd,
    eur,
    gbp,
};

template <> struct VocabularyTraits<Currency> {
    static constexpr std::array cases {Currency::tryy, Currency::usd, Currency::eur, Currency::gbp};
    static const char* raw(Currency value);
};

QString sign(Currency currency);
// The code, one blank and the sign ("TRY ₺"); not translated.
QString title(Currency currency);
