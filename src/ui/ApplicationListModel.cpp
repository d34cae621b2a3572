#include "ui/ApplicationListModel.h"

#include "model/Clock.h"
#include "ui/ApplicationRow.h"
#include "ui/Badges.h"

#include <algorithm>

namespace {

// Above this many changed ranges a reset is cheaper for the view than a signal per range.
constexpr int maxRangesBeforeReset = 16;

struct Range {
    int first;
    int last;
};

// The ranges of `longer` that are missing from `shorter`, when `shorter` is
// `longer` with some rows taken out and nothing else changed; nullopt otherwise
// (or when there are too many ranges to be worth it).
std::optional<QList<Range>> removedRanges(const QList<JobApplication*>& longer, const QList<JobApplication*>& shorter)
{
    QList<Range> ranges;
    qsizetype j = 0;
    for (qsizetype i = 0; i < longer.size(); ++i) {
        if (j < shorter.size() && longer[i] == shorter[j]) {
            ++j;
            continue;
        }
        if (!ranges.isEmpty() && ranges.last().last == int(i) - 1) {
            ranges.last().last = int(i);
        } else {
            if (ranges.size() == maxRangesBeforeReset)
                return std::nullopt;
            ranges.append({int(i), int(i)});
        }
    }
    if (j != shorter.size())
        return std::nullopt;
    return ranges;
}

} // namespace

ApplicationListModel::ApplicationListModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

int ApplicationListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant ApplicationListModel::data(const QModelIndex& index, int role) const
{
    JobApplication* record = application(index);
    if (!record)
        return {};
    switch (role) {
    case Qt::DisplayRole: return record->displayCompany();
    case Qt::AccessibleTextRole: return accessibleText(*record, m_today);
    case RecordRole: return QVariant::fromValue(record);
    case RecordIDRole: return QVariant::fromValue<qint64>(record->id());
    default: return {};
    }
}

Qt::ItemFlags ApplicationListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

QHash<int, QByteArray> ApplicationListModel::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert(RecordRole, "record");
    names.insert(RecordIDRole, "recordID");
    return names;
}

JobApplication* ApplicationListModel::application(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows[row] : nullptr;
}

JobApplication* ApplicationListModel::application(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this || index.column() != 0)
        return nullptr;
    return application(index.row());
}

void ApplicationListModel::reindex() const
{
    if (m_indexValid)
        return;
    m_rowOf.clear();
    m_rowOf.reserve(m_rows.size());
    for (qsizetype row = 0; row < m_rows.size(); ++row)
        m_rowOf.insert(m_rows[row], int(row));
    m_indexValid = true;
}

int ApplicationListModel::rowOf(const JobApplication* application) const
{
    reindex();
    return m_rowOf.value(application, -1);
}

void ApplicationListModel::setApplications(const QList<JobApplication*>& applications)
{
    // Two empty lists are the same rows; Qt 6.4 would compare them with memcmp on a
    // null pointer, which is undefined.
    if (applications.size() == m_rows.size() && (applications.isEmpty() || applications == m_rows))
        return;

    if (applications.size() < m_rows.size()) {
        if (auto ranges = removedRanges(m_rows, applications)) {
            // From the bottom up, so that earlier rows keep their numbers.
            for (auto it = ranges->crbegin(); it != ranges->crend(); ++it) {
                beginRemoveRows(QModelIndex(), it->first, it->last);
                m_rows.remove(it->first, it->last - it->first + 1);
                m_indexValid = false;
                endRemoveRows();
            }
            return;
        }
    } else if (applications.size() > m_rows.size()) {
        if (auto ranges = removedRanges(applications, m_rows)) {
            for (const Range& range : std::as_const(*ranges)) {
                beginInsertRows(QModelIndex(), range.first, range.last);
                for (int row = range.first; row <= range.last; ++row)
                    m_rows.insert(row, applications[row]);
                m_indexValid = false;
                endInsertRows();
            }
            return;
        }
    } else {
        reindex();
        bool sameRecords = true;
        for (const JobApplication* record : applications) {
            if (!m_rowOf.contains(record)) {
                sameRecords = false;
                break;
            }
        }
        if (sameRecords) {
            // The same records in another order: keep selection and current row.
            Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
            const QModelIndexList before = persistentIndexList();
            QList<JobApplication*> tracked;
            tracked.reserve(before.size());
            for (const QModelIndex& index : before)
                tracked.append(application(index));
            m_rows = applications;
            m_indexValid = false;
            reindex();
            QModelIndexList after;
            after.reserve(before.size());
            for (JobApplication* record : std::as_const(tracked))
                after.append(record ? index(m_rowOf.value(record, -1), 0) : QModelIndex());
            changePersistentIndexList(before, after);
            Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
            return;
        }
    }

    beginResetModel();
    m_rows = applications;
    m_indexValid = false;
    endResetModel();
}

