#pragma once

#include "model/ApplicationEdits.h"
#include "model/JobApplication.h"

#include <QUrl>
#include <QWidget>

#include <functional>

class ApplicationSection;
class ContactsSection;
class DetailHeader;
class NotesSection;
class QScrollArea;
class RejectionSection;
class SalarySection;
class TimelineSection;
class TodayProvider;

// The detail column for one record: the header pinned above a scrolling form of
// sections that edit the record in place. A view is made for each selected
// record and follows it while it changes, from here or from elsewhere.
class ApplicationDetailView : public QWidget {
    Q_OBJECT

public:
    struct Actions {
        // Asks the window to delete this record (the window confirms).
        std::function<void()> onDelete;
        // Opens an address in the browser or the mail program.
        std::function<void(const QUrl&)> openURL;
    };

    // How long the rejection section takes to slide in or out.
    static constexpr int rejectionRevealMs = 250;
    // What is kept in sight above and below a field that takes the focus.
    static constexpr int focusedFieldMargin = 16;

    ApplicationDetailView(JobApplication& application, ApplicationEdits& edits, TodayProvider& today, Actions actions,
        QWidget* parent = nullptr);
    ~ApplicationDetailView() override;

    JobApplication* application() const { return m_application; }
    // Puts the cursor in the company field, for a record just created.
    void focusFirstField();

    DetailHeader* header() const { return m_header; }
    QScrollArea* scrollArea() const { return m_scroll; }
    ApplicationSection* applicationSection() const { return m_applicationSection; }
    RejectionSection* rejectionSection() const { return m_rejection; }
    ContactsSection* contactsSection() const { return m_contacts; }
    SalarySection* salarySection() const { return m_salary; }
    NotesSection* notesSection() const { return m_notes; }
    TimelineSection* timelineSection() const { return m_timeline; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void bringIntoView(QWidget* focused);
    void showRejection(bool animated);
    void setTabOrder();

    RecordPointer m_application;
    DetailHeader* m_header;
    QScrollArea* m_scroll;
    ApplicationSection* m_applicationSection;
    RejectionSection* m_rejection;
    ContactsSection* m_contacts;
    SalarySection* m_salary;
    NotesSection* m_notes;
    TimelineSection* m_timeline;
    bool m_showsRejection = false;
};
