#include "posting/ExistingApplications.h"

#include "model/SearchFolding.h"

#include <QRegularExpression>

ExistingApplications::ExistingApplications(const QList<JobApplication*>& records, const QLocale& locale)
    : m_locale(locale)
{
    // Of several records with one key, the latest applied is the one worth showing.
    QHash<QString, QDateTime> nameDates;
    QHash<QString, QDateTime> linkDates;
    auto keep = [](QHash<QString, RecordID>& byKey, QHash<QString, QDateTime>& dates, const QString& key,
                    const JobApplication& record) {
        if (key.isEmpty())
            return;
        const auto known = dates.constFind(key);
        if (known != dates.constEnd() && *known >= record.applicationDate())
            return;
        dates.insert(key, record.applicationDate());
        byKey.insert(key, record.id());
    };
    for (const JobApplication* record : records) {
        keep(m_byName, nameDates, nameKey(record->companyName(), record->position()), *record);
        keep(m_byLink, linkDates, linkKey(record->postingLink()), *record);
    }
}

QString ExistingApplications::nameKey(const QString& company, const QString& position) const
{
    const QString foldedCompany = foldForSearch(company.simplified(), m_locale);
    const QString foldedPosition = foldForSearch(position.simplified(), m_locale);
    if (foldedCompany.isEmpty() || foldedPosition.isEmpty())
        return {};
    return foldedCompany + QChar(0x1F) + foldedPosition;
}

QString ExistingApplications::linkKey(const QString& link)
{
    QString key = link.trimmed();
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    key.remove(scheme);
    if (key.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        key.remove(0, 4);
    while (key.endsWith(QLatin1Char('/')))
        key.chop(1);
    // Host names ignore case; paths may not.
    qsizetype hostEnd = key.size();
    for (QChar end : {QLatin1Char('/'), QLatin1Char('?'), QLatin1Char('#')}) {
        const qsizetype at = key.indexOf(end);
        if (at >= 0)
            hostEnd = std::min(hostEnd, at);
    }
    return key.left(hostEnd).toLower() + key.mid(hostEnd);
}

std::optional<RecordID> ExistingApplications::find(
    const QString& company, const QString& position, const QString& link) const
{
    if (const QString key = linkKey(link); !key.isEmpty()) {
        if (const auto found = m_byLink.constFind(key); found != m_byLink.constEnd())
            return *found;
    }
    if (const QString key = nameKey(company, position); !key.isEmpty()) {
        if (const auto found = m_byName.constFind(key); found != m_byName.constEnd())
            return *found;
    }
    return std::nullopt;
}
