#include "model/ApplicationEdits.h"

#include "model/ApplicationFields.h"
#include "model/Clock.h"

namespace ApplicationEdits {

void edit(JobApplication& application, JobApplication::Field field, const FieldValue& value)
{
    const EditStamp stamp = ApplicationFields::describe(field).stamp;
    if (stamp != EditStamp::whenChanged && stamp != EditStamp::never)
        return;
    const FieldValue before = application.value(field);
    application.setValue(field, value);
    if (stamp == EditStamp::whenChanged && application.value(field) != before)
        application.setUpdatedAt(Clock::now());
}

void setFollowUpEnabled(JobApplication& application, bool enabled)
{
    std::optional<QDateTime> date;
    if (enabled) {
        // Calendar addition in local time keeps the time of day across a
        // daylight-saving change; an impossible date leaves the reminder off.
        const QDateTime weekAhead = Clock::now().toLocalTime().addDays(7);
        if (weekAhead.isValid())
            date = weekAhead;
    }
    application.setFollowUpDate(date);
    application.setUpdatedAt(Clock::now());
}

void toggleFavorite(JobApplication& application)
{
    application.setFavorite(!application.isFavorite());
    application.setUpdatedAt(Clock::now());
}

} // namespace ApplicationEdits
