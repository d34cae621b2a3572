#include "posting/RecognizerError.h"

#include <QCoreApplication>

QString RecognizerError::description() const
{
    if (!m_message.isEmpty())
        return m_message;
    switch (m_kind) {
    case Kind::unreadableImage:
        return QCoreApplication::translate("RecognizerError", "This file could not be read as an image.");
    case Kind::noTextFound:
        return QCoreApplication::translate("RecognizerError", "No text was found in this screenshot.");
    case Kind::engineFailure: break;
    }
    return m_message;
}
