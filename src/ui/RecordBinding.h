#pragma once

#include "model/JobApplication.h"

#include <functional>
#include <initializer_list>

class QAbstractButton;
class QLineEdit;
class QObject;
class QPlainTextEdit;

// Ties an editor to one field of a record: the editor shows the field, every
// change the user makes goes straight into the record through ApplicationEdits
// (which stamps updatedAt by the record's rules), and a change made elsewhere
// (the list's context menu, another editor) comes back into the editor.
namespace RecordBinding {

void bindText(QLineEdit* edit, JobApplication& application, JobApplication::Field field);
void bindPlainText(QPlainTextEdit* edit, JobApplication& application, JobApplication::Field field);
void bindFlag(QAbstractButton* button, JobApplication& application, JobApplication::Field field);

// Calls `show` once now and again after every change of one of `fields`, for as
// long as `context` lives.
void follow(QObject* context, JobApplication& application, std::initializer_list<JobApplication::Field> fields,
    std::function<void()> show);

} // namespace RecordBinding
