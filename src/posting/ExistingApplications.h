#pragma once

#include "model/JobApplication.h"

#include <QHash>
#include <QList>
#include <QLocale>
#include <QString>

#include <optional>

// The records a draft may repeat: "you already applied here". A draft matches a
// record with the same company and the same position, both folded as the list's
// search folds them, or with the same posting link, its scheme, a leading "www."
// and trailing slashes aside. A company alone is no match: people apply to one
// employer more than once. Built once from the records; holds only identifiers.
class ExistingApplications {
public:
    ExistingApplications() = default;
    explicit ExistingApplications(const QList<JobApplication*>& records, const QLocale& locale = QLocale());

    // The record the values repeat (the latest applied of several), if any.
    std::optional<RecordID> find(const QString& company, const QString& position, const QString& link) const;

    // The link as compared: "https://www.Acme.com/jobs/1/" and "acme.com/jobs/1" are
    // the same. Empty for a blank link.
    static QString linkKey(const QString& link);

private:
    QString nameKey(const QString& company, const QString& position) const;

    QLocale m_locale;
    QHash<QString, RecordID> m_byName;
    QHash<QString, RecordID> m_byLink;
};
