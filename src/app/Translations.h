#pragma once

#include <QLocale>

class QCoreApplication;

// Installs the application's own translation and Qt's for `locale` (the user's
// locale in the application), over the English plural forms every locale falls
// back on. Returns whether the application's own translation for `locale` was found.
bool installTranslations(QCoreApplication& application, const QLocale& locale = QLocale());
