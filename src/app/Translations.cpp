#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool installTranslations(QCoreApplication& application, const QLocale& locale)
{
    // Qt's own texts first (standard buttons and dialogs), then ours on top.
    auto* qt = new QTranslator(&application);
    if (qt->load(
            locale, QStringLiteral("qtbase"), QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;

    // English grammar for counts ("1 day", "2 days") under every locale that has
    // no translation of its own; a translation installed after it comes first.
    auto* plurals = new QTranslator(&application);
    if (plurals->load(QStringLiteral("applywright_en"), QStringLiteral(":/i18n")))
        QCoreApplication::installTranslator(plurals);
    else
        delete plurals;

    auto* own = new QTranslator(&application);
    if (own->load(locale, QStringLiteral("applywright"), QStringLiteral("_"), QStringLiteral(":/i18n"))) {
        QCoreApplication::installTranslator(own);
        return true;
    }
    delete own;
    return false;
}
