#pragma once

#include <QLocale>

class QCoreApplication;

// Installs the application's own translation and Qt's for `locale` (the user's
// locale in the application). Returns whether the application's own translation
// was found; English needs none.
bool installTranslations(QCoreApplication& application, const QLocale& locale = QLocale());
