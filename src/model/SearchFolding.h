#pragma once

#include <QLocale>
#include <QString>

// Case folding as the list's search compares text, and as an import matches a
// posting with the applications already recorded. A letter folds the same wherever
// it stands (a final sigma like a medial one), unlike lower-casing in context.
// Turkish and Azerbaijani keep their dotted and dotless i apart: I folds to ı, İ to i.
// Marks and diacritics are kept: "Çağrı" and "Cagri" stay different.
QString foldForSearch(QString text, const QLocale& locale = QLocale());
