#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QUrl>

#include <optional>

class LinkDetector;

// How job pages write an employer's name outside their header: in a sentence of
// the description, in a legal form at the end of a line, in a career site's
// address. Used by the import's suggestions.
namespace CompanyNames {

// A name a sentence introduces, with that sentence.
struct Mention {
    QString name;
    QString sentence;
};

// The names that sentences of `prose` introduce as the employer: "At Fernhill, we
// build…", "Founded in 2004, Umbrella Labs helps…", "Join Quillstone", "Head of Talent
// at Nimbus Retail", "Mavi Kuş Yazılım olarak…", "Tidewell Medya'da…", "… bünyesinde".
// In order of appearance, possibly repeated.
QList<Mention> mentionsIn(QStringView prose);

// Whether the line ends in a legal form: "A.Ş.", "Ltd. Şti.", "GmbH", "Inc.", "SE"…
bool endsWithLegalForm(QStringView text);

// The name without the legal form at its end, nor the trade words Turkish company
// names carry before it: "Mavi Kuş Yazılım San. ve Tic. A.Ş." → "Mavi Kuş Yazılım".
QString withoutLegalForm(QStringView name);

// The employer's label in a career site's or a hosted job page's address:
// "umbrellalabs" for careers.umbrellalabs.com, "hooli" for hooli.wd1.myworkdayjobs.com,
// "fjordline" for boards.greenhouse.io/fjordline/jobs/1. None for job boards and
// addresses that name no employer.
std::optional<QString> employerLabel(const QUrl& url, const LinkDetector& detector);

// The name folded to its letters and digits, words apart by one blank: "Umbrella
// Labs" and "UMBRELLA LABS" both give "umbrella labs". Compares names across the
// ways pages write them.
QString nameKey(QStringView name);

// A name written in capitals ("COBALT HARBOR"), as a title would write it.
QString titleCased(const QString& name);

} // namespace CompanyNames
