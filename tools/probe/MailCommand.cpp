// mail: what the mail import makes of .eml and .mbox files against the applications
// of a backup: one JSON object per message, as the review would show it.

#include "backup/BackupTransfer.h"
#include "mail/MailMatcher.h"
#include "mail/MailReader.h"
#include "mail/MailUpdate.h"
#include "model/Vocabulary.h"
#include "probe/JsonOutput.h"
#include "probe/Subcommand.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QTextStream>

namespace {

QJsonObject describe(const MailMessage& message, const MailMatcher& matcher, const QList<ApplicationBackup>& entries)
{
    const MailReading reading = MailReading::of(message);
    const MailMatch match = matcher.match(message);
    const MailCandidate* application = nullptr;
    if (match.key)
        application = &matcher.candidates()[qsizetype(*match.key)];
    const MailProposal proposal = MailProposal::of(reading, application, message.date);

    QJsonArray evidence;
    for (const QString& line : {reading.evidence, reading.reasonEvidence}) {
        if (!line.isEmpty())
            evidence.append(line);
    }
    for (const QString& line : match.evidence)
        evidence.append(line);
    return QJsonObject {
        {QStringLiteral("source"), message.sourceLabel},
        {QStringLiteral("kind"), rawValue(reading.kind)},
        {QStringLiteral("status"),
            proposal.outcome == MailProposal::Outcome::change ? QJsonValue(rawValue(*proposal.to))
                                                              : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("rejectionReason"),
            reading.reason ? QJsonValue(rawValue(*reading.reason)) : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("date"),
            message.date ? QJsonValue(message.date->toUTC().toString(Qt::ISODate)) : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("match"),
            application
                ? QJsonValue(entries[qsizetype(application->key)].uuid.value_or(QUuid()).toString(QUuid::WithoutBraces))
                : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("evidence"), evidence},
    };
}

} // namespace

// applywright-probe mail [--store BACKUP.json] FILE...
int runMail(const QStringList& arguments)
{
    QStringList files = arguments;
    QList<ApplicationBackup> entries;
    if (files.size() >= 2 && files.front() == QLatin1String("--store")) {
        const auto contents = readBackup(files.at(1));
        if (!contents) {
            QTextStream(stderr) << files.at(1) << ": " << contents.error().description() << '\n';
            return 1;
        }
        entries = contents->applications;
        files = files.mid(2);
    }
    if (files.isEmpty() || files.front().startsWith(QLatin1String("--")))
        return exitUsage;

    QList<MailCandidate> candidates;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const ApplicationBackup& entry = entries[i];
        candidates.append(MailCandidate::of(i, entry));
    }
    const MailMatcher matcher(candidates);
    for (const QString& file : std::as_const(files)) {
        for (const MailReader::Item& item : MailReader::readFile(file)) {
            if (!item.result) {
                ProbeJson::print(QJsonObject {{QStringLiteral("source"), item.label},
                    {QStringLiteral("error"), item.result.error().description()}});
                continue;
            }
            ProbeJson::print(describe(item.result.value(), matcher, entries));
        }
    }
    return 0;
}
