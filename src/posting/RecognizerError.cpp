#include "posting/RecognizerError.h"

#include <QCoreApplication>

QString RecognizerError::description() const
{
    switch (m_kind) {
    case Kind::unreadableImage:
        return QCoreApplication::translate("RecognizerError", "This file could not be read as an image.");
    case Kind::noTextFound:
        return QCoreApplication::translate("RecognizerError", "No text was found in this screenshot.");
    case Kind::engineFailure: return m_engineMessage;
    }
    return m_engineMessage;
}
