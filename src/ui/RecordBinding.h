#pragma once

#include "model/ApplicationEdits.h"
#include "model/JobApplication.h"

#include <functional>
#include <initializer_list>

class QAbstractButton;
class QLineEdit;
class QObject;
class QPlainTextEdit;

// Ties an editor to one field of a record: the editor shows the field, every
// change the user makes goes into the record through the edit layer (which
// stamps updatedAt by the record's rules and makes it a step undo can take
// back), and a change made elsewhere (the list's context menu, another editor,
// an undo) comes back into the editor.
namespace RecordBinding {

void bindText(QLineEdit* edit, JobApplication& application, ApplicationEdits& edits, JobApplication::Field field);
void bindPlainText(
    QPlainTextEdit* edit, JobApplication& application, ApplicationEdits& edits, JobApplication::Field field);
void bindFlag(
    QAbstractButton* button, JobApplication& application, ApplicationEdits& edits, JobApplication::Field field);

// Calls `show` once now and again after every change of one of `fields`, for as
// long as `context` lives.
void follow(QObject* context, JobApplication& application, std::initializer_list<JobApplication::Field> fields,
    std::function<void()> show);

} // namespace RecordBinding
