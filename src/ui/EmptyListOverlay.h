#pragma once

#include "ui/ContentUnavailableView.h"

#include <functional>

// Shown over the list when it has no rows: an invitation to add the first
// application when the store is empty, "No results" when a search or filter hides
// every record.
class EmptyListOverlay : public ContentUnavailableView {
    Q_OBJECT

public:
    explicit EmptyListOverlay(std::function<void()> onCreate, QWidget* parent = nullptr);

    bool hasAnyRecord() const { return m_hasAnyRecord; }
    void setHasAnyRecord(bool hasAnyRecord);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    bool m_hasAnyRecord = false;
    std::function<void()> m_onCreate;
};
