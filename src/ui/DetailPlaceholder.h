#pragma once

#include "ui/ContentUnavailableView.h"

#include <functional>

// The detail column while no application is selected. With an empty store it
// invites the user to add the first application.
class DetailPlaceholder : public ContentUnavailableView {
    Q_OBJECT

public:
    explicit DetailPlaceholder(std::function<void()> onCreate, QWidget* parent = nullptr);

    bool hasApplications() const { return m_hasApplications; }
    void setHasApplications(bool hasApplications);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    bool m_hasApplications = false;
    std::function<void()> m_onCreate;
};
