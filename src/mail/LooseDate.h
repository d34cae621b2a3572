#pragma once

#include <QDateTime>
#include <QStringView>

#include <optional>

// A date as the header block of a forwarded message writes it, in English or
// Turkish: "Mon, 3 Mar 2025 10:15:00 +0300", "Mon, Mar 3, 2025 at 10:15 AM",
// "Monday, March 3, 2025 10:15 AM", "3 Mart 2025 Pazartesi 10:15",
// "3 March 2025 at 10:15:32 GMT+3", "03.03.2025 10:15", "2025-03-03 10:15".
namespace LooseDate {

// The moment, or none when no day, month and year can be read. Without a zone of
// its own the text is read at `offsetSeconds` from UTC (the zone of the message that
// carried it); without a time of day, at noon.
std::optional<QDateTime> parse(QStringView text, int offsetSeconds);

} // namespace LooseDate
