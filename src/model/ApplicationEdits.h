#pragma once

#include "model/JobApplication.h"

// The user's edits of a record. Every view that changes a record (the detail
// editor, the list's context menu) calls these, so which edits stamp updatedAt
// is a rule of the record, read from the field table, and never a widget's.
// The status, work model, currency and rejection reason have typed writers on
// the record itself (changeStatus, setWorkModel, setCurrency, setRejectionReason),
// which carry their own stamping rules.
namespace ApplicationEdits {

// Writes a field the user edits directly and stamps updatedAt with the current
// moment when the value changed and the field's rule asks for it (every such
// field but the posting link). Fields that are not edited directly are left alone.
void edit(JobApplication& application, JobApplication::Field field, const FieldValue& value);

// The follow-up switch: on sets the reminder one week ahead (7 calendar days, the
// same time of day), off removes it; either way updatedAt is stamped.
void setFollowUpEnabled(JobApplication& application, bool enabled);

// The star: flips it and stamps updatedAt.
void toggleFavorite(JobApplication& application);

} // namespace ApplicationEdits
