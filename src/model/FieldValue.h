#pragma once

#include "model/Decimal.h"
#include "model/LongText.h"

#include <QDateTime>
#include <QString>
#include <QUuid>

#include <optional>
#include <variant>

// The value of one persistent field of a record, whatever its type, for the
// layers that handle every field alike (the store's columns, backups, edits).
// `std::monostate` stands for the history, which is not a plain value.
using FieldValue = std::variant<std::monostate, std::optional<QUuid>, QString, std::optional<QString>, QDateTime,
    std::optional<QDateTime>, bool, std::optional<Decimal>, LongText>;

// The text of a text field's value, whichever way the field keeps it.
inline QString fieldText(const FieldValue& value)
{
    if (const auto* text = std::get_if<LongText>(&value))
        return text->toString();
    return std::get<QString>(value);
}
