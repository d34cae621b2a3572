#pragma once

// The sections of the detail form, each bound to one record and editing it in
// place through the edit layer: every change goes straight into the record as a
// step undo can take back, there is nothing to save.
#include "ui/ApplicationSection.h"
#include "ui/ContactsSection.h"
#include "ui/NotesSection.h"
#include "ui/RejectionSection.h"
#include "ui/SalarySection.h"
#include "ui/TimelineSection.h"
