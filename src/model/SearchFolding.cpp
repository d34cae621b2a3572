#include "model/SearchFolding.h"

QString foldForSearch(QString text, const QLocale& locale)
{
    if (locale.language() == QLocale::Turkish || locale.language() == QLocale::Azerbaijani) {
        for (QChar& c : text) {
            if (c == QLatin1Char('I'))
                c = QChar(0x0131);
            else if (c == QChar(0x0130))
                c = QLatin1Char('i');
        }
    }
    return text.toCaseFolded();
}
