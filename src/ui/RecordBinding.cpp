#include "ui/RecordBinding.h"

#include "model/ApplicationEdits.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <vector>

namespace RecordBinding {

namespace {
QString textOf(const JobApplication& application, JobApplication::Field field)
{
    return fieldText(application.value(field));
}
} // namespace

void follow(QObject* context, JobApplication& application, std::initializer_list<JobApplication::Field> fields,
    std::function<void()> show)
{
    show();
    const std::vector<JobApplication::Field> watched(fields);
    QObject::connect(&application.notifier(), &RecordNotifier::fieldChanged, context,
        [watched, show = std::move(show)](JobApplication::Field changed) {
            if (std::find(watched.begin(), watched.end(), changed) != watched.end())
                show();
        });
}

void bindText(QLineEdit* edit, JobApplication& application, ApplicationEdits& edits, JobApplication::Field field)
{
    const RecordPointer record(&application);
    follow(edit, application, {field}, [edit, record, field] {
        // Only a change made elsewhere reaches the editor: the user's own typing is
        // already there, and rewriting it would move the cursor.
        if (!record || edit->text() == textOf(*record, field))
            return;
        edit->setText(textOf(*record, field));
        // A field no one is typing in is read from its start: a long company name
        // would otherwise show only its tail, where setText leaves the cursor.
        if (!edit->hasFocus())
            edit->home(false);
    });
    QObject::connect(edit, &QLineEdit::textChanged, edit, [record, &edits, field](const QString& text) {
        if (record)
            edits.edit(*record, field, text);
    });
}

void bindPlainText(
    QPlainTextEdit* edit, JobApplication& application, ApplicationEdits& edits, JobApplication::Field field)
{
    const RecordPointer record(&application);
    follow(edit, application, {field}, [edit, record, field] {
        if (record && edit->toPlainText() != textOf(*record, field))
            edit->setPlainText(textOf(*record, field));
    });
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [edit, record, &edits, field] {
        if (record)
            edits.edit(*record, field, edit->toPlainText());
    });
}

void bindFlag(
    QAbstractButton* button, JobApplication& application, ApplicationEdits& edits, JobApplication::Field field)
{
    const RecordPointer record(&application);
    follow(button, application, {field}, [button, record, field] {
        if (record)
            button->setChecked(std::get<bool>(record->value(field)));
    });
    QObject::connect(button, &QAbstractButton::toggled, button, [record, &edits, field](bool on) {
        if (record)
            edits.edit(*record, field, on);
    });
}

} // namespace RecordBinding
