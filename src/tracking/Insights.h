#pragma once

#include "model/ApplicationStatus.h"
#include "model/RejectionReason.h"
#include "model/WorkModel.h"
#include "posting/ParsedPosting.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>

#include <array>
#include <optional>

class JobApplication;

// What one person's job search looks like, read from the records and their dated
// histories: how far applications got, how soon and how often companies answer,
// how many went out each week, why the closed ones ended, and how work models and
// job boards compare. Plain values, computed in one pass; the insights window only
// draws them.
struct Insights {
    // Fewer applications than this make percentages and medians misleading.
    static constexpr qsizetype minimumApplications = 5;
    static constexpr int weekCount = 12;

    // The stages of the funnel, in pipeline order: applied, HR interview, technical
    // interview, offer.
    static constexpr std::array funnelStages {ApplicationStatus::applied, ApplicationStatus::hrInterview,
        ApplicationStatus::techInterview, ApplicationStatus::offer};

    struct Response {
        qsizetype applications = 0;
        // Left "applied": moved on to any other status, a rejection included.
        qsizetype responded = 0;
        // Median whole days from the application date to the first change of status,
        // over the responded applications whose first change has a date.
        std::optional<double> medianDaysToFirstChange;
        std::optional<double> share() const;
    };

    struct Week {
        QDate start; // the locale's first day of the week
        qsizetype applications = 0;
    };

    struct Group {
        qsizetype applications = 0;
        qsizetype responded = 0;
        std::optional<double> share() const;
    };

    // Where a board comes from: one of the known boards, another site, or no usable link.
    enum class BoardKind { known, otherSite, noLink };
    struct BoardGroup : Group {
        BoardKind kind = BoardKind::noLink;
        JobBoard board = JobBoard::unknown;
    };

    qsizetype total = 0;
    bool isEnough() const { return total >= minimumApplications; }

    // Applications that got at least as far as each funnel stage. A stage counts when
    // the history (or the current status) shows it or a later one: a record rejected
    // after its technical interview has reached HR and technical interview, and one
    // that skipped the HR interview on its way to the technical one has passed it.
    std::array<qsizetype, funnelStages.size()> reached {};
    // The share of one stage's applications that reached the next; none where the
    // earlier stage has none.
    std::optional<double> conversion(size_t fromStage) const;

    // Applications sent in the last 30 and 90 days (today included), and all of them.
    Response last30Days;
    Response last90Days;
    Response allTime;

    // Applications per week, oldest first; the last one is the current week.
    std::array<Week, weekCount> weeks {};

    // Applications rejected now, by their reason (in the vocabulary's order) and
    // without one; and by the stage they were in when the rejection came, in
    // funnel order.
    qsizetype rejections = 0;
    std::array<qsizetype, allCases<RejectionReason>().size()> rejectionReasons {};
    qsizetype rejectionsWithoutReason = 0;
    std::array<qsizetype, funnelStages.size()> rejectedAtStage {};

    std::array<Group, allCases<WorkModel>().size()> byWorkModel {};
    // Known boards in the vocabulary's order, then other sites, then no link; only
    // groups with applications.
    QList<BoardGroup> byBoard;
};

// The insights of `applications` as of `now` (the current moment when not given).
// Weeks start on the first day of the week of `locale`.
Insights computeInsights(
    const QList<JobApplication*>& applications, const QDateTime& now = QDateTime(), const QLocale& locale = QLocale());

// The job board of a posting address, read from its host; unknown for another site.
JobBoard boardOfHost(const QString& host);

// The funnel stage a status stands for; none for rejected.
std::optional<size_t> funnelStageIndex(ApplicationStatus status);
