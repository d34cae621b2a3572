#include "model/ApplicationFields.h"

namespace ApplicationFields {

namespace {

template <typename T> T inUtc(const T& value)
{
    if constexpr (std::is_same_v<T, QDateTime>)
        return value.isValid() ? value.toUTC() : value;
    else if constexpr (std::is_same_v<T, std::optional<QDateTime>>)
        return value ? std::optional<QDateTime>(inUtc(*value)) : std::nullopt;
    else
        return value;
}

} // namespace

FieldValue value(const ApplicationValues& values, ApplicationField field)
{
    switch (field) {
#define APPLYWRIGHT_FIELD_VALUE(name, ...)                                                                             \
    case ApplicationField::name: return values.name;
        APPLYWRIGHT_APPLICATION_FIELDS(APPLYWRIGHT_FIELD_VALUE)
#undef APPLYWRIGHT_FIELD_VALUE
    case ApplicationField::history: break;
    }
    return std::monostate {};
}

bool assign(ApplicationValues& values, ApplicationField field, const FieldValue& value)
{
    const auto write = [&value](auto& target) {
        using T = std::remove_reference_t<decltype(target)>;
        if constexpr (std::is_same_v<T, LongText>) {
            // What a person types arrives as a QString.
            if (const QString* text = std::get_if<QString>(&value)) {
                target = LongText(*text);
                return true;
            }
        }
        const T* typed = std::get_if<T>(&value);
        if (!typed)
            return false;
        target = inUtc(*typed);
        return true;
    };
    switch (field) {
#define APPLYWRIGHT_FIELD_ASSIGN(name, ...)                                                                            \
    case ApplicationField::name: return write(values.name);
        APPLYWRIGHT_APPLICATION_FIELDS(APPLYWRIGHT_FIELD_ASSIGN)
#undef APPLYWRIGHT_FIELD_ASSIGN
    case ApplicationField::history: break;
    }
    return false;
}

} // namespace ApplicationFields
