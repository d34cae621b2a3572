#pragma once

#include <QByteArrayView>
#include <QLocale>
#include <QString>

// Case folding as the list's search compares text, and as an import matches a
// posting with the applications already recorded. A letter folds the same wherever
// it stands (a final sigma like a medial one), unlike lower-casing in context.
// Turkish and Azerbaijani keep their dotted and dotless i apart: I folds to ı, İ to i.
// Marks and diacritics are kept: "Çağrı" and "Cagri" stay different.
QString foldForSearch(QString text, const QLocale& locale = QLocale());

// Appends `text` folded exactly as foldForSearch folds it, without a copy of the
// whole text: a record's search text is built from its fields this way. ASCII,
// most of what is typed, is folded here; only runs of other characters go through
// Qt's tables. `utf8` must be valid UTF-8.
class SearchFolder {
public:
    explicit SearchFolder(const QLocale& locale = QLocale());
    void append(QString& folded, QStringView text) const;
    void append(QString& folded, QByteArrayView utf8) const;

private:
    template <typename Char, typename Decode>
    void appendRuns(QString& folded, const Char* c, const Char* end, Decode other) const;
    void appendOther(QString& folded, QString run) const;
    bool m_dotlessI;
};
