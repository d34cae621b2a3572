#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

// Shared machinery of the closed vocabularies. Each vocabulary enum specialises
// VocabularyTraits with its cases in declared order and their raw values; the
// records store only those raw strings.
template <typename E> struct VocabularyTraits;

template <typename E> constexpr const auto& allCases()
{
    return VocabularyTraits<E>::cases;
}

// Every vocabulary declares its cases in order from 0, so a case is its own index.
template <typename E> constexpr bool casesAreInDeclaredOrder()
{
    const auto& cases = VocabularyTraits<E>::cases;
    for (size_t i = 0; i < cases.size(); ++i) {
        if (size_t(cases[i]) != i)
            return false;
    }
    return true;
}

// One shared string per case: records holding the same raw value share its data.
template <typename E> const QString& rawValue(E value)
{
    static_assert(casesAreInDeclaredOrder<E>());
    static const auto table = [] {
        std::array<QString, VocabularyTraits<E>::cases.size()> texts;
        for (size_t i = 0; i < texts.size(); ++i)
            texts[i] = QString::fromLatin1(VocabularyTraits<E>::raw(VocabularyTraits<E>::cases[i]));
        return texts;
    }();
    return table[size_t(value)];
}

// Exact, case-sensitive comparison with the raw values; anything else is no case.
template <typename E> std::optional<E> fromRawValue(QStringView text)
{
    for (E value : VocabularyTraits<E>::cases) {
        if (text == QLatin1StringView(VocabularyTraits<E>::raw(value)))
            return value;
    }
    return std::nullopt;
}

// The shared string of a known raw value, or the text itself; lets loaded records
// share the few raw strings instead of each holding copies.
template <typename E> QString internedRawValue(const QString& text)
{
    const auto value = fromRawValue<E>(text);
    return value ? rawValue(*value) : text;
}
