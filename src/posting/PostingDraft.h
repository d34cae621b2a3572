#pragma once

#include "model/WorkModel.h"
#include "posting/DraftStart.h"
#include "posting/ParsedPosting.h"
#include "posting/PostingSuggestions.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <QUuid>

#include <functional>
#include <memory>

class JobApplication;

// Where a draft was read from, for the picture the review sheet shows beside it: the
// screenshot (its file, or the bytes of a clipboard image) with the recognised lines
// and their boxes, or the lines of pasted text. Kept only while the review lasts.
struct DraftSource {
    QString filePath;
    QByteArray imageData;
    QList<PostingLine> lines;

    bool isImage() const { return !filePath.isEmpty() || !imageData.isEmpty(); }
};

// One detected application under review: the parse result it came from, kept
// unchanged, and the editable fields the user may correct before adding it. It is
// seeded from the parse result; the session then starts its review with the values
// DraftStart chose from both readings (beginReview).
class PostingDraft : public QObject {
    Q_OBJECT

public:
    PostingDraft(ParsedPosting parsed, QString sourceLabel, QObject* parent = nullptr);
    PostingDraft(ParsedPosting parsed, PostingSuggestions suggestions, QString sourceLabel, QObject* parent = nullptr);

    const QUuid& id() const { return m_id; }
    const ParsedPosting& parsed() const { return m_parsed; }
    const PostingSuggestions& suggestions() const { return m_suggestions; }
    const QString& sourceLabel() const { return m_sourceLabel; }
    // What the review started with, and what it was read from.
    const DraftStart& start() const { return m_start; }
    const DraftSource& source() const { return m_source; }

    // Starts the review with the values `start` chose. The draft is ticked when
    // something was found and the input looks like a job posting, unless
    // `repeatsRecord` says the list already holds this application. Sends no change:
    // it comes before anyone watches the draft. Its values now count as untouched.
    void beginReview(
        DraftStart start, DraftSource source, const std::function<bool(const PostingDraft&)>& repeatsRecord = {});
    // The person changed a value or the tick since the review started.
    bool isEdited() const;

    bool include() const { return m_include; }
    void setInclude(bool include);
    const QString& company() const { return m_company; }
    void setCompany(const QString& company);
    const QString& position() const { return m_position; }
    void setPosition(const QString& position);
    const QString& postingLink() const { return m_postingLink; }
    void setPostingLink(const QString& postingLink);
    WorkModel workModel() const { return m_workModel; }
    void setWorkModel(WorkModel workModel);

    // A company or a position that is more than blanks.
    bool hasContent() const;

    // A new record (status applied, dated now) from the trimmed fields. It has no
    // history yet: committing adds the first entry once the record is stored.
    std::unique_ptr<JobApplication> makeApplication() const;

Q_SIGNALS:
    void changed();

private:
    struct Values {
        bool include = false;
        QString company;
        QString position;
        QString postingLink;
        WorkModel workModel = WorkModel::remote;

        friend bool operator==(const Values&, const Values&) = default;
    };
    Values values() const;

    QUuid m_id;
    ParsedPosting m_parsed;
    PostingSuggestions m_suggestions;
    QString m_sourceLabel;
    bool m_include;
    QString m_company;
    QString m_position;
    QString m_postingLink;
    WorkModel m_workModel;
    DraftStart m_start;
    DraftSource m_source;
    Values m_untouched;
};
