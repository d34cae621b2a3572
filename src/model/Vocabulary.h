#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

// Shared machinery of the closed vocabularies. Each vocabulary enum specialises
// VocabularyTraits with its cases in declared order and their raw values; the
// records store only those raw strings.
template <typename E>
struct VocabularyTraits;

template <typename E>
constexpr const auto& allCases()
{
    return VocabularyTraits<E>::cases;
}

template <typename E>
QString rawValue(E value)
{
    return QString::fromLatin1(VocabularyTraits<E>::raw(value));
}

// Exact, case-sensitive comparison with the raw values; anything else is no case.
template <typename E>
std::optional<E> fromRawValue(QStringView text)
{
    for (E value : VocabularyTraits<E>::cases) {
        if (text == QLatin1StringView(VocabularyTraits<E>::raw(value)))
            return value;
    }
    return std::nullopt;
}
