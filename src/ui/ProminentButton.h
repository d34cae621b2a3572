#pragma once

#include <QPushButton>

// The desktop's prominent bordered button: filled with the accent colour, white
// text, rounded. It follows the palette between light and dark.
class ProminentButton : public QPushButton {
    Q_OBJECT

public:
    explicit ProminentButton(const QString& text, QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
