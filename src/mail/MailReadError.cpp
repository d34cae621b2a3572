#include "mail/MailReadError.h"

#include <QCoreApplication>
#include <QLocale>

QString MailReadError::description() const
{
    switch (m_kind) {
    case Kind::unreadableFile: return QCoreApplication::translate("MailReadError", "This file could not be opened.");
    case Kind::notMail: return QCoreApplication::translate("MailReadError", "This file is not an e-mail message.");
    case Kind::tooLarge:
        return QCoreApplication::translate("MailReadError", "This message is too large to read (over %1 MB).")
            .arg(maximumMessageBytes / (1024 * 1024));
    case Kind::tooManyParts:
        return QCoreApplication::translate("MailReadError", "This message has too many parts to read.");
    case Kind::nestedTooDeep:
        return QCoreApplication::translate("MailReadError", "This message is forwarded or nested too deeply to read.");
    case Kind::textTooLong:
        return QCoreApplication::translate("MailReadError", "The text of this message is too long to read.");
    case Kind::undecodable:
        return QCoreApplication::translate("MailReadError", "The text of this message could not be decoded.");
    case Kind::noText:
        return QCoreApplication::translate("MailReadError", "No readable text was found in this message.");
    case Kind::tooSlow: return QCoreApplication::translate("MailReadError", "Reading this message took too long.");
    case Kind::tooManyMessages:
        return QCoreApplication::translate("MailReadError", "Only the first %1 messages of this mailbox were read.")
            .arg(QLocale().toString(maximumMessages));
    case Kind::readerFailed: return QCoreApplication::translate("MailReadError", "This message could not be read.");
    }
    return {};
}
