#pragma once

#include "model/ApplicationFields.h"
#include "model/StatusChange.h"

#include <QObject>

// What one record says about its own changes, to the few that follow a single
// record: the detail view's fields and timeline, and the undo steps and views that
// must notice when it is gone (`RecordPointer`). A record makes it when first
// asked, so the records of a store, which nobody follows one by one, carry none:
// the store follows them all through one observer pointer.
class RecordNotifier : public QObject {
    Q_OBJECT

Q_SIGNALS:
    void fieldChanged(ApplicationField field);
    void historyAppended(StatusChange* change);
    void historyRemoved(StatusChange* change);
    void historyEntryChanged(StatusChange* change, StatusChange::Field field);
};
