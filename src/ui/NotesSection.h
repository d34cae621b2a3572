#pragma once

#include "model/ApplicationEdits.h"
#include "model/JobApplication.h"
#include "ui/FormControls.h"

class QPlainTextEdit;

// Free notes.
class NotesSection : public FormSection {
    Q_OBJECT

public:
    NotesSection(JobApplication& application, ApplicationEdits& edits, QWidget* parent = nullptr);
    QPlainTextEdit* editor() const { return m_editor; }

private:
    QPlainTextEdit* m_editor;
};
