#pragma once

#include <QString>
#include <QStringView>
#include <QUrl>

#include <optional>

// Finds links in running text the way a reader would see them: addresses with a
// scheme ("https://…", "ftp://…"), addresses starting with "www." and bare domains
// such as "careers.acme.com/jobs/12". A bare domain counts only under a real public
// suffix, so "Node.js" or "e.g." are not links. E-mail addresses are reported as
// "mailto:" links, so they are never mistaken for the web site of their domain.
class LinkDetector {
public:
    // The public suffix list is loaded once per process, when a detector is first
    // asked something; making one costs nothing.
    LinkDetector() = default;

    // False when the public suffix list is not available; such a detector finds nothing.
    bool isValid() const;

    // The first link in `text`, as an absolute URL; scheme-less addresses get "http".
    std::optional<QUrl> firstLink(QStringView text) const;

    // The part of `host` a registrant owns: "acme.com.tr" for "careers.acme.com.tr".
    // Empty when the host is a public suffix itself or not under one.
    QString registrableDomain(const QString& host) const;

private:
    std::optional<QUrl> firstLinkInWord(QStringView word) const;
    bool isUnderPublicSuffix(QStringView host) const;
};