bool ApplicationListModel::move(JobApplication* application, qsizetype from, qsizetype to)
{
    if (from >= m_rows.size() || (from >= 0 && m_rows[from] != application) || to > m_rows.size() - (from >= 0 ? 1 : 0))
        return false;
    if (from >= 0 && to >= 0 && from != to) {
        // Only the rows between the two places show another record, so they are
        // what changed: a move would make the view lay out every row again. What
        // the views hold (selection, current row) follows its record by hand.
        const qsizetype first = std::min(from, to);
        const qsizetype last = std::max(from, to);
        QModelIndexList held;
        QList<int> heldRows;
        for (const QModelIndex& index : persistentIndexList()) {
            if (index.row() >= first && index.row() <= last) {
                held.append(index);
                heldRows.append(index.row() == from ? int(to) : index.row() + (from < to ? -1 : 1));
            }
        }
        m_rows.move(from, to);
        if (m_indexValid) {
            for (qsizetype row = first; row <= last; ++row)
                m_rowOf.insert(m_rows[row], int(row));
        }
        QModelIndexList moved;
        for (int row : std::as_const(heldRows))
            moved.append(index(row, 0));
        changePersistentIndexList(held, moved);
        Q_EMIT dataChanged(index(int(first), 0), index(int(last), 0));
        return true;
    } else if (from >= 0 && to < 0) {
        beginRemoveRows(QModelIndex(), int(from), int(from));
        m_rows.removeAt(from);
        m_indexValid = false;
        endRemoveRows();
    } else if (from < 0 && to >= 0) {
        beginInsertRows(QModelIndex(), int(to), int(to));
        m_rows.insert(to, application);
        m_indexValid = false;
        endInsertRows();
    }
    if (to >= 0)
        Q_EMIT dataChanged(index(int(to), 0), index(int(to), 0));
    return true;
}

void ApplicationListModel::refresh(const JobApplication* application)
{
    const int row = rowOf(application);
    if (row < 0)
        return;
    const QModelIndex changed = index(row, 0);
    Q_EMIT dataChanged(changed, changed);
}

void ApplicationListModel::forget(const JobApplication* application)
{
    const int row = rowOf(application);
    if (row < 0)
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.removeAt(row);
    m_indexValid = false;
    endRemoveRows();
}

void ApplicationListModel::insert(int row, JobApplication* application)
{
    row = std::clamp(row, 0, int(m_rows.size()));
    beginInsertRows(QModelIndex(), row, row);
    m_rows.insert(row, application);
    m_indexValid = false;
    endInsertRows();
}

QString ApplicationListModel::accessibleText(const JobApplication& application, const QDateTime& today)
{
    QStringList parts {application.displayCompany(), application.displayPosition(), title(application.status())};
    if (const auto days = application.daysWaiting(today.isValid() ? today : Clock::now()))
        parts.append(waitingDaysText(*days));
    // Then what the row shows besides: the work-model chip, the star, the follow-up chip.
    parts.append(title(application.workModel()));
    if (application.isFavorite())
        parts.append(ApplicationFields::title(ApplicationFields::describe(JobApplication::Field::isFavorite)));
    if (ApplicationRow::showsFollowUp(application, today))
        parts.append(ApplicationRow::followUpText());
    return parts.join(QLatin1String(", "));
}
