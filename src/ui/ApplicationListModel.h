#pragma once

#include "model/JobApplication.h"

#include <QAbstractListModel>
#include <QHash>
#include <QList>

#include <optional>

// The visible applications as rows, one per record, in the order given. A new
// list is applied with the smallest change the views understand: nothing when it
// is the same, one inserted or removed row, a reordering (layout change), and a
// reset otherwise. Records stay owned by the store.
class ApplicationListModel : public QAbstractListModel {
    Q_OBJECT

public:
    enum Role {
        RecordRole = Qt::UserRole + 1, // JobApplication*
        RecordIDRole, // RecordID (qint64)
    };

    explicit ApplicationListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QHash<int, QByteArray> roleNames() const override;

    const QList<JobApplication*>& applications() const { return m_rows; }
    void setApplications(const QList<JobApplication*>& applications);

    JobApplication* application(int row) const;
    JobApplication* application(const QModelIndex& index) const;
    // The row of a record, or -1 when it is not shown.
    int rowOf(const JobApplication* application) const;

    // One record moved from row `from` to row `to` (-1: not shown before or
    // after); the record's row is repainted. False, changing nothing, when the
    // rows do not hold the record at `from`: the caller then sets the whole list.
    bool move(JobApplication* application, qsizetype from, qsizetype to);
    // Repaints the row of a record whose fields changed.
    void refresh(const JobApplication* application);
    // Drops a record that is leaving the store, before its object goes away.
    void forget(const JobApplication* application);
    // Shows one more record, at `row`.
    void insert(int row, JobApplication* application);

    // The day the accessibility texts count waiting days to.
    void setToday(const QDateTime& today) { m_today = today; }

    // "company, position, status[, Waiting N days]", days counted to `today` (to
    // the current moment when no day is given).
    static QString accessibleText(const JobApplication& application, const QDateTime& today);

private:
    void reindex() const;

    QList<JobApplication*> m_rows;
    QDateTime m_today;
    mutable QHash<const JobApplication*, int> m_rowOf;
    mutable bool m_indexValid = true;
};
