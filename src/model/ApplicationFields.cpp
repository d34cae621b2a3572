#include "model/ApplicationFields.h"

namespace ApplicationFields {

FieldValue value(const ApplicationValues& values, ApplicationField field)
{
    if (field == ApplicationField::history)
        return std::monostate {};
    return withField(field, [&values]<ApplicationField F>() -> FieldValue { return values.*member<F>; });
}

bool assign(ApplicationValues& values, ApplicationField field, const FieldValue& value)
{
    if (field == ApplicationField::history)
        return false;
    return withField(field, [&]<ApplicationField F>() {
        auto typed = typedValue<F>(value);
        if (!typed)
            return false;
        values.*member<F> = std::move(*typed);
        return true;
    });
}

} // namespace ApplicationFields
